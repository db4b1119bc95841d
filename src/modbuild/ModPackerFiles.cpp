#include "modbuild/ModPackerFiles.h"

#include "common/MessageBoxes.h"
#include "modbuild/ComponentSave.h"

#include <QFileInfo>
#include <QStringDecoder>

namespace {

// windows-1252's bytes 0x80 to 0x9F; the five it leaves unassigned stand for
// the C1 control characters of the same number.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98-9F
};

// The byte of a UTF-16 unit in windows-1252, -1 when it has none.
int Windows1252Byte(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return unit;
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == unit)
            return 0x80 + i;
    return -1;
}

// The character at `i`, both halves of a surrogate pair.
QString CharacterAt(const QString &text, qsizetype i)
{
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return text.mid(i, 2);
    return text.mid(i, 1);
}

bool AnyAssigned(const TAssignmentSet &set)
{
    for (const TAssignmentRows *rows : {&set.imageRows(), &set.drumRows()})
        for (const auto &row : *rows)
            if (row->isAssigned())
                return true;
    return false;
}

// Every step inside the folder goes through its handle: an old file or a link
// of a component's name is removed as it is (unlinkat, never followed), and the
// new file is made under a fresh name and renamed into place.
void WriteComponents(const TBuildContext &ctx, const TAssignmentRows &rows, const TSafeDir &folder)
{
    for (const auto &row : rows) {
        ctx.progress.StepProgress();
        const QString name = row->modFileName();
        // The old file goes, so that the folder holds exactly what was converted;
        // but not when it is the assigned file itself (a folder exported again
        // after importing it), which the save then replaces from itself.
        if (!SameFile(row->assignedPath(), folder.FilePath(name)))
            folder.Remove(name);
        SaveAssignedFile(*row, folder, name, ctx.messages(), ctx.settings);
    }
}

void WriteDemoSong(const TBuildContext &ctx, const TSafeDir &folder)
{
    const QString name = QStringLiteral("demo.rbs");
    const QString song = ctx.set.texts.DemoSong;
    if (!song.isEmpty() && SameFile(song, folder.FilePath(name)))
        return; // already in place
    folder.Remove(name);
    if (song.isEmpty() || !QFileInfo(song).isFile())
        return;
    try {
        folder.CopyIn(song, name);
    } catch (const std::exception &e) {
        ctx.messages().AddMessage(QString::fromUtf8(e.what()));
    }
}

// The mod texts dialog refuses characters the packer's files cannot hold; texts
// that did not pass through it (an assignment file edited elsewhere) are
// written with "?" and the messages window says which character it replaced.
void WriteTextFile(const TBuildContext &ctx, const TSafeDir &folder, const QString &name,
                   const QStringList &lines)
{
    QString unwritable;
    folder.WriteFile(name, TextFileBytes(lines, &unwritable));
    if (!unwritable.isEmpty())
        ctx.messages().AddMessage(name + ": the character " + CharacterName(unwritable) +
                                  " has no place in the Windows character set (windows-1252); it was "
                                  "written as \"?\".");
}

} // namespace

QStringList TextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == '\r' || c == '\n') {
            lines << text.mid(start, i - start);
            i += (c == '\r' && i + 1 < n && text[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QByteArray TextFileBytes(const QStringList &lines, QString *unwritable)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        QString bad;
        bytes += EncodeWindows1252(line, &bad) + "\r\n";
        if (unwritable && unwritable->isEmpty())
            *unwritable = bad;
    }
    return bytes;
}

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += (byte >= 0x80 && byte < 0xA0) ? QChar(kHighControls[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray EncodeWindows1252(const QString &text, QString *unwritable)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = Windows1252Byte(text[i].unicode());
        if (byte >= 0) {
            bytes += char(byte);
            continue;
        }
        if (unwritable && unwritable->isEmpty())
            *unwritable = CharacterAt(text, i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i; // one "?" for the whole character
        bytes += '?';
    }
    return bytes;
}

QString FirstUnwritableCharacter(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (Windows1252Byte(text[i].unicode()) < 0)
            return CharacterAt(text, i);
    return {};
}

QString CharacterName(const QString &character)
{
    const QList<uint> codes = character.toUcs4();
    const uint code = codes.isEmpty() ? 0 : codes.first();
    // Control characters are shown by their number only.
    const QString shown = code < 0x20 || (code >= 0x7F && code < 0xA0) ? QString() : "\"" + character + "\" ";
    return shown + QString("(U+%1)").arg(code, 4, 16, QChar('0')).toUpper();
}

QString DecodeTextFile(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                            : QStringConverter::Utf16BE);
        return decoder(bytes.mid(2));
    }
    // Stateless: a sequence cut off at the end is an error, not kept for more input.
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? DecodeWindows1252(bytes) : text;
}

QString ModNameProblem(const QString &modName)
{
    if (modName.isEmpty())
        return "Please enter a mod name.";
    if (modName == "." || modName == "..")
        return "The mod name cannot be \"" + modName + "\": it must be usable as a folder name.";
    if (modName.contains('/') || modName.contains(QChar(0)))
        return "The mod name must not contain \"/\" or a NUL character: it must be usable as a folder name.";
    // The packer gets the folder path unquoted, cut into words at blanks and
    // joined again with single blanks: quotes, tabs and runs of blanks are lost
    // on the way.
    if (modName.contains('"'))
        return "The mod name must not contain a double quote (\"): ModPacker could not find the mod's "
               "folder.";
    if (modName.contains('\t') || modName.contains("  ") || modName.endsWith(' '))
        return "The mod name must not contain a tab or two blanks in a row, nor end with a blank: "
               "ModPacker could not find the mod's folder.";
    // Windows drops the dots that end a path's last name ("Mod." is "Mod").
    if (modName.endsWith('.'))
        return "The mod name must not end with a dot: ModPacker could not find the mod's folder.";
    return {};
}

bool SameFile(const QString &a, const QString &b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool CreateModPackerFiles(const TBuildContext &ctx, const QString &folderPath)
{
    if (!AnyAssigned(ctx.set)) {
        ShowInformation("You haven't made any assignments yet.\r\n"
                        "Drag files from right file list to left mod list to make assignments.");
        return false;
    }
    // The folder the user named (a link on the way to it is theirs to have);
    // nothing inside it is followed.
    return CreateModPackerFiles(ctx, TSafeDir::Open(folderPath));
}

bool CreateModPackerFiles(const TBuildContext &ctx, const TSafeDir &folder)
{
    if (!AnyAssigned(ctx.set)) {
        ShowInformation("You haven't made any assignments yet.\r\n"
                        "Drag files from right file list to left mod list to make assignments.");
        return false;
    }
    ctx.messages().ClearMessages();
    const int count = ctx.set.imageRows().count() + ctx.set.drumRows().count();
    TProgressScope progress(ctx.progress, "Creating ModPacker files...", count);
    WriteComponents(ctx, ctx.set.imageRows(), folder);
    WriteComponents(ctx, ctx.set.drumRows(), folder);
    WriteDemoSong(ctx, folder);

    const TModTexts &texts = ctx.set.texts;
    WriteTextFile(ctx, folder, "comments.txt", TextLines(texts.Comments));
    WriteTextFile(ctx, folder, "FTP.txt", {texts.FTP});
    WriteTextFile(ctx, folder, "ModName.txt", {texts.ModName});
    WriteTextFile(ctx, folder, "WWW.txt", {texts.WWW});
    return true;
}
