#pragma once

#include "modbuild/BuildContext.h"
#include "modbuild/BuildDialogs.h"

// Reading a ModPacker folder back as the current assignment, and writing the
// current assignment into one.

// Every component is detached, then assigned the folder's file under its packer
// name when that file exists and passes the check; "demo.rbs" becomes the demo
// song (used where it is) and the four text files the mod texts. Problems are
// added as "*** Error: " lines, missing text files as "** Warning: " lines
// (when ShowWarnings). The assignment is unnamed afterwards; with showMessages
// the messages window is shown when it holds lines.
void ImportModFolder(const TBuildContext &ctx, const QString &folder, bool showMessages);

// "Export Mod folder": after the mod texts dialog, the ModPacker folder layout
// goes directly into the browser's folder.
void ExportMod(const TBuildContext &ctx, TBuildDialogs &dialogs, const TBrowserFolder &folder);

// "Import Mod folder" from the browser's folder, after offering to save.
void ImportMod(const TBuildContext &ctx, TBuildDialogs &dialogs, const TBrowserFolder &folder);

// The "Standard Components" folder beside ModPacker, imported silently as an
// unnamed, unmodified assignment. Returns false (and does nothing) when there
// is no such folder.
bool LoadStandardComponents(const TBuildContext &ctx);
