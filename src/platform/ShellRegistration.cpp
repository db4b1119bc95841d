#include "platform/ShellRegistration.h"

#include "platform/Registry.h"
#include "platform/ShellEditor.h"
#include "platform/ShellExtNames.h"
#include "platform/ShellMenuFiles.h"
#include "platform/TextUtil.h"

#include <cstdio>

namespace {

struct TFileType {
    const char *extension;
    const char *defaultClass;
    const char *description;
    int iconIndex; // icon group of the program: 0 is its own, 1.. the four types
};

// In the order they are processed.
constexpr TFileType FileTypes[] = {
    {".aif", "AIFFFile", "AIFF Sound", 1},
    {".wav", "SoundRec", "Wave Sound", 2},
    {".bmp", "bmpfile", "BMP Image", 3},
    {".jpg", "jpegfile", "JPEG Image", 4},
};
// The order in which removal visits them.
constexpr const char *RemovalOrder[] = {".aif", ".wav", ".jpg", ".bmp"};

// An earlier version also hooked itself into the folders' menus.
constexpr const char *OlderFolderHandlerKey = "Folder\\shellex\\ContextMenuHandlers\\";

// Runs one step; a failing step is skipped and registration goes on.
template <class F> void Guarded(F step)
{
    try {
        step();
    } catch (...) {
    }
}

std::string ReadDefault(TRegistry &reg)
{
    std::string value;
    Guarded([&] { value = reg.ReadString(""); });
    return value;
}

// The per-type part of the removal for one handler class identifier.
void RemoveTypeEntries(TRegistry &reg, const std::string &classId, const std::string &programPath)
{
    for (const char *extension : RemovalOrder) {
        Guarded([&] {
            if (!reg.OpenKeyReadOnly(std::string("\\") + extension))
                return;
            const std::string fileClass = ReadDefault(reg);
            if (fileClass.empty())
                return;
            Guarded([&] {
                if (reg.OpenKey("\\" + fileClass + "\\DefaultIcon", false) &&
                    IconNamesProgram(ReadDefault(reg), programPath))
                    reg.DeleteValue("");
            });
            reg.DeleteKey("\\" + fileClass + "\\shellex\\ContextMenuHandlers\\" + classId);
        });
    }
    reg.CloseKey();
}

void RemoveOlderHandler(TRegistry &reg, const std::string &programPath)
{
    Guarded([&] {
        const std::string older = OlderShellExtClassId;
        if (reg.KeyExists("\\CLSID\\" + older)) {
            reg.DeleteKey("\\CLSID\\" + older);
            RemoveTypeEntries(reg, older, programPath);
        }
        reg.DeleteKey(std::string("\\") + OlderFolderHandlerKey + older);
    });
}

void WriteClassKey(TRegistry &reg)
{
    const std::string key = std::string("\\CLSID\\") + ShellExtClassId;
    Guarded([&] {
        reg.OpenKey(key, true);
        reg.WriteString("", ShellExtDescription);
    });
    Guarded([&] {
        reg.OpenKey(key + "\\InProcServer32", true);
        reg.WriteString("", ShellExtLibraryName);
        reg.WriteString("ThreadingModel", "Apartment");
    });
}

void RegisterType(TRegistry &reg, const TFileType &type, const std::string &programPath)
{
    std::string fileClass;
    Guarded([&] {
        reg.OpenKey(std::string("\\") + type.extension, true);
        fileClass = ReadDefault(reg);
        if (!fileClass.empty())
            return; // another program's class: neither it nor its description is touched
        reg.WriteString("", type.defaultClass);
        fileClass = type.defaultClass;
        reg.OpenKey("\\" + fileClass, true);
        reg.WriteString("", type.description);
    });
    if (fileClass.empty())
        return;
    Guarded([&] {
        reg.OpenKey("\\" + fileClass + "\\DefaultIcon", true);
        const std::string icon = ReadDefault(reg);
        if (icon.empty() || IconNamesProgram(icon, programPath))
            reg.WriteString("", programPath + "," + std::to_string(type.iconIndex));
    });
    Guarded([&] { reg.CreateKey("\\" + fileClass + "\\shellex\\ContextMenuHandlers\\" + ShellExtClassId); });
}

} // namespace

bool IconNamesProgram(const std::string &iconValue, const std::string &programPath)
{
    std::string path = iconValue;
    const size_t comma = path.rfind(',');
    if (comma != std::string::npos) {
        std::int32_t index = 0;
        if (ParseInt32(std::string_view(path).substr(comma + 1), index))
            path.resize(comma);
    }
    path = std::string(TrimBlanks(path));
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    const std::string name = FileNamePart(path);
    return !name.empty() && SameTextAscii(name, FileNamePart(programPath));
}

void RegisterShellClasses(bool doRegister, const std::string &programPath)
{
    TRegistry reg(TRegRoot::ClassesRoot);
    TRegistryUpdate update(reg.Store());
    // The older handler goes first: its removal takes icon values naming this
    // program away, which would otherwise remove the ones just set.
    RemoveOlderHandler(reg, programPath);
    if (doRegister) {
        WriteClassKey(reg);
        for (const TFileType &type : FileTypes)
            RegisterType(reg, type, programPath);
    } else {
        Guarded([&] { reg.DeleteKey(std::string("\\CLSID\\") + ShellExtClassId); });
        RemoveTypeEntries(reg, ShellExtClassId, programPath);
    }
    update.Commit();
}

void RegisterShellExtension(bool doRegister, const std::string &programPath)
{
    Guarded([&] {
        // A file manager's folder or file that we leave alone is said once, on
        // the standard error stream: registration itself never stops the program.
        for (const std::string &problem :
             doRegister ? InstallShellMenus(MenuProgramBeside(programPath)) : RemoveShellMenus())
            std::fprintf(stderr, "%s\n", problem.c_str());
    });
    RegisterShellClasses(doRegister, programPath);
}
