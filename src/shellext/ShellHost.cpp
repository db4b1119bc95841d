#include "shellext/ShellHost.h"

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "shellext/ComMemory.h"

#include <algorithm>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr UINT FirstCommandId = 1;
constexpr UINT LastCommandId = 0x7FFF;

bool IsFile(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The extension with its dot (".jpg"), or empty.
std::string ExtensionOf(const std::string &file)
{
    const size_t slash = file.rfind('/');
    const size_t dot = file.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return file.substr(dot);
}

} // namespace

// The menu the handlers fill: items in position order.
class TMenuItems : public TMenu {
public:
    struct TItem {
        UINT id;
        std::string text;
    };
    bool InsertItem(UINT position, UINT id, const char *text) override
    {
        const std::size_t at = std::min<std::size_t>(position, items.size());
        items.insert(items.begin() + std::ptrdiff_t(at), TItem{id, text});
        return true;
    }
    std::vector<TItem> items;
};

namespace {

// The host's data object: hands out a fresh copy of the file list on each request.
class TFileDropData : public TComObject, public IDataObject {
public:
    explicit TFileDropData(std::vector<std::string> files) : files_(std::move(files)) {}

    HRESULT QueryInterface(const IID &iid, void **object) override { return ObjQueryInterface(iid, object); }
    ULONG AddRef() override { return ObjAddRef(); }
    ULONG Release() override { return ObjRelease(); }

    HRESULT QueryGetData(const FORMATETC *format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != CF_HDROP || format->dwAspect != DVASPECT_CONTENT)
            return DV_E_FORMATETC;
        return (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_TYMED;
    }
    HRESULT GetData(const FORMATETC *format, STGMEDIUM *medium) override
    {
        if (!medium)
            return E_INVALIDARG;
        *medium = STGMEDIUM{};
        const HRESULT hr = QueryGetData(format);
        if (Failed(hr))
            return hr;
        try {
            medium->hGlobal = MakeDropFiles(files_);
        } catch (...) {
            return E_UNEXPECTED;
        }
        if (!medium->hGlobal)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        return S_OK;
    }

protected:
    void *GetInterface(const IID &iid) override
    {
        return iid == IID_IUnknown || iid == IID_IDataObject ? static_cast<IDataObject *>(this) : nullptr;
    }

private:
    std::vector<std::string> files_;
};

} // namespace

TInProcServer::TInProcServer(const std::string &path) : path_(path)
{
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char *reason = ::dlerror();
        throw EModwright("Cannot load " + path + ": " + (reason ? reason : "unknown reason") + ".");
    }
    getClassObject_ = reinterpret_cast<TGetClassObject>(::dlsym(handle_, "DllGetClassObject"));
    canUnloadNow_ = reinterpret_cast<TNoArguments>(::dlsym(handle_, "DllCanUnloadNow"));
    registerServer_ = reinterpret_cast<TNoArguments>(::dlsym(handle_, "DllRegisterServer"));
    unregisterServer_ = reinterpret_cast<TNoArguments>(::dlsym(handle_, "DllUnregisterServer"));
    if (!getClassObject_ || !canUnloadNow_) {
        ::dlclose(handle_);
        throw EModwright("Cannot load " + path + ": it is not an in-process server.");
    }
}

TInProcServer::~TInProcServer()
{
    // A library that still has objects or locks stays mapped: unmapping it would
    // pull the code from under them.
    if (canUnloadNow_() == S_OK)
        ::dlclose(handle_);
}

HRESULT TInProcServer::GetClassObject(const CLSID &classId, const IID &iid, void **object)
{
    return getClassObject_(&classId, &iid, object);
}

HRESULT TInProcServer::CanUnloadNow()
{
    return canUnloadNow_();
}
HRESULT TInProcServer::RegisterServer()
{
    return registerServer_ ? registerServer_() : E_NOTIMPL;
}
HRESULT TInProcServer::UnregisterServer()
{
    return unregisterServer_ ? unregisterServer_() : E_NOTIMPL;
}

std::string ProgramFolder()
{
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || std::size_t(length) >= buffer.size())
        return ".";
    buffer.resize(std::size_t(length));
    const size_t slash = buffer.rfind('/');
    return slash == 0 ? "/" : buffer.substr(0, slash);
}

std::string ResolveServerLibrary(const std::string &registered)
{
    if (registered.find('/') != std::string::npos)
        return registered;
    const std::string folder = ProgramFolder();
    for (const char *place : {"/", "/../lib/", "/../lib/modwright/"}) {
        const std::string candidate = folder + place + registered;
        if (IsFile(candidate))
            return candidate;
    }
    return registered;
}

std::string InProcServerOf(const CLSID &classId)
{
    TRegistry reg(TRegRoot::ClassesRoot);
    if (!reg.OpenKeyReadOnly("\\CLSID\\" + GuidToString(classId) + "\\InprocServer32"))
        return {};
    const std::string library = reg.ReadString("");
    return library.empty() ? std::string() : ResolveServerLibrary(library);
}

std::vector<CLSID> ContextMenuHandlersFor(const std::string &file)
{
    std::vector<CLSID> handlers;
    const std::string extension = ExtensionOf(file);
    if (extension.empty())
        return handlers;
    TRegistry reg(TRegRoot::ClassesRoot);
    if (!reg.OpenKeyReadOnly("\\" + extension))
        return handlers;
    const std::string fileClass = reg.ReadString("");
    if (fileClass.empty() || !reg.OpenKeyReadOnly("\\" + fileClass + "\\shellex\\ContextMenuHandlers"))
        return handlers;
    const std::string base = reg.CurrentPath();
    for (const std::string &name : reg.GetKeyNames()) {
        CLSID id;
        if (!GuidFromString(name, id)) {
            // A named handler key holds its class identifier as the default value.
            TRegistry sub(reg.SharedStore());
            if (!sub.OpenKeyReadOnly("\\" + base + "\\" + name) || !GuidFromString(sub.ReadString(""), id))
                continue;
        }
        if (std::find(handlers.begin(), handlers.end(), id) == handlers.end())
            handlers.push_back(id);
    }
    return handlers;
}

IDataObject *CreateFileDropData(const std::vector<std::string> &files)
{
    auto *data = new TFileDropData(files);
    data->ObjAddRef();
    return data;
}

struct TShellContextMenu::THandler {
    TComPtr<IContextMenu> menu;
    UINT firstId = 0;
    UINT count = 0;
};

TShellContextMenu::TShellContextMenu(const std::vector<std::string> &files)
{
    if (files.empty())
        return;
    TComPtr<IDataObject> data(CreateFileDropData(files));
    TMenuItems menu;
    UINT nextId = FirstCommandId;
    for (const CLSID &id : ContextMenuHandlersFor(files.front()))
        AddHandler(id, data.Get(), menu, nextId);

    for (const TMenuItems::TItem &entry : menu.items) {
        for (std::size_t h = 0; h < handlers_.size(); ++h) {
            const THandler &handler = *handlers_[h];
            if (entry.id < handler.firstId || entry.id >= handler.firstId + handler.count)
                continue;
            TShellMenuItem item;
            item.text = entry.text;
            const UINT offset = entry.id - handler.firstId;
            char buffer[1024];
            if (handler.menu->GetCommandString(offset, GCS_VERBA, nullptr, buffer, sizeof buffer) == S_OK)
                item.verb = buffer;
            if (handler.menu->GetCommandString(offset, GCS_HELPTEXTA, nullptr, buffer, sizeof buffer) == S_OK)
                item.help = buffer;
            items_.push_back(item);
            targets_.push_back({h, offset});
            break;
        }
    }
}

TShellContextMenu::~TShellContextMenu()
{
    handlers_.clear();
    servers_.clear();
}

void TShellContextMenu::AddHandler(const CLSID &classId, IDataObject *data, TMenuItems &menu, UINT &nextId)
{
    const std::string library = InProcServerOf(classId);
    if (library.empty())
        return;
    TInProcServer *server = nullptr;
    for (const auto &loaded : servers_)
        if (loaded->Path() == library)
            server = loaded.get();
    if (!server) {
        try {
            servers_.push_back(std::make_unique<TInProcServer>(library));
        } catch (const EModwright &e) {
            problems_.push_back(e.message());
            return;
        }
        server = servers_.back().get();
    }

    TComPtr<IClassFactory> factory;
    if (Failed(server->GetClassObject(classId, IID_IClassFactory, factory.OutVoid())) || !factory)
        return;
    TComPtr<IShellExtInit> init;
    if (Failed(factory->CreateInstance(nullptr, IID_IShellExtInit, init.OutVoid())) || !init)
        return;
    auto handler = std::make_unique<THandler>();
    if (Failed(init->QueryInterface(IID_IContextMenu, handler->menu.OutVoid())) || !handler->menu)
        return;
    if (init->Initialize(nullptr, data, nullptr) != S_OK)
        return;
    const HRESULT added =
        handler->menu->QueryContextMenu(&menu, UINT(menu.items.size()), nextId, LastCommandId, CMF_NORMAL);
    if (Failed(added) || added == 0)
        return;
    handler->firstId = nextId;
    handler->count = UINT(added);
    nextId += UINT(added);
    handlers_.push_back(std::move(handler));
}

HRESULT TShellContextMenu::Invoke(std::size_t item, HWND owner)
{
    if (item >= targets_.size())
        return E_INVALIDARG;
    const TItemTarget &target = targets_[item];
    CMINVOKECOMMANDINFO info;
    info.hwnd = owner;
    info.lpVerb = MakeIntVerb(target.offset);
    info.nShow = SW_SHOWNORMAL;
    return handlers_[target.handler]->menu->InvokeCommand(&info);
}
