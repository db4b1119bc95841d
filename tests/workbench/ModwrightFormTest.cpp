#include "FormFixture.h"
#include "controls/MySplitter.h"
#include "controls/SystemListView.h"
#include "support/gui/WindowWaits.h"
#include "workbench/AssForm.h"
#include "workbench/DesignScale.h"
#include "workbench/ErrForm.h"

#include <QAction>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

using ModwrightFormTest = FormFixture;

QString MakeWavFile(TTestDir &dir, const QString &name)
{
    const QString path = dir.file(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(MakeWav(44100, 16, 1, 100));
    return path;
}

TEST_F(ModwrightFormTest, LayoutAsDesigned)
{
    TModwrightForm &f = start();
    EXPECT_EQ(f.TopPanel->height(), 52);
    EXPECT_EQ(f.TopLine->height(), 2);
    EXPECT_EQ(f.MidLine->height(), 5);
    EXPECT_EQ(f.IconPanel->width(), 36);
    EXPECT_EQ(f.ResPages->count(), 2);
    EXPECT_EQ(f.ResPages->tabText(0), "Mod Images");
    EXPECT_EQ(f.ResPages->tabText(1), "Mod Drums");
    EXPECT_EQ(f.ResPages->tabBar()->tabRect(0).size(), QSize(100, 22));
    // The folder line on the tab row, right of the two tabs.
    EXPECT_EQ(f.DirPanel->geometry(), QRect(210, 0, f.ResPages->width() - 210, 25));
    // As designed, or wide enough for the image list's columns.
    EXPECT_EQ(f.BMPSplitter->FirstSize(), qMax(Design(265), f.LVBMPRes->FullWidth()));
    EXPECT_EQ(f.AudioSplitter->FirstSize(), f.BMPSplitter->FirstSize());
    EXPECT_EQ(f.BMPSplitter->handleWidth(), 4);
    EXPECT_TRUE(f.BMPSplitter->ResizeWhileDrag());
    EXPECT_EQ(f.ProgressBar->width(), 280);
    EXPECT_EQ(f.StatusPanel->width(), 600);
    EXPECT_EQ(f.NBStatus->currentIndex(), 0);
}

TEST_F(ModwrightFormTest, ToolbarButtonsCaptionsAndHints)
{
    TModwrightForm &f = start();
    const QStringList expected{"New", "Open", "Save",    "Make !",    "ReBirth",
                               "Up",  "New",  "Refresh", "ImgViewer", "Glance"};
    QStringList captions;
    int separators = 0;
    const int width = f.ToolBar1->widgetForAction(f.BNew)->width();
    EXPECT_GE(width, 56);
    for (QAction *a : f.ToolBar1->actions()) {
        if (a->isSeparator()) {
            ++separators;
            continue;
        }
        captions << a->text();
        auto *button = qobject_cast<QToolButton *>(f.ToolBar1->widgetForAction(a));
        ASSERT_NE(button, nullptr);
        // All alike, and wide enough for every caption.
        EXPECT_EQ(button->size(), QSize(width, 52)) << a->text().toStdString();
        EXPECT_GE(width, button->fontMetrics().horizontalAdvance(a->text()));
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_FALSE(a->icon().isNull());
        // Drawn for 1x and 2x, with a hot picture for the mouse-over state.
        EXPECT_EQ(a->icon().pixmap(QSize(24, 24), 2.0).width(), 48);
        EXPECT_NE(a->icon().pixmap(24, 24, QIcon::Normal).toImage(),
                  a->icon().pixmap(24, 24, QIcon::Active).toImage());
    }
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(separators, 3);
    EXPECT_EQ(f.BMakeMod->statusTip(), "Run ModPacker and create a .rbm file");
    EXPECT_EQ(f.BDirUp->toolTip(), "Change to parent Folder");
    EXPECT_EQ(f.BGlance->statusTip(), "Show Glance - ReBirth Mod Viewer");
}

TEST_F(ModwrightFormTest, MainMenuHoldsEveryItem)
{
    TModwrightForm &f = start();
    QStringList menus;
    for (QAction *a : f.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus,
              (QStringList{"&File", "&Action", "&Bookmarks", "&Bookmarks", "&Options", "&View", "&Help"}));
    EXPECT_EQ(f.OpenAssignment1->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(f.SaveAssignment1->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(f.ImportMod1->statusTip(),
              "Assign all images, drums and text from current folder which contains mod components (as "
              "expected by ModPacker).");
    EXPECT_EQ(f.About1->statusTip(), "Shows a mellow About dialog");
    EXPECT_EQ(f.Exit1->statusTip(), "Exit Modwright for ReBirth 2");
    // Only the active tab's bookmarks menu shows.
    EXPECT_TRUE(f.BMPBookmarks1->menuAction()->isVisible());
    EXPECT_FALSE(f.AudioBookmarks1->menuAction()->isVisible());
    f.SetActiveTab(1);
    EXPECT_EQ(f.ActiveTab(), 1);
    EXPECT_FALSE(f.BMPBookmarks1->menuAction()->isVisible());
    EXPECT_TRUE(f.AudioBookmarks1->menuAction()->isVisible());
}

TEST_F(ModwrightFormTest, ActionMenuCaptionsFollowTheTab)
{
    TModwrightForm &f = start();
    emit f.Action1->aboutToShow();
    EXPECT_EQ(f.AutoAssign1->text(), "A&uto Assign all Images");
    EXPECT_EQ(f.SaveAll1->text(), "Sa&ve all Images");
    EXPECT_FALSE(f.SaveAs1->isVisible());
    f.SetActiveTab(1);
    TComponentList *drums = f.LVAudioRes;
    const int row = drums->Model().rowOf(FindRow(drums, "808 Bassdrum"));
    drums->selectionModel()->select(drums->Model().index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit f.Action1->aboutToShow();
    EXPECT_EQ(f.AutoAssign1->text(), "A&uto Assign all Drums");
    EXPECT_EQ(f.AutoAssign1->statusTip(),
              "Tries to assign all Drums to files in current directory, comparing the filenames.");
    EXPECT_TRUE(f.SaveAs1->isVisible());
    // UseVirtualNames and UseOtherExt are on by default: display name + ".wav".
    EXPECT_EQ(f.SaveAs1->text(), "&Save 808 Bassdrum as \"808 Bassdrum.wav\"");
}

TEST_F(ModwrightFormTest, CaptionFollowsTheAssignmentName)
{
    TModwrightForm &f = start();
    EXPECT_EQ(f.windowTitle(), "Modwright for ReBirth 2");
    f.Set().ResetAssignment();
    EXPECT_EQ(f.windowTitle(), "Modwright for ReBirth 2 - (no name)");
    EXPECT_EQ(f.ApplicationTitle(), f.windowTitle());
    EXPECT_EQ(f.ErrForm().windowTitle(), "Modwright for ReBirth 2 Messages");
}

TEST_F(ModwrightFormTest, StatusTextsOfRows)
{
    TModwrightForm &f = start();
    TComponentList *images = f.LVBMPRes;
    TAssignmentData *led = FindRow(images, "LED digits");
    const int row = images->Model().rowOf(led);
    images->setCurrentIndex(images->Model().index(row, 0));
    EXPECT_EQ(f.StatusText(), "12015.jpg");
    const QString file = MakeBmp(dir, "led.bmp", 109, 16);
    f.Set().AssignFile(*led, file);
    EXPECT_EQ(f.StatusText(), "12015.jpg assigned to " + file);
    EXPECT_EQ(Cell(images, led, 1), "109x16");
    EXPECT_EQ(Cell(images, led, 2), "24bit");
    emit images->MouseLeave();
    EXPECT_EQ(f.StatusText(), "");
    emit images->MouseEnter();
    EXPECT_EQ(f.StatusText(), "12015.jpg assigned to " + file);
    f.ShowItemStatus(nullptr);
    EXPECT_EQ(f.StatusText(), "");
}

TEST_F(ModwrightFormTest, HintsShowOverThePanelWhilePresent)
{
    TModwrightForm &f = start();
    f.ShowItemStatus(FindRow(f.LVBMPRes, "LED digits"));
    QStatusTipEvent tip("Run installed ReBirth");
    QApplication::sendEvent(&f, &tip);
    EXPECT_EQ(f.StatusBar->currentMessage(), "Run installed ReBirth");
    QStatusTipEvent none{QString()};
    QApplication::sendEvent(&f, &none);
    EXPECT_EQ(f.StatusBar->currentMessage(), "");
    EXPECT_EQ(f.StatusText(), "12015.jpg");
}

TEST_F(ModwrightFormTest, CommandEnabling)
{
    setValue("ReBirthPath", "");
    TModwrightForm &f = start();
    // No ReBirth path: its button and menu item are off.
    EXPECT_TRUE(f.Settings.ReBirthPath.isEmpty());
    EXPECT_FALSE(f.BRunReBirth->isEnabled());
    EXPECT_FALSE(f.RunReBirth1->isEnabled());
    f.Settings.ReBirthPath = "/opt/rebirth/ReBirth.exe";
    f.UpdateCommands();
    EXPECT_TRUE(f.BRunReBirth->isEnabled());
    EXPECT_TRUE(f.RunReBirth1->isEnabled());
    EXPECT_EQ(f.RunReBirth1->statusTip(), "/opt/rebirth/ReBirth.exe");

    // Browser buttons follow the active browser's flags.
    f.SetBrowserFlags(0, 0);
    f.SetBrowserFlags(1, 0);
    EXPECT_FALSE(f.BDirUp->isEnabled());
    EXPECT_FALSE(f.BRefresh->isEnabled());
    f.SetBrowserFlags(0, 1 | 2 | 4);
    EXPECT_TRUE(f.BRefresh->isEnabled());
    EXPECT_TRUE(f.BDirUp->isEnabled());
    EXPECT_TRUE(f.BNewDir->isEnabled());
    f.SetActiveTab(1);
    EXPECT_FALSE(f.BRefresh->isEnabled());

    // Detaching and exporting need something assigned (selected).
    f.SetActiveTab(0);
    EXPECT_FALSE(f.DetachAll1->isEnabled());
    EXPECT_FALSE(f.DetachSelected1->isEnabled());
    EXPECT_FALSE(f.ExportMod1->isEnabled());
    // A drum is enough for the export, whichever tab is active.
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    f.Set().AssignFile(*bass, MakeWavFile(dir, "bd.wav"));
    EXPECT_TRUE(f.ExportMod1->isEnabled());
    f.Set().DetachFile(bass);
    EXPECT_FALSE(f.ExportMod1->isEnabled());
    TComponentList *images = f.LVBMPRes;
    TAssignmentData *led = FindRow(images, "LED digits");
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    EXPECT_TRUE(f.ExportMod1->isEnabled());
    EXPECT_TRUE(f.DetachAll1->isEnabled());
    EXPECT_FALSE(f.DetachSelected1->isEnabled());
    EXPECT_TRUE(f.AutoAssign1->isEnabled());
    EXPECT_FALSE(f.Assign1->isEnabled()); // assigning needs exactly one selected row
    images->selectionModel()->select(images->Model().index(images->Model().rowOf(led), 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(f.DetachSelected1->isEnabled());
    EXPECT_TRUE(f.Assign1->isEnabled());

    // The image viewer exists from the start.
    for (QAction *a : {f.BImageViewer, f.ImageViewer1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(f.Glance1->isEnabled());
    EXPECT_TRUE(f.BGlance->isEnabled());
    // The assignment commands have their dialogs.
    for (QAction *a : {f.New1, f.BNew, f.OpenAssignment1, f.BOpen, f.SaveAssignment1, f.BSave, f.ImportMod1,
                       f.Settings1, f.ModWizard1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    // The mod-building commands need nothing but the mod texts dialog.
    for (QAction *a : {f.BMakeMod, f.CreateMod1, f.ModDescription1})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(f.About1->isEnabled());
    EXPECT_TRUE(f.FAQ1->isEnabled());
    EXPECT_TRUE(f.Exit1->isEnabled());
}

TEST_F(ModwrightFormTest, SaveIsEnabledOnceASaveDialogExists)
{
    bool asked = false, nameAsked = false;
    auto save = WhenShown<TAssForm>(
        [&nameAsked](TAssForm &d) {
            nameAsked = d.EName->isVisible(); // the save mode asks for a name
            d.BCancel->click();
        },
        asked);
    TModwrightForm &f = start();
    EXPECT_TRUE(f.BSave->isEnabled());
    f.SaveAssignment1->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(nameAsked);
}

TEST_F(ModwrightFormTest, DetachSelectedAndDetachAllWorkOnTheActiveList)
{
    TModwrightForm &f = start();
    TComponentList *images = f.LVBMPRes;
    TAssignmentData *led = FindRow(images, "LED digits");
    TAssignmentData *panel = FindRow(images, "Transport panel");
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    f.Set().AssignFile(*panel, MakeBmp(dir, "panel.bmp", 592, 50));
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    dir.createFile("bd.wav", MakeWav(44100, 16, 1, 100));
    f.Set().AssignFile(*bass, dir.file("bd.wav"));

    images->selectionModel()->select(images->Model().index(images->Model().rowOf(led), 0),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    f.DetachSelected1->trigger();
    EXPECT_FALSE(led->isAssigned());
    EXPECT_EQ(Cell(images, led, 1), "");
    EXPECT_TRUE(panel->isAssigned());
    EXPECT_TRUE(f.Set().modified);

    f.DetachAll1->trigger();
    EXPECT_FALSE(panel->isAssigned());
    // The drums tab was not active: its rows stay.
    EXPECT_TRUE(bass->isAssigned());
    EXPECT_FALSE(f.DetachAll1->isEnabled());
}

TEST_F(ModwrightFormTest, ProgressDisplayAndPointer)
{
    TModwrightForm &f = start();
    f.BeginProgress("Saving assigned files...", 3);
    EXPECT_TRUE(f.ProgressShown());
    EXPECT_EQ(f.ProgressCaption->text(), "Saving assigned files...");
    EXPECT_EQ(f.ProgressBar->maximum(), 3);
    EXPECT_EQ(f.ProgressBar->value(), 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    for (int i = 0; i < 5; ++i)
        f.StepProgress();
    EXPECT_EQ(f.ProgressBar->value(), 3);
    f.EndProgress();
    EXPECT_FALSE(f.ProgressShown());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // An unbalanced end leaves no pointer behind and nothing broken.
    f.EndProgress();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ModwrightFormTest, ToolbarOptions)
{
    TModwrightForm &f = start();
    emit f.ToolbarPop->aboutToShow();
    EXPECT_TRUE(f.ShowTextLabels1->isChecked());
    EXPECT_TRUE(f.ToolbarVisible1->isChecked());
    f.ShowTextLabels1->trigger();
    EXPECT_FALSE(f.Settings.TextLabels);
    auto *button = qobject_cast<QToolButton *>(f.ToolBar1->widgetForAction(f.BNew));
    EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonIconOnly);
    const int labelledWidth = 56;
    EXPECT_LT(button->width(), labelledWidth);
    EXPECT_EQ(f.TopPanel->height(), f.ToolBar1->sizeHint().height());
    f.ToolbarVisible1->trigger();
    EXPECT_FALSE(f.Settings.ShowToolbar);
    EXPECT_FALSE(f.TopPanel->isVisible());
    EXPECT_FALSE(f.TopLine->isVisible());
    f.SetToolbarVisible(true);
    f.SetTextLabels(true);
    EXPECT_TRUE(f.TopPanel->isVisible());
    EXPECT_EQ(f.TopPanel->height(), 52);
    EXPECT_EQ(button->height(), 52);
    EXPECT_GE(button->width(), 56);
}

TEST_F(ModwrightFormTest, ShowDrumFormatSwitchesTheDrumColumns)
{
    TModwrightForm &f = start();
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    dir.createFile("bd.wav", MakeWav(44100, 16, 1, 4410));
    f.Set().AssignFile(*bass, dir.file("bd.wav"));
    f.SetShowDrumFormat(true);
    EXPECT_EQ(f.LVAudioRes->ColumnCount(), 7);
    EXPECT_EQ(Cell(f.LVAudioRes, bass, 2), "16");
    EXPECT_EQ(Cell(f.LVAudioRes, bass, 3), "44100");
    EXPECT_EQ(Cell(f.LVAudioRes, bass, 4), "1");
    EXPECT_EQ(Cell(f.LVAudioRes, bass, 5), "4410");
    f.SetShowDrumFormat(false);
    EXPECT_EQ(f.LVAudioRes->ColumnCount(), 3);
    EXPECT_FALSE(f.Settings.ShowDrumFormat);
}

} // namespace

namespace {

TEST_F(ModwrightFormTest, FolderLineAndBrowserFollowEachOther)
{
    TModwrightForm &f = start();
    const QString folder = dir.createDir("pictures");
    f.EDirectory->setText(folder);
    emit f.EDirectory->returnPressed();
    EXPECT_EQ(f.SLVImage->RealDirectory(), folder);
    EXPECT_EQ(f.EDirectory->text(), f.SLVImage->Directory());
    // A folder that is not there: the message, and the line shows the browser's folder again.
    f.EDirectory->setText(dir.file("nowhere"));
    emit f.EDirectory->returnPressed();
    ASSERT_FALSE(boxes.shown.isEmpty());
    EXPECT_TRUE(boxes.shown.last().startsWith("error: "));
    EXPECT_EQ(f.EDirectory->text(), f.SLVImage->Directory());
    // The other tab shows its own browser's folder.
    f.SetActiveTab(1);
    EXPECT_EQ(f.EDirectory->text(), f.SLVAudio->Directory());
}

TEST_F(ModwrightFormTest, SaveAllWritesTheAssignedFilesIntoTheBrowsersFolder)
{
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    const QString target = dir.createDir("out");
    f.SLVImage->SetDirectory(target);
    ASSERT_TRUE(f.SaveAll1->isEnabled());
    f.SaveAll1->trigger();
    // By display name and as BMP, the defaults of UseVirtualNames and UseOtherExt.
    EXPECT_TRUE(QFileInfo(target + "/LED digits.bmp").isFile());
    EXPECT_FALSE(f.ProgressShown());
}

} // namespace
