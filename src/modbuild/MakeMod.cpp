#include "modbuild/MakeMod.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/ExternalPrograms.h"
#include "modbuild/ModPackerFiles.h"
#include "platform/Process.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Removes the mod folder on every way out once it has been made.
class TModFolderScope {
public:
    TModFolderScope(const TBuildContext &ctx, TBuildDialogs &dialogs, QString folder, QString base)
        : ctx_(ctx), dialogs_(dialogs), folder_(std::move(folder)), base_(std::move(base))
    {
    }
    ~TModFolderScope()
    {
        TBusyScope busy(ctx_.progress);
        dialogs_.Repaint();
        RemoveModFolder(folder_, base_);
    }
    TModFolderScope(const TModFolderScope &) = delete;
    TModFolderScope &operator=(const TModFolderScope &) = delete;

private:
    const TBuildContext &ctx_;
    TBuildDialogs &dialogs_;
    QString folder_;
    QString base_;
};

} // namespace

bool IsStrictlyInside(const QString &folder, const QString &base)
{
    const QString inner = QFileInfo(folder).canonicalFilePath();
    QString outer = QFileInfo(base).canonicalFilePath();
    if (inner.isEmpty() || outer.isEmpty())
        return false;
    if (!outer.endsWith('/'))
        outer += '/';
    return inner.size() > outer.size() && inner.startsWith(outer);
}

bool RemoveModFolder(const QString &modFolder, const QString &workingFolder)
{
    QString path = modFolder;
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return true;
    if (info.isSymLink() || !info.isDir() || !IsStrictlyInside(path, workingFolder))
        return false;
    // Links found inside are removed as links, never followed.
    EmptyFolder(path, true);
    return !QFileInfo::exists(path);
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
    const QString workingFolder = settings.TempWorkingFolder();
    const QString modFolder = workingFolder + modName;
    if (!CreateFolders(modFolder) || !IsStrictlyInside(modFolder, workingFolder)) {
        ShowError("Cannot create the folder " + modFolder + ".");
        return -1;
    }
    TModFolderScope cleanup(ctx, dialogs, modFolder, workingFolder);
    // A folder left by an interrupted run must not add stale files to the mod.
    EmptyFolder(modFolder, false);

    try {
        CreateModPackerFiles(ctx, modFolder);
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
    return int(dialogs.WaitForModPacker(*process));
}
