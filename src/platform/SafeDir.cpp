#include "platform/SafeDir.h"

#include "platform/Exception.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr qint64 CopyBlockSize = 16385;
constexpr int DirFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

[[noreturn]] void Fail(const QString &message)
{
    throw EModwright(message.toStdString());
}

QString ErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray Native(const QString &name)
{
    return QFile::encodeName(name);
}

QString WithoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith('/'))
        path.chop(1);
    return path;
}

// What makes a folder unfit to hold private files; empty when it is fit.
QString FolderProblem(const struct stat &st)
{
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("is a symbolic link");
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("is not a folder");
    if (st.st_uid != ::geteuid())
        return QString("belongs to another user (user id %1)").arg(st.st_uid);
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return QString("can be written by group or others (mode %1)")
            .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
    return {};
}

[[noreturn]] void FailFolder(const QString &path, const QString &problem)
{
    Fail("The folder \"" + WithoutTrailingSlash(path) + "\" " + problem +
         ", so Modwright uses nothing inside it.");
}

TSafeDir::TKind KindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return TSafeDir::TKind::File;
    if (S_ISDIR(mode))
        return TSafeDir::TKind::Folder;
    if (S_ISLNK(mode))
        return TSafeDir::TKind::Link;
    return TSafeDir::TKind::Other;
}

// Deletes the entries of an open folder. Entries are looked at without following
// links and subfolders are opened relative to their parent with O_NOFOLLOW, so no
// step can leave the tree, even if an entry is swapped for a link while we work.
void EmptyAt(int folder)
{
    std::vector<std::string> names;
    const int listing = ::openat(folder, ".", DirFlags);
    if (listing < 0)
        return;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);

    for (const std::string &name : names) {
        struct stat st {};
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            const int sub = ::openat(folder, name.c_str(), DirFlags | O_NOFOLLOW);
            if (sub >= 0) {
                EmptyAt(sub);
                ::close(sub);
            }
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder, name.c_str(), 0); // files and links alike: a link goes, its target stays
        }
    }
}

// A new file under a fresh name in the folder, renamed over its final name by
// Commit(); removed again when it is dropped uncommitted.
class TNewFile {
public:
    TNewFile(int folder, QString finalName, QString shownPath)
        : folder_(folder), final_(Native(finalName)), shown_(std::move(shownPath))
    {
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temp_ = "." + final_ + "." + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            fd_ = ::openat(folder_, temp_.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0666);
            if (fd_ < 0 && errno != EEXIST)
                break;
        }
        if (fd_ < 0)
            Fail(QString("Cannot create file \"%1\". %2").arg(shown_, ErrorText(errno)));
    }
    ~TNewFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
        if (!committed_)
            ::unlinkat(folder_, temp_.constData(), 0);
    }
    TNewFile(const TNewFile &) = delete;
    TNewFile &operator=(const TNewFile &) = delete;

    void Write(const char *data, qint64 size)
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size_t(size));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                FailWrite(n < 0 ? errno : ENOSPC);
            data += n;
            size -= n;
        }
    }

    void Commit()
    {
        if (::fsync(fd_) != 0)
            FailWrite(errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            FailWrite(errno);
        // renameat replaces whatever has the final name, a link included, without following it.
        if (::renameat(folder_, temp_.constData(), folder_, final_.constData()) != 0)
            FailWrite(errno);
        committed_ = true;
    }

private:
    [[noreturn]] void FailWrite(int error)
    {
        Fail(QString("Cannot write file \"%1\". %2").arg(shown_, ErrorText(error)));
    }

    int folder_;
    QByteArray final_;
    QString shown_;
    QByteArray temp_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace

TSafeDir::TSafeDir(int fd, QString path) : fd_(fd), path_(WithoutTrailingSlash(std::move(path)))
{
    if (!path_.endsWith('/'))
        path_ += '/';
}

TSafeDir::~TSafeDir()
{
    if (fd_ >= 0)
        ::close(fd_);
}

TSafeDir::TSafeDir(TSafeDir &&other) noexcept : fd_(other.fd_), path_(std::move(other.path_))
{
    other.fd_ = -1;
}

TSafeDir &TSafeDir::operator=(TSafeDir &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        path_ = std::move(other.path_);
        other.fd_ = -1;
    }
    return *this;
}

TSafeDir TSafeDir::Open(const QString &path)
{
    const int fd = ::open(Native(path).constData(), DirFlags);
    if (fd < 0)
        Fail(QString("Cannot open the folder \"%1\". %2").arg(WithoutTrailingSlash(path), ErrorText(errno)));
    return TSafeDir(fd, path);
}

bool TSafeDir::MakePath(const QString &path)
{
    const QString folder = WithoutTrailingSlash(path);
    if (folder.isEmpty())
        return false;
    qsizetype slash = 0;
    while (slash >= 0) {
        slash = folder.indexOf('/', slash + 1);
        const QString step = slash < 0 ? folder : folder.left(slash);
        if (!step.isEmpty())
            ::mkdir(Native(step).constData(), 0700); // EEXIST and the like: the check below decides
    }
    return QFileInfo(folder).isDir();
}

TSafeDir TSafeDir::OpenPrivate(const QString &path, bool create)
{
    const QString folder = WithoutTrailingSlash(path);
    const QByteArray native = Native(folder);
    if (create) {
        const qsizetype slash = folder.lastIndexOf('/');
        if (slash > 0)
            MakePath(folder.left(slash));
        ::mkdir(native.constData(), 0700);
    }
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        Fail(QString("The folder \"%1\" cannot be used. %2").arg(folder, ErrorText(errno)));
    const QString problem = FolderProblem(st);
    if (!problem.isEmpty())
        FailFolder(folder, problem);
    TSafeDir dir(::open(native.constData(), DirFlags | O_NOFOLLOW), folder);
    if (!dir.IsOpen())
        Fail(QString("The folder \"%1\" cannot be used. %2").arg(folder, ErrorText(errno)));
    // What counts is the folder we hold, whatever the name points to meanwhile.
    dir.checkPrivate(folder);
    return dir;
}

QString TSafeDir::PrivateProblem(const QString &path)
{
    struct stat st {};
    if (::lstat(Native(WithoutTrailingSlash(path)).constData(), &st) != 0)
        return {};
    return FolderProblem(st);
}

bool TSafeDir::RemovePrivate(const QString &path)
{
    const QString folder = WithoutTrailingSlash(path);
    const qsizetype slash = folder.lastIndexOf('/');
    if (slash < 0 || slash == folder.size() - 1)
        return false;
    TSafeDir parent;
    try {
        parent = Open(slash == 0 ? QStringLiteral("/") : folder.left(slash));
    } catch (const EModwright &) {
        return !QFileInfo::exists(folder) && !QFileInfo(folder).isSymLink();
    }
    const QString name = folder.mid(slash + 1);
    const TEntry entry = parent.Entry(name);
    if (entry.kind == TKind::Missing)
        return true;
    const QByteArray native = Native(name);
    const int fd = ::openat(parent.Fd(), native.constData(), DirFlags | O_NOFOLLOW);
    if (fd < 0)
        return false;
    TSafeDir dir(fd, folder);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !FolderProblem(st).isEmpty())
        return false;
    EmptyAt(fd);
    ::unlinkat(parent.Fd(), native.constData(), AT_REMOVEDIR);
    return parent.Entry(name).kind == TKind::Missing;
}

void TSafeDir::checkPrivate(const QString &what) const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        Fail(QString("The folder \"%1\" cannot be used. %2")
                 .arg(WithoutTrailingSlash(what), ErrorText(errno)));
    const QString problem = FolderProblem(st);
    if (!problem.isEmpty())
        FailFolder(what, problem);
}

TSafeDir::TEntry TSafeDir::Entry(const QString &name) const
{
    TEntry entry;
    struct stat st {};
    if (::fstatat(fd_, Native(name).constData(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return entry;
    entry.kind = KindOf(st.st_mode);
    entry.owner = st.st_uid;
    entry.mode = st.st_mode;
    entry.device = st.st_dev;
    entry.inode = st.st_ino;
    return entry;
}

bool TSafeDir::IsSameFolder(const TEntry &entry) const
{
    struct stat st {};
    return entry.kind == TKind::Folder && ::fstat(fd_, &st) == 0 && st.st_dev == entry.device &&
           st.st_ino == entry.inode;
}

TSafeDir TSafeDir::MakePrivateSubfolder(const QString &name) const
{
    const QByteArray native = Native(name);
    const QString path = path_ + name;
    ::mkdirat(fd_, native.constData(), 0700);
    const int fd = ::openat(fd_, native.constData(), DirFlags | O_NOFOLLOW);
    if (fd < 0) {
        const int error = errno;
        struct stat st {};
        if (::fstatat(fd_, native.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 && !FolderProblem(st).isEmpty())
            FailFolder(path, FolderProblem(st));
        Fail(QString("Cannot create the folder \"%1\". %2").arg(path, ErrorText(error)));
    }
    TSafeDir dir(fd, path);
    dir.checkPrivate(path);
    return dir;
}

bool TSafeDir::Remove(const QString &name) const
{
    const TEntry entry = Entry(name);
    if (entry.kind == TKind::Missing)
        return true;
    if (entry.kind != TKind::Folder)
        ::unlinkat(fd_, Native(name).constData(), 0); // never AT_REMOVEDIR: a folder is not a file
    return Entry(name).kind == TKind::Missing;
}

bool TSafeDir::RemoveTree(const QString &name) const
{
    const QByteArray native = Native(name);
    const TEntry entry = Entry(name);
    if (entry.kind == TKind::Missing)
        return true;
    if (entry.kind == TKind::Folder) {
        const int sub = ::openat(fd_, native.constData(), DirFlags | O_NOFOLLOW);
        if (sub >= 0) {
            EmptyAt(sub);
            ::close(sub);
        }
        ::unlinkat(fd_, native.constData(), AT_REMOVEDIR);
    } else {
        ::unlinkat(fd_, native.constData(), 0);
    }
    return Entry(name).kind == TKind::Missing;
}

void TSafeDir::Empty() const
{
    EmptyAt(fd_);
}

QString TSafeDir::OwnFileProblem(const QString &name) const
{
    const TEntry entry = Entry(name);
    switch (entry.kind) {
    case TKind::Missing:
    case TKind::File:
        break;
    case TKind::Link:
        return QStringLiteral("is a symbolic link");
    default:
        return QStringLiteral("is not a regular file");
    }
    if (entry.kind == TKind::File && entry.owner != ::geteuid())
        return QString("belongs to another user (user id %1)").arg(entry.owner);
    return {};
}

QByteArray TSafeDir::ReadOwnFile(const QString &name) const
{
    const QString path = FilePath(name);
    const auto refuse = [&path](const QString &problem) {
        Fail("The file \"" + path + "\" " + problem + ", so it is not used.");
    };
    // O_NONBLOCK: a pipe planted under the name must not make us wait for ever.
    const int fd = ::openat(fd_, Native(name).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (Entry(name).kind == TKind::Link)
            refuse("is a symbolic link");
        refuse("cannot be opened (" + ErrorText(error) + ")");
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        refuse("cannot be opened");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        refuse("cannot be read (" + ErrorText(errno) + ")");
    if (!S_ISREG(st.st_mode))
        refuse("is not a regular file");
    if (st.st_uid != ::geteuid())
        refuse(QString("belongs to another user (user id %1)").arg(st.st_uid));
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        refuse("cannot be read (" + file.errorString() + ")");
    return bytes;
}

void TSafeDir::WriteFile(const QString &name, const QByteArray &bytes) const
{
    TNewFile file(fd_, name, FilePath(name));
    file.Write(bytes.constData(), bytes.size());
    file.Commit();
}

void TSafeDir::CopyIn(const QString &source, const QString &name, qint64 offset) const
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        Fail(QString("Cannot open file \"%1\". %2").arg(source, in.errorString()));
    if (offset > 0 && !in.seek(offset))
        Fail(QString("Cannot read file \"%1\". %2").arg(source, in.errorString()));
    TNewFile file(fd_, name, FilePath(name));
    QByteArray block(CopyBlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(block.data(), CopyBlockSize);
        if (got < 0)
            Fail(QString("Cannot read file \"%1\". %2").arg(source, in.errorString()));
        if (got == 0)
            break;
        file.Write(block.constData(), got);
    }
    file.Commit();
}

void EmptyFolderAt(int folder)
{
    EmptyAt(folder);
}
