#pragma once

#include "controls/FolderEnumeration.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What the watch thread needs of the view it watches for. The view implements it; every
// call but the snapshot's comes from the watch thread and only posts work to the GUI thread.
class TFolderWatchClient {
public:
    struct TRowState {
        uint64_t Serial;
        QByteArray FileName;
        TFileTime LastWriteTime;
    };
    struct TSnapshot {
        std::shared_ptr<TShellFolder> Folder;
        uint64_t Generation = 0; // the listing the rows belong to
        TEnumFilter Filter;
        std::vector<TRowState> Rows;
    };

    virtual ~TFolderWatchClient() = default;
    // Under the view's lock: false when the view no longer lists `watched`; else the rows
    // that have a file name (not the ".." row) and the listing's filter.
    virtual bool TakeWatchSnapshot(const TShellFolder *watched, TSnapshot &snapshot) = 0;
    // Hands the changes of one compare pass to the GUI thread, the new items with their
    // attributes and find data; `applied` is called there once they are in the rows (or
    // were dropped because the view moved on).
    virtual void PostWatchChanges(uint64_t generation, std::vector<uint64_t> staleSerials,
                                  std::vector<TEnumItem> newItems, std::function<void()> applied) = 0;
    // Asks the GUI thread for a quiet full listing (the folder cannot be read, is gone or
    // events were lost).
    virtual void PostQuietRefresh() = 0;
    // Shows an error of a compare pass as a plain message on the GUI thread.
    virtual void PostWatchError(const QString &message) = 0;
};

// Watches the listed folder (not its subfolders) for created, deleted, renamed, resized and
// rewritten entries with inotify, and brings the view's rows up to date with one compare
// pass after 500 ms without changes (at the latest 2 s after the first of a steady stream).
// An eventfd wakes the thread to stop, to watch another folder or to resume refreshes.
class TFolderWatchThread {
public:
    explicit TFolderWatchThread(TFolderWatchClient &view, int settleDelayMs = 500);
    // Stops watching and waits for the thread.
    ~TFolderWatchThread();
    TFolderWatchThread(const TFolderWatchThread &) = delete;
    TFolderWatchThread &operator=(const TFolderWatchThread &) = delete;

    // Back to idle.
    void StopWatching();
    // Watches this folder object (the view's current one); a virtual folder leaves the
    // thread idle.
    void WatchCurrentFolder(std::shared_ptr<TShellFolder> folder);
    // Holds compare passes back (a paste is running); changes stay pending.
    void SuspendRefresh();
    // Lets them run again; a pending change is handled 500 ms later.
    void ResumeRefresh();

    // Number of compare passes run, for tests and diagnostics.
    int PassCount() const { return passes_.load(); }
    // False when inotify or the eventfd could not be made (the view then never updates by itself).
    bool Available() const { return inotify_ >= 0 && wake_ >= 0; }

private:
    void Execute();
    void Signal();
    void ComparePass(const std::shared_ptr<TShellFolder> &folder);

    TFolderWatchClient &view_;
    const int settleDelay_;
    int inotify_ = -1;
    int wake_ = -1;

    std::mutex mutex_;
    std::shared_ptr<TShellFolder> watched_; // guarded by mutex_
    uint64_t watchGeneration_ = 0;          // bumped by StopWatching and WatchCurrentFolder
    std::atomic<bool> suspended_{false};
    std::atomic<bool> terminated_{false};
    std::atomic<bool> applied_{false};
    std::atomic<int> passes_{0};
    std::thread thread_;
};
