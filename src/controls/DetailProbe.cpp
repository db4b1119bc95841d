#include "controls/DetailProbe.h"

#include "platform/Exception.h"
#include "probe/FileProbes.h"

#include <QFile>
#include <algorithm>
#include <limits>

namespace {

// More outcomes than any folder holds; beyond it the cache starts again.
constexpr qsizetype kCacheLimit = 200000;
// Outcomes handed over together to a caller waiting in Finish.
constexpr size_t kHandOverBatch = 256;
// Probe threads per view (why two: see the constructor).
constexpr size_t kThreads = 2;
// Requests a probe thread takes from the queue at a time.
constexpr size_t kTakeAtOnce = 8;

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
    for (size_t i = 0; i < kThreads; ++i)
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

std::vector<TDetailProbe::TResult> TDetailProbe::Submit(std::vector<TRequest> requests)
{
    std::vector<TResult> answered;
    bool queued = false;
    {
        std::lock_guard lock(mutex_);
        for (TRequest &r : requests) {
            auto known = cache_.constFind(KeyOf(r));
            if (known != cache_.constEnd()) {
                answered.push_back({r.Serial, *known});
            } else {
                queue_.emplace_back(generation_, std::move(r));
                queued = true;
            }
        }
    }
    if (queued)
        work_.notify_all();
    return answered;
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
    std::vector<std::pair<uint64_t, TRequest>> taken;
    std::vector<TProbeOutcome> outcomes;
    std::unique_lock lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        // A few requests per trip through the lock, which the other thread and the
        // window's take too; few enough that the others wait little behind a slow file.
        const size_t take = std::clamp<size_t>(queue_.size() / kThreads, 1, kTakeAtOnce);
        taken.clear();
        for (size_t i = 0; i < take; ++i) {
            taken.push_back(std::move(queue_.front()));
            queue_.pop_front();
        }
        inFlight_ += int(take);
        lock.unlock();
        outcomes.clear();
        for (const auto &[generation, request] : taken)
            outcomes.push_back(ProbeFileDetails(request.Type, request.Path, request.Regular));
        lock.lock();
        inFlight_ -= int(take);
        probesRun_ += take;
        if (cache_.size() + qsizetype(take) > kCacheLimit)
            cache_.clear();
        for (size_t i = 0; i < take; ++i) {
            const auto &[generation, request] = taken[i];
            cache_.insert(KeyOf(request), outcomes[i]);
            if (generation == generation_ && !stop_)
                ready_.push_back({request.Serial, std::move(outcomes[i])});
        }
        if (!ready_.empty() && !deliverPosted_) {
            deliverPosted_ = true;
            QMetaObject::invokeMethod(
                this, [this] { Deliver(); }, Qt::QueuedConnection);
        }
        if ((queue_.empty() && inFlight_ == 0) || ready_.size() >= kHandOverBatch)
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
