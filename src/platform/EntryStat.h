#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

// The calls by which the shell namespace looks at the entries of a folder on disk: every
// item's attributes and find data, and binding and opening a folder, go through them. They are the system's
// own; a test puts a stand-in in their place to play a slow or hung mount, where every look takes seconds.
class TEntryStat {
public:
    virtual ~TEntryStat() = default;
    // Dir: an open folder that a relative Path is looked up in, or AT_FDCWD.
    // statx() with flags 0 or AT_SYMLINK_NOFOLLOW.
    virtual int Statx(int Dir, const char *Path, int Flags, unsigned Mask, struct statx *Result);
    // faccessat(..., AT_EACCESS): access as this process gets it (effective ids and
    // capabilities), not the real ids that plain access() uses.
    virtual int Access(int Dir, const char *Path, int Mode);
    // opendir() of a folder to be listed.
    virtual DIR *OpenDir(const char *Path);
};

// The calls in use. Safe from any thread.
TEntryStat &EntryStat();
// Puts Calls in place (nullptr: the system's again); returns the one it replaced. Calls
// must outlive every listing that may still use it.
TEntryStat *SetEntryStat(TEntryStat *Calls);
