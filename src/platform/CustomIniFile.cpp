#include "platform/CustomIniFile.h"

#include "platform/TextUtil.h"

std::int32_t TCustomIniFile::ReadInteger(const std::string &section, const std::string &ident,
                                         std::int32_t defaultValue) const
{
    std::int32_t value = defaultValue;
    if (!ParseInt32(ReadString(section, ident, std::string()), value))
        return defaultValue;
    return value;
}

void TCustomIniFile::WriteInteger(const std::string &section, const std::string &ident, std::int32_t value)
{
    WriteString(section, ident, std::to_string(value));
}

bool TCustomIniFile::ReadBool(const std::string &section, const std::string &ident, bool defaultValue) const
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string &section, const std::string &ident, bool value)
{
    WriteString(section, ident, value ? "1" : "0");
}
