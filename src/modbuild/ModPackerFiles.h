#pragma once

#include "modbuild/BuildContext.h"
#include "platform/SafeDir.h"

#include <QStringList>

// The ModPacker folder: every assigned component converted under its packer
// file name (images as JPEG, drums as 16-bit mono AIFF), "demo.rbs" (a copy of
// the demo song, when it exists), and the text files "comments.txt" (the
// comments line by line; empty when there are none), "FTP.txt", "ModName.txt"
// and "WWW.txt" (one line each), all lines ended by CR LF.

// Writes that layout into `folder`. Files of other names are left alone; the
// file of a component without an assignment is removed. Conversion errors go to
// the messages window; failing to write a text file raises EModwright. With no
// assignment at all it says so in an information box, writes nothing and
// returns false.
// Everything inside the folder is done through a handle on it (the path is
// opened once; a name inside it that is or becomes a link is replaced as a link,
// never followed); a folder that cannot be opened raises EModwright.
bool CreateModPackerFiles(const TBuildContext &ctx, const QString &folder);
// The same into an open folder (Make!'s checked mod folder).
bool CreateModPackerFiles(const TBuildContext &ctx, const TSafeDir &folder);

// The lines of a text as the text files hold them: CR LF, LF and CR all end a
// line, and a final line break does not start another line.
QStringList TextLines(const QString &text);
// The lines, each ended by CR LF, in the platform's 8-bit character set.
QByteArray TextFileBytes(const QStringList &lines);

// Why a mod name cannot be the name of the mod's folder below the temporary
// working folder ("", ".", "..", a "/" or a NUL would put the folder, and its
// removal after packing, somewhere else); empty when it can.
QString ModNameProblem(const QString &modName);

// True when both paths name the same existing file.
bool SameFile(const QString &a, const QString &b);
