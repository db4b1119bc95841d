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
// The lines, each ended by CR LF, in windows-1252, the 8-bit character set of
// the Windows programs that read them. A character that set cannot hold is
// written as "?"; the first such character goes to `unwritable` (when given).
QByteArray TextFileBytes(const QStringList &lines, QString *unwritable = nullptr);

// windows-1252 both ways. Its five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) stand for the control characters of the same number, as Windows maps
// them, so that every byte string decodes and encodes back unchanged.
QString DecodeWindows1252(const QByteArray &bytes);
QByteArray EncodeWindows1252(const QString &text, QString *unwritable = nullptr);
// The first character of `text` that windows-1252 cannot hold (a surrogate pair
// as one character); empty when there is none.
QString FirstUnwritableCharacter(const QString &text);
// "\"ő\" (U+0151)": a character as messages name it.
QString CharacterName(const QString &character);

// A text file made by a Windows program or by hand: UTF-8 after a byte-order
// mark, UTF-16 after its mark, UTF-8 when the bytes are valid UTF-8, else
// windows-1252.
QString DecodeTextFile(const QByteArray &bytes);

// Why a mod name cannot be the name of the mod's folder: "", ".", "..", a "/"
// or a NUL would put the folder, and its removal after packing, somewhere
// else; and the packer, handed the folder path unquoted on its command line,
// cannot reach a folder whose name holds a double quote, a tab, two blanks in a
// row, or ends with a blank or a dot. Empty when the name can be used.
QString ModNameProblem(const QString &modName);

// True when both paths name the same existing file.
bool SameFile(const QString &a, const QString &b);
