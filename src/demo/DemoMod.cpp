#include "demo/DemoMod.h"

#include "common/DataFiles.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "demo/DemoDrums.h"
#include "demo/DemoImages.h"
#include "formats/AtomicFile.h"
#include "formats/BmpFile.h"
#include "formats/WaveFile.h"
#include "model/AssignmentSet.h"
#include "model/Catalogue.h"
#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <array>

namespace {

QString WithSlash(const QString &folder)
{
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return absolute.endsWith('/') ? absolute : absolute + '/';
}

// Writing the assignment goes through the rows, which store their paths in the
// catalogue's live entries: the user's assignment is put back afterwards.
class TLiveEntriesGuard {
public:
    TLiveEntriesGuard()
    {
        CreateCatalogue();
        for (int i = 0; i < LiveEntryCount; ++i)
            saved_[size_t(i)] = LiveEntry(i).path;
    }
    ~TLiveEntriesGuard()
    {
        for (int i = 0; i < LiveEntryCount; ++i)
            LiveEntry(i).path = saved_[size_t(i)];
    }
    TLiveEntriesGuard(const TLiveEntriesGuard &) = delete;
    TLiveEntriesGuard &operator=(const TLiveEntriesGuard &) = delete;

private:
    std::array<QString, LiveEntryCount> saved_;
};

void WriteAssignmentFile(const QString &folder)
{
    TLiveEntriesGuard guard;
    TAssignmentRows images = TAssignmentRows::images();
    TAssignmentRows drums = TAssignmentRows::drums();
    TMessageList messages;
    TAssignmentSet set(drums, images, messages);
    set.assignmentFile = folder + DemoAssignmentFileName;
    for (TAssignmentRows *rows : {&drums, &images})
        for (const auto &row : *rows)
            row->setAssignedPath(folder + DemoFileName(row->liveIndex()));
    set.texts = DemoTexts();
    // A fresh file holding the demo alone; the set reports a failed write in a
    // message box, which is caught here instead of shown.
    QFile::remove(set.assignmentFile);
    TScriptedMessageBoxes boxes;
    set.SaveAssignment(DemoAssignmentName);
    for (const QString &shown : boxes.shown)
        if (shown.startsWith("error: "))
            throw EModwright(
                QString("Cannot write the assignment file %1.").arg(set.assignmentFile).toStdString());
}

// Which program made the user's own copy, so that a newer one makes it anew and shows
// what it draws itself.
const QString StampFileName = QStringLiteral(".modwright-demo-version");

bool StampCurrent(const QString &folder)
{
    QFile stamp(folder + StampFileName);
    return stamp.open(QIODevice::ReadOnly) && stamp.readAll().trimmed() == VersionText().toUtf8();
}

} // namespace

QString DemoFileName(int liveIndex)
{
    if (liveIndex < ImageCount)
        return QString::fromUtf8(ImageRecord(liveIndex).description) + ".bmp";
    return DrumName(liveIndex - ImageCount) + ".wav";
}

QByteArray DemoFileBytes(int liveIndex)
{
    if (liveIndex < ImageCount)
        return EncodeBmp24(DrawDemoImage(liveIndex));
    const std::vector<int16_t> samples = SynthesiseDemoDrum(liveIndex - ImageCount);
    TAudioFormat format;
    format.Channels = 1;
    format.BitsPerSample = 16;
    format.SampleRate = 44100;
    format.FrameCount = int64_t(samples.size());
    format.BigEndian = false;
    format.DataSize = int64_t(samples.size() * sizeof(int16_t));
    // WAV samples are little-endian, as the host's are here.
    format.Data = reinterpret_cast<const uint8_t *>(samples.data());
    const auto wave = TWaveFile::CreateNew(format, 1, 16);
    return QByteArray(reinterpret_cast<const char *>(wave->GetImage()), qsizetype(wave->GetImageSize()));
}

TModTexts DemoTexts()
{
    TModTexts texts;
    texts.ModName = "Modwright Demo";
    texts.WWW = "https://example.org/modwright-demo";
    texts.FTP = "ftp://example.org/pub/modwright-demo";
    texts.Comments = "A complete mod drawn and synthesised by Modwright's own code.\r\n"
                     "Replace any image or drum with your own to start a mod of your own.";
    return texts;
}

void WriteDemo(const QString &folderPath)
{
    const QString folder = WithSlash(folderPath);
    try {
        if (!QDir().mkpath(folder))
            throw EModwright("the folder cannot be created.");
        for (int i = 0; i < LiveEntryCount; ++i)
            WriteFileAtomically(folder + DemoFileName(i), DemoFileBytes(i));
        WriteAssignmentFile(folder);
    } catch (const std::exception &e) {
        throw EModwright(QString("Cannot write the demo mod into %1: %2")
                             .arg(QDir::toNativeSeparators(folderPath), QString::fromUtf8(e.what()))
                             .toStdString());
    }
}

bool DemoComplete(const QString &folderPath)
{
    if (folderPath.isEmpty())
        return false;
    const QString folder = WithSlash(folderPath);
    if (!QFileInfo(folder + DemoAssignmentFileName).isFile())
        return false;
    for (int i = 0; i < LiveEntryCount; ++i)
        if (!QFileInfo(folder + DemoFileName(i)).isFile())
            return false;
    return true;
}

void LoadDemoAssignment(TAssignmentSet &set, const QString &folderPath)
{
    const QString folder = WithSlash(folderPath);
    TMessages &messages = set.messages();
    messages.ClearMessages();
    if (set.onBusy)
        set.onBusy(true);
    for (TAssignmentRows *rows : {&set.drumRows(), &set.imageRows()})
        for (const auto &row : *rows) {
            const QString path = folder + DemoFileName(row->liveIndex());
            try {
                set.AssignFile(*row, path);
            } catch (const std::exception &) {
                messages.AddMessage("Couldn't make the assignment for " + row->displayName() + ".");
                messages.AddMessage("(Filename: " + path + ")");
                messages.AddMessage(QString());
                set.DetachFile(row.get());
            }
        }
    if (set.onBusy)
        set.onBusy(false);
    set.texts = DemoTexts();
    set.name = DemoAssignmentName;
    set.modified = false;
    if (set.onSetChanged)
        set.onSetChanged();
}

QString UserDemoFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/modwright/demo";
}

QString DemoFolder()
{
    const QString installed = FindDataFile("demo");
    if (DemoComplete(installed))
        return installed;
    const QString own = UserDemoFolder();
    if (!DemoComplete(own) || !StampCurrent(WithSlash(own))) {
        WriteDemo(own);
        WriteFileAtomically(WithSlash(own) + StampFileName, VersionText().toUtf8());
    }
    return own;
}
