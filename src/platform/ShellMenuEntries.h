#pragma once

#include "platform/ShellEditor.h"
#include "platform/ThunarActions.h"

#include <string>
#include <vector>

// What the menu entry files are made of, shared by their writer and their
// installer (ShellMenuFiles.h has the public side).

// The line that marks our files ("# " before it in scripts).
extern const std::string ShellMenuMarker;

struct TKindMenu {
    TShellFileKind kind;
    const char *kindName;  // the bridge's --kind
    const char *id;        // file name stem and Thunar unique id
    const char *mimeTypes; // where the manager filters by type
    const char *extensions[2];
};
extern const TKindMenu KindMenus[2];

// A folder that holds whole entry files of ours.
struct TShellMenuFolder {
    std::string manager;
    std::string path;
    bool scripts; // named by label, so ours are found by their marker line
};
std::vector<TShellMenuFolder> ShellMenuFolders();
// Thunar's uca.xml, or empty when the config folder is unknown.
std::string ThunarFile();

// The bridge's command words for one kind (or, without one, for both), up to "--".
std::vector<std::string> BridgeCommand(const std::string &menuProgram, const TKindMenu *kind);
// $MODWRIGHT_CONFIG_DIR made absolute, or empty when it is not set.
std::string MenuConfigFolder();
// Our Thunar actions for the current editor choice.
std::vector<TThunarAction> ThunarActionsFor(const std::string &menuProgram);
