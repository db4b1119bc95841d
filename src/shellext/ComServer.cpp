#include "shellext/ComServer.h"

#include "platform/Registry.h"

#include <new>

HRESULT TComObject::ObjQueryInterface(const IID &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = GetInterface(iid);
    if (!*object)
        return E_NOINTERFACE;
    ObjAddRef();
    return S_OK;
}

ULONG TComObject::ObjRelease()
{
    const long count = --refCount_;
    if (count == 0)
        delete this;
    return ULONG(count);
}

TComObjectFactory::TComObjectFactory(const CLSID &classId, std::string description, TCreate create)
    : classId_(classId), description_(std::move(description)), create_(std::move(create))
{
}

HRESULT TComObjectFactory::QueryInterface(const IID &iid, void **object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory *>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TComObjectFactory::CreateInstance(IUnknown *outer, const IID &iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    TComObject *instance = nullptr;
    try {
        instance = create_();
    } catch (const std::bad_alloc &) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
    if (!instance)
        return E_OUTOFMEMORY;
    // Asking for an interface it does not have frees the object again.
    instance->ObjAddRef();
    const HRESULT hr = instance->ObjQueryInterface(iid, object);
    instance->ObjRelease();
    return hr;
}

HRESULT TComObjectFactory::LockServer(int lock)
{
    TComServer::Lock(lock != 0);
    return S_OK;
}

HRESULT ComGetClassObject(const std::vector<TComObjectFactory *> &factories, const CLSID *classId,
                          const IID *iid, void **object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!classId || !iid)
        return E_INVALIDARG;
    for (TComObjectFactory *factory : factories)
        if (factory->ClassId() == *classId)
            return factory->QueryInterface(*iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT ComCanUnloadNow()
{
    return TComServer::CanUnloadNow() ? S_OK : S_FALSE;
}

HRESULT ComRegisterServer(const std::vector<TComObjectFactory *> &factories, const std::string &libraryPath)
{
    try {
        TRegistry reg(TRegRoot::ClassesRoot);
        TRegistryUpdate update(reg.Store());
        for (const TComObjectFactory *factory : factories) {
            const std::string key = "\\CLSID\\" + GuidToString(factory->ClassId());
            reg.OpenKey(key, true);
            reg.WriteString("", factory->Description());
            // Our paths may hold blanks: the value is one string, read as one.
            reg.OpenKey(key + "\\InprocServer32", true);
            reg.WriteString("", libraryPath);
            reg.CloseKey();
        }
        update.Commit();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT ComUnregisterServer(const std::vector<TComObjectFactory *> &factories)
{
    try {
        TRegistry reg(TRegRoot::ClassesRoot);
        TRegistryUpdate update(reg.Store());
        for (const TComObjectFactory *factory : factories) {
            const std::string key = "\\CLSID\\" + GuidToString(factory->ClassId());
            reg.DeleteKey(key + "\\InprocServer32");
            reg.DeleteKey(key);
        }
        update.Commit();
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}
