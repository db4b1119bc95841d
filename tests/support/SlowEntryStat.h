#pragma once

#include "platform/EntryStat.h"

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <thread>

// A mount that answers every look at one of Folder's entries only after DelayMs, as a slow
// or hung network share does. Install it with SetEntryStat; it must outlive every listing
// thread that may still be inside a look.
class TSlowEntryStat final : public TEntryStat {
public:
    std::atomic<int> DelayMs{0};
    QByteArray Folder;

    int Stat(const char *path, struct stat *result, int flags) override
    {
        wait(path);
        return TEntryStat::Stat(path, result, flags);
    }
    int Statx(const char *path, int flags, unsigned mask, struct statx *result) override
    {
        wait(path);
        return TEntryStat::Statx(path, flags, mask, result);
    }

private:
    void wait(const char *path) const
    {
        if (QByteArray(path).startsWith(Folder + "/"))
            std::this_thread::sleep_for(std::chrono::milliseconds(DelayMs.load()));
    }
};
