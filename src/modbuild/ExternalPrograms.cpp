#include "modbuild/ExternalPrograms.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/WinePrefix.h"

#include <QDir>
#include <QFileInfo>

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

// The program part of an uninstall string: a quoted path is taken whole, blanks
// and all; an unquoted one up to the first blank, unless the whole string names
// a file (a path with blanks that nobody quoted). `isFile` says whether a path
// names a file, for paths of this file system or of a Wine prefix.
template <typename TIsFile> QString UninstallerPath(QString text, TIsFile &&isFile)
{
    if (text.startsWith('"')) {
        const qsizetype close = text.indexOf('"', 1);
        if (close > 0)
            return text.mid(1, close - 1);
        text.remove(0, 1);
    }
    if (text.endsWith('"'))
        text.chop(1);
    if (isFile(text))
        return text;
    const qsizetype blank = text.indexOf(' ');
    return blank < 0 ? text : text.left(blank);
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
        const QString mods = FolderPart(settings.ReBirthPath) + "mods";
        if (QFileInfo(mods).isDir())
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

QString FindModPacker()
{
    const auto isFile = [](const QString &path) { return QFileInfo(path).isFile(); };
    try {
        TRegistry reg(TRegRoot::LocalMachine);
        if (reg.OpenKeyReadOnly(std::string("\\") + kModPackerUninstallKey)) {
            const QString text = Q(reg.ReadString("UninstallString"));
            const QString folder = text.size() < 3 ? QString() : FolderPart(UninstallerPath(text, isFile));
            const QString packer = LongPath(folder + "ModPacker.exe");
            if (!folder.isEmpty() && isFile(packer))
                return packer;
        }
    } catch (const std::exception &) {
        // A store that cannot be read holds nothing; the Wine prefix may.
    }
    return FindWineModPacker();
}

QString FindWineModPacker()
{
    const std::optional<TWinePrefix> prefix = TWinePrefix::Locate();
    if (!prefix)
        return {};
    const QString text = Q(prefix->ReadMachineString(kModPackerUninstallKey, "UninstallString").value_or(""));
    if (text.size() < 3)
        return {};
    const auto isFile = [&](const QString &path) {
        const std::string mapped = prefix->MapPath(Std(path));
        return !mapped.empty() && QFileInfo(Q(mapped)).isFile();
    };
    const QString folder = FolderPart(UninstallerPath(text, isFile));
    if (folder.isEmpty())
        return {};
    const QString packer = Q(prefix->MapPath(Std(folder + "ModPacker.exe")));
    return !packer.isEmpty() && QFileInfo(packer).isFile() ? packer : QString();
}

QString FindReBirth()
{
    const QString program = AssociatedProgram(".rbs");
    return program.isEmpty() ? FindWineAssociatedProgram(".rbs") : LongPath(program);
}

QString FindWineAssociatedProgram(const QString &extension)
{
    const std::optional<TWinePrefix> prefix = TWinePrefix::Locate();
    if (!prefix || extension.isEmpty())
        return {};
    const std::string type = prefix->ReadClassesString(Std(extension), "").value_or("");
    if (type.empty())
        return {};
    const QString command =
        Q(prefix->ReadClassesString(type + "\\shell\\open\\command", "").value_or("")).trimmed();
    const auto mapped = [&](const QString &path) {
        const QString result = Q(prefix->MapPath(Std(path)));
        return !result.isEmpty() && QFileInfo(result).isFile() ? result : QString();
    };
    // As for our own store: up to the first ".exe", else the first (quoted) word.
    const qsizetype exe = command.indexOf(".exe", 0, Qt::CaseInsensitive);
    if (exe >= 0) {
        QString program = command.left(exe + 4);
        if (program.startsWith('"'))
            program.remove(0, 1);
        if (const QString found = mapped(program); !found.isEmpty())
            return found;
    }
    QString first;
    if (command.startsWith('"')) {
        const qsizetype close = command.indexOf('"', 1);
        first = close < 0 ? command.mid(1) : command.mid(1, close - 1);
    } else {
        first = command.section(' ', 0, 0);
    }
    return first.isEmpty() ? QString() : mapped(first);
}
