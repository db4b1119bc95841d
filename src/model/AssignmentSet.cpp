#include "model/AssignmentSet.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "platform/Exception.h"
#include "platform/MemIniFile.h"
#include "platform/SafeDir.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

const QString IndexSection = QStringLiteral("Assignments");

QString SectionOf(const QString &assignmentName)
{
    return "Ass." + assignmentName;
}

QString SlotKey(int n)
{
    return "Assignment" + QString::number(n);
}

std::string Std(const QString &s)
{
    return s.toStdString();
}

QString ReadValue(const TMemIniFile &ini, const QString &section, const QString &key)
{
    return QString::fromStdString(ini.ReadString(Std(section), Std(key), ""));
}

// Restores the pointer on every way out of a load.
class TBusyGuard {
public:
    explicit TBusyGuard(const std::function<void(bool)> &onBusy) : onBusy_(onBusy)
    {
        if (onBusy_)
            onBusy_(true);
    }
    ~TBusyGuard()
    {
        if (onBusy_)
            onBusy_(false);
    }

private:
    const std::function<void(bool)> &onBusy_;
};

} // namespace

void CheckFileExists(TAssignmentData &, const QString &path, TMessages &)
{
    if (!QFileInfo(path).isFile())
        throw EModwright(Std(QString("%1 does not exist.").arg(path)));
}

TAssignmentSet::TAssignmentSet(TAssignmentRows &drums, TAssignmentRows &images, TMessages &messages)
    : fileCheck(CheckFileExists), drums_(drums), images_(images), messages_(messages)
{
}

void TAssignmentSet::changed()
{
    if (onSetChanged)
        onSetChanged();
}

void TAssignmentSet::rowChanged(TAssignmentData &row)
{
    if (onRowChanged)
        onRowChanged(row);
}

void TAssignmentSet::busy(bool on)
{
    if (onBusy)
        onBusy(on);
}

void TAssignmentSet::AssignFile(TAssignmentData &row, const QString &path)
{
    // The check raises before anything is recorded, so a refused file leaves
    // the component's previous assignment in place.
    TAssignmentData measured = row;
    measured.info = {};
    fileCheck(measured, path, messages_);
    row.info = measured.info;
    row.setAssignedPath(path);
    modified = true;
    rowChanged(row);
}

void TAssignmentSet::DetachFile(TAssignmentData *row)
{
    Assert(row != nullptr, "Assignments");
    row->setAssignedPath(QString());
    row->info = {};
    modified = true;
    rowChanged(*row);
}

void TAssignmentSet::DetachAll()
{
    for (TAssignmentRows *rows : {&drums_, &images_})
        for (const auto &row : *rows)
            DetachFile(row.get());
    name.clear();
    texts = TModTexts();
    modified = false;
    changed();
}

void TAssignmentSet::ResetAssignment()
{
    name = NoName;
    modified = false;
    changed();
}

// The backup lives in the private working folder, which anyone who could plant
// a file there might also have swapped for a link: every access opens the
// folder through its check and goes through the handle.
TSafeDir TAssignmentSet::backupFolder() const
{
    return TSafeDir::OpenPrivate(QFileInfo(backupFile).path(), false);
}

QString TAssignmentSet::backupName() const
{
    return QFileInfo(backupFile).fileName();
}

bool TAssignmentSet::BackupExists() const
{
    if (backupFile.isEmpty() || !QFileInfo(QFileInfo(backupFile).path()).isDir())
        return false;
    try {
        const TSafeDir folder = backupFolder();
        return folder.Entry(backupName()).kind == TSafeDir::TKind::File &&
               folder.OwnFileProblem(backupName()).isEmpty();
    } catch (const std::exception &) {
        return false;
    }
}

QString TAssignmentSet::BackupProblem() const
{
    if (backupFile.isEmpty() || !QFileInfo(QFileInfo(backupFile).path()).isDir())
        return {};
    try {
        const QString problem = backupFolder().OwnFileProblem(backupName());
        return problem.isEmpty()
                   ? QString()
                   : "The backup file \"" + backupFile + "\" " + problem + ", so it was not loaded.";
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
}

bool TAssignmentSet::AdoptBackup(const QString &oldFolder)
{
    if (backupFile.isEmpty() || BackupExists() || !TSafeDir::PrivateProblem(oldFolder).isEmpty())
        return false;
    try {
        const TSafeDir old = TSafeDir::OpenPrivate(oldFolder, false);
        if (old.Entry(backupName()).kind != TSafeDir::TKind::File)
            return false;
        backupFolder().WriteFile(backupName(), old.ReadOwnFile(backupName()));
        return true;
    } catch (const std::exception &) {
        return false; // not ours, or unreadable: it stays where it is
    }
}

void TAssignmentSet::DeleteBackup()
{
    if (backupFile.isEmpty())
        return;
    try {
        backupFolder().Remove(backupName());
    } catch (const std::exception &) {
        // A folder that fails its check is not ours to change.
    }
}

bool TAssignmentSet::LoadAssignment(const QString &assignmentName, bool showMessages, bool tryBackup)
{
    bool result = tryBackup && BackupExists();
    if (assignmentName.isEmpty() && !result)
        return false;

    messages_.ClearMessages();
    QString loadedName = assignmentName;
    bool failed = false;
    {
        TBusyGuard guard(onBusy);
        try {
            TMemIniFile ini;
            if (result)
                ini.SetText(backupFolder().ReadOwnFile(backupName()).toStdString());
            else
                ini = TMemIniFile(Std(assignmentFile));
            if (result) {
                const QString backupName = ReadValue(ini, IndexSection, SlotKey(1));
                if (backupName.isEmpty())
                    result = false;
                else
                    loadedName = backupName;
            }
            const QString section = SectionOf(loadedName);
            for (TAssignmentRows *rows : {&drums_, &images_}) {
                for (const auto &row : *rows) {
                    const QString display = row->displayName();
                    const QString path = ReadValue(ini, section, display);
                    if (path.isEmpty()) {
                        DetachFile(row.get());
                        continue;
                    }
                    try {
                        AssignFile(*row, path);
                    } catch (const std::exception &) {
                        messages_.AddMessage("Couldn't make the assignment for " + display + ".");
                        messages_.AddMessage("(Filename: " + path + ")");
                        messages_.AddMessage(QString());
                        DetachFile(row.get());
                    }
                }
            }
            texts.ModName = ReadValue(ini, section, "ModName");
            texts.WWW = ReadValue(ini, section, "WWW");
            texts.FTP = ReadValue(ini, section, "FTP");
            texts.DemoSong = ReadValue(ini, section, "DemoSong");
            texts.Comments = UnescapeLineBreaks(ReadValue(ini, section, "Comments"));
        } catch (const std::exception &) {
            failed = true;
        }
    }
    if (failed) {
        ShowError(ReadErrorText);
    } else {
        if (showMessages && messages_.HasMessages())
            messages_.ShowMessages();
        name = loadedName;
    }
    // A set restored from the backup counts as unsaved.
    modified = result;
    changed();
    return result;
}

void TAssignmentSet::writeAssignment(const QString &assignmentName, bool toBackup)
{
    Assert(!assignmentName.isEmpty(), "Assignments");
    try {
        // The backup holds one assignment only, so it is written afresh; the
        // assignment file keeps every other assignment in it.
        TMemIniFile ini;
        if (!toBackup)
            ini = TMemIniFile(Std(assignmentFile));
        int n = 1;
        for (;; ++n) {
            const QString existing = ReadValue(ini, IndexSection, SlotKey(n));
            if (existing.isEmpty() || existing == assignmentName)
                break;
        }
        ini.WriteString(Std(IndexSection), Std(SlotKey(n)), Std(assignmentName));

        const std::string section = Std(SectionOf(assignmentName));
        ini.EraseSection(section);
        for (TAssignmentRows *rows : {&drums_, &images_})
            for (const auto &row : *rows)
                if (row->isAssigned())
                    ini.WriteString(section, Std(row->displayName()), Std(row->assignedPath()));
        ini.WriteString(section, "ModName", Std(texts.ModName));
        ini.WriteString(section, "WWW", Std(texts.WWW));
        ini.WriteString(section, "FTP", Std(texts.FTP));
        ini.WriteString(section, "DemoSong", Std(texts.DemoSong));
        ini.WriteString(section, "Comments", Std(EscapeLineBreaks(texts.Comments)));
        if (toBackup)
            backupFolder().WriteFile(backupName(), QByteArray::fromStdString(ini.Text()));
        else
            ini.UpdateFile();
    } catch (const std::exception &) {
        // The set stays marked modified: the user must not be told it is safe.
        ShowError(WriteErrorText);
        return;
    }
    if (!toBackup) {
        name = assignmentName;
        modified = false;
        changed();
    }
}

void TAssignmentSet::SaveAssignment(const QString &assignmentName)
{
    writeAssignment(assignmentName, false);
}

void TAssignmentSet::SaveBackup()
{
    if (!modified)
        return;
    writeAssignment(name.isEmpty() ? QStringLiteral("Backup") : name, true);
}

QStringList TAssignmentSet::ListAssignments() const
{
    TMemIniFile ini(Std(assignmentFile));
    QStringList names;
    for (int n = 1;; ++n) {
        const QString value = ReadValue(ini, IndexSection, SlotKey(n));
        if (value.isEmpty())
            break;
        names << value;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(names.begin(), names.end(),
                     [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return names;
}

QStringList TAssignmentSet::AssignmentContents(const QString &assignmentName) const
{
    TMemIniFile ini(Std(assignmentFile));
    QStringList lines;
    for (const std::string &line : ini.ReadSectionValues(Std(SectionOf(assignmentName))))
        lines << QString::fromStdString(line);
    return lines;
}

void TAssignmentSet::DeleteAssignment(const QString &assignmentName)
{
    try {
        TMemIniFile ini(Std(assignmentFile));
        ini.EraseSection(Std(SectionOf(assignmentName)));
        std::vector<std::string> kept;
        for (const std::string &key : ini.ReadSection(Std(IndexSection))) {
            const std::string value = ini.ReadString(Std(IndexSection), key, "");
            if (QString::fromStdString(value) != assignmentName)
                kept.push_back(value);
        }
        ini.EraseSection(Std(IndexSection));
        int n = 1;
        for (const std::string &value : kept)
            ini.WriteString(Std(IndexSection), Std(SlotKey(n++)), value);
        ini.UpdateFile();
    } catch (const std::exception &) {
        ShowError(ReadErrorText);
    }
}

QString TAssignmentSet::DefaultAssignmentFile(const QString &configured)
{
    if (!configured.isEmpty() && FolderIsWritable(QFileInfo(configured).absolutePath()))
        return configured;
    const QString programFolder = QFileInfo(ProgramPath()).absolutePath();
    if (FolderIsWritable(programFolder))
        return IncludeTrailingPathDelimiter(programFolder) + "Assignments.ini";
    return IncludeTrailingPathDelimiter(DocumentsFolder()) + "Assignments.ini";
}
