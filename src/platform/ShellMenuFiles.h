#pragma once

#include <string>
#include <vector>

// The Linux file managers' entries for the "Edit with" command, each in the
// manager's own place and format. They run the menu bridge on the selected file;
// the bridge loads the registered handler, which decides and starts the editor.
//  - KDE service menus (Dolphin, Konqueror): kio/servicemenus/ (KDE Frameworks
//    5.85 and later) and kservices5/ServiceMenus/ (earlier), in the data folder;
//  - Nautilus scripts (data folder, nautilus/scripts/) and Caja scripts (config
//    folder, caja/scripts/): small shell scripts named by their label;
//  - Nemo actions: nemo/actions/*.nemo_action in the data folder;
//  - Thunar: our actions merged into the config folder's Thunar/uca.xml;
//  - PCManFM and PCManFM-Qt: file-manager/actions/*.desktop in the data folder.
// One entry per kind of file (images, drums), labelled with the handler's own
// text for that kind's editor choice ("Edit with <editor>" or "Edit with...").
// Where a manager filters, the entry shows for one local file with the kind's
// extensions only (.jpg/.bmp, .wav/.aif, any letter case); where it cannot, the
// bridge refuses other selections with a message on screen. The entries carry
// the configuration folder when $MODWRIGHT_CONFIG_DIR is set.
//
// Ours are the files with the line "X-Modwright-Handler=<class id>" (a comment
// line in scripts) and the Thunar actions whose unique id starts with
// "modwright-edit-": nothing else is ever overwritten or removed.

// $XDG_DATA_HOME, else $HOME/.local/share; $XDG_CONFIG_HOME, else $HOME/.config.
// Empty when no absolute folder is known.
std::string UserDataFolder();
std::string UserConfigFolder();

// The bridge program beside the main program.
std::string MenuProgramBeside(const std::string &programPath);

struct TShellMenuFile {
    std::string manager; // "kde", "kde-old", "nautilus", "caja", "nemo", "pcmanfm"
    std::string path;
    std::string contents;
    unsigned mode = 0644;
};

// The entry files (all but Thunar's) for the bridge, with the menu texts of the
// current editor choice. Empty when the folders are unknown or the bridge's path
// cannot be written into a menu entry (a control character in it). Throws
// EModwright when the editor choice cannot be read.
std::vector<TShellMenuFile> ShellMenuFiles(const std::string &menuProgram);

// Writes the entries (only those that changed) and removes ours that are no
// longer wanted. Without the bridge program it removes ours instead, since they
// would run nothing. A manager's folder or file that cannot be used (unreadable,
// not well-formed, a link elsewhere) is left untouched; the returned messages
// say why, one each.
std::vector<std::string> InstallShellMenus(const std::string &menuProgram);
// Removes our entries; others' files and actions stay.
std::vector<std::string> RemoveShellMenus();

struct TShellMenuEntry {
    std::string manager;
    std::string path;
    std::string actionId; // Thunar's unique id; empty for a file of its own
};
// Our entries as they are on disk now.
std::vector<TShellMenuEntry> ListShellMenus();

// Desktop-entry quoting of one argument of an Exec line: in double quotes, with
// `"`, "`", "$" and "\" escaped, then "%" doubled and the value's own
// backslash escapes applied, as a reader undoes them in the opposite order.
std::string DesktopExecArgument(const std::string &argument);
// A desktop-entry string value ("\" -> "\\", control characters escaped).
std::string DesktopStringValue(const std::string &text);
// A POSIX shell word in single quotes ("it's" -> 'it'\''s').
std::string ShellQuote(const std::string &text);
