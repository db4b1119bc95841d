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

// What Wine 8's wineboot writes into a new 64-bit prefix for the environment
// (copied from its system.reg, user "tester"): the folders of
// CurrentVersion, the profile list, the machine's environment.
inline const QByteArray kWine64SystemEnvironment =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796731778\n"
    "#time=1dd870cff34c8ea\n"
    "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n"
    "\"CommonFilesDir (x86)\"=\"C:\\\\Program Files (x86)\\\\Common Files\"\n"
    "\"FirstInstallDateTime\"=hex:21,81,7c,23\n"
    "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n"
    "\"ProgramFilesDir (x86)\"=\"C:\\\\Program Files (x86)\"\n"
    "\"ProgramFilesPath\"=str(2):\"%ProgramFiles%\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796731778\n"
    "\"SystemRoot\"=\"C:\\\\windows\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList] 1796731778\n"
    "\"ProfilesDirectory\"=str(2):\"C:\\\\users\"\n"
    "\"ProgramData\"=str(2):\"C:\\\\ProgramData\"\n"
    "\"Public\"=str(2):\"C:\\\\users\\\\Public\"\n"
    "\n"
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList\\\\S-1-5-21-0-0-0-1000] "
    "1796731778\n"
    "\"Flags\"=dword:00000000\n"
    "\"ProfileImagePath\"=\"C:\\\\users\\\\tester\"\n"
    "\n"
    "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1796731774\n"
    "\"ComSpec\"=str(2):\"%SystemRoot%\\\\system32\\\\cmd.exe\"\n"
    "\"OS\"=\"Windows_NT\"\n"
    "\"TEMP\"=str(2):\"%SystemRoot%\\\\temp\"\n"
    "\"windir\"=str(2):\"%SystemRoot%\"\n"
    "\n";
