#pragma once

#include "platform/ShellIdList.h"
#include "platform/ShellTypes.h"

#include <QByteArray>
#include <QString>
#include <memory>

// One item after another from a folder (IEnumIDList).
class TShellEnum {
public:
    virtual ~TShellEnum() = default;
    // The next item as a one-item list; false at the end.
    virtual bool Next(TItemIdList &item) = 0;
    // The open folder whose entries these are, or -1. Looks at the entries are made
    // relative to it, which spares walking the folder's whole path again for each.
    virtual int DirectoryFd() const { return -1; }
};

// What SHGetFileInfo should fill (SHGFI_*).
enum : uint32_t {
    SHGFI_DISPLAYNAME = 0x0200,
    SHGFI_TYPENAME = 0x0400,
    SHGFI_ATTRIBUTES = 0x0800,
    SHGFI_SYSICONINDEX = 0x4000,
};

// A folder of the namespace (IShellFolder). Items passed in are relative to this folder;
// folder objects are immutable and may be used from several threads.
// Errors of EnumObjects, BindToObject and SetNameOf raise EModwright with the reason.
class TShellFolder : public std::enable_shared_from_this<TShellFolder> {
public:
    virtual ~TShellFolder();
    TShellFolder(const TShellFolder &) = delete;
    TShellFolder &operator=(const TShellFolder &) = delete;

    // The folder's list from the root (null for the desktop).
    PCItemIdList AbsoluteList() const { return absolute_.get(); }
    // The folder's file-system path as raw bytes; empty for a virtual folder.
    const QByteArray &FileSystemPath() const { return path_; }

    // Opens an enumeration with SHCONTF_* flags. Raises when the folder cannot be read.
    virtual std::unique_ptr<TShellEnum> EnumObjects(uint32_t flags) const = 0;
    // Attributes of one item: the request mask in, the attributes that are set (within the
    // mask) out. False when the item does not exist (any more).
    virtual bool GetAttributesOf(PCItemIdList item, uint32_t &attributes) const = 0;
    virtual QString GetDisplayNameOf(PCItemIdList item, uint32_t flags) const = 0;
    // The find data of an item; false for items that have none (virtual items) or are gone.
    virtual bool GetDataFromIDList(PCItemIdList item, TFindData &data) const = 0;
    // Attributes (mask in, set attributes out) and find data together, as a listing asks for
    // every entry: a folder on disk answers with one look at the entry instead of one per
    // question. False when the item does not exist (any more).
    // from: the enumeration that returned the item.
    virtual bool GetListingFacts(const TShellEnum &from, PCItemIdList item, uint32_t &attributes,
                                 TFindData &data, bool &hasFindData) const;
    // Information about one item: the parts chosen by SHGFI_* flags.
    virtual TShellFileInfo GetFileInfo(PCItemIdList item, uint32_t flags) const = 0;
    // The folder object of a relative list of one or more items.
    std::shared_ptr<TShellFolder> BindToObject(PCItemIdList relative) const;
    // Shell order of two items of this folder: folders first, then names in the
    // locale's case-insensitive order. Negative, zero or positive.
    virtual int CompareIDs(PCItemIdList a, PCItemIdList b) const;
    // Renames an item and returns its new relative list. Raises when refused.
    virtual TItemIdList SetNameOf(PCItemIdList item, const QString &newName, uint32_t flags) const;

    // The file-system path of one item (raw bytes), empty when it has none.
    virtual QByteArray ItemPath(PCItemIdList item) const = 0;

protected:
    TShellFolder(PCItemIdList absolute, QByteArray path);
    // The folder object of a single item of this folder.
    virtual std::shared_ptr<TShellFolder> BindToChild(PCItemIdList item) const = 0;
    // Rank of an item kind for shell order (virtual items come first).
    static int KindRank(PCItemIdList item);

private:
    TItemIdList absolute_;
    QByteArray path_;
};

// Compares two display names the way the shell orders them: the locale's case-insensitive
// order, then (for names that differ only in letter case) byte order.
int CompareShellNames(const QString &a, const QString &b);
