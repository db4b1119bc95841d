// The main window's start-up, settings and closing steps.

#include "audio/WavePlayer.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "controls/MySplitter.h"
#include "controls/PlacementStore.h"
#include "controls/SystemListView.h"
#include "modbuild/ExternalPrograms.h"
#include "model/AssignmentSet.h"
#include "model/Catalogue.h"
#include "platform/Exception.h"
#include "platform/RegIniFile.h"
#include "platform/SafeDir.h"
#include "preview/GlanceForm.h"
#include "preview/ImgViewForm.h"
#include "workbench/ComponentList.h"
#include "workbench/BookmarkLink.h"
#include "workbench/ErrForm.h"
#include "workbench/ImageViewerLink.h"
#include "workbench/ModwrightForm.h"
#include "workbench/SplashForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QStackedWidget>
#include <QTimer>

namespace {

constexpr const char *Current = TMainSettings::Section;
const QString ImageBrowserSection = QStringLiteral("Image File Browser");
const QString AudioBrowserSection = QStringLiteral("Audio File Browser");

QString ErrorText(const std::exception &e)
{
    return QString::fromUtf8(e.what());
}

std::string ColumnValue(int list, int column)
{
    return "LeftColumns" + std::to_string(list) + "-" + std::to_string(column);
}

} // namespace

// Step 2 of the windowed start, while the window is made.
void TModwrightForm::FormCreate()
{
    if (!options_.uninstallMode && options_.showSplash) {
        TSplashForm1::CreateForStartup(this);
        // Paint it now: the rest of the start-up runs before the event loop.
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    createToolbar(!options_.uninstallMode);
    if (options_.uninstallMode)
        return;
    NBStatus->setCurrentIndex(0);
    UpdateCaption();
    SetApplicationMainWindow(this);
    const TStartupShow show =
        TPlacementStore(*config_).RestorePlacement(this, Current, MainPlacement, "Main");
    startupState_ = show.state;
    try {
        config_->WriteString(Current, "ModwrightPath", ProgramPath().toStdString());
        if (config_->ValueExists(Current, "MdwPath"))
            config_->DeleteKey(Current, "MdwPath");
    } catch (const std::exception &) {
        // The context-menu library then offers no "Edit with" for us; nothing to tell.
    }
}

void TModwrightForm::ShowForStartup()
{
    switch (startupState_) {
    case wsMinimized:
        setAttribute(Qt::WA_ShowWithoutActivating);
        showMinimized();
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        break;
    case wsMaximized:
        showMaximized();
        break;
    default:
        show();
    }
}

void TModwrightForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!firstShowDone_) {
        firstShowDone_ = true;
        FormFirstShow();
    }
}

// Step 3: the first showing.
void TModwrightForm::FormFirstShow()
{
    UpdateCommands();
    if (Hooks.registerShellExtension) {
        try {
            Hooks.registerShellExtension();
        } catch (const std::exception &) {
            // Missing rights on the classes root, say: the program works without it.
        }
    }
    LoadSettings();
    LoadBookmarkMenus(*this);
    try {
        if (Settings.ReBirthPath.isEmpty())
            Settings.ReBirthPath = FindReBirth();
        if (Settings.ModPackerPath.isEmpty())
            Settings.ModPackerPath = FindModPacker();
    } catch (const std::exception &) {
        // Not found: the start-up checks tell the user.
    }
    UpdateCaption();
    SetActiveTab(0);
    ResPagesChange();
    errForm_->setWindowTitle(QString(ProgramTitle) + " Messages");

    CreateCatalogue();
    for (int tab = 0; tab < 2; ++tab) {
        TComponentList *list = List(tab);
        list->Fill();
        list->SetSortState(Settings.SortMode[tab], Settings.SortReverse[tab]);
        list->SortList(-1);
    }
    UpdateCommands();
    Timer1->start();
    QMetaObject::invokeMethod(this, &TModwrightForm::StartupSecondHalf, Qt::QueuedConnection);
}

// Step 4: runs once the window is on screen.
void TModwrightForm::StartupSecondHalf()
{
    SLVImage->StartListing();
    SLVAudio->StartListing();
    UpdateCommands();
    update();
    TAssignmentSet &set = *set_;
    const QString last = Settings.LastAssignment;
    // Only a backup of the user's own is loaded; anything else in its place is
    // ignored, and the messages window says why (after the load, which clears it).
    const QString refusedBackup = set.BackupProblem();
    if (set.BackupExists() || (Settings.AutoLoad && !last.isEmpty() && last != TAssignmentSet::NoName)) {
        if (set.LoadAssignment(last, false, true))
            ShowInformation("An auto-saved assignment has been loaded.\r\n"
                            "Apparently, Modwright has not been closed properly the last time.\r\n"
                            "Sorry for that...");
        UpdateCaption();
        UpdateCommands();
    } else {
        LoadStandardComponents();
    }
    if (!refusedBackup.isEmpty())
        set.messages().AddMessage(refusedBackup);
    if (Settings.ShowGlance)
        Glance1Click();
    StartAudio();
    secondHalfDone_ = true;
    emit StartupReady();
}

// The user's output device, and the player's errors as error boxes. The player reports
// from its device thread; the box belongs on the UI thread, and one failure shows one box.
void TModwrightForm::StartAudio()
{
    if (!WavePlayerAvailable())
        return;
    SelectWaveDevice(Settings.AudioDevice);
    QPointer<TModwrightForm> self(this);
    SetWaveErrorHandler([self](TWaveOutput *, const std::string &message) {
        const QString text = QString::fromStdString(message);
        QMetaObject::invokeMethod(
            qApp,
            [self, text] {
                if (self)
                    ShowError(text);
            },
            Qt::QueuedConnection);
    });
}

// Step 5: the start-up splash has gone.
void TModwrightForm::StartupContinues()
{
    if (Settings.FirstTime && Hooks.showImageViewer)
        Hooks.showImageViewer();
    StartupChecks();
    startupChecksDone_ = true;
    if (Settings.ShowWelcome)
        ShowWizard();
}

void TModwrightForm::StartupChecks()
{
    if (!WavePlayerAvailable())
        ShowInformation("There is no audio device (sound card) installed on your system.\r\n"
                        "Drum playing is disabled.");

    const auto missing = [](const QString &path) { return path.isEmpty() || !QFileInfo(path).isFile(); };
    if (missing(Settings.ReBirthPath) || missing(Settings.ModPackerPath)) {
        ShowInformation("It seems that you haven't installed ReBirth and/or ModPacker.\r\n"
                        "In this case you should quit Modwright and install ReBirth and ModPacker before "
                        "running Modwright again.\r\n"
                        "If you want to specify the location of ModPacker and ReBirth, do so in the settings "
                        "dialog.");
        const QString before = Settings.ModPackerPath;
        ShowSettings(1);
        if (before.compare(Settings.ModPackerPath, Qt::CaseInsensitive) != 0)
            LoadStandardComponents();
        UpdateCommands();
    }

    if (!FolderExists(TempWorkingFolder())) {
        // The stored folder was refused (a link, another user's, writable by
        // others): say which and why before the default takes its place.
        if (!tempProblem_.isEmpty())
            ShowInformation(tempProblem_);
        try {
            SetTempBase(PrivateTempBase());
        } catch (const std::exception &) {
            Settings.TempDir.clear();
            set_->backupFile.clear();
        }
        if (!FolderExists(TempWorkingFolder())) {
            ShowInformation("Your temporary directory is not set up properly.\r\n"
                            "Please specify your temporary directory in the settings.");
            ShowSettings(0);
        }
    }
}

// --- Settings ----------------------------------------------------------------

void TModwrightForm::LoadSettings()
{
    try {
        Settings.Load(*config_);
        SetToolbarVisible(Settings.ShowToolbar);
        SetTextLabels(Settings.TextLabels);
        for (int tab = 0; tab < 2; ++tab)
            Splitter(tab)->SetFirstSize(Settings.Splitter[tab]);
        // The drum columns first, so that their widths and the sort column find them.
        LVAudioRes->SetShowDrumFormat(Settings.ShowDrumFormat);
        for (int tab = 0; tab < 2; ++tab) {
            TComponentList *list = List(tab);
            for (int column = 0; column < list->ColumnCount(); ++column) {
                const int width =
                    config_->ReadInteger(Current, ColumnValue(tab, column), list->ColumnWidth(column));
                if (width >= 16 && width <= 4000)
                    list->SetColumnWidth(column, width);
            }
            if (Settings.SortMode[tab] < 0 || Settings.SortMode[tab] >= list->ColumnCount())
                Settings.SortMode[tab] = 0;
            list->SetSortState(Settings.SortMode[tab], Settings.SortReverse[tab]);
        }
        LoadImageViewerSettings(*this);
        SLVImage->ReadSettings(*config_, ImageBrowserSection);
        SLVAudio->ReadSettings(*config_, AudioBrowserSection);
        set_->assignmentFile = TAssignmentSet::DefaultAssignmentFile(Settings.AssFilename);
        // The stored base is taken through SetTempBase, which makes its working
        // folder; one that can't be made leaves the base empty for the start-up check.
        // A stored base that is the shared temporary folder was the old default,
        // written back at every close, not a choice of the user's: it moves to
        // the private default, so that nothing of ours has a fixed name there.
        // A crash backup in the old folder comes along, and the old folder goes
        // when it is the user's own (a link or anyone else's stays untouched).
        QString base = Settings.TempDir;
        QString sharedWorking;
        if (IsSharedTempFolder(base)) {
            sharedWorking = IncludeTrailingPathDelimiter(base) + "Mdw2Temp";
            base = PrivateTempBase();
        }
        Settings.TempDir.clear();
        set_->backupFile.clear();
        tempProblem_.clear();
        try {
            SetTempBase(base);
            if (!sharedWorking.isEmpty() && TSafeDir::PrivateProblem(sharedWorking).isEmpty()) {
                set_->AdoptBackup(sharedWorking);
                TSafeDir::RemovePrivate(sharedWorking);
            }
        } catch (const std::exception &e) {
            // A folder that could not be made is asked for by the start-up check;
            // one that is there but refused gets its reason told.
            if (!TSafeDir::PrivateProblem(IncludeTrailingPathDelimiter(base) + "Mdw2Temp").isEmpty())
                tempProblem_ = ErrorText(e);
        }
    } catch (const std::exception &e) {
        ShowError("LoadSettings: " + ErrorText(e));
    }
    try {
        Settings.LoadEditors(*config_);
    } catch (const std::exception &e) {
        ShowError("LoadEditorSettings: " + ErrorText(e));
    }
}

void TModwrightForm::SaveSettings()
{
    try {
        TRegistryUpdate update(config_->Store());
        TPlacementStore(*config_).SavePlacement(this, Current, MainPlacement, "Main");
        for (int tab = 0; tab < 2; ++tab) {
            TComponentList *list = List(tab);
            const int width = Splitter(tab)->FirstSize();
            if (width > 0)
                Settings.Splitter[tab] = width;
            Settings.SortMode[tab] = list->SortColumn();
            Settings.SortReverse[tab] = list->SortReverse();
            for (int column = 0; column < list->ColumnCount(); ++column)
                config_->WriteInteger(Current, ColumnValue(tab, column), list->ColumnWidth(column));
        }
        Settings.LastAssignment = set_->name;
        Settings.ShowGlance = Glance && Glance->isVisible();
        // Without a player the stored choice stays, so that it works again once the
        // device is back.
        if (const QString device = GetWaveDeviceName(); !device.isEmpty())
            Settings.AudioDevice = device;
        Settings.Save(*config_);
        update.Commit();
    } catch (const std::exception &e) {
        ShowError("SaveSettings: " + ErrorText(e));
    }
    try {
        TRegistryUpdate update(config_->Store());
        SaveImageViewerSettings(*this);
        SLVImage->WriteSettings(*config_, ImageBrowserSection);
        SLVAudio->WriteSettings(*config_, AudioBrowserSection);
        update.Commit();
    } catch (const std::exception &e) {
        ShowError("SaveSettings: " + ErrorText(e));
    }
    try {
        TRegistryUpdate update(config_->Store());
        Settings.SaveEditors(*config_);
        update.Commit();
    } catch (const std::exception &e) {
        ShowError("SaveEditorSettings: " + ErrorText(e));
    }
}

// --- Temporary working folder -----------------------------------------------

QString TModwrightForm::TempWorkingFolder() const
{
    return Settings.TempDir.isEmpty() ? QString()
                                      : IncludeTrailingPathDelimiter(Settings.TempDir) + "Mdw2Temp/";
}

void TModwrightForm::SetTempBase(const QString &folder)
{
    const char *const failure = "Cannot create temporary directory !";
    if (folder.trimmed().isEmpty())
        throw EModwright(failure);
    const QString base = IncludeTrailingPathDelimiter(QDir::cleanPath(QDir(folder).absolutePath()));
    const QString oldWorking = TempWorkingFolder();
    // The same base again changes nothing, unless its working folder has gone
    // or no longer passes the check.
    if (base.compare(Settings.TempDir, Qt::CaseInsensitive) == 0 && FolderExists(oldWorking) &&
        TSafeDir::PrivateProblem(oldWorking).isEmpty())
        return;
    const QString working = base + "Mdw2Temp/";
    try {
        // Made with mode 0700 when missing; a link, another user's folder or one
        // that group or others may write raises with the folder and the reason.
        TSafeDir::OpenPrivate(working, true);
    } catch (const EModwright &) {
        if (!QFileInfo(ExcludeTrailingPathDelimiter(working)).isSymLink() && !FolderExists(working))
            throw EModwright(failure);
        throw;
    }
    // The old working folder goes, but never when the new one lies inside it
    // (or is it, spelled another way), and only when it passes the check itself.
    if (!oldWorking.isEmpty() && !working.startsWith(oldWorking) &&
        QFileInfo(oldWorking).canonicalFilePath() != QFileInfo(working).canonicalFilePath())
        TSafeDir::RemovePrivate(oldWorking);
    Settings.TempDir = base;
    set_->backupFile = working + TAssignmentSet::BackupFileName;
}

void TModwrightForm::KillTempFiles()
{
    // A working folder that fails its check is left as it is: nothing in it is ours.
    const QString working = TempWorkingFolder();
    if (!working.isEmpty())
        TSafeDir::RemovePrivate(working);
}

void TModwrightForm::Timer1Timer()
{
    // Never in the middle of a command (a question may be open while the set
    // is half changed), and not into a working folder that is not there.
    if (busyDepth_ > 0 || QApplication::activeModalWidget() || !FolderExists(TempWorkingFolder()) ||
        !TSafeDir::PrivateProblem(TempWorkingFolder()).isEmpty())
        return;
    set_->SaveBackup();
}

// --- Closing -----------------------------------------------------------------

bool TModwrightForm::AskToSave()
{
    if (!set_->modified)
        return true;
    switch (AskConfirmation("Do you want to save the current assignment ?", cbYesNoCancel)) {
    case maCancel:
        return false;
    case maYes:
        // Cancelling the save dialog cancels what was to replace the work too:
        // going on would throw away the changes the user just asked to keep.
        return SaveAssignmentDialog();
    default:
        return true;
    }
}

void TModwrightForm::closeEvent(QCloseEvent *event)
{
    if (!closing_) {
        if (!AskToSave()) {
            event->ignore();
            return;
        }
        closing_ = true;
        closingSteps();
    }
    event->accept();
    if (TSplashForm1 *splash = TSplashForm1::Current())
        splash->hide();
    errForm_->hide();
    if (QWidget *viewer = ImageViewer(*this))
        viewer->hide();
}

void TModwrightForm::closingSteps()
{
    const QString contact = "\r\nContact the author (readme.txt) about this error.";
    Timer1->stop();
    try {
        SaveSettings();
    } catch (const std::exception &) {
        ShowError("Save Settings failed." + contact);
    }
    SaveBookmarkMenus(*this);
    if (Glance)
        Glance->close();
    try {
        KillTempFiles();
    } catch (const std::exception &) {
        ShowError("Kill Temp files failed." + contact);
    }
}
