// The user's output device and the player's errors, through the program's start-up.

#include "WorkflowFixture.h"

#include "audio/WavePlayer.h"
#include "platform/RegIniFile.h"
#include "platform/WaveOutRecorder.h"
#include "workbench/ComponentList.h"
#include "workbench/ComponentListModel.h"
#include "workbench/ModwrightForm.h"

#include <QDir>
#include <QTest>

namespace {

constexpr int BassDrum = 1;

void ClickDrumRow(TModwrightForm &f, const QString &caption)
{
    f.SetActiveTab(1);
    TComponentList *drums = f.LVAudioRes;
    for (int row = 0; row < drums->Model().rowCount(); ++row)
        if (drums->RowAt(row)->displayName() == caption) {
            const QModelIndex index = drums->Model().index(row, 0);
            drums->scrollTo(index);
            QTest::mouseClick(drums->viewport(), Qt::LeftButton, {}, drums->visualRect(index).center());
            return;
        }
    ADD_FAILURE() << "no row " << caption.toStdString();
}

class SoundDevice : public Workflow {
protected:
    // The bass drum assigned in the stored assignment file, loaded at start.
    void assignBassDrumAtStart()
    {
        const QString folder = makeComponentFolder();
        TRegIniFile config(TRegRoot::CurrentUser, ConfigKey);
        config.WriteString(TMainSettings::Section, "AssFilename", dir.file("Assignments.ini").toStdString());
        ASSERT_EQ(DrumName(BassDrum), "808 Bassdrum");
        const QString bass = folder + "/" + QString(DrumTable[BassDrum].fileName).section('.', 0, 0) + ".wav";
        dir.createFile("Assignments.ini",
                       ("[Assignments]\r\nAssignment1=Kit\r\n[Ass.Kit]\r\n808 Bassdrum=" + bass + "\r\n").toUtf8());
        config.WriteString(TMainSettings::Section, "LastAssignment", "Kit");
        config.WriteBool(TMainSettings::Section, "AutoLoad", true);
    }
};

TEST_F(SoundDevice, TheStoredDeviceIsUsedFromTheStartAndKeptAtClose)
{
    const QString sound = dir.createDir("sound2");
    const auto filePcm = [&sound](const QString &name, const QString &file, bool hint) {
        return FilePcm(name, sound + "/" + file, hint);
    };
    const QString conf = dir.createFile("sound2/asound.conf", (filePcm("!default", "default.raw", false) +
                                                               filePcm("mwsecond", "second.raw", true))
                                                                  .toUtf8());
    TEnvGuard alsa("ALSA_CONFIG_PATH", conf);
    configureReturningUser();
    assignBassDrumAtStart();
    TRegIniFile(TRegRoot::CurrentUser, ConfigKey).WriteString(TMainSettings::Section, "AudioDevice", "mwsecond");

    TModwrightForm &f = startProgram();
    dismissSplash();
    EXPECT_EQ(GetWaveDeviceName(), "mwsecond");
    ClickDrumRow(f, "808 Bassdrum");
    EXPECT_TRUE(WaitUntil([&] { return TTestDir::readAll(sound + "/second.raw").contains(DrumSamples(BassDrum)); }))
        << "the stored device did not play";
    EXPECT_FALSE(TTestDir::readAll(sound + "/default.raw").contains(DrumSamples(BassDrum)));

    f.close();
    EXPECT_TRUE(WaitUntil([&] { return !f.isVisible(); }));
    EXPECT_EQ(storedValue("AudioDevice"), "mwsecond");
}

TEST_F(SoundDevice, ADeviceThatFailsWhilePlayingShowsOneErrorBoxAndTheNextClickTriesAgain)
{
    auto card = std::make_shared<TWaveOutRecorder>(std::vector<std::string>{"Card"});
    card->setSpeed(1);
    card->failAfter(4000, MMSYSERR_NODRIVER);
    // A sound card that fails as an unplugged one does; given back however the test ends.
    struct TBackendGuard {
        std::shared_ptr<TWaveOutBackend> previous;
        ~TBackendGuard()
        {
            FreeWavePlayer();
            SetWaveOutBackend(previous);
        }
    } guard{SetWaveOutBackend(card)};
    configureReturningUser();
    assignBassDrumAtStart();
    TModwrightForm &f = startProgram();
    dismissSplash();
    ASSERT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join('\n').toStdString();

    ClickDrumRow(f, "808 Bassdrum");
    EXPECT_TRUE(WaitUntil([&] { return !boxes.shown.isEmpty(); })) << "the failure was not reported";
    QTest::qWait(300);
    ASSERT_EQ(boxes.shown.size(), 1) << boxes.shown.join('\n').toStdString();
    EXPECT_TRUE(boxes.shown[0].startsWith("error: "));

    const int opens = card->opens();
    ClickDrumRow(f, "808 Bassdrum");
    EXPECT_TRUE(WaitUntil([&] { return card->opens() > opens; }));
    form.reset();
}

} // namespace
