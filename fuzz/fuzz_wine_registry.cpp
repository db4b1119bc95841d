// Wine's registry files come from another program and may be edited by hand or
// cut short; reading them must survive anything and find what it stored.
#include "platform/WineRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    // Most inputs get the header, so the fuzzer spends its time on the body.
    const bool withHeader = size > 0 && (data[0] & 1);
    const std::string text =
        withHeader ? "WINE REGISTRY Version 2\n" + std::string(input.substr(1)) : std::string(input);
    const TWineRegistry reg = TWineRegistry::Parse(text);
    if (!withHeader && !text.starts_with("WINE REGISTRY Version 2") && reg.KeyCount() != 0)
        std::abort(); // a file without the header holds nothing
    (void)reg.ReadString("Software\\Classes\\.rbs", "");
    (void)reg.ReadString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker",
                         "UninstallString");
    // A key written with a plain value must read back with that value.
    const TWineRegistry tail = TWineRegistry::Parse(text + "\n[Fuzz\\\\Probe] 1\n\"V\"=\"ok\"\n");
    if (reg.KeyCount() != 0 && tail.ReadString("fuzz\\probe", "v") != "ok")
        std::abort();
    return 0;
}
