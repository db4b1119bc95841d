// The context-menu library's four exported entry points. Only these leave the
// library (it is built with hidden visibility); a host finds them with dlsym.

#include "shellext/ContextMenu.h"

#include <climits>
#include <cstdlib>
#include <dlfcn.h>

#define MODWRIGHT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::vector<TComObjectFactory *> Factories()
{
    return {&ContextMenuFactory()};
}

// The library's own file, as the loader mapped it.
std::string LibraryPath()
{
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void *>(&Factories), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    return ::realpath(info.dli_fname, resolved) ? std::string(resolved) : std::string(info.dli_fname);
}

} // namespace

MODWRIGHT_EXPORT HRESULT DllGetClassObject(const CLSID *classId, const IID *iid, void **object)
{
    return ComGetClassObject(Factories(), classId, iid, object);
}

MODWRIGHT_EXPORT HRESULT DllCanUnloadNow()
{
    return ComCanUnloadNow();
}

MODWRIGHT_EXPORT HRESULT DllRegisterServer()
{
    const std::string path = LibraryPath();
    return path.empty() ? E_FAIL : ComRegisterServer(Factories(), path);
}

MODWRIGHT_EXPORT HRESULT DllUnregisterServer()
{
    return ComUnregisterServer(Factories());
}
