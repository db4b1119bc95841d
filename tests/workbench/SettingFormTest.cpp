#include "workbench/SettingForm.h"

#include "FormFixture.h"
#include "audio/WavePlayer.h"
#include "common/PathUtils.h"
#include "controls/PathDialog.h"
#include "platform/Registry.h"
#include "platform/WaveOutRecorder.h"
#include "workbench/AccelSpinBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>

namespace {

const QString WriteProtected = "error: This directory is write protected or there is no space left.\r\n"
                               "Please specify another directory.";

class SettingFormTest : public FormFixture {
protected:
    void TearDown() override
    {
        delete dialog;
        FormFixture::TearDown();
    }

    // The dialog shown without a modal loop of its own.
    TSettingForm &open()
    {
        if (!form)
            start();
        delete dialog;
        dialog = new TSettingForm(*form);
        dialog->show();
        return *dialog;
    }

    QString stored(const char *name)
    {
        return QString::fromStdString(config().ReadString("Current", name, "?"));
    }

    QPointer<TSettingForm> dialog;
};

// A check box and the setting it edits.
struct TCheckCase {
    const char *box;
    bool TMainSettings::*flag;
    bool (TMainSettings::*pair)[2];
    int tab;
};

bool &Flag(TMainSettings &s, const TCheckCase &c)
{
    return c.flag ? s.*c.flag : (s.*c.pair)[c.tab];
}

const TCheckCase CheckCases[] = {
    {"CBShowToolbar", &TMainSettings::ShowToolbar, nullptr, 0},
    {"CBShowLabels", &TMainSettings::TextLabels, nullptr, 0},
    {"CBShowWelcome", &TMainSettings::ShowWelcome, nullptr, 0},
    {"CBAutoOpen", &TMainSettings::AutoLoad, nullptr, 0},
    {"CBWarnings", &TMainSettings::ShowWarnings, nullptr, 0},
    {"CBInfos", &TMainSettings::ShowInfos, nullptr, 0},
    {"CBResImgClickShow", nullptr, &TMainSettings::ModClickShow, 0},
    {"CBResImgClickShowImgViewer", &TMainSettings::ModClickShowImageViewer, nullptr, 0},
    {"CBFileImgClickShow", nullptr, &TMainSettings::FileClickShow, 0},
    {"CBFileImgClickShowImgViewer", &TMainSettings::FileClickShowImageViewer, nullptr, 0},
    {"CBResImgDblShow", nullptr, &TMainSettings::ModDblShow, 0},
    {"CBResImgDblShowImgViewer", &TMainSettings::ModDblShowImageViewer, nullptr, 0},
    {"CBResImgDblBrowse", nullptr, &TMainSettings::ModDblBrowse, 0},
    {"CBResImgRunEditor", nullptr, &TMainSettings::ModRunEditor, 0},
    {"CBFileImgDblShow", nullptr, &TMainSettings::FileDblShow, 0},
    {"CBFileImgDblShowImgViewer", &TMainSettings::FileDblShowImageViewer, nullptr, 0},
    {"CBFileImgRunEditor", nullptr, &TMainSettings::FileRunEditor, 0},
    {"CBFileImgRunDef", nullptr, &TMainSettings::FileRunDef, 0},
    {"CBResDrumClickShow", nullptr, &TMainSettings::ModClickShow, 1},
    {"CBFileDrumClickShow", nullptr, &TMainSettings::FileClickShow, 1},
    {"CBResDrumDblShow", nullptr, &TMainSettings::ModDblShow, 1},
    {"CBResDrumDblBrowse", nullptr, &TMainSettings::ModDblBrowse, 1},
    {"CBResDrumRunEditor", nullptr, &TMainSettings::ModRunEditor, 1},
    {"CBFileDrumDblShow", nullptr, &TMainSettings::FileDblShow, 1},
    {"CBFileDrumRunEditor", nullptr, &TMainSettings::FileRunEditor, 1},
    {"CBFileDrumRunDef", nullptr, &TMainSettings::FileRunDef, 1},
    {"CBShowDrumFormat", &TMainSettings::ShowDrumFormat, nullptr, 0},
    {"CBActiveImg", &TMainSettings::ImgEditorActive, nullptr, 0},
    {"CBActiveDrum", &TMainSettings::DrumEditorActive, nullptr, 0},
};

std::vector<bool> AllFlags(TMainSettings &s)
{
    std::vector<bool> flags;
    for (const TCheckCase &c : CheckCases)
        flags.push_back(Flag(s, c));
    for (int tab = 0; tab < 2; ++tab) {
        flags.push_back(s.UseOtherExt[tab]);
        flags.push_back(s.UseVirtualNames[tab]);
    }
    return flags;
}

TEST_F(SettingFormTest, EachCheckBoxShowsAndEditsItsOwnSettingOnly)
{
    start();
    for (const TCheckCase &c : CheckCases) {
        SCOPED_TRACE(c.box);
        TSettingForm &d = open();
        auto *box = d.findChild<QCheckBox *>(c.box);
        ASSERT_NE(box, nullptr);
        const bool before = Flag(form->Settings, c);
        EXPECT_EQ(box->isChecked(), before);
        std::vector<bool> expected = AllFlags(form->Settings);
        expected[&c - CheckCases] = !before;
        box->click();
        d.BOK->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
        EXPECT_EQ(AllFlags(form->Settings), expected);
    }
    // What the window shows follows.
    EXPECT_EQ(form->Settings.ShowToolbar, !form->TopPanel->isHidden());
    EXPECT_EQ(form->ToolbarVisible1->isChecked(), form->Settings.ShowToolbar);
}

TEST_F(SettingFormTest, RadioPairsShowTheSettingOnTheFirstButton)
{
    start();
    form->Settings.UseOtherExt[0] = true;
    form->Settings.UseVirtualNames[0] = false;
    form->Settings.UseOtherExt[1] = false;
    form->Settings.UseVirtualNames[1] = true;
    TSettingForm &d = open();
    EXPECT_TRUE(d.RBImgOtherExt->isChecked());
    EXPECT_FALSE(d.RBImgRealExt->isChecked());
    EXPECT_FALSE(d.RBImgVirtName->isChecked());
    EXPECT_TRUE(d.RBImgRealName->isChecked());
    EXPECT_FALSE(d.RBDrumOtherExt->isChecked());
    EXPECT_TRUE(d.RBDrumRealExt->isChecked());
    EXPECT_TRUE(d.RBDrumVirtName->isChecked());
    // The two pairs of a page don't exclude each other.
    d.RBImgRealExt->click();
    d.RBImgVirtName->click();
    d.RBDrumOtherExt->click();
    d.RBDrumRealName->click();
    EXPECT_TRUE(d.RBImgVirtName->isChecked() && d.RBImgRealExt->isChecked());
    d.BOK->click();
    EXPECT_FALSE(form->Settings.UseOtherExt[0]);
    EXPECT_TRUE(form->Settings.UseVirtualNames[0]);
    EXPECT_TRUE(form->Settings.UseOtherExt[1]);
    EXPECT_FALSE(form->Settings.UseVirtualNames[1]);
}

TEST_F(SettingFormTest, CancelChangesNothingAndWritesNothing)
{
    start();
    const std::vector<bool> flags = AllFlags(form->Settings);
    const TMainSettings before = form->Settings;
    const QString tempBefore = form->TempWorkingFolder();
    TSettingForm &d = open();
    for (const TCheckCase &c : CheckCases)
        d.findChild<QCheckBox *>(c.box)->click();
    d.RBImgRealExt->click();
    d.EJPegCompressionRatio->setValue(12);
    d.EImgEditor->setText("/opt/paint/paint");
    d.EModPacker->setText("/elsewhere/ModPacker.exe");
    d.EReBirth->setText("/elsewhere/ReBirth.exe");
    d.ETemp->setText(dir.createDir("other"));
    d.EAssFileName->setText(dir.file("other/Mine.ini"));
    d.BCancel->click();
    EXPECT_EQ(d.result(), QDialog::Rejected);
    EXPECT_EQ(AllFlags(form->Settings), flags);
    EXPECT_EQ(form->Settings.JpegCompressionRatio, before.JpegCompressionRatio);
    EXPECT_EQ(form->Settings.ImgEditorPath, before.ImgEditorPath);
    EXPECT_EQ(form->Settings.ModPackerPath, before.ModPackerPath);
    EXPECT_EQ(form->Settings.ReBirthPath, before.ReBirthPath);
    EXPECT_EQ(form->Settings.AssFilename, before.AssFilename);
    EXPECT_EQ(form->TempWorkingFolder(), tempBefore);
    EXPECT_FALSE(QFileInfo::exists(dir.file("other/Mdw2Temp")));
    EXPECT_FALSE(config().ValueExists("Current", "ImgEditorPath"));
}

TEST_F(SettingFormTest, TextFieldsRoundTrip)
{
    start();
    TMainSettings &s = form->Settings;
    s.ModPackerPath = "/opt/mp/ModPacker.exe";
    s.ReBirthPath = "/opt/rb/ReBirth.exe";
    s.AssFilename = dir.file("Mine.ini");
    s.JpegCompressionRatio = 42;
    TSettingForm &d = open();
    EXPECT_EQ(d.windowTitle(), "Settings Modwright for ReBirth 2");
    EXPECT_EQ(d.ETemp->text(), base); // without the trailing separator
    EXPECT_EQ(d.EAssFileName->text(), dir.file("Mine.ini"));
    EXPECT_EQ(d.EModPacker->text(), "/opt/mp/ModPacker.exe");
    EXPECT_EQ(d.EReBirth->text(), "/opt/rb/ReBirth.exe");
    EXPECT_EQ(d.EJPegCompressionRatio->value(), 42);
    d.BOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(s.ModPackerPath, "/opt/mp/ModPacker.exe");
    EXPECT_EQ(s.ReBirthPath, "/opt/rb/ReBirth.exe");
    EXPECT_EQ(s.AssFilename, dir.file("Mine.ini"));
    EXPECT_EQ(form->Set().assignmentFile, dir.file("Mine.ini"));
    EXPECT_EQ(s.JpegCompressionRatio, 42);
    EXPECT_EQ(form->TempWorkingFolder(), base + "/Mdw2Temp/");
}

TEST_F(SettingFormTest, JpegQualityStaysWithinOneToHundredAndBadTextReverts)
{
    TSettingForm &d = open();
    TAccelSpinBox *q = d.EJPegCompressionRatio;
    EXPECT_EQ(q->minimum(), 1);
    EXPECT_EQ(q->maximum(), 100);
    EXPECT_EQ(q->value(), 98);
    q->setValue(150);
    EXPECT_EQ(q->value(), 100);
    q->setValue(0);
    EXPECT_EQ(q->value(), 1);
    q->setValue(98);
    // "0" can be typed but is no quality: leaving the field shows 98 again.
    q->findChild<QLineEdit *>()->setText("0");
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(q, &out);
    EXPECT_EQ(q->text(), "98");
    q->findChild<QLineEdit *>()->setText("7");
    QApplication::sendEvent(q, &out);
    EXPECT_EQ(q->text(), "7");
    d.BOK->click();
    EXPECT_EQ(form->Settings.JpegCompressionRatio, 7);
}

TEST(AccelSpinBox, HoldingAnArrowSpeedsUpAfterTwoAndFiveSeconds)
{
    EXPECT_EQ(TAccelSpinBox::StepAfter(0), 1);
    EXPECT_EQ(TAccelSpinBox::StepAfter(1999), 1);
    EXPECT_EQ(TAccelSpinBox::StepAfter(2000), 5);
    EXPECT_EQ(TAccelSpinBox::StepAfter(4999), 5);
    EXPECT_EQ(TAccelSpinBox::StepAfter(5000), 10);

    TAccelSpinBox box;
    box.setRange(1, 100);
    box.setValue(1);
    qint64 now = 1000;
    box.clock = [&now] { return now; };
    const auto key = [&box](QEvent::Type type) {
        QKeyEvent event(type, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(&box, &event);
    };
    // The press steps once; the steps the held arrow repeats come after it.
    key(QEvent::KeyPress);
    EXPECT_EQ(box.value(), 2);
    now += 1500;
    box.stepBy(1);
    EXPECT_EQ(box.value(), 3);
    now += 1000; // held 2.5 s
    box.stepBy(1);
    EXPECT_EQ(box.value(), 8);
    now += 3000; // held 5.5 s
    box.stepBy(1);
    EXPECT_EQ(box.value(), 18);
    box.stepBy(-1);
    EXPECT_EQ(box.value(), 8);
    key(QEvent::KeyRelease);
    box.stepBy(1); // not held (the wheel, say): never accelerated
    EXPECT_EQ(box.value(), 9);
    key(QEvent::KeyPress); // a new press starts slow again
    EXPECT_EQ(box.value(), 10);
    key(QEvent::KeyRelease);
    box.setValue(98);
    key(QEvent::KeyPress);
    now += 6000;
    box.stepBy(1);
    EXPECT_EQ(box.value(), 100); // clamped at the top
}

TEST_F(SettingFormTest, EmptyTemporaryFieldMeansThePrivateDefault)
{
    TSettingForm &d = open();
    d.ETemp->clear();
    d.BOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(form->Settings.TempDir, dir.file("run/modwright/"));
    EXPECT_TRUE(QFileInfo(dir.file("run/modwright/Mdw2Temp")).isDir());
    EXPECT_FALSE(QFileInfo::exists(base + "/Mdw2Temp"));
}

TEST_F(SettingFormTest, UnusableTemporaryFolderKeepsTheDialogOpenWithEarlierStepsApplied)
{
    TSettingForm &d = open();
    d.CBShowWelcome->setChecked(false);
    d.EModPacker->setText("/opt/mp/ModPacker.exe");
    d.ETemp->setText(dir.createFile("a-file", "x"));
    d.BOK->click();
    EXPECT_EQ(boxes.shown, QStringList{"error: Cannot create temporary directory !"});
    EXPECT_TRUE(d.isVisible());
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_FALSE(form->Settings.ShowWelcome);
    EXPECT_EQ(form->Settings.ModPackerPath, "/opt/mp/ModPacker.exe");
    EXPECT_EQ(form->TempWorkingFolder(), base + "/Mdw2Temp/");
    // Put right, OK goes through.
    d.BDefaultTempClick();
    EXPECT_EQ(d.ETemp->text(), dir.file("run/modwright"));
    d.BOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
}

TEST_F(SettingFormTest, ATemporaryFolderWhoseWorkingFolderIsALinkIsRefusedWithTheReason)
{
    TSettingForm &d = open();
    const QString chosen = dir.createDir("chosen");
    const QString other = dir.createDir("other");
    dir.createFile("other/keep.txt", "keep");
    ASSERT_TRUE(QFile::link(other, chosen + "/Mdw2Temp"));
    d.ETemp->setText(chosen);
    d.BOK->click();
    EXPECT_EQ(boxes.shown,
              QStringList{"error: The folder \"" + chosen +
                          "/Mdw2Temp\" is a symbolic link, so Modwright uses nothing inside it."});
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(form->TempWorkingFolder(), base + "/Mdw2Temp/");
    EXPECT_TRUE(QFile::exists(dir.file("other/keep.txt")));
}

TEST_F(SettingFormTest, TemporaryFolderBrowseUsesTheFolderPicker)
{
    TSettingForm &d = open();
    const QString chosen = dir.createDir("chosen");
    QString title, startedAt;
    d.pickFolder = [&](TPathDialog &p) {
        title = p.Title();
        startedAt = p.Directory();
        p.SetDirectory(chosen);
        return true;
    };
    d.BBrowseTemp->click();
    EXPECT_EQ(title, "Select a temporary directory");
    EXPECT_EQ(startedAt, base);
    EXPECT_EQ(d.ETemp->text(), chosen);
    d.pickFolder = [](TPathDialog &p) {
        p.SetDirectory("/");
        return false;
    };
    d.BBrowseTemp->click();
    EXPECT_EQ(d.ETemp->text(), chosen); // cancelled
    d.BOK->click();
    EXPECT_EQ(form->TempWorkingFolder(), chosen + "/Mdw2Temp/");
}

TEST_F(SettingFormTest, AssignmentFileMustLieInAWritableFolder)
{
    TSettingForm &d = open();
    const QString before = d.EAssFileName->text();
    QString folder, file;
    d.pickAssignmentFile = [&](const QString &f, const QString &n) {
        folder = f;
        file = n;
        return dir.file("missing/folder/Mine.ini");
    };
    d.Button2->click();
    EXPECT_EQ(folder, dir.path());
    EXPECT_EQ(file, "Assignments.ini");
    EXPECT_EQ(boxes.shown, QStringList{WriteProtected});
    EXPECT_EQ(d.EAssFileName->text(), before);

    d.pickAssignmentFile = [&](const QString &, const QString &) { return dir.file("Mine.ini"); };
    d.Button2->click();
    EXPECT_EQ(d.EAssFileName->text(), dir.file("Mine.ini"));

    // Typed by hand, the same rule holds on OK.
    boxes.shown.clear();
    d.EAssFileName->setText(dir.file("missing/Typed.ini"));
    d.BOK->click();
    EXPECT_EQ(boxes.shown, QStringList{WriteProtected});
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(form->Settings.AssFilename, dir.file("Assignments.ini"));

    d.BAssDefaultClick();
    EXPECT_EQ(d.EAssFileName->text(), TAssignmentSet::DefaultAssignmentFile(QString()));
}

TEST_F(SettingFormTest, EditorsAreReadOnShowingAndWrittenAtOnce)
{
    start();
    config().WriteString("Current", "ImgEditorPath", "/opt/paint/Paint.bin");
    config().WriteString("Current", "ImgEditorName", "My Paint");
    config().WriteString("Current", "ImgEditorActive", "1");
    int registered = 0;
    form->Hooks.registerShellExtension = [&registered] { ++registered; };
    TSettingForm &d = open();
    EXPECT_TRUE(d.CBActiveImg->isChecked());
    EXPECT_EQ(d.EImgEditor->text(), "/opt/paint/Paint.bin");
    EXPECT_EQ(d.EImgEditorName->text(), "My Paint"); // the stored name, not the derived one
    EXPECT_TRUE(d.EImgEditor->isEnabled());
    EXPECT_FALSE(d.CBActiveDrum->isChecked());
    EXPECT_FALSE(d.EDrumEditor->isEnabled());
    EXPECT_FALSE(d.BBrowseDrum->isEnabled());
    EXPECT_FALSE(d.EDrumEditorName->isEnabled());

    d.CBActiveDrum->click();
    EXPECT_TRUE(d.EDrumEditor->isEnabled());
    EXPECT_TRUE(d.BBrowseDrum->isEnabled());
    d.EDrumEditor->setText("/usr/local/bin/PSP.EXE");
    EXPECT_EQ(d.EDrumEditorName->text(), "PSP");
    d.BOK->click();
    EXPECT_EQ(stored("DrumEditorPath"), "/usr/local/bin/PSP.EXE");
    EXPECT_EQ(stored("DrumEditorName"), "PSP");
    EXPECT_EQ(stored("DrumEditorActive"), "1");
    EXPECT_EQ(stored("ImgEditorName"), "My Paint");
    EXPECT_EQ(registered, 1);
    EXPECT_TRUE(form->Settings.DrumEditorActive);
}

TEST(EditorName, CutBeforeTheFirstDotOfTheFileName)
{
    EXPECT_EQ(EditorNameOfPath("/opt/psp/PSP.EXE"), "PSP");
    EXPECT_EQ(EditorNameOfPath("C:\\Program Files\\Jasc\\PSP.EXE"), "PSP");
    EXPECT_EQ(EditorNameOfPath("/opt/my.tools/gimp-2.10"), "gimp-2");
    EXPECT_EQ(EditorNameOfPath("/usr/bin/audacity"), "audacity");
    EXPECT_EQ(EditorNameOfPath(""), "");
}

TEST_F(SettingFormTest, ProgramBrowseProposesNamesAndStartsInTheFieldsFolder)
{
    TSettingForm &d = open();
    QList<TEditorDialog> asked;
    QString answer;
    d.pickProgram = [&](const TEditorDialog &dialog) {
        asked << dialog;
        return answer;
    };
    d.EModPacker->clear();
    d.EReBirth->setText("/opt/rb/ReBirth.exe");
    d.BBrowseModPacker->click();
    d.Button1->click();
    d.CBActiveImg->click();
    d.BBrowseImg->click();
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(asked[0].title, "Select ModPacker path");
    EXPECT_EQ(asked[0].fileName, "ModPacker.exe");
    EXPECT_EQ(asked[0].directory, "");
    EXPECT_EQ(asked[1].title, "Select ReBirth path");
    EXPECT_EQ(asked[1].directory, "/opt/rb");
    EXPECT_EQ(asked[1].fileName, "ReBirth.exe");
    EXPECT_EQ(asked[2].title, "Select Image editor");
    EXPECT_EQ(asked[2].fileName, "");
    EXPECT_EQ(asked[0].filters, (QStringList{"Programs (*.exe)", "All files (*)"}));
    // Cancelled: the fields keep their text.
    EXPECT_EQ(d.EReBirth->text(), "/opt/rb/ReBirth.exe");

    answer = "/opt/psp/PSP.EXE";
    d.BBrowseImg->click();
    EXPECT_EQ(d.EImgEditor->text(), "/opt/psp/PSP.EXE");
    EXPECT_EQ(d.EImgEditorName->text(), "PSP");
    d.CBActiveDrum->click();
    d.BBrowseDrum->click();
    EXPECT_EQ(asked.last().title, "Select Drum sample editor");
    EXPECT_EQ(d.EDrumEditor->text(), "/opt/psp/PSP.EXE");
}

TEST_F(SettingFormTest, DefaultButtonsLookThePathsUp)
{
    TSettingForm &d = open();
    d.EModPacker->setText("/stale/ModPacker.exe");
    d.BDefaultModPacker->click();
    EXPECT_EQ(d.EModPacker->text(), ""); // nothing registered: emptied
    const QString rebirth = dir.createFile("ReBirth 2/ReBirth.exe", "MZ");
    {
        TRegistry reg(TRegRoot::ClassesRoot);
        ASSERT_TRUE(reg.OpenKey("\\.rbs", true));
        reg.WriteString("", "ReBirth.Song");
        ASSERT_TRUE(reg.OpenKey("\\ReBirth.Song\\shell\\open\\command", true));
        reg.WriteString("", "\"" + rebirth.toStdString() + "\" \"%1\"");
    }
    d.BDefaultReBirth->click();
    EXPECT_EQ(d.EReBirth->text(), rebirth);
}

TEST_F(SettingFormTest, WithoutAudioDeviceTheListIsDisabled)
{
    auto previous = SetWaveOutBackend(std::make_shared<TWaveOutRecorder>(std::vector<std::string>{}));
    TSettingForm &d = open();
    EXPECT_FALSE(d.CBWaveOut->isEnabled());
    EXPECT_EQ(d.CBWaveOut->count(), 0);
    form->Settings.AudioDevice = "Kept";
    d.BOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(form->Settings.AudioDevice, "Kept");
    SetWaveOutBackend(previous);
}

TEST_F(SettingFormTest, DeviceListHasTheDefaultFirstAndAppliesTheChoiceToThePlayer)
{
    auto previous =
        SetWaveOutBackend(std::make_shared<TWaveOutRecorder>(std::vector<std::string>{"Alpha", "Beta"}));
    FreeWavePlayer();
    TSettingForm &d = open();
    ASSERT_TRUE(d.CBWaveOut->isEnabled());
    ASSERT_EQ(d.CBWaveOut->count(), 3);
    EXPECT_EQ(d.CBWaveOut->itemData(0).toInt(), -1);
    EXPECT_EQ(d.CBWaveOut->itemText(1), "Alpha");
    EXPECT_EQ(d.CBWaveOut->itemData(1).toInt(), 0);
    EXPECT_EQ(d.CBWaveOut->itemText(2), "Beta");
    EXPECT_EQ(d.CBWaveOut->itemData(2).toInt(), 1);
    // The player's current device is the one marked.
    EXPECT_EQ(d.CBWaveOut->currentData().toInt(), GetWavePlayer().Output().DeviceId());
    d.CBWaveOut->setCurrentIndex(2);
    d.BOK->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(form->Settings.AudioDevice, "Beta");
    EXPECT_EQ(GetWavePlayer().Output().DeviceId(), 1);
    EXPECT_EQ(GetWaveDeviceName(), "Beta");

    // Opened again, the dialog marks Beta.
    TSettingForm &again = open();
    EXPECT_EQ(again.CBWaveOut->currentText(), "Beta");
    delete dialog;
    FreeWavePlayer();
    SetWaveOutBackend(previous);
}

TEST_F(SettingFormTest, ShowSettingsOpensThePageModallyAndFreesTheDialog)
{
    start();
    QStringList pages;
    QPointer<TSettingForm> seen;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *d = qobject_cast<TSettingForm *>(w); d && d->isVisible()) {
                EXPECT_TRUE(d->isModal());
                pages << d->PageControl->tabText(d->PageControl->currentIndex());
                seen = d;
                d->BCancel->click();
            }
    });
    timer.start();
    form->ShowSettings(1);
    QApplication::processEvents(); // the deferred delete
    form->Settings1->trigger();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(pages, (QStringList{"ReBirth paths", "General"}));
    EXPECT_TRUE(seen.isNull());
    EXPECT_TRUE(form->Settings1->isEnabled());
}

} // namespace
