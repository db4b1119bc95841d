// The wave player on ALSA itself, with configurations of the test's own: whether the
// program can play ("WavePlayerAvailable"), on which device, and what reaches ALSA. ALSA's
// "file" plugin over its "null" plugin stands in for sound cards.

#include "AudioTestSupport.h"
#include "support/AlsaCapture.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

class AlsaPlayer : public ::testing::Test {
protected:
    AlsaPlayer()
    {
        EnsureApp();
        FreeWavePlayer();
        previousBackend_ = SetWaveOutBackend(nullptr); // ALSA
    }
    ~AlsaPlayer() override
    {
        FreeWavePlayer();
        SetWaveOutBackend(previousBackend_);
    }

    QString filePcm(const QString &name, const QString &file, bool hint)
    {
        return FilePcm(name, dir.file(file), hint);
    }
    void useConfig(const QString &text)
    {
        FreeWavePlayer();
        setenv("ALSA_CONFIG_PATH", dir.createFile("alsa.conf", text.toUtf8()).toUtf8().constData(), 1);
    }
    // Plays a ramp drum of Frames through the global player, waits until the device has
    // closed itself and returns the drum as the stereo samples ALSA should have been given.
    std::vector<int16_t> playDrum(int frames)
    {
        const std::vector<int16_t> drum = RampDrum(frames);
        int stopped = 0;
        GetWavePlayer().Output().OnStopped = [&](TWaveOutput *) { ++stopped; };
        PlayWave(dir.createFile("drum.wav", WavImage(1, 16, 44100, Pcm16(drum, false))));
        EXPECT_TRUE(WaitUntil([&] { return stopped == 1; }, 20000));
        GetWavePlayer().Output().OnStopped = nullptr;
        std::vector<int16_t> stereo;
        for (int16_t v : drum)
            stereo.insert(stereo.end(), {v, v});
        return stereo;
    }
    // File holds exactly Stereo, then only silence.
    void expectCaptured(const QString &file, const std::vector<int16_t> &stereo)
    {
        const QByteArray raw = TTestDir::readAll(dir.file(file));
        const std::vector<int16_t> got = AsPcm16(std::vector<uint8_t>(raw.begin(), raw.end()));
        ASSERT_GE(got.size(), stereo.size()) << file.toStdString();
        EXPECT_TRUE(std::equal(stereo.begin(), stereo.end(), got.begin())) << file.toStdString();
        EXPECT_TRUE(std::all_of(got.begin() + std::ptrdiff_t(stereo.size()), got.end(), [](int16_t v) {
            return v == 0;
        })) << file.toStdString();
    }

    TTestDir dir;

private:
    std::shared_ptr<TWaveOutBackend> previousBackend_;
    TEnvGuard alsaConfig_{"ALSA_CONFIG_PATH"};
};

TEST_F(AlsaPlayer, WithoutAnyDeviceThatOpensThereIsNoPlayerAndPlaysDoNothing)
{
    useConfig("pcm.!default { type hw card 29 }\n"
              "pcm.nocard { type hw card 28\n hint { show on description \"Gone\" } }\n");
    EXPECT_FALSE(WavePlayerAvailable());
    EXPECT_FALSE(WavePlayerAvailable()); // asked again: still no, and no crash
    EXPECT_EQ(GetWaveDeviceName(), "");
    const QString drum = dir.createFile("drum.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(100), false)));
    EXPECT_NO_THROW(PlayWave(drum));
    EXPECT_NO_THROW(SelectWaveDevice("nocard"));
    EXPECT_NO_THROW(SetWaveErrorHandler([](TWaveOutput *, const std::string &) {}));
    EXPECT_THROW(GetWavePlayer(), EModwright);
}

TEST_F(AlsaPlayer, AConfigurationWithOnlyADefaultPlaysThroughIt)
{
    useConfig(filePcm("!default", "default.raw", false));
    ASSERT_TRUE(WavePlayerAvailable());
    EXPECT_EQ(GetWaveDeviceName(), "default");
    expectCaptured("default.raw", playDrum(15435)); // 350 ms
}

TEST_F(AlsaPlayer, ABrokenDefaultDoesNotDisableANamedDeviceThatWorks)
{
    useConfig("pcm.!default { type hw card 29 }\n"
              "pcm.nocard { type hw card 28\n hint { show on description \"Gone\" } }\n" +
              filePcm("first", "first.raw", true) + filePcm("second", "second.raw", true));
    ASSERT_TRUE(WavePlayerAvailable());
    // No stored device: the first that opens.
    EXPECT_EQ(GetWaveDeviceName(), "first");
    expectCaptured("first.raw", playDrum(3000));
    // The stored device, chosen by name.
    SelectWaveDevice("SECOND");
    EXPECT_EQ(GetWaveDeviceName(), "second");
    expectCaptured("second.raw", playDrum(34398)); // 780 ms
    // A stored device that does not open any more leaves the current one.
    SelectWaveDevice("nocard");
    EXPECT_EQ(GetWaveDeviceName(), "second");
}

TEST_F(AlsaPlayer, ADeviceThatFailsWhilePlayingReachesTheErrorHandlerOnceAndTheNextPlayWorks)
{
    // The device opened when the player was made; by the time of the play its file cannot
    // be written any more, which ALSA's file plugin finds at its first write.
    const QString folder = dir.file("gone");
    ASSERT_TRUE(QDir().mkpath(folder));
    useConfig("pcm.!default {\n type file\n slave.pcm { type null }\n file \"" + folder +
              "/out.raw\"\n format \"raw\"\n}\n");
    ASSERT_TRUE(WavePlayerAvailable());
    std::vector<std::string> errors;
    SetWaveErrorHandler([&](TWaveOutput *, const std::string &m) { errors.push_back(m); });
    ASSERT_TRUE(QDir(folder).removeRecursively());
    PlayWave(dir.createFile("drum.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(1000), false))));
    ASSERT_TRUE(WaitUntil([&] { return !errors.empty(); }));
    Spin(100);
    EXPECT_EQ(errors, (std::vector<std::string>{"The sound device reported an unspecified error."}));
    EXPECT_TRUE(GetWavePlayer().Output().IsClosed());

    // Back again: the next play tries afresh and plays.
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::vector<int16_t> stereo = playDrum(2000);
    const QByteArray raw = TTestDir::readAll(folder + "/out.raw");
    EXPECT_GE(size_t(raw.size()), stereo.size() * 2);
    EXPECT_EQ(errors.size(), 1u);
}

TEST_F(AlsaPlayer, AThousandPlaysInARowNeitherDeadlockNorSpoilTheNextSound)
{
    useConfig(filePcm("!default", "default.raw", false));
    const QString a = dir.createFile("a.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(20000), false)));
    const QString b = dir.createFile("b.wav", WavImage(1, 16, 44100, Pcm16(RampDrum(3000), false)));
    for (int i = 0; i < 1000; ++i) {
        PlayWave(i % 2 ? b : a);
        if (i % 50 == 0)
            Spin(5); // now and then the device opens before the next click
    }
    TAudioPlayer &player = GetWavePlayer();
    ASSERT_TRUE(
        WaitUntil([&] { return player.Output().IsClosed() && player.Mixer().VoiceCount() == 0; }, 20000));
    Spin(50); // the notifications of the last close
    QFile::remove(dir.file("default.raw"));
    expectCaptured("default.raw", playDrum(5000));
}

} // namespace
