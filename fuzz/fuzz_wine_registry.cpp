// Wine's registry files come from another program and may be edited by hand or
// cut short; reading them, and looking programs up in them, must survive
// anything and find what it stored.
#include "platform/WineCommand.h"
#include "platform/WinePrefix.h"
#include "platform/WineRegistry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

constexpr const char *kUninstall =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker";

// The lookups of ModPacker and ReBirth on a prefix whose files hold `machine`
// and `user`, with every path taken to exist or none.
void LookUp(const TWineRegistry &machine, const TWineRegistry &user, std::string_view extra)
{
    const TWinePrefix prefix("/nonexistent-fuzz-prefix", machine, user, "fuzz");
    const auto always = [](const std::string &) { return true; };
    const auto never = [](const std::string &) { return false; };
    if (const auto entry = prefix.ReadMachineString(kUninstall, "UninstallString")) {
        (void)UninstallerProgram(entry->text, always);
        (void)UninstallerProgram(entry->text, never);
        (void)prefix.MapPath(entry->text);
    }
    for (const char *key : {".rbs", "ReBirth.Song\\shell\\open\\command", ".rbs\\shell\\open\\command"})
        if (const auto value = prefix.ReadClassesString(key, "")) {
            (void)CommandProgram(value->text, always);
            (void)CommandProgram(value->text, never);
        }
    for (const bool wow32 : {false, true})
        if (prefix.Environment(wow32).Expand(extra).size() > TWineEnvironment::kMaxLength)
            std::abort(); // expansion is bounded whatever the variables say
    if (!UninstallerProgram(extra.substr(0, 2), always).empty())
        std::abort(); // fewer than 3 characters name nothing
}

} // namespace

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
    (void)reg.ReadString(kUninstall, "UninstallString");
    (void)reg.SubKeys("Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList");
    // A key written with a plain value must read back with that value.
    const TWineRegistry tail = TWineRegistry::Parse(text + "\n[Fuzz\\\\Probe] 1\n\"V\"=\"ok\"\n");
    if (reg.KeyCount() != 0 && tail.ReadString("fuzz\\probe", "v") != "ok")
        std::abort();

    // The same bytes as the machine's file, as the user's, and as a text to expand.
    const std::string_view extra = input.substr(0, std::min<std::size_t>(size, 512));
    LookUp(reg, TWineRegistry(), extra);
    LookUp(TWineRegistry(), reg, extra);
    return 0;
}
