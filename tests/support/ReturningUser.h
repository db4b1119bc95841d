#pragma once

// The configuration of a user who has run the program before, written where the program
// reads it: ReBirth (with its "mods" folder) and ModPacker as stand-ins on disk, and the
// welcome wizard off. The start-up checks then open no dialog, as for such a user.
// Header only: the support library itself does not link the program's libraries.

#include "platform/RegIniFile.h"
#include "support/TestDir.h"
#include "workbench/MainSettings.h"
#include "workbench/ModwrightForm.h"

#include <QString>

struct TReturningUser {
    QString reBirth, modPacker;
};

inline TReturningUser ConfigureReturningUser(TTestDir &dir)
{
    TReturningUser user;
    user.modPacker = dir.createFile("programs/ModPacker/ModPacker.exe", "MZ");
    user.reBirth = dir.createFile("programs/ReBirth/ReBirth.exe", "MZ");
    dir.createDir("programs/ReBirth/mods");
    TRegIniFile config(TRegRoot::CurrentUser, ConfigKey);
    config.WriteString(TMainSettings::Section, "ModPackerPath", user.modPacker.toStdString());
    config.WriteString(TMainSettings::Section, "ReBirthPath", user.reBirth.toStdString());
    config.WriteBool(TMainSettings::Section, "ShowWelcome", false);
    config.WriteBool(TMainSettings::Section, "FirstTime", false);
    return user;
}
