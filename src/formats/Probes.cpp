#include "formats/Probes.h"

#include "common/BusyCursor.h"
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/ReadOnlyFile.h"
#include "probe/FileProbes.h"
#include "probe/ImageProbes.h"

#include <QFile>
#include <QIODevice>

namespace {

TFileKind kindOf(const QString &FileName)
{
    return KindOfName(FileName.toUtf8().toStdString());
}

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
    return IsImageKind(kindOf(FileName));
}

bool IsAudioFile(const QString &FileName)
{
    return IsAudioKind(kindOf(FileName));
}

void GetImageInfo(const QString &FileName, TImageInfo &Info)
{
    Info = ProbeImageFile(QFile::encodeName(FileName).constData(), FileName.toStdString());
}

TImageInfo GetImageInfo(const QString &FileName)
{
    TImageInfo info;
    GetImageInfo(FileName, info);
    return info;
}

void GetAudioInfo(const QString &FileName, TAudioFormat &Format)
{
    Format = ProbeAudioFile(QFile::encodeName(FileName).constData(), FileName.toStdString());
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
    const TFileKind kind = kindOf(FileName);
    if (kind == TFileKind::Bmp) {
        try {
            Picture = ReadBmpFile(FileName);
            return true;
        } catch (const std::exception &e) {
            Picture = QImage();
            lastLoadError = QString::fromUtf8(e.what());
            return false;
        }
    }
    if (kind == TFileKind::Jpeg)
        return loadJpeg(FileName, Picture);
    return false;
}

QString LastLoadError()
{
    return lastLoadError;
}
