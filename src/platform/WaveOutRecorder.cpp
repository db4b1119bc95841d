#include "platform/WaveOutRecorder.h"

#include <algorithm>

class TRecorderSink : public TWaveOutSink {
public:
    TRecorderSink(TWaveOutRecorder &Owner, const WAVEFORMATEX &Format, double Speed)
        : owner_(Owner), frameBytes_(Format.nBlockAlign),
          // A small lead, like a sound card's own buffer, so that a paced device takes
          // the start of a buffer at once.
          pace_(Format.nSamplesPerSec, Speed, Format.nSamplesPerSec / 100)
    {
    }
    ~TRecorderSink() override
    {
        std::lock_guard<std::mutex> g(owner_.lock_);
        ++owner_.closes_;
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
        Taken = uint32_t(bytes / frameBytes_);
        pace_.taken(Taken);
        owner_.changed_.notify_all();
        return result;
    }

    void pause(bool On) override
    {
        if (!On)
            pace_.restart();
    }
    void drop() override
    {
        std::lock_guard<std::mutex> g(owner_.lock_);
        ++owner_.drops_;
        owner_.changed_.notify_all();
        pace_.restart();
    }
    void drain() override {}

private:
    TWaveOutRecorder &owner_;
    uint32_t frameBytes_;
    TWaveOutPace pace_;
};

TWaveOutRecorder::TWaveOutRecorder(std::vector<std::string> Devices) : devices_(std::move(Devices)) {}

std::vector<std::string> TWaveOutRecorder::playbackDevices()
{
    std::lock_guard<std::mutex> g(lock_);
    return devices_;
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
    Sink = std::make_unique<TRecorderSink>(*this, Format, speed_);
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

void TWaveOutRecorder::clear()
{
    std::lock_guard<std::mutex> g(lock_);
    bytes_.clear();
    writes_.clear();
    opens_ = closes_ = drops_ = 0;
    firstWrite_.reset();
}

bool TWaveOutRecorder::waitFor(const std::function<bool()> &Predicate,
                               std::chrono::milliseconds Timeout) const
{
    std::unique_lock<std::mutex> g(lock_);
    return changed_.wait_for(g, Timeout, Predicate);
}
