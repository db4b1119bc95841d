#pragma once

#include "audio/GetWaveBufferThread.h"
#include "audio/MyWaveBuffer.h"
#include "platform/WaveOut.h"

#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class QObject;
class TAudioSource;

// The wave output device: plays the endless stream of an audio source through the
// wave-out layer with two alternating buffers, refilled by its own thread as soon as the
// device hands one back. It is opened by a start command and closes itself once the source
// has stayed inactive for three buffers, so the device is not held while the program idles.
//
// Commands that open or close the device run on the thread that created the object (the
// UI thread), posted there as queued calls; the notifications travel the same way, so every
// handler runs on that thread. An error raised by a command or notification goes to OnError
// (and is dropped without a handler).
class TWaveOutput {
public:
    using TNotifyEvent = std::function<void(TWaveOutput *Sender)>;
    using TErrorEvent = std::function<void(TWaveOutput *Sender, const std::string &Message)>;

    // Codes of the queued commands and notifications.
    enum TMessage {
        wmStopped = 1525,
        wmStarted = 1526,
        wmUnderrun = 1527,
        wmDeviceLost = 1528, // the device failed while playing: OnError with its text
        wmStop = 1529,
        wmStart = 1530,
    };

    static constexpr int BlockTime = 20; // ms; buffers are whole blocks
    static constexpr int IdleStart = 3;  // inactive buffers before the device closes itself

    TWaveOutput();
    ~TWaveOutput();
    TWaveOutput(const TWaveOutput &) = delete;
    TWaveOutput &operator=(const TWaveOutput &) = delete;

    // 0..DeviceCount-1 a device, -1 the mapper, anything else no device (-2). Stops an open
    // device first and starts it again on the new one. A failed capability query raises
    // "<text>\n\rDeviceID: <id>" and keeps the previous device.
    void SetDevice(int32_t Id);
    // Selects the mapper or the first device whose name equals Name without regard to case;
    // raises "Device <Name> does not exist." and keeps the previous one otherwise. The
    // device is left closed.
    void SelectDeviceByName(const QString &Name);
    // Only on a closed device. Raises the device's text when it refuses the format.
    void SetFormat(int BitsPerSample, int Channels, int SampleRate);
    // Clamped to 2..1000 ms, then rounded to whole 20 ms blocks.
    void SetBufferTime(int Milliseconds);
    void SetSource(TAudioSource *Source);
    void StartAsync();
    // With Wait, processes the UI thread's events until the device is closed (UI thread
    // only).
    void StopAsync(bool Reset, bool Wait);

    bool IsClosed() const { return Handle.load() == nullptr; }
    QString DeviceName() const { return QString::fromUtf8(Caps.szPname); }
    int32_t DeviceId() const { return Id; }
    uint32_t DeviceCount() const { return Count; }
    const WAVEOUTCAPS &Capabilities() const { return Caps; }
    MMRESULT LastResult() const { return Result; }

    int BufferTime() const { return BufferMs; }
    uint32_t BufferBytes() const { return BufferByteCount; }
    uint32_t BufferFrames() const { return BufferFrameCount; }
    uint32_t BlockFrames() const { return BlockFrameCount; }
    int BitsPerSample() const { return Bits; }
    int Channels() const { return ChannelCount; }
    int SampleRate() const { return Rate; }

    // The text of a wave-out result code, "Unknown Error" when there is none.
    static std::string ErrorText(MMRESULT Result);

    TErrorEvent OnError;
    TNotifyEvent OnUnderrun;
    TNotifyEvent OnStarted;
    TNotifyEvent OnStopped;

private:
    friend class TGetWaveBufferThread;

    void Start();
    void Stop(bool Reset);
    void UpdateGeometry();
    WAVEFORMATEX WaveFormat() const;
    void Check(MMRESULT Result);
    void RequestFill(WAVEHDR *Header);
    void Post(int Code, int Param = 0, uint32_t Session = 0, std::string Text = {});
    void WindowProc(int Code, int Param, uint32_t Session, const std::string &Text);
    static void WaveOutProc(HWAVEOUT Handle, uint32_t Msg, uintptr_t Instance, uintptr_t Param1,
                            uintptr_t Param2);
    void BufferDone(WAVEHDR *Header);

    // Refill thread.
    void WriteBuffer(WAVEHDR *Header, uint32_t Session);
    void WriteLocked(WAVEHDR *Header);
    void IdleCheck(bool SourceActive, uint32_t Session);

    int32_t Id = 0;
    std::atomic<HWAVEOUT> Handle{nullptr};
    std::atomic<uint32_t> BufferByteCount{0};
    uint32_t BufferFrameCount = 0;
    int BufferMs = 300;
    uint32_t BlockFrameCount = 0;
    std::atomic<MMRESULT> Result{MMSYSERR_NOERROR};
    bool Closing = false;
    std::recursive_mutex Lock; // Start and Stop
    std::atomic<int> IdleCount{IdleStart};
    WAVEOUTCAPS Caps;
    uint32_t Count = 0;
    int Bits = 0;
    int Rate = 0;
    int ChannelCount = 0; // 0: no format yet

    // Stopping, the session and the last written header change together under WriteLock,
    // so that the refill thread never writes to a device that is being closed, nor a
    // buffer filled for an earlier opening into a later one.
    std::mutex WriteLock;
    std::atomic<bool> Stopping{false};
    std::atomic<uint32_t> Session{0}; // one per opening; 0 is never used
    WAVEHDR *LastWritten = nullptr;
    bool LossReported = false;

    // Stop commands of the UI thread are numbered with the starts, so that a start that an
    // already posted stop would end at once is skipped: clicks faster than the device
    // opens do not open it for nothing.
    std::atomic<uint64_t> PostCount{0};
    std::atomic<uint64_t> LastStopPost{0};

    std::unique_ptr<QObject> Window;
    std::unique_ptr<TMyWaveBuffer> BufferA;
    std::unique_ptr<TMyWaveBuffer> BufferB;
    std::unique_ptr<TGetWaveBufferThread> Thread; // last: it calls into the members above
};
