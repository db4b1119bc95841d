#include "modbuild/ExternalPrograms.h"

#include "common/FolderNames.h"
#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "modbuild/ModPackerFiles.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WineCommand.h"
#include "platform/WinePrefix.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace {

std::string Std(const QString &s)
{
    return s.toStdString();
}

QString Q(const std::string &s)
{
    return QString::fromStdString(s);
}

const char *const kModPackerUninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker";

const char *const kOurStore = "our registry store";

QString PrefixText(const TWinePrefix &prefix)
{
    return "Wine prefix " + Q(prefix.Folder());
}

// A Windows path of the prefix as a path of this file system when it names a
// file there; empty otherwise.
QString MappedFile(const TWinePrefix &prefix, const std::string &windowsPath)
{
    const QString mapped = Q(prefix.MapPath(windowsPath));
    return !mapped.isEmpty() && QFileInfo(mapped).isFile() ? mapped : QString();
}

std::function<bool(const std::string &)> IsFileIn(const TWinePrefix &prefix)
{
    return [&prefix](const std::string &path) { return !MappedFile(prefix, path).isEmpty(); };
}

bool IsNativeFile(const std::string &path)
{
    return QFileInfo(Q(path)).isFile();
}

// Our own store's entry; the reason it gave nothing goes to `note`.
QString StoreModPacker(QString &note)
{
    try {
        TRegistry reg(TRegRoot::LocalMachine);
        if (!reg.OpenKeyReadOnly(std::string("\\") + kModPackerUninstallKey))
            return {};
        const std::string text = reg.ReadString("UninstallString");
        const QString folder = FolderPart(Q(UninstallerProgram(text, IsNativeFile)));
        const QString packer = folder.isEmpty() ? QString() : LongPath(folder + "ModPacker.exe");
        if (!packer.isEmpty() && QFileInfo(packer).isFile())
            return packer;
        note = QString("the uninstall entry in our registry store names \"%1\", beside which there is no "
                       "ModPacker.exe; ")
                   .arg(Q(text));
    } catch (const std::exception &e) {
        note = QString("our registry store cannot be read (%1); ").arg(QString::fromUtf8(e.what()));
    }
    return {};
}

// `inStore`: whether our store has an entry (which gave nothing).
TProgramLookup WineModPacker(const TWinePrefix &prefix, bool inStore)
{
    const std::optional<TWineString> entry =
        prefix.ReadMachineString(kModPackerUninstallKey, "UninstallString");
    if (!entry)
        return {{},
                QString("there is no \"ReBirth ModPacker\" uninstall entry in ") +
                    (inStore ? "the " : "our registry store or in the ") + PrefixText(prefix)};
    const QString where = PrefixText(prefix) + ": " + Q(entry->key);
    const std::string uninstaller = UninstallerProgram(entry->text, IsFileIn(prefix));
    const QString folder = FolderPart(Q(uninstaller));
    if (folder.isEmpty())
        return {{}, "the uninstall string \"" + Q(entry->text) + "\" of " + where + " names no folder"};
    const QString packer = MappedFile(prefix, Std(folder) + "ModPacker.exe");
    if (packer.isEmpty())
        return {{},
                "there is no " + folder + "ModPacker.exe in the " + PrefixText(prefix) +
                    " (the folder of the uninstall string \"" + Q(entry->text) + "\" of " + Q(entry->key) +
                    ")"};
    return {packer, where};
}

TProgramLookup WineReBirth(const TWinePrefix &prefix)
{
    const std::optional<TWineString> type = prefix.ReadClassesString(".rbs", "");
    // The command of the file type named by the extension; some installers put
    // it below the extension itself.
    std::vector<std::string> commandKeys;
    if (type)
        commandKeys.push_back(type->text + "\\shell\\open\\command");
    commandKeys.push_back(".rbs\\shell\\open\\command");
    QString reason;
    for (const std::string &key : commandKeys) {
        const std::optional<TWineString> command = prefix.ReadClassesString(key, "");
        if (!command)
            continue;
        const std::string program = CommandProgram(command->text, IsFileIn(prefix));
        if (const QString found = MappedFile(prefix, program); !found.isEmpty())
            return {found, PrefixText(prefix) + ": " + Q(command->key)};
        if (reason.isEmpty())
            reason = "the program \"" + Q(program) + "\" of the command \"" + Q(command->text) + "\" of " +
                     PrefixText(prefix) + ": " + Q(command->key) + " does not exist";
    }
    if (!reason.isEmpty())
        return {{}, reason};
    if (type)
        return {{},
                "the file type \"" + Q(type->text) + "\" of \".rbs\" (" + Q(type->key) +
                    ") has no open command in the " + PrefixText(prefix)};
    return {{},
            "no program is associated with \".rbs\" in our registry store or in the " + PrefixText(prefix)};
}

// `what` is not in our store, and there is no prefix to look in.
TProgramLookup NoPrefix(const QString &what)
{
    const std::string folder = TWinePrefix::DefaultFolder();
    if (folder.empty())
        return {{},
                what + " in our registry store, and there is no Wine prefix: neither WINEPREFIX nor a "
                       "home folder is set"};
    return {{},
            what + " in our registry store, and there is no Wine prefix at " + Q(folder) +
                " (no system.reg)"};
}

} // namespace

QString FolderPart(const QString &path)
{
    const qsizetype sep = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return sep < 0 ? QString() : path.left(sep + 1);
}

std::shared_ptr<TProcess> StartModPacker(const TBuildSettings &settings, const QString &modFolder,
                                         QString *reason)
{
    QString workingFolder;
    if (!settings.ReBirthPath.isEmpty()) {
        // An installer may have written "Mods"; Windows finds it as "mods".
        const QString folder = FolderPart(settings.ReBirthPath);
        const QString mods = folder.isEmpty() ? QString() : EntryIgnoringCase(folder, "mods");
        if (!mods.isEmpty() && QFileInfo(mods).isDir())
            workingFolder = mods;
    }
    try {
        return ShellExecute(Std(settings.ModPackerPath), Std(modFolder), Std(workingFolder));
    } catch (const std::exception &e) {
        if (reason)
            *reason = QString::fromUtf8(e.what());
        return nullptr;
    }
}

void RunReBirth(const TBuildSettings &settings)
{
    try {
        ShellExecute(Std(settings.ReBirthPath), "", Std(FolderPart(settings.ReBirthPath)));
    } catch (const std::exception &e) {
        // The reason (no such file, wine missing) goes on a second line.
        ShowError("Error running " + settings.ReBirthPath + ".\r\n" + QString::fromUtf8(e.what()));
    }
}

void RunEditor(const TBuildSettings &settings, int page, const QString &file)
{
    const QString editor = page == 0 ? settings.ImgEditorPath : settings.DrumEditorPath;
    if (file.isEmpty() || editor.isEmpty() || !QFileInfo::exists(file) || !QFileInfo::exists(editor))
        return;
    try {
        // The file path is the editor's one argument, whatever characters it holds.
        StartProgram(Std(editor), {Std(file)}, Std(QFileInfo(file).absolutePath()));
    } catch (const std::exception &e) {
        ShowInformation("Error starting " + QFileInfo(editor).fileName() + "\r\n" +
                        QString::fromUtf8(e.what()));
    }
}

void ShowFAQ(const QString &faq)
{
    if (faq.isEmpty() || !QFileInfo(faq).isFile()) {
        ShowInformation("Error showing FAQ.txt.");
        return;
    }
    try {
        OpenDocument(Std(faq));
    } catch (const std::exception &e) {
        ShowInformation("Error showing FAQ.txt.\r\n" + QString::fromUtf8(e.what()));
    }
}

TProgramLookup LookupModPacker()
{
    QString note;
    if (const QString packer = StoreModPacker(note); !packer.isEmpty())
        return {packer, QString(kOurStore) + ": HKEY_LOCAL_MACHINE\\" + kModPackerUninstallKey};
    const std::optional<TWinePrefix> prefix = TWinePrefix::Locate();
    TProgramLookup found =
        prefix ? WineModPacker(*prefix, !note.isEmpty())
        : note.isEmpty()
            ? NoPrefix("there is no \"ReBirth ModPacker\" uninstall entry")
            : TProgramLookup{{}, "there is no Wine prefix at " + Q(TWinePrefix::DefaultFolder())};
    if (found.path.isEmpty())
        found.from = note + found.from;
    return found;
}

TProgramLookup LookupReBirth()
{
    try {
        if (const QString program = AssociatedProgram(".rbs"); !program.isEmpty())
            return {LongPath(program), QString(kOurStore) + ": HKEY_CLASSES_ROOT\\.rbs"};
    } catch (const std::exception &) {
        // A store that cannot be read holds nothing; the Wine prefix may.
    }
    const std::optional<TWinePrefix> prefix = TWinePrefix::Locate();
    return prefix ? WineReBirth(*prefix) : NoPrefix("no program is associated with \".rbs\"");
}

QString FindModPacker()
{
    return LookupModPacker().path;
}

QString FindReBirth()
{
    return LookupReBirth().path;
}
