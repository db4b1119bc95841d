// A user's day through the program's own start-up and wiring: each test fails when the
// wiring it walks through is cut.

#include "WorkflowFixture.h"

#include "controls/SystemListView.h"
#include "model/AssignmentSet.h"
#include "model/Catalogue.h"
#include "platform/RegIniFile.h"
#include "preview/GlanceForm.h"
#include "preview/GlanceLayout.h"
#include "support/gui/DropEvents.h"
#include "workbench/AppWaiter.h"
#include "workbench/ComponentList.h"
#include "workbench/ComponentListModel.h"
#include "workbench/ModText.h"
#include "workbench/ModwrightForm.h"
#include "workbench/SettingForm.h"
#include "workbench/WizardForm.h"
#include "workbench/WorkbenchMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QListView>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <QUrl>

namespace {

int AssignedCount(const TModwrightForm &f)
{
    int count = 0;
    for (int tab = 0; tab < 2; ++tab)
        for (int row = 0; row < f.List(tab)->Model().rowCount(); ++row)
            count += f.List(tab)->RowAt(row)->isAssigned() ? 1 : 0;
    return count;
}

TAssignmentData *RowNamed(TComponentList *list, const QString &caption, int *rowIndex = nullptr)
{
    for (int row = 0; row < list->Model().rowCount(); ++row)
        if (list->RowAt(row)->displayName() == caption) {
            if (rowIndex)
                *rowIndex = row;
            return list->RowAt(row);
        }
    return nullptr;
}

// Clicks the row as a user does: on its place in the list's viewport.
void ClickRow(QAbstractItemView *view, int row)
{
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
}

int DrumIndexNamed(const QString &name)
{
    for (int drum = 0; drum < DrumCount; ++drum)
        if (DrumName(drum) == name)
            return drum;
    return -1;
}

TEST_F(Workflow, FirstRunAsksForTheProgramsThenWelcomesThenAssignsAWholeMod)
{
    TModwrightForm &f = startProgram();
    bool settingsShown = false;
    QString page;
    QStringList devices;
    auto settings = WhenShown<TSettingForm>(
        [&](TSettingForm &d) {
            page = d.PageControl->tabText(d.PageControl->currentIndex());
            for (int i = 0; i < d.CBWaveOut->count(); ++i)
                devices << d.CBWaveOut->itemText(i);
            d.BCancel->click();
        },
        settingsShown);
    dismissSplash();

    // The sound goes through ALSA's only device, so there is no word about a sound card.
    ASSERT_EQ(boxes.shown.size(), 1) << boxes.shown.join('\n').toStdString();
    EXPECT_TRUE(boxes.shown[0].startsWith("info: It seems that you haven't installed ReBirth and/or ModPacker."));
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(page, "ReBirth paths");
    EXPECT_EQ(devices, QStringList{"default"}) << "the only device, offered once";

    TWizardForm *wizard = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (wizard = VisibleWindow<TWizardForm>()) != nullptr; }));
    EXPECT_FALSE(wizard->CBModPacker->isChecked());
    EXPECT_FALSE(wizard->CBReBirth->isChecked());
    EXPECT_TRUE(wizard->CBSoundcard->isChecked());
    EXPECT_FALSE(f.ExportMod1->isEnabled());
    QTest::mouseClick(wizard->BDemo, Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([] { return VisibleWindow<TWizardForm>() == nullptr; }));

    // The demo is a whole mod the user can look at, hear and export at once.
    EXPECT_EQ(AssignedCount(f), LiveEntryCount);
    EXPECT_EQ(f.Set().name, "Demo");
    EXPECT_TRUE(f.ExportMod1->isEnabled());
    EXPECT_EQ(boxes.shown.size(), 1) << boxes.shown.join('\n').toStdString();
}

// A user with files of their own assigns a whole mod from a folder with one command per tab.
TEST_F(Workflow, AutoAssignFromAFolderFillsEveryComponent)
{
    configureReturningUser();
    const QString folder = makeComponentFolder();
    TModwrightForm &f = startProgram();
    dismissSplash();
    EXPECT_FALSE(f.ExportMod1->isEnabled());
    autoAssign(0, folder);
    autoAssign(1, folder);
    EXPECT_EQ(AssignedCount(f), LiveEntryCount);
    EXPECT_TRUE(f.Set().modified);
    EXPECT_TRUE(f.ExportMod1->isEnabled());
}

TEST_F(Workflow, DrumsSoundFromARowClickABrowserClickAndADrop)
{
    configureReturningUser();
    const QString folder = makeComponentFolder();
    TModwrightForm &f = startProgram();
    dismissSplash();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();
    f.SetActiveTab(1);
    TComponentList *drums = f.LVAudioRes;
    int bassRow = -1;
    TAssignmentData *bass = RowNamed(drums, "808 Bassdrum", &bassRow);
    ASSERT_NE(bass, nullptr);

    // A sample dropped on a row is assigned and heard.
    const int snare = DrumIndexNamed("808 Cowbell");
    ASSERT_GE(snare, 0);
    const QString snareFile = folder + "/" + QString(DrumTable[size_t(snare)].fileName).section('.', 0, 0) + ".wav";
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(snareFile)});
    const QModelIndex bassIndex = drums->Model().index(bassRow, 0);
    drums->scrollTo(bassIndex);
    EXPECT_NE(DropOn(drums->viewport(), data, drums->visualRect(bassIndex).center()), Qt::IgnoreAction);
    EXPECT_TRUE(capture->waitFor(DrumSamples(snare))) << "the dropped sample was not heard";
    EXPECT_EQ(bass->assignedPath(), snareFile);

    // A click on the assigned row plays it again.
    capture->clear();
    ClickRow(drums, bassRow);
    EXPECT_TRUE(capture->waitFor(DrumSamples(snare))) << "a click on the row was not heard";

    // A click on a sample file in the drum browser plays that file.
    const int clap = DrumIndexNamed("808 Claves");
    ASSERT_GE(clap, 0);
    const QString clapName = QString(DrumTable[size_t(clap)].fileName).section('.', 0, 0) + ".wav";
    TSystemListView *browser = f.Browser(1);
    browser->SetDirectory(folder);
    int fileRow = -1;
    ASSERT_TRUE(WaitUntil([&] {
        fileRow = browser->FindRow(clapName);
        if (fileRow < 0)
            fileRow = browser->FindRow(QFileInfo(clapName).completeBaseName());
        return fileRow >= 0;
    }));
    capture->clear();
    QAbstractItemView *shown = browser->ReportView();
    if (!shown->isVisible())
        shown = browser->IconView();
    ClickRow(shown, fileRow);
    EXPECT_TRUE(capture->waitFor(DrumSamples(clap))) << "a click on a sample file was not heard";
}

TEST_F(Workflow, GlanceDrawsEveryPanelAndADrumStepPlays)
{
    configureReturningUser();
    const QString folder = makeComponentFolder();
    TModwrightForm &f = startProgram();
    dismissSplash();
    autoAssign(0, folder);
    autoAssign(1, folder);
    f.BGlance->trigger();
    ASSERT_TRUE(WaitUntil([&] { return f.Glance && f.Glance->isVisible() && f.Glance->ElementsCreated(); }));
    const QImage canvas = f.Glance->Canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);

    for (const TPanelPlace &place : PanelPlaces) {
        const TImageRecord &record = ImageRecord(PanelImage(place.panel));
        const QRect area = QRect(place.x, place.y, record.width, record.height).intersected(canvas.rect());
        if (area.isEmpty())
            continue;
        bool found = false;
        for (int y = area.top(); y <= area.bottom() && !found; y += 2)
            for (int x = area.left(); x <= area.right() && !found; x += 2)
                found = canvas.pixel(x, y) == Workflow::PanelColour(place.panel);
        EXPECT_TRUE(found) << "panel not drawn: " << place.name;
    }

    const TDrumRegion &steps = DrumRegions[0];
    const int drum = steps.drums[0];
    const QPoint step(steps.left + 2, steps.top + 2);
    capture->clear();
    QTest::mouseClick(f.Glance->Canvas(), Qt::LeftButton, {}, step);
    EXPECT_TRUE(capture->waitFor(DrumSamples(drum))) << "a drum step click was not heard";
}

TEST_F(Workflow, MakeRunsThePackerOnTheLaidOutFolderAndRemovesIt)
{
    configureReturningUser();
    const QString log = dir.file("packer.log");
    const QString packer = dir.createFile("programs/packer/ModPacker",
                                          QString("#!/bin/sh\n{ pwd; echo \"$1\"; LC_ALL=C ls \"$1\"; } > '%1'\n"
                                                  "exit 3\n")
                                              .arg(log)
                                              .toUtf8());
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    TRegIniFile(TRegRoot::CurrentUser, ConfigKey)
        .WriteString(TMainSettings::Section, "ModPackerPath", packer.toStdString());
    const QString folder = makeComponentFolder();
    TModwrightForm &f = startProgram();
    dismissSplash();
    autoAssign(0, folder);
    autoAssign(1, folder);

    bool texts = false, waited = false;
    auto answer = WhenShown<TModText>(
        [](TModText &d) {
            d.CBModName->setEditText("Workday");
            d.BOK->click();
        },
        texts);
    auto watch = WhenShown<TAppWaiter>([](TAppWaiter &) {}, waited);
    f.BMakeMod->trigger();
    EXPECT_TRUE(texts);
    EXPECT_TRUE(waited);

    const QStringList lines = QString::fromUtf8(TTestDir::readAll(log)).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 3) << "the packer did not run";
    const QString modFolder = lines[1];
    EXPECT_EQ(QFileInfo(modFolder).fileName(), "Workday");
    EXPECT_EQ(QDir(lines[0]), QDir(QFileInfo(reBirth).absolutePath() + "/mods"));
    EXPECT_TRUE(lines.contains("ModName.txt"));
    EXPECT_TRUE(lines.contains("12015.jpg")) << lines.join(' ').toStdString();
    EXPECT_EQ(lines.size(), 2 + LiveEntryCount + 4) << lines.join(' ').toStdString();
    EXPECT_FALSE(QFileInfo::exists(modFolder));
    EXPECT_EQ(VisibleWindow<TAppWaiter>(), nullptr);
}

TEST_F(Workflow, ClosingWithChangesAsksAndCancelKeepsTheProgram)
{
    configureReturningUser();
    const QString folder = makeComponentFolder();
    TModwrightForm &f = startProgram();
    dismissSplash();
    autoAssign(1, folder);
    ASSERT_TRUE(f.Set().modified);
    f.Set().SaveBackup();
    const QString backup = f.Set().backupFile;
    ASSERT_TRUE(QFileInfo(backup).isFile());

    boxes.answers = {maCancel};
    boxes.shown.clear();
    f.close();
    QApplication::processEvents();
    EXPECT_TRUE(f.isVisible());
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "confirm: Do you want to save the current assignment ?");
    EXPECT_TRUE(QFileInfo(backup).isFile()) << "Cancel must keep the backup of the unsaved work";

    // No closes without saving: the working folder and the backup in it go.
    boxes.answers = {maNo};
    f.close();
    EXPECT_TRUE(WaitUntil([&] { return !f.isVisible(); }));
    EXPECT_FALSE(QFileInfo::exists(backup));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(backup).absolutePath()));
}

TEST_F(Workflow, AskForEditorCancelledRunsAndWritesNothing)
{
    const QString picture = dir.createFile("pictures/a.bmp", "BM");
    const auto configBefore = Snapshot(configDir);
    const auto dataBefore = Snapshot(dataHome);
    bool asked = false;
    auto cancel = WhenShown<QFileDialog>([](QFileDialog &d) { d.reject(); }, asked);
    EXPECT_EQ(ModwrightMain(*qApp, {"/askimgeditor", picture}), 0);
    EXPECT_TRUE(asked);
    EXPECT_EQ(Snapshot(configDir), configBefore);
    EXPECT_EQ(Snapshot(dataHome), dataBefore);
}

} // namespace
