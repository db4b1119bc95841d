// modwright-shellmenu: the bridge between the Linux file managers' menu
// mechanisms and the context-menu handlers registered under HKEY_CLASSES_ROOT.
//
//   modwright-shellmenu [OPTIONS] [--] FILE...   runs the first command offered for the files
//   modwright-shellmenu --list [--] FILE...      prints the commands offered, one a line:
//                                                text, verb and help text separated by tabs
// Options (the menu entries pass them):
//   --kind image|drum    the entry is for that kind of file only
//   --config-dir DIR     the configuration folder ($MODWRIGHT_CONFIG_DIR) to use
//
// A FILE is a path or a "file:" URI, one argument each as it comes; relative
// paths are made absolute first, since the handlers may start programs in
// another folder. Exit status: 0 when a command ran (or was listed), 1 when
// nothing is offered for the selection, 2 on a usage error. When a menu entry
// ran it and nothing happens, the user is told why on screen: a desktop
// notification, else a small dialog; always on the standard error stream too.

#include "platform/Process.h"
#include "shellext/MenuSelection.h"
#include "shellext/ShellHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool HasDisplay()
{
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Shows a message in a dialog of one of the usual dialog programs; false when none is there.
bool ShowDialog(const char *text, const char *caption, bool error)
{
    try {
        if (const std::string zenity = FindOnPath("zenity"); !zenity.empty())
            StartProgram(zenity, {error ? "--error" : "--info", "--title", caption, "--text", text})->Wait();
        else if (const std::string kdialog = FindOnPath("kdialog"); !kdialog.empty())
            StartProgram(kdialog, {"--title", caption, error ? "--error" : "--msgbox", text})->Wait();
        else if (const std::string xmessage = FindOnPath("xmessage"); !xmessage.empty())
            StartProgram(xmessage, {"-center", text})->Wait();
        else
            return false;
        return true;
    } catch (...) {
        return false;
    }
}

// Why nothing happened: a desktop notification, else a dialog.
void TellUser(const std::string &text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!HasDisplay())
        return;
    try {
        if (const std::string notify = FindOnPath("notify-send"); !notify.empty()) {
            if (StartProgram(notify, {"--app-name=Modwright", "--icon=modwright", "Edit with", text})
                    ->Wait() == 0)
                return;
        }
    } catch (...) {
        // A dialog instead.
    }
    ShowDialog(text.c_str(), "Edit with", false);
}

// Messages of the handlers: on the standard error stream, and in a dialog when
// a desktop is there and one of the usual dialog programs is installed.
class TBridgeWindow : public TWindow {
public:
    int MessageBox(const char *text, const char *caption, UINT type) override
    {
        std::fprintf(stderr, "%s: %s\n", caption, text);
        if (HasDisplay())
            ShowDialog(text, caption, (type & MB_ICONERROR) != 0);
        return IDOK;
    }
};

int Usage()
{
    std::fputs("Usage: modwright-shellmenu [--list] [--kind image|drum] [--config-dir DIR] [--] FILE...\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    bool list = false;
    std::string kind;
    int first = 1;
    for (; first < argc; ++first) {
        const std::string option = argv[first];
        if (option == "--list") {
            list = true;
        } else if ((option == "--kind" || option == "--config-dir") && first + 1 < argc) {
            const std::string value = argv[++first];
            if (option == "--kind") {
                if (value != "image" && value != "drum")
                    return Usage();
                kind = value;
            } else if (!value.empty()) {
                // The handler, and the main program it may start, read the configuration from there.
                ::setenv("MODWRIGHT_CONFIG_DIR", value.c_str(), 1);
            }
        } else if (option == "--") {
            // Ends the options, so a file named "--list" or "-x" can be passed.
            ++first;
            break;
        } else {
            break;
        }
    }
    const std::vector<std::string> arguments(argv + first, argv + argc);
    if (list && arguments.empty())
        return Usage();
    // An entry that cannot filter may hand over anything: say why nothing happens.
    const std::string refusal = SelectionRefusal(arguments, kind);
    if (!refusal.empty()) {
        if (list)
            std::fprintf(stderr, "%s\n", refusal.c_str());
        else
            TellUser(refusal);
        return 1;
    }
    std::string path;
    LocalPathOf(arguments[0], path);

    TShellContextMenu menu({path});
    for (const std::string &problem : menu.Problems())
        std::fprintf(stderr, "%s\n", problem.c_str());
    if (menu.Items().empty()) {
        const std::string why = "No command is offered for " + path +
                                ": Modwright registers its handler when it starts, so start it once.";
        if (list)
            std::fprintf(stderr, "%s\n", why.c_str());
        else
            TellUser(menu.Problems().empty() ? why : menu.Problems().front());
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
