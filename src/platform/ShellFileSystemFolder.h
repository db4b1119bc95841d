#pragma once

#include "platform/ShellFolder.h"

#include <mutex>
#include <sys/stat.h>
#include <sys/types.h>

namespace shellfs {
// Whether entries of a folder may be renamed, moved or deleted by this process.
struct TFolderAccess {
    bool Writable = false;
    bool Sticky = false;
    uid_t Owner = 0;
};
TFolderAccess FolderAccessOf(const QByteArray &folder);
} // namespace shellfs

// A folder on disk. Its items are the folder's entries ('f' items holding the raw name).
class TFileSystemFolder : public TShellFolder {
public:
    // absolute: the folder's list from the root; path: its raw file-system path.
    TFileSystemFolder(PCItemIdList absolute, const QByteArray &path);

    std::unique_ptr<TShellEnum> EnumObjects(uint32_t flags) const override;
    bool GetAttributesOf(PCItemIdList item, uint32_t &attributes) const override;
    QString GetDisplayNameOf(PCItemIdList item, uint32_t flags) const override;
    bool GetDataFromIDList(PCItemIdList item, TFindData &data) const override;
    bool GetListingFacts(const TShellEnum &from, PCItemIdList item, uint32_t &attributes, TFindData &data,
                         bool &hasFindData) const override;
    TShellFileInfo GetFileInfo(PCItemIdList item, uint32_t flags) const override;
    TItemIdList SetNameOf(PCItemIdList item, const QString &newName, uint32_t flags) const override;
    QByteArray ItemPath(PCItemIdList item) const override;

    // The 'f' item for an entry of this folder, with the folder flag taken from the disk.
    // Raises "<path>: <reason>" when the entry does not exist.
    TItemIdList MakeEntryItem(const QByteArray &name) const;

protected:
    std::shared_ptr<TShellFolder> BindToChild(PCItemIdList item) const override;

private:
    mutable std::once_flag accessOnce_;
    mutable shellfs::TFolderAccess access_;
};

// Helpers shared with the other folders for items that live on disk.
namespace shellfs {

// One look at the entry at path: its own status, its target's when it is a symbolic link,
// and whether this process may write it. Exists is false when nothing is there.
struct TEntryLook {
    bool Exists = false;
    bool IsLink = false;
    bool Writable = false;
    struct statx Link {};
    struct statx Target {};
};
// dir: an open folder that holds the entry named name, or -1 to look at path itself.
TEntryLook LookAtEntry(const QByteArray &path, int dir = -1, const QByteArray &name = {});
// The attributes within mask, and the find data, of an entry that has been looked at. The
// path is needed only for a folder, or when parent is not given.
uint32_t AttributesOf(const TEntryLook &look, const QByteArray &path, const QByteArray &name, uint32_t mask,
                      const TFolderAccess *parent);
TFindData FindDataOf(const TEntryLook &look, const QByteArray &name);

// Attributes of the file-system object at path (following a symbolic link), within mask.
// False when nothing exists there.
// parent: the access of the folder that holds it when known (else it is looked up).
bool AttributesOfPath(const QByteArray &path, const QByteArray &name, uint32_t mask, uint32_t &attributes,
                      const TFolderAccess *parent = nullptr);
// Find data of the object at path; the name is stored as given.
bool FindDataOfPath(const QByteArray &path, const QByteArray &name, TFindData &data);
// A file time from seconds and nanoseconds since 1970.
TFileTime FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds);
// True when path is a folder (following links).
bool IsFolderPath(const QByteArray &path);
// parent + "/" + name without doubling the slash.
QByteArray JoinPath(const QByteArray &parent, const QByteArray &name);
// The folder object for a path with the given absolute list; raises when it is no folder.
std::shared_ptr<TShellFolder> BindPath(PCItemIdList absolute, const QByteArray &path);

} // namespace shellfs
