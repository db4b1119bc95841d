#include "shellext/MenuSelection.h"

#include "platform/ShellEditor.h"
#include "platform/TextUtil.h"

#include <cctype>
#include <unistd.h>

namespace {

bool StartsWith(const std::string &text, const char *start)
{
    return text.rfind(start, 0) == 0;
}

const char *KindWords(TShellFileKind kind)
{
    return kind == TShellFileKind::Image ? ".jpg and .bmp images" : ".wav and .aif samples";
}

} // namespace

bool LocalPathOf(const std::string &argument, std::string &path)
{
    // A URI has a scheme of letters, digits, "+", "-" and "." before "://".
    const size_t colon = argument.find("://");
    bool uri = colon != std::string::npos && colon > 0 && argument[0] != '/';
    for (size_t i = 0; uri && i < colon; ++i)
        uri = std::isalnum(static_cast<unsigned char>(argument[i])) || argument[i] == '+' ||
              argument[i] == '-' || argument[i] == '.';
    if (!uri) {
        if (argument.empty() || argument[0] == '/') {
            path = argument;
        } else {
            char folder[4096];
            path = ::getcwd(folder, sizeof folder) ? std::string(folder) + "/" + argument : argument;
        }
        return true;
    }
    std::string rest;
    if (StartsWith(argument, "file:///"))
        rest = argument.substr(7);
    else if (StartsWith(argument, "file://localhost/"))
        rest = argument.substr(16);
    else
        return false;
    path.clear();
    for (size_t i = 0; i < rest.size(); ++i) {
        int high, low;
        if (rest[i] == '%' && i + 2 < rest.size() && (high = HexDigit(rest[i + 1])) >= 0 &&
            (low = HexDigit(rest[i + 2])) >= 0) {
            path += char(high * 16 + low);
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return true;
}

std::string SelectionRefusal(const std::vector<std::string> &arguments, const std::string &kind)
{
    if (arguments.empty())
        return "Modwright's \"Edit with\" works on one file on this computer, and none was handed over "
               "(a file manager hands over no remote files).";
    if (arguments.size() > 1)
        return "Modwright's \"Edit with\" works on one file at a time; " + std::to_string(arguments.size()) +
               " were selected.";
    std::string path;
    if (!LocalPathOf(arguments[0], path))
        return "Modwright's \"Edit with\" works on files on this computer only; " + arguments[0] +
               " is not one.";
    const std::string name = FileNamePart(path);
    if (!IsExistingFile(path))
        return path + " does not exist.";
    const TShellFileKind fileKind = ShellFileKindOf(path);
    if (fileKind == TShellFileKind::None)
        return "Modwright edits .jpg and .bmp images and .wav and .aif samples; " + name + " is neither.";
    const TShellFileKind entryKind = kind == "image"  ? TShellFileKind::Image
                                     : kind == "drum" ? TShellFileKind::Drum
                                                      : TShellFileKind::None;
    if (entryKind != TShellFileKind::None && entryKind != fileKind)
        return std::string("This entry is for ") + KindWords(entryKind) + "; " + name + " is one of the " +
               KindWords(fileKind) + ", which have their own entry.";
    return {};
}
