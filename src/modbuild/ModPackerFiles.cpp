#include "modbuild/ModPackerFiles.h"

#include "common/MessageBoxes.h"
#include "modbuild/ComponentSave.h"

#include <QFileInfo>

namespace {

bool AnyAssigned(const TAssignmentSet &set)
{
    for (const TAssignmentRows *rows : {&set.imageRows(), &set.drumRows()})
        for (const auto &row : *rows)
            if (row->isAssigned())
                return true;
    return false;
}

// Every step inside the folder goes through its handle: an old file or a link
// of a component's name is removed as it is (unlinkat, never followed), and the
// new file is made under a fresh name and renamed into place.
void WriteComponents(const TBuildContext &ctx, const TAssignmentRows &rows, const TSafeDir &folder)
{
    for (const auto &row : rows) {
        ctx.progress.StepProgress();
        const QString name = row->modFileName();
        // The old file goes, so that the folder holds exactly what was converted;
        // but not when it is the assigned file itself (a folder exported again
        // after importing it), which the save then replaces from itself.
        if (!SameFile(row->assignedPath(), folder.FilePath(name)))
            folder.Remove(name);
        SaveAssignedFile(*row, folder, name, ctx.messages(), ctx.settings);
    }
}

void WriteDemoSong(const TBuildContext &ctx, const TSafeDir &folder)
{
    const QString name = QStringLiteral("demo.rbs");
    const QString song = ctx.set.texts.DemoSong;
    if (!song.isEmpty() && SameFile(song, folder.FilePath(name)))
        return; // already in place
    folder.Remove(name);
    if (song.isEmpty() || !QFileInfo(song).isFile())
        return;
    try {
        folder.CopyIn(song, name);
    } catch (const std::exception &e) {
        ctx.messages().AddMessage(QString::fromUtf8(e.what()));
    }
}

} // namespace

QStringList TextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines << text.mid(start, i - start);
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QByteArray TextFileBytes(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toLocal8Bit() + "\r\n";
    return bytes;
}

QString ModNameProblem(const QString &modName)
{
    if (modName.isEmpty())
        return "Please enter a mod name.";
    if (modName == "." || modName == "..")
        return "The mod name cannot be \"" + modName + "\": it must be usable as a folder name.";
    if (modName.contains('/') || modName.contains(QChar(0)))
        return "The mod name must not contain \"/\" or a NUL character: it must be usable as a folder name.";
    return {};
}

bool SameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool CreateModPackerFiles(const TBuildContext &ctx, const QString &folderPath)
{
    if (!AnyAssigned(ctx.set)) {
        ShowInformation("You haven't made any assignments yet.\r\n"
                        "Drag files from right file list to left mod list to make assignments.");
        return false;
    }
    // The folder the user named (a link on the way to it is theirs to have);
    // nothing inside it is followed.
    return CreateModPackerFiles(ctx, TSafeDir::Open(folderPath));
}

bool CreateModPackerFiles(const TBuildContext &ctx, const TSafeDir &folder)
{
    if (!AnyAssigned(ctx.set)) {
        ShowInformation("You haven't made any assignments yet.\r\n"
                        "Drag files from right file list to left mod list to make assignments.");
        return false;
    }
    ctx.messages().ClearMessages();
    const int count = ctx.set.imageRows().count() + ctx.set.drumRows().count();
    TProgressScope progress(ctx.progress, "Creating ModPacker files...", count);
    WriteComponents(ctx, ctx.set.imageRows(), folder);
    WriteComponents(ctx, ctx.set.drumRows(), folder);
    WriteDemoSong(ctx, folder);

    const TModTexts &texts = ctx.set.texts;
    folder.WriteFile("comments.txt", TextFileBytes(TextLines(texts.Comments)));
    folder.WriteFile("FTP.txt", TextFileBytes({texts.FTP}));
    folder.WriteFile("ModName.txt", TextFileBytes({texts.ModName}));
    folder.WriteFile("WWW.txt", TextFileBytes({texts.WWW}));
    return true;
}
