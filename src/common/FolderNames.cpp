#include "common/FolderNames.h"

#include "common/PathUtils.h"

#include <QDir>
#include <QFileInfo>

TFolderNames::TFolderNames(const QString &folder, TWhich which)
    : folder_(IncludeTrailingPathDelimiter(folder))
{
    const QDir::Filters filters = (which == twFiles ? QDir::Files : QDir::AllEntries | QDir::NoDotAndDotDot) |
                                  QDir::Hidden | QDir::System;
    for (const QString &name : QDir(folder).entryList(filters, QDir::Name))
        if (!byFoldedName_.contains(name.toCaseFolded()))
            byFoldedName_.insert(name.toCaseFolded(), name); // the first in name order
}

QString TFolderNames::path(const QString &name) const
{
    if (QFileInfo::exists(folder_ + name))
        return folder_ + name;
    const auto it = byFoldedName_.constFind(name.toCaseFolded());
    return folder_ + (it == byFoldedName_.constEnd() ? name : *it);
}

QString EntryIgnoringCase(const QString &folder, const QString &name)
{
    const QString spelled = QDir(folder).filePath(name);
    if (QFileInfo::exists(spelled))
        return spelled; // no listing needed
    return TFolderNames(folder, TFolderNames::twAllEntries).path(name);
}
