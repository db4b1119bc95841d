// Writing, removing and listing the file managers' menu entries: only ours,
// each file replaced atomically, under a lock shared by every program start.

#include "platform/Exception.h"
#include "platform/FileIo.h"
#include "platform/RegistryStore.h"
#include "platform/ShellExtNames.h"
#include "platform/ShellMenuEntries.h"
#include "platform/ShellMenuFiles.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *LegacyScriptName = "Edit with (Modwright)";
constexpr off_t LargestEntry = 64 * 1024;

std::string LinkTarget(const std::string &path)
{
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    return n > 0 ? std::string(target, std::size_t(n)) : std::string();
}

std::string Untouched(const std::string &path, const std::string &reason)
{
    return path + " " + reason + "; Modwright left it untouched.";
}

// Why a folder cannot take our entries; empty when it can (or does not exist yet).
std::string FolderProblem(const std::string &folder)
{
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR
                   ? std::string()
                   : Untouched(folder, std::string("cannot be read: ") + std::strerror(errno));
    if (S_ISLNK(st.st_mode))
        return Untouched(folder, "is a link to " + LinkTarget(folder));
    if (!S_ISDIR(st.st_mode))
        return Untouched(folder, "is not a folder");
    if (::access(folder.c_str(), R_OK | W_OK | X_OK) != 0)
        return Untouched(folder, std::string("cannot be changed: ") + std::strerror(errno));
    return {};
}

// A regular file (not a link) with our marker line.
bool IsOurFile(const std::string &path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > LargestEntry)
        return false;
    std::string contents;
    try {
        if (!ReadWholeFile(path, contents))
            return false;
    } catch (const EModwright &) {
        return false;
    }
    return contents.find("\n" + ShellMenuMarker + "\n") != std::string::npos ||
           contents.find("\n# " + ShellMenuMarker + "\n") != std::string::npos;
}

// The symbolic link to the bridge that earlier versions made as their Nautilus script.
bool IsLegacyLink(const std::string &path)
{
    const std::string target = LinkTarget(path);
    return !target.empty() && FileNamePart(target) == ShellMenuProgramName;
}

std::vector<std::string> OurFilesIn(const std::string &folder)
{
    std::vector<std::string> ours;
    DIR *dir = ::opendir(folder.c_str());
    if (!dir)
        return ours;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string path = folder + "/" + entry->d_name;
        if (entry->d_name[0] != '.' && IsOurFile(path))
            ours.push_back(path);
    }
    ::closedir(dir);
    return ours;
}

void Remove(const std::string &path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EModwright("Cannot delete " + path + ": " + std::strerror(errno) + ".");
}

bool Exists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

// An advisory lock over the whole update, so that two program starts at once
// do not interleave their reading and rewriting of a shared file (uca.xml).
class TMenuLock {
public:
    TMenuLock()
    {
        const std::string folder = ConfigFolder();
        if (folder.empty() || !MakeFolders(folder))
            return;
        fd_ = ::open((folder + "/shell-menus.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~TMenuLock()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TMenuLock(const TMenuLock &) = delete;
    TMenuLock &operator=(const TMenuLock &) = delete;

private:
    int fd_ = -1;
};

void UpdateFolder(const TShellMenuFolder &folder, const std::vector<TShellMenuFile> &files,
                  std::vector<std::string> &problems)
{
    if (const std::string problem = FolderProblem(folder.path); !problem.empty()) {
        if (!files.empty() || !OurFilesIn(folder.path).empty())
            problems.push_back(problem);
        return;
    }
    try {
        for (const std::string &path : OurFilesIn(folder.path)) {
            bool wanted = false;
            for (const TShellMenuFile &file : files)
                wanted = wanted || file.path == path;
            if (!wanted)
                Remove(path);
        }
        if (folder.manager == "nautilus" && IsLegacyLink(folder.path + "/" + LegacyScriptName))
            Remove(folder.path + "/" + LegacyScriptName);
        for (const TShellMenuFile &file : files) {
            if (Exists(file.path)) {
                if (!IsOurFile(file.path))
                    continue; // someone else's file of this name
                std::string old;
                struct stat st {};
                if (ReadWholeFile(file.path, old) && old == file.contents &&
                    ::stat(file.path.c_str(), &st) == 0 && (st.st_mode & 0777) == file.mode)
                    continue;
            }
            MakeFolders(folder.path);
            WriteFileAtomic(file.path, file.contents);
            ::chmod(file.path.c_str(), file.mode);
        }
    } catch (const EModwright &e) {
        problems.push_back(e.what());
    }
}

void UpdateThunar(const std::vector<TThunarAction> &actions, std::vector<std::string> &problems)
{
    const std::string path = ThunarFile();
    if (path.empty())
        return;
    struct stat st {};
    const bool exists = ::lstat(path.c_str(), &st) == 0;
    if (!exists && actions.empty())
        return;
    if (exists && S_ISLNK(st.st_mode)) {
        problems.push_back(Untouched(path, "is a link to " + LinkTarget(path)));
        return;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        problems.push_back(Untouched(path, "is not a file"));
        return;
    }
    const std::string folder = path.substr(0, path.rfind('/'));
    if (const std::string problem = FolderProblem(folder); !problem.empty()) {
        problems.push_back(problem);
        return;
    }
    std::string text;
    try {
        ReadWholeFile(path, text);
    } catch (const EModwright &e) {
        problems.push_back(Untouched(path, std::string("cannot be read (") + e.what() + ")"));
        return;
    }
    std::string merged;
    try {
        merged = MergeThunarActions(text, actions);
    } catch (const EModwright &e) {
        problems.push_back(
            Untouched(path, std::string("is not a well-formed actions file (") + e.what() + ")"));
        return;
    }
    if (merged == text)
        return;
    try {
        MakeFolders(folder);
        WriteFileAtomic(path, merged);
    } catch (const EModwright &e) {
        problems.push_back(e.what());
    }
}

std::vector<std::string> Update(const std::vector<TShellMenuFile> &files,
                                const std::vector<TThunarAction> &actions)
{
    std::vector<std::string> problems;
    TMenuLock lock;
    for (const TShellMenuFolder &folder : ShellMenuFolders()) {
        std::vector<TShellMenuFile> mine;
        for (const TShellMenuFile &file : files)
            if (file.manager == folder.manager)
                mine.push_back(file);
        UpdateFolder(folder, mine, problems);
    }
    UpdateThunar(actions, problems);
    return problems;
}

} // namespace

std::vector<std::string> InstallShellMenus(const std::string &menuProgram)
{
    if (menuProgram.empty() || ::access(menuProgram.c_str(), X_OK) != 0)
        return RemoveShellMenus();
    std::vector<TShellMenuFile> files;
    std::vector<TThunarAction> actions;
    try {
        files = ShellMenuFiles(menuProgram);
        if (!files.empty()) // else the bridge's path cannot go into an entry
            actions = ThunarActionsFor(menuProgram);
    } catch (const EModwright &) {
        // The editor choice could not be read (a value of the wrong type): the
        // entries stay as they were.
        return {};
    }
    return Update(files, actions);
}

std::vector<std::string> RemoveShellMenus()
{
    return Update({}, {});
}

std::vector<TShellMenuEntry> ListShellMenus()
{
    std::vector<TShellMenuEntry> entries;
    for (const TShellMenuFolder &folder : ShellMenuFolders())
        for (const std::string &path : OurFilesIn(folder.path))
            entries.push_back({folder.manager, path, {}});
    const std::string thunar = ThunarFile();
    struct stat st {};
    if (!thunar.empty() && ::lstat(thunar.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        try {
            std::string text;
            ReadWholeFile(thunar, text);
            for (const std::string &id : OurThunarActionIds(text))
                entries.push_back({"thunar", thunar, id});
        } catch (const EModwright &) {
            // Unreadable or malformed: nothing of ours can be in it.
        }
    }
    return entries;
}
