// The wave output device over the recording stand-in: buffer geometry, device selection,
// the idle close, the underrun filler, and failures reported through the error handler.

#include "audio/WaveOutput.h"

#include "AudioTestSupport.h"
#include "audio/AudioSource.h"

#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>

namespace {

// Fills every buffer with its fill number and answers IsActive as told; IsActive can be
// held at a gate to keep the refill thread busy at a known point.
class TTestSource : public TAudioSource {
public:
    void FillBuffer(void *data, uint32_t bytes) override { std::memset(data, ++fills, bytes); }
    bool IsActive() override
    {
        std::unique_lock<std::mutex> g(lock_);
        if (gate_) {
            inGate_ = true;
            changed_.wait(g, [this] { return !gate_; });
            inGate_ = false;
        }
        ++activeCalls;
        return active;
    }
    void setGate(bool on)
    {
        std::lock_guard<std::mutex> g(lock_);
        gate_ = on;
        changed_.notify_all();
    }
    bool inGate()
    {
        std::lock_guard<std::mutex> g(lock_);
        return inGate_;
    }

    std::atomic<int> fills{0};
    std::atomic<int> activeCalls{0};
    std::atomic<bool> active{true};

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool gate_ = false;
    bool inGate_ = false;
};

class WaveOutputTest : public ::testing::Test {
protected:
    WaveOutputTest() : scope({"Alpha", "Beta"})
    {
        output.OnError = [this](TWaveOutput *, const std::string &m) { errors.push_back(m); };
        output.OnStarted = [this](TWaveOutput *) {
            onUiThread &= QThread::currentThread() == qApp->thread(), ++started;
        };
        output.OnStopped = [this](TWaveOutput *) {
            onUiThread &= QThread::currentThread() == qApp->thread(), ++stopped;
        };
        output.OnUnderrun = [this](TWaveOutput *) { ++underruns; };
    }
    void prepare(TAudioSource *source)
    {
        output.SetDevice(-1);
        output.SetFormat(16, 2, 44100);
        output.SetBufferTime(400);
        output.SetSource(source);
    }

    TRecorderScope scope;
    TTestSource source; // outlives the output, whose refill thread calls it
    TWaveOutput output;
    std::vector<std::string> errors;
    int started = 0, stopped = 0, underruns = 0;
    bool onUiThread = true;
};

TEST_F(WaveOutputTest, BufferGeometryIsWholeTwentyMillisecondBlocks)
{
    output.SetBufferTime(400);
    EXPECT_EQ(output.BufferTime(), 400);
    EXPECT_EQ(output.BufferBytes(), 0u); // no format yet: nothing computed
    output.SetDevice(-1);
    output.SetFormat(16, 2, 44100);
    EXPECT_EQ(output.BlockFrames(), 882u);
    EXPECT_EQ(output.BufferFrames(), 17640u);
    EXPECT_EQ(output.BufferBytes(), 70560u);
    output.SetBufferTime(300);
    EXPECT_EQ(output.BufferFrames(), 13230u);
    EXPECT_EQ(output.BufferBytes(), 52920u);
    output.SetBufferTime(1); // taken as 2 ms: one block
    EXPECT_EQ(output.BufferFrames(), 882u);
    EXPECT_EQ(output.BufferTime(), 20);
    output.SetBufferTime(5000); // taken as 1000 ms
    EXPECT_EQ(output.BufferTime(), 1000);
    EXPECT_EQ(output.BufferBytes(), 176400u);
    output.SetBufferTime(410); // 20.5 blocks: ties go to the even count
    EXPECT_EQ(output.BufferTime(), 400);
    output.SetBufferTime(430); // 21.5 blocks
    EXPECT_EQ(output.BufferTime(), 440);

    output.SetFormat(16, 2, 48000);
    output.SetBufferTime(1000);
    EXPECT_EQ(output.BufferBytes(), 192000u); // exactly the buffer memory
    output.SetFormat(16, 2, 96000);
    EXPECT_EQ(output.BufferBytes(), 192000u); // never more than the buffer memory
    EXPECT_EQ(output.BufferTime(), 500);
    output.SetFormat(8, 1, 22050);
    output.SetBufferTime(300);
    EXPECT_EQ(output.BlockFrames(), 441u);
    EXPECT_EQ(output.BufferBytes(), 6615u);
}

TEST_F(WaveOutputTest, SelectsDevicesByIdAndByNameInAnyCase)
{
    EXPECT_EQ(output.DeviceCount(), 2u);
    EXPECT_EQ(output.DeviceId(), -2);
    EXPECT_EQ(output.DeviceName(), "");
    output.SetDevice(-1);
    EXPECT_EQ(output.DeviceName(), "default");
    output.SelectDeviceByName("bEtA");
    EXPECT_EQ(output.DeviceId(), 1);
    EXPECT_EQ(output.DeviceName(), "Beta");
    output.SelectDeviceByName("DEFAULT");
    EXPECT_EQ(output.DeviceId(), -1);
    output.SetDevice(0);
    try {
        output.SelectDeviceByName("Gamma");
        FAIL() << "an unknown device was selected";
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "Device Gamma does not exist.");
    }
    EXPECT_EQ(output.DeviceId(), 0);
    output.SetDevice(2); // DeviceCount: no device
    EXPECT_EQ(output.DeviceId(), -2);
    EXPECT_EQ(output.DeviceName(), "");
}

TEST_F(WaveOutputTest, AFailedCapabilityQueryKeepsThePreviousDevice)
{
    output.SetDevice(0);
    scope.recorder->setDevices({"Alpha"}); // Beta unplugged since the count was read
    waveOutGetNumDevs();
    try {
        output.SetDevice(1);
        FAIL() << "no error";
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()), "The sound device identifier is out of range.\n\rDeviceID: 1");
    }
    EXPECT_EQ(output.DeviceId(), 0);
    EXPECT_EQ(output.DeviceName(), "Alpha");
}

TEST_F(WaveOutputTest, ARefusedFormatKeepsThePreviousOne)
{
    output.SetDevice(-1);
    output.SetFormat(16, 2, 44100);
    scope.recorder->failQuery(WAVERR_BADFORMAT);
    EXPECT_THROW(output.SetFormat(8, 1, 8000), EModwright);
    EXPECT_EQ(output.Channels(), 2);
    EXPECT_EQ(output.SampleRate(), 44100);
    EXPECT_EQ(output.BufferBytes(), 52920u);
}

TEST_F(WaveOutputTest, StartingWithoutADeviceOrFailingToOpenReachesTheErrorHandler)
{
    EXPECT_THROW(output.SetFormat(16, 2, 44100), EModwright); // no device to ask
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return errors.size() == 1; }));
    EXPECT_EQ(errors[0], "Assertion failure (AudioDevice)");

    prepare(&source);
    scope.recorder->failOpen(MMSYSERR_ALLOCATED);
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return errors.size() == 2; }));
    EXPECT_EQ(errors[1], "Cannot open the device default.");
    EXPECT_TRUE(output.IsClosed());
    EXPECT_EQ(started, 0);
}

TEST_F(WaveOutputTest, ClosesByItselfAfterExactlyThreeInactiveRefills)
{
    source.active = false;
    prepare(&source);
    scope.recorder->setHold(true); // buffers come back only when the test says so
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 2; })); // A and B written
    Spin(50);
    EXPECT_FALSE(output.IsClosed());
    EXPECT_EQ(started, 1);
    scope.recorder->release(1); // A played: the third refill
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }));
    EXPECT_TRUE(output.IsClosed());
    EXPECT_EQ(source.fills, 3);
    EXPECT_TRUE(onUiThread);
    EXPECT_EQ(scope.recorder->closes(), 1);
    output.StopAsync(true, true); // a stop of a closed device changes nothing
    Spin(20);
    EXPECT_EQ(stopped, 1);
}

TEST_F(WaveOutputTest, ASourceActiveAgainRestartsTheIdleCountdown)
{
    source.active = false;
    prepare(&source);
    scope.recorder->setHold(true);
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 2; })); // countdown at 1
    source.active = true;
    scope.recorder->release(1);
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 3; })); // back at 3
    source.active = false;
    for (int call = 4; call <= 5; ++call) {
        scope.recorder->release(1);
        ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == call; }));
    }
    Spin(50);
    EXPECT_FALSE(output.IsClosed());
    scope.recorder->release(1);
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }));
    EXPECT_EQ(source.fills, 6);
}

TEST_F(WaveOutputTest, ALostRefillRequestIsCoveredByASixteenByteWriteOfTheOtherBuffer)
{
    prepare(&source);
    scope.recorder->setHold(true);
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 2; })); // A (fill 1), B (fill 2) queued
    source.setGate(true);
    scope.recorder->release(1); // A played and refilled (fill 3); the thread stops in the gate
    ASSERT_TRUE(WaitUntil([&] { return source.inGate(); }));
    scope.recorder->release(2); // B and A played while the thread is busy: the slot says A
    ASSERT_TRUE(WaitUntil([&] { return underruns == 2; }));
    source.setGate(false);
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 4; })); // B's filler and A written
    scope.recorder->release(1); // the filler played; B refilled (fill 5) in good time
    ASSERT_TRUE(WaitUntil([&] { return source.activeCalls == 5; }));
    scope.recorder->release(1);
    ASSERT_TRUE(WaitUntil([&] { return scope.recorder->writeSizes().size() == 5; }));
    EXPECT_EQ(scope.recorder->writeSizes(), (std::vector<size_t>{70560, 70560, 70560, 16, 70560}));
    Spin(50);
    EXPECT_EQ(underruns, 3); // two busy completions and the filler
    const std::vector<uint8_t> bytes = scope.recorder->recorded();
    const std::vector<uint8_t> fills = {bytes[0], bytes[70560], bytes[2 * 70560], bytes[3 * 70560],
                                        bytes[3 * 70560 + 16]};
    EXPECT_EQ(fills, (std::vector<uint8_t>{1, 2, 3, 2, 4})); // the filler is B's old content
    output.StopAsync(true, true);
    EXPECT_TRUE(output.IsClosed());
}

TEST_F(WaveOutputTest, ADeviceLostWhilePlayingIsReportedOnceAndClosed)
{
    prepare(&source);
    scope.recorder->failAfter(70560 + 1000, MMSYSERR_NODRIVER);
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }));
    Spin(50);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "The sound device is not present or has been removed.");
    EXPECT_TRUE(output.IsClosed());
}

TEST_F(WaveOutputTest, ChangingTheDeviceWhilePlayingMovesThePlayback)
{
    prepare(&source);
    scope.recorder->setSpeed(1);
    output.StartAsync();
    ASSERT_TRUE(WaitUntil([&] { return started == 1; }));
    output.SetDevice(-1); // the same device: nothing happens
    EXPECT_FALSE(output.IsClosed());
    output.SetDevice(1);
    EXPECT_TRUE(output.IsClosed());
    ASSERT_TRUE(WaitUntil([&] { return started == 2; }));
    EXPECT_EQ(scope.recorder->lastDevice(), "Beta");
    EXPECT_EQ(scope.recorder->opens(), 2);
    EXPECT_THROW(output.SetFormat(16, 1, 44100), EAssertionFailed); // only while closed
    output.StopAsync(true, true);
    EXPECT_TRUE(output.IsClosed());
    EXPECT_TRUE(errors.empty());
}

} // namespace
