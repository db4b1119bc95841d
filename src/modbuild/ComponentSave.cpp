#include "modbuild/ComponentSave.h"

#include "formats/AIFFFile.h"
#include "formats/AtomicFile.h"
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/Probes.h"
#include "formats/WaveFile.h"
#include "platform/AtomicSave.h"
#include "platform/Exception.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>

namespace {

constexpr qint64 CopyBlockSize = 16385;

[[noreturn]] void Fail(const QString &message)
{
    throw EModwright(message.toStdString());
}

// The extension with its dot, from the last dot of the file name; empty when none.
QString ExtensionOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf('.');
    return dot < 0 ? QString() : name.mid(dot);
}

bool SameExtension(const QString &a, const QString &b)
{
    return ExtensionOf(a).compare(ExtensionOf(b), Qt::CaseInsensitive) == 0;
}

bool ExtensionIs(const QString &path, const char *extension)
{
    return ExtensionOf(path).compare(QLatin1String(extension), Qt::CaseInsensitive) == 0;
}

QString NotJpeg(const QString &source)
{
    return source + " is no valid JPEG image file.";
}

// Where the JPEG data of the file starts: 0, or 128 behind a MacBinary header.
qint64 JpegStart(const QString &source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        Fail(QString("Cannot open file \"%1\". %2").arg(source, file.errorString()));
    if (!CheckJpegHeader(file))
        Fail(NotJpeg(source));
    return file.pos();
}

// Where a save goes: a path, or a name inside an open folder (written through
// its handle, so a link in the name's place is replaced, never followed).
struct TTarget {
    const TSafeDir *folder = nullptr;
    QString name; // inside folder
    QString path; // without folder; with it, the path shown in messages

    void Write(const QByteArray &bytes) const
    {
        if (folder)
            folder->WriteFile(name, bytes);
        else
            WriteFileAtomically(path, bytes);
    }
    void Copy(const QString &source, qint64 offset) const
    {
        if (folder)
            folder->CopyIn(source, name, offset);
        else
            CopyFileAtomically(source, path, offset);
    }
};

void SaveImage(const QString &source, const TTarget &target, const TBuildSettings &settings)
{
    const QString &destination = target.path;
    if (SameExtension(source, destination)) {
        const qint64 start = ExtensionIs(source, ".jpg") ? JpegStart(source) : 0;
        target.Copy(source, start);
    } else if (ExtensionIs(source, ".bmp")) {
        target.Write(EncodeJpeg(ReadBmpFile(source), settings.JpegCompressionRatio));
    } else {
        JpegStart(source); // refuses anything without the JFIF signature, with our message
        target.Write(EncodeBmp24(ReadJpegFile(source)));
    }
}

void SaveDrum(const QString &source, const TTarget &target)
{
    const QString &destination = target.path;
    std::unique_ptr<TAudioFileBase> in;
    if (ExtensionIs(source, ".aif"))
        in = TAIFFFile::CreateFromFile(source);
    else
        in = TWaveFile::CreateFromFile(source);
    const TAudioFormat format = in->GetFormat();
    std::unique_ptr<TAudioFileBase> out;
    if (ExtensionIs(destination, ".aif"))
        out = TAIFFFile::CreateNew(format, 1, 16);
    else
        out = TWaveFile::CreateNew(format, 1, 16);
    target.Write(QByteArray::fromRawData(reinterpret_cast<const char *>(out->GetImage()),
                                         qsizetype(out->GetImageSize())));
}

} // namespace

void CopyFileAtomically(const QString &source, const QString &destination, qint64 offset)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        Fail(QString("Cannot open file \"%1\". %2").arg(source, in.errorString()));
    if (offset > 0 && !in.seek(offset))
        Fail(QString("Cannot read file \"%1\". %2").arg(source, in.errorString()));
    TAtomicSave out(QFile::encodeName(destination).toStdString());
    if (const int error = out.Open())
        Fail(QString("Cannot create file \"%1\". %2")
                 .arg(destination, QString::fromLocal8Bit(std::strerror(error))));
    QByteArray block(CopyBlockSize, Qt::Uninitialized);
    int error = 0;
    for (;;) {
        const qint64 got = in.read(block.data(), CopyBlockSize);
        if (got < 0)
            Fail(QString("Cannot read file \"%1\". %2").arg(source, in.errorString()));
        if (got == 0)
            break;
        if ((error = out.Write(block.constData(), size_t(got))) != 0)
            break;
    }
    // The temporary file is removed when `out` goes away uncommitted.
    if (error == 0)
        error = out.Commit();
    if (error != 0)
        Fail(QString("Cannot write file \"%1\". %2")
                 .arg(destination, QString::fromLocal8Bit(std::strerror(error))));
}

namespace {

bool Save(const TAssignmentData &row, const TTarget &target, TMessages &messages,
          const TBuildSettings &settings)
{
    const QString source = row.assignedPath();
    if (source.isEmpty())
        return false;
    try {
        if (row.isImage)
            SaveImage(source, target, settings);
        else
            SaveDrum(source, target);
        return true;
    } catch (const std::exception &e) {
        messages.AddMessage(QString::fromUtf8(e.what()));
        return false;
    }
}

} // namespace

bool SaveAssignedFile(const TAssignmentData &row, const QString &destination, TMessages &messages,
                      const TBuildSettings &settings)
{
    Assert(!destination.isEmpty() && !destination.endsWith('/'), "ComponentSave");
    return Save(row, TTarget{nullptr, QString(), destination}, messages, settings);
}

bool SaveAssignedFile(const TAssignmentData &row, const TSafeDir &folder, const QString &name,
                      TMessages &messages, const TBuildSettings &settings)
{
    Assert(!name.isEmpty() && !name.contains('/'), "ComponentSave");
    return Save(row, TTarget{&folder, name, folder.FilePath(name)}, messages, settings);
}

QString ComponentFileName(const TAssignmentData &row, bool useVirtualNames, bool useOtherExt)
{
    QString name = useVirtualNames ? row.displayName() + (row.isImage ? ".jpg" : ".aif") : row.modFileName();
    if (useOtherExt) {
        const qsizetype dot = name.lastIndexOf('.');
        name = (dot < 0 ? name : name.left(dot)) + (row.isImage ? ".bmp" : ".wav");
    }
    return name;
}
