#pragma once

#include "platform/EntryStat.h"

#include <QByteArray>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

// A mount that answers every look at one of Folder's entries only after DelayMs, as a slow
// or hung network share does. Install it with SetEntryStat; it must outlive every listing
// thread that may still be inside a look.
class TSlowEntryStat final : public TEntryStat {
public:
    std::atomic<int> DelayMs{0};
    QByteArray Folder;

    int Access(int dir, const char *path, int mode) override
    {
        wait(dir, path);
        return TEntryStat::Access(dir, path, mode);
    }
    int Statx(int dir, const char *path, int flags, unsigned mask, struct statx *result) override
    {
        wait(dir, path);
        return TEntryStat::Statx(dir, path, flags, mask, result);
    }

    DIR *OpenDir(const char *path) override
    {
        wait(AT_FDCWD, path);
        return TEntryStat::OpenDir(path);
    }

private:
    void wait(int dir, const char *path) const
    {
        QByteArray full(path);
        if (dir != AT_FDCWD) {
            char where[4096];
            const ssize_t n =
                ::readlink(("/proc/self/fd/" + std::to_string(dir)).c_str(), where, sizeof where);
            full = QByteArray(where, n > 0 ? int(n) : 0) + "/" + path;
        }
        if (full.startsWith(Folder + "/"))
            std::this_thread::sleep_for(std::chrono::milliseconds(DelayMs.load()));
    }
};
