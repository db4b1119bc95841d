#include "platform/ShellIdList.h"

#include "platform/Exception.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

uint16_t ReadCount(PCItemIdList p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

// The bytes of the items without the terminator.
size_t ItemBytes(PCItemIdList list)
{
    return PidlSize(list) - 2;
}

// The start of the last item, or nullptr for an empty list.
PCItemIdList LastItem(PCItemIdList list)
{
    PCItemIdList last = nullptr;
    for (PCItemIdList p = list; p && ReadCount(p) != 0; p = p + ReadCount(p))
        last = p;
    return last;
}

TItemIdList Build(PCItemIdList first, size_t firstBytes, PCItemIdList second, size_t secondBytes)
{
    uint8_t *block = ShellAlloc(firstBytes + secondBytes + 2);
    if (firstBytes)
        std::memcpy(block, first, firstBytes);
    if (secondBytes)
        std::memcpy(block + firstBytes, second, secondBytes);
    // The terminator is already zero.
    return TItemIdList::Adopt(block);
}

} // namespace

uint8_t *ShellAlloc(size_t size)
{
    void *block = std::calloc(size ? size : 1, 1);
    if (!block)
        throw std::bad_alloc();
    return static_cast<uint8_t *>(block);
}

void ShellFree(void *block)
{
    std::free(block);
}

TItemIdList::~TItemIdList()
{
    ShellFree(data_);
}

TItemIdList &TItemIdList::operator=(TItemIdList &&other) noexcept
{
    if (this != &other) {
        ShellFree(data_);
        data_ = other.data_;
        other.data_ = nullptr;
    }
    return *this;
}

TItemIdList TItemIdList::FromBytes(const void *bytes, size_t length)
{
    const auto *p = static_cast<const uint8_t *>(bytes);
    size_t pos = 0;
    for (;;) {
        if (length - pos < 2)
            throw EModwright("Invalid item identifier list.");
        const uint16_t cb = ReadCount(p + pos);
        if (cb == 0)
            break;
        if (cb < 2 || cb > length - pos)
            throw EModwright("Invalid item identifier list.");
        pos += cb;
    }
    return Build(p, pos, nullptr, 0);
}

bool TItemIdList::isRoot() const
{
    return data_ == nullptr || ReadCount(data_) == 0;
}

uint8_t *TItemIdList::release()
{
    uint8_t *block = data_;
    data_ = nullptr;
    return block;
}

void TItemIdList::reset(uint8_t *block)
{
    if (block != data_)
        ShellFree(data_);
    data_ = block;
}

QByteArray TItemIdList::toBytes() const
{
    if (!data_)
        return {};
    return QByteArray(reinterpret_cast<const char *>(data_), qsizetype(PidlSize(data_)));
}

size_t PidlSize(PCItemIdList list)
{
    size_t size = 2;
    for (PCItemIdList p = list; p && ReadCount(p) != 0; p += ReadCount(p))
        size += ReadCount(p);
    return size;
}

int PidlCount(PCItemIdList list)
{
    int count = 0;
    for (PCItemIdList p = list; p && ReadCount(p) != 0; p += ReadCount(p))
        ++count;
    return count;
}

PCItemIdList PidlNext(PCItemIdList item)
{
    if (!item || ReadCount(item) == 0)
        return nullptr;
    PCItemIdList next = item + ReadCount(item);
    return ReadCount(next) == 0 ? nullptr : next;
}

PCItemIdList PidlItem(PCItemIdList list, int index)
{
    if (!list || ReadCount(list) == 0 || index < 0)
        return nullptr;
    PCItemIdList p = list;
    for (int i = 0; i < index && p; ++i)
        p = PidlNext(p);
    return p;
}

uint16_t PidlItemSize(PCItemIdList item)
{
    return item ? ReadCount(item) : 0;
}

TItemIdList PidlClone(PCItemIdList list)
{
    if (!list)
        return {};
    return Build(list, ItemBytes(list), nullptr, 0);
}

TItemIdList PidlFirst(PCItemIdList list)
{
    if (!list || ReadCount(list) == 0)
        return {};
    return Build(list, ReadCount(list), nullptr, 0);
}

TItemIdList PidlCombine(PCItemIdList parent, PCItemIdList child)
{
    if (!parent && !child)
        return {};
    return Build(parent, parent ? ItemBytes(parent) : 0, child, child ? ItemBytes(child) : 0);
}

TItemIdList PidlParent(PCItemIdList list)
{
    if (PidlCount(list) < 2)
        return {};
    return Build(list, size_t(LastItem(list) - list), nullptr, 0);
}

TItemIdList PidlLast(PCItemIdList list)
{
    PCItemIdList last = LastItem(list);
    if (!last)
        return PidlClone(list);
    return Build(last, ReadCount(last), nullptr, 0);
}

TItemIdList PidlReplaceLast(PCItemIdList list, PCItemIdList newItem)
{
    PCItemIdList last = LastItem(list);
    const size_t keep = last ? size_t(last - list) : 0;
    const size_t add = newItem ? ReadCount(newItem) : 0;
    return Build(list, keep, newItem, add);
}

bool PidlEqual(PCItemIdList a, PCItemIdList b)
{
    const size_t sa = ItemBytes(a), sb = ItemBytes(b);
    return sa == sb && (sa == 0 || std::memcmp(a, b, sa) == 0);
}

bool PidlIsPrefix(PCItemIdList prefix, PCItemIdList list)
{
    const size_t sp = ItemBytes(prefix);
    if (sp == 0)
        return true;
    if (sp > ItemBytes(list) || std::memcmp(prefix, list, sp) != 0)
        return false;
    // The match must end on an item boundary of list.
    for (PCItemIdList p = list; p && ReadCount(p) != 0; p += ReadCount(p))
        if (size_t(p - list) == sp)
            return true;
    return size_t(LastItem(list) - list) + ReadCount(LastItem(list)) == sp;
}
