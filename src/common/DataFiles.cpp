#include "common/DataFiles.h"

#include "common/PathUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

QStringList DataFolders()
{
    QStringList folders;
    const QString own = qEnvironmentVariable("MODWRIGHT_DATA_DIR");
    if (!own.isEmpty())
        folders << IncludeTrailingPathDelimiter(own);
    const QString program = ProgramPath();
    if (!program.isEmpty()) {
        const QDir bin = QFileInfo(program).absoluteDir();
        folders << IncludeTrailingPathDelimiter(QDir::cleanPath(bin.filePath("../share/modwright")));
    }
    return folders;
}

QString FindDataFile(const QString &relativePath)
{
    for (const QString &folder : DataFolders()) {
        const QString path = folder + relativePath;
        if (QFileInfo::exists(path))
            return path;
    }
    return {};
}
