// modwright-shellmenu: the bridge between the Linux file managers' menu
// mechanisms and the context-menu handlers registered under HKEY_CLASSES_ROOT.
//
//   modwright-shellmenu FILE...          runs the first command offered for the files
//   modwright-shellmenu --list FILE...   prints the commands offered, one a line:
//                                        text, verb and help text separated by tabs
//
// Exit status: 0 when a command ran (or was listed), 1 when no handler offers a
// command for the selection, 2 on a usage error. File names are taken as they
// come, one argument each; relative ones are made absolute first, since the
// handlers may start programs in another folder.

#include "platform/Process.h"
#include "shellext/ShellHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// Messages of the handlers: on the standard error stream, and in a dialog when
// a desktop is there and one of the usual dialog programs is installed.
class TBridgeWindow : public TWindow {
public:
    int MessageBox(const char *text, const char *caption, UINT type) override
    {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            return IDOK;
        const bool error = (type & MB_ICONERROR) != 0;
        try {
            if (const std::string zenity = FindOnPath("zenity"); !zenity.empty())
                StartProgram(zenity, {error ? "--error" : "--info", "--title", caption, "--text", text})
                    ->Wait();
            else if (const std::string kdialog = FindOnPath("kdialog"); !kdialog.empty())
                StartProgram(kdialog, {"--title", caption, error ? "--error" : "--msgbox", text})->Wait();
            else if (const std::string xmessage = FindOnPath("xmessage"); !xmessage.empty())
                StartProgram(xmessage, {"-center", text})->Wait();
        } catch (...) {
            // The standard error stream has it.
        }
        return IDOK;
    }
};

std::string Absolute(const std::string &file)
{
    if (file.empty() || file[0] == '/')
        return file;
    char folder[4096];
    if (!::getcwd(folder, sizeof folder))
        return file;
    return std::string(folder) + "/" + file;
}

int Usage()
{
    std::fputs("Usage: modwright-shellmenu [--list] FILE...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    bool list = false;
    int first = 1;
    if (first < argc && std::strcmp(argv[first], "--list") == 0) {
        list = true;
        ++first;
    }
    // "--" ends the options, so a file named "--list" can be passed.
    if (first < argc && std::strcmp(argv[first], "--") == 0)
        ++first;
    if (first >= argc)
        return Usage();
    std::vector<std::string> files;
    for (int i = first; i < argc; ++i)
        files.push_back(Absolute(argv[i]));

    TShellContextMenu menu(files);
    for (const std::string &problem : menu.Problems())
        std::fprintf(stderr, "%s\n", problem.c_str());
    if (menu.Items().empty()) {
        std::fputs("No command is offered for this selection.\n", stderr);
        return 1;
    }
    if (list) {
        for (const TShellMenuItem &item : menu.Items())
            std::printf("%s\t%s\t%s\n", item.text.c_str(), item.verb.c_str(), item.help.c_str());
        return 0;
    }
    TBridgeWindow window;
    const HRESULT hr = menu.Invoke(0, &window);
    if (Failed(hr)) {
        std::fprintf(stderr, "The command failed (error %08X).\n", unsigned(hr));
        return 1;
    }
    return 0;
}
