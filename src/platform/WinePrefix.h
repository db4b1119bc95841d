#pragma once

#include "platform/WineRegistry.h"

#include <optional>
#include <string>

// The user's Wine prefix: its registry files and its drives. Windows programs
// installed there are found through its registry, and their Windows paths are
// turned into paths of this file system.
class TWinePrefix {
public:
    // $WINEPREFIX when set, else ~/.wine (Wine's own choice); nothing unless
    // that folder holds "system.reg".
    static std::optional<TWinePrefix> Locate();
    // The prefix in `folder`, its registry files read at once (a missing or
    // broken "user.reg" reads as empty).
    explicit TWinePrefix(const std::string &folder);

    const std::string &Folder() const { return folder_; }

    // A string of HKEY_LOCAL_MACHINE ("system.reg"); `keyPath` below the root.
    std::optional<std::string> ReadMachineString(const std::string &keyPath, const std::string &name) const;
    // A string of HKEY_CLASSES_ROOT: the user's HKCU\Software\Classes key wins
    // over the machine's HKLM\Software\Classes key when it exists.
    std::optional<std::string> ReadClassesString(const std::string &keyPath, const std::string &name) const;

    // "C:\Program Files\X\a.exe" as a path of this file system: the drive
    // through "dosdevices/c:" (usually a link to "../drive_c"; "z:" to "/"),
    // then each component as it exists, or else the directory entry equal to it
    // but for ASCII case. Empty when there is no drive letter, no such drive, or
    // a component that does not exist.
    std::string MapPath(const std::string &windowsPath) const;

private:
    std::string folder_;
    TWineRegistry machine_;
    TWineRegistry user_;
};
