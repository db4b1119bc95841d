#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The short ask-for-editor mode that the context-menu library starts: the user
// picks an image or sample editor, it is stored as the active one, and it is
// run on the file. No main window is made.

// What the program-picking dialog is asked to show.
struct TEditorDialog {
    QString title;     // "Select Image editor" / "Select Drum editor"
    QString directory; // where it starts
    QString fileName;  // preselected name (the current editor's), may be empty
    QStringList filters;
};
// Returns the chosen program, or an empty text when the user cancelled.
using TPickProgram = std::function<QString(const TEditorDialog &)>;

// The command line's own arguments (without the program) ask for this mode:
// exactly two, the first "/askimgeditor" or "/askdrumeditor" (exact case).
bool IsAskForEditorCommandLine(const QStringList &arguments);
// "/uninstall" as the first argument (exact case).
bool IsUninstallCommandLine(const QStringList &arguments);

// Runs the mode; `pick` defaults to the platform's file dialog. `stored` runs once
// the chosen editor has been stored, and never when the user cancelled. Returns
// the process exit code (0).
int RunAskForEditor(const QString &switchArgument, const QString &file, const TPickProgram &pick = {},
                    const std::function<void()> &stored = {});

// The file dialog used when no other is given.
QString PickProgramWithDialog(const TEditorDialog &dialog);
