#include "controls/FolderLister.h"

#include <QPointer>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Items go over in groups, so that a fast folder costs few hand-overs, and at least this
// often, so that on a slow one each row shows as soon as its entry has been looked at.
constexpr size_t kBatch = 256;
constexpr auto kHandOverInterval = std::chrono::milliseconds(20);

} // namespace

// Shared by the lister and its thread, which may outlive the lister while a look hangs.
struct TFolderLister::TJob {
    std::mutex mutex;
    std::condition_variable changed; // items are ready, or the listing has ended
    std::vector<TEnumItem> ready;
    bool finished = false; // the thread has read the last entry
    bool cancelled = false;
    bool deliverPosted = false;
    bool doneHandedOver = false;
    QPointer<TFolderLister> owner;
};

TFolderLister::TFolderLister(QObject *parent) : QObject(parent) {}

TFolderLister::~TFolderLister()
{
    Cancel();
}

void TFolderLister::Start(std::shared_ptr<TShellFolder> folder, std::unique_ptr<TShellEnum> items,
                          TEnumFilter filter)
{
    Cancel();
    auto job = std::make_shared<TJob>();
    job->owner = this;
    job_ = job;
    // The owner's test runs only while the listing is wanted, under the job's lock, so that
    // Cancel() is the last word.
    if (filter.CanAdd)
        filter.CanAdd = [job, canAdd = std::move(filter.CanAdd)](const TFindData &data) {
            std::lock_guard lock(job->mutex);
            return !job->cancelled && canAdd(data);
        };
    std::thread([job, folder = std::move(folder), items = std::move(items), filter = std::move(filter)] {
        TItemIdList relative;
        std::vector<TEnumItem> batch;
        auto lastHandOver = std::chrono::steady_clock::now();
        auto handOver = [&job, &batch, &lastHandOver](bool last) {
            lastHandOver = std::chrono::steady_clock::now();
            std::lock_guard lock(job->mutex);
            if (job->cancelled)
                return false;
            for (TEnumItem &item : batch)
                job->ready.push_back(std::move(item));
            batch.clear();
            job->finished = last;
            job->changed.notify_all();
            if (!job->deliverPosted && job->owner) {
                job->deliverPosted = true;
                TFolderLister *owner = job->owner.data();
                QMetaObject::invokeMethod(
                    owner, [owner, job] { owner->Deliver(job); }, Qt::QueuedConnection);
            }
            return true;
        };
        try {
            while (items->Next(relative)) {
                TEnumItem item;
                if (ReadEnumItem(*folder, *items, filter, std::move(relative), item))
                    batch.push_back(std::move(item));
                const bool due =
                    batch.size() >= kBatch ||
                    (!batch.empty() && std::chrono::steady_clock::now() - lastHandOver >= kHandOverInterval);
                if (due && !handOver(false))
                    return;
            }
        } catch (const std::exception &) {
            // An entry that cannot be read ends the listing with what was read.
        }
        handOver(true);
    }).detach();
}

void TFolderLister::Cancel()
{
    if (!job_)
        return;
    {
        std::lock_guard lock(job_->mutex);
        job_->cancelled = true;
        job_->ready.clear();
        job_->owner = nullptr;
    }
    job_->changed.notify_all();
    job_.reset();
}

bool TFolderLister::Finish(int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    // Hands over each group as it comes, so that the rows' probes start while the lister
    // goes on reading.
    while (job_) {
        const std::shared_ptr<TJob> job = job_;
        bool timedOut;
        {
            std::unique_lock lock(job->mutex);
            timedOut = !job->changed.wait_until(
                lock, deadline, [&job] { return !job->ready.empty() || job->finished || job->cancelled; });
        }
        Deliver(job);
        if (timedOut)
            break;
    }
    return !job_;
}

bool TFolderLister::Busy() const
{
    return job_ != nullptr;
}

void TFolderLister::Deliver(const std::shared_ptr<TJob> &job)
{
    if (job != job_)
        return; // a listing replaced since
    std::vector<TEnumItem> batch;
    bool done;
    {
        std::lock_guard lock(job->mutex);
        batch.swap(job->ready);
        job->deliverPosted = false;
        done = job->finished && !job->doneHandedOver;
        if (done)
            job->doneHandedOver = true;
    }
    if (!batch.empty() && OnItems)
        OnItems(batch);
    if (done && job == job_) {
        job_.reset();
        if (OnDone)
            OnDone();
    }
}
