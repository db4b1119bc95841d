#pragma once

#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QFile>

// A Wine prefix in a test folder: "drive_c", "dosdevices/c:" linked to it and
// "dosdevices/z:" to "/", registry files holding the given bodies after the
// header, and WINEPREFIX pointing at it for the object's life.
class TFakeWinePrefix {
public:
    TFakeWinePrefix(TTestDir &dir, const QByteArray &system, const QByteArray &user = {})
        : dir_(dir), env_("WINEPREFIX", dir.file("prefix"))
    {
        dir.createDir("prefix/drive_c");
        dir.createDir("prefix/dosdevices");
        QFile::link("../drive_c", dir.file("prefix/dosdevices/c:"));
        QFile::link("/", dir.file("prefix/dosdevices/z:"));
        dir.createFile("prefix/system.reg", "WINE REGISTRY Version 2\n" + system);
        dir.createFile("prefix/user.reg", "WINE REGISTRY Version 2\n" + user);
    }
    QString folder() const { return dir_.file("prefix"); }
    // Creates a file below drive_c ("Program Files/X/a.exe") and returns its path.
    QString createOnC(const QString &relative) { return dir_.createFile("prefix/drive_c/" + relative, "MZ"); }

private:
    TTestDir &dir_;
    TEnvGuard env_;
};
