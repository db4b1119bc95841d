#include "platform/ShellVirtualFolders.h"

#include "platform/Exception.h"
#include "platform/ShellEnvironment.h"
#include "platform/ShellItem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A fixed run of items, then (optionally) the entries of a file-system enumeration.
class TListEnum final : public TShellEnum {
public:
    TListEnum(std::vector<TItemIdList> items, std::unique_ptr<TShellEnum> rest)
        : items_(std::move(items)), rest_(std::move(rest))
    {
    }
    bool Next(TItemIdList &item) override
    {
        if (next_ < items_.size()) {
            item = std::move(items_[next_++]);
            return true;
        }
        return rest_ && rest_->Next(item);
    }

private:
    std::vector<TItemIdList> items_;
    size_t next_ = 0;
    std::unique_ptr<TShellEnum> rest_;
};

TItemIdList ComputerList()
{
    return MakeShellItem(sikComputerItem, true);
}

const TShellVolume *FindVolume(const std::vector<TShellVolume> &volumes, const QByteArray &root)
{
    for (const TShellVolume &v : volumes)
        if (v.RootPath == root)
            return &v;
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- desktop

TDesktopFolder::TDesktopFolder()
    : TFileSystemFolder(nullptr, ShellEnvironment()->DesktopPath), homePath_(ShellEnvironment()->HomePath)
{
}

std::unique_ptr<TShellEnum> TDesktopFolder::EnumObjects(uint32_t flags) const
{
    std::vector<TItemIdList> items;
    if (flags & SHCONTF_FOLDERS) {
        if (!homePath_.isEmpty())
            items.push_back(MakeShellItem(sikHomeItem, true));
        items.push_back(ComputerList());
    }
    // The desktop stays listable without its folder on disk: it still holds the rest.
    std::unique_ptr<TShellEnum> entries;
    if (!FileSystemPath().isEmpty() && shellfs::IsFolderPath(FileSystemPath())) {
        try {
            entries = TFileSystemFolder::EnumObjects(flags);
        } catch (const EModwright &) {
        }
    }
    return std::make_unique<TListEnum>(std::move(items), std::move(entries));
}

bool TDesktopFolder::GetAttributesOf(PCItemIdList item, uint32_t &attributes) const
{
    switch (ShellItemKind(item)) {
    case sikHomeItem: {
        uint32_t a = 0;
        if (!shellfs::AttributesOfPath(homePath_, {}, 0xFFFFFFFF, a))
            return false;
        // The home folder is not renamed, moved or deleted from here.
        a &= ~(SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE | SFGAO_LINK);
        attributes &= a;
        return true;
    }
    case sikComputerItem:
        attributes &= kComputerAttributes;
        return true;
    default:
        return TFileSystemFolder::GetAttributesOf(item, attributes);
    }
}

QString TDesktopFolder::GetDisplayNameOf(PCItemIdList item, uint32_t flags) const
{
    const bool parsing = (flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER);
    switch (ShellItemKind(item)) {
    case sikHomeItem:
        return parsing ? QFile::decodeName(homePath_) : QString::fromLatin1(kHomeName);
    case sikComputerItem:
        return QString::fromLatin1(kComputerName);
    default:
        return TFileSystemFolder::GetDisplayNameOf(item, flags);
    }
}

bool TDesktopFolder::GetDataFromIDList(PCItemIdList item, TFindData &data) const
{
    if (ShellItemKind(item) != sikFileSystemEntry)
        return false;
    return TFileSystemFolder::GetDataFromIDList(item, data);
}

TShellFileInfo TDesktopFolder::GetFileInfo(PCItemIdList item, uint32_t flags) const
{
    const uint8_t kind = ShellItemKind(item);
    if (kind == sikFileSystemEntry)
        return TFileSystemFolder::GetFileInfo(item, flags);
    TShellFileInfo info;
    if (flags & SHGFI_DISPLAYNAME)
        info.DisplayName = GetDisplayNameOf(item, SHGDN_NORMAL);
    if (flags & SHGFI_ATTRIBUTES) {
        info.Attributes = kListingAttributeMask;
        if (!GetAttributesOf(item, info.Attributes))
            info.Attributes = 0;
    }
    if (kind == sikHomeItem) {
        info.TypeName = QStringLiteral("Folder");
        info.IconName = QStringLiteral("user-home");
        info.GenericIconName = QStringLiteral("folder");
        info.IconKind = sikHome;
    } else if (kind == sikComputerItem) {
        info.TypeName = QStringLiteral("System Folder");
        info.IconName = QStringLiteral("computer");
        info.IconKind = sikComputer;
    }
    return info;
}

TItemIdList TDesktopFolder::SetNameOf(PCItemIdList item, const QString &newName, uint32_t flags) const
{
    if (ShellItemKind(item) != sikFileSystemEntry)
        throw EModwright("This item cannot be renamed.");
    return TFileSystemFolder::SetNameOf(item, newName, flags);
}

QByteArray TDesktopFolder::ItemPath(PCItemIdList item) const
{
    switch (ShellItemKind(item)) {
    case sikHomeItem:
        return homePath_;
    case sikComputerItem:
        return {};
    default:
        return TFileSystemFolder::ItemPath(item);
    }
}

TShellFileInfo TDesktopFolder::OwnInfo(uint32_t flags) const
{
    TShellFileInfo info;
    if (flags & SHGFI_DISPLAYNAME)
        info.DisplayName = QString::fromLatin1(kDesktopName);
    if (flags & SHGFI_ATTRIBUTES) {
        info.Attributes = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER | SFGAO_HASPROPSHEET;
        // New folders and drops go to the desktop's folder when there is one.
        if (shellfs::IsFolderPath(FileSystemPath())) {
            info.Attributes |= SFGAO_FILESYSTEM;
            if (::faccessat(AT_FDCWD, FileSystemPath().constData(), W_OK, AT_EACCESS) == 0)
                info.Attributes |= SFGAO_DROPTARGET;
        }
    }
    info.TypeName = QStringLiteral("System Folder");
    info.IconName = QStringLiteral("user-desktop");
    info.GenericIconName = QStringLiteral("folder");
    info.IconKind = sikDesktop;
    return info;
}

std::shared_ptr<TShellFolder> TDesktopFolder::BindToChild(PCItemIdList item) const
{
    switch (ShellItemKind(item)) {
    case sikHomeItem:
        return shellfs::BindPath(PidlFirst(item).get(), homePath_);
    case sikComputerItem:
        return std::make_shared<TComputerFolder>();
    default:
        return TFileSystemFolder::BindToChild(item);
    }
}

// ---------------------------------------------------------------- computer

TComputerFolder::TComputerFolder() : TShellFolder(ComputerList().get(), {}) {}

std::unique_ptr<TShellEnum> TComputerFolder::EnumObjects(uint32_t flags) const
{
    std::vector<TItemIdList> items;
    if (flags & SHCONTF_FOLDERS)
        for (const TShellVolume &volume : ShellVolumes())
            items.push_back(MakeShellItem(sikVolumeItem, true, volume.RootPath));
    return std::make_unique<TListEnum>(std::move(items), nullptr);
}

bool TComputerFolder::GetAttributesOf(PCItemIdList item, uint32_t &attributes) const
{
    if (ShellItemKind(item) != sikVolumeItem)
        return false;
    const QByteArray root = ShellItemPayload(item);
    if (!shellfs::IsFolderPath(root))
        return false;
    uint32_t a = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR | SFGAO_HASSUBFOLDER |
                 SFGAO_HASPROPSHEET | SFGAO_CANLINK;
    const auto volumes = ShellVolumes();
    const TShellVolume *volume = FindVolume(volumes, root);
    const bool writable =
        ::faccessat(AT_FDCWD, root.constData(), W_OK, AT_EACCESS) == 0 && !(volume && volume->ReadOnly);
    a |= writable ? SFGAO_DROPTARGET : SFGAO_READONLY;
    if (volume && volume->Removable)
        a |= SFGAO_REMOVABLE;
    attributes &= a;
    return true;
}

QString TComputerFolder::GetDisplayNameOf(PCItemIdList item, uint32_t flags) const
{
    const QByteArray root = ShellItemPayload(item);
    if ((flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER))
        return QFile::decodeName(root);
    const auto volumes = ShellVolumes();
    if (const TShellVolume *volume = FindVolume(volumes, root); volume && !volume->Name.isEmpty())
        return volume->Name;
    return QFile::decodeName(root.mid(root.lastIndexOf('/') + 1));
}

bool TComputerFolder::GetDataFromIDList(PCItemIdList, TFindData &) const
{
    return false;
}

TShellFileInfo TComputerFolder::GetFileInfo(PCItemIdList item, uint32_t flags) const
{
    TShellFileInfo info;
    if (flags & SHGFI_DISPLAYNAME)
        info.DisplayName = GetDisplayNameOf(item, SHGDN_NORMAL);
    uint32_t attributes = kListingAttributeMask | SFGAO_REMOVABLE;
    if (!GetAttributesOf(item, attributes))
        attributes = 0;
    if (flags & SHGFI_ATTRIBUTES)
        info.Attributes = attributes;
    const bool removable = attributes & SFGAO_REMOVABLE;
    info.TypeName = removable ? QStringLiteral("Removable Disk") : QStringLiteral("Local Disk");
    info.IconName = removable ? QStringLiteral("drive-removable-media") : QStringLiteral("drive-harddisk");
    info.GenericIconName = QStringLiteral("drive-harddisk");
    info.IconKind = removable ? sikRemovable : sikDrive;
    return info;
}

QByteArray TComputerFolder::ItemPath(PCItemIdList item) const
{
    return ShellItemKind(item) == sikVolumeItem ? ShellItemPayload(item) : QByteArray();
}

std::shared_ptr<TShellFolder> TComputerFolder::BindToChild(PCItemIdList item) const
{
    if (ShellItemKind(item) != sikVolumeItem)
        throw EModwright("Invalid item in \"Computer\".");
    const TItemIdList single = PidlFirst(item);
    return shellfs::BindPath(PidlCombine(AbsoluteList(), single.get()).get(), ShellItemPayload(item));
}

// ---------------------------------------------------------------- parsing

TItemIdList TDesktopFolder::ParseDisplayName(const QString &path) const
{
    const QString text = path.trimmed();
    if (text.compare(QLatin1String(kComputerName), Qt::CaseInsensitive) == 0)
        return ComputerList();
    if (text.compare(QLatin1String(kDesktopName), Qt::CaseInsensitive) == 0)
        return {};
    return ParseDisplayName(QFile::encodeName(text));
}

TItemIdList TDesktopFolder::ParseDisplayName(const QByteArray &path) const
{
    if (!path.startsWith('/'))
        throw EModwright("\"" + QFile::decodeName(path).toStdString() + "\" is not an absolute path.");
    QList<QByteArray> parts;
    for (const QByteArray &part : path.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    // The volume with the longest mount path that holds the path.
    QByteArray volumeRoot = "/";
    int volumeParts = 0;
    for (const TShellVolume &volume : ShellVolumes()) {
        const QList<QByteArray> rootParts = volume.RootPath.split('/');
        QList<QByteArray> clean;
        for (const QByteArray &p : rootParts)
            if (!p.isEmpty())
                clean.append(p);
        if (clean.size() > volumeParts && clean.size() <= parts.size() &&
            parts.mid(0, clean.size()) == clean) {
            volumeRoot = volume.RootPath;
            volumeParts = int(clean.size());
        }
    }
    TItemIdList list =
        PidlCombine(ComputerList().get(), MakeShellItem(sikVolumeItem, true, volumeRoot).get());
    QByteArray current = volumeRoot;
    for (qsizetype i = volumeParts; i < parts.size(); ++i) {
        current = shellfs::JoinPath(current, parts[i]);
        struct stat st {};
        if (::lstat(current.constData(), &st) != 0)
            throw EModwright(QFile::decodeName(current).toStdString() + ": " + std::strerror(errno));
        const TItemIdList item = MakeShellItem(sikFileSystemEntry, shellfs::IsFolderPath(current), parts[i]);
        list = PidlCombine(list.get(), item.get());
    }
    return list;
}
