#include "platform/WaveOutRecorder.h"

#include <algorithm>
#include <thread>

class TRecorderSink : public TWaveOutSink {
public:
    TRecorderSink(TWaveOutRecorder &Owner, const WAVEFORMATEX &Format, double Speed,
                  std::chrono::milliseconds Buffer)
        : owner_(Owner), frameBytes_(Format.nBlockAlign),
          // The device buffer is the lead: a paced device takes the start of a buffer at
          // once, as a sound card fills its own buffer.
          pace_(Format.nSamplesPerSec, Speed,
                uint64_t(Format.nSamplesPerSec) * uint64_t(Buffer.count()) / 1000)
    {
    }
    ~TRecorderSink() override
    {
        std::lock_guard<std::mutex> g(owner_.lock_);
        hearLocked();
        unheard_.clear(); // a close without a drain silences what the device still held
        ++owner_.closes_;
        owner_.lastClose_ = std::chrono::steady_clock::now();
        owner_.changed_.notify_all();
    }

    MMRESULT write(const char *Data, uint32_t Frames, uint32_t &Taken) override
    {
        Taken = 0;
        bool released = false;
        {
            std::unique_lock<std::mutex> g(owner_.lock_);
            if (owner_.hold_) {
                owner_.changed_.wait_for(g, std::chrono::milliseconds(20),
                                         [&] { return !owner_.hold_ || owner_.releases_ > 0; });
                if (owner_.hold_ && owner_.releases_ == 0)
                    return MMSYSERR_NOERROR;
                if (owner_.hold_) {
                    --owner_.releases_;
                    released = true; // a release takes one whole write
                }
            }
        }
        const uint32_t n = released ? Frames : pace_.allow(Frames);
        if (n == 0)
            return MMSYSERR_NOERROR;
        std::lock_guard<std::mutex> g(owner_.lock_);
        size_t bytes = size_t(n) * frameBytes_;
        MMRESULT result = MMSYSERR_NOERROR;
        if (owner_.failAfter_) {
            const size_t room =
                *owner_.failAfter_ > owner_.bytes_.size() ? *owner_.failAfter_ - owner_.bytes_.size() : 0;
            if (bytes >= room) {
                bytes = room / frameBytes_ * frameBytes_;
                result = owner_.failResult_;
            }
        }
        if (!owner_.firstWrite_ && bytes)
            owner_.firstWrite_ = std::chrono::steady_clock::now();
        owner_.bytes_.insert(owner_.bytes_.end(), Data, Data + bytes);
        owner_.writes_.push_back(bytes);
        unheard_.insert(unheard_.end(), Data, Data + bytes);
        Taken = uint32_t(bytes / frameBytes_);
        pace_.taken(Taken);
        hearLocked();
        owner_.changed_.notify_all();
        return result;
    }

    void pause(bool On) override
    {
        if (On)
            return;
        std::lock_guard<std::mutex> g(owner_.lock_);
        pace_.restart();
        hearLocked(); // what was held plays on after the pause
    }
    void drop() override
    {
        std::lock_guard<std::mutex> g(owner_.lock_);
        hearLocked();
        unheard_.clear();
        ++owner_.drops_;
        owner_.changed_.notify_all();
        pace_.restart();
    }
    void drain() override
    {
        for (;;) {
            {
                std::lock_guard<std::mutex> g(owner_.lock_);
                hearLocked();
                if (unheard_.empty())
                    return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    uint32_t delay() override
    {
        std::lock_guard<std::mutex> g(owner_.lock_);
        hearLocked();
        return uint32_t(unheard_.size() / frameBytes_);
    }

private:
    // Moves what the clock has passed from the device's own buffer to what was heard.
    void hearLocked()
    {
        if (owner_.clockStopped_)
            return;
        const size_t held = std::min(unheard_.size(), size_t(pace_.ahead()) * frameBytes_);
        const size_t played = unheard_.size() - held;
        if (played == 0)
            return;
        owner_.heard_.insert(owner_.heard_.end(), unheard_.begin(),
                             unheard_.begin() + std::ptrdiff_t(played));
        unheard_.erase(unheard_.begin(), unheard_.begin() + std::ptrdiff_t(played));
        owner_.changed_.notify_all();
    }

    TWaveOutRecorder &owner_;
    uint32_t frameBytes_;
    TWaveOutPace pace_;
    std::vector<uint8_t> unheard_; // taken, not yet played
};

TWaveOutRecorder::TWaveOutRecorder(std::vector<std::string> Devices) : devices_(std::move(Devices)) {}

TWaveOutDevices TWaveOutRecorder::devices()
{
    std::lock_guard<std::mutex> g(lock_);
    return {devices_, "default"};
}

MMRESULT TWaveOutRecorder::query(const std::string &, const WAVEFORMATEX &)
{
    std::lock_guard<std::mutex> g(lock_);
    return queryFailure_;
}

MMRESULT TWaveOutRecorder::open(const std::string &Device, const WAVEFORMATEX &Format,
                                std::unique_ptr<TWaveOutSink> &Sink)
{
    std::lock_guard<std::mutex> g(lock_);
    if (openFailure_ != MMSYSERR_NOERROR)
        return openFailure_;
    ++opens_;
    lastDevice_ = Device;
    lastFormat_ = Format;
    Sink = std::make_unique<TRecorderSink>(*this, Format, speed_, deviceBuffer_);
    changed_.notify_all();
    return MMSYSERR_NOERROR;
}

void TWaveOutRecorder::setDevices(std::vector<std::string> Devices)
{
    std::lock_guard<std::mutex> g(lock_);
    devices_ = std::move(Devices);
}

void TWaveOutRecorder::setSpeed(double Speed)
{
    std::lock_guard<std::mutex> g(lock_);
    speed_ = Speed;
}

void TWaveOutRecorder::setDeviceBuffer(std::chrono::milliseconds Buffer)
{
    std::lock_guard<std::mutex> g(lock_);
    deviceBuffer_ = Buffer;
}

void TWaveOutRecorder::setHold(bool Hold)
{
    std::lock_guard<std::mutex> g(lock_);
    hold_ = Hold;
    releases_ = 0;
    changed_.notify_all();
}

void TWaveOutRecorder::release(int Writes)
{
    std::lock_guard<std::mutex> g(lock_);
    releases_ += Writes;
    changed_.notify_all();
}

void TWaveOutRecorder::failOpen(MMRESULT Result)
{
    std::lock_guard<std::mutex> g(lock_);
    openFailure_ = Result;
}

void TWaveOutRecorder::failQuery(MMRESULT Result)
{
    std::lock_guard<std::mutex> g(lock_);
    queryFailure_ = Result;
}

void TWaveOutRecorder::failAfter(size_t Bytes, MMRESULT Result)
{
    std::lock_guard<std::mutex> g(lock_);
    failAfter_ = Bytes;
    failResult_ = Result;
}

void TWaveOutRecorder::stopClock(bool Stopped)
{
    std::lock_guard<std::mutex> g(lock_);
    clockStopped_ = Stopped;
    changed_.notify_all();
}

void TWaveOutRecorder::heal()
{
    std::lock_guard<std::mutex> g(lock_);
    openFailure_ = MMSYSERR_NOERROR;
    failAfter_.reset();
}

std::vector<uint8_t> TWaveOutRecorder::heard() const
{
    std::lock_guard<std::mutex> g(lock_);
    return heard_;
}

std::vector<uint8_t> TWaveOutRecorder::recorded() const
{
    std::lock_guard<std::mutex> g(lock_);
    return bytes_;
}

size_t TWaveOutRecorder::recordedSize() const
{
    std::lock_guard<std::mutex> g(lock_);
    return bytes_.size();
}

std::vector<size_t> TWaveOutRecorder::writeSizes() const
{
    std::lock_guard<std::mutex> g(lock_);
    return writes_;
}

int TWaveOutRecorder::opens() const
{
    std::lock_guard<std::mutex> g(lock_);
    return opens_;
}

int TWaveOutRecorder::closes() const
{
    std::lock_guard<std::mutex> g(lock_);
    return closes_;
}

int TWaveOutRecorder::drops() const
{
    std::lock_guard<std::mutex> g(lock_);
    return drops_;
}

std::string TWaveOutRecorder::lastDevice() const
{
    std::lock_guard<std::mutex> g(lock_);
    return lastDevice_;
}

WAVEFORMATEX TWaveOutRecorder::lastFormat() const
{
    std::lock_guard<std::mutex> g(lock_);
    return lastFormat_;
}

std::optional<std::chrono::steady_clock::time_point> TWaveOutRecorder::firstWrite() const
{
    std::lock_guard<std::mutex> g(lock_);
    return firstWrite_;
}

std::optional<std::chrono::steady_clock::time_point> TWaveOutRecorder::lastClose() const
{
    std::lock_guard<std::mutex> g(lock_);
    return lastClose_;
}

void TWaveOutRecorder::clear()
{
    std::lock_guard<std::mutex> g(lock_);
    bytes_.clear();
    heard_.clear();
    writes_.clear();
    opens_ = closes_ = drops_ = 0;
    firstWrite_.reset();
    lastClose_.reset();
}

bool TWaveOutRecorder::waitFor(const std::function<bool()> &Predicate,
                               std::chrono::milliseconds Timeout) const
{
    std::unique_lock<std::mutex> g(lock_);
    return changed_.wait_for(g, Timeout, Predicate);
}
