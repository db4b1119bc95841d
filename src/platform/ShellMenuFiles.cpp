#include "platform/ShellMenuFiles.h"

#include "platform/ShellEditor.h"
#include "platform/ShellExtNames.h"
#include "platform/ShellMenuEntries.h"

#include <cctype>
#include <cstdlib>
#include <unistd.h>

namespace {

bool HasControlCharacter(const std::string &text)
{
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f)
            return true;
    return false;
}

std::string AbsoluteFolder(const char *variable, const char *belowHome)
{
    const char *folder = std::getenv(variable);
    // A relative XDG folder is invalid and must be ignored, as file managers do.
    if (folder && folder[0] == '/')
        return folder;
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + belowHome;
    return {};
}

// "%" written so that the reader's "%%" gives it back.
std::string DoublePercent(const std::string &text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '%')
            out += '%';
    }
    return out;
}

// Every letter-case spelling of the extension's pattern: "*.jpg", "*.jpG", ...
std::vector<std::string> CasePatterns(const std::string &extension)
{
    std::vector<std::string> patterns{"*."};
    for (char c : extension) {
        std::vector<std::string> next;
        for (const std::string &p : patterns) {
            next.push_back(p + char(std::tolower(static_cast<unsigned char>(c))));
            if (std::isalpha(static_cast<unsigned char>(c)))
                next.push_back(p + char(std::toupper(static_cast<unsigned char>(c))));
        }
        patterns = next;
    }
    return patterns;
}

// A text from the configuration as one line: a control character in an
// editor's name would end a script's comment line or spoil Thunar's XML.
std::string OneLine(const std::string &text)
{
    std::string line;
    for (char c : text)
        line += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? ' ' : c;
    return line;
}

std::string Label(const TShellEditorChoice &choice)
{
    return OneLine(choice.MenuText());
}

std::string Help(const TShellEditorChoice &choice)
{
    return OneLine(choice.HelpText());
}

// What the file names of a script may not hold.
std::string ScriptFileName(const std::string &label)
{
    std::string name;
    for (char c : label)
        name += c == '/' ? '-' : c;
    return name.empty() || name[0] == '.' ? "Edit with Modwright" : name;
}

} // namespace

const std::string ShellMenuMarker = std::string("X-Modwright-Handler=") + ShellExtClassId;

const TKindMenu KindMenus[2] = {
    {TShellFileKind::Image, "image", "modwright-edit-image", "image/bmp;image/jpeg;", {"jpg", "bmp"}},
    {TShellFileKind::Drum,
     "drum",
     "modwright-edit-drum",
     "audio/x-wav;audio/vnd.wave;audio/wav;audio/x-aiff;audio/aiff;",
     {"wav", "aif"}},
};

std::string UserDataFolder()
{
    return AbsoluteFolder("XDG_DATA_HOME", "/.local/share");
}

std::string UserConfigFolder()
{
    return AbsoluteFolder("XDG_CONFIG_HOME", "/.config");
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
    return DesktopStringValue(DoublePercent(quoted));
}

std::string ShellQuote(const std::string &text)
{
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

std::vector<std::string> BridgeCommand(const std::string &menuProgram, const TKindMenu *kind)
{
    std::vector<std::string> words{menuProgram};
    if (kind) {
        words.push_back("--kind");
        words.push_back(kind->kindName);
    }
    const std::string config = MenuConfigFolder();
    if (!config.empty()) {
        words.push_back("--config-dir");
        words.push_back(config);
    }
    words.push_back("--");
    return words;
}

std::string MenuConfigFolder()
{
    const char *dir = std::getenv("MODWRIGHT_CONFIG_DIR");
    if (!dir || !*dir)
        return {};
    if (dir[0] == '/')
        return dir;
    // The file manager runs the entry in another folder.
    char cwd[4096];
    return ::getcwd(cwd, sizeof cwd) ? std::string(cwd) + "/" + dir : std::string(dir);
}

std::string ThunarFile()
{
    const std::string config = UserConfigFolder();
    return config.empty() ? std::string() : config + "/Thunar/uca.xml";
}

std::vector<TShellMenuFolder> ShellMenuFolders()
{
    const std::string data = UserDataFolder(), config = UserConfigFolder();
    std::vector<TShellMenuFolder> folders;
    if (!data.empty()) {
        folders.push_back({"kde", data + "/kio/servicemenus", false});
        folders.push_back({"kde-old", data + "/kservices5/ServiceMenus", false});
        folders.push_back({"nautilus", data + "/nautilus/scripts", true});
        folders.push_back({"nemo", data + "/nemo/actions", false});
        folders.push_back({"pcmanfm", data + "/file-manager/actions", false});
    }
    if (!config.empty())
        folders.push_back({"caja", config + "/caja/scripts", true});
    return folders;
}

namespace {

std::string ServiceMenu(const TKindMenu &kind, const std::string &label,
                        const std::vector<std::string> &command)
{
    std::string text = "[Desktop Entry]\n"
                       "Type=Service\n"
                       "X-KDE-ServiceTypes=KonqPopupMenu/Plugin\n";
    text += std::string("MimeType=") + kind.mimeTypes + "\n";
    text += "X-KDE-RequiredNumberOfUrls=1\n"
            "X-KDE-Protocols=file\n"
            "Actions=modwrightEdit;\n";
    text += ShellMenuMarker + "\n";
    text += "\n[Desktop Action modwrightEdit]\n";
    text += "Name=" + DesktopStringValue(label) + "\n";
    text += "Icon=modwright\n";
    std::string exec;
    for (const std::string &word : command)
        exec += DesktopExecArgument(word) + " ";
    text += "Exec=" + exec + "%f\n";
    return text;
}

std::string ShellLine(const std::vector<std::string> &command)
{
    std::string line;
    for (const std::string &word : command)
        line += (line.empty() ? "" : " ") + ShellQuote(word);
    return line;
}

std::string NemoAction(const TKindMenu &kind, const TShellEditorChoice &choice,
                       const std::vector<std::string> &command)
{
    std::string extensions;
    for (const char *extension : kind.extensions)
        for (const std::string &pattern : CasePatterns(extension))
            extensions += pattern.substr(2) + ";";
    std::string text = "[Nemo Action]\n"
                       "Active=true\n";
    text += "Name=" + DesktopStringValue(Label(choice)) + "\n";
    text += "Comment=" + DesktopStringValue(Help(choice)) + "\n";
    // Nemo splits the line into words itself (no shell) after putting the path
    // in double quotes, escaping its quotes where the version does; a name it
    // splits wrongly reaches the bridge as several words, which it refuses
    // with a message. (Its URIs would be worse: their "%D0" of a Cyrillic
    // name is Nemo's own code for the device.)
    text += "Exec=" + DesktopStringValue(ShellLine(command) + " %F") + "\n";
    text += "Quote=double\n"
            "Icon-Name=modwright\n"
            "Selection=s\n";
    text += "Extensions=" + extensions + "\n";
    text += ShellMenuMarker + "\n";
    return text;
}

std::string FileManagerAction(const TKindMenu &kind, const TShellEditorChoice &choice,
                              const std::vector<std::string> &command)
{
    std::string basenames;
    for (const char *extension : kind.extensions)
        basenames += std::string("*.") + extension + ";";
    std::string text = "[Desktop Entry]\n"
                       "Type=Action\n";
    text += "Name=" + DesktopStringValue(Label(choice)) + "\n";
    text += "Tooltip=" + DesktopStringValue(Help(choice)) + "\n";
    text += "Icon=modwright\n"
            "Profiles=modwright;\n";
    text += ShellMenuMarker + "\n";
    text += "\n[X-Action-Profile modwright]\n";
    text += std::string("MimeTypes=") + kind.mimeTypes + "\n";
    text += "Basenames=" + basenames + "\n";
    text += "Matchcase=false\n"
            "SelectionCount==1\n"
            "Schemes=file;\n";
    text += "Exec=" + DesktopStringValue(DoublePercent(ShellLine(command)) + " %f") + "\n";
    return text;
}

std::string Script(const std::string &label, const std::vector<std::string> &command)
{
    return "#!/bin/sh\n"
           "# " +
           ShellMenuMarker +
           "\n"
           "# \"" +
           label +
           "\" of Modwright: runs its menu bridge on the selected file.\n"
           "exec " +
           ShellLine(command) + " \"$@\"\n";
}

} // namespace

std::vector<TThunarAction> ThunarActionsFor(const std::string &menuProgram)
{
    std::vector<TThunarAction> actions;
    for (const TKindMenu &kind : KindMenus) {
        const TShellEditorChoice choice = ReadShellEditorChoice(kind.kind);
        if (!choice.CommandOffered())
            continue;
        TThunarAction action;
        action.uniqueId = kind.id;
        action.name = Label(choice);
        action.description = Help(choice);
        // Thunar runs this with sh -c after replacing %f by the quoted path and %% by %.
        action.command = DoublePercent(ShellLine(BridgeCommand(menuProgram, &kind))) + " %f";
        for (const char *extension : kind.extensions)
            for (const std::string &pattern : CasePatterns(extension))
                action.patterns += (action.patterns.empty() ? "" : ";") + pattern;
        action.imageFiles = kind.kind == TShellFileKind::Image;
        action.audioFiles = kind.kind == TShellFileKind::Drum;
        actions.push_back(action);
    }
    return actions;
}

std::vector<TShellMenuFile> ShellMenuFiles(const std::string &menuProgram)
{
    std::vector<TShellMenuFile> files;
    if (menuProgram.empty() || menuProgram[0] != '/' || HasControlCharacter(menuProgram) ||
        HasControlCharacter(MenuConfigFolder()))
        return files;
    const bool percentFree = (menuProgram + MenuConfigFolder()).find('%') == std::string::npos;
    TShellEditorChoice choices[2];
    for (int i = 0; i < 2; ++i)
        choices[i] = ReadShellEditorChoice(KindMenus[i].kind);
    for (const TShellMenuFolder &folder : ShellMenuFolders()) {
        if (folder.scripts) {
            // A script cannot say which files it is for: one per label, and the
            // bridge refuses files of the other kind.
            const bool shared = choices[0].CommandOffered() && choices[1].CommandOffered() &&
                                Label(choices[0]) == Label(choices[1]);
            for (int i = 0; i < 2; ++i) {
                if (!choices[i].CommandOffered() || (shared && i == 1))
                    continue;
                const std::string label = Label(choices[i]);
                files.push_back({folder.manager, folder.path + "/" + ScriptFileName(label),
                                 Script(label, BridgeCommand(menuProgram, shared ? nullptr : &KindMenus[i])),
                                 0755});
            }
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            const TKindMenu &kind = KindMenus[i];
            if (!choices[i].CommandOffered())
                continue;
            const std::vector<std::string> command = BridgeCommand(menuProgram, &kind);
            const std::string base = folder.path + "/" + kind.id;
            if (folder.manager == "kde" || folder.manager == "kde-old")
                // KDE runs service menus from the user's folder only when they are executable.
                files.push_back(
                    {folder.manager, base + ".desktop", ServiceMenu(kind, Label(choices[i]), command), 0755});
            else if (folder.manager == "nemo" && percentFree)
                // Nemo has no escape for "%" in its command line.
                files.push_back(
                    {folder.manager, base + ".nemo_action", NemoAction(kind, choices[i], command), 0644});
            else if (folder.manager == "pcmanfm")
                files.push_back(
                    {folder.manager, base + ".desktop", FileManagerAction(kind, choices[i], command), 0644});
        }
    }
    return files;
}
