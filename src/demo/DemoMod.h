#pragma once

#include "model/ModTexts.h"

#include <QByteArray>
#include <QString>

class TAssignmentSet;

// The demo mod: every one of the 105 components drawn or synthesised by our
// own code (DemoImages.h, DemoDrums.h), its five mod texts, and the folder it
// is written to, with an assignment file that holds it as "Demo".

constexpr const char *DemoAssignmentName = "Demo";
constexpr const char *DemoAssignmentFileName = "Assignments.ini";

// The demo's file for a live entry (0..104): the component's display name with
// ".bmp" for an image (24-bit BMP) or ".wav" for a drum (44100 Hz 16-bit mono).
QString DemoFileName(int liveIndex);
// That file's bytes (the same bytes on every call).
QByteArray DemoFileBytes(int liveIndex);
TModTexts DemoTexts();

// Writes the 105 files into `folder` (made when missing), then the assignment
// file "Assignments.ini" with the assignment "Demo" naming every component by
// its full path and the mod texts, written by the assignment set so that it is
// what the program reads. Each file is replaced atomically and the assignment
// file comes last, so a folder that can't be written gets no assignment file.
// The catalogue's assigned paths are left as they were. Raises EModwright:
// "Cannot write the demo mod into <folder>: <reason>".
void WriteDemo(const QString &folder);

// Whether `folder` holds the assignment file and all 105 demo files.
bool DemoComplete(const QString &folder);

// Makes the demo in `folder` the current assignment: every row of both lists
// is assigned its file through the set's check (drums first, as loading does;
// failures are reported in the messages window as loading reports them), the
// mod texts are the demo's, the name is "Demo" and the set is unmodified.
// The folder's own assignment file is not read: an installed demo may have
// been written elsewhere than where it now lies.
void LoadDemoAssignment(TAssignmentSet &set, const QString &folder);

// The user's own demo folder: $XDG_DATA_HOME/modwright/demo (else ~/.local/share/...).
QString UserDemoFolder();
// A complete demo folder: the one among the program's data folders (made at
// build time, installed with the program), else the user's own, written there
// first when it is missing, incomplete or made by another version of the program.
// Raises EModwright as WriteDemo does.
QString DemoFolder();
