#include "FormFixture.h"
#include "common/PathUtils.h"
#include "controls/MySplitter.h"
#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "support/gui/WindowWaits.h"
#include "workbench/AssForm.h"
#include "workbench/DesignScale.h"
#include "workbench/ErrForm.h"
#include "workbench/SettingForm.h"
#include "workbench/SplashForm.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString AutoSavedInfo = "info: An auto-saved assignment has been loaded.\r\n"
                              "Apparently, Modwright has not been closed properly the last time.\r\n"
                              "Sorry for that...";

class StartupTest : public FormFixture {
protected:
    // An assignment file holding one assignment with the LED digits image.
    void writeAssignment(const QString &file, const QString &name, const QString &ledPath)
    {
        TIniFile ini(file.toStdString());
        ini.WriteString("Assignments", "Assignment1", name.toStdString());
        ini.WriteString(("Ass." + name).toStdString(), "LED digits", ledPath.toStdString());
        ini.WriteString(("Ass." + name).toStdString(), "ModName", "Night");
    }
    // ModPacker with a "Standard Components" folder holding the LED digits.
    void installModPacker()
    {
        const QString folder = dir.createDir("ModPacker/Standard Components");
        QImage image(109, 16, QImage::Format_RGB888);
        image.fill(Qt::green);
        ASSERT_TRUE(image.save(folder + "/12015.jpg", "JPEG"));
        setValue("ModPackerPath", dir.createFile("ModPacker/ModPacker.exe", "MZ"));
    }
    bool shown(const QString &text) const { return boxes.shown.contains(text); }
    void continueStartup()
    {
        QEvent event(StartupContinuesEvent);
        QApplication::sendEvent(form.get(), &event);
    }
};

TEST_F(StartupTest, BackupIsLoadedWhateverAutoLoadSays)
{
    setValue("AutoLoad", "0");
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    QDir().mkpath(base + "/Mdw2Temp");
    writeAssignment(backupFile(), "Night", led);
    TModwrightForm &f = start();
    EXPECT_TRUE(shown(AutoSavedInfo));
    EXPECT_EQ(f.Set().name, "Night");
    EXPECT_TRUE(f.Set().modified);
    EXPECT_EQ(f.Set().texts.ModName, "Night");
    EXPECT_EQ(FindRow(f.LVBMPRes, "LED digits")->assignedPath(), led);
    EXPECT_EQ(f.windowTitle(), "Modwright for ReBirth 2 - Night");
}

TEST_F(StartupTest, AutoLoadOpensTheLastAssignment)
{
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    writeAssignment(dir.file("Assignments.ini"), "Night", led);
    setValue("LastAssignment", "Night");
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_EQ(f.Set().name, "Night");
    EXPECT_FALSE(f.Set().modified);
    EXPECT_TRUE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
    EXPECT_EQ(Cell(f.LVBMPRes, FindRow(f.LVBMPRes, "LED digits"), 1), "109x16");
}

TEST_F(StartupTest, NoNameLoadsTheStandardComponents)
{
    installModPacker();
    writeAssignment(dir.file("Assignments.ini"), "(no name)", MakeBmp(dir, "other.bmp", 20, 20));
    setValue("LastAssignment", "(no name)");
    TModwrightForm &f = start();
    EXPECT_EQ(f.Set().name, "(no name)");
    EXPECT_FALSE(f.Set().modified);
    EXPECT_EQ(FindRow(f.LVBMPRes, "LED digits")->assignedPath(),
              dir.file("ModPacker/Standard Components/12015.jpg"));
    EXPECT_EQ(f.windowTitle(), "Modwright for ReBirth 2 - (no name)");
}

TEST_F(StartupTest, WithoutAutoLoadNothingButTheStandardSet)
{
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    writeAssignment(dir.file("Assignments.ini"), "Night", led);
    setValue("LastAssignment", "Night");
    setValue("AutoLoad", "0");
    TModwrightForm &f = start();
    // No ModPacker either: nothing is loaded at all.
    EXPECT_EQ(f.Set().name, "");
    EXPECT_FALSE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
    EXPECT_EQ(f.windowTitle(), "Modwright for ReBirth 2");
}

TEST_F(StartupTest, ModwrightPathIsWrittenAndTheObsoleteValueGoes)
{
    setValue("MdwPath", "C:\\old\\Mdw.exe");
    start();
    EXPECT_EQ(QString::fromStdString(config().ReadString("Current", "ModwrightPath", "")), ProgramPath());
    EXPECT_FALSE(config().ValueExists("Current", "MdwPath"));
}

TEST_F(StartupTest, UninstallModeSkipsTheConfigurationWork)
{
    form = std::make_unique<TModwrightForm>(TStartOptions{true, true});
    EXPECT_EQ(TSplashForm1::Current(), nullptr);
    EXPECT_FALSE(config().ValueExists("Current", "ModwrightPath"));
    EXPECT_TRUE(form->BNew->icon().isNull());
}

TEST_F(StartupTest, SplashClickContinuesWithTheChecks)
{
    // A machine without a sound card: ALSA's default device can't open.
    capture.reset(); // first, so that its configuration is given back before the next one
    capture = TAlsaCapture::NoSoundCard(dir.createDir("nocard"));
    FreeWavePlayer();
    form = std::make_unique<TModwrightForm>(TStartOptions{false, true});
    TSplashForm1 *splash = TSplashForm1::Current();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->StartupMode());
    form->ShowForStartup();
    ASSERT_TRUE(WaitFor([this] { return form->StartupSecondHalfDone(); }));
    EXPECT_TRUE(splash->TimerRunning());
    EXPECT_FALSE(form->StartupChecksDone());
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(10, 10), QPointF(10, 10), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(splash, &click);
    ASSERT_TRUE(WaitFor([this] { return form->StartupChecksDone(); }));
    EXPECT_TRUE(shown("info: There is no audio device (sound card) installed on your system.\r\n"
                      "Drum playing is disabled."));
    EXPECT_TRUE(WaitFor([] { return TSplashForm1::Current() == nullptr; }));
}

TEST_F(StartupTest, MissingProgramsInformAndOpenTheSettings)
{
    installModPacker();
    setValue("ReBirthPath", dir.file("nowhere/ReBirth.exe"));
    bool settingsShown = false;
    QString page;
    auto settings = WhenShown<TSettingForm>(
        [&](TSettingForm &d) {
            page = d.PageControl->tabText(d.PageControl->currentIndex());
            // The user points at another ModPacker: the standard set is loaded from it.
            d.EModPacker->setText(dir.file("ModPacker/ModPacker.EXE.moved"));
            d.BOK->click();
        },
        settingsShown);
    TModwrightForm &f = start();
    f.Set().DetachAll();
    continueStartup();
    EXPECT_TRUE(
        shown("info: It seems that you haven't installed ReBirth and/or ModPacker.\r\n"
              "In this case you should quit Modwright and install ReBirth and ModPacker before running "
              "Modwright again.\r\n"
              "If you want to specify the location of ModPacker and ReBirth, do so in the settings "
              "dialog."));
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(page, "ReBirth paths");
    EXPECT_EQ(f.Settings.ModPackerPath, dir.file("ModPacker/ModPacker.EXE.moved"));
    EXPECT_EQ(VisibleWindow<TSettingForm>(), nullptr);
    EXPECT_TRUE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
    EXPECT_EQ(f.Set().name, "(no name)");
}

TEST_F(StartupTest, UnusableTempBaseFallsBackToThePrivateDefault)
{
    setValue("TempDir", dir.createFile("not-a-folder", "x"));
    TModwrightForm &f = start();
    EXPECT_TRUE(f.TempWorkingFolder().isEmpty());
    continueStartup();
    EXPECT_EQ(f.Settings.TempDir, dir.file("run/modwright/"));
    EXPECT_TRUE(QFileInfo(dir.file("run/modwright/Mdw2Temp")).isDir());
    EXPECT_EQ(QFileInfo(dir.file("run/modwright/Mdw2Temp")).permissions() & 0x0077, 0);
    EXPECT_EQ(f.Set().backupFile, dir.file("run/modwright/Mdw2Temp/") + TAssignmentSet::BackupFileName);
    EXPECT_FALSE(boxes.shown.join("\n").contains("temporary directory"));
}

TEST_F(StartupTest, NoUsableTempFolderAtAllAsksForOne)
{
    bool settingsShown = false;
    QString page;
    auto settings = WhenShown<TSettingForm>(
        [&](TSettingForm &d) {
            page = d.PageControl->tabText(d.PageControl->currentIndex());
            d.BCancel->click();
        },
        settingsShown);
    setValue("TempDir", dir.createFile("not-a-folder", "x"));
    qputenv("XDG_RUNTIME_DIR", dir.createFile("no-run", "x").toUtf8());
    TModwrightForm &f = start();
    continueStartup();
    EXPECT_TRUE(shown("info: Your temporary directory is not set up properly.\r\n"
                      "Please specify your temporary directory in the settings."));
    EXPECT_TRUE(settingsShown);
    EXPECT_EQ(page, "General");
    EXPECT_TRUE(f.TempWorkingFolder().isEmpty());
    // The auto-save has nowhere to go and stays quiet.
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    f.Timer1->setInterval(1);
    WaitFor([] { return false; }, 50);
    EXPECT_FALSE(boxes.shown.join("\n").contains("Error writing"));
}

TEST_F(StartupTest, SetTempBaseMovesTheWorkingFolder)
{
    TModwrightForm &f = start();
    const QString old = f.TempWorkingFolder();
    dir.createFile("base/Mdw2Temp/left-over.tmp");
    const QString other = dir.createDir("other");
    f.SetTempBase(other);
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo(other + "/Mdw2Temp").isDir());
    EXPECT_EQ(f.Settings.TempDir, other + "/");
    // A base inside the old working folder does not delete itself.
    const QString inner = f.TempWorkingFolder() + "inner";
    f.SetTempBase(inner);
    EXPECT_TRUE(QFileInfo(inner + "/Mdw2Temp").isDir());
    EXPECT_THROW(f.SetTempBase(dir.createFile("file", "x")), EModwright);
    EXPECT_THROW(f.SetTempBase(""), EModwright);
}

TEST_F(StartupTest, AutoSaveWritesTheBackupWhileModified)
{
    TModwrightForm &f = start();
    f.Timer1->setInterval(1);
    WaitFor([] { return false; }, 50);
    EXPECT_FALSE(QFileInfo::exists(backupFile()));
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    EXPECT_TRUE(WaitFor([this] { return QFileInfo::exists(backupFile()); }));
}

// --- The working folder is private ---------------------------------------------

TEST_F(StartupTest, ABackupThatIsALinkIsNotLoadedAndOneLineSaysWhy)
{
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    QDir().mkpath(base + "/Mdw2Temp");
    writeAssignment(dir.file("elsewhere.ini"), "Planted", led);
    ASSERT_TRUE(QFile::link(dir.file("elsewhere.ini"), backupFile()));
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_NE(f.Set().name, "Planted");
    EXPECT_FALSE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
    EXPECT_EQ(f.ErrForm().Lines(), QStringList{"The backup file \"" + backupFile() +
                                               "\" is a symbolic link, so it was not loaded."});
    EXPECT_TRUE(QFile::exists(dir.file("elsewhere.ini")));
}

TEST_F(StartupTest, ABackupOfAnotherUserIsNotLoadedAndOneLineSaysWhy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the backup to another user";
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    QDir().mkpath(base + "/Mdw2Temp");
    writeAssignment(backupFile(), "Planted", led);
    ASSERT_EQ(::chown(QFile::encodeName(backupFile()).constData(), 65534, 65534), 0);
    setValue("AutoLoad", "0");
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_EQ(f.Set().name, "");
    EXPECT_FALSE(FindRow(f.LVBMPRes, "LED digits")->isAssigned());
    EXPECT_EQ(f.ErrForm().Lines(),
              QStringList{"The backup file \"" + backupFile() +
                          "\" belongs to another user (user id 65534), so it was not loaded."});
    // The next auto-save replaces it with the user's own.
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), led);
    f.Set().SaveBackup();
    EXPECT_EQ(QFileInfo(backupFile()).ownerId(), ::geteuid());
}

TEST_F(StartupTest, AStoredWorkingFolderOthersMayWriteIsNotUsed)
{
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    const QString shared = dir.createDir("base/Mdw2Temp");
    writeAssignment(backupFile(), "Planted", led);
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0777), 0);
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_NE(f.Set().name, "Planted");
    continueStartup();
    EXPECT_TRUE(
        shown("info: The folder \"" + shared +
              "\" can be written by group or others (mode 0777), so Modwright uses nothing inside it."));
    EXPECT_EQ(f.TempWorkingFolder(), dir.file("run/modwright/Mdw2Temp/"));
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(QFile::exists(backupFile())); // not ours: left as it was
    EXPECT_FALSE(QFileInfo::exists(dir.file("run/modwright/Mdw2Temp")));
}

TEST_F(StartupTest, AStoredWorkingFolderThatIsALinkIsNotUsedNorEmptied)
{
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    const QString other = dir.createDir("other");
    writeAssignment(other + "/" + TAssignmentSet::BackupFileName, "Planted", led);
    dir.createFile("other/keep.txt", "keep");
    ASSERT_TRUE(QFile::link(other, base + "/Mdw2Temp"));
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_NE(f.Set().name, "Planted");
    continueStartup();
    EXPECT_TRUE(shown("info: The folder \"" + base +
                      "/Mdw2Temp\" is a symbolic link, so Modwright uses nothing inside it."));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(QDir(other).entryList(QDir::Files, QDir::Name),
              (QStringList{TAssignmentSet::BackupFileName, "keep.txt"}));
    EXPECT_TRUE(QFileInfo(base + "/Mdw2Temp").isSymLink());
}

TEST_F(StartupTest, TheOldSharedDefaultMovesToThePrivateFolderWithItsBackup)
{
    // Earlier versions stored the shared temporary folder at every close; a
    // crash left the backup in its working folder.
    setValue("TempDir", dir.file("tmp"));
    setValue("AutoLoad", "0");
    const QString led = MakeBmp(dir, "led.bmp", 109, 16);
    QDir().mkpath(dir.file("tmp/Mdw2Temp"));
    writeAssignment(dir.file("tmp/Mdw2Temp/") + TAssignmentSet::BackupFileName, "Night", led);
    TModwrightForm &f = start();
    EXPECT_EQ(f.Settings.TempDir, dir.file("run/modwright/"));
    EXPECT_EQ(f.TempWorkingFolder(), dir.file("run/modwright/Mdw2Temp/"));
    EXPECT_TRUE(shown(AutoSavedInfo));
    EXPECT_EQ(f.Set().name, "Night");
    EXPECT_FALSE(QFileInfo::exists(dir.file("tmp/Mdw2Temp"))); // it was the user's own
    boxes.answers = {maNo};
    EXPECT_TRUE(f.close());
    EXPECT_EQ(QString::fromStdString(config().ReadString("Current", "TempDir", "")),
              dir.file("run/modwright/"));
}

TEST_F(StartupTest, AnOldSharedWorkingFolderThatIsNotTheUsersOwnIsLeftAlone)
{
    setValue("TempDir", dir.file("tmp"));
    const QString old = dir.createDir("tmp/Mdw2Temp");
    writeAssignment(old + "/" + TAssignmentSet::BackupFileName, "Planted", MakeBmp(dir, "led.bmp", 109, 16));
    ASSERT_EQ(::chmod(QFile::encodeName(old).constData(), 0777), 0);
    TModwrightForm &f = start();
    EXPECT_FALSE(shown(AutoSavedInfo));
    EXPECT_NE(f.Set().name, "Planted");
    EXPECT_EQ(f.TempWorkingFolder(), dir.file("run/modwright/Mdw2Temp/"));
    EXPECT_TRUE(QFile::exists(old + "/" + TAssignmentSet::BackupFileName));
}

// --- Closing -----------------------------------------------------------------

TEST_F(StartupTest, CloseCancelKeepsTheProgramRunning)
{
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    boxes.answers = {maCancel};
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(shown("confirm: Do you want to save the current assignment ?"));
    EXPECT_TRUE(QFileInfo(base + "/Mdw2Temp").isDir());
}

TEST_F(StartupTest, CloseNoSavesSettingsAndRemovesTheTemporaryFolder)
{
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    f.Set().SaveBackup();
    boxes.answers = {maNo};
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(QFileInfo::exists(base + "/Mdw2Temp"));
    EXPECT_TRUE(config().ValueExists("Current", "MainWidth"));
    EXPECT_EQ(config().ReadString("Current", "FirstTime", ""), "0");
}

TEST_F(StartupTest, CloseYesOpensTheSaveDialog)
{
    bool asked = false;
    auto save = WhenShown<TAssForm>(
        [](TAssForm &d) {
            // Typed, as the user does: the OK button follows the edits.
            d.EName->selectAll();
            for (const QChar c : QString("Night")) {
                QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
                QApplication::sendEvent(d.EName, &key);
            }
            d.BOK->click();
        },
        asked);
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    boxes.answers = {maYes};
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(asked);
    TIniFile saved(dir.file("Assignments.ini").toStdString());
    EXPECT_EQ(saved.ReadString("Assignments", "Assignment1", ""), "Night");
    EXPECT_FALSE(QFileInfo::exists(base + "/Mdw2Temp"));
}

TEST_F(StartupTest, CancelledSaveDialogKeepsTheWindowAndTheWork)
{
    bool asked = false;
    auto save = WhenShown<TAssForm>([](TAssForm &d) { d.BCancel->click(); }, asked);
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    boxes.answers = {maYes};
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.Set().modified);
    EXPECT_TRUE(QFileInfo(base + "/Mdw2Temp").isDir());
}

TEST_F(StartupTest, UnmodifiedSetClosesWithoutAQuestion)
{
    TModwrightForm &f = start();
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(boxes.shown.join("\n").contains("confirm:"));
}

// --- Settings ----------------------------------------------------------------

TEST_F(StartupTest, SettingsRoundTripThroughTheRegistryStore)
{
    setValue("Splitter1", "200"); // a string value keeps being a string
    {
        TModwrightForm &f = start();
        f.Settings.ShowWarnings = false;
        f.Settings.ShowInfos = false;
        f.Settings.AutoLoad = false;
        f.Settings.ShowWelcome = false;
        f.Settings.JpegCompressionRatio = 77;
        f.Settings.ReBirthPath = "/opt/ReBirth/rebirth.exe";
        f.Settings.AudioDevice = "default";
        f.Settings.UseOtherExt[1] = false;
        f.Settings.FileRunDef[0] = true;
        f.Settings.ModDblShow[1] = true;
        f.Settings.ImgEditorPath = "/usr/bin/gimp";
        f.Settings.ImgEditorName = "gimp";
        f.Settings.ImgEditorActive = true;
        f.SetTextLabels(false);
        f.SetShowDrumFormat(true);
        f.BMPSplitter->SetFirstSize(300);
        f.AudioSplitter->SetFirstSize(320);
        f.LVBMPRes->SetColumnWidth(0, 123);
        f.LVAudioRes->HeaderClick(3);
        f.LVAudioRes->HeaderClick(3);
        f.Set().ResetAssignment();
        QApplication::processEvents();
        EXPECT_TRUE(f.close());
    }
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Talwen\\Modwright for ReBirth 2\\Current", false));
    EXPECT_EQ(reg.ReadString("ShowWarnings"), "0");
    EXPECT_EQ(reg.GetDataType("JpegCompressionRatio"), TRegDataType::rdInteger);
    EXPECT_EQ(reg.GetDataType("Splitter1"), TRegDataType::rdString);
    EXPECT_EQ(reg.ReadString("LastAssignment"), "(no name)");
    EXPECT_EQ(reg.ReadString("ImgEditorPath"), "/usr/bin/gimp");

    form.reset();
    DestroyCatalogue();
    TModwrightForm &f = start();
    EXPECT_FALSE(f.Settings.ShowWarnings);
    EXPECT_FALSE(f.Settings.ShowInfos);
    EXPECT_FALSE(f.Settings.AutoLoad);
    EXPECT_EQ(f.Settings.JpegCompressionRatio, 77);
    EXPECT_EQ(f.Settings.ReBirthPath, "/opt/ReBirth/rebirth.exe");
    EXPECT_EQ(f.Settings.AudioDevice, "default");
    EXPECT_FALSE(f.Settings.UseOtherExt[1]);
    EXPECT_TRUE(f.Settings.UseOtherExt[0]);
    EXPECT_TRUE(f.Settings.FileRunDef[0]);
    EXPECT_TRUE(f.Settings.ModDblShow[1]);
    EXPECT_EQ(f.Settings.ImgEditorName, "gimp");
    EXPECT_TRUE(f.Settings.ImgEditorActive);
    EXPECT_FALSE(f.Settings.TextLabels);
    EXPECT_TRUE(f.Settings.ShowDrumFormat);
    EXPECT_FALSE(f.Settings.FirstTime);
    EXPECT_EQ(f.LVAudioRes->ColumnCount(), 7);
    EXPECT_EQ(f.BMPSplitter->FirstSize(), 300);
    EXPECT_EQ(f.AudioSplitter->FirstSize(), 320);
    EXPECT_EQ(f.LVBMPRes->ColumnWidth(0), 123);
    EXPECT_EQ(f.LVAudioRes->SortColumn(), 3);
    EXPECT_TRUE(f.LVAudioRes->SortReverse());
    EXPECT_EQ(f.LVAudioRes->ColumnCaption(3), "Frequency-");
    EXPECT_TRUE(f.BRunReBirth->isEnabled());
}

TEST_F(StartupTest, WrongTypedValuesGiveSaneSettings)
{
    setValue("ShowToolbar", "yes");
    setValue("JpegCompressionRatio", "abc");
    setValue("SortMode0", "99");
    setValue("SortMode1", "-3");
    setValue("Splitter0", "-5");
    setValue("Splitter1", "lots");
    setValue("LeftColumns0-0", "0");
    setValue("LeftColumns0-1", "99999");
    setValue("MainWidth", "wide");
    setValue("MainTop", "-2147483648");
    config().WriteInteger("Current", "SortReverse0", 7);
    TModwrightForm &f = start();
    EXPECT_TRUE(f.Settings.ShowToolbar);
    EXPECT_EQ(f.Settings.JpegCompressionRatio, 98);
    EXPECT_EQ(f.LVBMPRes->SortColumn(), 0);
    EXPECT_EQ(f.LVAudioRes->SortColumn(), 0);
    EXPECT_TRUE(f.LVBMPRes->SortReverse()); // any non-zero number is true
    EXPECT_EQ(f.LVBMPRes->ColumnCaption(0), "Name-");
    const int defaultWidth = qMax(Design(265), f.LVBMPRes->FullWidth());
    EXPECT_EQ(f.BMPSplitter->FirstSize(), defaultWidth);
    EXPECT_EQ(f.AudioSplitter->FirstSize(), defaultWidth);
    EXPECT_EQ(f.LVBMPRes->ColumnWidth(0), Design(100));
    EXPECT_EQ(f.LVBMPRes->ColumnWidth(1), Design(70));
    EXPECT_GE(f.y(), 0);
    EXPECT_GT(f.width(), 100);

    config().WriteInteger("Current", "JpegCompressionRatio", 500);
    TMainSettings s;
    s.Load(config());
    EXPECT_EQ(s.JpegCompressionRatio, 98);
}

} // namespace

namespace {

TEST_F(StartupTest, StoredMinimizedWindowStartsMinimized)
{
    config().WriteInteger("Current", "MainState", 1);
    TModwrightForm &f = start();
    EXPECT_TRUE(f.windowState() & Qt::WindowMinimized);
    EXPECT_TRUE(f.StartupSecondHalfDone());
}

TEST_F(StartupTest, StoredPlacementIsRestored)
{
    config().WriteInteger("Current", "MainLeft", 40);
    config().WriteInteger("Current", "MainTop", 30);
    config().WriteInteger("Current", "MainWidth", 700);
    config().WriteInteger("Current", "MainHeight", 500);
    TModwrightForm &f = start();
    EXPECT_EQ(f.size(), QSize(700, 500));
    EXPECT_EQ(f.geometry().topLeft(),
              QPoint(40, 30) + QGuiApplication::primaryScreen()->availableGeometry().topLeft());
}

} // namespace
