#include "modbuild/ExternalPrograms.h"

#include "common/MessageBoxes.h"
#include "common/PathUtils.h"
#include "platform/Process.h"
#include "platform/Registry.h"

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

// The program part of an uninstall string: a quoted path is taken whole, blanks
// and all; an unquoted one up to the first blank, unless the whole string names
// a file (a path with blanks that nobody quoted).
QString UninstallerPath(QString text)
{
    if (text.startsWith('"')) {
        const qsizetype close = text.indexOf('"', 1);
        if (close > 0)
            return text.mid(1, close - 1);
        text.remove(0, 1);
    }
    if (text.endsWith('"'))
        text.chop(1);
    if (QFileInfo(text).isFile())
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

void ShowFAQ(const QString &programFolder)
{
    try {
        OpenDocument(Std(QDir(programFolder).filePath("FAQ.txt")));
    } catch (const std::exception &e) {
        ShowInformation("Error showing FAQ.txt.\r\n" + QString::fromUtf8(e.what()));
    }
}

QString FindModPacker()
{
    try {
        TRegistry reg(TRegRoot::LocalMachine);
        if (!reg.OpenKeyReadOnly(
                "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker"))
            return {};
        const QString text = Q(reg.ReadString("UninstallString"));
        if (text.size() < 3)
            return {};
        const QString folder = FolderPart(UninstallerPath(text));
        if (folder.isEmpty())
            return {};
        const QString packer = LongPath(folder + "ModPacker.exe");
        return QFileInfo(packer).isFile() ? packer : QString();
    } catch (const std::exception &) {
        return {};
    }
}

QString FindReBirth()
{
    const QString program = AssociatedProgram(".rbs");
    return program.isEmpty() ? QString() : LongPath(program);
}
