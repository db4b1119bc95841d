#pragma once

#include <QMap>
#include <QString>

// A folder's entries looked up by name as Windows finds them: the name as spelled when
// it exists, else an entry equal to it but for letter case (the first in name order),
// else the name as spelled (which then does not exist). So a folder made on Windows
// ("12015.JPG", "modname.txt", "Mods") is found whole. The folder is listed once.
class TFolderNames {
public:
    enum TWhich { twFiles, twAllEntries };
    explicit TFolderNames(const QString &folder, TWhich which = twFiles);
    // folder + "/" + the entry's name.
    QString path(const QString &name) const;

private:
    QString folder_; // with a trailing "/"
    QMap<QString, QString> byFoldedName_;
};

// One such lookup among all entries, files and folders alike.
QString EntryIgnoringCase(const QString &folder, const QString &name);
