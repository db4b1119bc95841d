#pragma once

#include "platform/WineEnvironment.h"
#include "platform/WineRegistry.h"

#include <optional>
#include <string>

// A string found in a prefix's registry: its text, REG_EXPAND_SZ values
// expanded, and where it was found ("HKEY_LOCAL_MACHINE\Software\Wow6432Node\...").
struct TWineString {
    std::string text;
    std::string key;
};

// The user's Wine prefix: its registry files and its drives. Windows programs
// installed there are found through its registry, and their Windows paths are
// turned into paths of this file system.
//
// A 64-bit prefix keeps two registry views: 32-bit installers write below
// Software\Wow6432Node (classes below Software\Classes\Wow6432Node). Both
// views are read, the 32-bit one first, since the programs looked for are
// 32-bit ones.
class TWinePrefix {
public:
    // $WINEPREFIX when set, else ~/.wine (Wine's own choice); nothing unless
    // that folder holds "system.reg".
    static std::optional<TWinePrefix> Locate();
    // The folder Locate() looks in (empty without a home folder).
    static std::string DefaultFolder();
    // The prefix in `folder`, its registry files read at once (a missing or
    // broken file reads as empty).
    explicit TWinePrefix(const std::string &folder);
    // A prefix with registries already read; `userName` names the user's
    // profile folder when the registry does not.
    TWinePrefix(const std::string &folder, TWineRegistry machine, TWineRegistry user,
                const std::string &userName);

    const std::string &Folder() const { return folder_; }

    // A non-empty string of HKEY_LOCAL_MACHINE ("system.reg"); `keyPath` below
    // the root ("Software\Vendor\X"), read in the 32-bit view first.
    std::optional<TWineString> ReadMachineString(const std::string &keyPath, const std::string &name) const;
    // A non-empty string of HKEY_CLASSES_ROOT: the user's classes
    // (HKCU\Software\Classes) before the machine's, each 32-bit view first.
    std::optional<TWineString> ReadClassesString(const std::string &keyPath, const std::string &name) const;

    // The environment of a 32-bit (`wow32`) or a native program in the prefix.
    const TWineEnvironment &Environment(bool wow32) const { return wow32 ? env32_ : env64_; }

    // "C:\Program Files\X\a.exe" as a path of this file system: the drive
    // through "dosdevices/c:" (usually a link to "../drive_c"; "z:" to "/"),
    // then each component as it exists, or else the directory entry equal to it
    // but for ASCII case. Empty when there is no drive letter, no such drive, or
    // a component that does not exist.
    std::string MapPath(const std::string &windowsPath) const;

private:
    struct TPlace {
        const TWineRegistry *reg;
        const char *root;
        std::string key;
        bool wow32;
    };
    std::optional<TWineString> readFirst(std::initializer_list<TPlace> places, const std::string &name) const;

    std::string folder_;
    TWineRegistry machine_;
    TWineRegistry user_;
    TWineEnvironment env32_;
    TWineEnvironment env64_;
};
