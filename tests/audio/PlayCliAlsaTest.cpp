// modwright-cli play and devices through ALSA's own routing: a configuration of the test's
// own sends the default device and a listed one through ALSA's "file" plugin (over its
// "null" plugin) into files, so the samples that reach ALSA can be compared exactly.

#include "AudioTestSupport.h"
#include "support/AlsaCapture.h"
#include "support/TestDir.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

namespace {

class PlayCli : public ::testing::Test {
protected:
    PlayCli() { EnsureApp(); }

    QString filePcm(const QString &name, const QString &file, bool hint)
    {
        return FilePcm(name, dir.file(file), hint);
    }
    void useStandardConfig()
    {
        config = dir.createFile(
            "alsa.conf",
            (filePcm("!default", "default.raw", false) + filePcm("mwrecorder", "rec.raw", true)).toUtf8());
    }

    struct TResult {
        int exitCode = -1;
        QString out, err;
    };
    TResult run(const QStringList &args)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ALSA_CONFIG_PATH", config);
        p.setProcessEnvironment(env);
        p.start(MODWRIGHT_BIN_DIR "/modwright-cli", args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // The file holds exactly the expected stereo samples, then only silence.
    void expectRaw(const QString &file, const std::vector<int16_t> &stereo)
    {
        const QByteArray raw = TTestDir::readAll(dir.file(file));
        std::vector<uint8_t> bytes(raw.begin(), raw.end());
        const std::vector<int16_t> got = AsPcm16(bytes);
        ASSERT_GE(got.size(), stereo.size()) << file.toStdString();
        const auto [wrong, _] = std::mismatch(stereo.begin(), stereo.end(), got.begin());
        EXPECT_EQ(wrong, stereo.end())
            << file.toStdString() << ": sample " << (wrong - stereo.begin()) << " of " << got.size();
        const auto loud = std::find_if(got.begin() + std::ptrdiff_t(stereo.size()), got.end(),
                                       [](int16_t v) { return v != 0; });
        EXPECT_EQ(loud, got.end()) << file.toStdString() << ": sample " << (loud - got.begin()) << " of "
                                   << got.size() << " after the sound";
    }

    TTestDir dir;
    QString config;
};

TEST_F(PlayCli, PlaysAWavAndAnAiffAsExactSixteenBitStereo)
{
    useStandardConfig();
    const std::vector<int16_t> drum = RampDrum(22050);
    const QString wav = dir.createFile("kick.wav", WavImage(1, 16, 44100, Pcm16(drum, false)));
    TResult r = run({"play", wav});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    std::vector<int16_t> stereo;
    for (int16_t v : drum)
        stereo.insert(stereo.end(), {v, v});
    expectRaw("default.raw", stereo);

    // 8-bit stereo AIFF on the named device: each signed byte becomes its value x 256.
    QByteArray bytes;
    std::vector<int16_t> expected;
    for (int i = 0; i < 2 * 9000; ++i) {
        const int8_t v = int8_t(i * 5);
        bytes.append(char(v));
        expected.push_back(int16_t(v * 256));
    }
    const QString aiff = dir.createFile("hat.aif", AiffImage(2, 8, 44100, bytes));
    r = run({"play", aiff, "--device", "MWRecorder"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    expectRaw("rec.raw", expected);
}

TEST_F(PlayCli, ListsTheDevicesTheDefaultFirst)
{
    useStandardConfig();
    const TResult r = run({"devices"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "{\"id\": -1, \"name\": \"default\"}\n{\"id\": 0, \"name\": \"mwrecorder\"}\n");
}

TEST_F(PlayCli, AConfigurationWithOnlyADefaultListsItOnceAndPlaysThroughIt)
{
    config = dir.createFile("only-default.conf", filePcm("!default", "default.raw", false).toUtf8());
    TResult r = run({"devices"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "{\"id\": -1, \"name\": \"default\"}\n");

    // A 350 ms drum, whole to its last sample.
    const std::vector<int16_t> drum = RampDrum(15435);
    r = run({"play", dir.createFile("kick.wav", WavImage(1, 16, 44100, Pcm16(drum, false)))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");
    std::vector<int16_t> stereo;
    for (int16_t v : drum)
        stereo.insert(stereo.end(), {v, v});
    expectRaw("default.raw", stereo);
}

TEST_F(PlayCli, ABrokenDefaultLeavesTheFirstDeviceThatOpens)
{
    config = dir.createFile("broken-default.conf",
                            ("pcm.!default { type hw card 29 }\n"
                             "pcm.nocard { type hw card 28\n hint { show on description \"Gone\" } }\n" +
                             filePcm("mwrecorder", "rec.raw", true))
                                .toUtf8());
    TResult r = run({"devices"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "{\"id\": -1, \"name\": \"mwrecorder\"}\n");
    const std::vector<int16_t> drum = RampDrum(3000);
    r = run({"play", dir.createFile("hat.wav", WavImage(1, 16, 44100, Pcm16(drum, false)))});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    std::vector<int16_t> stereo;
    for (int16_t v : drum)
        stereo.insert(stereo.end(), {v, v});
    expectRaw("rec.raw", stereo);
}

TEST_F(PlayCli, FailuresGiveTheSystemsMessageAndExitCodeOne)
{
    useStandardConfig();
    const QString slow = dir.createFile("slow.wav", WavImage(1, 16, 22050, Pcm16(RampDrum(10), false)));
    TResult r = run({"play", slow});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "slow.wav is not 44,1 KHz.\n");
    r = run({"play", dir.createFile("bad.aif", QByteArray(300, 'x'))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Corrupt AIFF file.\n");
    r = run({"play", slow, "--device", "nowhere"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Device nowhere does not exist.\n");
    r = run({"play"});
    EXPECT_EQ(r.exitCode, 2);

    // Only the discard sink and entries that cannot open.
    config = dir.createFile("none.conf", "pcm.null { type null\n hint { show on } }\n"
                                         "pcm.!default { type hw card 29 }\n"
                                         "pcm.nocard { type hw card 28\n hint { show on } }\n");
    r = run({"play", slow});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "No wave devices present.\n");
    r = run({"devices"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "No wave devices present.\n");
}

} // namespace
