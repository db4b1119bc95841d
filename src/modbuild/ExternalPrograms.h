#pragma once

#include "modbuild/BuildSettings.h"

#include <QString>
#include <memory>

class TProcess;

// Starting the outside programs: ModPacker (waited for), ReBirth, the image and
// sample editors, and the viewer of the FAQ; and finding ModPacker and ReBirth
// through the registry store.

// Starts ModPackerPath on the mod folder (the parameter string is the folder
// path as it is); its working folder is ReBirth's "mods" folder when that
// exists. Returns the process, or nullptr with the reason in `reason` when it
// could not be started.
std::shared_ptr<TProcess> StartModPacker(const TBuildSettings &settings, const QString &modFolder,
                                         QString *reason = nullptr);

// Starts ReBirthPath in its own folder; "Error running <path>." on failure.
void RunReBirth(const TBuildSettings &settings);

// Opens `file` in the image (page 0) or sample (page 1) editor, the file path
// being its one argument. Nothing happens, silently, when the file or the
// editor does not exist; "Error starting <editor name>" when it won't start.
void RunEditor(const TBuildSettings &settings, int page, const QString &file);

// Opens the FAQ file found by FindDataFile("FAQ.txt") (DataFiles.h) with the
// desktop's program for it; "Error showing FAQ.txt." when none was found (an
// empty path) or it can't be opened.
void ShowFAQ(const QString &faqFile);

// ModPacker beside the uninstaller named by the "ReBirth ModPacker" uninstall
// entry of HKEY_LOCAL_MACHINE; empty when there is none or no such file. Our
// registry store is asked first, then the user's Wine prefix.
QString FindModPacker();
// The program associated with ".rbs" files in HKEY_CLASSES_ROOT, from our
// store, else from the Wine prefix; empty when none.
QString FindReBirth();

// The lookups above in the Wine prefix alone (see TWinePrefix): the Windows
// paths found there are mapped to paths of this file system.
QString FindWineModPacker();
QString FindWineAssociatedProgram(const QString &extension);

// The folder of a path with its trailing separator ("\" or "/"), empty when it has none.
QString FolderPart(const QString &path);
