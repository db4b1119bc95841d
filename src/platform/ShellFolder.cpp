#include "platform/ShellFolder.h"

#include "platform/Exception.h"
#include "platform/ShellItem.h"

#include <QCollator>
#include <QFile>
#include <QLocale>

TShellFolder::TShellFolder(PCItemIdList absolute, QByteArray path)
    : absolute_(PidlClone(absolute)), path_(std::move(path))
{
}

TShellFolder::~TShellFolder() = default;

std::shared_ptr<TShellFolder> TShellFolder::BindToObject(PCItemIdList relative) const
{
    auto folder = std::const_pointer_cast<TShellFolder>(shared_from_this());
    for (PCItemIdList item = relative; item && PidlItemSize(item) != 0; item = PidlNext(item))
        folder = folder->BindToChild(item);
    return folder;
}

bool TShellFolder::GetListingFacts(const TShellEnum &, PCItemIdList item, uint32_t &attributes,
                                   TFindData &data, bool &hasFindData) const
{
    if (!GetAttributesOf(item, attributes))
        return false;
    hasFindData = GetDataFromIDList(item, data);
    return true;
}

int TShellFolder::KindRank(PCItemIdList item)
{
    switch (ShellItemKind(item)) {
    case sikHomeItem:
        return 0;
    case sikComputerItem:
        return 1;
    case sikVolumeItem:
        return 2;
    case sikFileSystemEntry:
        return 3;
    default:
        return 4;
    }
}

int TShellFolder::CompareIDs(PCItemIdList a, PCItemIdList b) const
{
    for (;;) {
        if (!a || !b)
            return (a != nullptr) - (b != nullptr);
        const int rankA = KindRank(a), rankB = KindRank(b);
        if (rankA != rankB)
            return rankA < rankB ? -1 : 1;
        const bool folderA = ShellItemIsFolder(a), folderB = ShellItemIsFolder(b);
        if (folderA != folderB)
            return folderA ? -1 : 1;
        const QByteArray nameA = ShellItemPayload(a), nameB = ShellItemPayload(b);
        int result;
        if (ShellItemKind(a) == sikVolumeItem)
            result = nameA == nameB ? 0 : (nameA < nameB ? -1 : 1);
        else
            result =
                nameA == nameB ? 0 : CompareShellNames(QFile::decodeName(nameA), QFile::decodeName(nameB));
        if (result == 0 && nameA != nameB)
            result = nameA < nameB ? -1 : 1;
        if (result != 0)
            return result;
        a = PidlNext(a);
        b = PidlNext(b);
        if (!a && !b)
            return 0;
    }
}

TItemIdList TShellFolder::SetNameOf(PCItemIdList, const QString &, uint32_t) const
{
    throw EModwright("This item cannot be renamed.");
}

int CompareShellNames(const QString &a, const QString &b)
{
    // QCollator is not thread-safe; each thread keeps its own.
    thread_local QCollator collator = [] {
        QCollator c{QLocale()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    int result = collator.compare(a, b);
    if (result == 0)
        result = a.compare(b, Qt::CaseSensitive);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}
