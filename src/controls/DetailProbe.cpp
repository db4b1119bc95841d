#include "controls/DetailProbe.h"

#include "platform/Exception.h"
#include "probe/FileProbes.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace {

// More outcomes than any folder holds; beyond it the cache starts again.
constexpr qsizetype kCacheLimit = 200000;
// Outcomes handed over together to a caller waiting in Finish.
constexpr size_t kHandOverBatch = 256;

int32_t Clamp32(int64_t value)
{
    return int32_t(std::clamp<int64_t>(value, 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

TProbeOutcome ProbeFileDetails(TColumnType type, const QByteArray &path, bool listedRegular)
{
    TProbeOutcome outcome;
    try {
        if (!path.isValidUtf8())
            throw EModwright("Cannot open file \"" + QFile::decodeName(path).toStdString() +
                             "\". The file name is not valid UTF-8.");
        const std::string shown = path.toStdString();
        // A device or FIFO is never opened: the listing has just looked at the entry. One
        // that took a regular file's place since is refused by the probes' own check.
        if (!listedRegular)
            throw EModwright("Cannot open file \"" + shown + "\". Not a regular file");
        if (type == ctImages) {
            const TImageInfo info = ProbeImageFile(path.constData(), shown);
            outcome.Slots[0] = info.Width;
            outcome.Slots[1] = info.Height;
            outcome.Slots[2] = info.BitsPerPixel;
        } else if (type == ctAudio) {
            const TAudioFormat format = ProbeAudioFile(path.constData(), shown);
            outcome.Slots[0] = Clamp32(format.FrameCount);
            outcome.Slots[1] = Clamp32(format.SampleRate);
            outcome.Slots[2] = format.BitsPerSample;
            outcome.Slots[3] = format.Channels;
        }
    } catch (const std::exception &e) {
        outcome.Failed = true;
        outcome.Error = QString::fromUtf8(e.what());
    } catch (...) {
        outcome.Failed = true;
        outcome.Error = QStringLiteral("Unknown error.");
    }
    return outcome;
}

TDetailProbe::TDetailProbe(QObject *parent) : QObject(parent)
{
    // Two: one file that does not answer leaves the other thread working, and on a local
    // disk the opens of two threads overlap.
    for (int i = 0; i < 2; ++i)
        threads_.emplace_back([this] { Run(); });
}

TDetailProbe::~TDetailProbe()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    work_.notify_all();
    for (std::thread &t : threads_)
        t.join();
}

bool TDetailProbe::Cached(const TRequest &request, TProbeOutcome &outcome) const
{
    std::lock_guard lock(mutex_);
    auto it = cache_.constFind(KeyOf(request));
    if (it == cache_.constEnd())
        return false;
    outcome = *it;
    return true;
}

void TDetailProbe::Submit(std::vector<TRequest> requests)
{
    if (requests.empty())
        return;
    {
        std::lock_guard lock(mutex_);
        for (TRequest &r : requests)
            queue_.emplace_back(generation_, std::move(r));
    }
    work_.notify_all();
}

void TDetailProbe::Cancel()
{
    std::lock_guard lock(mutex_);
    ++generation_;
    queue_.clear();
    ready_.clear();
}

bool TDetailProbe::Finish(int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    // Hands over the outcomes as they come, so that the rows take them in while the
    // threads go on probing, instead of all at once at the end.
    for (;;) {
        bool empty, timedOut;
        {
            std::unique_lock lock(mutex_);
            timedOut = !idle_.wait_until(lock, deadline, [this] {
                return (queue_.empty() && inFlight_ == 0) || ready_.size() >= kHandOverBatch;
            });
            empty = queue_.empty() && inFlight_ == 0;
        }
        Deliver();
        if (empty || timedOut)
            return empty;
    }
}

bool TDetailProbe::Busy() const
{
    std::lock_guard lock(mutex_);
    return !queue_.empty() || inFlight_ != 0 || !ready_.empty();
}

uint64_t TDetailProbe::ProbesRun() const
{
    std::lock_guard lock(mutex_);
    return probesRun_;
}

void TDetailProbe::ClearCache()
{
    std::lock_guard lock(mutex_);
    cache_.clear();
}

void TDetailProbe::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        auto [generation, request] = std::move(queue_.front());
        queue_.pop_front();
        ++inFlight_;
        const TKey key = KeyOf(request);
        auto known = cache_.constFind(key);
        TProbeOutcome outcome;
        if (known != cache_.constEnd()) {
            outcome = *known;
        } else {
            lock.unlock();
            outcome = ProbeFileDetails(request.Type, request.Path, request.Regular);
            lock.lock();
            ++probesRun_;
            if (cache_.size() >= kCacheLimit)
                cache_.clear();
            cache_.insert(key, outcome);
        }
        --inFlight_;
        if (generation == generation_ && !stop_) {
            ready_.push_back({request.Serial, std::move(outcome)});
            if (!deliverPosted_) {
                deliverPosted_ = true;
                QMetaObject::invokeMethod(
                    this, [this] { Deliver(); }, Qt::QueuedConnection);
            }
        }
        if ((queue_.empty() && inFlight_ == 0) || ready_.size() == kHandOverBatch)
            idle_.notify_all();
    }
}

void TDetailProbe::Deliver()
{
    std::vector<TResult> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(ready_);
        deliverPosted_ = false;
    }
    if (!batch.empty() && OnResults)
        OnResults(batch);
}
