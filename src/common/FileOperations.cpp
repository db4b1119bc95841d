#include "common/FileOperations.h"

#include "common/MessageBoxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString Name(const QString &path)
{
    return QFileInfo(path).fileName();
}

// lstat: links are handled as themselves, never followed into their targets.
bool Exists(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}

bool IsRealDir(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink();
}

QString Reason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

class TTransfer {
public:
    TTransfer(TFileOp op, bool several) : op_(op), several_(several) {}

    // False when the user cancelled.
    bool Item(const QString &source, const QString &folder, TFileOpResult &result);

private:
    enum TAsk { askYes, askNo, askCancel };
    TAsk AskReplace(const QString &folder, const QString &name, bool isFolder);
    bool CopyFile(const QString &source, const QString &target, TFileOpResult &result);
    bool CopyTree(const QString &source, const QString &target, TFileOpResult &result, bool &cancelled);
    bool Remove(const QString &path);

    TFileOp op_;
    bool several_;
    bool yesToAll_ = false;
};

TTransfer::TAsk TTransfer::AskReplace(const QString &folder, const QString &name, bool isFolder)
{
    if (yesToAll_)
        return askYes;
    const QString text = isFolder
                             ? QStringLiteral("The folder \"%1\" already contains a folder named \"%2\".\n\n"
                                              "Do you want to put the items into it, replacing files "
                                              "of the same name?")
                             : QStringLiteral("The folder \"%1\" already contains a file named \"%2\".\n\n"
                                              "Do you want to replace it?");
    switch (AskConfirmation(text.arg(folder, name), several_ ? cbYesNoCancelAll : cbYesNoCancel)) {
    case maAll:
        yesToAll_ = true;
        return askYes;
    case maYes:
        return askYes;
    case maNo:
        return askNo;
    default:
        return askCancel;
    }
}

bool TTransfer::Remove(const QString &path)
{
    if (IsRealDir(path))
        return QDir(path).removeRecursively();
    return QFile::remove(path) || !Exists(path);
}

// Copies into a temporary file beside the target and renames it over the target, so that a
// failed copy never leaves a half file or destroys the old one.
bool TTransfer::CopyFile(const QString &source, const QString &target, TFileOpResult &result)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        result.Errors << QStringLiteral("Cannot read \"%1\": %2").arg(source, in.errorString());
        return false;
    }
    QTemporaryFile out(QFileInfo(target).absolutePath() + QStringLiteral("/.modwright-copy-XXXXXX"));
    if (!out.open()) {
        result.Errors << QStringLiteral("Cannot write into \"%1\": %2")
                             .arg(QFileInfo(target).absolutePath(), out.errorString());
        return false;
    }
    QByteArray buffer;
    for (;;) {
        buffer = in.read(1 << 20);
        if (buffer.isEmpty())
            break;
        if (out.write(buffer) != buffer.size()) {
            result.Errors << QStringLiteral("Cannot write \"%1\": %2").arg(target, out.errorString());
            return false;
        }
    }
    if (in.error() != QFileDevice::NoError || !out.flush()) {
        result.Errors << QStringLiteral("Cannot copy \"%1\": %2").arg(source, in.errorString());
        return false;
    }
    out.setPermissions(in.permissions());
    if (::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        result.Errors << QStringLiteral("Cannot write \"%1\": %2").arg(target, Reason());
        return false;
    }
    out.setAutoRemove(false);
    return true;
}

bool TTransfer::CopyTree(const QString &source, const QString &target, TFileOpResult &result, bool &cancelled)
{
    if (!IsRealDir(source)) {
        const QFileInfo info(source);
        if (info.isSymLink()) {
            Remove(target);
            if (!QFile::link(info.symLinkTarget(), target)) {
                result.Errors << QStringLiteral("Cannot copy the link \"%1\".").arg(source);
                return false;
            }
            return true;
        }
        return CopyFile(source, target, result);
    }
    if (!Exists(target) && !QDir().mkdir(target)) {
        result.Errors << QStringLiteral("Cannot create the folder \"%1\".").arg(target);
        return false;
    }
    bool ok = true;
    const QDir dir(source);
    for (const QString &name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString from = dir.filePath(name);
        const QString to = target + QLatin1Char('/') + name;
        if (Exists(to)) {
            const bool bothFolders = IsRealDir(from) && IsRealDir(to);
            if (!bothFolders) {
                const TAsk answer = AskReplace(target, name, false);
                if (answer == askCancel) {
                    cancelled = true;
                    return false;
                }
                if (answer == askNo) {
                    ok = false;
                    continue;
                }
                if (IsRealDir(to) != IsRealDir(from) && !Remove(to)) {
                    result.Errors << QStringLiteral("Cannot replace \"%1\".").arg(to);
                    ok = false;
                    continue;
                }
            }
        }
        if (!CopyTree(from, to, result, cancelled))
            ok = false;
        if (cancelled)
            return false;
    }
    return ok;
}

bool TTransfer::Item(const QString &source, const QString &folder, TFileOpResult &result)
{
    if (!Exists(source)) {
        result.Errors << QStringLiteral("\"%1\" does not exist any more.").arg(source);
        return true;
    }
    const QString name = Name(QDir::cleanPath(source));
    const bool sourceIsDir = IsRealDir(source);
    if (op_ != foLink && sourceIsDir && IsSameOrInside(folder, source)) {
        result.Errors << QStringLiteral(
                             "Cannot %1 \"%2\": the destination folder is inside the source folder.")
                             .arg(op_ == foMove ? QStringLiteral("move") : QStringLiteral("copy"), name);
        return true;
    }
    const bool sameFolder = QFileInfo(QFileInfo(source).absolutePath()).canonicalFilePath() ==
                            QFileInfo(folder).canonicalFilePath();
    QString target = folder + QLatin1Char('/') + name;

    if (op_ == foLink) {
        if (sameFolder || Exists(target)) {
            target = folder + QStringLiteral("/Link to ") + name;
            for (int n = 2; Exists(target); ++n)
                target = folder + QStringLiteral("/Link (%1) to ").arg(n) + name;
        }
        if (!QFile::link(QFileInfo(source).absoluteFilePath(), target)) {
            result.Errors << QStringLiteral("Cannot make a link to \"%1\".").arg(source);
            return true;
        }
        ++result.Done;
        return true;
    }
    if (sameFolder) {
        if (op_ == foMove)
            return true; // already there
        target = folder + QStringLiteral("/Copy of ") + name;
        for (int n = 2; Exists(target); ++n)
            target = folder + QStringLiteral("/Copy (%1) of ").arg(n) + name;
    } else if (Exists(target)) {
        const bool bothFolders = sourceIsDir && IsRealDir(target);
        const TAsk answer = AskReplace(folder, name, bothFolders);
        if (answer == askCancel)
            return false;
        if (answer == askNo)
            return true;
        // A file over a file is replaced in one step below; a file and a folder cannot be.
        if (sourceIsDir != IsRealDir(target) && !Remove(target)) {
            result.Errors << QStringLiteral("Cannot replace \"%1\".").arg(target);
            return true;
        }
    }

    if (op_ == foMove && (!sourceIsDir || !Exists(target)) &&
        ::rename(QFile::encodeName(source).constData(), QFile::encodeName(target).constData()) == 0) {
        ++result.Done;
        return true;
    }
    // Another file system (or a folder merged into one that exists): copy, then remove the
    // source only when everything arrived.
    bool cancelled = false;
    const bool copied = CopyTree(source, target, result, cancelled);
    if (cancelled)
        return false;
    if (!copied)
        return true;
    if (op_ == foMove && !Remove(source)) {
        result.Errors << QStringLiteral("\"%1\" was copied but cannot be removed.").arg(source);
        return true;
    }
    ++result.Done;
    return true;
}

void Report(const TFileOpResult &result, bool report)
{
    if (report && !result.Errors.isEmpty())
        ShowError(result.Errors.join(QLatin1Char('\n')));
}

} // namespace

bool IsSameOrInside(const QString &path, const QString &folder)
{
    auto clean = [](const QString &p) {
        const QFileInfo info(p);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    const QString a = clean(path);
    const QString b = clean(folder);
    return a == b || a.startsWith(b.endsWith(QLatin1Char('/')) ? b : b + QLatin1Char('/'));
}

TFileOpResult TransferFiles(const QStringList &sources, const QString &folder, TFileOp op, bool report)
{
    TFileOpResult result;
    if (!IsRealDir(folder) && !QFileInfo(folder).isDir()) {
        result.Errors << QStringLiteral("The folder \"%1\" does not exist.").arg(folder);
        Report(result, report);
        return result;
    }
    const QString target = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    TTransfer transfer(op, sources.size() > 1);
    for (const QString &source : sources)
        if (!transfer.Item(source, target, result)) {
            result.Cancelled = true;
            break;
        }
    Report(result, report);
    return result;
}

TFileOpResult DeleteFiles(const QStringList &paths, bool allowUndo, bool confirm, bool report)
{
    TFileOpResult result;
    QStringList existing;
    for (const QString &path : paths)
        if (Exists(path))
            existing << path;
    if (existing.isEmpty())
        return result;
    if (confirm) {
        QString text;
        if (existing.size() == 1)
            text = allowUndo ? QStringLiteral("Are you sure you want to move \"%1\" to the trash?")
                                   .arg(Name(existing[0]))
                             : QStringLiteral("Are you sure you want to delete \"%1\" for good?")
                                   .arg(Name(existing[0]));
        else
            text = allowUndo ? QStringLiteral("Are you sure you want to move these %1 items to the trash?")
                                   .arg(existing.size())
                             : QStringLiteral("Are you sure you want to delete these %1 items for good?")
                                   .arg(existing.size());
        if (AskConfirmation(text, cbYesNo) != maYes) {
            result.Cancelled = true;
            return result;
        }
    }
    for (const QString &path : existing) {
        bool ok;
        if (allowUndo) {
            QFile file(path);
            ok = file.moveToTrash();
            if (!ok)
                result.Errors
                    << QStringLiteral("Cannot move \"%1\" to the trash: %2").arg(path, file.errorString());
        } else {
            ok = IsRealDir(path) ? QDir(path).removeRecursively() : QFile::remove(path);
            if (!ok)
                result.Errors << QStringLiteral("Cannot delete \"%1\".").arg(path);
        }
        if (ok)
            ++result.Done;
    }
    Report(result, report);
    return result;
}

QString NewFolderName(const QString &folder, const QString &base)
{
    const QString stem = folder.endsWith(QLatin1Char('/')) ? folder + base : folder + QLatin1Char('/') + base;
    QString name = stem;
    for (int n = 0; Exists(name); ++n)
        name = stem + QStringLiteral(" (%1)").arg(n);
    return name;
}
