#pragma once

#include "shellext/ShellInterfaces.h"

#include <string>
#include <vector>

// Movable memory blocks and the file-drop record that travel between the host
// and a handler. A block remembers its size, so a reader never runs past the
// end of a block that a careless writer left without its terminators. Both
// sides use the same C library, so either may free what the other allocated.

HGLOBAL GlobalAlloc(std::size_t size); // zero-filled; null when out of memory
void *GlobalLock(HGLOBAL block);       // the block's bytes (nothing to lock here)
void GlobalUnlock(HGLOBAL block);
std::size_t GlobalSize(HGLOBAL block);
void GlobalFree(HGLOBAL block);

// Frees the medium's memory, or releases its owner; the medium is empty afterwards.
void ReleaseStgMedium(STGMEDIUM *medium);

// Releases a medium on every way out of the block that received it.
class TStgMediumGuard {
public:
    explicit TStgMediumGuard(STGMEDIUM &medium) : medium_(medium) {}
    ~TStgMediumGuard() { ReleaseStgMedium(&medium_); }
    TStgMediumGuard(const TStgMediumGuard &) = delete;
    TStgMediumGuard &operator=(const TStgMediumGuard &) = delete;

private:
    STGMEDIUM &medium_;
};

// The file-drop record: a DROPFILES header (offset of the names, drop point,
// client-area flag, wide flag) followed by the names, each ended by a zero byte,
// and one more zero byte after the last. Our names are UTF-8 (wide flag 0).
struct DROPFILES {
    std::uint32_t pFiles = sizeof(DROPFILES);
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t fNC = 0;
    std::int32_t fWide = 0;
};

// A new block with the names; null when out of memory. Raises EModwright for a
// name that cannot be carried (empty, or holding a zero byte).
HDROP MakeDropFiles(const std::vector<std::string> &files);

constexpr UINT DragQueryCount = 0xFFFFFFFFu;
// With DragQueryCount: the number of names. With a null buffer: the length of
// name `index` without its terminator. Else copies at most size - 1 bytes and a
// terminator and returns the bytes copied. 0 for a bad index or a broken block.
UINT DragQueryFileA(HDROP drop, UINT index, char *buffer, UINT size);
