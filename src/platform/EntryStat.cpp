#include "platform/EntryStat.h"

#include <atomic>
#include <unistd.h>

namespace {

TEntryStat systemCalls;
std::atomic<TEntryStat *> current{&systemCalls};

} // namespace

int TEntryStat::Access(int Dir, const char *Path, int Mode)
{
    return ::faccessat(Dir, Path, Mode, AT_EACCESS);
}

int TEntryStat::Statx(int Dir, const char *Path, int Flags, unsigned Mask, struct statx *Result)
{
    return ::statx(Dir, Path, Flags, Mask, Result);
}

DIR *TEntryStat::OpenDir(const char *Path)
{
    return ::opendir(Path);
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
