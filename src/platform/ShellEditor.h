#pragma once

#include <string>

// What the context menu offers for one file: the kind of file, and the editor
// chosen for that kind in the main program, read from the configuration values
// the main program writes. Shared by the context-menu library (which reads them
// for every menu) and the main program's menu-file registration (which shows
// the same text in the file managers' menus). Plain C++, no Qt.

enum class TShellFileKind { None, Image, Drum };

// ".jpg" and ".bmp" are images, ".aif" and ".wav" drums, compared without
// regard to case; everything else (".jpeg" and ".aiff" among them) is None.
TShellFileKind ShellFileKindOf(const std::string &fileName);

struct TShellEditorChoice {
    std::string modwrightPath; // the main program, as it last wrote itself
    std::string editorName;
    std::string editorPath;
    // The editor is active and its program file exists. The name then is never
    // empty: a missing one is the program file's name.
    bool editorAvailable = false;

    // Whether a menu command is offered at all: an editor, or the main program to ask for one.
    bool CommandOffered() const { return editorAvailable || !modwrightPath.empty(); }
    // "Edit with " + the editor's name, or "Edit with..." to ask for one.
    std::string MenuText() const;
    // The help text of the command.
    std::string HelpText() const;
};

// Reads the choice for the kind from HKEY_CURRENT_USER\Software\Talwen\Modwright
// for ReBirth 2\Current. A missing key or value reads as empty. The editor
// values are read only while the kind's "...Active" value is exactly "1".
// Throws EModwright when a path value (the main program's or the editor's) is
// there but is not text.
TShellEditorChoice ReadShellEditorChoice(TShellFileKind kind);

// The file name part of a path ("/usr/bin/gimp" -> "gimp").
std::string FileNamePart(const std::string &path);
// Something that is not a folder exists at the path (a file, or a link to one).
bool IsExistingFile(const std::string &path);
