#include "modbuild/MakeMod.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/ModPackerFiles.h"
#include "platform/Process.h"

#include <QFileInfo>

namespace {

// Empties and removes the mod folder on every way out once it has been made.
class TModFolderScope {
public:
    TModFolderScope(const TBuildContext &ctx, TBuildDialogs &dialogs, const TSafeDir &working,
                    const TSafeDir &modFolder, QString name)
        : ctx_(ctx), dialogs_(dialogs), working_(working), modFolder_(modFolder), name_(std::move(name))
    {
    }
    ~TModFolderScope()
    {
        if (!done_)
            Remove();
    }
    TModFolderScope(const TModFolderScope &) = delete;
    TModFolderScope &operator=(const TModFolderScope &) = delete;

    // Empty when the folder went as it should; otherwise what was wrong.
    QString Remove()
    {
        done_ = true;
        TBusyScope busy(ctx_.progress);
        dialogs_.Repaint();
        return RemoveModFolder(working_, modFolder_, name_);
    }

private:
    const TBuildContext &ctx_;
    TBuildDialogs &dialogs_;
    const TSafeDir &working_;
    const TSafeDir &modFolder_;
    QString name_;
    bool done_ = false;
};

} // namespace

QString RemoveModFolder(const TSafeDir &working, const TSafeDir &modFolder, const QString &name)
{
    // Our own folder is emptied through the handle we made it with, wherever its
    // name now points.
    modFolder.Empty();
    const TSafeDir::TEntry entry = working.Entry(name);
    if (entry.kind == TSafeDir::TKind::Missing)
        return {};
    if (modFolder.IsSameFolder(entry))
        return working.RemoveTree(name)
                   ? QString()
                   : "The folder \"" + working.FilePath(name) + "\" could not be removed.";
    if (entry.kind == TSafeDir::TKind::Link) {
        // A link inside the private working folder: the link goes, its target is never looked at.
        working.Remove(name);
        return "The mod folder \"" + working.FilePath(name) +
               "\" was replaced by a symbolic link while ModPacker ran. The link was removed; "
               "nothing it points to was touched.";
    }
    return "The mod folder \"" + working.FilePath(name) +
           "\" was replaced by something else while ModPacker ran; it was left as it is.";
}

int MakeMod(const TBuildContext &ctx, TBuildDialogs &dialogs)
{
    const TBuildSettings &settings = ctx.settings;
    if (!QFileInfo(settings.ModPackerPath).isFile()) {
        dialogs.EditProgramPaths();
        if (!QFileInfo(settings.ModPackerPath).isFile())
            return -1;
    }
    if (!dialogs.EditModTexts())
        return -1;

    // The name becomes a folder below the working folder that is deleted after
    // packing: refuse anything that would put that folder elsewhere.
    const QString modName = ctx.set.texts.ModName;
    const QString problem = ModNameProblem(modName);
    if (!problem.isEmpty()) {
        ShowError(problem);
        return -1;
    }
    // Everything below goes through handles on checked folders: a link or a
    // folder of another user in place of either folder stops Make! with the
    // reason, and nothing outside them is read, written or deleted.
    TSafeDir working;
    TSafeDir modDir;
    try {
        working = TSafeDir::OpenPrivate(settings.TempWorkingFolder(), true);
        modDir = working.MakePrivateSubfolder(modName);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
        return -1;
    }
    const QString modFolder = ExcludeTrailingPathDelimiter(modDir.Path());
    TModFolderScope cleanup(ctx, dialogs, working, modDir, modName);
    // A folder left by an interrupted run must not add stale files to the mod.
    modDir.Empty();

    try {
        CreateModPackerFiles(ctx, modDir);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
        return -1;
    }
    // Components that could not be converted are missing from the mod: say so
    // before it is packed.
    if (ctx.messages().HasMessages())
        ctx.messages().ShowMessages();

    QString reason;
    const std::shared_ptr<TProcess> process = StartModPacker(settings, modFolder, &reason);
    if (!process) {
        ShowError("Error running " + settings.ModPackerPath + ".\r\n" + reason);
        return -1;
    }
    const int exitCode = int(dialogs.WaitForModPacker(*process));
    const QString leftOver = cleanup.Remove();
    if (!leftOver.isEmpty()) {
        ShowError(leftOver);
        return -1;
    }
    return exitCode;
}
