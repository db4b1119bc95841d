#include "platform/FileIo.h"

#include "platform/Exception.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ErrorText(int error)
{
    return std::strerror(error);
}

[[noreturn]] void ThrowWriteError(const std::string &path, int error)
{
    throw EModwright("Cannot write " + path + ": " + ErrorText(error) + ".");
}

std::string FolderOf(const std::string &path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

// Closes a descriptor on every way out.
class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TFd(const TFd &) = delete;
    TFd &operator=(const TFd &) = delete;
    int get() const { return fd_; }
    // Closes now and reports close's own error (a delayed write error shows up here).
    int release()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::atomic<unsigned> tempCounter{0};

} // namespace

bool ReadWholeFile(const std::string &path, std::string &contents)
{
    contents.clear();
    const int raw = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (raw < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw EModwright("Cannot read " + path + ": " + ErrorText(errno) + ".");
    }
    TFd fd(raw);
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode))
        throw EModwright("Cannot read " + path + ": " + ErrorText(EISDIR) + ".");
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            contents.clear();
            throw EModwright("Cannot read " + path + ": " + ErrorText(error) + ".");
        }
        if (got == 0)
            break;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

void WriteFileAtomic(const std::string &path, std::string_view contents)
{
    if (path.empty())
        throw EModwright("Cannot write a file without a name.");

    // Replace the target of a symbolic link, not the link itself.
    std::string target = path;
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char *resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode))
        ThrowWriteError(path, EISDIR);

    // A name of our own beside the target; O_EXCL guards against any clash, and
    // creating with 0666 lets the umask decide a new file's permissions.
    std::string temp;
    int raw = -1;
    for (int attempt = 0; attempt < 100 && raw < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(tempCounter++);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST)
            ThrowWriteError(path, errno);
    }
    if (raw < 0)
        ThrowWriteError(path, EEXIST);

    TFd fd(raw);
    auto fail = [&](int error) {
        ::unlink(temp.c_str());
        ThrowWriteError(path, error);
    };
    if (existed)
        ::fchmod(fd.get(), st.st_mode & 07777); // best effort: the contents matter more
    if (!WriteAll(fd.get(), contents))
        fail(errno);
    // A file system that cannot sync at all (some network and FUSE mounts)
    // still gets the rename; any other sync error means the data may be lost.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP && errno != ENOSYS)
        fail(errno);
    if (fd.release() != 0)
        fail(errno);
    if (::rename(temp.c_str(), target.c_str()) != 0)
        fail(errno);

    // Make the rename itself durable. A folder that cannot be opened or synced
    // does not undo a write that has already happened.
    const int folder = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

TFileStamp FileStamp(const std::string &path)
{
    TFileStamp stamp;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

bool MakeFolders(const std::string &path, unsigned mode)
{
    if (path.empty())
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    std::string parent = path;
    while (parent.size() > 1 && parent.back() == '/')
        parent.pop_back();
    const std::size_t slash = parent.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        MakeFolders(parent.substr(0, slash), mode);
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST)
        return false;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
