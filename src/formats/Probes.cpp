#include "formats/Probes.h"

#include "common/BusyCursor.h"
#include "formats/AIFFFile.h"
#include "formats/BmpFile.h"
#include "formats/ImageProbes.h"
#include "formats/JpegCodec.h"
#include "formats/ReadOnlyFile.h"
#include "formats/WaveFile.h"
#include "platform/Exception.h"

#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIODevice>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The extension with its dot: from the last dot of the last path component, or empty.
QString extensionOf(const QString &FileName)
{
    const qsizetype slash = FileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = FileName.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? FileName.mid(dot) : QString();
}

bool extensionIs(const QString &FileName, const char *Extension)
{
    return extensionOf(FileName).compare(QLatin1String(Extension), Qt::CaseInsensitive) == 0;
}

// The message of a BMP probe failure names the file on a line of its own; the
// program's messages keep CR LF line breaks, and the windows show them as one break.
const char *const kMessageLineBreak = "\r\n";

thread_local QString lastLoadError;

// A sample file opened for its headers only, refused with the messages of the mapping that
// CreateFromFile makes, so that a probe and an assignment report a bad file alike.
class TSampleHeaders final : public TByteSource {
public:
    explicit TSampleHeaders(const QString &FileName) : fileName_(FileName)
    {
        // O_NONBLOCK: a FIFO named like a sample is refused below, not waited on.
        fd_ = ::open(FileName.toUtf8().constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd_ < 0)
            fail("Couldn't open ");
        // Other readers are welcome; a writer of ours holding the exclusive lock is not.
        if (::flock(fd_, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK)
            fail("Couldn't open ");
        struct stat st {};
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0)
            fail("Couldn't open ");
        if (st.st_size == 0)
            fail("CreateFileMapping failed: ");
        size_ = uint64_t(st.st_size);
    }
    ~TSampleHeaders() override
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    TSampleHeaders(const TSampleHeaders &) = delete;
    TSampleHeaders &operator=(const TSampleHeaders &) = delete;

    uint64_t size() const override { return size_; }
    size_t readAt(uint64_t Offset, uint8_t *Dest, size_t Count) override
    {
        size_t done = 0;
        while (done < Count) {
            const ssize_t n = ::pread(fd_, Dest + done, Count - done, off_t(Offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                throw EModwright("Cannot read file \"" + fileName_.toStdString() + "\". " +
                                 std::strerror(errno));
            if (n == 0)
                break;
            done += size_t(n);
        }
        return done;
    }

private:
    [[noreturn]] void fail(const char *prefix)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        throw EModwright(prefix + fileName_.toStdString() + ".");
    }

    QString fileName_;
    int fd_ = -1;
    uint64_t size_ = 0;
};

// The hourglass while a JPEG decodes, when there is a GUI whose thread this is.
bool loadJpeg(const QString &FileName, QImage &Picture)
{
    TBusyCursor busy;
    try {
        TReadOnlyFile file(FileName);
        const std::optional<uint64_t> offset = JpegDataOffset(file);
        if (!offset)
            return false; // not ours to show, and not an error worth a message
        Picture = DecodeJpeg(file, *offset);
        return true;
    } catch (const std::exception &e) {
        Picture = QImage();
        lastLoadError = QString::fromUtf8(e.what());
        return false;
    }
}

} // namespace

bool IsImageFile(const QString &FileName)
{
    return extensionIs(FileName, ".bmp") || extensionIs(FileName, ".jpg") || extensionIs(FileName, ".gif");
}

bool IsAudioFile(const QString &FileName)
{
    return extensionIs(FileName, ".aif") || extensionIs(FileName, ".wav");
}

void GetImageInfo(const QString &FileName, TImageInfo &Info)
{
    if (extensionIs(FileName, ".bmp")) {
        TReadOnlyFile file(FileName);
        try {
            Info = ProbeBmp(file);
        } catch (const EModwright &e) {
            throw EModwright(e.message() + kMessageLineBreak + "(" +
                             QFileInfo(FileName).absoluteFilePath().toStdString() + ")");
        }
    } else if (extensionIs(FileName, ".jpg")) {
        TReadOnlyFile file(FileName);
        Info = ProbeJpeg(file);
    } else if (extensionIs(FileName, ".gif")) {
        TReadOnlyFile file(FileName);
        Info = ProbeGif(file);
    } else {
        throw EModwright("No valid BMP/JPG/GIF file.");
    }
}

TImageInfo GetImageInfo(const QString &FileName)
{
    TImageInfo info;
    GetImageInfo(FileName, info);
    return info;
}

void GetAudioInfo(const QString &FileName, TAudioFormat &Format)
{
    if (extensionIs(FileName, ".aif")) {
        TSampleHeaders file(FileName);
        Format = TAIFFFile::ReadFormat(file);
    } else if (extensionIs(FileName, ".wav")) {
        TSampleHeaders file(FileName);
        Format = TWaveFile::ReadFormat(file);
    } else {
        throw EModwright("No valid WAV/AIFF file.");
    }
}

TAudioFormat GetAudioInfo(const QString &FileName)
{
    TAudioFormat format;
    GetAudioInfo(FileName, format);
    return format;
}

bool CheckJpegHeader(QIODevice &Stream)
{
    const qint64 start = Stream.pos();
    const QByteArray head = Stream.read(145);
    TMemorySource source({reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size())});
    const std::optional<uint64_t> offset = JpegDataOffset(source);
    Stream.seek(start + (offset ? qint64(*offset) : 0));
    return offset.has_value();
}

bool LoadImageFile(const QString &FileName, QImage &Picture)
{
    lastLoadError.clear();
    if (extensionIs(FileName, ".bmp")) {
        try {
            Picture = ReadBmpFile(FileName);
            return true;
        } catch (const std::exception &e) {
            Picture = QImage();
            lastLoadError = QString::fromUtf8(e.what());
            return false;
        }
    }
    if (extensionIs(FileName, ".jpg"))
        return loadJpeg(FileName, Picture);
    return false;
}

QString LastLoadError()
{
    return lastLoadError;
}
