#include "probe/FileSource.h"

#include "platform/Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TFileSource::TFileSource(const char *Path, std::string Shown, TOpenAs As, size_t ReadAhead)
    : shown_(std::move(Shown)), readAhead_(std::max<size_t>(ReadAhead, 1))
{
    // The messages are built only when needed: most files open.
    auto refuseImage = [this](const char *reason) {
        refuse("Cannot open file \"" + shown_ + "\". " + reason);
    };
    auto refuseSample = [this] { refuse("Couldn't open " + shown_ + "."); };
    auto refuseWith = [&](int error) {
        if (As == TOpenAs::Sample)
            refuseSample();
        refuseImage(std::strerror(error));
    };
    if (*Path == '\0')
        refuseWith(ENOENT);
    // O_NONBLOCK keeps open() from waiting on a FIFO; it does not affect regular files.
    fd_ = ::open(Path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0)
        refuseWith(errno);
    // Other readers of a sample are welcome; a writer of ours holding the exclusive lock is not.
    if (As == TOpenAs::Sample && ::flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        refuseSample();
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        refuseWith(errno);
    if (!S_ISREG(st.st_mode) || st.st_size < 0) {
        if (As == TOpenAs::Sample)
            refuseSample();
        refuseImage(S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : "Not a regular file");
    }
    if (As == TOpenAs::Sample && st.st_size == 0)
        refuse("CreateFileMapping failed: " + shown_ + ".");
    size_ = uint64_t(st.st_size);
}

TFileSource::~TFileSource()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TFileSource::refuse(const std::string &Message)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    throw EModwright(Message);
}

size_t TFileSource::readAt(uint64_t Offset, uint8_t *Dest, size_t Count)
{
    if (Count >= readAhead_)
        return readDirect(Offset, Dest, Count);
    if (!ahead_ || Offset < aheadOffset_ || Offset + Count > aheadOffset_ + aheadLength_) {
        if (!ahead_)
            ahead_ = std::make_unique<uint8_t[]>(readAhead_);
        aheadLength_ = 0; // stays empty if the read raises
        aheadOffset_ = Offset;
        aheadLength_ = readDirect(Offset, ahead_.get(), readAhead_);
    }
    const uint64_t skip = Offset - aheadOffset_;
    const size_t n = skip >= aheadLength_ ? 0 : std::min<size_t>(Count, aheadLength_ - size_t(skip));
    if (n > 0)
        std::memcpy(Dest, ahead_.get() + skip, n);
    return n;
}

size_t TFileSource::readDirect(uint64_t Offset, uint8_t *Dest, size_t Count)
{
    size_t done = 0;
    while (done < Count) {
        const ssize_t n = ::pread(fd_, Dest + done, Count - done, off_t(Offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EModwright("Cannot read file \"" + shown_ + "\". " + std::strerror(errno));
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return done;
}
