#include "platform/ShellItem.h"

#include "platform/Exception.h"

#include <cstring>

TItemIdList MakeShellItem(TShellItemKind kind, bool folder, const QByteArray &payload)
{
    const size_t cb = kShellItemHeader + size_t(payload.size());
    if (cb > 0xFFFF)
        throw EModwright("The name is too long for an item identifier.");
    uint8_t *block = ShellAlloc(cb + 2);
    block[0] = uint8_t(cb & 0xFF);
    block[1] = uint8_t(cb >> 8);
    block[2] = kind;
    block[3] = folder ? kShellItemFolderFlag : 0;
    if (!payload.isEmpty())
        std::memcpy(block + kShellItemHeader, payload.constData(), size_t(payload.size()));
    return TItemIdList::Adopt(block);
}

uint8_t ShellItemKind(PCItemIdList item)
{
    return PidlItemSize(item) >= kShellItemHeader ? item[2] : 0;
}

bool ShellItemIsFolder(PCItemIdList item)
{
    return PidlItemSize(item) >= kShellItemHeader && (item[3] & kShellItemFolderFlag) != 0;
}

QByteArray ShellItemPayload(PCItemIdList item)
{
    const uint16_t cb = PidlItemSize(item);
    if (cb <= kShellItemHeader)
        return {};
    return QByteArray(reinterpret_cast<const char *>(item + kShellItemHeader), cb - kShellItemHeader);
}
