#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Item identifier lists: the shell's name of an item as a run of variable-length items,
// each starting with a 16-bit little-endian byte count that includes the count itself,
// ended by a 16-bit zero. A null list (or one holding only the terminator) is the root of
// the namespace, the desktop. Blocks come zero-filled from the shell allocator and go back
// to it; TItemIdList owns one block.

using PCItemIdList = const uint8_t *;

class TItemIdList {
public:
    TItemIdList() = default;
    ~TItemIdList();
    TItemIdList(TItemIdList &&other) noexcept : data_(other.data_) { other.data_ = nullptr; }
    TItemIdList &operator=(TItemIdList &&other) noexcept;
    TItemIdList(const TItemIdList &) = delete;
    TItemIdList &operator=(const TItemIdList &) = delete;

    // Takes over a block from the shell allocator.
    static TItemIdList Adopt(uint8_t *block) { return TItemIdList(block); }
    // A validated copy of bytes from outside (settings, drag data). Raises EModwright
    // "Invalid item identifier list." when a count runs past the end, a count is below 2
    // or the terminator is missing. Bytes after the terminator are ignored.
    static TItemIdList FromBytes(const void *bytes, size_t length);
    static TItemIdList FromBytes(const QByteArray &bytes)
    {
        return FromBytes(bytes.constData(), bytes.size());
    }

    PCItemIdList get() const { return data_; }
    bool isNull() const { return data_ == nullptr; }
    // Null or only the terminator: the desktop.
    bool isRoot() const;
    uint8_t *release();
    void reset(uint8_t *block = nullptr);

    // The list's bytes including the terminator; empty for a null list.
    QByteArray toBytes() const;

private:
    explicit TItemIdList(uint8_t *block) : data_(block) {}
    uint8_t *data_ = nullptr;
};

// The shell allocator: zero-filled blocks.
uint8_t *ShellAlloc(size_t size);
void ShellFree(void *block);

// The list routines. A null list is accepted everywhere and stands for the root.
// Sum of the item counts plus 2 for the terminator (2 for a null list).
size_t PidlSize(PCItemIdList list);
// Number of items.
int PidlCount(PCItemIdList list);
// The item after this one, or nullptr at the terminator.
PCItemIdList PidlNext(PCItemIdList item);
// The item at index (0-based), or nullptr past the end.
PCItemIdList PidlItem(PCItemIdList list, int index);
// The 16-bit count of the first item (0 at the terminator).
uint16_t PidlItemSize(PCItemIdList item);

TItemIdList PidlClone(PCItemIdList list);
// A copy of the first item alone (null for the root).
TItemIdList PidlFirst(PCItemIdList list);
// The parent list followed by the child list.
TItemIdList PidlCombine(PCItemIdList parent, PCItemIdList child);
// A copy without the last item; a list of fewer than two items gives the null list.
TItemIdList PidlParent(PCItemIdList list);
// A copy of the last item alone, or of the whole list when it has one item.
TItemIdList PidlLast(PCItemIdList list);
// A copy of the list whose last item is replaced by the first item of newItem.
TItemIdList PidlReplaceLast(PCItemIdList list, PCItemIdList newItem);
// Byte-wise equality of two lists (null equals a list of only the terminator).
bool PidlEqual(PCItemIdList a, PCItemIdList b);
// True when prefix's items are the first items of list.
bool PidlIsPrefix(PCItemIdList prefix, PCItemIdList list);
