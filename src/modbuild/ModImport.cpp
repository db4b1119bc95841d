#include "modbuild/ModImport.h"

#include "common/FolderNames.h"
#include "common/MessageBoxes.h"
#include "formats/ReadOnlyFile.h"
#include "modbuild/ModPackerFiles.h"

#include <QFileInfo>

namespace {

// Text files of a mod are a few lines; anything larger is not one of them.
constexpr uint64_t MaxTextFileBytes = 4u << 20;

QString ErrorLine(const std::exception &e)
{
    return "*** Error: " + QString::fromUtf8(e.what());
}

QStringList ReadLines(const QString &path)
{
    TReadOnlyFile file(path);
    return TextLines(DecodeTextFile(file.readAll(MaxTextFileBytes)));
}

void ImportComponents(const TBuildContext &ctx, const TAssignmentRows &rows, const TFolderNames &folder)
{
    for (const auto &row : rows) {
        ctx.progress.StepProgress();
        ctx.set.DetachFile(row.get());
        try {
            ctx.set.AssignFile(*row, folder.path(row->modFileName()));
        } catch (const std::exception &e) {
            ctx.messages().AddMessage(ErrorLine(e));
        }
    }
}

// One of the one-line files: its first line, or "" with a warning when missing.
QString ReadFirstLine(const TBuildContext &ctx, const QString &path, const char *warning)
{
    if (!QFileInfo::exists(path)) {
        if (ctx.settings.ShowWarnings)
            ctx.messages().AddMessage(warning);
        return {};
    }
    const QStringList lines = ReadLines(path);
    return lines.isEmpty() ? QString() : lines.first();
}

void ImportTexts(const TBuildContext &ctx, const TFolderNames &folder)
{
    TModTexts &texts = ctx.set.texts;
    TMessages &messages = ctx.messages();
    const bool warn = ctx.settings.ShowWarnings;

    texts.DemoSong.clear();
    const QString demo = folder.path("demo.rbs");
    if (QFileInfo::exists(demo))
        texts.DemoSong = demo;
    else if (warn)
        messages.AddMessage("** Warning: No demo song found.");

    texts.Comments.clear();
    const QString comments = folder.path("comments.txt");
    if (QFileInfo::exists(comments)) {
        try {
            const QStringList lines = ReadLines(comments);
            if (!lines.isEmpty())
                texts.Comments = lines.join("\r\n");
        } catch (const std::exception &e) {
            messages.AddMessage(ErrorLine(e));
        }
    } else if (warn) {
        messages.AddMessage("** Warning: No comment text found.");
    }

    texts.FTP.clear();
    texts.FTP = ReadFirstLine(ctx, folder.path("FTP.txt"), "** Warning: No FTP file found.");
    texts.ModName.clear();
    texts.ModName = ReadFirstLine(ctx, folder.path("ModName.txt"), "** Warning: No ModName file found.");
    texts.WWW.clear();
    texts.WWW = ReadFirstLine(ctx, folder.path("WWW.txt"), "** Warning: No WWW file found.");
}

void RefreshSet(const TAssignmentSet &set)
{
    if (set.onSetChanged)
        set.onSetChanged();
}

} // namespace

void ImportModFolder(const TBuildContext &ctx, const QString &folderPath, bool showMessages)
{
    const QString folder = folderPath.endsWith('/') ? folderPath : folderPath + '/';
    TMessages &messages = ctx.messages();
    try {
        messages.ClearMessages();
        const int count = ctx.set.imageRows().count() + ctx.set.drumRows().count() + 5;
        TProgressScope progress(ctx.progress, "Importing ModPacker files...", count);
        const TFolderNames names(folder);
        ImportComponents(ctx, ctx.set.imageRows(), names);
        ImportComponents(ctx, ctx.set.drumRows(), names);
        ctx.progress.StepProgress();
        ImportTexts(ctx, names);
    } catch (const std::exception &e) {
        messages.AddMessage(ErrorLine(e));
    }
    ctx.set.name = TAssignmentSet::NoName;
    RefreshSet(ctx.set);
    if (showMessages && messages.HasMessages())
        messages.ShowMessages();
}

void ExportMod(const TBuildContext &ctx, TBuildDialogs &dialogs, const TBrowserFolder &folder)
{
    if (folder.path.isEmpty()) {
        ShowError("You cannot export to " + folder.displayName);
        return;
    }
    if (!dialogs.EditModTexts())
        return;
    try {
        CreateModPackerFiles(ctx, folder.path);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
    if (ctx.messages().HasMessages())
        ctx.messages().ShowMessages();
}

void ImportMod(const TBuildContext &ctx, TBuildDialogs &dialogs, const TBrowserFolder &folder)
{
    if (!dialogs.AskToSave())
        return;
    if (folder.path.isEmpty()) {
        ShowError("You cannot import from " + folder.displayName);
        return;
    }
    ImportModFolder(ctx, folder.path, true);
}

bool LoadStandardComponents(const TBuildContext &ctx)
{
    const QString packer = ctx.settings.ModPackerPath;
    if (packer.isEmpty())
        return false;
    const QString folder = EntryIgnoringCase(QFileInfo(packer).absolutePath(), "Standard Components");
    if (!QFileInfo(folder).isDir())
        return false;
    ImportModFolder(ctx, folder, false);
    ctx.set.ResetAssignment();
    return true;
}
