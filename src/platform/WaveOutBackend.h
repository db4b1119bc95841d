#pragma once

#include "platform/WaveOut.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

// One opened output stream of a backend. Only the device's own thread in the wave-out
// layer calls it, so it needs no locking of its own.
class TWaveOutSink {
public:
    virtual ~TWaveOutSink() = default;
    // Hands up to Frames frames at Data to the device, waiting at most about 20 ms for
    // room, and reports in Taken how many it took (0 when it is full). A result other than
    // MMSYSERR_NOERROR means the device is gone; nothing more will be written to it.
    virtual MMRESULT write(const char *Data, uint32_t Frames, uint32_t &Taken) = 0;
    // Holds or resumes output of what the device already has.
    virtual void pause(bool On) = 0;
    // Discards what the device holds; the next write starts afresh.
    virtual void drop() = 0;
    // Waits until what the device holds has been played.
    virtual void drain() = 0;
    // Frames the device has taken but not played yet: what a listener has still to hear.
    virtual uint32_t delay() = 0;
};

// The devices a backend offers: the names of the playback devices in id order, and the
// name the mapper opens (empty when there is nothing to open).
struct TWaveOutDevices {
    std::vector<std::string> names;
    std::string mapper;
};

// Where the wave-out layer sends its samples.
class TWaveOutBackend {
public:
    virtual ~TWaveOutBackend() = default;
    // The playback devices as the machine has them now (without the discard sink).
    virtual TWaveOutDevices devices() = 0;
    // Reported in the capabilities: major version in the high byte, minor in the low one.
    virtual uint32_t driverVersion() = 0;
    // Whether Device plays Format, without keeping it open.
    virtual MMRESULT query(const std::string &Device, const WAVEFORMATEX &Format) = 0;
    virtual MMRESULT open(const std::string &Device, const WAVEFORMATEX &Format,
                          std::unique_ptr<TWaveOutSink> &Sink) = 0;
};

// Makes Backend the one that later calls use (null: ALSA again) and returns the previous
// one. Open handles keep the backend they were opened with; the device list is read anew.
std::shared_ptr<TWaveOutBackend> SetWaveOutBackend(std::shared_ptr<TWaveOutBackend> Backend);
std::shared_ptr<TWaveOutBackend> CurrentWaveOutBackend();

// Keeps a sink that takes samples faster than they play (a discard or file sink, a test
// device) to a given speed: at most `Lead` frames ahead of Speed x real time, counted from
// the first frame after restart(). Speed 0 lets everything through at once.
class TWaveOutPace {
public:
    TWaveOutPace(uint32_t SampleRate, double Speed, uint64_t Lead)
        : rate_(SampleRate), speed_(Speed), lead_(Lead)
    {
    }
    void restart() { started_ = false; }
    // How many of Wanted frames may go now; when none are due, sleeps 10 ms first so that
    // the caller's loop does not spin.
    uint32_t allow(uint32_t Wanted);
    void taken(uint32_t Frames) { sent_ += Frames; }
    // Frames taken that Speed x real time has not reached yet: what such a device, had it a
    // clock, would still hold. 0 at Speed 0 and before the first frame.
    uint64_t ahead() const;

private:
    using TClock = std::chrono::steady_clock;
    uint64_t due(TClock::time_point Now) const;

    uint32_t rate_;
    double speed_;
    uint64_t lead_;
    bool started_ = false;
    TClock::time_point start_;
    uint64_t sent_ = 0;
};
