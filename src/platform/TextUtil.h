#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Small text helpers shared by the registry store and the profile files.
//
// Registry and profile names compare without regard to letter case. Only the
// ASCII letters A-Z are folded: every name the program itself uses (value names,
// section names, component display names) is ASCII, and folding the rest of
// Unicode would need locale tables that this plain C++ layer does not carry.
// Names that differ only in the case of a non-ASCII letter ("Müll", "MÜLL")
// therefore stay two names; they never merge unexpectedly.

inline char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string AsciiFold(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        c = AsciiLower(c);
    return result;
}

inline bool SameTextAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

// The value of a hexadecimal digit of either case, -1 for any other character.
inline int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Appends one code point (at most U+10FFFF) as UTF-8.
inline void AppendUtf8(std::string &out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Removes blanks and tabs at both ends.
inline std::string_view TrimBlanks(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// Parses a 32-bit signed integer the way hand-edited configuration values are
// written: optional blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "0x" or "$". Returns false (and leaves value alone) for anything
// else, including numbers outside the 32-bit range.
bool ParseInt32(std::string_view text, std::int32_t &value);
