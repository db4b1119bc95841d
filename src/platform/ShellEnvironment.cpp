#include "platform/ShellEnvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace {

std::mutex g_mutex;
std::shared_ptr<const TShellEnvironment> g_environment;

// File systems that hold no user files.
bool IsPseudoFileSystem(const QByteArray &type)
{
    static const char *const pseudo[] = {
        "proc",       "sysfs",     "devtmpfs",   "devpts",      "tmpfs",   "cgroup",      "cgroup2",
        "pstore",     "bpf",       "securityfs", "debugfs",     "tracefs", "configfs",    "fusectl",
        "mqueue",     "hugetlbfs", "autofs",     "binfmt_misc", "nsfs",    "efivarfs",    "ramfs",
        "rpc_pipefs", "nfsd",      "squashfs",   "selinuxfs",   "overlay", "fuse.portal", "fuse.gvfsd-fuse",
    };
    for (const char *p : pseudo)
        if (type == p)
            return true;
    return false;
}

// Mount paths escape blanks, tabs, line breaks and backslashes as \ooo.
QByteArray UnescapeMountPath(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = digits.size() == 3;
            for (char d : digits)
                ok = ok && d >= '0' && d <= '7';
            if (ok) {
                out.append(char(digits.toInt(nullptr, 8)));
                i += 3;
                continue;
            }
        }
        out.append(c);
    }
    return out;
}

bool IsBelow(const QByteArray &path, const QByteArray &folder)
{
    if (folder.isEmpty())
        return false;
    const QByteArray base = folder.endsWith('/') ? folder : folder + '/';
    return path.startsWith(base) && path.size() > base.size();
}

QByteArray HomeFolderBytes()
{
    if (const char *home = std::getenv("HOME"); home && *home)
        return QByteArray(home);
    return QFile::encodeName(QDir::homePath());
}

std::vector<TShellVolume> MachineVolumes()
{
    // The mount table is read again at most once a second: "Computer" and every parse of a
    // path ask for it.
    static std::mutex mutex;
    static QElapsedTimer age;
    static std::vector<TShellVolume> cached;
    std::lock_guard lock(mutex);
    if (!age.isValid() || age.elapsed() > 1000) {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        QByteArray text;
        if (table.open(QIODevice::ReadOnly))
            text = table.readAll();
        cached = VolumesFromMountInfo(text, HomeFolderBytes());
        age.start();
    }
    return cached;
}

} // namespace

std::shared_ptr<const TShellEnvironment> ShellEnvironment()
{
    std::lock_guard lock(g_mutex);
    if (!g_environment)
        g_environment = std::make_shared<const TShellEnvironment>(MachineShellEnvironment());
    return g_environment;
}

void SetShellEnvironment(std::shared_ptr<const TShellEnvironment> environment)
{
    std::lock_guard lock(g_mutex);
    g_environment = std::move(environment);
}

TShellEnvironment MachineShellEnvironment()
{
    TShellEnvironment env;
    env.HomePath = HomeFolderBytes();
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    env.DesktopPath = desktop.isEmpty() ? env.HomePath : QFile::encodeName(desktop);
    env.Volumes = MachineVolumes;
    return env;
}

std::vector<TShellVolume> ShellVolumes()
{
    const auto env = ShellEnvironment();
    std::vector<TShellVolume> volumes;
    if (env->Volumes)
        volumes = env->Volumes();
    const bool hasRoot =
        std::any_of(volumes.begin(), volumes.end(), [](const TShellVolume &v) { return v.RootPath == "/"; });
    if (!hasRoot) {
        TShellVolume root;
        root.RootPath = "/";
        root.Name = QStringLiteral("File System");
        volumes.push_back(root);
    }
    std::stable_sort(volumes.begin(), volumes.end(), [](const TShellVolume &a, const TShellVolume &b) {
        if ((a.RootPath == "/") != (b.RootPath == "/"))
            return a.RootPath == "/";
        return a.RootPath < b.RootPath;
    });
    return volumes;
}

std::vector<TShellVolume> VolumesFromMountInfo(const QByteArray &mountInfo, const QByteArray &homePath)
{
    std::vector<TShellVolume> volumes;
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        const qsizetype dash = fields.indexOf(QByteArray("-"));
        if (fields.size() < 6 || dash < 6 || dash + 1 >= fields.size())
            continue;
        const QByteArray mountPoint = UnescapeMountPath(fields[4]);
        const QByteArray type = fields[dash + 1];
        const bool isRoot = mountPoint == "/";
        const bool removable = IsBelow(mountPoint, "/media") || IsBelow(mountPoint, "/run/media");
        const bool user =
            removable || mountPoint == "/mnt" || IsBelow(mountPoint, "/mnt") || IsBelow(mountPoint, homePath);
        if (!isRoot && (!user || IsPseudoFileSystem(type)))
            continue;
        TShellVolume volume;
        volume.RootPath = mountPoint;
        volume.Removable = removable;
        volume.ReadOnly = fields[5].split(',').contains("ro");
        if (isRoot) {
            volume.Name = QStringLiteral("File System");
        } else {
            const QByteArray base = mountPoint.mid(mountPoint.lastIndexOf('/') + 1);
            volume.Name = QFile::decodeName(base);
        }
        // A later mount over the same point hides the earlier one.
        volumes.erase(std::remove_if(volumes.begin(), volumes.end(),
                                     [&](const TShellVolume &v) { return v.RootPath == mountPoint; }),
                      volumes.end());
        volumes.push_back(volume);
    }
    return volumes;
}

namespace {

// The type of a file name with the given lower-case extension, looked up once per extension
// for the whole program: a folder of ten thousand samples has one type.
TShellTypeInfo TypeByExtension(const QString &fileName, const QString &key)
{
    static std::mutex mutex;
    static QHash<QString, TShellTypeInfo> byExtension;
    if (!key.isEmpty()) {
        std::lock_guard lock(mutex);
        auto it = byExtension.constFind(key);
        if (it != byExtension.constEnd())
            return *it;
    }
    const QMimeDatabase database;
    const QMimeType mime = database.mimeTypeForFile(fileName, QMimeDatabase::MatchExtension);
    TShellTypeInfo info;
    if (mime.isValid() && !mime.isDefault()) {
        info.TypeName = mime.comment();
        if (!info.TypeName.isEmpty())
            info.TypeName[0] = info.TypeName[0].toUpper();
        info.IconName = mime.iconName();
        info.GenericIconName = mime.genericIconName();
    }
    if (!key.isEmpty()) {
        std::lock_guard lock(mutex);
        byExtension.insert(key, info);
    }
    return info;
}

} // namespace

TShellTypeInfo ShellTypeOfFileName(const QString &fileName)
{
    // Each thread remembers its last answer, which the next file of a listing mostly shares.
    thread_local QString lastExtension;
    thread_local TShellTypeInfo lastInfo;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QStringView extension = dot > 0 ? QStringView(fileName).mid(dot + 1) : QStringView();
    if (extension.isEmpty())
        return TypeByExtension(fileName, QString());
    if (extension != lastExtension) {
        lastInfo = TypeByExtension(fileName, extension.toString().toLower());
        lastExtension = extension.toString();
    }
    return lastInfo;
}
