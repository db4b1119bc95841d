#pragma once

// Names shared by the main program and the context-menu library: the library's
// class, its registration and the configuration values through which the two
// talk (they never call each other). Plain C++, no Qt: the library builds it.

// The context-menu handler's class identifier, spelt as the registration writes it.
constexpr const char *ShellExtClassId = "{6BCAD262-73D3-4b17-BA5F-40AF35E9123B}";
// The handler class of an earlier version, removed wherever it is found.
constexpr const char *OlderShellExtClassId = "{47C25C00-1F19-11d2-9393-0080AD160D07}";
constexpr const char *ShellExtDescription = "Modwright for ReBirth 2 context menu extension";

// The library's file name as the main program registers it: a bare name, which
// the menu bridge looks up in its own folder first (the way the system's
// library search starts with the program's folder), then in ../lib.
constexpr const char *ShellExtLibraryName = "libmodwright-shellext.so";
// The bridge program that the file managers' menu entries run, installed
// beside the main program.
constexpr const char *ShellMenuProgramName = "modwright-shellmenu";

// The configuration key below HKEY_CURRENT_USER, made from its three parts.
constexpr const char *ConfigCompany = "Talwen";
constexpr const char *ConfigProduct = "Modwright for ReBirth 2";
constexpr const char *ConfigSection = "Current";

// Values of the section "Current", all strings.
constexpr const char *ValModwrightPath = "ModwrightPath";
constexpr const char *ValImgEditorActive = "ImgEditorActive";
constexpr const char *ValImgEditorName = "ImgEditorName";
constexpr const char *ValImgEditorPath = "ImgEditorPath";
constexpr const char *ValDrumEditorActive = "DrumEditorActive";
constexpr const char *ValDrumEditorName = "DrumEditorName";
constexpr const char *ValDrumEditorPath = "DrumEditorPath";

// The two switches with which the library starts the main program to ask for an editor.
constexpr const char *AskImageEditorSwitch = "/askimgeditor";
constexpr const char *AskDrumEditorSwitch = "/askdrumeditor";
