// "Start with the demo mod" in the welcome window and in the New dialog, on a
// first run without ModPacker or ReBirth: the demo is made in the user's data
// folder, becomes the current assignment and shows in Glance.

#include "FormFixture.h"
#include "audio/AudioTestSupport.h"
#include "audio/WavePlayer.h"
#include "controls/SystemListView.h"
#include "demo/DemoDrums.h"
#include "demo/DemoMod.h"
#include "preview/GlanceForm.h"
#include "support/EnvGuard.h"
#include "workbench/ErrForm.h"
#include "workbench/ModText.h"
#include "workbench/NewAssForm.h"
#include "workbench/WizardForm.h"

#include <QComboBox>
#include <QDir>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// A left click as the window system delivers it: press and release at the centre.
void Click(QWidget *w)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    const QPointF global = w->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

class DemoStartTest : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        // The program's data folder holds no complete demo, so it is made on first
        // use in the user's data folder.
        const QString data = dir.createDir("share");
        dir.createFile("share/demo/Assignments.ini", "[Assignments]\r\n");
        dataDir = std::make_unique<TEnvGuard>("MODWRIGHT_DATA_DIR", data);
        xdgData = std::make_unique<TEnvGuard>("XDG_DATA_HOME", dir.createDir("xdg"));
        userDemo = dir.file("xdg/modwright/demo");
    }
    void TearDown() override
    {
        FormFixture::TearDown();
        xdgData.reset();
        dataDir.reset();
    }

    void expectDemoLoaded(TModwrightForm &f)
    {
        EXPECT_EQ(f.Set().name, "Demo");
        EXPECT_FALSE(f.Set().modified);
        EXPECT_EQ(f.windowTitle(), QString(ProgramTitle) + " - Demo");
        EXPECT_EQ(f.Set().texts, DemoTexts());
        for (TComponentList *list : {f.LVBMPRes, f.LVAudioRes})
            for (int i = 0; i < list->Model().rowCount(); ++i) {
                const TAssignmentData *row = list->RowAt(i);
                EXPECT_EQ(row->assignedPath(), userDemo + "/" + DemoFileName(row->liveIndex()))
                    << row->displayName().toStdString();
            }
        // Measured as any assigned file: the drum list knows its format.
        const TAssignmentData *kick = FindRow(f.LVAudioRes, "808 Bassdrum");
        EXPECT_EQ(kick->info[1], 44100);
        EXPECT_TRUE(f.ErrForm().isHidden());
    }

    std::unique_ptr<TEnvGuard> dataDir, xdgData;
    QString userDemo;
};

TEST_F(DemoStartTest, WelcomeWindowStartsWithTheDemoWithoutModPackerOrReBirth)
{
    setValue("ModPackerPath", dir.file("nowhere/ModPacker.exe"));
    setValue("ReBirthPath", dir.file("nowhere/ReBirth.exe"));
    TModwrightForm &f = start();
    ASSERT_TRUE(f.Settings.ModPackerPath.isEmpty() || !QFileInfo::exists(f.Settings.ModPackerPath));
    TWizardForm *wizard = TWizardForm::ShowWizard(f);
    QPointer<TWizardForm> alive(wizard);
    ASSERT_TRUE(wizard->BDemo->isVisible());
    EXPECT_EQ(wizard->BDemo->text(), "Start with the demo mod");
    Click(wizard->BDemo);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()); // the wizard closed itself
    EXPECT_TRUE(DemoComplete(userDemo));
    expectDemoLoaded(f);

    // Glance shows the mod, not its splash.
    f.Glance1->trigger();
    ASSERT_FALSE(f.Glance.isNull());
    ASSERT_TRUE(WaitFor([&] { return f.Glance->ElementsCreated(); }));
    EXPECT_FALSE(f.Glance->SplashMode());

    // Its first 808 step plays the demo's bass drum, sample for sample on both channels.
    {
        TRecorderScope sound;
        f.Glance->FormMouseDown(Qt::LeftButton, {106, 370});
        ASSERT_TRUE(WaitFor([&] { return sound.recorder->recordedSize() >= 4 * 2000; }));
        const std::vector<int16_t> got = AsPcm16(sound.recorder->recorded());
        GetWavePlayer().StopPlaying(true);
        const std::vector<int16_t> kick = SynthesiseDemoDrum(1);
        size_t same = 0;
        for (size_t i = 0; i < 2000; ++i)
            same += got[2 * i] == kick[i] && got[2 * i + 1] == kick[i];
        EXPECT_EQ(same, 2000u);
    }

    // And exported as a ModPacker folder with its own texts, still without ModPacker.
    const QString target = dir.createDir("export");
    f.SLVImage->SetDirectory(target);
    QString shownName;
    auto *timer = new QTimer(&f);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        if (auto *d = qobject_cast<TModText *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            shownName = d->CBModName->currentText();
            Click(d->BOK);
        }
    });
    timer->start();
    f.ExportMod1->trigger();
    EXPECT_EQ(shownName, DemoTexts().ModName);
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), LiveEntryCount + 4); // no song file
    EXPECT_EQ(TTestDir::readAll(target + "/ModName.txt"), DemoTexts().ModName.toUtf8() + "\r\n");
    EXPECT_TRUE(QFileInfo(target + "/TR909RCY.aif").isFile());
    EXPECT_TRUE(QFileInfo(target + "/splash.jpg").isFile());
}

TEST_F(DemoStartTest, NewDialogOffersTheDemoAndAsksToSaveFirst)
{
    TModwrightForm &f = start();
    f.Set().AssignFile(*FindRow(f.LVBMPRes, "LED digits"), MakeBmp(dir, "led.bmp", 109, 16));
    ASSERT_TRUE(f.Set().modified);

    // Cancel at the save question: nothing changes.
    boxes.answers = {maCancel};
    f.New1->trigger();
    EXPECT_EQ(FindRow(f.LVBMPRes, "LED digits")->assignedPath(), dir.file("led.bmp"));

    // Don't save, then choose the demo in the dialog with the mouse.
    boxes.answers = {maNo};
    bool offered = false;
    auto *timer = new QTimer(&f);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
        if (auto *d = qobject_cast<TNewAssForm *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            offered = d->RBDemo->isVisible() && !d->RBDemo->isChecked();
            Click(d->RBDemo);
            Click(d->BOK);
        }
    });
    timer->start();
    f.BNew->trigger();
    EXPECT_TRUE(offered);
    expectDemoLoaded(f);
}

} // namespace
