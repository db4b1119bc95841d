#include "workbench/AskForEditor.h"

#include "common/MessageBoxes.h"
#include "platform/Process.h"
#include "platform/RegIniFile.h"
#include "workbench/MainSettings.h"
#include "workbench/ModwrightForm.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

const QString AskImage = QStringLiteral("/askimgeditor");
const QString AskDrum = QStringLiteral("/askdrumeditor");

} // namespace

bool IsAskForEditorCommandLine(const QStringList &arguments)
{
    return arguments.size() == 2 && (arguments[0] == AskImage || arguments[0] == AskDrum);
}

bool IsUninstallCommandLine(const QStringList &arguments)
{
    return !arguments.isEmpty() && arguments[0] == QLatin1String("/uninstall");
}

QString PickProgramWithDialog(const TEditorDialog &dialog)
{
    QFileDialog box(nullptr, dialog.title, dialog.directory);
    box.setFileMode(QFileDialog::ExistingFile);
    box.setAcceptMode(QFileDialog::AcceptOpen);
    box.setNameFilters(dialog.filters);
    // Programs here seldom end in ".exe", so no default extension is added to a
    // typed name: "gimp" must stay "gimp".
    if (!dialog.fileName.isEmpty())
        box.selectFile(dialog.fileName);
    if (!dialog.fileName.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive))
        box.selectNameFilter(dialog.filters.value(1));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return {};
    return box.selectedFiles().first();
}

int RunAskForEditor(const QString &switchArgument, const QString &file, const TPickProgram &pick,
                    const std::function<void()> &stored)
{
    const bool drums = switchArgument == AskDrum;
    TMainSettings settings;
    std::unique_ptr<TRegIniFile> store;
    try {
        store = std::make_unique<TRegIniFile>(TRegRoot::CurrentUser, ConfigKey);
        settings.LoadEditors(*store);
    } catch (const std::exception &) {
        ShowInformation("an error occured reading the registry.");
        return 0;
    }

    TEditorDialog dialog;
    dialog.title = drums ? "Select Drum editor" : "Select Image editor";
    dialog.filters = QStringList{"Programs (*.exe)", "All files (*)"};
    const QString current = drums ? settings.DrumEditorPath : settings.ImgEditorPath;
    if (!current.isEmpty()) {
        dialog.directory = QFileInfo(current).absolutePath();
        dialog.fileName = QFileInfo(current).fileName();
    } else {
        dialog.directory = QFileInfo(file).absolutePath();
    }

    const QString chosen = pick ? pick(dialog) : PickProgramWithDialog(dialog);
    if (chosen.isEmpty())
        return 0;
    const QString name = QFileInfo(chosen).completeBaseName();
    if (drums) {
        settings.DrumEditorPath = chosen;
        settings.DrumEditorName = name;
        settings.DrumEditorActive = true;
    } else {
        settings.ImgEditorPath = chosen;
        settings.ImgEditorName = name;
        settings.ImgEditorActive = true;
    }
    try {
        TRegistryUpdate update(store->Store());
        settings.SaveEditors(*store);
        update.Commit();
        if (stored)
            stored();
    } catch (const std::exception &) {
        ShowInformation("an error occured reading the registry.");
    }

    // The file is handed over as one argument, so no character of its name
    // can split it or run anything.
    try {
        StartProgram(chosen.toStdString(), {file.toStdString()});
    } catch (const std::exception &) {
        ShowError(QString("Error executing %1.").arg(chosen));
    }
    return 0;
}
