#pragma once

#include "shellext/ComServer.h"
#include "shellext/ShellInterfaces.h"

#include <memory>
#include <string>
#include <vector>

class TMenuItems;

// The host side of context-menu handlers, as the menu bridge plays the shell:
// it finds the handlers registered for a file's type under HKEY_CLASSES_ROOT,
// loads their libraries, hands them the selection and collects their commands.

// One handler library loaded with dlopen. Unloads again when dropped, if the
// library's DllCanUnloadNow allows it.
class TInProcServer {
public:
    // Raises EModwright when the library cannot be loaded or lacks the entry points.
    explicit TInProcServer(const std::string &path);
    ~TInProcServer();
    TInProcServer(const TInProcServer &) = delete;
    TInProcServer &operator=(const TInProcServer &) = delete;

    const std::string &Path() const { return path_; }
    HRESULT GetClassObject(const CLSID &classId, const IID &iid, void **object);
    HRESULT CanUnloadNow();
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

private:
    using TGetClassObject = HRESULT (*)(const CLSID *, const IID *, void **);
    using TNoArguments = HRESULT (*)();
    std::string path_;
    void *handle_ = nullptr;
    TGetClassObject getClassObject_ = nullptr;
    TNoArguments canUnloadNow_ = nullptr;
    TNoArguments registerServer_ = nullptr;
    TNoArguments unregisterServer_ = nullptr;
};

// The folder of the running program (no trailing "/").
std::string ProgramFolder();

// Where the library registered under the name is: a path is taken as it is; a
// bare name is looked up in the program's folder, then in ../lib and
// ../lib/modwright beside it; when none has it, the bare name is returned for
// the loader's own search.
std::string ResolveServerLibrary(const std::string &registered);

// The library registered for the class (CLSID\{id}\InprocServer32), resolved;
// empty when the class is not registered.
std::string InProcServerOf(const CLSID &classId);

// The context-menu handlers registered for the file's type: its extension's
// class, then (class)\shellex\ContextMenuHandlers\*, where a subkey is named by
// the class identifier or holds it as its default value.
std::vector<CLSID> ContextMenuHandlersFor(const std::string &file);

// A data object offering the files as CF_HDROP, the way the shell hands a
// selection to its handlers. Created with one reference.
IDataObject *CreateFileDropData(const std::vector<std::string> &files);

struct TShellMenuItem {
    std::string text;
    std::string verb; // the handler's verb, when it names one
    std::string help;
};

// The commands all handlers registered for the selection's type offer (the type
// of the first file counts). Handlers that fail to load or refuse the selection
// simply add nothing.
class TShellContextMenu {
public:
    explicit TShellContextMenu(const std::vector<std::string> &files);
    ~TShellContextMenu();
    TShellContextMenu(const TShellContextMenu &) = delete;
    TShellContextMenu &operator=(const TShellContextMenu &) = delete;

    const std::vector<TShellMenuItem> &Items() const { return items_; }
    // Runs the item's command, its messages owned by the window (may be null).
    HRESULT Invoke(std::size_t item, HWND owner);
    // Why handlers added nothing, for the user (load failures); may be empty.
    const std::vector<std::string> &Problems() const { return problems_; }

private:
    struct THandler;
    struct TItemTarget {
        std::size_t handler;
        UINT offset;
    };
    void AddHandler(const CLSID &classId, IDataObject *data, TMenuItems &menu, UINT &nextId);

    std::vector<std::unique_ptr<TInProcServer>> servers_; // outlive the handlers they made
    std::vector<std::unique_ptr<THandler>> handlers_;
    std::vector<TShellMenuItem> items_;
    std::vector<TItemTarget> targets_;
    std::vector<std::string> problems_;
};
