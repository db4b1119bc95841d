#include "platform/WinePrefix.h"

#include "platform/RegTree.h"
#include "platform/TextUtil.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return {};
}

bool Exists(const fs::path &path)
{
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of `folder` named `name`, or else the one equal to it but for
// case (the first in name order when several are, so the choice is stable).
std::optional<std::string> FindEntry(const fs::path &folder, const std::string &name)
{
    if (Exists(folder / name))
        return name;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    std::optional<std::string> found;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (SameTextAscii(entry, name) && (!found || entry < *found))
            found = entry;
    }
    return found;
}

std::string UserName()
{
    // Wine names the profile folder after the login name.
    if (const char *user = std::getenv("USER"); user && *user)
        return user;
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_name)
        return pw->pw_name;
    return {};
}

std::string TextAfter(const std::string &path, std::string_view prefix)
{
    return SameTextAscii(std::string_view(path).substr(0, prefix.size()), prefix) ? path.substr(prefix.size())
                                                                                  : std::string();
}

} // namespace

std::string TWinePrefix::DefaultFolder()
{
    if (const char *prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        return prefix;
    if (const std::string home = HomeFolder(); !home.empty())
        return home + "/.wine";
    return {};
}

std::optional<TWinePrefix> TWinePrefix::Locate()
{
    const std::string folder = DefaultFolder();
    if (folder.empty())
        return std::nullopt;
    std::error_code error;
    if (!fs::is_regular_file(fs::path(folder) / "system.reg", error))
        return std::nullopt;
    return TWinePrefix(folder);
}

TWinePrefix::TWinePrefix(const std::string &folder)
    : TWinePrefix(folder, TWineRegistry::Load(folder + "/system.reg"),
                  TWineRegistry::Load(folder + "/user.reg"), UserName())
{
}

TWinePrefix::TWinePrefix(const std::string &folder, TWineRegistry machine, TWineRegistry user,
                         const std::string &userName)
    : folder_(folder), machine_(std::move(machine)), user_(std::move(user)),
      env32_(machine_, user_, userName, true), env64_(machine_, user_, userName, false)
{
}

std::optional<TWineString> TWinePrefix::readFirst(std::initializer_list<TPlace> places,
                                                  const std::string &name) const
{
    for (const TPlace &place : places) {
        const TWineRegistry::TValue *value = place.reg->Find(place.key, name);
        if (!value || (value->type != TWineRegistry::kSz && value->type != TWineRegistry::kExpandSz) ||
            value->text.empty())
            continue;
        TWineString found;
        found.text = value->type == TWineRegistry::kExpandSz ? Environment(place.wow32).Expand(value->text)
                                                             : value->text;
        found.key = std::string(place.root) + "\\" + place.key;
        return found;
    }
    return std::nullopt;
}

std::optional<TWineString> TWinePrefix::ReadMachineString(const std::string &keyPath,
                                                          const std::string &name) const
{
    const std::string below = TextAfter(TRegTree::NormalizePath(keyPath), "Software\\");
    if (below.empty())
        return readFirst({{&machine_, "HKEY_LOCAL_MACHINE", keyPath, false}}, name);
    return readFirst({{&machine_, "HKEY_LOCAL_MACHINE", "Software\\Wow6432Node\\" + below, true},
                      {&machine_, "HKEY_LOCAL_MACHINE", "Software\\" + below, false}},
                     name);
}

std::optional<TWineString> TWinePrefix::ReadClassesString(const std::string &keyPath,
                                                          const std::string &name) const
{
    const std::string key = TRegTree::NormalizePath(keyPath);
    return readFirst({{&user_, "HKEY_CURRENT_USER", "Software\\Classes\\Wow6432Node\\" + key, true},
                      {&user_, "HKEY_CURRENT_USER", "Software\\Classes\\" + key, false},
                      {&machine_, "HKEY_LOCAL_MACHINE", "Software\\Classes\\Wow6432Node\\" + key, true},
                      {&machine_, "HKEY_LOCAL_MACHINE", "Software\\Classes\\" + key, false}},
                     name);
}

std::string TWinePrefix::MapPath(const std::string &windowsPath) const
{
    std::string path = windowsPath;
    // Extended-length forms name the same path.
    for (const char *lead : {"\\\\?\\", "\\??\\"})
        if (path.rfind(lead, 0) == 0)
            path.erase(0, 4);
    const char letter = path.empty() ? '\0' : path[0];
    const bool isLetter = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z');
    if (!isLetter || path.size() < 2 || path[1] != ':')
        return {};
    const char drive[] = {static_cast<char>(letter | 0x20), ':', '\0'};

    std::error_code error;
    // Only the drive's own link is resolved; the rest keeps the names found.
    const fs::path root = fs::canonical(fs::path(folder_) / "dosdevices" / drive, error);
    if (error || !fs::is_directory(root, error))
        return {};

    std::vector<std::string> parts;
    std::size_t pos = 2;
    while (pos <= path.size()) {
        std::size_t end = path.find_first_of("\\/", pos);
        if (end == std::string::npos)
            end = path.size();
        const std::string part = path.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = end + 1;
    }

    fs::path result = root;
    for (const std::string &part : parts) {
        const std::optional<std::string> entry = FindEntry(result, part);
        if (!entry)
            return {};
        result /= *entry;
    }
    return result.string();
}
