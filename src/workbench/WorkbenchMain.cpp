#include "workbench/WorkbenchMain.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "model/Catalogue.h"
#include "platform/AtomicSave.h"
#include "platform/RegistryStore.h"
#include "platform/ShellRegistration.h"
#include "preview/GlanceForm.h"
#include "workbench/AskForEditor.h"
#include "workbench/ComponentList.h"
#include "workbench/HintStyle.h"
#include "workbench/ModwrightForm.h"
#include "workbench/QtMessageBoxes.h"
#include "workbench/SplashForm.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWindow>
#include <cstdio>

namespace {

// Waits until the window is on screen and has been painted once.
void WaitUntilPainted(QWidget &window)
{
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();
}

void Grab(TModwrightForm &form, const QString &prefix)
{
    WaitUntilPainted(form);
    for (int tab = 0; tab < 2; ++tab) {
        form.SetActiveTab(tab);
        // A selected row, so that the status bar has something to say.
        TComponentList *list = form.List(tab);
        list->setCurrentIndex(list->model()->index(2, 0));
        QApplication::processEvents();
        form.grab().save(prefix + (tab == 0 ? "-images.png" : "-drums.png"));
    }
    form.SetActiveTab(0);
    // A preview reopened at start-up, once its controls and images are there.
    if (TGlanceForm *glance = form.Glance) {
        while (!glance->ElementsCreated())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
        glance->grab().save(prefix + "-glance.png");
    }
    if (TSplashForm1 *splash = TSplashForm1::CreateAbout(&form)) {
        QApplication::processEvents();
        splash->grab().save(prefix + "-about.png");
        splash->hide();
    }
}

// Registers the context-menu handler and writes the file managers' menu entries,
// which name the active editors.
void RegisterShellMenus()
{
    RegisterShellExtension(true, QFile::encodeName(ProgramPath()).toStdString());
}

} // namespace

std::unique_ptr<TModwrightForm> CreateMainWindow(const TStartOptions &options)
{
    TWorkbenchHooks hooks;
    hooks.registerShellExtension = RegisterShellMenus;
    return std::make_unique<TModwrightForm>(options, hooks);
}

int RunWorkbench(QApplication &app, const QStringList &arguments)
{
    QApplication::setApplicationName(ProgramTitle);
    THintStyle::Install();
    const bool readyExit = qEnvironmentVariableIntValue("MODWRIGHT_READY_EXIT") == 1;
    const QString grabPrefix = qEnvironmentVariable("MODWRIGHT_GRAB");
    const bool unattended = readyExit || !grabPrefix.isEmpty();
    if (unattended)
        SetMessageBoxHandler(nullptr);

    // A save killed in a previous run may have left its temporary file beside our settings.
    RemoveStaleSaveFiles(ConfigFolder());
    TStartOptions options;
    options.uninstallMode = IsUninstallCommandLine(arguments);
    int result = 0;
    {
        const std::unique_ptr<TModwrightForm> window = CreateMainWindow(options);
        TModwrightForm &form = *window;
        if (unattended) {
            QObject::connect(&form, &TModwrightForm::StartupReady, &form, [&form, readyExit, grabPrefix] {
                if (!grabPrefix.isEmpty())
                    Grab(form, grabPrefix);
                if (readyExit) {
                    WaitUntilPainted(form);
                    std::fputs("ready\n", stdout);
                    std::fflush(stdout);
                }
                QApplication::exit(0);
            });
        }
        form.ShowForStartup();
        result = app.exec();
    }
    DestroyCatalogue();
    return result;
}

int ModwrightMain(QApplication &app, const QStringList &arguments)
{
    TQtMessageBoxes boxes;
    TMessageBoxHandler *previous = SetMessageBoxHandler(&boxes);
    int result;
    if (IsAskForEditorCommandLine(arguments)) {
        // The editor just chosen names the menu entries from now on; a cancelled
        // choice changes nothing, so nothing is written.
        result = RunAskForEditor(arguments[0], arguments[1], {}, [] {
            try {
                RegisterShellMenus();
            } catch (const std::exception &) {
                // Stale menu texts are put right at the next start.
            }
        });
    } else
        result = RunWorkbench(app, arguments);
    SetMessageBoxHandler(previous);
    return result;
}
