#include "platform/Shell.h"

#include "platform/Exception.h"
#include "platform/ShellEnvironment.h"
#include "platform/ShellItem.h"

std::shared_ptr<TDesktopFolder> SHGetDesktopFolder()
{
    return std::make_shared<TDesktopFolder>();
}

std::shared_ptr<TShellFolder> ShellBindAbsolute(PCItemIdList absolute)
{
    return SHGetDesktopFolder()->BindToObject(absolute);
}

QByteArray SHGetPathFromIDList(PCItemIdList absolute)
{
    const auto env = ShellEnvironment();
    QByteArray path = env->DesktopPath;
    for (PCItemIdList item = absolute; item && PidlItemSize(item) != 0; item = PidlNext(item)) {
        switch (ShellItemKind(item)) {
        case sikHomeItem:
            if (item != absolute)
                return {};
            path = env->HomePath;
            break;
        case sikComputerItem:
            if (item != absolute)
                return {};
            path.clear();
            break;
        case sikVolumeItem:
            if (!path.isEmpty())
                return {};
            path = ShellItemPayload(item);
            break;
        case sikFileSystemEntry:
            if (path.isEmpty())
                return {};
            path = path.endsWith('/') ? path + ShellItemPayload(item) : path + '/' + ShellItemPayload(item);
            break;
        default:
            return {};
        }
    }
    return path;
}

QString SHGetPathFromIDListText(PCItemIdList absolute)
{
    return QFile::decodeName(SHGetPathFromIDList(absolute));
}

bool SHGetDataFromIDList(PCItemIdList absolute, TFindData &data)
{
    if (PidlCount(absolute) == 0)
        return false;
    try {
        const TItemIdList parent = PidlParent(absolute);
        const TItemIdList last = PidlLast(absolute);
        return ShellBindAbsolute(parent.get())->GetDataFromIDList(last.get(), data);
    } catch (const EModwright &) {
        return false;
    }
}

TShellFileInfo SHGetFileInfo(PCItemIdList absolute, uint32_t flags)
{
    if (PidlCount(absolute) == 0)
        return SHGetDesktopFolder()->OwnInfo(flags);
    try {
        const TItemIdList parent = PidlParent(absolute);
        const TItemIdList last = PidlLast(absolute);
        return ShellBindAbsolute(parent.get())->GetFileInfo(last.get(), flags);
    } catch (const EModwright &) {
        return {};
    }
}
