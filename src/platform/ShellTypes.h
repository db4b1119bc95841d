#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <cstdint>

// Flag values and records of the shell namespace, with the Windows numbers kept so that
// stored values (settings, drag data) and the attribute masks read the same everywhere.

// Attributes of a namespace item (SFGAO_*).
enum : uint32_t {
    SFGAO_CANCOPY = 0x00000001,
    SFGAO_CANMOVE = 0x00000002,
    SFGAO_CANLINK = 0x00000004,
    SFGAO_CANRENAME = 0x00000010,
    SFGAO_CANDELETE = 0x00000020,
    SFGAO_HASPROPSHEET = 0x00000040,
    SFGAO_DROPTARGET = 0x00000100,
    SFGAO_LINK = 0x00010000,
    SFGAO_SHARE = 0x00020000,
    SFGAO_READONLY = 0x00040000,
    SFGAO_HIDDEN = 0x00080000,
    SFGAO_REMOVABLE = 0x02000000,
    SFGAO_FILESYSANCESTOR = 0x10000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

// The request mask of a listing: copy, move, link, rename, delete, property sheet, drop
// target, link, share, read-only, hidden, subfolders, file system, folder, ancestor.
constexpr uint32_t kListingAttributeMask = 0xF00F0177;

// What an enumeration returns (SHCONTF_*).
enum : uint32_t {
    SHCONTF_FOLDERS = 0x0020,
    SHCONTF_NONFOLDERS = 0x0040,
    SHCONTF_INCLUDEHIDDEN = 0x0080,
};

// Kinds of display name (SHGDN_*).
enum : uint32_t {
    SHGDN_NORMAL = 0x0000,
    SHGDN_INFOLDER = 0x0001,
    SHGDN_FOREDITING = 0x1000,
    SHGDN_INCLUDE_NONFILESYS = 0x2000,
    SHGDN_FORADDRESSBAR = 0x4000,
    SHGDN_FORPARSING = 0x8000,
};

// Attribute bits of find data (FILE_ATTRIBUTE_*). On this platform read-only means the
// user cannot write the item, hidden a name starting with a dot, system a device, FIFO or
// socket, reparse point a symbolic link and sparse a file with fewer blocks than bytes.
enum : uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x0001,
    FILE_ATTRIBUTE_HIDDEN = 0x0002,
    FILE_ATTRIBUTE_SYSTEM = 0x0004,
    FILE_ATTRIBUTE_DIRECTORY = 0x0010,
    FILE_ATTRIBUTE_ARCHIVE = 0x0020,
    FILE_ATTRIBUTE_DEVICE = 0x0040,
    FILE_ATTRIBUTE_NORMAL = 0x0080,
    FILE_ATTRIBUTE_TEMPORARY = 0x0100,
    FILE_ATTRIBUTE_SPARSE_FILE = 0x0200,
    FILE_ATTRIBUTE_REPARSE_POINT = 0x0400,
    FILE_ATTRIBUTE_COMPRESSED = 0x0800,
};

// A file time: 100-nanosecond intervals since 1 January 1601 (UTC).
using TFileTime = uint64_t;

// The find data of a file-system item (the WIN32_FIND_DATA record). Size and times are
// those of the link target for a symbolic link that resolves, else of the link itself.
struct TFindData {
    uint32_t FileAttributes = 0;
    TFileTime CreationTime = 0;
    TFileTime LastAccessTime = 0;
    TFileTime LastWriteTime = 0;
    uint32_t FileSizeHigh = 0;
    uint32_t FileSizeLow = 0;
    // The entry's name as stored on disk; not necessarily valid UTF-8.
    QByteArray FileName;

    uint64_t FileSize() const { return (uint64_t(FileSizeHigh) << 32) | FileSizeLow; }
    QString DisplayName() const { return QFile::decodeName(FileName); }
};

// What SHGetFileInfo reports about an item.
enum TShellIconKind { sikFile, sikFolder, sikDesktop, sikHome, sikComputer, sikDrive, sikRemovable };

struct TShellFileInfo {
    QString DisplayName;
    QString TypeName; // empty when the type has no name of its own
    // Icon theme names, most specific first, and the kind for a built-in fallback.
    QString IconName;
    QString GenericIconName;
    TShellIconKind IconKind = sikFile;
    uint32_t Attributes = 0;
};
