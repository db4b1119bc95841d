#pragma once

#include "modbuild/BuildProgress.h"
#include "workbench/MainSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QStackedWidget;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class TAssignmentData;
class TAssignmentSet;
class TComponentList;
class TErrForm;
class TGlanceForm;
class TMySplitter;
class TRegIniFile;
class TSystemListView;
struct TBrowserFolder;
struct TBuildContext;

// The program title: the main window's caption, the base of the other
// windows' captions and the name of the configuration key.
constexpr const char *ProgramTitle = "Modwright for ReBirth 2";
// The configuration store below HKEY_CURRENT_USER.
constexpr const char *ConfigKey = "Software\\Talwen\\Modwright for ReBirth 2";

// What the command line asks of the windowed start.
struct TStartOptions {
    bool uninstallMode = false; // "/uninstall": no splash, icons or start-up configuration work
    bool showSplash = true;     // tests switch the splash off
};

// Things the main window calls that other windows provide. Each is empty until
// that window exists; the commands that need one stay disabled meanwhile.
struct TWorkbenchHooks {
    std::function<void()> showImageViewer;
    std::function<void()> registerShellExtension;
};

// The main window: toolbar, folder line, the two tabs with their component list,
// splitter and file browser, and the status area; the start-up, the settings
// and the closing steps. The command groups live in their own files.
class TModwrightForm : public QMainWindow, public TBuildProgress {
    Q_OBJECT

public:
    explicit TModwrightForm(const TStartOptions &options = {}, TWorkbenchHooks hooks = {},
                            QWidget *parent = nullptr);
    ~TModwrightForm() override;

    // Shows the window as its stored placement asks (normal, minimized or maximized).
    void ShowForStartup();

    TMainSettings Settings;
    TWorkbenchHooks Hooks;

    TAssignmentSet &Set() const { return *set_; }
    TErrForm &ErrForm() const { return *errForm_; }
    TRegIniFile &Config() const { return *config_; }
    TBuildContext BuildContext();

    // 0 images, 1 drums.
    int ActiveTab() const;
    void SetActiveTab(int tab);
    TComponentList *List(int tab) const;
    TComponentList *ActiveList() const { return List(ActiveTab()); }
    TSystemListView *Browser(int tab) const;
    // The folder the tab's browser shows, for the commands that write into it.
    TBrowserFolder BrowserFolder(int tab) const;
    TMySplitter *Splitter(int tab) const;

    // Enables the commands from the state of the set, the lists and the browsers.
    void UpdateCommands();
    // Program title alone, or title + " - " + assignment name.
    void UpdateCaption();
    QString ApplicationTitle() const { return applicationTitle_; }
    void SetShowDrumFormat(bool on);
    // The status text of a component row (none: empty).
    void ShowItemStatus(const TAssignmentData *row);
    QString StatusText() const;

    // The browser's command flags (bit 0 refresh, 1 parent folder, 2 new folder).
    void SetBrowserFlags(int tab, int flags);
    int BrowserFlags(int tab) const { return browserFlags_[tab]; }

    // Progress display and hourglass pointer.
    void BeginProgress(const QString &caption, int maximum) override;
    void StepProgress() override;
    void EndProgress() override;
    void SetBusy(bool busy) override;
    bool ProgressShown() const;

    // Start-up and end.
    void LoadSettings();
    void SaveSettings();
    // Makes `folder` the base of the temporary working folder; raises EModwright
    // "Cannot create temporary directory !" when its working folder can't be made,
    // and a message naming the folder and the reason when "Mdw2Temp" is there but
    // fails the check (a link, another user's, writable by group or others).
    void SetTempBase(const QString &folder);
    QString TempWorkingFolder() const;
    // "Do you want to save the current assignment ?" when the set is modified;
    // false when the user cancelled.
    bool AskToSave();
    bool StartupSecondHalfDone() const { return secondHalfDone_; }
    bool StartupChecksDone() const { return startupChecksDone_; }

    // Commands wired here (the others are disabled until their windows exist).
    void DetachSelected1Click();
    void DetachAll1Click();
    void RunReBirth1Click();
    void SaveAs1Click();
    void SaveAll1Click();
    void ImportMod1Click();
    void ExportMod1Click();
    void BMakeModClick();
    void ModDescription1Click();
    // The mod texts dialog; true when it closed with OK.
    bool EditModTexts();
    void FAQ1Click();
    void About1Click();
    void LoadStandardComponents();
    // The assignment commands and their dialogs (ModwrightAssignments.cpp).
    void New1Click();
    void OpenAssignment1Click();
    void SaveAssignment1Click();
    // "Start with the demo mod": offers to save, then loads the demo mod
    // (made in the user's data folder first when no data folder holds it).
    void StartWithDemo1Click();
    // Loads the demo mod as the current assignment, without asking.
    void LoadDemo();
    // The assignments dialog in save mode; false when it was cancelled.
    bool SaveAssignmentDialog();
    // The Glance preview: made by its command, gone once it is closed.
    QPointer<TGlanceForm> Glance;
    void Glance1Click();
    // A visible preview reloads the images whose files changed.
    void RefreshGlance();
    // The settings dialog on a page (0 general, 1 program paths) and the wizard
    // (SettingCommands.cpp).
    void ShowSettings(int page);
    void ShowWizard();

    // Widgets, named as the design names them.
    QFrame *TopLine = nullptr;
    QWidget *TopPanel = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QWidget *IconPanel = nullptr;
    QLabel *IconImage = nullptr;
    QFrame *MidLine = nullptr;
    QTabWidget *ResPages = nullptr;
    QWidget *TabBmp = nullptr;
    QWidget *TabAudio = nullptr;
    TComponentList *LVBMPRes = nullptr;
    TComponentList *LVAudioRes = nullptr;
    TMySplitter *BMPSplitter = nullptr;
    TMySplitter *AudioSplitter = nullptr;
    TSystemListView *SLVImage = nullptr;
    TSystemListView *SLVAudio = nullptr;
    QWidget *DirPanel = nullptr;
    QLineEdit *EDirectory = nullptr;
    QStackedWidget *NBStatus = nullptr;
    QStatusBar *StatusBar = nullptr;
    QLabel *StatusPanel = nullptr;
    QLabel *ProgressCaption = nullptr;
    QProgressBar *ProgressBar = nullptr;
    QTimer *Timer1 = nullptr;

    QMenu *File1 = nullptr, *Action1 = nullptr, *BMPBookmarks1 = nullptr, *AudioBookmarks1 = nullptr;
    QMenu *Options1 = nullptr, *View1 = nullptr, *Help1 = nullptr;
    QAction *New1 = nullptr, *OpenAssignment1 = nullptr, *SaveAssignment1 = nullptr, *ModWizard1 = nullptr;
    QAction *ModDescription1 = nullptr, *Exit1 = nullptr;
    QAction *CreateMod1 = nullptr, *RunReBirth1 = nullptr, *ImportMod1 = nullptr, *ExportMod1 = nullptr;
    QAction *AutoAssign1 = nullptr, *Assign1 = nullptr, *SaveAs1 = nullptr, *SaveAll1 = nullptr;
    QAction *DetachSelected1 = nullptr, *DetachAll1 = nullptr;
    QAction *Settings1 = nullptr, *ImageViewer1 = nullptr, *Glance1 = nullptr, *FAQ1 = nullptr,
            *About1 = nullptr;
    QAction *BNew = nullptr, *BOpen = nullptr, *BSave = nullptr, *BMakeMod = nullptr, *BRunReBirth = nullptr;
    QAction *BDirUp = nullptr, *BNewDir = nullptr, *BRefresh = nullptr, *BImageViewer = nullptr,
            *BGlance = nullptr;
    QMenu *ToolbarPop = nullptr;
    QAction *ShowTextLabels1 = nullptr, *ToolbarVisible1 = nullptr;

    // Toolbar options.
    void SetToolbarVisible(bool on);
    void SetTextLabels(bool on);

signals:
    // The second half of the start-up has run (the assignment is loaded).
    void StartupReady();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Layout (ModwrightForm.cpp).
    void createLayout();
    QWidget *createTab(int tab);
    TSystemListView *createBrowser(int tab);
    void SLVChangeDir(TSystemListView *view);
    void EDirectoryEnter();
    void placeFolderLine();
    void ResPagesChange();
    void listSelectionChanged(int tab);

    // Menus and toolbar (ModwrightMenus.cpp).
    void createActions();
    void createMenus();
    void createToolbar(bool withIcons);
    void prepareActionMenu();

    // Start-up and end (ModwrightStartup.cpp).
    void FormCreate();
    void FormFirstShow();
    void StartupSecondHalf();
    void StartupContinues();
    void StartupChecks();
    void StartAudio();
    void connectSet();
    void closingSteps();
    void KillTempFiles();
    void Timer1Timer();

    std::unique_ptr<TRegIniFile> config_;
    TErrForm *errForm_ = nullptr;
    std::unique_ptr<TAssignmentSet> set_;
    TStartOptions options_;
    QString applicationTitle_;
    int browserFlags_[2] = {0, 0};
    int busyDepth_ = 0;
    int startupState_ = 0; // how the stored placement wants the window shown (TStoredWindowState)
    bool firstShowDone_ = false;
    bool secondHalfDone_ = false;
    QString tempProblem_; // why the stored temporary folder was refused at start-up
    bool startupChecksDone_ = false;
    bool closing_ = false;
};
