#pragma once

#include "controls/SystemViewsShared.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// What a header probe found out about one file.
struct TProbeOutcome {
    bool Failed = false;
    QString Error;
    int32_t Slots[4] = {0, 0, 0, 0};
};

// Runs the image probe (ctImages) or the sample probe (ctAudio) on a file. Never raises:
// every failure is an outcome with the probe's message. Only a file that the listing saw as
// a regular one is opened, so a FIFO or device with a sample's name cannot stall it.
TProbeOutcome ProbeFileDetails(TColumnType type, const QByteArray &path, bool listedRegular);

// Runs the probes of the detail columns on two worker threads, so that one slow file (a
// network share, a sleeping disk) never holds up the listing, and remembers each outcome
// by path, size, modification time and kind, so that listing a folder again probes only
// the files that changed. Results are handed to OnResults on this object's thread.
class TDetailProbe : public QObject {
    Q_OBJECT
public:
    struct TRequest {
        uint64_t Serial = 0; // the row that asked
        QByteArray Path;
        uint64_t Size = 0;
        TFileTime Time = 0;
        TColumnType Type = ctImages;
        bool Regular = true; // what the listing saw: a regular file (or a link to one)
    };
    struct TResult {
        uint64_t Serial = 0;
        TProbeOutcome Outcome;
    };

    explicit TDetailProbe(QObject *parent = nullptr);
    ~TDetailProbe() override;

    // Answers the requests whose files are remembered in their present state at once, and
    // queues the others behind the ones already waiting. One trip through the lock for
    // them all: the probe threads take it too.
    std::vector<TResult> Submit(std::vector<TRequest> requests);
    // Forgets queued requests and results not yet handed over (the view lists anew).
    void Cancel();
    // Waits up to ms milliseconds for the queue to run empty, then hands over what is
    // ready at once. True when no request is left.
    bool Finish(int ms);
    bool Busy() const;
    // How many files were opened so far (the cache answered the others).
    uint64_t ProbesRun() const;
    // Forgets every remembered outcome.
    void ClearCache();

    std::function<void(std::vector<TResult> &results)> OnResults;

private:
    struct TKey {
        QByteArray Path;
        uint64_t Size;
        TFileTime Time;
        int Type;
        bool operator==(const TKey &o) const
        {
            return Size == o.Size && Time == o.Time && Type == o.Type && Path == o.Path;
        }
    };
    friend size_t qHash(const TKey &key, size_t seed) { return qHash(key.Path, seed) ^ size_t(key.Time); }
    static TKey KeyOf(const TRequest &r) { return {r.Path, r.Size, r.Time, int(r.Type)}; }

    void Run();
    void Deliver();

    mutable std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable idle_;                    // the queue ran empty, or a batch of outcomes is ready
    std::deque<std::pair<uint64_t, TRequest>> queue_; // generation, request
    std::vector<TResult> ready_;
    QHash<TKey, TProbeOutcome> cache_;
    uint64_t generation_ = 0;
    int inFlight_ = 0;
    bool deliverPosted_ = false;
    bool stop_ = false;
    uint64_t probesRun_ = 0;
    std::vector<std::thread> threads_;
};
