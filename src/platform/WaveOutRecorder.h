#pragma once

#include "platform/WaveOutBackend.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

// A stand-in sound card for tests and measurements: every device of it keeps the bytes it
// takes, in order, in one shared recording. It plays at a chosen speed (0: takes each
// buffer at once; 1: real time; k: k times real time), or holds every buffer until the
// test releases it, one whole write at a time. A playing device runs on a clock: it takes
// frames up to its device buffer ahead of that clock, and what the clock has passed before
// the device is reset or closed is what a listener heard (a drain plays out the rest). It
// can also refuse to open or fail after a given number of bytes, as an unplugged card
// would.
class TWaveOutRecorder : public TWaveOutBackend {
public:
    explicit TWaveOutRecorder(std::vector<std::string> Devices = {"Recorder"});

    // The devices set, and "default" for the mapper.
    TWaveOutDevices devices() override;
    uint32_t driverVersion() override { return 0x0100; }
    MMRESULT query(const std::string &Device, const WAVEFORMATEX &Format) override;
    MMRESULT open(const std::string &Device, const WAVEFORMATEX &Format,
                  std::unique_ptr<TWaveOutSink> &Sink) override;

    // Settings; they apply to devices opened afterwards, except hold and release.
    void setDevices(std::vector<std::string> Devices);
    void setSpeed(double Speed);
    // How far ahead of its clock a playing device takes frames (10 ms unless set).
    void setDeviceBuffer(std::chrono::milliseconds Buffer);
    void setHold(bool Hold);
    void release(int Writes);
    void failOpen(MMRESULT Result);
    void failQuery(MMRESULT Result);
    void failAfter(size_t Bytes, MMRESULT Result);
    // Plugged in again: devices opened afterwards neither refuse nor fail.
    void heal();
    // Stops the clock of every device (a suspended sound server): what they hold is
    // neither played nor drained until it runs again.
    void stopClock(bool Stopped);

    // What the devices took.
    std::vector<uint8_t> recorded() const;
    size_t recordedSize() const;
    // What the devices played before they were reset or closed: recorded() less what
    // they still held then.
    std::vector<uint8_t> heard() const;
    // The byte count of each write the devices took, in order.
    std::vector<size_t> writeSizes() const;
    int opens() const;
    int closes() const;
    int drops() const;
    std::string lastDevice() const;
    WAVEFORMATEX lastFormat() const;
    std::optional<std::chrono::steady_clock::time_point> firstWrite() const;
    std::optional<std::chrono::steady_clock::time_point> lastClose() const;
    void clear();

    // Waits until Predicate (called under the recorder's lock) holds, at most Timeout.
    bool waitFor(const std::function<bool()> &Predicate, std::chrono::milliseconds Timeout) const;

private:
    friend class TRecorderSink;

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<std::string> devices_;
    double speed_ = 0;
    std::chrono::milliseconds deviceBuffer_{10};
    bool hold_ = false;
    bool clockStopped_ = false;
    int releases_ = 0;
    MMRESULT openFailure_ = MMSYSERR_NOERROR;
    MMRESULT queryFailure_ = MMSYSERR_NOERROR;
    std::optional<size_t> failAfter_;
    MMRESULT failResult_ = MMSYSERR_NODRIVER;
    std::vector<uint8_t> bytes_;
    std::vector<uint8_t> heard_;
    std::vector<size_t> writes_;
    int opens_ = 0;
    int closes_ = 0;
    int drops_ = 0;
    std::string lastDevice_;
    WAVEFORMATEX lastFormat_;
    std::optional<std::chrono::steady_clock::time_point> firstWrite_;
    std::optional<std::chrono::steady_clock::time_point> lastClose_;
};
