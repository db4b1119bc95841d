// The wave-out layer over the recording stand-in device: device list and capabilities,
// the header life cycle, pause, reset, close and a device that fails while playing.

#include "platform/WaveOut.h"

#include "platform/WaveOutRecorder.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Installs a recorder as the backend for one test.
class WaveOutLayer : public ::testing::Test {
protected:
    void SetUp() override { previous_ = SetWaveOutBackend(recorder); }
    void TearDown() override { SetWaveOutBackend(previous_); }

    std::shared_ptr<TWaveOutRecorder> recorder = std::make_shared<TWaveOutRecorder>();

private:
    std::shared_ptr<TWaveOutBackend> previous_;
};

WAVEFORMATEX Format(int channels = 2, int bits = 16, uint32_t rate = 44100)
{
    WAVEFORMATEX f;
    f.nChannels = uint16_t(channels);
    f.wBitsPerSample = uint16_t(bits);
    f.nSamplesPerSec = rate;
    f.nBlockAlign = uint16_t(channels * bits / 8);
    f.nAvgBytesPerSec = f.nBlockAlign * rate;
    return f;
}

// What the device's callback reported, in order.
struct TCallbackLog {
    std::mutex lock;
    std::vector<uint32_t> messages;
    std::vector<WAVEHDR *> done;

    static void Proc(HWAVEOUT, uint32_t msg, uintptr_t instance, uintptr_t p1, uintptr_t)
    {
        auto *log = reinterpret_cast<TCallbackLog *>(instance);
        std::lock_guard<std::mutex> g(log->lock);
        log->messages.push_back(msg);
        if (msg == WOM_DONE)
            log->done.push_back(reinterpret_cast<WAVEHDR *>(p1));
    }
    size_t doneCount()
    {
        std::lock_guard<std::mutex> g(lock);
        return done.size();
    }
    bool waitDone(size_t n)
    {
        for (auto until = std::chrono::steady_clock::now() + 5s; std::chrono::steady_clock::now() < until;) {
            if (doneCount() >= n)
                return true;
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }
};

HWAVEOUT Open(TCallbackLog &log, uint32_t id = WAVE_MAPPER, WAVEFORMATEX f = Format())
{
    HWAVEOUT h = nullptr;
    EXPECT_EQ(waveOutOpen(&h, id, &f, reinterpret_cast<uintptr_t>(&TCallbackLog::Proc),
                          reinterpret_cast<uintptr_t>(&log), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    return h;
}

// A buffer whose bytes count up from Seed.
struct TBuffer {
    explicit TBuffer(size_t size, uint8_t seed = 0) : data(size)
    {
        for (size_t i = 0; i < size; ++i)
            data[i] = char(seed + i);
        header.lpData = data.data();
        header.dwBufferLength = uint32_t(size);
    }
    std::vector<char> data;
    WAVEHDR header;
};

TEST_F(WaveOutLayer, CountsDevicesAndReportsTheirCapabilities)
{
    recorder->setDevices({"Card one", "A device name that is longer than thirty-one characters"});
    ASSERT_EQ(waveOutGetNumDevs(), 2u);
    WAVEOUTCAPS caps;
    ASSERT_EQ(waveOutGetDevCaps(0, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "Card one");
    EXPECT_EQ(caps.wChannels, 2);
    EXPECT_EQ(caps.dwFormats, WAVE_FORMAT_ALL_CLASSIC);
    ASSERT_EQ(waveOutGetDevCaps(1, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_EQ(std::string(caps.szPname), "A device name that is longer th"); // 31 characters
    ASSERT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NOERROR);
    EXPECT_STREQ(caps.szPname, "default");
    EXPECT_EQ(waveOutGetDevCaps(2, &caps, sizeof caps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(waveOutGetDevCaps(0, nullptr, sizeof caps), MMSYSERR_INVALPARAM);

    // Opening the cut name's id opens the device by its full name.
    TCallbackLog log;
    HWAVEOUT h = Open(log, 1);
    EXPECT_EQ(recorder->lastDevice(), "A device name that is longer than thirty-one characters");
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutLayer, AMachineWithoutDevicesHasNoneAndNoMapper)
{
    recorder->setDevices({});
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    WAVEOUTCAPS caps;
    EXPECT_EQ(waveOutGetDevCaps(WAVE_MAPPER, &caps, sizeof caps), MMSYSERR_NODRIVER);
    HWAVEOUT h = reinterpret_cast<HWAVEOUT>(1);
    const WAVEFORMATEX f = Format();
    EXPECT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    EXPECT_EQ(h, nullptr);
}

TEST_F(WaveOutLayer, FormatQueryAcceptsOnlyPlainPcm)
{
    const WAVEFORMATEX good = Format(2, 16);
    EXPECT_EQ(waveOutOpen(nullptr, WAVE_MAPPER, &good, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    const WAVEFORMATEX mono8 = Format(1, 8, 22050);
    EXPECT_EQ(waveOutOpen(nullptr, 0, &mono8, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutOpen(nullptr, 0, nullptr, 0, 0, WAVE_FORMAT_QUERY), MMSYSERR_INVALPARAM);
    for (WAVEFORMATEX bad : {Format(2, 24), Format(3, 16), Format(2, 16, 0)}) {
        bad.nBlockAlign = uint16_t(bad.nChannels * bad.wBitsPerSample / 8);
        EXPECT_EQ(waveOutOpen(nullptr, 0, &bad, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
    }
    WAVEFORMATEX floating = Format();
    floating.wFormatTag = 3;
    EXPECT_EQ(waveOutOpen(nullptr, 0, &floating, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
    recorder->failQuery(WAVERR_BADFORMAT);
    EXPECT_EQ(waveOutOpen(nullptr, 0, &good, 0, 0, WAVE_FORMAT_QUERY), WAVERR_BADFORMAT);
    EXPECT_EQ(recorder->opens(), 0); // a query never keeps the device
}

TEST_F(WaveOutLayer, PlaysWrittenBuffersInOrderAndHandsEachBack)
{
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer a(4000, 1), b(400, 100), c(10, 7); // c: two frames and a partial one
    for (TBuffer *x : {&a, &b, &c}) {
        ASSERT_EQ(waveOutPrepareHeader(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_TRUE(x->header.dwFlags & WHDR_PREPARED);
    }
    for (TBuffer *x : {&a, &b, &c})
        ASSERT_EQ(waveOutWrite(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.waitDone(3));
    ASSERT_EQ(waveOutClose(h), MMSYSERR_NOERROR);

    std::vector<uint8_t> expected(a.data.begin(), a.data.end());
    expected.insert(expected.end(), b.data.begin(), b.data.end());
    expected.insert(expected.end(), c.data.begin(), c.data.begin() + 8); // whole frames only
    EXPECT_EQ(recorder->recorded(), expected);
    EXPECT_EQ(log.done, (std::vector<WAVEHDR *>{&a.header, &b.header, &c.header}));
    EXPECT_EQ(log.messages.front(), WOM_OPEN);
    EXPECT_EQ(log.messages.back(), WOM_CLOSE);
    for (TBuffer *x : {&a, &b, &c})
        EXPECT_EQ(x->header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(recorder->lastFormat().nChannels, 2);
    EXPECT_EQ(recorder->closes(), 1);
}

TEST_F(WaveOutLayer, PauseHoldsTheQueueUntilRestart)
{
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    ASSERT_EQ(waveOutPause(h), MMSYSERR_NOERROR);
    TBuffer a(400);
    waveOutPrepareHeader(h, &a.header, sizeof(WAVEHDR));
    ASSERT_EQ(waveOutWrite(h, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(log.doneCount(), 0u);
    EXPECT_EQ(recorder->recordedSize(), 0u);
    EXPECT_TRUE(a.header.dwFlags & WHDR_INQUEUE);
    ASSERT_EQ(waveOutRestart(h), MMSYSERR_NOERROR);
    ASSERT_TRUE(log.waitDone(1));
    EXPECT_EQ(recorder->recordedSize(), 400u);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutLayer, ResetHandsBackEveryQueuedBufferBeforeItReturns)
{
    recorder->setHold(true); // the device takes nothing on its own
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer a(400), b(400);
    for (TBuffer *x : {&a, &b}) {
        waveOutPrepareHeader(h, &x->header, sizeof(WAVEHDR));
        ASSERT_EQ(waveOutWrite(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    // Queued buffers cannot be closed away, unprepared or written twice.
    EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutUnprepareHeader(h, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);
    EXPECT_EQ(waveOutWrite(h, &a.header, sizeof(WAVEHDR)), WAVERR_STILLPLAYING);

    ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(log.doneCount(), 2u); // already delivered when reset returns
    EXPECT_EQ(log.done, (std::vector<WAVEHDR *>{&a.header, &b.header}));
    EXPECT_EQ(a.header.dwFlags & (WHDR_DONE | WHDR_INQUEUE), WHDR_DONE);
    EXPECT_EQ(recorder->recordedSize(), 0u);
    EXPECT_EQ(waveOutUnprepareHeader(h, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutWrite(h, &b.header, sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutLayer, HeldDeviceTakesOneWriteForEachRelease)
{
    recorder->setHold(true);
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer a(400, 1), b(16, 2);
    for (TBuffer *x : {&a, &b}) {
        waveOutPrepareHeader(h, &x->header, sizeof(WAVEHDR));
        waveOutWrite(h, &x->header, sizeof(WAVEHDR));
    }
    recorder->release(1);
    ASSERT_TRUE(log.waitDone(1));
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(log.doneCount(), 1u);
    recorder->release(1);
    ASSERT_TRUE(log.waitDone(2));
    EXPECT_EQ(recorder->writeSizes(), (std::vector<size_t>{400, 16}));
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutLayer, WritingRequiresAPreparedHeader)
{
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer a(400);
    EXPECT_EQ(waveOutWrite(h, &a.header, sizeof(WAVEHDR)), WAVERR_UNPREPARED);
    EXPECT_EQ(waveOutWrite(h, nullptr, sizeof(WAVEHDR)), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutPause(nullptr), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutLayer, ADeviceThatFailsHandsEverythingBackAndRefusesWrites)
{
    recorder->failAfter(1000, MMSYSERR_NODRIVER); // unplugged after 1000 bytes
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    waveOutPause(h); // all three queued before the device fails
    TBuffer a(800, 1), b(800, 2), c(800, 3);
    for (TBuffer *x : {&a, &b, &c}) {
        waveOutPrepareHeader(h, &x->header, sizeof(WAVEHDR));
        ASSERT_EQ(waveOutWrite(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    waveOutRestart(h);
    ASSERT_TRUE(log.waitDone(3));
    EXPECT_EQ(recorder->recordedSize(), 1000u);
    EXPECT_EQ(waveOutWrite(h, &a.header, sizeof(WAVEHDR)), MMSYSERR_NODRIVER);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

TEST_F(WaveOutLayer, OpenFailureLeavesNoHandle)
{
    recorder->failOpen(MMSYSERR_ALLOCATED);
    HWAVEOUT h = nullptr;
    const WAVEFORMATEX f = Format();
    EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(waveOutOpen(&h, 0, &f, 0, 0, 0x1234), MMSYSERR_INVALFLAG);
}

TEST_F(WaveOutLayer, PacedDeviceKeepsToItsSpeed)
{
    recorder->setSpeed(4); // four times real time: one second of sound in a quarter second
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer second(44100 * 4);
    waveOutPrepareHeader(h, &second.header, sizeof(WAVEHDR));
    const auto start = std::chrono::steady_clock::now();
    waveOutWrite(h, &second.header, sizeof(WAVEHDR));
    ASSERT_TRUE(log.waitDone(1));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
    EXPECT_EQ(recorder->recordedSize(), second.data.size());
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
}

// What the device had played when each buffer came back.
struct THeardAtDone {
    TWaveOutRecorder *recorder = nullptr;
    std::mutex lock;
    std::vector<size_t> heard;

    static void Proc(HWAVEOUT, uint32_t msg, uintptr_t instance, uintptr_t, uintptr_t)
    {
        auto *self = reinterpret_cast<THeardAtDone *>(instance);
        if (msg != WOM_DONE)
            return;
        const size_t n = self->recorder->heard().size();
        std::lock_guard<std::mutex> g(self->lock);
        self->heard.push_back(n);
    }
    size_t count()
    {
        std::lock_guard<std::mutex> g(lock);
        return heard.size();
    }
};

TEST_F(WaveOutLayer, ABufferComesBackOnceItsLastSampleHasBeenPlayedNotWhenTaken)
{
    // Real time behind a sound card's buffer of 100 ms, which takes each of these 50 ms
    // buffers at once.
    recorder->setSpeed(1);
    recorder->setDeviceBuffer(100ms);
    THeardAtDone log;
    log.recorder = recorder.get();
    HWAVEOUT h = nullptr;
    const WAVEFORMATEX f = Format();
    ASSERT_EQ(waveOutOpen(&h, WAVE_MAPPER, &f, reinterpret_cast<uintptr_t>(&THeardAtDone::Proc),
                          reinterpret_cast<uintptr_t>(&log), CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    TBuffer a(8820, 1), b(8820, 2);
    for (TBuffer *x : {&a, &b}) {
        waveOutPrepareHeader(h, &x->header, sizeof(WAVEHDR));
        ASSERT_EQ(waveOutWrite(h, &x->header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }
    for (auto until = std::chrono::steady_clock::now() + 5s;
         log.count() < 2 && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(log.count(), 2u);
    EXPECT_GE(log.heard[0], 8820u);
    EXPECT_GE(log.heard[1], 2 * 8820u);
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR);
    EXPECT_EQ(recorder->heard(), recorder->recorded());
    EXPECT_EQ(recorder->drops(), 0);
}

TEST_F(WaveOutLayer, AResetSilencesWhatTheDeviceStillHoldsAndACloseLetsItPlayOut)
{
    recorder->setSpeed(1);
    recorder->setDeviceBuffer(100ms);
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer second(44100 * 4, 3);
    waveOutPrepareHeader(h, &second.header, sizeof(WAVEHDR));
    waveOutWrite(h, &second.header, sizeof(WAVEHDR));
    for (auto until = std::chrono::steady_clock::now() + 5s;
         recorder->heard().empty() && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(1ms);
    ASSERT_EQ(waveOutReset(h), MMSYSERR_NOERROR);
    EXPECT_EQ(log.doneCount(), 1u);
    const size_t heard = recorder->heard().size();
    EXPECT_LT(heard, recorder->recordedSize()); // taken ahead of the clock, never played
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(recorder->heard().size(), heard);

    // Without a reset, a close waits for the buffer to be played and plays out the rest.
    TBuffer shortOne(4000, 4);
    waveOutPrepareHeader(h, &shortOne.header, sizeof(WAVEHDR));
    waveOutWrite(h, &shortOne.header, sizeof(WAVEHDR));
    for (auto until = std::chrono::steady_clock::now() + 5s;
         waveOutClose(h) == WAVERR_STILLPLAYING && std::chrono::steady_clock::now() < until;)
        std::this_thread::sleep_for(1ms);
    EXPECT_EQ(recorder->heard().size(), heard + 4000);
}

TEST_F(WaveOutLayer, ADeviceWhoseClockStopsHandsItsBuffersBackAfterAWhileAndClosesWithoutWaiting)
{
    recorder->stopClock(true); // a suspended sound server: nothing it takes is ever played
    TCallbackLog log;
    HWAVEOUT h = Open(log);
    TBuffer a(400);
    waveOutPrepareHeader(h, &a.header, sizeof(WAVEHDR));
    ASSERT_EQ(waveOutWrite(h, &a.header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(log.doneCount(), 0u);
    EXPECT_EQ(waveOutClose(h), WAVERR_STILLPLAYING);
    ASSERT_TRUE(log.waitDone(1));                 // within the layer's limit of 2 s
    EXPECT_EQ(waveOutClose(h), MMSYSERR_NOERROR); // no drain that would wait for ever
    EXPECT_TRUE(recorder->heard().empty());
    EXPECT_EQ(recorder->closes(), 1);
}

TEST(WaveOutErrorText, GivesATextForEveryCodeAndCutsItToTheBuffer)
{
    char text[256];
    for (MMRESULT code : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 32u, 33u, 34u}) {
        ASSERT_EQ(waveOutGetErrorText(code, text, sizeof text), MMSYSERR_NOERROR) << code;
        EXPECT_GT(std::strlen(text), 5u);
    }
    waveOutGetErrorText(WAVERR_STILLPLAYING, text, sizeof text);
    EXPECT_STREQ(text, "The sound device is still playing.");
    char small[8];
    ASSERT_EQ(waveOutGetErrorText(WAVERR_STILLPLAYING, small, sizeof small), MMSYSERR_NOERROR);
    EXPECT_STREQ(small, "The sou");
    EXPECT_EQ(waveOutGetErrorText(1234, text, sizeof text), MMSYSERR_BADERRNUM);
    EXPECT_STREQ(text, "");
}

} // namespace
