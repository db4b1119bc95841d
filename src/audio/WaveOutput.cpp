#include "audio/WaveOutput.h"

#include "platform/Exception.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

namespace {

constexpr const char *unitName = "AudioDevice";

// Rounds to nearest with ties to even, as the buffer geometry asks.
long roundEven(double Value)
{
    return std::lrint(Value); // the default rounding mode is to nearest, ties to even
}

} // namespace

TWaveOutput::TWaveOutput()
{
    Count = waveOutGetNumDevs();
    Window = std::make_unique<QObject>();
    BufferMs = 300;
    SetDevice(-2);
    BufferA = std::make_unique<TMyWaveBuffer>(this);
    BufferB = std::make_unique<TMyWaveBuffer>(this);
    Thread = std::make_unique<TGetWaveBufferThread>(this);
}

TWaveOutput::~TWaveOutput()
{
    if (!IsClosed())
        Stop(true);
    Thread.reset();
    Window.reset(); // drops the commands and notifications still queued
}

std::string TWaveOutput::ErrorText(MMRESULT Result)
{
    char text[256];
    if (waveOutGetErrorText(Result, text, 255) != MMSYSERR_NOERROR)
        return "Unknown Error";
    return text;
}

void TWaveOutput::Check(MMRESULT Result)
{
    this->Result = Result;
    if (Result != MMSYSERR_NOERROR)
        throw EModwright(ErrorText(Result));
}

void TWaveOutput::SetDevice(int32_t NewId)
{
    if (NewId == Id)
        return;
    const bool wasOpen = !IsClosed();
    if (wasOpen)
        Stop(true);
    if ((NewId >= 0 && uint32_t(NewId) < Count) || NewId == -1) {
        WAVEOUTCAPS caps;
        const MMRESULT r = waveOutGetDevCaps(NewId == -1 ? WAVE_MAPPER : uint32_t(NewId), &caps, sizeof caps);
        Result = r;
        if (r != MMSYSERR_NOERROR)
            throw EModwright(ErrorText(r) + "\n\r" + "DeviceID: " + std::to_string(NewId));
        Id = NewId;
        Caps = caps;
        if (wasOpen)
            StartAsync();
    } else {
        Id = -2;
        Caps = WAVEOUTCAPS();
    }
    UpdateGeometry();
}

void TWaveOutput::SelectDeviceByName(const QString &Name)
{
    if (!IsClosed())
        StopAsync(true, true);
    const int32_t previous = Id;
    auto matches = [&] { return DeviceName().compare(Name, Qt::CaseInsensitive) == 0; };
    SetDevice(-1);
    if (matches())
        return;
    for (uint32_t i = 0; i < Count; ++i) {
        try {
            SetDevice(int32_t(i));
        } catch (const EModwright &) {
            continue; // a device that cannot be asked is not the one sought
        }
        if (matches())
            return;
    }
    SetDevice(previous);
    throw EModwright("Device " + Name.toStdString() + " does not exist.");
}

void TWaveOutput::SetFormat(int BitsPerSample, int Channels, int SampleRate)
{
    Assert(IsClosed(), unitName);
    const int oldBits = Bits, oldChannels = ChannelCount, oldRate = Rate;
    Bits = BitsPerSample;
    ChannelCount = Channels;
    Rate = SampleRate;
    const WAVEFORMATEX format = WaveFormat();
    const MMRESULT r =
        waveOutOpen(nullptr, Id == -1 ? WAVE_MAPPER : uint32_t(Id), &format, 0, 0, WAVE_FORMAT_QUERY);
    Result = r;
    if (r != MMSYSERR_NOERROR) {
        Bits = oldBits;
        ChannelCount = oldChannels;
        Rate = oldRate;
        throw EModwright(ErrorText(r));
    }
    UpdateGeometry();
}

void TWaveOutput::SetBufferTime(int Milliseconds)
{
    BufferMs = std::clamp(Milliseconds, 2, 1000);
    UpdateGeometry();
}

void TWaveOutput::SetSource(TAudioSource *Source)
{
    Thread->SetSource(Source);
}

void TWaveOutput::UpdateGeometry()
{
    if (ChannelCount == 0 || Rate <= 0)
        return;
    const uint32_t frameBytes = uint32_t(ChannelCount) * uint32_t(Bits / 8);
    BlockFrameCount = uint32_t(std::max(1L, roundEven(BlockTime / 1000.0 * Rate)));
    const long frames = roundEven(BufferMs / 1000.0 * Rate);
    long bufferFrames = roundEven(double(frames) / BlockFrameCount) * long(BlockFrameCount);
    bufferFrames = std::max(bufferFrames, long(BlockFrameCount));
    // A buffer never outgrows the fixed buffer memory (formats above 48 kHz stereo with
    // long buffer times would): then it is as many whole blocks as fit.
    const long maxFrames = frameBytes ? long(TMyWaveBuffer::DataSize / frameBytes) : bufferFrames;
    if (bufferFrames > maxFrames)
        bufferFrames =
            maxFrames >= long(BlockFrameCount) ? maxFrames / BlockFrameCount * BlockFrameCount : maxFrames;
    BufferFrameCount = uint32_t(bufferFrames);
    BufferMs = int(roundEven(double(BufferFrameCount) / Rate * 1000));
    BufferByteCount = BufferFrameCount * frameBytes;
}

WAVEFORMATEX TWaveOutput::WaveFormat() const
{
    WAVEFORMATEX f;
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = uint16_t(ChannelCount);
    f.nSamplesPerSec = uint32_t(Rate);
    f.nBlockAlign = uint16_t(Bits / 8 * ChannelCount);
    f.nAvgBytesPerSec = f.nBlockAlign * f.nSamplesPerSec;
    f.wBitsPerSample = uint16_t(Bits);
    f.cbSize = 0;
    return f;
}

void TWaveOutput::Post(int Code, int Param, uint32_t ForSession, std::string Text)
{
    QMetaObject::invokeMethod(
        Window.get(), [this, Code, Param, ForSession, Text] { WindowProc(Code, Param, ForSession, Text); },
        Qt::QueuedConnection);
}

void TWaveOutput::StartAsync()
{
    const uint64_t number = ++PostCount;
    QMetaObject::invokeMethod(
        Window.get(),
        [this, number] {
            if (LastStopPost > number)
                return; // a stop posted after this start would end it at once
            WindowProc(wmStart, 0, 0, {});
        },
        Qt::QueuedConnection);
}

void TWaveOutput::StopAsync(bool Reset, bool Wait)
{
    LastStopPost = ++PostCount;
    Post(wmStop, Reset ? 1 : 0);
    if (!Wait)
        return;
    Assert(QThread::currentThread() == Window->thread(), unitName);
    while (!IsClosed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::ExcludeUserInputEvents);
}

void TWaveOutput::WindowProc(int Code, int Param, uint32_t ForSession, const std::string &Text)
{
    try {
        switch (Code) {
        case wmStopped:
            if (OnStopped)
                OnStopped(this);
            break;
        case wmStarted:
            if (OnStarted)
                OnStarted(this);
            break;
        case wmUnderrun:
            if (OnUnderrun)
                OnUnderrun(this);
            break;
        case wmDeviceLost:
            throw EModwright(Text);
        case wmStop:
            // A stop of the refill thread is meant for the opening it saw.
            if (ForSession == 0 || ForSession == Session)
                Stop(Param == 1);
            break;
        case wmStart:
            Start();
            break;
        default:
            break;
        }
    } catch (const std::exception &e) {
        if (OnError)
            OnError(this, e.what());
    }
}

void TWaveOutput::Start()
{
    Assert(Id != -2, unitName);
    std::lock_guard<std::recursive_mutex> g(Lock);
    if (!IsClosed()) {
        // Already playing: the circulating buffers carry the source's new sound.
        IdleCount = IdleStart;
        return;
    }
    {
        std::lock_guard<std::mutex> w(WriteLock);
        Stopping = false;
        uint32_t next = Session + 1;
        Session = next == 0 ? 1 : next;
        LossReported = false;
    }
    IdleCount = IdleStart;
    const WAVEFORMATEX format = WaveFormat();
    HWAVEOUT h = nullptr;
    const MMRESULT r = waveOutOpen(&h, Id == -1 ? WAVE_MAPPER : uint32_t(Id), &format,
                                   reinterpret_cast<uintptr_t>(&TWaveOutput::WaveOutProc),
                                   reinterpret_cast<uintptr_t>(this), CALLBACK_FUNCTION);
    Result = r;
    if (r != MMSYSERR_NOERROR)
        throw EModwright("Cannot open the device " + DeviceName().toStdString() + ".");
    Handle = h;
    try {
        Check(waveOutPause(h));
        for (TMyWaveBuffer *b : {BufferA.get(), BufferB.get()}) {
            b->Header()->dwBufferLength = TMyWaveBuffer::DataSize;
            b->Header()->dwFlags = 0;
            Check(waveOutPrepareHeader(h, b->Header(), sizeof(WAVEHDR)));
        }
        {
            std::lock_guard<std::mutex> w(WriteLock);
            LastWritten = BufferB->Header();
        }
        RequestFill(BufferA->Header());
        // The refill thread must take the first request before the second one overwrites
        // the slot. A fixed pause of 20 ms is not always enough on a loaded machine, and
        // a lost first request starts the sound with 16 bytes of the previous one; so wait
        // for the take itself (it is quick), up to a limit beyond which the underrun
        // filler covers the loss.
        Thread->WaitTaken(std::chrono::milliseconds(1000));
        Check(waveOutRestart(h));
        RequestFill(BufferB->Header());
    } catch (...) {
        // A device that did not start is not kept open: nothing would ever close it.
        Stop(true);
        throw;
    }
    Post(wmStarted);
}

void TWaveOutput::Stop(bool Reset)
{
    if (Closing)
        return;
    std::lock_guard<std::recursive_mutex> g(Lock);
    Closing = true;
    struct TRelease {
        TWaveOutput *self;
        ~TRelease()
        {
            self->Handle = nullptr;
            self->Closing = false;
        }
    } release{this};
    HWAVEOUT h = Handle;
    if (!h)
        return;
    {
        std::lock_guard<std::mutex> w(WriteLock);
        Stopping = true;
    }
    if (Reset)
        Result = waveOutReset(h);
    waveOutUnprepareHeader(h, BufferA->Header(), sizeof(WAVEHDR));
    waveOutUnprepareHeader(h, BufferB->Header(), sizeof(WAVEHDR));
    for (int tries = 0; waveOutClose(h) == WAVERR_STILLPLAYING; ++tries) {
        // Without a reset the queued buffers play out; a device that never finishes
        // (held in pause) is reset after a while rather than waited for forever.
        if (tries == 40)
            waveOutReset(h);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // A refill taken just before the stop would otherwise still read from the source, and
    // a sound started next would lose its beginning to a buffer that is never played.
    Thread->Flush();
    Post(wmStopped);
}

void TWaveOutput::RequestFill(WAVEHDR *Header)
{
    const uint32_t bytes = BufferByteCount;
    Header->dwBufferLength = bytes;
    Thread->Request(Header, bytes, Session);
}

void TWaveOutput::WaveOutProc(HWAVEOUT, uint32_t Msg, uintptr_t Instance, uintptr_t Param1, uintptr_t)
{
    if (Msg == WOM_DONE)
        reinterpret_cast<TWaveOutput *>(Instance)->BufferDone(reinterpret_cast<WAVEHDR *>(Param1));
}

// The device's callback thread: a played buffer goes straight back to the refill thread.
void TWaveOutput::BufferDone(WAVEHDR *Header)
{
    if (Stopping)
        return;
    if (Thread->Busy())
        Post(wmUnderrun); // both buffers drained while one was still being filled
    RequestFill(Header);
}

void TWaveOutput::WriteBuffer(WAVEHDR *Header, uint32_t ForSession)
{
    std::lock_guard<std::mutex> w(WriteLock);
    if (Stopping || ForSession != Session)
        return;
    if (Header == LastWritten) {
        // Two completions overwrote the single request slot, so the other buffer was never
        // refilled: write a token 16 bytes of it so that both stay in circulation.
        Post(wmUnderrun);
        WAVEHDR *other = Header == BufferA->Header() ? BufferB->Header() : BufferA->Header();
        other->dwBufferLength = 16;
        WriteLocked(other);
    }
    LastWritten = Header;
    WriteLocked(Header);
}

void TWaveOutput::WriteLocked(WAVEHDR *Header)
{
    const MMRESULT r = waveOutWrite(Handle, Header, sizeof(WAVEHDR));
    Result = r;
    if (r == MMSYSERR_NOERROR || r == WAVERR_STILLPLAYING || LossReported)
        return;
    // The device failed under us (unplugged, taken away): say so once and close it.
    LossReported = true;
    Post(wmDeviceLost, 0, 0, ErrorText(r));
    Post(wmStop, 1, Session);
}

void TWaveOutput::IdleCheck(bool SourceActive, uint32_t ForSession)
{
    std::lock_guard<std::mutex> w(WriteLock);
    if (Stopping || ForSession != Session)
        return;
    if (SourceActive) {
        IdleCount = IdleStart;
        return;
    }
    if (--IdleCount <= 0)
        Post(wmStop, 1, Session);
}
