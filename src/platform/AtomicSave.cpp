#include "platform/AtomicSave.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kTag = ".modwright-save-";
constexpr std::size_t kRandomChars = 6;
// NAME_MAX less the dot, the tag and the random part.
constexpr std::size_t kMaxNamePart = NAME_MAX - 1 - 16 - kRandomChars;

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// ".<name>.modwright-save-": every temporary file of one file starts so. A name too long
// to take the additions is cut, the same way for the writer and the sweeper.
std::string tempPrefix(const std::string &name)
{
    return "." + name.substr(0, kMaxNamePart) + kTag;
}

bool isOurTempName(const char *entry, const std::string &prefix)
{
    const std::size_t length = std::strlen(entry);
    if (!prefix.empty())
        return length == prefix.size() + kRandomChars &&
               std::strncmp(entry, prefix.data(), prefix.size()) == 0;
    // Any file's: ".<something>.modwright-save-XXXXXX".
    const std::size_t tag = std::strlen(kTag);
    return entry[0] == '.' && length > 1 + tag + kRandomChars &&
           std::strncmp(entry + length - kRandomChars - tag, kTag, tag) == 0;
}

std::string randomChars()
{
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<int> pick(0, int(sizeof alphabet) - 2);
    std::string chars;
    for (std::size_t i = 0; i < kRandomChars; ++i)
        chars += alphabet[pick(generator)];
    return chars;
}

bool writeAll(int fd, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

int lockWait(int fd)
{
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

TAtomicSave::TAtomicSave(const std::string &Path) : path_(Path), target_(Path) {}

TAtomicSave::~TAtomicSave()
{
    discard();
}

void TAtomicSave::discard()
{
    if (!temp_.empty())
        ::unlink(temp_.c_str()); // while still locked, so no sweeper sees a half state
    temp_.clear();
    if (fd_ >= 0)
        ::close(fd_);
    if (lock_ >= 0)
        ::close(lock_);
    fd_ = lock_ = -1;
}

int TAtomicSave::Open()
{
    if (path_.empty())
        return ENOENT;
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *resolved = ::realpath(path_.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
    }
    existed_ = ::stat(target_.c_str(), &st) == 0;
    if (existed_ && S_ISDIR(st.st_mode))
        return EISDIR;
    if (existed_ && !S_ISREG(st.st_mode)) {
        fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
        return fd_ < 0 ? errno : 0;
    }
    mode_ = st.st_mode & 07777;

    const std::string folder = folderOf(target_);
    const std::string name = nameOf(target_);
    RemoveStaleSaveFiles(folder, name);
    const std::string prefix = folder + "/" + tempPrefix(name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = prefix + randomChars();
        // 0666: the umask decides a new file's permissions.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return errno;
        }
        // A file system without locks still gets its save, only without the sweep's guard.
        const int locked = lockWait(fd);
        struct stat own {};
        if (locked == 0 && ::fstat(fd, &own) == 0 && own.st_nlink == 0) {
            // A sweeper took it for stale in the instant between creating and locking.
            ::close(fd);
            continue;
        }
        fd_ = fd;
        temp_ = temp;
        lock_ = ::dup(fd); // keeps the lock while fd_ is closed to collect its errors
        if (lock_ < 0) {
            const int error = errno;
            discard();
            return error;
        }
        if (existed_)
            ::fchmod(fd_, mode_); // best effort: the contents matter more
        return 0;
    }
    return EEXIST;
}

int TAtomicSave::Write(const void *Data, std::size_t Size)
{
    if (fd_ < 0)
        return EBADF;
    if (!writeAll(fd_, static_cast<const char *>(Data), Size))
        return errno;
    return 0;
}

int TAtomicSave::Commit()
{
    if (fd_ < 0)
        return EBADF;
    auto fail = [this](int error) {
        discard();
        return error;
    };
    if (temp_.empty()) { // a device written in place
        const int result = ::close(fd_);
        fd_ = -1;
        return result != 0 ? errno : 0;
    }
    // A file system that cannot sync at all (some network and FUSE mounts) still gets the
    // rename; any other sync error means the data may be lost.
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS)
        return fail(errno);
    // Deferred write errors (quota, network file systems) show up at close.
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0)
        return fail(errno);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return fail(errno);
    temp_.clear();
    ::close(lock_);
    lock_ = -1;
    // Make the rename itself durable. A folder that cannot be opened or synced does not undo
    // a write that has already happened.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return 0;
}

int RemoveStaleSaveFiles(const std::string &Folder, const std::string &Name)
{
    const std::string prefix = Name.empty() ? std::string() : tempPrefix(Name);
    DIR *dir = ::opendir(Folder.c_str());
    if (!dir)
        return 0;
    const int dirFd = ::dirfd(dir);
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (!isOurTempName(entry->d_name, prefix))
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        if (fd < 0)
            continue;
        struct stat opened {};
        struct stat named {};
        // Unlocked means its writer is gone: a live writer holds the lock from creation to
        // rename. The name must still be the file we locked.
        if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == opened.st_dev && named.st_ino == opened.st_ino &&
            ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}
