// Assignment files may be damaged or edited by hand; loading must survive any
// bytes, and a saved file must load back to exactly what was saved.
#include "platform/MemIniFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TMemIniFile ini;
    ini.SetText(std::string_view(reinterpret_cast<const char *>(data), size));
    for (const std::string &section : ini.ReadSections())
        for (const std::string &key : ini.ReadSection(section))
            ini.ReadString(section, key, {});
    const std::string written = ini.Text();
    TMemIniFile again;
    again.SetText(written);
    if (again.Text() != written)
        std::abort();
    return 0;
}
