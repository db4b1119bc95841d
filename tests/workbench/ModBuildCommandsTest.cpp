#include "FormFixture.h"
#include "controls/SystemListView.h"
#include "platform/Process.h"
#include "support/gui/WindowWaits.h"
#include "workbench/AppWaiter.h"
#include "workbench/ModText.h"
#include "workbench/SettingForm.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

namespace {

class ModBuildCommands : public FormFixture {
protected:
    TAssignmentData *assignLed(TModwrightForm &f)
    {
        TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
        f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
        return led;
    }
    static void confirm(TModText &d, const QString &name)
    {
        d.CBModName->setEditText(name);
        d.CBWWW->setEditText("http://www.example.org");
        d.MComments->setPlainText("first\nsecond");
        d.BOK->click();
    }
};

TEST_F(ModBuildCommands, ExportWritesTheModFolderIntoTheBrowsersFolder)
{
    TModwrightForm &f = start();
    const TAssignmentData *led = assignLed(f);
    const QString target = dir.createDir("export");
    f.SLVImage->SetDirectory(target);
    ASSERT_TRUE(f.ExportMod1->isEnabled());
    bool answered = false;
    auto answer = WhenShown<TModText>([](TModText &d) { confirm(d, "Exported"); }, answered);
    f.ExportMod1->trigger();
    EXPECT_TRUE(answered);
    EXPECT_EQ(TTestDir::readAll(target + "/ModName.txt"), "Exported\r\n");
    EXPECT_EQ(TTestDir::readAll(target + "/WWW.txt"), "http://www.example.org\r\n");
    EXPECT_EQ(TTestDir::readAll(target + "/comments.txt"), "first\r\nsecond\r\n");
    EXPECT_TRUE(QFileInfo(target + "/" + led->modFileName()).isFile());
    EXPECT_EQ(f.Set().texts.ModName, "Exported");
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();
}

TEST_F(ModBuildCommands, ExportCancelledWritesNothing)
{
    TModwrightForm &f = start();
    assignLed(f);
    const QString target = dir.createDir("export");
    f.SLVImage->SetDirectory(target);
    bool answered = false;
    auto answer = WhenShown<TModText>([](TModText &d) { d.BCancel->click(); }, answered);
    f.ExportMod1->trigger();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(QDir(target).isEmpty());
}

TEST_F(ModBuildCommands, MakeRunsModPackerAndTheWaitingBoxClosesByItself)
{
    TModwrightForm &f = start();
    assignLed(f);
    const QString log = dir.file("packer.log");
    const QString packer =
        dir.createFile("packer/ModPacker", QString("#!/bin/sh\n"
                                                   "{ echo \"$1\"; LC_ALL=C ls \"$1\"; } > '%1'\n"
                                                   "sleep 0.3\n"
                                                   "exit 3\n")
                                               .arg(log)
                                               .toUtf8());
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    f.Settings.ModPackerPath = packer;

    bool answered = false, waited = false;
    QString waitText;
    auto answer = WhenShown<TModText>([](TModText &d) { confirm(d, "Made"); }, answered);
    auto watch = WhenShown<TAppWaiter>([&](TAppWaiter &box) { waitText = box.Label1->text(); }, waited);
    ASSERT_TRUE(f.BMakeMod->isEnabled());
    f.BMakeMod->trigger();

    EXPECT_TRUE(answered);
    EXPECT_TRUE(waited);
    EXPECT_EQ(waitText, "Please wait until ModPacker has finished. Then close ModPacker !");
    const QString modFolder = base + "/Mdw2Temp/Made";
    const QStringList lines = QString::fromUtf8(TTestDir::readAll(log)).split('\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(QDir::cleanPath(lines[0]), modFolder);
    EXPECT_TRUE(lines.contains("ModName.txt"));
    EXPECT_TRUE(lines.contains("comments.txt"));
    // Make! returned only after ModPacker ended; the box and the mod folder are gone.
    EXPECT_FALSE(QFileInfo::exists(modFolder));
    EXPECT_TRUE(QFileInfo(base + "/Mdw2Temp").isDir());
    QApplication::processEvents();
    EXPECT_EQ(VisibleWindow<TAppWaiter>(), nullptr);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();
}

TEST_F(ModBuildCommands, MakeWithoutModPackerOpensTheProgramPathsAndStopsQuietly)
{
    TModwrightForm &f = start();
    f.Settings.ModPackerPath = dir.file("nowhere/ModPacker.exe");
    bool answered = false, settingsShown = false;
    QString page;
    auto answer = WhenShown<TModText>([](TModText &d) { d.BCancel->click(); }, answered);
    auto settings = WhenShown<TSettingForm>(
        [&page](TSettingForm &d) {
            page = d.PageControl->tabText(d.PageControl->currentIndex());
            d.BCancel->click();
        },
        settingsShown);
    f.CreateMod1->trigger();
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(page, "ReBirth paths");
    EXPECT_FALSE(answered);
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();
}

TEST_F(ModBuildCommands, WaitingBoxLooksAsDesignedAndIgnoresTheUserWhileModPackerRuns)
{
    std::shared_ptr<TProcess> process = StartProgram("/bin/sh", {"-c", "sleep 0.4; exit 7"});
    bool shown = false, stayed = false, frameless = false;
    QSize size;
    auto act = WhenShown<TAppWaiter>(
        [&](TAppWaiter &box) {
            size = box.size();
            frameless = box.windowFlags().testFlag(Qt::FramelessWindowHint);
            box.reject(); // Escape
            box.close();
            stayed = box.isVisible() && !box.ProcessEnded();
        },
        shown);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(TAppWaiter::WaitFor(process, nullptr), 7u);
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_TRUE(shown);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(frameless);
    EXPECT_EQ(size, QSize(267, 60));
}

TEST_F(ModBuildCommands, WaitingBoxClosesAtOnceWhenModPackerEndsAtOnce)
{
    std::shared_ptr<TProcess> process = StartProgram("/bin/sh", {"-c", "exit 4"});
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(TAppWaiter::WaitFor(process, nullptr), 4u);
    EXPECT_EQ(VisibleWindow<TAppWaiter>(), nullptr);
}

} // namespace
