// The wave-out layer on ALSA itself, with a configuration of the test's own: ALSA's "file"
// plugin over its "null" plugin stands in for sound cards, so the samples that reach ALSA
// land in files and nothing needs real hardware.

#include "platform/WaveOut.h"
#include "platform/WaveOutBackend.h"
#include "support/TestDir.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

namespace {

using namespace std::chrono_literals;

const char *longName = "modwright_recorder_with_a_rather_long_name";

class WaveOutAlsa : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousBackend_ = SetWaveOutBackend(nullptr); // ALSA
        if (const char *p = std::getenv("ALSA_CONFIG_PATH"))
            previousConfig_ = p;
    }
    void TearDown() override
    {
        if (previousConfig_)
            setenv("ALSA_CONFIG_PATH", previousConfig_->c_str(), 1);
        else
            unsetenv("ALSA_CONFIG_PATH");
        SetWaveOutBackend(previousBackend_);
    }

    // A file-writing pcm named Name; with a hint it is listed as a playback device.
    QString filePcm(const QString &name, const QString &file, bool hint)
    {
        return "pcm." + name + " {\n    type file\n    slave.pcm { type null }\n    file \"" +
               dir.file(file) + "\"\n    format \"raw\"\n" +
               (hint ? "    hint { show on description \"Test output\" }\n" : "") + "}\n";
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
    std::optional<std::string> previousConfig_;
};

struct TDoneCounter {
    std::atomic<int> done{0};
    static void Proc(HWAVEOUT, uint32_t msg, uintptr_t instance, uintptr_t, uintptr_t)
    {
        if (msg == WOM_DONE)
            ++reinterpret_cast<TDoneCounter *>(instance)->done;
    }
};

// Plays Buffers x Frames frames of 16-bit stereo counting samples on device Id, closes the
// device and returns the bytes played.
QByteArray PlayCountingSamples(uint32_t id, int buffers, int frames)
{
    WAVEFORMATEX f;
    f.nChannels = 2;
    f.wBitsPerSample = 16;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 4 * 44100;
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

TEST_F(WaveOutAlsa, QueryAndOpenOfAMissingDefaultFail)
{
    // A listed device, but no "default" to map to.
    useConfig(filePcm("mwrecorder", "rec.raw", true));
    ASSERT_EQ(waveOutGetNumDevs(), 1u);
    WAVEFORMATEX f;
    f.nChannels = 2;
    f.wBitsPerSample = 16;
    f.nSamplesPerSec = 44100;
    f.nBlockAlign = 4;
    f.nAvgBytesPerSec = 4 * 44100;
    EXPECT_NE(waveOutOpen(nullptr, WAVE_MAPPER, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    HWAVEOUT h = nullptr;
    EXPECT_NE(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(waveOutOpen(nullptr, 0, &f, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
}

} // namespace
