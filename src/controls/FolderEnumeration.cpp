#include "controls/FolderEnumeration.h"

#include "common/BusyCursor.h"
#include "platform/Exception.h"
#include "platform/ShellItem.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QThread>

uint32_t TEnumFilter::Flags() const
{
    uint32_t flags = SHCONTF_NONFOLDERS;
    if (ShowFolders)
        flags |= SHCONTF_FOLDERS;
    if (ShowHidden)
        flags |= SHCONTF_INCLUDEHIDDEN;
    return flags;
}

bool ExtensionAllowed(const QString &fileName, const QStringList &allowed)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return false;
    const QStringView extension = QStringView(fileName).mid(dot + 1);
    for (const QString &a : allowed)
        if (extension.compare(a, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool RawExtensionAllowed(const QByteArray &name, const QStringList &allowed)
{
    const qsizetype dot = name.lastIndexOf('.');
    if (dot < 0)
        return false;
    const QByteArrayView extension = QByteArrayView(name).sliced(dot + 1);
    for (const char c : extension)
        if (uchar(c) >= 0x80)
            return ExtensionAllowed(QFile::decodeName(name), allowed); // not plain ASCII
    for (const QString &a : allowed)
        if (QLatin1String(extension.data(), extension.size()).compare(a, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

int EnumerateFolder(const TShellFolder &folder, const TEnumFilter &filter,
                    const std::function<void()> &before, const std::function<bool(TEnumItem &)> &add,
                    QString *error)
{
    TBusyCursor busy;
    std::unique_ptr<TShellEnum> items;
    try {
        items = folder.EnumObjects(filter.Flags());
    } catch (const std::exception &e) {
        if (error)
            *error = QString::fromUtf8(e.what());
        return -1;
    }
    if (before)
        before();
    int count = 0;
    TItemIdList relative;
    while (items->Next(relative)) {
        TEnumItem item;
        if (ReadEnumItem(folder, *items, filter, std::move(relative), item) && add(item))
            ++count;
    }
    return count;
}

bool ReadEnumItem(const TShellFolder &folder, const TShellEnum &from, const TEnumFilter &filter,
                  TItemIdList relative, TEnumItem &item)
{
    // A file of a kind the view does not show costs no look at the disk: the enumeration
    // already knows files from folders.
    const bool fileOnDisk =
        ShellItemKind(relative.get()) == sikFileSystemEntry && !ShellItemIsFolder(relative.get());
    if (fileOnDisk && !filter.AllowedExtensions.isEmpty() &&
        !RawExtensionAllowed(ShellItemPayload(relative.get()), filter.AllowedExtensions))
        return false;
    item.Attributes = kListingAttributeMask;
    if (!folder.GetListingFacts(from, relative.get(), item.Attributes, item.FindData, item.HasFindData))
        return false;
    if (!(item.Attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
        return false;
    if (!(item.Attributes & SFGAO_FOLDER) && !filter.AllowedExtensions.isEmpty() && !fileOnDisk) {
        if (!item.HasFindData || !ExtensionAllowed(item.FindData.DisplayName(), filter.AllowedExtensions))
            return false;
    }
    if (item.HasFindData && filter.CanAdd && !filter.CanAdd(item.FindData))
        return false;
    item.Absolute = PidlCombine(folder.AbsoluteList(), relative.get());
    item.Relative = std::move(relative);
    return true;
}
