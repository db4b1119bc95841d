#include "shellext/ComMemory.h"

#include "platform/Exception.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// What an HGLOBAL points to: the size, then the bytes.
struct TBlockHeader {
    std::size_t size;
    alignas(std::max_align_t) unsigned char bytes[1];
};

TBlockHeader *Header(HGLOBAL block)
{
    return static_cast<TBlockHeader *>(block);
}

// The names' bytes of a drop block, or an empty view when the header is broken.
std::string_view DropNames(HDROP drop)
{
    if (!drop)
        return {};
    const std::size_t size = GlobalSize(drop);
    const auto *bytes = static_cast<const char *>(GlobalLock(drop));
    if (size < sizeof(DROPFILES))
        return {};
    DROPFILES header;
    std::memcpy(&header, bytes, sizeof header);
    if (header.fWide != 0 || header.pFiles < sizeof(DROPFILES) || header.pFiles > size)
        return {};
    return std::string_view(bytes + header.pFiles, size - header.pFiles);
}

// Calls visit(index, name) for each name up to the empty one that ends the list
// (or the block's end); stops when visit returns false.
template <class F> void ForEachName(std::string_view names, F visit)
{
    UINT index = 0;
    std::size_t pos = 0;
    while (pos < names.size()) {
        const std::size_t end = names.find('\0', pos);
        if (end == std::string_view::npos || end == pos)
            return; // unterminated last name, or the list's terminator
        if (!visit(index++, names.substr(pos, end - pos)))
            return;
        pos = end + 1;
    }
}

} // namespace

HGLOBAL GlobalAlloc(std::size_t size)
{
    void *memory = std::calloc(1, offsetof(TBlockHeader, bytes) + (size ? size : 1));
    if (!memory)
        return nullptr;
    Header(memory)->size = size;
    return memory;
}

void *GlobalLock(HGLOBAL block)
{
    return block ? Header(block)->bytes : nullptr;
}
void GlobalUnlock(HGLOBAL) {}
std::size_t GlobalSize(HGLOBAL block)
{
    return block ? Header(block)->size : 0;
}
void GlobalFree(HGLOBAL block)
{
    std::free(block);
}

void ReleaseStgMedium(STGMEDIUM *medium)
{
    if (!medium)
        return;
    if (medium->pUnkForRelease)
        medium->pUnkForRelease->Release();
    else if (medium->tymed == TYMED_HGLOBAL)
        GlobalFree(medium->hGlobal);
    *medium = STGMEDIUM{};
}

HDROP MakeDropFiles(const std::vector<std::string> &files)
{
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string &file : files) {
        if (file.empty() || file.find('\0') != std::string::npos)
            throw EModwright("A file name cannot be passed on: \"" + file + "\".");
        size += file.size() + 1;
    }
    HDROP drop = GlobalAlloc(size);
    if (!drop)
        return nullptr;
    auto *bytes = static_cast<char *>(GlobalLock(drop));
    const DROPFILES header;
    std::memcpy(bytes, &header, sizeof header);
    char *p = bytes + sizeof header;
    for (const std::string &file : files) {
        std::memcpy(p, file.data(), file.size());
        p += file.size() + 1; // the block is zero-filled, so the terminators are there
    }
    return drop;
}

UINT DragQueryFileA(HDROP drop, UINT index, char *buffer, UINT size)
{
    const std::string_view names = DropNames(drop);
    if (index == DragQueryCount) {
        UINT count = 0;
        ForEachName(names, [&](UINT, std::string_view) { return ++count, true; });
        return count;
    }
    UINT result = 0;
    ForEachName(names, [&](UINT i, std::string_view name) {
        if (i != index)
            return true;
        if (!buffer) {
            result = UINT(name.size());
        } else if (size > 0) {
            const std::size_t n = std::min<std::size_t>(name.size(), size - 1);
            std::memcpy(buffer, name.data(), n);
            buffer[n] = '\0';
            result = UINT(n);
        }
        return false;
    });
    return result;
}

bool InsertMenuA(HMENU menu, UINT position, UINT flags, UINT id, const char *text)
{
    if (!menu || !text || !(flags & MF_BYPOSITION))
        return false;
    return menu->InsertItem(position, id, text);
}

int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type)
{
    if (owner)
        return owner->MessageBox(text ? text : "", caption ? caption : "", type);
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return IDOK;
}
