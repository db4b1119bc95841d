#include "modbuild/BuildSettings.h"

#include "common/PathUtils.h"

QString TBuildSettings::TempWorkingFolder() const
{
    const QString base = TempDir.isEmpty() ? PrivateTempBase() : IncludeTrailingPathDelimiter(TempDir);
    return base + "Mdw2Temp/";
}
