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
    if (extensionIs(FileName, ".aif"))
        TAIFFFile::CreateFromFile(FileName)->GetFormat(Format);
    else if (extensionIs(FileName, ".wav"))
        TWaveFile::CreateFromFile(FileName)->GetFormat(Format);
    else
        throw EModwright("No valid WAV/AIFF file.");
    Format.Data = nullptr; // it pointed into the mapping just released
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
