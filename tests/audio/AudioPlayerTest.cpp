// The wave player end to end over the recording stand-in: what reaches the device, one
// sound at a time, the global routines, clicks faster than the device, and files that
// change while they play.

#include "AudioTestSupport.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class PlayerTest : public ::testing::Test {
protected:
    PlayerTest() : scope({"Card one", "Card two"}) {}

    // The recording as stereo frames, checked against Drum (mono or stereo interleaved):
    // exactly its frames first, then only silence.
    void expectRecordingIs(const std::vector<int16_t> &drum, int channels)
    {
        const std::vector<int16_t> got = AsPcm16(scope.recorder->recorded());
        const size_t frames = drum.size() / size_t(channels);
        ASSERT_GE(got.size(), frames * 2);
        for (size_t i = 0; i < frames; ++i) {
            const int16_t left = drum[i * size_t(channels)];
            const int16_t right = drum[i * size_t(channels) + size_t(channels - 1)];
            ASSERT_EQ(got[2 * i], left) << "frame " << i;
            ASSERT_EQ(got[2 * i + 1], right) << "frame " << i;
        }
        for (size_t i = frames * 2; i < got.size(); ++i)
            ASSERT_EQ(got[i], 0) << "sample " << i;
    }

    TRecorderScope scope;
    TTestDir dir;
};

TEST_F(PlayerTest, WithoutDevicesThereIsNoPlayerUntilOneAppears)
{
    scope.recorder->setDevices({});
    try {
        GetWavePlayer();
        FAIL() << "a player without devices";
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "No wave devices present.");
    }
    EXPECT_FALSE(WavePlayerAvailable());
    EXPECT_EQ(GetWaveDeviceName(), "");
    EXPECT_NO_THROW(PlayWave(dir.createFile("d.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(100), false)))));
    scope.recorder->setDevices({"Card one"});
    EXPECT_TRUE(WavePlayerAvailable());
    TWaveOutput &output = GetWavePlayer().Output();
    EXPECT_EQ(output.DeviceId(), -1);
    EXPECT_EQ(output.BufferBytes(), 70560u); // 400 ms of 16-bit stereo at 44100 Hz
    EXPECT_EQ(GetWaveDeviceName(), "default");
}

TEST_F(PlayerTest, TheHandlerAndTheDeviceAskedForWithoutAPlayerServeThePlayerMadeLater)
{
    // Start-up on a machine whose sound card is plugged in later.
    scope.recorder->setDevices({});
    std::vector<std::string> errors;
    SetWaveErrorHandler([&](TWaveOutput *, const std::string &m) { errors.push_back(m); });
    SelectWaveDevice("card TWO");
    EXPECT_FALSE(WavePlayerAvailable());
    scope.recorder->setDevices({"Card one", "Card two"});
    ASSERT_TRUE(WavePlayerAvailable());
    EXPECT_EQ(GetWaveDeviceName(), "Card two");
    scope.recorder->failOpen(MMSYSERR_ALLOCATED);
    PlayWave(dir.createFile("d.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(100), false))));
    ASSERT_TRUE(WaitUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors, (std::vector<std::string>{"Cannot open the device Card two."}));

    // Made afresh (a program run of its own), the player forgets them.
    FreeWavePlayer();
    scope.recorder->heal();
    ASSERT_TRUE(WavePlayerAvailable());
    EXPECT_EQ(GetWaveDeviceName(), "default");
    EXPECT_FALSE(GetWavePlayer().Output().OnError);
}

TEST_F(PlayerTest, PlaysAMonoDrumAsExactStereoSamplesAndReleasesTheDevice)
{
    scope.recorder->setSpeed(2); // a buffer lasts 200 ms: ample time to refill even on a loaded machine
    const std::vector<int16_t> drum = RampDrum(30000); // spans two buffers
    PlayToEnd(dir.createFile("kick.wav", WavImage(1, 16, 44100, Pcm16(drum, false))));
    expectRecordingIs(drum, 1);
    EXPECT_EQ(scope.recorder->lastFormat().nChannels, 2);
    EXPECT_EQ(scope.recorder->lastFormat().wBitsPerSample, 16);
    EXPECT_EQ(scope.recorder->lastFormat().nSamplesPerSec, 44100u);
    EXPECT_EQ(scope.recorder->opens(), 1);
    EXPECT_EQ(scope.recorder->closes(), 1);
    EXPECT_EQ(GetWavePlayer().Mixer().VoiceCount(), 0);
}

TEST_F(PlayerTest, PlaysAStereoAiffExactly)
{
    scope.recorder->setSpeed(2); // a buffer lasts 200 ms: ample time to refill even on a loaded machine
    std::vector<int16_t> drum = RampDrum(2 * 20000);
    drum[1] = -32768;
    PlayToEnd(dir.createFile("snare.aif", AiffImage(2, 16, 44100, Pcm16(drum, true))));
    expectRecordingIs(drum, 2);
}

TEST_F(PlayerTest, ANewSoundCutsThePreviousOne)
{
    scope.recorder->setSpeed(1);
    const std::vector<int16_t> longDrum(44100 * 3, 1000);
    const std::vector<int16_t> shortDrum = RampDrum(5000);
    const QString first = dir.createFile("long.wav", WavImage(1, 16, 44100, Pcm16(longDrum, false)));
    const QString second = dir.createFile("short.wav", WavImage(1, 16, 44100, Pcm16(shortDrum, false)));
    PlayWave(first);
    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->recordedSize() > 20000; }));
    int stopped = 0;
    GetWavePlayer().Output().OnStopped = [&](TWaveOutput *) { ++stopped; };
    PlayWave(second);
    EXPECT_EQ(GetWavePlayer().Mixer().VoiceCount(), 1);
    ASSERT_TRUE(WaitUntil([&] { return stopped == 2; }, 20000)); // the cut and the idle close

    const std::vector<int16_t> got = AsPcm16(scope.recorder->recorded());
    size_t cut = 0;
    while (cut < got.size() && got[cut] == 1000)
        ++cut;
    ASSERT_GT(cut, 0u);
    ASSERT_EQ(cut % 2, 0u); // whole frames of the first sound
    ASSERT_GE(got.size(), cut + shortDrum.size() * 2);
    for (size_t i = 0; i < shortDrum.size(); ++i) {
        ASSERT_EQ(got[cut + 2 * i], shortDrum[i]) << i;
        ASSERT_EQ(got[cut + 2 * i + 1], shortDrum[i]) << i;
    }
    for (size_t i = cut + shortDrum.size() * 2; i < got.size(); ++i)
        ASSERT_EQ(got[i], 0) << i;
    EXPECT_EQ(scope.recorder->opens(), 2);
}

TEST_F(PlayerTest, FilesThatCannotPlayGiveTheirMessageAndLeaveTheDeviceClosed)
{
    scope.recorder->setSpeed(1);
    const QString playing =
        dir.createFile("long.wav", WavImage(1, 16, 44100, Pcm16(std::vector<int16_t>(88200, 5), false)));
    const QString slow = dir.createFile("slow.wav", WavImage(1, 16, 22050, Pcm16(RampDrum(100), false)));
    PlayWave(playing);
    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->recordedSize() > 0; }));
    try {
        PlayWave(slow);
        FAIL() << "a 22050 Hz sample played";
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "slow.wav is not 44,1 KHz.");
    }
    TAudioPlayer &player = GetWavePlayer();
    EXPECT_TRUE(player.Output().IsClosed()); // the previous sound has already been stopped
    EXPECT_EQ(player.Mixer().VoiceCount(), 0);

    // The extension chooses the voice: only .wav, in any case, is read as WAV.
    const QByteArray wav = WavImage(1, 16, 44100, Pcm16(RampDrum(100), false));
    const QByteArray aiff = AiffImage(1, 16, 44100, Pcm16(RampDrum(100), true));
    EXPECT_NO_THROW(PlayWave(dir.createFile("UPPER.WAV", wav)));
    for (const char *name : {"a.aif", "a.aiff", "a.aifc", "a.afc", "noext"})
        EXPECT_NO_THROW(PlayWave(dir.createFile(name, aiff))) << name;
    EXPECT_THROW(PlayWave(dir.createFile("wave.aif", wav)), EModwright);
    try {
        PlayWave(dir.createFile("aiff.wav", aiff));
        FAIL();
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()), dir.file("aiff.wav").toStdString() +
                                             " is not a valid Wavefile (RIFF/WAVE chunk not found)");
    }
    EXPECT_TRUE(player.Output().IsClosed());
    PlayWave(""); // nothing at all
    EXPECT_EQ(player.Mixer().VoiceCount(), 0);
}

TEST_F(PlayerTest, GlobalRoutinesSelectDevicesAndHandleErrors)
{
    EXPECT_EQ(GetWaveDeviceName(), "default");
    SelectWaveDevice("CARD TWO");
    EXPECT_EQ(GetWaveDeviceName(), "Card two");
    SelectWaveDevice("Card three"); // gone: the current device stays, nothing is reported
    EXPECT_EQ(GetWaveDeviceName(), "Card two");
    SelectWaveDevice("");
    EXPECT_EQ(GetWaveDeviceName(), "Card two");

    std::vector<std::string> errors;
    SetWaveErrorHandler([&](TWaveOutput *, const std::string &m) { errors.push_back(m); });
    scope.recorder->failOpen(MMSYSERR_ALLOCATED);
    PlayWave(dir.createFile("d.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(100), false))));
    ASSERT_TRUE(WaitUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(errors[0], "Cannot open the device Card two.");
}

TEST_F(PlayerTest, AThousandStartsInARowNeitherDeadlockNorLeaveTheDeviceOpen)
{
    scope.recorder->setSpeed(20);
    const QString a = dir.createFile("a.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(20000), false)));
    const QString b = dir.createFile("b.aif", AiffImage(1, 16, 44100, Pcm16(RampDrum(3000), true)));
    TAudioPlayer &player = GetWavePlayer();
    for (int i = 0; i < 1000; ++i) {
        PlayWave(i % 2 ? b : a);
        ASSERT_EQ(player.Mixer().VoiceCount(), 1);
        if (i % 50 == 0)
            Spin(5); // now and then the device opens before the next click
    }
    ASSERT_TRUE(
        WaitUntil([&] { return player.Output().IsClosed() && player.Mixer().VoiceCount() == 0; }, 20000));
    Spin(100);
    EXPECT_TRUE(player.Output().IsClosed());
    EXPECT_GE(scope.recorder->opens(), 1);
    EXPECT_LT(scope.recorder->opens(), 1000); // clicks faster than the device skip the open
    EXPECT_EQ(scope.recorder->opens(), scope.recorder->closes());

    // Clicks that each open the device while the previous sound still plays.
    const int opened = scope.recorder->opens();
    for (int i = 0; i < 100; ++i) {
        PlayWave(i % 2 ? a : b);
        ASSERT_TRUE(WaitUntil([&] { return scope.recorder->opens() == opened + i + 1; }));
    }
    ASSERT_TRUE(WaitUntil([&] { return player.Output().IsClosed(); }, 20000));
    EXPECT_EQ(scope.recorder->opens(), scope.recorder->closes());
}

TEST_F(PlayerTest, ASampleThatShrinksOrVanishesWhilePlayingEndsCleanly)
{
    scope.recorder->setSpeed(2);
    const std::vector<int16_t> drum = RampDrum(44100 * 2);
    const QString shrinking = dir.createFile("shrink.wav", WavImage(1, 16, 44100, Pcm16(drum, false)));
    int stopped = 0;
    GetWavePlayer().Output().OnStopped = [&](TWaveOutput *) { ++stopped; };
    PlayWave(shrinking);
    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->recordedSize() > 0; }));
    // The first two buffers (2 x 17640 frames) have been read by now; the third read meets
    // the new end.
    ASSERT_TRUE(QFile::resize(shrinking, 44 + 2 * 40000));
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }, 20000));
    std::vector<int16_t> head(drum.begin(), drum.begin() + 40000);
    expectRecordingIs(head, 1);

    scope.recorder->clear();
    const QString vanishing = dir.createFile("vanish.wav", WavImage(1, 16, 44100, Pcm16(drum, false)));
    PlayWave(vanishing);
    ASSERT_TRUE(QFile::remove(vanishing));
    ASSERT_TRUE(WaitUntil([&] { return stopped == 2; }, 20000));
    expectRecordingIs(drum, 1); // an open file plays to its end
}

} // namespace
