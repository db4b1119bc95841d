#include "formats/ReadOnlyFile.h"

#include "platform/Exception.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemMessage(int error)
{
    return std::strerror(error);
}

} // namespace

TReadOnlyFile::TReadOnlyFile(const QString &FileName) : fileName_(FileName)
{
    const QByteArray native = QFile::encodeName(FileName);
    const std::string shown = FileName.toStdString();
    if (native.isEmpty())
        throw EModwright("Cannot open file \"" + shown + "\". " + systemMessage(ENOENT));
    // O_NONBLOCK keeps open() from waiting on a FIFO; it does not affect regular files.
    fd_ = ::open(native.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd_ < 0)
        throw EModwright("Cannot open file \"" + shown + "\". " + systemMessage(errno));
    struct stat st {};
    std::string reason;
    if (::fstat(fd_, &st) != 0)
        reason = systemMessage(errno);
    else if (S_ISDIR(st.st_mode))
        reason = systemMessage(EISDIR);
    else if (!S_ISREG(st.st_mode))
        reason = "Not a regular file";
    if (!reason.empty()) {
        ::close(fd_);
        fd_ = -1;
        throw EModwright("Cannot open file \"" + shown + "\". " + reason);
    }
    size_ = uint64_t(st.st_size);
}

TReadOnlyFile::~TReadOnlyFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

size_t TReadOnlyFile::readAt(uint64_t Offset, uint8_t *Dest, size_t Count)
{
    if (Count >= kReadAhead)
        return readDirect(Offset, Dest, Count);
    if (!ahead_ || Offset < aheadOffset_ || Offset + Count > aheadOffset_ + aheadLength_) {
        if (!ahead_)
            ahead_ = std::make_unique<uint8_t[]>(kReadAhead);
        aheadLength_ = 0; // stays empty if the read raises
        aheadOffset_ = Offset;
        aheadLength_ = readDirect(Offset, ahead_.get(), kReadAhead);
    }
    const uint64_t skip = Offset - aheadOffset_;
    const size_t n = skip >= aheadLength_ ? 0 : std::min<size_t>(Count, aheadLength_ - size_t(skip));
    if (n > 0)
        std::memcpy(Dest, ahead_.get() + skip, n);
    return n;
}

size_t TReadOnlyFile::readDirect(uint64_t Offset, uint8_t *Dest, size_t Count)
{
    size_t done = 0;
    while (done < Count) {
        const ssize_t n = ::pread(fd_, Dest + done, Count - done, off_t(Offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EModwright("Cannot read file \"" + fileName_.toStdString() + "\". " + systemMessage(errno));
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return done;
}

QByteArray TReadOnlyFile::readAll(uint64_t MaxBytes)
{
    if (size_ > MaxBytes)
        throw EModwright("File \"" + fileName_.toStdString() + "\" is too large.");
    QByteArray bytes(qsizetype(size_), Qt::Uninitialized);
    bytes.truncate(qsizetype(readAt(0, reinterpret_cast<uint8_t *>(bytes.data()), size_t(size_))));
    return bytes;
}
