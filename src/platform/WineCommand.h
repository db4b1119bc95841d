#pragma once

#include <functional>
#include <string>
#include <string_view>

// The program named at the start of a Windows command string, as found in an
// association's "shell\open\command" or an uninstall entry. `isFile` says
// whether a Windows path names an existing file.

// "\"C:\\Program Files\\X\\x.exe\" \"%1\"" gives what stands between the
// quotes. Unquoted, Windows' start call tries the text up to each blank in
// turn, with and without ".exe", and takes the first that names a file
// ("C:\\Program Files\\X\\x.exe %1"); when none does, the text up to the first
// blank. Empty for an empty command.
std::string CommandProgram(std::string_view command, const std::function<bool(const std::string &)> &isFile);

// The uninstaller of an "UninstallString": empty when the string has fewer than
// 3 characters; else a leading and a trailing double quote go, and the program
// is taken as CommandProgram takes it.
std::string UninstallerProgram(std::string_view text, const std::function<bool(const std::string &)> &isFile);
