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

// Where an outside program was found, or why it was not.
struct TProgramLookup {
    QString path; // empty when not found
    // "our registry store: <key>", "Wine prefix <folder>: <key>", or the reason
    // nothing was found, in a sentence.
    QString from;
};

// ModPacker beside the uninstaller named by the "ReBirth ModPacker" uninstall
// entry of HKEY_LOCAL_MACHINE; not found when there is none or no such file.
// Our registry store is asked first, then the user's Wine prefix (both of its
// registry views, see TWinePrefix), whose Windows paths are mapped to paths of
// this file system.
TProgramLookup LookupModPacker();
// The program of the ".rbs" association's open command in HKEY_CLASSES_ROOT,
// from our store, else from the Wine prefix (the user's classes, then the
// machine's).
TProgramLookup LookupReBirth();

// The paths alone; empty when not found.
QString FindModPacker();
QString FindReBirth();

// The folder of a path with its trailing separator ("\" or "/"), empty when it has none.
QString FolderPart(const QString &path);
