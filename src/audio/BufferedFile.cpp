#include "audio/BufferedFile.h"

#include "platform/Exception.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// pread that retries interrupted calls; -1 on error.
ssize_t readAt(int fd, void *data, size_t count, int64_t offset)
{
    for (;;) {
        const ssize_t r = ::pread(fd, data, count, off_t(offset));
        if (r >= 0 || errno != EINTR)
            return r;
    }
}

} // namespace

TBufferedFile::TBufferedFile(const QString &FileName) : buffer_(new char[BufferSize])
{
    // Opened without blocking so that a named pipe cannot hang the caller; only regular
    // files are read.
    fd_ = ::open(QFile::encodeName(FileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd_ >= 0)
            ::close(fd_);
        throw EModwright("Couldn't open " + FileName.toStdString());
    }
}

TBufferedFile::~TBufferedFile()
{
    ::close(fd_);
}

int64_t TBufferedFile::size() const
{
    struct stat st;
    return ::fstat(fd_, &st) == 0 ? int64_t(st.st_size) : 0;
}

size_t TBufferedFile::read(void *Data, size_t Count)
{
    char *out = static_cast<char *>(Data);
    size_t done = 0;
    while (done < Count) {
        if (pos_ >= bufferStart_ && pos_ < bufferStart_ + int64_t(bufferLength_)) {
            const size_t at = size_t(pos_ - bufferStart_);
            const size_t n = std::min(Count - done, bufferLength_ - at);
            std::memcpy(out + done, buffer_.get() + at, n);
            done += n;
            pos_ += int64_t(n);
            continue;
        }
        const size_t left = Count - done;
        if (left >= BufferSize) {
            // Large reads go straight to the caller's memory.
            const ssize_t r = readAt(fd_, out + done, left, pos_);
            if (r <= 0)
                break;
            done += size_t(r);
            pos_ += r;
            continue;
        }
        const ssize_t r = readAt(fd_, buffer_.get(), BufferSize, pos_);
        if (r <= 0)
            break;
        bufferStart_ = pos_;
        bufferLength_ = size_t(r);
    }
    return done;
}
