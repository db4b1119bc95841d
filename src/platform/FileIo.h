#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// File reading and atomic replacement for the program's own data files (the
// registry files and the profile files). Plain POSIX, no Qt.

// Reads the whole file into contents. Returns false, with contents empty, when
// the file does not exist. Throws EModwright ("Cannot read <path>: <reason>.")
// when it exists but cannot be read (no permission, a folder, an I/O error), so
// that a caller never mistakes an unreadable file for an empty one and
// overwrites it.
bool ReadWholeFile(const std::string &path, std::string &contents);

// Replaces the file's contents all at once: the bytes go to a new file beside it
// (same folder, so on the same file system; see TAtomicSave), which is flushed to disk and then
// renamed over the old one, and the folder is flushed. A crash or a full disk at
// any point leaves either the old or the new file, never a truncated one. An
// existing file keeps its permission bits; a symbolic link keeps pointing to its
// target, which is the file replaced. Throws EModwright ("Cannot write <path>:
// <reason>.") and removes the temporary file on failure.
void WriteFileAtomic(const std::string &path, std::string_view contents);

// Identifies one version of a file cheaply, to tell whether a cached reading is
// still current. Every atomic replacement makes a new inode, so a change of
// inode, size or time shows that another writer replaced the file.
struct TFileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;

    bool operator==(const TFileStamp &) const = default;
};

TFileStamp FileStamp(const std::string &path);

// Creates the folder and its missing parents (mode 0777 less the umask, or the
// given mode). Returns whether the folder exists afterwards.
bool MakeFolders(const std::string &path, unsigned mode = 0777);
