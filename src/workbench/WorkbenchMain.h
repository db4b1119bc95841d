#pragma once

#include <QStringList>
#include <memory>

class QApplication;
class TModwrightForm;
struct TStartOptions;

// The main window with the program's own wiring (the file managers' menu entries
// registered at its first showing); not yet shown.
std::unique_ptr<TModwrightForm> CreateMainWindow(const TStartOptions &options);

// The windowed start: the main window (with its messages window) until it is
// closed; the catalogue is freed at the end. `arguments` are the command
// line's own arguments, without the program.
//
// Two environment switches serve measurements and pictures and change nothing
// else: MODWRIGHT_READY_EXIT=1 prints "ready" once the window is painted with
// its lists filled and the assignment loaded, then leaves at once (no closing
// steps); MODWRIGHT_GRAB=<prefix> saves the window on both tabs and the About
// box as <prefix>-images.png, <prefix>-drums.png and <prefix>-about.png, then
// leaves the same way. Both answer message boxes on standard error.
int RunWorkbench(QApplication &app, const QStringList &arguments);

// The whole program: the ask-for-editor mode or the windowed start. `arguments`
// are the command line's own arguments, without the program.
int ModwrightMain(QApplication &app, const QStringList &arguments);
