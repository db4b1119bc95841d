#include "platform/TextUtil.h"

bool ParseInt32(std::string_view text, std::int32_t &value)
{
    text = TrimBlanks(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    unsigned base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.size() > 1 && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return false;
    std::int64_t magnitude = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        magnitude = magnitude * base + digit;
        // Hexadecimal texts may spell the bit pattern of a negative number
        // ("0xFFFFFFFF" is -1), as 32-bit registry numbers are shown.
        if (magnitude > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL))
            return false;
    }
    std::int64_t result = negative ? -magnitude : magnitude;
    if (base == 16 && !negative && magnitude > 0x7FFFFFFFLL)
        result = magnitude - 0x100000000LL;
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(result);
    return true;
}
