#include "platform/ShellFileSystemFolder.h"

#include "platform/EntryStat.h"
#include "platform/Exception.h"
#include "platform/ShellEnvironment.h"
#include "platform/ShellItem.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Shown(const QByteArray &path)
{
    return QFile::decodeName(path).toStdString();
}

QByteArray ParentOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash <= 0)
        return "/";
    return path.left(slash);
}

// Access as this process would get it (effective ids and capabilities), not the real ids
// that plain access() uses.
bool CanAccess(const QByteArray &path, int mode)
{
    return ::faccessat(AT_FDCWD, path.constData(), mode, AT_EACCESS) == 0;
}

bool IsDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// True when the folder at path holds a folder among its first entries. Folders with more
// entries than are looked at are assumed to have one: the flag only promises "may have".
bool HasSubfolder(const QByteArray &path)
{
    DIR *dir = ::opendir(path.constData());
    if (!dir)
        return false;
    bool found = false;
    int looked = 0;
    while (!found) {
        const dirent *entry = ::readdir(dir);
        if (!entry)
            break;
        if (IsDotOrDotDot(entry->d_name))
            continue;
        if (++looked > 512) {
            found = true;
            break;
        }
        if (entry->d_type == DT_DIR) {
            found = true;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            found = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

namespace shellfs {

TFolderAccess FolderAccessOf(const QByteArray &folder)
{
    TFolderAccess access;
    struct stat st {};
    access.Writable = CanAccess(folder, W_OK | X_OK) && ::stat(folder.constData(), &st) == 0;
    access.Sticky = access.Writable && (st.st_mode & S_ISVTX);
    access.Owner = st.st_uid;
    return access;
}

} // namespace shellfs

namespace {

// The entry may be renamed, moved or deleted: the folder is writable and, in a folder with
// the sticky bit (like /tmp), the user owns the entry or the folder.
bool CanChangeEntry(const shellfs::TFolderAccess &folder, uid_t entryOwner)
{
    if (!folder.Writable)
        return false;
    if (!folder.Sticky)
        return true;
    const uid_t me = ::geteuid();
    return me == 0 || me == entryOwner || me == folder.Owner;
}

class TFileSystemEnum final : public TShellEnum {
public:
    TFileSystemEnum(DIR *dir, uint32_t flags) : dir_(dir), flags_(flags) {}
    ~TFileSystemEnum() override { ::closedir(dir_); }
    int DirectoryFd() const override { return ::dirfd(dir_); }

    bool Next(TItemIdList &item) override
    {
        for (;;) {
            const dirent *entry = ::readdir(dir_);
            if (!entry)
                return false;
            const char *name = entry->d_name;
            if (IsDotOrDotDot(name))
                continue;
            if (name[0] == '.' && !(flags_ & SHCONTF_INCLUDEHIDDEN))
                continue;
            bool folder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                // A link counts as what it points to; a broken link or a loop is a file.
                struct stat st {};
                folder = ::fstatat(::dirfd(dir_), name, &st, 0) == 0 && S_ISDIR(st.st_mode);
            }
            if (folder ? !(flags_ & SHCONTF_FOLDERS) : !(flags_ & SHCONTF_NONFOLDERS))
                continue;
            item = MakeShellItem(sikFileSystemEntry, folder, QByteArray(name));
            return true;
        }
    }

private:
    DIR *dir_;
    uint32_t flags_;
};

} // namespace

namespace shellfs {

QByteArray JoinPath(const QByteArray &parent, const QByteArray &name)
{
    if (parent.endsWith('/'))
        return parent + name;
    return parent + '/' + name;
}

TFileTime FileTimeFromUnix(int64_t seconds, uint32_t nanoseconds)
{
    // 1601-01-01 to 1970-01-01 is 11644473600 seconds.
    const int64_t since1601 = seconds + 11644473600LL;
    if (since1601 < 0)
        return 0;
    return TFileTime(since1601) * 10000000ULL + nanoseconds / 100;
}

bool IsFolderPath(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

TEntryLook LookAtEntry(const QByteArray &path, int dir, const QByteArray &name)
{
    const int at = dir >= 0 ? dir : AT_FDCWD;
    const char *where = dir >= 0 ? name.constData() : path.constData();
    TEntryLook look;
    const unsigned want = STATX_BASIC_STATS | STATX_BTIME;
    TEntryStat &calls = EntryStat();
    if (calls.Statx(at, where, AT_SYMLINK_NOFOLLOW, want, &look.Link) != 0)
        return look;
    look.Exists = true;
    look.Target = look.Link;
    look.IsLink = S_ISLNK(look.Link.stx_mode);
    if (look.IsLink && calls.Statx(at, where, 0, want, &look.Target) != 0)
        look.Target = look.Link; // broken link or a loop of links
    look.Writable = calls.Access(at, where, W_OK) == 0;
    return look;
}

uint32_t AttributesOf(const TEntryLook &look, const QByteArray &path, const QByteArray &name, uint32_t mask,
                      const TFolderAccess *parent)
{
    const bool isDir = S_ISDIR(look.Target.stx_mode);
    uint32_t a = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANLINK | SFGAO_HASPROPSHEET;
    if (isDir)
        a |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (look.IsLink)
        a |= SFGAO_LINK;
    if (name.startsWith('.'))
        a |= SFGAO_HIDDEN;
    if ((mask & (SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE)) &&
        CanChangeEntry(parent ? *parent : FolderAccessOf(ParentOf(path)), look.Link.stx_uid))
        a |= SFGAO_CANRENAME | SFGAO_CANDELETE | SFGAO_CANMOVE;
    if (!look.Writable)
        a |= SFGAO_READONLY;
    if (isDir && look.Writable)
        a |= SFGAO_DROPTARGET;
    if (isDir && (mask & SFGAO_HASSUBFOLDER) && HasSubfolder(path))
        a |= SFGAO_HASSUBFOLDER;
    return a & mask;
}

TFindData FindDataOf(const TEntryLook &look, const QByteArray &name)
{
    const struct statx &st = look.Target;
    TFindData data;
    data.FileName = name;
    uint32_t a = 0;
    if (S_ISDIR(st.stx_mode))
        a |= FILE_ATTRIBUTE_DIRECTORY;
    if (!look.Writable)
        a |= FILE_ATTRIBUTE_READONLY;
    if (name.startsWith('.'))
        a |= FILE_ATTRIBUTE_HIDDEN;
    if (S_ISCHR(st.stx_mode) || S_ISBLK(st.stx_mode) || S_ISFIFO(st.stx_mode) || S_ISSOCK(st.stx_mode))
        a |= FILE_ATTRIBUTE_SYSTEM;
    if (look.IsLink)
        a |= FILE_ATTRIBUTE_REPARSE_POINT;
    // Holes of at least 64 KiB: small differences come from inline or compressed storage.
    if (S_ISREG(st.stx_mode) && st.stx_blocks * 512 + 65536 <= st.stx_size)
        a |= FILE_ATTRIBUTE_SPARSE_FILE;
    data.FileAttributes = a;
    const uint64_t size = S_ISREG(st.stx_mode) ? st.stx_size : 0;
    data.FileSizeHigh = uint32_t(size >> 32);
    data.FileSizeLow = uint32_t(size & 0xFFFFFFFFu);
    data.LastWriteTime = FileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    data.LastAccessTime = FileTimeFromUnix(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
    data.CreationTime = (st.stx_mask & STATX_BTIME)
                            ? FileTimeFromUnix(st.stx_btime.tv_sec, st.stx_btime.tv_nsec)
                            : data.LastWriteTime;
    return data;
}

bool AttributesOfPath(const QByteArray &path, const QByteArray &name, uint32_t mask, uint32_t &attributes,
                      const TFolderAccess *parent)
{
    const TEntryLook look = LookAtEntry(path);
    if (!look.Exists)
        return false;
    attributes = AttributesOf(look, path, name, mask, parent);
    return true;
}

bool FindDataOfPath(const QByteArray &path, const QByteArray &name, TFindData &data)
{
    const TEntryLook look = LookAtEntry(path);
    if (!look.Exists)
        return false;
    data = FindDataOf(look, name);
    return true;
}

std::shared_ptr<TShellFolder> BindPath(PCItemIdList absolute, const QByteArray &path)
{
    struct statx st {};
    if (EntryStat().Statx(AT_FDCWD, path.constData(), 0, STATX_TYPE, &st) != 0)
        throw EModwright("Cannot open folder \"" + Shown(path) + "\". " + std::strerror(errno));
    if (!S_ISDIR(st.stx_mode))
        throw EModwright("\"" + Shown(path) + "\" is not a folder.");
    return std::make_shared<TFileSystemFolder>(absolute, path);
}

} // namespace shellfs

TFileSystemFolder::TFileSystemFolder(PCItemIdList absolute, const QByteArray &path)
    : TShellFolder(absolute, path)
{
}

std::unique_ptr<TShellEnum> TFileSystemFolder::EnumObjects(uint32_t flags) const
{
    DIR *dir = EntryStat().OpenDir(FileSystemPath().constData());
    if (!dir)
        throw EModwright("Cannot open folder \"" + Shown(FileSystemPath()) + "\". " + std::strerror(errno));
    return std::make_unique<TFileSystemEnum>(dir, flags);
}

QByteArray TFileSystemFolder::ItemPath(PCItemIdList item) const
{
    if (ShellItemKind(item) != sikFileSystemEntry)
        return {};
    return shellfs::JoinPath(FileSystemPath(), ShellItemPayload(item));
}

bool TFileSystemFolder::GetAttributesOf(PCItemIdList item, uint32_t &attributes) const
{
    const QByteArray path = ItemPath(item);
    if (path.isEmpty())
        return false;
    // The folder's own access is asked once: a listing asks for every entry.
    std::call_once(accessOnce_, [this] { access_ = shellfs::FolderAccessOf(FileSystemPath()); });
    return shellfs::AttributesOfPath(path, ShellItemPayload(item), attributes, attributes, &access_);
}

QString TFileSystemFolder::GetDisplayNameOf(PCItemIdList item, uint32_t flags) const
{
    if ((flags & SHGDN_FORPARSING) && !(flags & SHGDN_INFOLDER))
        return QFile::decodeName(ItemPath(item));
    return QFile::decodeName(ShellItemPayload(item));
}

bool TFileSystemFolder::GetListingFacts(const TShellEnum &from, PCItemIdList item, uint32_t &attributes,
                                        TFindData &data, bool &hasFindData) const
{
    // The desktop's own items (home, computer) are answered as the desktop answers them.
    if (ShellItemKind(item) != sikFileSystemEntry)
        return TShellFolder::GetListingFacts(from, item, attributes, data, hasFindData);
    const QByteArray name = ShellItemPayload(item);
    // In the open folder the name alone finds the entry; the whole path is wanted only to
    // look into a subfolder.
    const int dir = from.DirectoryFd();
    QByteArray path = dir >= 0 ? QByteArray() : ItemPath(item);
    const shellfs::TEntryLook look = shellfs::LookAtEntry(path, dir, name);
    if (!look.Exists)
        return false;
    if (path.isEmpty() && S_ISDIR(look.Target.stx_mode))
        path = ItemPath(item);
    std::call_once(accessOnce_, [this] { access_ = shellfs::FolderAccessOf(FileSystemPath()); });
    attributes = shellfs::AttributesOf(look, path, name, attributes, &access_);
    data = shellfs::FindDataOf(look, name);
    hasFindData = true;
    return true;
}

bool TFileSystemFolder::GetDataFromIDList(PCItemIdList item, TFindData &data) const
{
    const QByteArray path = ItemPath(item);
    return !path.isEmpty() && shellfs::FindDataOfPath(path, ShellItemPayload(item), data);
}

TShellFileInfo TFileSystemFolder::GetFileInfo(PCItemIdList item, uint32_t flags) const
{
    TShellFileInfo info;
    const QString name = QFile::decodeName(ShellItemPayload(item));
    if (flags & SHGFI_DISPLAYNAME)
        info.DisplayName = name;
    if (flags & SHGFI_ATTRIBUTES) {
        info.Attributes = kListingAttributeMask;
        if (!GetAttributesOf(item, info.Attributes))
            info.Attributes = 0;
    }
    if (flags & (SHGFI_TYPENAME | SHGFI_SYSICONINDEX)) {
        if (ShellItemIsFolder(item)) {
            info.TypeName = QStringLiteral("Folder");
            info.IconName = QStringLiteral("folder");
            info.IconKind = sikFolder;
        } else {
            const TShellTypeInfo type = ShellTypeOfFileName(name);
            info.TypeName = type.TypeName;
            info.IconName = type.IconName;
            info.GenericIconName = type.GenericIconName;
        }
    }
    return info;
}

TItemIdList TFileSystemFolder::MakeEntryItem(const QByteArray &name) const
{
    const QByteArray path = shellfs::JoinPath(FileSystemPath(), name);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        throw EModwright(Shown(path) + ": " + std::strerror(errno));
    return MakeShellItem(sikFileSystemEntry, shellfs::IsFolderPath(path), name);
}

TItemIdList TFileSystemFolder::SetNameOf(PCItemIdList item, const QString &newName, uint32_t) const
{
    if (ShellItemKind(item) != sikFileSystemEntry)
        throw EModwright("This item cannot be renamed.");
    const QByteArray oldName = ShellItemPayload(item);
    const QByteArray name = QFile::encodeName(newName);
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/') || name.contains('\0') ||
        name.size() > 255)
        throw EModwright("The name \"" + newName.toStdString() + "\" is not valid.");
    if (name == oldName)
        return MakeShellItem(sikFileSystemEntry, ShellItemIsFolder(item), name);
    const QByteArray from = shellfs::JoinPath(FileSystemPath(), oldName);
    const QByteArray to = shellfs::JoinPath(FileSystemPath(), name);
    // Never replace another file: rename(2) alone would. On a file system that ignores
    // letter case, the "existing" target of a case-only rename is the file itself.
    int result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
    if (result != 0 && (errno == EEXIST || errno == EINVAL || errno == ENOSYS)) {
        const int reason = errno;
        struct stat a {
        }, b{};
        const bool targetExists = ::lstat(to.constData(), &b) == 0;
        if (targetExists && ::lstat(from.constData(), &a) == 0 && a.st_dev == b.st_dev &&
            a.st_ino == b.st_ino)
            result = ::rename(from.constData(), to.constData());
        else if (!targetExists && reason != EEXIST)
            result = ::rename(from.constData(), to.constData());
        else
            errno = EEXIST;
    }
    if (result != 0)
        throw EModwright("Cannot rename \"" + Shown(oldName) + "\" to \"" + newName.toStdString() + "\". " +
                         std::strerror(errno));
    return MakeShellItem(sikFileSystemEntry, ShellItemIsFolder(item), name);
}

std::shared_ptr<TShellFolder> TFileSystemFolder::BindToChild(PCItemIdList item) const
{
    if (ShellItemKind(item) != sikFileSystemEntry)
        throw EModwright("Invalid item in a file-system folder.");
    const TItemIdList single = PidlFirst(item);
    return shellfs::BindPath(PidlCombine(AbsoluteList(), single.get()).get(), ItemPath(item));
}
