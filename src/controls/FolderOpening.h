#pragma once

#include "platform/ShellFolder.h"

#include <QString>
#include <memory>

// A folder bound and its enumeration opened for a listing.
struct TOpenedFolder {
    std::shared_ptr<TShellFolder> Folder; // null: gone, or not a folder
    std::unique_ptr<TShellEnum> Items;    // null: it cannot be read, or did not answer
    QString Error;                        // why it cannot be read
    bool TimedOut = false;                // no answer within the wait
};

// Binds the folder at the absolute list (null: the desktop) and opens its enumeration with
// SHCONTF_* flags on a thread of its own, and waits at most TimeoutMs for it: a folder on a
// mount that does not answer must not freeze the window. A thread that does not come back
// in time is left to finish on its own, and what it opens then is closed again.
TOpenedFolder OpenFolderWithin(const std::shared_ptr<TShellFolder> &Desktop, PCItemIdList Absolute,
                               uint32_t Flags, int TimeoutMs);
