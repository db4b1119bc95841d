#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A temporary folder that lives as long as the test; tests never write into the
// working folder.
class TTestDir {
public:
    TTestDir();

    // The folder's path, without a trailing "/".
    QString path() const { return dir_.path(); }
    // path() + "/" + relative.
    QString file(const QString &relative) const;

    // Creates the file (and missing parent folders) holding the given bytes.
    QString createFile(const QString &relative, const QByteArray &contents = {});
    void createFiles(const QStringList &relatives);
    QString createDir(const QString &relative);

    static QByteArray readAll(const QString &path);

private:
    static QString templatePath();
    QTemporaryDir dir_;
};
