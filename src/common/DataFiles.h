#pragma once

#include <QString>

// The program's read-only data (the FAQ, the demo mod) lives in share/modwright beside the
// folder of the running program: build/share/modwright for a build tree (the build copies
// it there) and PREFIX/share/modwright for an installed one, since both keep the programs
// in a bin folder next to share. MODWRIGHT_DATA_DIR, when set, comes first.

// The data folders to search, best first, each with a trailing "/".
QStringList DataFolders();
// The full path of a data file or folder, or an empty string when no data folder holds it.
QString FindDataFile(const QString &relativePath);
