#include "platform/WinePrefix.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool SameIgnoringAsciiCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

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
        if (SameIgnoringAsciiCase(entry, name) && (!found || entry < *found))
            found = entry;
    }
    return found;
}

} // namespace

std::optional<TWinePrefix> TWinePrefix::Locate()
{
    std::string folder;
    if (const char *prefix = std::getenv("WINEPREFIX"); prefix && *prefix)
        folder = prefix;
    else if (const std::string home = HomeFolder(); !home.empty())
        folder = home + "/.wine";
    else
        return std::nullopt;
    std::error_code error;
    if (!fs::is_regular_file(fs::path(folder) / "system.reg", error))
        return std::nullopt;
    return TWinePrefix(folder);
}

TWinePrefix::TWinePrefix(const std::string &folder)
    : folder_(folder), machine_(TWineRegistry::Load(folder + "/system.reg")),
      user_(TWineRegistry::Load(folder + "/user.reg"))
{
}

std::optional<std::string> TWinePrefix::ReadMachineString(const std::string &keyPath,
                                                          const std::string &name) const
{
    return machine_.ReadString(keyPath, name);
}

std::optional<std::string> TWinePrefix::ReadClassesString(const std::string &keyPath,
                                                          const std::string &name) const
{
    const std::string userKey = "Software\\Classes\\" + keyPath;
    if (user_.KeyExists(userKey))
        return user_.ReadString(userKey, name);
    return machine_.ReadString("Software\\Classes\\" + keyPath, name);
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
