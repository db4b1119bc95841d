#include "formats/AudioFile.h"

#include "formats/MappedFile.h"
#include "platform/Exception.h"

#include <QIODevice>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string systemReason(int error)
{
    char buffer[256];
    // The GNU variant returns the text, which may or may not live in buffer.
    return strerror_r(error, buffer, sizeof buffer);
}

std::string quoted(const QString &fileName)
{
    return "\"" + fileName.toStdString() + "\". ";
}

// Owns a descriptor on every path out of SaveToFile.
class TFd {
public:
    explicit TFd(int fd) : fd_(fd) {}
    ~TFd()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

} // namespace

TAudioFileBase::TAudioFileBase() = default;

TAudioFileBase::~TAudioFileBase()
{
    buffer_.reset();
    CloseFile();
}

size_t TAudioFileBase::GetImageSize() const
{
    Image();
    return imageSize_;
}

const uint8_t *TAudioFileBase::GetImage() const
{
    return Image();
}

const uint8_t *TAudioFileBase::Image() const
{
    Assert(image_ != nullptr, "AudioTypes");
    return image_;
}

void TAudioFileBase::SetImage(const uint8_t *Image, size_t Size)
{
    image_ = Image;
    imageSize_ = Size;
}

void TAudioFileBase::OpenFile(const QString &FileName)
{
    mapping_ = std::make_unique<TMappedFile>(FileName);
    fileName_ = FileName;
    try {
        ParseImage(mapping_->data(), mapping_->size());
    } catch (...) {
        CloseFile();
        throw;
    }
}

void TAudioFileBase::ParseBorrowed(const uint8_t *Image, size_t Size)
{
    Assert(Image != nullptr || Size == 0, "AudioTypes");
    ParseImage(Image, Size);
}

uint8_t *TAudioFileBase::AllocateImage(size_t Size)
{
    buffer_ = std::make_unique<uint8_t[]>(Size); // value-initialised: zero pad bytes
    SetImage(buffer_.get(), Size);
    return buffer_.get();
}

bool TAudioFileBase::CloseFile()
{
    if (!mapping_)
        return false;
    mapping_.reset();
    fileName_.clear();
    SetImage(nullptr, 0);
    return true;
}

void TAudioFileBase::SaveToStream(QIODevice &Stream) const
{
    const uint8_t *image = Image();
    const qint64 size = static_cast<qint64>(imageSize_);
    if (Stream.write(reinterpret_cast<const char *>(image), size) != size)
        throw EModwright("Cannot write the sample file. " + Stream.errorString().toStdString());
}

void TAudioFileBase::SaveToFile(const QString &FileName) const
{
    const uint8_t *image = Image();
    const QByteArray path = FileName.toUtf8();
    // Not O_TRUNC: a file being read through a mapping must not be cut short under its
    // reader, so the exclusive lock is taken before anything is changed.
    TFd fd(::open(path.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        throw EModwright("Cannot create file " + quoted(FileName) + systemReason(errno));
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw EModwright("Cannot create file " + quoted(FileName) +
                         "The process cannot access the file because it is being used by another process.");

    struct stat st {};
    const bool regular = ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    auto fail = [&](int error) {
        if (regular)
            ::unlink(path.constData()); // no half-written sample file is left behind
        throw EModwright("Cannot write file " + quoted(FileName) + systemReason(error));
    };
    if (regular && ::ftruncate(fd.get(), 0) != 0)
        fail(errno);
    size_t done = 0;
    while (done < imageSize_) {
        const ssize_t n = ::write(fd.get(), image + done, imageSize_ - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(n < 0 ? errno : ENOSPC);
        done += static_cast<size_t>(n);
    }
    // Deferred write errors (quota, network file systems) show up at close.
    if (::close(fd.release()) != 0)
        fail(errno);
}
