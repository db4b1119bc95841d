#include "workbench/ModwrightForm.h"

#include "common/MessageBoxes.h"
#include "controls/MySplitter.h"
#include "controls/SystemListView.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ComponentCheck.h"
#include "model/AssignmentSet.h"
#include "platform/RegIniFile.h"
#include "workbench/AssignCommands.h"
#include "workbench/ComponentDragDrop.h"
#include "workbench/ComponentList.h"
#include "workbench/ComponentRows.h"
#include "workbench/ErrForm.h"
#include "workbench/ImageViewerLink.h"
#include "workbench/ResPopUp.h"
#include "workbench/SplashForm.h"
#include "workbench/WorkbenchIcons.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int TabWidth = 100;
constexpr int TabHeight = 22;
constexpr int StatusAreaHeight = 22;

// Tabs of one fixed size, so that the folder line beside them has its place.
class TFixedTabBar : public QTabBar {
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int) const override { return QSize(TabWidth, TabHeight); }
    QSize minimumTabSizeHint(int) const override { return QSize(TabWidth, TabHeight); }
};

class TResPages : public QTabWidget {
public:
    explicit TResPages(QWidget *parent) : QTabWidget(parent) { setTabBar(new TFixedTabBar(this)); }
};

QFrame *Line(QWidget *parent, int height, const char *name)
{
    auto *line = new QFrame(parent);
    line->setObjectName(name);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(height);
    return line;
}

} // namespace

TModwrightForm::TModwrightForm(const TStartOptions &options, TWorkbenchHooks hooks, QWidget *parent)
    : QMainWindow(parent), Hooks(std::move(hooks)), options_(options)
{
    setObjectName("ModwrightForm");
    config_ = std::make_unique<TRegIniFile>(TRegRoot::CurrentUser, ConfigKey);
    errForm_ = new TErrForm(Settings.ShowWarnings, Settings.ShowInfos, this);
    createActions();
    createMenus();
    createLayout();
    // With nothing stored, the lists are as wide as the image list's columns, so
    // that "Mod name" is in view (the design's 265 pixels cut it off).
    for (int tab = 0; tab < 2; ++tab) {
        Settings.Splitter[tab] = qMax(Settings.Splitter[tab], LVBMPRes->FullWidth());
        Splitter(tab)->SetFirstSize(Settings.Splitter[tab]);
    }
    // The drum list has fewer columns: its names take the room that is left.
    const int room = Settings.Splitter[1] - LVAudioRes->FullWidth();
    if (room > 0)
        LVAudioRes->SetColumnWidth(0, LVAudioRes->ColumnWidth(0) + room);
    set_ = std::make_unique<TAssignmentSet>(LVAudioRes->Rows(), LVBMPRes->Rows(), *errForm_);
    InstallComponentCheck(*set_, Settings);
    connectSet();
    ConnectAssignCommands(*this);
    ConnectComponentDragDrop(*this);
    CreateImageViewer(*this);
    CreateResPopUp(*this);
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(30000);
    connect(Timer1, &QTimer::timeout, this, &TModwrightForm::Timer1Timer);
    FormCreate();
}

TModwrightForm::~TModwrightForm()
{
    // The set refers to the lists' rows; it goes first.
    set_.reset();
}

TBuildContext TModwrightForm::BuildContext()
{
    return TBuildContext{*set_, Settings, *this};
}

// --- Layout ------------------------------------------------------------------

void TModwrightForm::createLayout()
{
    auto *central = new QWidget(this);
    central->setObjectName("CentralPanel");
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    TopLine = Line(central, 2, "TopLine");
    layout->addWidget(TopLine);

    TopPanel = new QWidget(central);
    TopPanel->setObjectName("TopPanel");
    TopPanel->setFixedHeight(52);
    TopPanel->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *top = new QHBoxLayout(TopPanel);
    top->setContentsMargins(2, 0, 0, 0);
    top->setSpacing(0);
    ToolBar1 = new QToolBar(TopPanel);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    top->addWidget(ToolBar1);
    top->addStretch(1);
    IconPanel = new QWidget(TopPanel);
    IconPanel->setObjectName("IconPanel");
    IconPanel->setFixedWidth(36);
    auto *iconLayout = new QVBoxLayout(IconPanel);
    iconLayout->setContentsMargins(0, 0, 0, 0);
    IconImage = new QLabel(IconPanel);
    IconImage->setObjectName("IconImage");
    IconImage->setAlignment(Qt::AlignCenter);
    // No web address is configured, so the icon has no hint and the ordinary pointer.
    iconLayout->addWidget(IconImage);
    top->addWidget(IconPanel);
    layout->addWidget(TopPanel);

    MidLine = Line(central, 5, "MidLine");
    layout->addWidget(MidLine);

    ResPages = new TResPages(central);
    ResPages->setObjectName("ResPages");
    ResPages->setDocumentMode(false);
    TabBmp = createTab(0);
    TabAudio = createTab(1);
    ResPages->addTab(TabBmp, "Mod Images");
    ResPages->addTab(TabAudio, "Mod Drums");
    ResPages->installEventFilter(this);
    connect(ResPages, &QTabWidget::currentChanged, this, [this] { ResPagesChange(); });

    DirPanel = new QWidget(ResPages);
    DirPanel->setObjectName("DirPanel");
    auto *dirLayout = new QHBoxLayout(DirPanel);
    dirLayout->setContentsMargins(0, 1, 2, 2);
    EDirectory = new QLineEdit(DirPanel);
    EDirectory->setObjectName("EDirectory");
    connect(EDirectory, &QLineEdit::returnPressed, this, [this] { EDirectoryEnter(); });
    dirLayout->addWidget(EDirectory);
    layout->addWidget(ResPages, 1);

    NBStatus = new QStackedWidget(central);
    NBStatus->setObjectName("NBStatus");
    NBStatus->setFixedHeight(StatusAreaHeight);
    StatusBar = new QStatusBar(NBStatus);
    StatusBar->setObjectName("StatusBar");
    StatusBar->setSizeGripEnabled(true);
    StatusPanel = new QLabel(StatusBar);
    StatusPanel->setObjectName("StatusPanel");
    StatusPanel->setFixedWidth(600);
    StatusBar->addWidget(StatusPanel);
    NBStatus->addWidget(StatusBar);
    auto *progressPage = new QWidget(NBStatus);
    progressPage->setObjectName("ProgressPage");
    auto *progress = new QHBoxLayout(progressPage);
    progress->setContentsMargins(2, 1, 2, 1);
    ProgressCaption = new QLabel(progressPage);
    ProgressCaption->setObjectName("ProgressCaption");
    ProgressBar = new QProgressBar(progressPage);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setFixedWidth(280);
    ProgressBar->setTextVisible(false);
    progress->addWidget(ProgressCaption, 1);
    progress->addWidget(ProgressBar);
    NBStatus->addWidget(progressPage);
    layout->addWidget(NBStatus);

    setCentralWidget(central);
    resize(900, 620);
}

QWidget *TModwrightForm::createTab(int tab)
{
    auto *page = new QWidget;
    page->setObjectName(tab == 0 ? "TabBmp" : "TabAudio");
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new TMySplitter(Qt::Horizontal, page);
    splitter->setObjectName(tab == 0 ? "BMPSplitter" : "AudioSplitter");
    splitter->SetResizeWhileDrag(true);
    auto *list = new TComponentList(tab == 0, splitter);
    TSystemListView *browser = createBrowser(tab);
    splitter->addWidget(list);
    splitter->addWidget(browser);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->SetFirstSize(Settings.Splitter[tab]);
    layout->addWidget(splitter);

    connect(list, &TKivoListView::MouseEnter, this, [this, list] { ShowItemStatus(list->SelectedRow()); });
    connect(list, &TKivoListView::MouseLeave, this, [this] { ShowItemStatus(nullptr); });
    connect(list, &TComponentList::SortChanged, this, [this, tab] {
        Settings.SortMode[tab] = List(tab)->SortColumn();
        Settings.SortReverse[tab] = List(tab)->SortReverse();
    });
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, tab] { listSelectionChanged(tab); });
    connect(list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, tab] { listSelectionChanged(tab); });
    if (tab == 0) {
        LVBMPRes = list;
        BMPSplitter = splitter;
        SLVImage = browser;
    } else {
        LVAudioRes = list;
        AudioSplitter = splitter;
        SLVAudio = browser;
    }
    return page;
}

// The file browser beside a list: image files or sample files (and folders),
// with their details, listed once the window is up.
TSystemListView *TModwrightForm::createBrowser(int tab)
{
    auto *view = new TSystemListView;
    view->setObjectName(tab == 0 ? "SLVImage" : "SLVAudio");
    view->SetDisplayMode(tab == 0 ? dmImages : dmAudio);
    view->SetStartEmptyDir(true);
    view->SetViewStyle(vsReport);
    view->SetHideSelection(false);
    view->OnChangeDir = [this](TSystemListView *v) { SLVChangeDir(v); };
    view->OnToolbuttonChange = [this, tab](TSystemListView *, TSystemToolButtons buttons) {
        SetBrowserFlags(tab, int(buttons) & 7);
    };
    return view;
}

void TModwrightForm::SLVChangeDir(TSystemListView *view)
{
    if (view == Browser(ActiveTab()))
        EDirectory->setText(view->Directory());
}

void TModwrightForm::EDirectoryEnter()
{
    try {
        Browser(ActiveTab())->SetDirectory(EDirectory->text());
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
        EDirectory->setText(Browser(ActiveTab())->Directory());
    }
}

TBrowserFolder TModwrightForm::BrowserFolder(int tab) const
{
    return TBrowserFolder{Browser(tab)->RealDirectory(), Browser(tab)->Directory()};
}

void TModwrightForm::placeFolderLine()
{
    // On the row of the tab headers, right of the two tabs.
    const int left = 2 * TabWidth + 10;
    DirPanel->setGeometry(left, 0, qMax(0, ResPages->width() - left), TabHeight + 3);
    DirPanel->raise();
}

bool TModwrightForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ResPages && (event->type() == QEvent::Resize || event->type() == QEvent::Show))
        placeFolderLine();
    return QMainWindow::eventFilter(watched, event);
}

void TModwrightForm::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    placeFolderLine();
}

// --- State -------------------------------------------------------------------

int TModwrightForm::ActiveTab() const
{
    return ResPages->currentWidget() == TabAudio ? 1 : 0;
}

void TModwrightForm::SetActiveTab(int tab)
{
    ResPages->setCurrentWidget(tab == 1 ? TabAudio : TabBmp);
}

TComponentList *TModwrightForm::List(int tab) const
{
    return tab == 1 ? LVAudioRes : LVBMPRes;
}

TSystemListView *TModwrightForm::Browser(int tab) const
{
    return tab == 1 ? SLVAudio : SLVImage;
}

TMySplitter *TModwrightForm::Splitter(int tab) const
{
    return tab == 1 ? AudioSplitter : BMPSplitter;
}

void TModwrightForm::ResPagesChange()
{
    const int tab = ActiveTab();
    if (BMPBookmarks1)
        BMPBookmarks1->menuAction()->setVisible(tab == 0);
    if (AudioBookmarks1)
        AudioBookmarks1->menuAction()->setVisible(tab == 1);
    EDirectory->setText(Browser(tab)->Directory());
    UpdateCommands();
}

void TModwrightForm::listSelectionChanged(int tab)
{
    if (tab == ActiveTab()) {
        ShowItemStatus(List(tab)->SelectedRow());
        UpdateCommands();
    }
}

void TModwrightForm::UpdateCaption()
{
    const QString name = set_ ? set_->name : QString();
    const QString title = name.isEmpty() ? QString(ProgramTitle) : QString(ProgramTitle) + " - " + name;
    setWindowTitle(title);
    applicationTitle_ = title;
}

void TModwrightForm::SetShowDrumFormat(bool on)
{
    Settings.ShowDrumFormat = on;
    LVAudioRes->SetShowDrumFormat(on);
    Settings.SortMode[1] = LVAudioRes->SortColumn();
}

void TModwrightForm::ShowItemStatus(const TAssignmentData *row)
{
    StatusPanel->setText(row ? ComponentRows::StatusText(*row) : QString());
}

QString TModwrightForm::StatusText() const
{
    return StatusPanel->text();
}

void TModwrightForm::SetBrowserFlags(int tab, int flags)
{
    browserFlags_[tab == 1 ? 1 : 0] = flags;
    UpdateCommands();
}

// --- Progress ----------------------------------------------------------------

void TModwrightForm::BeginProgress(const QString &caption, int maximum)
{
    ProgressCaption->setText(caption);
    ProgressBar->setRange(0, qMax(0, maximum));
    ProgressBar->setValue(0);
    NBStatus->setCurrentIndex(1);
    SetBusy(true);
    NBStatus->repaint();
}

void TModwrightForm::StepProgress()
{
    ProgressBar->setValue(qMin(ProgressBar->maximum(), ProgressBar->value() + 1));
    ProgressBar->repaint();
}

void TModwrightForm::EndProgress()
{
    NBStatus->setCurrentIndex(0);
    SetBusy(false);
}

void TModwrightForm::SetBusy(bool busy)
{
    if (busy) {
        if (busyDepth_++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busyDepth_ > 0) {
        if (--busyDepth_ == 0)
            QApplication::restoreOverrideCursor();
    }
}

bool TModwrightForm::ProgressShown() const
{
    return NBStatus->currentIndex() == 1;
}

// --- Events ------------------------------------------------------------------

bool TModwrightForm::event(QEvent *event)
{
    switch (int(event->type())) {
    case QEvent::StatusTip: {
        // Hints of menus and buttons: a simple text over the panel while present.
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (tip.isEmpty())
            StatusBar->clearMessage();
        else
            StatusBar->showMessage(tip);
        return true;
    }
    case StartupContinuesEvent:
        StartupContinues();
        return true;
    default:
        return QMainWindow::event(event);
    }
}
