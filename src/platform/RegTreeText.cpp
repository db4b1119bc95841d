/* The regedit export format, read and written by TRegTree.

     Windows Registry Editor Version 5.00

     [HKEY_CURRENT_USER\Software\Talwen]
     @="default value"
     "Name"="text with \\ and \" escaped"
     "Number"=dword:0000002a
     "Bytes"=hex:01,02,ff,\
       03
     "Lines"=hex(1):61,00,0d,00,0a,00,62,00,00,00

   Only backslash and double quote are escaped inside quotes, so a string with a
   line break cannot be quoted; such strings go as hex(1) (REG_SZ spelled as its
   UTF-16LE bytes with the terminating zero), as regedit itself does for data it
   cannot quote. hex(2) is REG_EXPAND_SZ, hex(4) a DWORD, hex(n) any other type.
*/

#include "platform/RegTree.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <cstdio>

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

// Unpaired surrogates become U+FFFD; an odd last byte is dropped.
std::string Utf16LeToUtf8(const std::uint8_t *bytes, std::size_t size)
{
    std::string out;
    const std::size_t units = size / 2;
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t u = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            const std::uint32_t low = bytes[2 * i + 2] | (bytes[2 * i + 3] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        if (u >= 0xD800 && u <= 0xDFFF)
            u = 0xFFFD;
        AppendUtf8(out, u);
    }
    return out;
}

// Invalid UTF-8 bytes become U+FFFD.
std::vector<std::uint8_t> Utf8ToUtf16Le(std::string_view text)
{
    std::vector<std::uint8_t> out;
    auto put = [&](std::uint32_t unit) {
        out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::uint32_t cp = 0xFFFD;
        std::size_t length = 1;
        if (b < 0x80) {
            cp = b;
        } else {
            const std::size_t need = b >= 0xF0 && b < 0xF5   ? 4
                                     : b >= 0xE0             ? 3
                                     : b >= 0xC2 && b < 0xE0 ? 2
                                                             : 0;
            if (need > 0 && i + need <= text.size()) {
                std::uint32_t value = b & (0xFF >> (need + 1));
                bool ok = true;
                for (std::size_t k = 1; k < need; ++k) {
                    const auto c = static_cast<unsigned char>(text[i + k]);
                    ok = ok && (c & 0xC0) == 0x80;
                    value = (value << 6) | (c & 0x3F);
                }
                const std::uint32_t least = need == 2 ? 0x80 : need == 3 ? 0x800 : 0x10000;
                if (ok && value >= least && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF)) {
                    cp = value;
                    length = need;
                }
            }
        }
        if (cp >= 0x10000) {
            put(0xD800 + ((cp - 0x10000) >> 10));
            put(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            put(cp);
        }
        i += length;
    }
    return out;
}


bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// Reads a quoted text starting at text[0] == '"'; on success end is the index
// after the closing quote.
bool ParseQuoted(std::string_view text, std::string &out, std::size_t &end)
{
    out.clear();
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            end = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            out += text[++i];
        else
            out += c;
    }
    return false; // cut off: a half-written line
}

// "01,02,ff" (blanks allowed around the bytes); an empty list is valid.
bool ParseHexBytes(std::string_view text, std::vector<std::uint8_t> &bytes)
{
    text = TrimBlanks(text);
    if (text.empty())
        return true;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t comma = text.find(',', pos);
        const std::string_view item =
            TrimBlanks(text.substr(pos, comma == std::string_view::npos ? comma : comma - pos));
        if (item.size() != 2 || HexDigit(item[0]) < 0 || HexDigit(item[1]) < 0)
            return false;
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(item[0]) * 16 + HexDigit(item[1])));
        if (comma == std::string_view::npos)
            return true;
        pos = comma + 1;
    }
}

bool HasControlCharacters(std::string_view text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; });
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

// The data part of a value line (after "="); i may advance over continuation lines.
bool ParseData(std::string_view data, const std::vector<std::string_view> &lines, std::size_t &i,
               TRegValue &value)
{
    if (!data.empty() && data[0] == '"') {
        std::size_t end = 0;
        if (!ParseQuoted(data, value.text, end) || !TrimBlanks(data.substr(end)).empty())
            return false;
        value.type = kRegSz;
        return true;
    }
    if (StartsWithNoCase(data, "dword:")) {
        const std::string_view digits = TrimBlanks(data.substr(6));
        // Always eight digits: fewer means the line was cut off.
        if (digits.size() != 8)
            return false;
        std::uint32_t number = 0;
        for (char c : digits) {
            if (HexDigit(c) < 0)
                return false;
            number = number * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
        value.type = kRegDword;
        value.number = number;
        return true;
    }
    if (!StartsWithNoCase(data, "hex"))
        return false; // deletions ("-") and forms we do not know
    std::uint32_t type = kRegBinary;
    std::size_t colon = data.find(':');
    if (colon == std::string_view::npos)
        return false;
    if (colon > 3) {
        const std::string_view spec = data.substr(3, colon - 3); // "(n)"
        if (spec.size() < 3 || spec.front() != '(' || spec.back() != ')' || spec.size() > 10)
            return false;
        type = 0;
        for (char c : spec.substr(1, spec.size() - 2)) {
            if (HexDigit(c) < 0)
                return false;
            type = type * 16 + static_cast<std::uint32_t>(HexDigit(c));
        }
    }
    std::string list(data.substr(colon + 1));
    // A trailing backslash continues the byte list on the next line.
    for (;;) {
        std::string_view trimmed = TrimBlanks(list);
        if (trimmed.empty() || trimmed.back() != '\\')
            break;
        if (i + 1 >= lines.size())
            return false; // cut off after the continuation mark
        list = std::string(trimmed.substr(0, trimmed.size() - 1)) + std::string(TrimBlanks(lines[++i]));
    }
    std::vector<std::uint8_t> bytes;
    if (!ParseHexBytes(list, bytes))
        return false;
    value.type = type;
    if (type == kRegSz || type == kRegExpandSz) {
        // Always written with the zero terminator: without it the line was cut off.
        const std::size_t n = bytes.size();
        if (n < 2 || n % 2 != 0 || bytes[n - 1] != 0 || bytes[n - 2] != 0)
            return false;
        std::string text = Utf16LeToUtf8(bytes.data(), bytes.size());
        while (!text.empty() && text.back() == '\0')
            text.pop_back();
        value.text = std::move(text);
    } else if (type == kRegDword && bytes.size() == 4) {
        value.number =
            bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<std::uint32_t>(bytes[3]) << 24);
    } else {
        if (type == kRegDword)
            value.type = kRegBinary; // a DWORD of the wrong size is no number
        value.data = std::move(bytes);
    }
    return true;
}

std::string Quote(std::string_view text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

// Byte lists wrap like regedit's: ",\" and two blanks of indent, lines under 80.
std::string HexList(std::string prefix, const std::vector<std::uint8_t> &bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out = prefix;
    std::size_t column = prefix.size();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
        column += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++column;
            if (column > 76) {
                out += "\\\r\n  ";
                column = 2;
            }
        }
    }
    return out;
}

std::string ValueLine(const TRegValue &value)
{
    std::string line = value.name.empty() ? "@=" : Quote(value.name) + "=";
    switch (value.type) {
    case kRegSz:
        if (!HasControlCharacters(value.text))
            return line + Quote(value.text);
        [[fallthrough]];
    case kRegExpandSz: {
        std::vector<std::uint8_t> bytes = Utf8ToUtf16Le(value.text);
        bytes.push_back(0);
        bytes.push_back(0);
        return HexList(line + "hex(" + std::to_string(value.type) + "):", bytes);
    }
    case kRegDword: {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "dword:%08x", value.number);
        return line + buffer;
    }
    case kRegBinary:
        return HexList(line + "hex:", value.data);
    default: {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "hex(%x):", value.type);
        return HexList(line + buffer, value.data);
    }
    }
}

} // namespace

TRegTree TRegTree::Parse(std::string_view text, std::string_view rootName)
{
    std::string converted;
    if (text.size() >= 2 && static_cast<unsigned char>(text[0]) == 0xFF &&
        static_cast<unsigned char>(text[1]) == 0xFE) {
        converted = Utf16LeToUtf8(reinterpret_cast<const std::uint8_t *>(text.data()) + 2, text.size() - 2);
        text = converted;
    } else if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }

    TRegTree tree;
    const std::vector<std::string_view> lines = SplitLines(text);
    bool inKey = false;
    std::string path;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (line.empty() || line[0] == ';' || HasControlCharacters(line))
            continue;
        if (line[0] == '[') {
            inKey = false;
            const std::size_t close = line.rfind(']');
            if (close == std::string_view::npos)
                continue; // cut off
            const std::string_view full = line.substr(1, close - 1);
            if (!StartsWithNoCase(full, rootName) ||
                (full.size() > rootName.size() && full[rootName.size()] != '\\'))
                continue; // a deletion entry ("[-...") or another root
            path = NormalizePath(full.substr(rootName.size()));
            tree.CreateKey(path);
            inKey = true;
            continue;
        }
        if (!inKey || (line[0] != '"' && line[0] != '@'))
            continue;
        TRegValue value;
        std::size_t pos = 1;
        if (line[0] == '"' && !ParseQuoted(line, value.name, pos))
            continue;
        std::string_view rest = TrimBlanks(line.substr(pos));
        if (rest.empty() || rest[0] != '=')
            continue;
        if (ParseData(TrimBlanks(rest.substr(1)), lines, i, value))
            tree.SetValue(path, std::move(value));
    }
    return tree;
}

std::string TRegTree::Serialize(std::string_view rootName) const
{
    std::string text = std::string(kHeader) + "\r\n\r\n";
    for (const auto &[folded, key] : keys_) {
        if (key.path.empty() && key.values.empty())
            continue; // the root without values is implied
        text += "[" + std::string(rootName) + (key.path.empty() ? "" : "\\" + key.path) + "]\r\n";
        for (const TRegValue &value : key.values)
            text += ValueLine(value) + "\r\n";
        text += "\r\n";
    }
    return text;
}
