// The main window's menus, toolbar and the enabling of their commands.

#include "common/PathUtils.h"
#include "controls/SystemListView.h"
#include "modbuild/BuildContext.h"
#include "modbuild/ComponentSave.h"
#include "model/AssignmentSet.h"
#include "workbench/AssignCommands.h"
#include "workbench/BookmarkLink.h"
#include "workbench/ComponentList.h"
#include "workbench/ModwrightForm.h"
#include "workbench/WorkbenchIcons.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

namespace {

QAction *MakeAction(QObject *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(name);
    action->setStatusTip(hint);
    action->setToolTip(hint);
    return action;
}

QString KindWord(int tab)
{
    return tab == 1 ? QStringLiteral("Drum") : QStringLiteral("Image");
}

} // namespace

void TModwrightForm::createActions()
{
    New1 = MakeAction(this, "New1", "&New", "Start with a new mod");
    OpenAssignment1 = MakeAction(this, "OpenAssignment1", "&Open Assignment",
                                 "Lets you open a previously saved assignment");
    OpenAssignment1->setShortcut(QKeySequence("Ctrl+O"));
    SaveAssignment1 = MakeAction(this, "SaveAssignment1", "&Save Assignment",
                                 "Save current assignments (i.e. names of files assigned to the mod)");
    SaveAssignment1->setShortcut(QKeySequence("Ctrl+S"));
    ModWizard1 = MakeAction(this, "ModWizard1", "Mod &Wizard...", "Shows the Wizard for creating a new mod");
    ModDescription1 = MakeAction(this, "ModDescription1", "&Mod Description...",
                                 "Edit the description like author, FTP site, atc. of your mod");
    Exit1 = MakeAction(this, "Exit1", "E&xit", QString("Exit %1").arg(ProgramTitle));

    CreateMod1 = MakeAction(this, "CreateMod1", "&Create Mod", "Run ModPacker and create a .rbm file.");
    RunReBirth1 = MakeAction(this, "RunReBirth1", "&Run ReBirth", QString());
    ImportMod1 = MakeAction(this, "ImportMod1", "&Import Mod folder",
                            "Assign all images, drums and text from current folder which contains mod "
                            "components (as expected by ModPacker).");
    ExportMod1 = MakeAction(this, "ExportMod1", "&Export Mod folder",
                            "Exports the assignments into the current folder like ModPacker expects it.");
    AutoAssign1 = MakeAction(this, "AutoAssign1", "A&uto Assign all Images", QString());
    Assign1 = MakeAction(this, "Assign1", "&Assign", QString());
    SaveAs1 = MakeAction(this, "SaveAs1", "&Save", QString());
    SaveAll1 = MakeAction(this, "SaveAll1", "Sa&ve all Images", QString());
    DetachSelected1 = MakeAction(this, "DetachSelected1", "Detach Selected", "Detaches all selected items.");
    DetachAll1 = MakeAction(this, "DetachAll1", "Detach All", "Detaches all items.");

    Settings1 = MakeAction(this, "Settings1", "&Settings...", "Show the settings dialog.");
    ImageViewer1 = MakeAction(this, "ImageViewer1", "&Image viewer", "Show the image viewer");
    Glance1 = MakeAction(this, "Glance1", "&Glance", "Show Glance - ReBirth Mod Viewer");
    FAQ1 = MakeAction(this, "FAQ1", "&FAQ", QString("Frequently Asked Questions about %1").arg(ProgramTitle));
    About1 = MakeAction(this, "About1", "&About", "Shows a mellow About dialog");

    BNew = MakeAction(this, "BNew", "New", "Start with a new mod");
    BOpen = MakeAction(this, "BOpen", "Open", "Open an assignment");
    BSave = MakeAction(this, "BSave", "Save", "Save current assignment");
    BMakeMod = MakeAction(this, "BMakeMod", "Make !", "Run ModPacker and create a .rbm file");
    BRunReBirth = MakeAction(this, "BRunReBirth", "ReBirth", "Run installed ReBirth");
    BDirUp = MakeAction(this, "BDirUp", "Up", "Change to parent Folder");
    BNewDir = MakeAction(this, "BNewDir", "New", "Create a new folder");
    BRefresh = MakeAction(this, "BRefresh", "Refresh", "Refresh the Filelist");
    BImageViewer = MakeAction(this, "BImageViewer", "ImgViewer", "Show the image viewer");
    BGlance = MakeAction(this, "BGlance", "Glance", "Show Glance - ReBirth Mod Viewer");

    ShowTextLabels1 = MakeAction(this, "ShowTextLabels1", "&Show text labels", QString());
    ShowTextLabels1->setCheckable(true);
    ToolbarVisible1 = MakeAction(this, "ToolbarVisible1", "&Toolbar visible", QString());
    ToolbarVisible1->setCheckable(true);

    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(RunReBirth1, &QAction::triggered, this, &TModwrightForm::RunReBirth1Click);
    connect(BRunReBirth, &QAction::triggered, this, &TModwrightForm::RunReBirth1Click);
    connect(DetachSelected1, &QAction::triggered, this, &TModwrightForm::DetachSelected1Click);
    connect(DetachAll1, &QAction::triggered, this, &TModwrightForm::DetachAll1Click);
    connect(FAQ1, &QAction::triggered, this, &TModwrightForm::FAQ1Click);
    connect(SaveAs1, &QAction::triggered, this, &TModwrightForm::SaveAs1Click);
    connect(SaveAll1, &QAction::triggered, this, &TModwrightForm::SaveAll1Click);
    connect(ImportMod1, &QAction::triggered, this, &TModwrightForm::ImportMod1Click);
    connect(ExportMod1, &QAction::triggered, this, &TModwrightForm::ExportMod1Click);
    connect(CreateMod1, &QAction::triggered, this, &TModwrightForm::BMakeModClick);
    connect(BMakeMod, &QAction::triggered, this, &TModwrightForm::BMakeModClick);
    connect(ModDescription1, &QAction::triggered, this, &TModwrightForm::ModDescription1Click);
    connect(BDirUp, &QAction::triggered, this, [this] { Browser(ActiveTab())->GoUp(); });
    connect(BRefresh, &QAction::triggered, this, [this] { Browser(ActiveTab())->RefreshFolder(); });
    connect(About1, &QAction::triggered, this, &TModwrightForm::About1Click);
    for (QAction *save : {SaveAssignment1, BSave})
        connect(save, &QAction::triggered, this, &TModwrightForm::SaveAssignment1Click);
    for (QAction *open : {OpenAssignment1, BOpen})
        connect(open, &QAction::triggered, this, &TModwrightForm::OpenAssignment1Click);
    for (QAction *fresh : {New1, BNew})
        connect(fresh, &QAction::triggered, this, &TModwrightForm::New1Click);
    connect(Settings1, &QAction::triggered, this, [this] { ShowSettings(0); });
    connect(ModWizard1, &QAction::triggered, this, [this] { ShowWizard(); });
    for (QAction *viewer : {ImageViewer1, BImageViewer})
        connect(viewer, &QAction::triggered, this, [this] {
            if (Hooks.showImageViewer)
                Hooks.showImageViewer();
        });
    for (QAction *glance : {Glance1, BGlance})
        connect(glance, &QAction::triggered, this, &TModwrightForm::Glance1Click);
    connect(ShowTextLabels1, &QAction::triggered, this, [this](bool on) { SetTextLabels(on); });
    connect(ToolbarVisible1, &QAction::triggered, this, [this](bool on) { SetToolbarVisible(on); });
}

void TModwrightForm::createMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName("MainMenu1");
    File1 = bar->addMenu("&File");
    File1->setObjectName("File1");
    File1->addActions({New1, OpenAssignment1, SaveAssignment1});
    File1->addSeparator();
    File1->addActions({ModWizard1, ModDescription1});
    File1->addSeparator();
    File1->addAction(Exit1);

    Action1 = bar->addMenu("&Action");
    Action1->setObjectName("Action1");
    Action1->addActions({CreateMod1, RunReBirth1});
    Action1->addSeparator();
    Action1->addActions({ImportMod1, ExportMod1});
    Action1->addSeparator();
    Action1->addActions({AutoAssign1, Assign1});
    Action1->addSeparator();
    Action1->addActions({SaveAs1, SaveAll1});
    Action1->addSeparator();
    Action1->addActions({DetachSelected1, DetachAll1});
    connect(Action1, &QMenu::aboutToShow, this, [this] { prepareActionMenu(); });

    // One bookmarks menu per tab; only the active tab's is shown.
    BMPBookmarks1 = bar->addMenu("&Bookmarks");
    BMPBookmarks1->setObjectName("BMPBookmarks1");
    AudioBookmarks1 = bar->addMenu("&Bookmarks");
    AudioBookmarks1->setObjectName("AudioBookmarks1");
    AudioBookmarks1->menuAction()->setVisible(false);
    CreateBookmarkMenus(*this);

    Options1 = bar->addMenu("&Options");
    Options1->setObjectName("Options1");
    Options1->addAction(Settings1);

    View1 = bar->addMenu("&View");
    View1->setObjectName("View1");
    View1->addActions({ImageViewer1, Glance1});

    Help1 = bar->addMenu("&Help");
    Help1->setObjectName("Help1");
    Help1->addAction(FAQ1);
    Help1->addSeparator();
    Help1->addAction(About1);

    ToolbarPop = new QMenu(this);
    ToolbarPop->setObjectName("ToolbarPop");
    ToolbarPop->addActions({ShowTextLabels1, ToolbarVisible1});
    connect(ToolbarPop, &QMenu::aboutToShow, this, [this] {
        ShowTextLabels1->setChecked(Settings.TextLabels);
        ToolbarVisible1->setChecked(Settings.ShowToolbar);
    });
    // Also on the menu bar, so that a hidden toolbar can be brought back.
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this,
            [this, bar](const QPoint &p) { ToolbarPop->popup(bar->mapToGlobal(p)); });
}

void TModwrightForm::createToolbar(bool withIcons)
{
    const std::pair<QAction *, TToolIcon> buttons[] = {
        {BNew, tiNew},         {BOpen, tiOpen},          {BSave, tiSave},  {nullptr, tiNew},
        {BMakeMod, tiMakeMod}, {BRunReBirth, tiReBirth}, {nullptr, tiNew}, {BDirUp, tiDirUp},
        {BNewDir, tiNewDir},   {BRefresh, tiRefresh},    {nullptr, tiNew}, {BImageViewer, tiImageViewer},
        {BGlance, tiGlance},
    };
    ToolBar1->setIconSize(QSize(24, 24));
    for (const auto &[action, icon] : buttons) {
        if (!action) {
            ToolBar1->addSeparator();
            continue;
        }
        if (withIcons)
            action->setIcon(WorkbenchIcons::ToolIcon(icon));
        ToolBar1->addAction(action);
        if (QWidget *button = ToolBar1->widgetForAction(action))
            button->setObjectName(action->objectName());
    }
    if (withIcons) {
        const QIcon product = WorkbenchIcons::ProductIcon();
        IconImage->setPixmap(product.pixmap(QSize(32, 32), devicePixelRatio()));
        setWindowIcon(product);
    }
    connect(TopPanel, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { ToolbarPop->popup(TopPanel->mapToGlobal(p)); });
    ToolBar1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ToolBar1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &p) { ToolbarPop->popup(ToolBar1->mapToGlobal(p)); });
    SetTextLabels(Settings.TextLabels);
}

void TModwrightForm::SetTextLabels(bool on)
{
    Settings.TextLabels = on;
    ToolBar1->setToolButtonStyle(on ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonIconOnly);
    QList<QToolButton *> buttons;
    for (QAction *action : ToolBar1->actions())
        if (auto *button = qobject_cast<QToolButton *>(ToolBar1->widgetForAction(action)))
            buttons << button;
    // Buttons 56 x 52 with captions, all alike, wider only when a caption needs it.
    int width = 56;
    for (QToolButton *button : buttons) {
        button->setMinimumSize(0, 0);
        button->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (on)
            width = qMax(width, button->sizeHint().width());
    }
    for (QToolButton *button : buttons) {
        if (on)
            button->setFixedSize(width, 52);
        else
            button->adjustSize(); // back to the button's own smallest size
    }
    ToolBar1->adjustSize();
    TopPanel->setFixedHeight(on ? 52 : ToolBar1->sizeHint().height());
}

void TModwrightForm::SetToolbarVisible(bool on)
{
    Settings.ShowToolbar = on;
    TopPanel->setVisible(on);
    TopLine->setVisible(on);
}

void TModwrightForm::prepareActionMenu()
{
    const int tab = ActiveTab();
    const QString kind = KindWord(tab);
    TComponentList *list = ActiveList();
    RunReBirth1->setStatusTip(Settings.ReBirthPath);
    AutoAssign1->setText(QString("A&uto Assign all %1s").arg(kind));
    AutoAssign1->setStatusTip(
        QString("Tries to assign all %1s to files in current directory, comparing the filenames.").arg(kind));
    SaveAll1->setText(QString("Sa&ve all %1s").arg(kind));
    SaveAll1->setStatusTip(QString("Saves all assigned %1s to files to current directory.").arg(kind));
    const std::vector<TAssignmentData *> selected = list->SelectedRows();
    const QString found =
        selected.size() == 1 ? FindFileFor(*selected.front(), BrowserFolder(tab).path) : QString();
    Assign1->setVisible(!found.isEmpty());
    if (!found.isEmpty()) {
        const QString caption = selected.front()->displayName();
        Assign1->setText(QString("&Assign %1 to \"%2\"").arg(caption, QFileInfo(found).fileName()));
        Assign1->setStatusTip(QString("Assigns %1 to \"%2\".").arg(caption, ShortenPath(found, 80)));
    }
    SaveAs1->setVisible(selected.size() == 1);
    if (selected.size() == 1) {
        const TAssignmentData &row = *selected.front();
        const QString target =
            ComponentFileName(row, Settings.UseVirtualNames[tab], Settings.UseOtherExt[tab]);
        SaveAs1->setText(QString("&Save %1 as \"%2\"").arg(row.displayName(), target));
        SaveAs1->setStatusTip(QString("Saves %1 as \"%2\".").arg(row.displayName(), target));
    }
    UpdateCommands();
}

void TModwrightForm::UpdateCommands()
{
    if (!set_)
        return;
    const int tab = ActiveTab();
    TComponentList *list = ActiveList();
    const int flags = browserFlags_[tab];
    BRefresh->setEnabled(flags & 1);
    BDirUp->setEnabled(flags & 2);
    BNewDir->setEnabled(flags & 4);

    const bool haveReBirth = !Settings.ReBirthPath.isEmpty();
    BRunReBirth->setEnabled(haveReBirth);
    RunReBirth1->setEnabled(haveReBirth);
    RunReBirth1->setStatusTip(Settings.ReBirthPath);

    AutoAssign1->setEnabled(true);
    Assign1->setEnabled(list->SelectedRows().size() == 1);
    DetachSelected1->setEnabled(list->AnySelectedAssigned());
    DetachAll1->setEnabled(list->AnyAssigned());
    SaveAll1->setEnabled(list->AnyAssigned());
    SaveAs1->setEnabled(list->SelectedRows().size() == 1);
    // Exporting writes the assigned files: nothing to do while none is assigned.
    ExportMod1->setEnabled(LVBMPRes->AnyAssigned() || LVAudioRes->AnyAssigned());
    for (QAction *always : {ImportMod1, SaveAssignment1, BSave, New1, BNew, OpenAssignment1, BOpen})
        always->setEnabled(true);
    ModWizard1->setEnabled(true);
    Settings1->setEnabled(true);
    ImageViewer1->setEnabled(bool(Hooks.showImageViewer));
    BImageViewer->setEnabled(bool(Hooks.showImageViewer));

    Glance1->setEnabled(true);
    BGlance->setEnabled(true);
    ToolBar1->update();
}
