#pragma once

#include <string>

// The main program's registration of the context-menu library: the class key
// and the file-type handler keys under HKEY_CLASSES_ROOT, the file types' icons
// where no other program claimed them, and the menu entries of the Linux file
// managers, which run the menu bridge beside the main program. Plain C++, no Qt.

// With doRegister writes everything; without it removes what registration
// wrote (keys and icon values naming this program, our own menu files), and
// never anything else. Both first remove a handler of an earlier version.
// programPath is the main program's full path. Each step is guarded: a failing
// step is skipped. Throws EModwright only when the registry file cannot be
// written at all; the main window ignores that too.
void RegisterShellExtension(bool doRegister, const std::string &programPath);

// The registry part alone (HKEY_CLASSES_ROOT).
void RegisterShellClasses(bool doRegister, const std::string &programPath);

// Whether a DefaultIcon value ("path,index", the path perhaps in quotes) names
// the program: its file name part equals the program's, without regard to case.
bool IconNamesProgram(const std::string &iconValue, const std::string &programPath);
