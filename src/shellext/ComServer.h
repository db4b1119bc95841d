#pragma once

#include "shellext/ComBase.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

// The in-process server framework: object and lock counting, the COM object
// base with its reference count, the class factory, and the work behind the
// library's four exported entry points.

// The server's counters: live objects and LockServer locks. The library may be
// unloaded only while both are 0.
class TComServer {
public:
    static long ObjectCount() { return objects_.load(); }
    static long LockCount() { return locks_.load(); }
    static void CountObject(bool created) { created ? ++objects_ : --objects_; }
    static void Lock(bool lock) { lock ? ++locks_ : --locks_; }
    static bool CanUnloadNow() { return objects_.load() == 0 && locks_.load() == 0; }

private:
    static inline std::atomic<long> objects_{0};
    static inline std::atomic<long> locks_{0};
};

// Reference counting and interface lookup for an object that implements one or
// more interfaces. A derived class forwards IUnknown's three methods of all its
// interfaces to ObjQueryInterface / ObjAddRef / ObjRelease and names its
// interfaces in GetInterface. The object starts with no reference: whoever
// creates it takes the first one through ObjQueryInterface. The last release
// deletes it.
class TComObject {
public:
    TComObject() { TComServer::CountObject(true); }
    virtual ~TComObject() { TComServer::CountObject(false); }
    TComObject(const TComObject &) = delete;
    TComObject &operator=(const TComObject &) = delete;

    HRESULT ObjQueryInterface(const IID &iid, void **object);
    ULONG ObjAddRef() { return ULONG(++refCount_); }
    ULONG ObjRelease();
    ULONG RefCount() const { return ULONG(refCount_.load()); }

protected:
    // The pointer to the interface asked for, or null when not implemented.
    virtual void *GetInterface(const IID &iid) = 0;

private:
    std::atomic<long> refCount_{0};
};

// The class factory of one COM class: creates objects on request (one per
// request) and keeps the server locks. Factories live as long as the library,
// so their own reference count keeps nothing alive.
class TComObjectFactory : public IClassFactory {
public:
    using TCreate = std::function<TComObject *()>;
    TComObjectFactory(const CLSID &classId, std::string description, TCreate create);

    const CLSID &ClassId() const { return classId_; }
    const std::string &Description() const { return description_; }

    HRESULT QueryInterface(const IID &iid, void **object) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    HRESULT CreateInstance(IUnknown *outer, const IID &iid, void **object) override;
    HRESULT LockServer(int lock) override;

private:
    CLSID classId_;
    std::string description_;
    TCreate create_;
};

// DllGetClassObject: the factory of the class as the interface asked for;
// CLASS_E_CLASSNOTAVAILABLE and a null object for any other class.
HRESULT ComGetClassObject(const std::vector<TComObjectFactory *> &factories, const CLSID *classId,
                          const IID *iid, void **object);
// DllCanUnloadNow: S_OK when no object and no lock exists, else S_FALSE.
HRESULT ComCanUnloadNow();
// DllRegisterServer: for each class, CLSID\{id} under HKEY_CLASSES_ROOT with the
// description, and its InprocServer32 subkey with the library's full path.
// S_OK, or E_FAIL when writing fails.
HRESULT ComRegisterServer(const std::vector<TComObjectFactory *> &factories, const std::string &libraryPath);
// DllUnregisterServer: deletes those keys; S_OK, or E_FAIL when deleting fails.
HRESULT ComUnregisterServer(const std::vector<TComObjectFactory *> &factories);
