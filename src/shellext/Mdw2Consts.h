#pragma once

#include "platform/ShellExtNames.h"

// The context-menu library's texts. The menu and help texts are built by
// TShellEditorChoice (platform/ShellEditor.h), which the main program's menu
// files share.

// The language-independent name of the command.
constexpr const char *EditVerb = "mdwfr2edit";
// The one message the library shows: when the editor cannot be started.
constexpr const char *ErrorExecutingFormat = "Error executing %s.";
constexpr const char *ErrorCaption = "Error";
