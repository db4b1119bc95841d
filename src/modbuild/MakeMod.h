#pragma once

#include "modbuild/BuildContext.h"
#include "modbuild/BuildDialogs.h"
#include "platform/SafeDir.h"

#include <QString>

// "Make!": lays out the ModPacker folder for the current assignment in a folder
// named after the mod below the temporary working folder, runs ModPacker on it,
// waits until ModPacker has ended, and removes the folder again.
//
// The working folder and the mod folder are checked before use (a real folder,
// the user's own, not writable by group or others) and everything inside them
// goes through directory handles, so nothing outside them is ever touched.
//
// Returns ModPacker's exit code, or -1 when ModPacker was not run (not found,
// the texts dialog cancelled, an unusable mod name, a working or mod folder
// that fails its check or cannot be written, or the start failed; each but the
// first two with a message box), and -1 too when the mod folder was found
// replaced after packing (with a message box).
int MakeMod(const TBuildContext &ctx, TBuildDialogs &dialogs);

// After packing: empties the mod folder through its handle and removes its
// name from the working folder when the name still is that folder. A link put
// in its place is removed as a link (never followed); anything else is left.
// Returns empty when the folder went as it should, otherwise the message.
QString RemoveModFolder(const TSafeDir &working, const TSafeDir &modFolder, const QString &name);
