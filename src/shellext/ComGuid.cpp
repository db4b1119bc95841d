#include "platform/Exception.h"
#include "platform/TextUtil.h"
#include "shellext/ComBase.h"

#include <cstdio>

namespace {

// Reads `digits` hex digits at pos; false on anything else.
bool ReadHex(std::string_view text, size_t pos, size_t digits, std::uint32_t &value)
{
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        const int v = HexDigit(text[pos + i]);
        if (v < 0)
            return false;
        value = value << 4 | std::uint32_t(v);
    }
    return true;
}

} // namespace

bool GuidFromString(std::string_view text, GUID &guid)
{
    // {01234567-0123-0123-0123-0123456789AB}
    if (text.size() != 38 || text.front() != '{' || text.back() != '}' || text[9] != '-' || text[14] != '-' ||
        text[19] != '-' || text[24] != '-')
        return false;
    GUID g;
    std::uint32_t v = 0;
    if (!ReadHex(text, 1, 8, v))
        return false;
    g.Data1 = v;
    if (!ReadHex(text, 10, 4, v))
        return false;
    g.Data2 = std::uint16_t(v);
    if (!ReadHex(text, 15, 4, v))
        return false;
    g.Data3 = std::uint16_t(v);
    // The last two groups are the eight bytes of Data4 in text order.
    const size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, v))
            return false;
        g.Data4[i] = std::uint8_t(v);
    }
    guid = g;
    return true;
}

std::string GuidToString(const GUID &g)
{
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", unsigned(g.Data1),
                  unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

GUID MakeGuid(std::string_view text)
{
    GUID g;
    if (!GuidFromString(text, g))
        throw EModwright("Not a class identifier: " + std::string(text));
    return g;
}
