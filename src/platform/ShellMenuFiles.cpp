#include "platform/ShellMenuFiles.h"

#include "platform/Exception.h"
#include "platform/FileIo.h"
#include "platform/ShellEditor.h"
#include "platform/ShellExtNames.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string MarkerLine = std::string("X-Modwright-Handler=") + ShellExtClassId;
constexpr const char *ServiceMenuFolder = "/kio/servicemenus/";
constexpr const char *ScriptPath = "/nautilus/scripts/Edit with (Modwright)";

struct TKindMenu {
    TShellFileKind kind;
    const char *fileName;
    const char *mimeTypes;
};
constexpr TKindMenu KindMenus[] = {
    {TShellFileKind::Image, "modwright-edit-image.desktop", "image/bmp;image/jpeg;"},
    {TShellFileKind::Drum, "modwright-edit-drum.desktop",
     "audio/x-wav;audio/vnd.wave;audio/x-aiff;audio/aiff;"},
};

bool HasControlCharacter(const std::string &text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

bool IsOurFile(const std::string &path)
{
    std::string contents;
    try {
        if (!ReadWholeFile(path, contents))
            return false;
    } catch (const EModwright &) {
        return false;
    }
    return contents.find("\n" + MarkerLine + "\n") != std::string::npos;
}

bool IsOurLink(const std::string &path)
{
    char target[4096];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0)
        return false;
    target[n] = '\0';
    const std::string text(target);
    const size_t slash = text.rfind('/');
    return text.substr(slash == std::string::npos ? 0 : slash + 1) == ShellMenuProgramName;
}

bool Exists(const std::string &path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string &path)
{
    return path.substr(0, path.rfind('/'));
}

std::string ServiceMenu(const TKindMenu &menu, const TShellEditorChoice &choice, const std::string &program)
{
    std::string text;
    text += "[Desktop Entry]\n";
    text += "Type=Service\n";
    text += "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
    text += std::string("MimeType=") + menu.mimeTypes + "\n";
    text += "X-KDE-RequiredNumberOfUrls=1\n";
    text += "Actions=modwrightEdit;\n";
    text += MarkerLine + "\n";
    text += "\n[Desktop Action modwrightEdit]\n";
    text += "Name=" + DesktopStringValue(choice.MenuText()) + "\n";
    text += "Exec=" + DesktopExecArgument(program) + " %F\n";
    return text;
}

void Remove(const std::string &path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        throw EModwright("Cannot delete " + path + ": " + std::strerror(errno) + ".");
}

} // namespace

std::string UserDataFolder()
{
    const char *data = std::getenv("XDG_DATA_HOME");
    // A relative XDG_DATA_HOME is invalid and must be ignored, as file managers do.
    if (data && data[0] == '/')
        return data;
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.local/share";
    return {};
}

std::string MenuProgramBeside(const std::string &programPath)
{
    const size_t slash = programPath.rfind('/');
    if (slash == std::string::npos)
        return {};
    return programPath.substr(0, slash + 1) + ShellMenuProgramName;
}

std::string DesktopStringValue(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f)
                out += c;
        }
    }
    if (!out.empty() && out[0] == ' ')
        out.replace(0, 1, "\\s");
    return out;
}

std::string DesktopExecArgument(const std::string &argument)
{
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    std::string percent;
    for (char c : quoted) {
        percent += c;
        if (c == '%')
            percent += '%';
    }
    return DesktopStringValue(percent);
}

std::vector<TShellMenuFile> ShellMenuFiles(const std::string &menuProgram)
{
    std::vector<TShellMenuFile> files;
    const std::string data = UserDataFolder();
    if (data.empty() || menuProgram.empty() || menuProgram[0] != '/' || HasControlCharacter(menuProgram))
        return files;
    for (const TKindMenu &menu : KindMenus) {
        const TShellEditorChoice choice = ReadShellEditorChoice(menu.kind);
        if (choice.CommandOffered())
            files.push_back(
                {data + ServiceMenuFolder + menu.fileName, ServiceMenu(menu, choice, menuProgram), {}});
    }
    files.push_back({data + ScriptPath, {}, menuProgram});
    return files;
}

void InstallShellMenus(const std::string &menuProgram)
{
    if (menuProgram.empty() || ::access(menuProgram.c_str(), X_OK) != 0) {
        RemoveShellMenus();
        return;
    }
    std::vector<TShellMenuFile> files;
    try {
        files = ShellMenuFiles(menuProgram);
    } catch (const EModwright &) {
        // The editor choice could not be read (a value of the wrong type): the
        // entries stay as they were.
        return;
    }
    const std::string data = UserDataFolder();
    // A kind no longer offered (no editor and no main program) loses its entry.
    for (const TKindMenu &menu : KindMenus) {
        const std::string path = data + ServiceMenuFolder + menu.fileName;
        bool wanted = false;
        for (const TShellMenuFile &file : files)
            wanted = wanted || file.path == path;
        if (!wanted && IsOurFile(path))
            Remove(path);
    }
    for (const TShellMenuFile &file : files) {
        if (!file.linkTo.empty()) {
            char target[4096];
            const ssize_t n = ::readlink(file.path.c_str(), target, sizeof target);
            if (n > 0 && std::string(target, std::size_t(n)) == file.linkTo)
                continue;
            if (Exists(file.path) && !IsOurLink(file.path))
                continue; // someone else's script of this name
            Remove(file.path);
            MakeFolders(FolderOf(file.path));
            if (::symlink(file.linkTo.c_str(), file.path.c_str()) != 0)
                throw EModwright("Cannot write " + file.path + ": " + std::strerror(errno) + ".");
            continue;
        }
        if (Exists(file.path)) {
            if (!IsOurFile(file.path))
                continue; // someone else's file of this name
            std::string old;
            if (ReadWholeFile(file.path, old) && old == file.contents)
                continue;
        }
        MakeFolders(FolderOf(file.path));
        WriteFileAtomic(file.path, file.contents);
        // KDE runs service menus from the user's folder only when they are executable.
        ::chmod(file.path.c_str(), 0755);
    }
}

void RemoveShellMenus()
{
    const std::string data = UserDataFolder();
    if (data.empty())
        return;
    for (const TKindMenu &menu : KindMenus) {
        const std::string path = data + ServiceMenuFolder + menu.fileName;
        if (IsOurFile(path))
            Remove(path);
    }
    if (IsOurLink(data + ScriptPath))
        Remove(data + ScriptPath);
}
