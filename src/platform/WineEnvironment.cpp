#include "platform/WineEnvironment.h"

#include "platform/TextUtil.h"

namespace {

constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kCurrentVersion32 = "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kProfileList = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// Variables that refer to variables are followed this deep; deeper ones (a
// loop, mostly) stay as written.
constexpr int kMaxDepth = 8;

std::string Read(const TWineRegistry &reg, std::string_view key, std::string_view name)
{
    return reg.ReadString(key, name).value_or("");
}

std::string FirstOf(std::initializer_list<std::string> values)
{
    for (const std::string &value : values)
        if (!value.empty())
            return value;
    return {};
}

} // namespace

TWineEnvironment::TWineEnvironment(const TWineRegistry &machine, const TWineRegistry &user,
                                   const std::string &userName, bool wow32)
{
    // What wineboot would have written, for a prefix whose files lack it.
    set("SystemDrive", "C:");
    set("SystemRoot", FirstOf({Read(machine, kNtCurrentVersion, "SystemRoot"), "C:\\windows"}));
    if (const auto root = Variable("SystemRoot"); root && root->size() >= 2 && (*root)[1] == ':')
        set("SystemDrive", root->substr(0, 2));
    set("windir", "%SystemRoot%");

    const std::string programFiles64 =
        FirstOf({Read(machine, kCurrentVersion, "ProgramFilesDir"), "%SystemDrive%\\Program Files"});
    const std::string programFilesX86 = Read(machine, kCurrentVersion, "ProgramFilesDir (x86)");
    const std::string commonFiles64 =
        FirstOf({Read(machine, kCurrentVersion, "CommonFilesDir"), programFiles64 + "\\Common Files"});
    const std::string commonFilesX86 = Read(machine, kCurrentVersion, "CommonFilesDir (x86)");
    set("ProgramFiles(x86)", programFilesX86);
    set("CommonProgramFiles(x86)", commonFilesX86);
    if (!programFilesX86.empty()) {
        // Only a 64-bit prefix has the "(x86)" folder and these names.
        set("ProgramW6432", programFiles64);
        set("CommonProgramW6432", commonFiles64);
    }
    if (wow32) {
        set("ProgramFiles",
            FirstOf({Read(machine, kCurrentVersion32, "ProgramFilesDir"), programFilesX86, programFiles64}));
        set("CommonProgramFiles",
            FirstOf({Read(machine, kCurrentVersion32, "CommonFilesDir"), commonFilesX86, commonFiles64}));
    } else {
        set("ProgramFiles", programFiles64);
        set("CommonProgramFiles", commonFiles64);
    }

    const std::string programData =
        FirstOf({Read(machine, kProfileList, "ProgramData"), "%SystemDrive%\\ProgramData"});
    set("ProgramData", programData);
    set("ALLUSERSPROFILE", programData);
    set("PUBLIC", FirstOf({Read(machine, kProfileList, "Public"), "%SystemDrive%\\users\\Public"}));
    // The user's profile: the entry of a user account (S-1-5-21-...) in the
    // profile list, else the profiles folder and the user's name, as wineboot
    // makes it.
    std::string profile;
    for (const std::string &sid : machine.SubKeys(kProfileList))
        if (profile.empty() && sid.starts_with("s-1-5-21-"))
            profile = Read(machine, std::string(kProfileList) + "\\" + sid, "ProfileImagePath");
    if (profile.empty() && !userName.empty())
        profile = FirstOf({Read(machine, kProfileList, "ProfilesDirectory"), "%SystemDrive%\\users"}) + "\\" +
                  userName;
    set("USERPROFILE", profile);
    set("USERNAME", userName);
    if (profile.size() >= 2 && profile[1] == ':') {
        set("HOMEDRIVE", profile.substr(0, 2));
        set("HOMEPATH", profile.substr(2));
    }
    const std::string shellFolders = std::string(kCurrentVersion) + "\\Explorer\\Shell Folders";
    set("APPDATA", FirstOf({Read(user, shellFolders, "AppData"), "%USERPROFILE%\\AppData\\Roaming"}));
    set("LOCALAPPDATA",
        FirstOf({Read(user, shellFolders, "Local AppData"), "%USERPROFILE%\\AppData\\Local"}));

    // The environment keys last: what they set wins. Wine keeps the current
    // control set as "ControlSet001" behind a link.
    for (const char *key : {"System\\ControlSet001\\Control\\Session Manager\\Environment",
                            "System\\CurrentControlSet\\Control\\Session Manager\\Environment"})
        if (const auto *values = machine.Values(key))
            for (const auto &[name, value] : *values)
                if (value.type == TWineRegistry::kSz || value.type == TWineRegistry::kExpandSz)
                    set(name, value.text);
    if (const auto *values = user.Values("Environment"))
        for (const auto &[name, value] : *values)
            if (value.type == TWineRegistry::kSz || value.type == TWineRegistry::kExpandSz)
                set(name, value.text);
}

void TWineEnvironment::set(std::string_view name, const std::string &value)
{
    if (!name.empty() && !value.empty())
        vars_[AsciiFold(name)] = value;
}

std::optional<std::string> TWineEnvironment::Variable(std::string_view name) const
{
    const auto it = vars_.find(AsciiFold(name));
    if (it == vars_.end())
        return std::nullopt;
    return expand(it->second, 1);
}

std::string TWineEnvironment::Expand(std::string_view text) const
{
    return expand(text, 0);
}

std::string TWineEnvironment::expand(std::string_view text, int depth) const
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size() && out.size() < kMaxLength) {
        if (text[i] == '%' && depth < kMaxDepth) {
            const std::size_t close = text.find('%', i + 1);
            if (close != std::string_view::npos && close > i + 1) {
                const auto it = vars_.find(AsciiFold(text.substr(i + 1, close - i - 1)));
                if (it != vars_.end()) {
                    out += expand(it->second, depth + 1);
                    i = close + 1;
                    continue;
                }
            }
        }
        // An unknown name keeps its "%": the next "%" may open a known one
        // ("%1" "%ProgramFiles%").
        out += text[i++];
    }
    if (out.size() > kMaxLength)
        out.resize(kMaxLength);
    return out;
}
