#include "platform/RegistryStore.h"

#include "platform/Exception.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string HomeFolder()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/tmp";
}

// An exclusive advisory lock held for the object's lifetime.
class TFileLock {
public:
    explicit TFileLock(const std::string &path, const std::string &forFile)
    {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EModwright("Cannot write " + forFile + ": cannot open the lock file (" +
                             std::strerror(errno) + ").");
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd_);
            throw EModwright("Cannot write " + forFile + ": cannot lock it (" + std::strerror(error) + ").");
        }
    }
    ~TFileLock() { ::close(fd_); } // closing releases the lock
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

private:
    int fd_ = -1;
};

} // namespace

const char *RegRootName(TRegRoot root)
{
    switch (root) {
    case TRegRoot::CurrentUser:
        return "HKEY_CURRENT_USER";
    case TRegRoot::ClassesRoot:
        return "HKEY_CLASSES_ROOT";
    case TRegRoot::LocalMachine:
        return "HKEY_LOCAL_MACHINE";
    }
    return "HKEY_CURRENT_USER";
}

std::string ConfigFolder()
{
    std::string folder;
    if (const char *dir = std::getenv("MODWRIGHT_CONFIG_DIR"); dir && *dir)
        folder = dir;
    else if (const char *xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        folder = std::string(xdg) + "/modwright";
    else
        folder = HomeFolder() + "/.config/modwright";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

TRegistryStore::TRegistryStore(TRegRoot root)
    : TRegistryStore(root, ConfigFolder() + "/" + RegRootName(root) + ".reg")
{
}

TRegistryStore::TRegistryStore(TRegRoot root, std::string fileName)
    : root_(root), fileName_(std::move(fileName))
{
}

void TRegistryStore::Reload()
{
    const TFileStamp stamp = FileStamp(fileName_);
    std::string text;
    try {
        ReadWholeFile(fileName_, text);
    } catch (const EModwright &) {
        text.clear(); // unreadable reads as empty; a write will report it
    }
    tree_ = TRegTree::Parse(text, RegRootName(root_));
    for (const auto &change : pending_)
        change(tree_);
    stamp_ = stamp;
    loaded_ = true;
}

const TRegTree &TRegistryStore::Tree()
{
    if (!loaded_ || FileStamp(fileName_) != stamp_)
        Reload();
    return tree_;
}

void TRegistryStore::Modify(const std::function<void(TRegTree &)> &change)
{
    if (updateDepth_ == 0) {
        WriteChanges({change});
        return;
    }
    Tree();
    try {
        change(tree_);
    } catch (...) {
        loaded_ = false; // the change may have been applied in part
        throw;
    }
    pending_.push_back(change);
}

void TRegistryStore::BeginUpdate()
{
    ++updateDepth_;
}

void TRegistryStore::EndUpdate()
{
    if (updateDepth_ == 0)
        return;
    if (--updateDepth_ > 0)
        return;
    std::vector<std::function<void(TRegTree &)>> changes;
    changes.swap(pending_);
    if (changes.empty())
        return;
    try {
        WriteChanges(changes);
    } catch (...) {
        loaded_ = false;
        throw;
    }
}

void TRegistryStore::CancelUpdate()
{
    if (updateDepth_ > 0)
        --updateDepth_;
    pending_.clear();
    loaded_ = false;
}

void TRegistryStore::WriteChanges(const std::vector<std::function<void(TRegTree &)>> &changes)
{
    const std::string folder = FolderOf(fileName_);
    if (!MakeFolders(folder, 0700))
        throw EModwright("Cannot write " + fileName_ + ": the folder " + folder + " cannot be created.");
    TFileLock lock(fileName_ + ".lock", fileName_);

    // The other process may have changed the file since we read it.
    std::string text;
    ReadWholeFile(fileName_, text); // throws when unreadable: never overwrite what we cannot read
    TRegTree fresh = TRegTree::Parse(text, RegRootName(root_));
    const std::string before = fresh.Serialize(RegRootName(root_));
    for (const auto &change : changes)
        change(fresh);
    const std::string after = fresh.Serialize(RegRootName(root_));
    if (after != before)
        WriteFileAtomic(fileName_, after);
    tree_ = std::move(fresh);
    stamp_ = FileStamp(fileName_);
    loaded_ = true;
}

TRegistryUpdate::TRegistryUpdate(TRegistryStore &store) : store_(store)
{
    store_.BeginUpdate();
}

TRegistryUpdate::~TRegistryUpdate()
{
    if (open_)
        store_.CancelUpdate();
}

void TRegistryUpdate::Commit()
{
    if (!open_)
        return;
    open_ = false;
    store_.EndUpdate();
}
