#include "cli/Json.h"

#include <cstdio>

std::string TJsonLine::quote(std::string_view text)
{
    std::string r = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': r += "\\\""; break;
        case '\\': r += "\\\\"; break;
        case '\n': r += "\\n"; break;
        case '\r': r += "\\r"; break;
        case '\t': r += "\\t"; break;
        case '\b': r += "\\b"; break;
        case '\f': r += "\\f"; break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                r += buf;
            } else {
                r += char(c);
            }
        }
    }
    return r + "\"";
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
