#include "controls/FolderWatchThread.h"

#include <QHash>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using TClock = std::chrono::steady_clock;

// Names created, deleted or renamed, contents written, times or modes changed; the
// folder itself deleted, renamed or unmounted.
constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY | IN_ATTRIB |
                                IN_CLOSE_WRITE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;
constexpr uint32_t kGoneMask = IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT | IN_IGNORED;

// A steady stream of changes (a file being recorded) still gets a pass this many settle
// delays after its first change.
constexpr int kMaxDelayFactor = 4;

void Drain(int fd)
{
    uint64_t value;
    while (::read(fd, &value, sizeof value) > 0) {
    }
}

} // namespace

TFolderWatchThread::TFolderWatchThread(TFolderWatchClient &view, int settleDelayMs)
    : view_(view), settleDelay_(settleDelayMs)
{
    inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    wake_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    thread_ = std::thread([this] { Execute(); });
}

TFolderWatchThread::~TFolderWatchThread()
{
    terminated_ = true;
    StopWatching();
    thread_.join();
    if (inotify_ >= 0)
        ::close(inotify_);
    if (wake_ >= 0)
        ::close(wake_);
}

void TFolderWatchThread::Signal()
{
    if (wake_ < 0)
        return;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
}

void TFolderWatchThread::StopWatching()
{
    {
        std::lock_guard lock(mutex_);
        watched_.reset();
        ++watchGeneration_;
    }
    Signal();
}

void TFolderWatchThread::WatchCurrentFolder(std::shared_ptr<TShellFolder> folder)
{
    {
        std::lock_guard lock(mutex_);
        watched_ = std::move(folder);
        ++watchGeneration_;
        suspended_ = false;
    }
    Signal();
}

void TFolderWatchThread::SuspendRefresh()
{
    suspended_ = true;
}

void TFolderWatchThread::ResumeRefresh()
{
    suspended_ = false;
    Signal();
}

void TFolderWatchThread::Execute()
{
    if (!Available())
        return;
    while (!terminated_) {
        std::shared_ptr<TShellFolder> folder;
        uint64_t generation;
        {
            std::lock_guard lock(mutex_);
            folder = watched_;
            generation = watchGeneration_;
        }
        const auto changedFolder = [&] {
            std::lock_guard lock(mutex_);
            return watchGeneration_ != generation;
        };
        const QByteArray path = folder ? folder->FileSystemPath() : QByteArray();
        if (path.isEmpty()) {
            // Idle: nothing to watch until the view names a folder.
            pollfd wake{wake_, POLLIN, 0};
            if (!changedFolder() && !terminated_)
                ::poll(&wake, 1, -1);
            Drain(wake_);
            continue;
        }
        const int wd = ::inotify_add_watch(inotify_, path.constData(), kWatchMask);
        if (wd < 0) {
            const bool vanished = errno == ENOENT || errno == ENOTDIR;
            // Not watchable (no permission, out of watches): idle until asked again. Gone
            // since it was listed: the view climbs to a folder that exists.
            {
                std::lock_guard lock(mutex_);
                if (watchGeneration_ == generation)
                    watched_.reset();
            }
            if (vanished && !terminated_)
                view_.PostQuietRefresh();
            continue;
        }
        // Changes between the listing and this moment left no event: the first pass, one
        // settle delay from now, compares the rows with the disk once.
        bool pending = true;
        bool gone = false;
        TClock::time_point firstChange = TClock::now(), lastChange = firstChange;
        while (!terminated_ && !gone && !changedFolder()) {
            int timeout = -1;
            const auto due = [&] {
                return std::min(lastChange + std::chrono::milliseconds(settleDelay_),
                                firstChange + std::chrono::milliseconds(settleDelay_ * kMaxDelayFactor));
            };
            if (pending)
                timeout = int(std::max<int64_t>(
                    0, std::chrono::duration_cast<std::chrono::milliseconds>(due() - TClock::now()).count() +
                           1));
            pollfd fds[2] = {{inotify_, POLLIN, 0}, {wake_, POLLIN, 0}};
            if (::poll(fds, 2, timeout) < 0 && errno != EINTR)
                break;
            if (fds[1].revents & POLLIN) {
                Drain(wake_);
                // A resume: pending changes get their pass one settle delay from now.
                if (pending)
                    lastChange = TClock::now();
            }
            if (fds[0].revents & POLLIN) {
                alignas(inotify_event) char buffer[16384];
                bool changed = false;
                for (;;) {
                    const ssize_t n = ::read(inotify_, buffer, sizeof buffer);
                    if (n <= 0)
                        break;
                    for (ssize_t at = 0; at < n;) {
                        const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                        at += ssize_t(sizeof(inotify_event) + event->len);
                        if (event->mask & IN_Q_OVERFLOW)
                            changed = true; // events were lost: the pass compares everything anyway
                        else if (event->wd != wd)
                            continue; // left over from a folder watched before
                        else if (event->mask & kGoneMask)
                            gone = true;
                        else
                            changed = true;
                    }
                }
                if (changed) {
                    const auto now = TClock::now();
                    if (!pending)
                        firstChange = now;
                    pending = true;
                    lastChange = now;
                }
            }
            if (gone)
                break;
            if (pending && TClock::now() >= due() && !changedFolder()) {
                if (suspended_) {
                    // Checked again one settle delay later.
                    firstChange = lastChange = TClock::now();
                } else {
                    pending = false;
                    ComparePass(folder);
                }
            }
        }
        ::inotify_rm_watch(inotify_, wd);
        if (gone && !terminated_) {
            // Deleted, renamed or unmounted: the view lists again and climbs to the
            // nearest folder that still exists.
            {
                std::lock_guard lock(mutex_);
                if (watchGeneration_ == generation)
                    watched_.reset();
            }
            view_.PostQuietRefresh();
        }
    }
}

void TFolderWatchThread::ComparePass(const std::shared_ptr<TShellFolder> &folder)
{
    try {
        TFolderWatchClient::TSnapshot snapshot;
        if (!view_.TakeWatchSnapshot(folder.get(), snapshot))
            return; // the user moved on
        ++passes_;
        QHash<QByteArray, size_t> rowByName;
        rowByName.reserve(qsizetype(snapshot.Rows.size()));
        for (size_t i = 0; i < snapshot.Rows.size(); ++i)
            rowByName.insert(snapshot.Rows[i].FileName, i);
        std::vector<bool> seen(snapshot.Rows.size(), false);
        std::vector<uint64_t> stale;
        std::vector<TEnumItem> added; // with the facts looked at here, off the GUI thread
        QString error;
        const int counted = EnumerateFolder(
            *snapshot.Folder, snapshot.Filter, nullptr,
            [&](TEnumItem &item) {
                if (!item.HasFindData)
                    return false;
                auto it = rowByName.constFind(item.FindData.FileName);
                if (it == rowByName.constEnd()) {
                    added.push_back(std::move(item));
                    return true;
                }
                const TFolderWatchClient::TRowState &row = snapshot.Rows[*it];
                seen[*it] = true;
                if (row.LastWriteTime == item.FindData.LastWriteTime)
                    return false;
                stale.push_back(row.Serial);
                added.push_back(std::move(item));
                return true;
            },
            &error);
        if (counted < 0) {
            view_.PostQuietRefresh();
            return;
        }
        for (size_t i = 0; i < seen.size(); ++i)
            if (!seen[i])
                stale.push_back(snapshot.Rows[i].Serial);
        if (stale.empty() && added.empty())
            return;
        // Hand over and wait until the rows hold the changes, so that the next pass
        // compares against them. Stopping or another folder ends the wait.
        uint64_t generation;
        {
            std::lock_guard lock(mutex_);
            generation = watchGeneration_;
        }
        applied_ = false;
        view_.PostWatchChanges(snapshot.Generation, std::move(stale), std::move(added), [this] {
            applied_ = true;
            Signal();
        });
        for (;;) {
            {
                std::lock_guard lock(mutex_);
                if (applied_ || terminated_ || watchGeneration_ != generation)
                    break;
            }
            pollfd wake{wake_, POLLIN, 0};
            ::poll(&wake, 1, -1);
            Drain(wake_);
        }
    } catch (const std::exception &e) {
        view_.PostWatchError(QString::fromUtf8(e.what()));
    }
}
