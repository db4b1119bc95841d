#pragma once

#include <QString>
#include <QStringList>

// Small routines on paths, folders and strings shared by the windows and the
// model. Paths are POSIX paths (UTF-8 on disk) with "/" as the separator; there
// are no drive letters, and "/" plays the part of a bare drive. None of these
// routines reports failure except through the two assertions named below:
// lookups give empty strings or the input, file-system failures are ignored.

// Adds "/" when the path is non-empty and does not end in one.
QString IncludeTrailingPathDelimiter(const QString &path);
// Removes one final "/"; the root "/" itself stays "/" (it still names the root).
QString ExcludeTrailingPathDelimiter(const QString &path);

// The path with each component in its long form. POSIX file systems have no
// short 8.3 names, so this is the path as it is, existing or not.
QString LongPath(const QString &path);

// The running executable's full path (from /proc/self/exe), read once; or the path given to
// SetProgramPath, for a program run behind a front that stands for it.
QString ProgramPath();
// Makes ProgramPath() answer Path; called by main() before anything asks.
void SetProgramPath(const QString &path);

// The program's version text from the build ("2.0.2.320"), and the version
// number and build derived from it: the number is the text up to its last dot,
// with the last dot of that removed when it is not the first character
// ("2.02"); the build is the text after the last dot ("320"). A text without a
// dot gives an empty number and build.
QString VersionText();
QString VersionNumber();
QString VersionBuild();
QString VersionNumber(const QString &versionText);
QString VersionBuild(const QString &versionText);

// Everything of a file name before its first dot; the whole name when there is
// no dot or the name starts with one (".hidden").
QString StripExtension(const QString &name);

// The current folder, or the program's folder when it cannot be read (it was
// deleted, say); always with a trailing "/".
QString WorkingFolder();
// $TMPDIR when set, else "/tmp"; with a trailing "/". Shared by every local
// user: nothing private belongs there under a fixed name.
QString TempFolder();
// The default base of the temporary working folder, private to the user:
// $XDG_RUNTIME_DIR/modwright when that is set (an absolute path), else
// $XDG_CACHE_HOME/modwright, else ~/.cache/modwright; with a trailing "/".
QString PrivateTempBase();
// True when path names the shared temporary folder (TempFolder(), /tmp or
// /var/tmp), trailing "/" or not.
bool IsSharedTempFolder(const QString &path);

// A file name in folder that does not exist yet. For ".tmp" with create, a name
// "KVOxxxxxx.tmp" made and created by mkstemps. Otherwise "temp1<extension>",
// "temp2<extension>", ... the first free one; with create the file is made
// empty at once to reserve the name. Empty when no name can be had.
QString UniqueTempFileName(const QString &folder, const QString &extension, bool create);

// True for an existing folder (or a symbolic link to one).
bool FolderExists(const QString &path);
// Whether a file can be created in the folder (a unique ".tmp" file is made and removed).
bool FolderIsWritable(const QString &folder);
// Creates the folder and its missing parents, the top first; a trailing "/" is
// ignored; "" and "/" are left alone. Returns whether the folder exists afterwards.
bool CreateFolders(const QString &path);
// Deletes everything in the folder, subfolders emptied first and then removed,
// and with remove the folder itself. A symbolic link is removed as a link and
// never followed: what it points to is untouched, inside or outside the folder;
// a path that is itself a link is treated the same way. Failures are ignored.
// An empty path is a programming error (assertion).
void EmptyFolder(const QString &path, bool remove);

// Appends each string of a list whose strings end with a zero character and
// which ends with an empty string (clipboard and drag-and-drop file lists). A
// byte count of -1 means unbounded; a string cut off by the byte count is taken
// as it is. The 16-bit form reads UTF-16 (its count is in bytes too). A null
// buffer is a programming error (assertion).
void SplitZeroSeparatedList(const char *buffer, qsizetype byteCount, QStringList &list);
void SplitZeroSeparatedList(const char16_t *buffer, qsizetype byteCount, QStringList &list);

// One-line storage of multi-line text: every CR LF, LF CR and lone LF becomes
// the two characters backslash and "n"; a lone CR stays. Unescaping turns every
// backslash-"n" into CR LF. (A text that holds a backslash followed by "n"
// itself comes back with a line break there; the stored format has no escape
// for it.)
QString EscapeLineBreaks(const QString &text);
QString UnescapeLineBreaks(const QString &text);

// The path unchanged when it has at most limit characters; otherwise leading
// folders are replaced step by step by ".../" until it fits:
// "/Programs/Mods/Images/file.bmp" with 20 gives "/.../Images/file.bmp" on the
// way to "/.../file.bmp", ".../file.bmp" and at last "file.bmp" alone.
QString ShortenPath(const QString &path, int limit);

// The program that opens files of the extension (".bmp"), from the registry
// store's HKEY_CLASSES_ROOT: the extension key's default value names the file
// type, whose "shell\open\command" default value is the command. The command is
// cut just after its first ".exe" (a leading double quote removed); when that
// names no existing file, its first word is taken instead (a quoted first word
// without its quotes), for native programs. Empty unless the result is an
// existing file.
QString AssociatedProgram(const QString &extension);

// The user's documents folder from the XDG user folders, or the home folder when
// that does not exist; no trailing "/"; empty when neither is known.
QString DocumentsFolder();

int Maximum(int a, int b);
