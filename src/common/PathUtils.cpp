#include "common/PathUtils.h"

#include "Version.h"
#include "platform/Exception.h"
#include "platform/Registry.h"
#include "platform/SafeDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool PathExistsNoFollow(const QByteArray &native)
{
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0;
}

} // namespace

QString IncludeTrailingPathDelimiter(const QString &path)
{
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

QString ExcludeTrailingPathDelimiter(const QString &path)
{
    if (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        return path.left(path.size() - 1);
    return path;
}

QString LongPath(const QString &path)
{
    return path;
}

namespace {

QString &programPathOverride()
{
    static QString path;
    return path;
}

} // namespace

void SetProgramPath(const QString &path)
{
    programPathOverride() = path;
}

QString ProgramPath()
{
    if (!programPathOverride().isEmpty())
        return programPathOverride();
    static const QString path = [] {
        std::string buffer(4096, '\0');
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            return QString();
        return QFile::decodeName(QByteArray(buffer.data(), static_cast<qsizetype>(length)));
    }();
    return path;
}

QString VersionText()
{
    return QStringLiteral(MODWRIGHT_VERSION_TEXT);
}

QString VersionNumber(const QString &versionText)
{
    const qsizetype last = versionText.lastIndexOf(QLatin1Char('.'));
    if (last < 0)
        return QString();
    QString number = versionText.left(last);
    const qsizetype dot = number.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        number.remove(dot, 1);
    return number;
}

QString VersionBuild(const QString &versionText)
{
    const qsizetype last = versionText.lastIndexOf(QLatin1Char('.'));
    return last < 0 ? QString() : versionText.mid(last + 1);
}

QString VersionNumber()
{
    return VersionNumber(VersionText());
}

QString VersionBuild()
{
    return VersionBuild(VersionText());
}

QString StripExtension(const QString &name)
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    return dot <= 0 ? name : name.left(dot);
}

QString WorkingFolder()
{
    if (char *cwd = ::getcwd(nullptr, 0)) {
        const QString folder = QFile::decodeName(cwd);
        std::free(cwd);
        return IncludeTrailingPathDelimiter(folder);
    }
    const QString program = ProgramPath();
    return IncludeTrailingPathDelimiter(program.isEmpty() ? QStringLiteral("/") : QFileInfo(program).path());
}

QString TempFolder()
{
    const char *tmp = std::getenv("TMPDIR");
    return IncludeTrailingPathDelimiter(tmp && *tmp ? QFile::decodeName(tmp) : QStringLiteral("/tmp"));
}

QString PrivateTempBase()
{
    // The runtime folder is the user's own (mode 0700, on a RAM disk, emptied at
    // log-out); the cache folder lives in the home folder, which others cannot write.
    const auto absolute = [](const char *name) {
        const char *value = std::getenv(name);
        const QString path = value ? QFile::decodeName(value) : QString();
        return path.startsWith(QLatin1Char('/')) ? path : QString();
    };
    QString base = absolute("XDG_RUNTIME_DIR");
    if (base.isEmpty())
        base = absolute("XDG_CACHE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.cache");
    return IncludeTrailingPathDelimiter(QDir::cleanPath(base) + QStringLiteral("/modwright"));
}

bool IsSharedTempFolder(const QString &path)
{
    if (path.trimmed().isEmpty())
        return false;
    const QString folder = QDir::cleanPath(path);
    for (const QString &shared :
         {TempFolder(), QDir::tempPath(), QStringLiteral("/tmp"), QStringLiteral("/var/tmp")})
        if (folder == QDir::cleanPath(shared))
            return true;
    return false;
}

QString UniqueTempFileName(const QString &folder, const QString &extension, bool create)
{
    const QString dir = IncludeTrailingPathDelimiter(folder);
    if (create && extension.compare(QLatin1String(".tmp"), Qt::CaseInsensitive) == 0) {
        QByteArray pattern = QFile::encodeName(dir + QStringLiteral("KVOXXXXXX.tmp"));
        const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
        if (fd < 0)
            return QString();
        ::close(fd);
        return QFile::decodeName(pattern);
    }
    for (int n = 1; n < 1000000; ++n) {
        const QString name = dir + QStringLiteral("temp") + QString::number(n) + extension;
        const QByteArray native = QFile::encodeName(name);
        if (PathExistsNoFollow(native)) // a dangling link counts as taken, too
            continue;
        if (create) {
            const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd < 0 && errno == EEXIST)
                continue; // taken meanwhile by someone else
            if (fd >= 0)
                ::close(fd);
        }
        return name;
    }
    return QString();
}

bool FolderExists(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool FolderIsWritable(const QString &folder)
{
    const QString probe = UniqueTempFileName(folder, QStringLiteral(".tmp"), true);
    if (probe.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(probe);
    const bool existed = PathExistsNoFollow(native);
    ::unlink(native.constData());
    return existed;
}

bool CreateFolders(const QString &path)
{
    const QString folder = ExcludeTrailingPathDelimiter(path);
    if (folder.isEmpty() || folder == QLatin1String("/") || FolderExists(folder))
        return FolderExists(folder);
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    if (slash > 0)
        CreateFolders(folder.left(slash));
    ::mkdir(QFile::encodeName(folder).constData(), 0777);
    return FolderExists(folder);
}

void EmptyFolder(const QString &path, bool remove)
{
    Assert(!path.isEmpty(), "PathUtils");
    const QByteArray native = QFile::encodeName(ExcludeTrailingPathDelimiter(path));
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return;
    if (S_ISLNK(st.st_mode)) {
        if (remove)
            ::unlink(native.constData());
        return;
    }
    if (!S_ISDIR(st.st_mode))
        return;
    const int folder = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder >= 0) {
        EmptyFolderAt(folder);
        ::close(folder);
    }
    if (remove)
        ::rmdir(native.constData());
}

void SplitZeroSeparatedList(const char *buffer, qsizetype byteCount, QStringList &list)
{
    Assert(buffer != nullptr, "PathUtils");
    const bool bounded = byteCount >= 0;
    qsizetype pos = 0;
    while (!bounded || pos < byteCount) {
        qsizetype end = pos;
        while ((!bounded || end < byteCount) && buffer[end] != '\0')
            ++end;
        if (end == pos)
            break; // the empty string ends the list
        list.append(QString::fromUtf8(buffer + pos, end - pos));
        pos = end + 1;
    }
}

void SplitZeroSeparatedList(const char16_t *buffer, qsizetype byteCount, QStringList &list)
{
    Assert(buffer != nullptr, "PathUtils");
    const bool bounded = byteCount >= 0;
    const qsizetype units = bounded ? byteCount / 2 : 0;
    qsizetype pos = 0;
    while (!bounded || pos < units) {
        qsizetype end = pos;
        while ((!bounded || end < units) && buffer[end] != u'\0')
            ++end;
        if (end == pos)
            break;
        list.append(QString::fromUtf16(buffer + pos, end - pos));
        pos = end + 1;
    }
}

QString EscapeLineBreaks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if ((c == u'\r' && next == u'\n') || (c == u'\n' && next == u'\r')) {
            result += QLatin1String("\\n");
            ++i;
        } else if (c == u'\n') {
            // Texts from Qt's editors break lines with LF alone; written raw it
            // would split the INI line.
            result += QLatin1String("\\n");
        } else {
            result += c;
        }
    }
    return result;
}

QString UnescapeLineBreaks(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\\' && i + 1 < text.size() && text[i + 1] == u'n') {
            result += QLatin1String("\r\n");
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

QString ShortenPath(const QString &path, int limit)
{
    if (path.size() <= limit)
        return path;
    const QString ellipsis = QStringLiteral(".../");
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    QString folder = slash >= 0 ? path.left(slash + 1) : QString(); // with its leading and trailing "/"
    const QString name = path.mid(slash + 1);
    // No drive part: the root "/" is the folder part's leading separator.
    while (folder.size() + name.size() > limit && !folder.isEmpty()) {
        if (folder == QLatin1String("/.../")) {
            folder = ellipsis;
            continue;
        }
        QString lead;
        if (folder.startsWith(QLatin1Char('/'))) {
            lead = QStringLiteral("/");
            folder.remove(0, 1);
        }
        // Only a previous ".../" is dropped here, not a folder whose name starts with ".".
        if (folder.startsWith(ellipsis))
            folder.remove(0, ellipsis.size());
        const qsizetype cut = folder.indexOf(QLatin1Char('/'));
        // Nothing left to cut ("/" or ".../" alone): the folder part goes entirely;
        // putting the "/" back would loop for ever.
        folder = cut < 0 ? QString() : lead + ellipsis + folder.mid(cut + 1);
    }
    return folder + name;
}

QString AssociatedProgram(const QString &extension)
{
    if (extension.isEmpty())
        return QString();
    TRegistry reg(TRegRoot::ClassesRoot);
    if (!reg.OpenKeyReadOnly("\\" + extension.toStdString()))
        return QString();
    const std::string type = reg.ReadString("");
    if (type.empty() || !reg.OpenKeyReadOnly("\\" + type + "\\shell\\open\\command"))
        return QString();
    const QString command = QString::fromStdString(reg.ReadString("")).trimmed();

    const qsizetype exe = command.indexOf(QLatin1String(".exe"), 0, Qt::CaseInsensitive);
    if (exe >= 0) {
        QString program = command.left(exe + 4);
        if (program.startsWith(QLatin1Char('"')))
            program.remove(0, 1);
        if (QFileInfo(program).isFile())
            return program;
    }
    QString first;
    if (command.startsWith(QLatin1Char('"'))) {
        const qsizetype close = command.indexOf(QLatin1Char('"'), 1);
        first = close < 0 ? command.mid(1) : command.mid(1, close - 1);
    } else {
        first = command.section(QLatin1Char(' '), 0, 0);
    }
    return !first.isEmpty() && QFileInfo(first).isFile() ? first : QString();
}

QString DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (FolderExists(documents))
        return ExcludeTrailingPathDelimiter(documents);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : ExcludeTrailingPathDelimiter(home);
}

int Maximum(int a, int b)
{
    return std::max(a, b);
}
