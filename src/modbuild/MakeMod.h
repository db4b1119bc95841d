#pragma once

#include "modbuild/BuildContext.h"
#include "modbuild/BuildDialogs.h"

// "Make!": lays out the ModPacker folder for the current assignment in a folder
// named after the mod below the temporary working folder, runs ModPacker on it,
// waits until ModPacker has ended, and removes the folder again.
//
// Returns ModPacker's exit code, or -1 when ModPacker was not run (not found,
// the texts dialog cancelled, an unusable mod name, the folder not writable, or
// the start failed; each but the first two with a message box).
int MakeMod(const TBuildContext &ctx, TBuildDialogs &dialogs);

// True when `folder` lies strictly below `base` (after resolving links), so
// that emptying it cannot touch anything else.
bool IsStrictlyInside(const QString &folder, const QString &base);

// Empties and removes the mod folder, but only when it is a real folder (not
// a link) strictly inside the working folder; returns whether it is gone.
bool RemoveModFolder(const QString &modFolder, const QString &workingFolder);
