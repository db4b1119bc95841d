#pragma once

#include <QByteArray>
#include <QMap>
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
    // The files directly in a folder, by name, with their bytes.
    static QMap<QString, QByteArray> filesIn(const QString &folder);

private:
    static QString templatePath();
    QTemporaryDir dir_;
};
