#include "platform/FileIo.h"

#include "platform/AtomicSave.h"
#include "platform/Exception.h"

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
    TAtomicSave save(path);
    int error = save.Open();
    if (error == 0)
        error = save.Write(contents.data(), contents.size());
    if (error == 0)
        error = save.Commit();
    if (error != 0)
        ThrowWriteError(path, error);
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
