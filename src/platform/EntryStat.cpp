#include "platform/EntryStat.h"

#include <atomic>

namespace {

TEntryStat systemCalls;
std::atomic<TEntryStat *> current{&systemCalls};

} // namespace

int TEntryStat::Stat(const char *Path, struct stat *Result, int Flags)
{
    return ::fstatat(AT_FDCWD, Path, Result, Flags);
}

int TEntryStat::Statx(const char *Path, int Flags, unsigned Mask, struct statx *Result)
{
    return ::statx(AT_FDCWD, Path, Flags, Mask, Result);
}

TEntryStat &EntryStat()
{
    return *current.load(std::memory_order_acquire);
}

TEntryStat *SetEntryStat(TEntryStat *Calls)
{
    TEntryStat *before = current.exchange(Calls ? Calls : &systemCalls, std::memory_order_acq_rel);
    return before == &systemCalls ? nullptr : before;
}
