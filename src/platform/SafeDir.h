#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

// An open folder through which everything inside it is done relative to the
// handle (openat, unlinkat, renameat), so that a name swapped for a symbolic
// link while we work is never followed and no step can leave the folder.
//
// A private folder (the temporary working folder and the mod folder below it)
// is checked before anything inside it is used: a real folder (not a link),
// owned by the user the program runs as, and not writable by group or others.
// Failures raise EModwright with a message that names the folder and the reason.
class TSafeDir {
public:
    enum class TKind { Missing, File, Folder, Link, Other };
    struct TEntry {
        TKind kind = TKind::Missing;
        uid_t owner = 0;
        mode_t mode = 0;
        dev_t device = 0;
        ino_t inode = 0;
    };

    TSafeDir() = default;
    ~TSafeDir();
    TSafeDir(TSafeDir &&other) noexcept;
    TSafeDir &operator=(TSafeDir &&other) noexcept;
    TSafeDir(const TSafeDir &) = delete;
    TSafeDir &operator=(const TSafeDir &) = delete;

    // A folder the user named (a link on the way to it is followed, as the user
    // chose it); what is done inside still never follows a link.
    static TSafeDir Open(const QString &path);
    // The private folder at path, made with mode 0700 when missing and create is
    // set (its missing parents too). Raises when it fails the check.
    static TSafeDir OpenPrivate(const QString &path, bool create);
    // Why the folder at path fails the private check ("is a symbolic link", ...);
    // empty when it passes or does not exist.
    static QString PrivateProblem(const QString &path);
    // Empties and removes the private folder at path, but only when it passes the
    // check; a folder that fails it is left as it is. Returns whether it is gone.
    static bool RemovePrivate(const QString &path);
    // Creates the missing folders of path (mode 0700 for those it makes); returns
    // whether path is a folder afterwards.
    static bool MakePath(const QString &path);

    bool IsOpen() const { return fd_ >= 0; }
    int Fd() const { return fd_; }
    // The path the folder was opened under, with a trailing "/".
    const QString &Path() const { return path_; }
    QString FilePath(const QString &name) const { return path_ + name; }

    // The entry called name, looked at without following a link.
    TEntry Entry(const QString &name) const;
    // The subfolder called name, made with mode 0700 when missing, and checked as
    // a private folder; a link or anything else in its place raises.
    TSafeDir MakePrivateSubfolder(const QString &name) const;
    // Whether the entry called name is this very folder object (same device and inode).
    bool IsSameFolder(const TEntry &entry) const;

    // Removes a file or link called name (a link goes, its target stays); a
    // folder of that name is left alone. Missing: nothing happens. Returns
    // whether nothing is left under the name.
    bool Remove(const QString &name) const;
    // The same, but a folder of that name is emptied and removed.
    bool RemoveTree(const QString &name) const;
    // Deletes everything inside the folder.
    void Empty() const;

    // Why the entry called name is not a regular file of the user's own ("is a
    // symbolic link", "belongs to another user (user id 65534)", ...); empty when
    // it is one or when there is no such entry.
    QString OwnFileProblem(const QString &name) const;
    // The contents of the regular file called name when it is owned by the user;
    // otherwise raises with the reason ("is a symbolic link", "belongs to another
    // user", ...). A missing file raises too.
    QByteArray ReadOwnFile(const QString &name) const;
    // Creates or replaces the file called name with the bytes, atomically: a new
    // file under a fresh name (O_EXCL, never following a link), flushed, then
    // renamed over the name; a link in its place is replaced, never followed.
    // Raises "Cannot create file ..." / "Cannot write file ..." on failure.
    void WriteFile(const QString &name, const QByteArray &bytes) const;
    // The same with the bytes of source from offset, in blocks of 16385 bytes.
    void CopyIn(const QString &source, const QString &name, qint64 offset = 0) const;

private:
    TSafeDir(int fd, QString path);
    void checkPrivate(const QString &what) const;

    int fd_ = -1;
    QString path_;
};

// Deletes everything inside the open folder, never following a link (the
// routine behind TSafeDir::Empty, for callers that hold a descriptor of their own).
void EmptyFolderAt(int folder);
