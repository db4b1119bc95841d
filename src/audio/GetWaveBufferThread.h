#pragma once

#include "platform/WaveOut.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class TAudioSource;
class TWaveOutput;

// The output's refill thread. It sleeps until a buffer is requested, fills it from the
// source (silence without one), hands it to the output for writing and reports to the
// output whether the source is still active. There is a single request slot: a newer
// request overwrites one that has not been taken yet, and the output notices the loss.
class TGetWaveBufferThread {
public:
    explicit TGetWaveBufferThread(TWaveOutput *Output);
    // Terminates the thread and waits for it (a fill in progress completes first).
    ~TGetWaveBufferThread();
    TGetWaveBufferThread(const TGetWaveBufferThread &) = delete;
    TGetWaveBufferThread &operator=(const TGetWaveBufferThread &) = delete;

    // Once it returns, the previous source is no longer called: a fill in progress has
    // ended.
    void SetSource(TAudioSource *Source);
    // Asks for the first Bytes of Header's data to be filled for the device session
    // Session, and wakes the thread. Called from the UI thread and from the device's
    // callback.
    void Request(WAVEHDR *Header, uint32_t Bytes, uint32_t Session);
    // Drops a request not yet taken and waits until a fill in progress has ended: after it,
    // nothing of an earlier opening reads from the source any more.
    void Flush();
    // Waits until the thread has taken the latest request, at most Timeout; true when it
    // has.
    bool WaitTaken(std::chrono::milliseconds Timeout);
    // True while a fill (and the write and idle check after it) is in progress.
    bool Busy() const { return busy_; }

private:
    struct TRequest {
        char *data = nullptr;
        uint32_t bytes = 0;
        WAVEHDR *header = nullptr;
        uint32_t session = 0;
    };

    void Execute();

    TWaveOutput *output_;
    std::mutex lock_;     // the slot, the event and the source
    std::mutex fillLock_; // held while a fill, its write and the idle check run
    std::condition_variable event_;
    bool signalled_ = false; // auto-reset: cleared when the thread wakes
    std::condition_variable taken_;
    uint64_t requested_ = 0; // requests made
    uint64_t takenUpTo_ = 0; // the number of the request taken last
    bool terminated_ = false;
    TRequest request_;
    TAudioSource *source_ = nullptr;
    std::atomic<bool> busy_{false};
    std::thread thread_;
};
