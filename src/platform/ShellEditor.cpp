#include "platform/ShellEditor.h"

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "platform/ShellExtNames.h"
#include "platform/TextUtil.h"

#include <sys/stat.h>

namespace {

bool EndsWithText(const std::string &name, std::string_view ending)
{
    return name.size() >= ending.size() &&
           SameTextAscii(std::string_view(name).substr(name.size() - ending.size()), ending);
}

// A string value, or empty when missing; a value of another type is an error,
// as the registry's own string read raises one.
std::string ReadText(TRegistry &reg, const char *name)
{
    switch (reg.GetDataType(name)) {
    case TRegDataType::rdUnknown:
        return {};
    case TRegDataType::rdString:
    case TRegDataType::rdExpandString:
        return reg.ReadString(name);
    default:
        throw EModwright(std::string("Invalid data type for '") + name + "'.");
    }
}

} // namespace

TShellFileKind ShellFileKindOf(const std::string &fileName)
{
    const std::string name = FileNamePart(fileName);
    if (EndsWithText(name, ".jpg") || EndsWithText(name, ".bmp"))
        return TShellFileKind::Image;
    if (EndsWithText(name, ".aif") || EndsWithText(name, ".wav"))
        return TShellFileKind::Drum;
    return TShellFileKind::None;
}

std::string FileNamePart(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsExistingFile(const std::string &path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string TShellEditorChoice::MenuText() const
{
    return editorAvailable ? "Edit with " + editorName : "Edit with...";
}

std::string TShellEditorChoice::HelpText() const
{
    return editorAvailable ? "Edit the selected file with " + editorName + "."
                           : "Choose a program to edit this file.";
}

TShellEditorChoice ReadShellEditorChoice(TShellFileKind kind)
{
    TShellEditorChoice choice;
    if (kind == TShellFileKind::None)
        return choice;
    TRegistry reg(TRegRoot::CurrentUser);
    const std::string key =
        std::string("\\Software\\") + ConfigCompany + "\\" + ConfigProduct + "\\" + ConfigSection;
    if (!reg.OpenKeyReadOnly(key))
        return choice;
    choice.modwrightPath = ReadText(reg, ValModwrightPath);

    const bool image = kind == TShellFileKind::Image;
    const char *active = image ? ValImgEditorActive : ValDrumEditorActive;
    if (reg.GetDataType(active) != TRegDataType::rdString || reg.ReadString(active) != "1")
        return choice;
    const char *nameValue = image ? ValImgEditorName : ValDrumEditorName;
    if (reg.GetDataType(nameValue) == TRegDataType::rdString)
        choice.editorName = reg.ReadString(nameValue);
    choice.editorPath = ReadText(reg, image ? ValImgEditorPath : ValDrumEditorPath);

    choice.editorAvailable = IsExistingFile(choice.editorPath);
    if (choice.editorAvailable && choice.editorName.empty())
        choice.editorName = FileNamePart(choice.editorPath);
    return choice;
}
