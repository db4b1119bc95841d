#include "probe/Json.h"

#include <cstdio>

void AppendJsonString(std::string &Out, std::string_view Text)
{
    Out += '"';
    size_t plain = 0; // start of the run of bytes copied as they are
    for (size_t i = 0; i < Text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(Text[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        Out.append(Text.data() + plain, i - plain);
        plain = i + 1;
        switch (c) {
        case '"':
            Out += "\\\"";
            break;
        case '\\':
            Out += "\\\\";
            break;
        case '\n':
            Out += "\\n";
            break;
        case '\r':
            Out += "\\r";
            break;
        case '\t':
            Out += "\\t";
            break;
        case '\b':
            Out += "\\b";
            break;
        case '\f':
            Out += "\\f";
            break;
        default: {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            Out += buf;
        }
        }
    }
    Out.append(Text.data() + plain, Text.size() - plain);
    Out += '"';
}

std::string TJsonLine::quote(std::string_view text)
{
    std::string r;
    AppendJsonString(r, text);
    return r;
}

void TJsonLine::key(std::string_view k)
{
    if (!body_.empty())
        body_ += ", ";
    body_ += quote(k) + ": ";
}

TJsonLine &TJsonLine::add(std::string_view k, std::string_view value)
{
    key(k);
    body_ += quote(value);
    return *this;
}

TJsonLine &TJsonLine::add(std::string_view k, int64_t value)
{
    key(k);
    body_ += std::to_string(value);
    return *this;
}

TJsonLine &TJsonLine::add(std::string_view k, bool value)
{
    key(k);
    body_ += value ? "true" : "false";
    return *this;
}

TJsonLine &TJsonLine::add(std::string_view k, const std::vector<std::string> &values)
{
    key(k);
    body_ += "[";
    for (size_t i = 0; i < values.size(); ++i)
        body_ += (i ? ", " : "") + quote(values[i]);
    body_ += "]";
    return *this;
}

TJsonLine &TJsonLine::addOrNull(std::string_view k, std::string_view value)
{
    if (!value.empty())
        return add(k, value);
    key(k);
    body_ += "null";
    return *this;
}
