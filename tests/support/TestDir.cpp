#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

// Fixed at the first use: tests point TMPDIR into their own folders (or at
// files, to provoke errors), and later folders must not land wherever that
// left it, nor in the working folder when it no longer exists.
QString TTestDir::templatePath()
{
    static const QString base = [] {
        const QString temp = QDir::tempPath();
        return QFileInfo(temp).isDir() ? temp : QStringLiteral("/tmp");
    }();
    return base + "/modwright-test-XXXXXX";
}

TTestDir::TTestDir()
    : dir_(templatePath())
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TTestDir::file(const QString &relative) const
{
    return dir_.path() + "/" + relative;
}

QString TTestDir::createFile(const QString &relative, const QByteArray &contents)
{
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly) || f.write(contents) != contents.size())
        throw std::runtime_error("cannot write test file " + full.toStdString());
    return full;
}

void TTestDir::createFiles(const QStringList &relatives)
{
    for (const QString &r : relatives)
        createFile(r);
}

QString TTestDir::createDir(const QString &relative)
{
    const QString full = file(relative);
    if (!QDir().mkpath(full))
        throw std::runtime_error("cannot create test folder " + full.toStdString());
    return full;
}

QByteArray TTestDir::readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QMap<QString, QByteArray> TTestDir::filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        files[name] = readAll(folder + "/" + name);
    return files;
}
