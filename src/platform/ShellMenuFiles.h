#pragma once

#include <string>
#include <vector>

// The Linux file managers' entries for the "Edit with" command. They run the
// menu bridge with the selected files; the bridge loads the registered handler,
// which decides and starts the editor. Written into the user's data folder only:
//  - KDE service menus (Dolphin, Konqueror): kio/servicemenus/modwright-edit-
//    image.desktop and -drum.desktop, filtered by MIME type and to one file,
//    labelled with the handler's own text for the current editor choice;
//  - a Nautilus script (GNOME Files, Debian's default): nautilus/scripts/
//    "Edit with (Modwright)", a symbolic link to the bridge, so that no text
//    file and no quoting stands between the file names and the bridge.
// Files carry the line "X-Modwright-Handler=<class id>"; only files with it, and
// only links to the bridge, count as ours: others of the same name are never
// overwritten or removed.

// $XDG_DATA_HOME, else $HOME/.local/share; empty when neither is known.
std::string UserDataFolder();

// The bridge program beside the main program.
std::string MenuProgramBeside(const std::string &programPath);

struct TShellMenuFile {
    std::string path;     // below UserDataFolder()
    std::string contents; // empty for the script link
    std::string linkTo;   // the link's target, for the script link
};

// What InstallShellMenus writes for the bridge, with the menu texts of the
// current editor choice. Empty when the data folder is unknown or the bridge's
// path cannot be written into a menu entry (a control character in it).
std::vector<TShellMenuFile> ShellMenuFiles(const std::string &menuProgram);

// Writes the entries (only those that changed). Without the bridge program it
// removes ours instead, since they would run nothing. Throws EModwright when a
// file cannot be written.
void InstallShellMenus(const std::string &menuProgram);
// Removes our entries; others' files stay.
void RemoveShellMenus();

// Desktop-entry quoting of one argument of an Exec line: in double quotes, with
// `"`, "`", "$" and "\" escaped, then "%" doubled and the value's own
// backslash escapes applied, as a reader undoes them in the opposite order.
std::string DesktopExecArgument(const std::string &argument);
// A desktop-entry string value ("\" -> "\\", control characters escaped).
std::string DesktopStringValue(const std::string &text);
