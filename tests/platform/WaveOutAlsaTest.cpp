// The wave-out layer on ALSA itself, with a configuration of the test's own: ALSA's "file"
// plugin over its "null" plugin stands in for sound cards, so the samples that reach ALSA
// land in files and nothing needs real hardware.

#include "platform/WaveOut.h"
#include "platform/WaveOutBackend.h"
#include "support/AlsaCapture.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

using namespace std::chrono_literals;

const char *longName = "modwright_recorder_with_a_rather_long_name";

class WaveOutAlsa : public ::testing::Test {
protected:
    void SetUp() override { previousBackend_ = SetWaveOutBackend(nullptr); } // ALSA
    void TearDown() override { SetWaveOutBackend(previousBackend_); }

    // A file-writing pcm named Name; with a hint it is listed as a playback device.
    QString filePcm(const QString &name, const QString &file, bool hint)
    {
        return FilePcm(name, dir.file(file), hint);
    }
    void useConfig(const QString &text)
    {
        setenv("ALSA_CONFIG_PATH", dir.createFile("alsa.conf", text.toUtf8()).toUtf8().constData(), 1);
    }
    void useStandardConfig()
    {
        useConfig(filePcm("!default", "default.raw", false) + filePcm("mwrecorder", "rec.raw", true) +
                  filePcm(longName, "long.raw", true) +
                  "pcm.null { type null\n hint { show on description \"Discard all samples\" } }\n");
    }

    TTestDir dir;

private:
    std::shared_ptr<TWaveOutBackend> previousBackend_;
    TEnvGuard alsaConfig_{"ALSA_CONFIG_PATH"};
};

struct TDoneCounter {
    std::atomic<int> done{0};
    static void Proc(HWAVEOUT, uint32_t msg, uintptr_t instance, uintptr_t, uintptr_t)
    {
        if (msg == WOM_DONE)
            ++reinterpret_cast<TDoneCounter *>(instance)->done;
    }
};

// 16-bit stereo at 44100 Hz, what the player sends.
WAVEFORMATEX CdFormat()
{
    WAVEFORMATEX f;
    f.nChannels = 2;
    f.wBitsPerSample = 16;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 4 * 44100;
    return f;
}

// Plays Buffers x Frames frames of 16-bit stereo counting samples on device Id, closes the
// device and returns the bytes played.
QByteArray PlayCountingSamples(uint32_t id, int buffers, int frames)
{
    const WAVEFORMATEX f = CdFormat();
    TDoneCounter counter;
    HWAVEOUT h = nullptr;
    EXPECT_EQ(waveOutOpen(&h, id, &f, reinterpret_cast<uintptr_t>(&TDoneCounter::Proc),
                          reinterpret_cast<uintptr_t>(&counter), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    if (!h)
        return {};
    QByteArray all;
    std::vector<QByteArray> data;
    std::vector<WAVEHDR> headers(static_cast<size_t>(buffers));
    for (int b = 0; b < buffers; ++b) {
        QByteArray bytes;
        for (int i = 0; i < frames * 2; ++i) {
            const int16_t v = int16_t(b * 1000 + i);
            bytes.append(char(v & 0xFF)).append(char(v >> 8));
        }
        all += bytes;
        data.push_back(bytes);
    }
    for (int b = 0; b < buffers; ++b) {
        headers[size_t(b)].lpData = data[size_t(b)].data();
        headers[size_t(b)].dwBufferLength = uint32_t(data[size_t(b)].size());
        waveOutPrepareHeader(h, &headers[size_t(b)], sizeof(WAVEHDR));
        EXPECT_EQ(waveOutWrite(h, &headers[size_t(b)], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    for (auto until = std::chrono::steady_clock::now() + 10s;
         counter.done < buffers && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(2ms);
    EXPECT_EQ(counter.done, buffers);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    return all;
}

TEST_F(WaveOutAlsa, ListsHintedPlaybackDevicesWithoutTheDiscardSinkOrTheDefault)
{
    useStandardConfig();
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    std::vector<std::string> names;
    for (uint32_t i = 0; i < 2; ++i) {
        WAVEOUTCAPS caps;
        ASSERT_EQ(waveOutGetDevCaps(i, &caps, sizeof caps), MMSYSERR_NOERROR);
        names.emplace_back(caps.szPname);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"modwright_recorder_with_a_rathe", "mwrecorder"}));
    WAVEOUTCAPS caps;
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "default");
}

TEST_F(WaveOutAlsa, AConfigurationWithoutDevicesCountsNone)
{
    useConfig("# no sound output at all\npcm.null { type null\n hint { show on } }\n");
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEOUTCAPS caps;
    EXPECT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NODRIVER);
}

TEST_F(WaveOutAlsa, TheMapperPlaysExactlyTheWrittenSamplesThroughAlsa)
{
    useStandardConfig();
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    const QByteArray played = PlayCountingSamples(WAVE_MAPPER, 3, 4410);
    EXPECT_EQ(TTestDir::readAll(dir.file("default.raw")), played);
    EXPECT_FALSE(QFile::exists(dir.file("rec.raw")));
}

TEST_F(WaveOutAlsa, ADeviceWhoseNameWasCutOpensByItsFullName)
{
    useStandardConfig();
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    uint32_t id = 0;
    WAVEOUTCAPS caps;
    waveOutGetDevCaps(0, &caps, sizeof caps);
    if (std::string(caps.szPname) == "mwrecorder")
        id = 1;
    const QByteArray played = PlayCountingSamples(id, 2, 1000);
    EXPECT_EQ(TTestDir::readAll(dir.file("long.raw")), played);
}

// The names of devices 0..count-1 and of the mapper, as their capabilities give them.
std::vector<std::string> DeviceNames()
{
    std::vector<std::string> names;
    const uint32_t count = waveOutGetNumDevs();
    for (uint32_t i = 0; i < count; ++i) {
        WAVEOUTCAPS caps;
        EXPECT_EQ(waveOutGetDevCaps(i, &caps, sizeof caps), MMSYSERR_NOERROR);
        names.emplace_back(caps.szPname);
    }
    WAVEOUTCAPS caps;
    names.emplace_back(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps) == MMSYSERR_NOERROR
                           ? caps.szPname
                           : "(no mapper)");
    return names;
}

TEST_F(WaveOutAlsa, ADefaultThatIsTheOnlyDeviceIsADeviceAndPlays)
{
    // A container's or a sound server's configuration: nothing hinted, only "default".
    useConfig(filePcm("!default", "default.raw", false));
    EXPECT_EQ(DeviceNames(), (std::vector<std::string>{"default", "default"}));
    const QByteArray played = PlayCountingSamples(0, 2, 3000);
    EXPECT_EQ(TTestDir::readAll(dir.file("default.raw")), played);
    QFile::remove(dir.file("default.raw"));
    const QByteArray mapped = PlayCountingSamples(WAVE_MAPPER, 1, 500);
    EXPECT_EQ(TTestDir::readAll(dir.file("default.raw")), mapped);
}

TEST_F(WaveOutAlsa, EntriesThatCannotOpenAreNotOffered)
{
    // Hinted entries without their card, plugin library or server, beside one that works.
    useConfig(filePcm("!default", "default.raw", false) + filePcm("mwrecorder", "rec.raw", true) +
              "pcm.nocard { type hw card 29\n hint { show on description \"A card that is not there\" } }\n"
              "pcm.noplugin { type modwright_no_such_plugin\n hint { show on description \"No library\" } }\n"
              "pcm.noslave { type plug slave.pcm \"nowhere\"\n hint { show on description \"No slave\" } }\n"
              "pcm.null { type null\n hint { show on description \"Discard all samples\" } }\n");
    EXPECT_EQ(DeviceNames(), (std::vector<std::string>{"mwrecorder", "default"}));
}

TEST_F(WaveOutAlsa, ABrokenDefaultLeavesTheMapperToTheFirstDeviceThatOpens)
{
    // "default" names a card that is not there; of the two hinted devices only one opens.
    useConfig("pcm.!default { type hw card 29 }\n"
              "pcm.broken { type hw card 28\n hint { show on description \"Gone\" } }\n" +
              filePcm("mwrecorder", "rec.raw", true));
    EXPECT_EQ(DeviceNames(), (std::vector<std::string>{"mwrecorder", "mwrecorder"}));
    const WAVEFORMATEX f = CdFormat();
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    const QByteArray played = PlayCountingSamples(WAVE_MAPPER, 2, 2000);
    EXPECT_EQ(TTestDir::readAll(dir.file("rec.raw")), played);
}

TEST_F(WaveOutAlsa, NothingThatOpensIsNoDeviceAndNoMapper)
{
    useConfig("pcm.!default { type hw card 29 }\n"
              "pcm.nocard { type hw card 28\n hint { show on description \"Gone\" } }\n"
              "pcm.null { type null\n hint { show on description \"Discard all samples\" } }\n");
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEOUTCAPS caps;
    EXPECT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NODRIVER);
    const WAVEFORMATEX f = CdFormat();
    HWAVEOUT h = nullptr;
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, nullptr);
}

} // namespace
