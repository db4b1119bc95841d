#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The part of COM that the context-menu library and its host share: result
// codes, GUIDs and the two base interfaces. Objects are reached only through
// interfaces (abstract classes, as in COM's C++ binding) and freed by their last
// Release, so a library and its host agree on nothing but these layouts.

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT E_POINTER = HRESULT(0x80004003u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_UNEXPECTED = HRESULT(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = HRESULT(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
constexpr HRESULT CLASS_E_NOAGGREGATION = HRESULT(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = HRESULT(0x80040111u);
constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
constexpr HRESULT DV_E_TYMED = HRESULT(0x80040069u);
constexpr HRESULT SELFREG_E_CLASS = HRESULT(0x80040201u);

constexpr bool Succeeded(HRESULT hr)
{
    return hr >= 0;
}
constexpr bool Failed(HRESULT hr)
{
    return hr < 0;
}

struct GUID {
    std::uint32_t Data1 = 0;
    std::uint16_t Data2 = 0;
    std::uint16_t Data3 = 0;
    std::uint8_t Data4[8] = {};

    bool operator==(const GUID &) const = default;
};
using IID = GUID;
using CLSID = GUID;

// Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (hex digits of either case).
bool GuidFromString(std::string_view text, GUID &guid);
// The registry spelling: braces and upper-case digits.
std::string GuidToString(const GUID &guid);
// For constants: raises EModwright on a malformed text.
GUID MakeGuid(std::string_view text);

constexpr IID IID_IUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IClassFactory{0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IUnknown {
    virtual HRESULT QueryInterface(const IID &iid, void **object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default; // objects go through Release
};

struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown *outer, const IID &iid, void **object) = 0;
    virtual HRESULT LockServer(int lock) = 0;

protected:
    ~IClassFactory() = default;
};

// Holds one reference and releases it on every way out.
template <class T> class TComPtr {
public:
    TComPtr() = default;
    explicit TComPtr(T *p) : p_(p) {} // takes over a reference
    TComPtr(const TComPtr &) = delete;
    TComPtr &operator=(const TComPtr &) = delete;
    TComPtr(TComPtr &&o) noexcept : p_(o.p_) { o.p_ = nullptr; }
    ~TComPtr() { Reset(); }

    void Reset()
    {
        if (p_)
            p_->Release();
        p_ = nullptr;
    }
    T *Get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: drops the old reference first.
    void **OutVoid()
    {
        Reset();
        return reinterpret_cast<void **>(&p_);
    }
    T **Out()
    {
        Reset();
        return &p_;
    }

private:
    T *p_ = nullptr;
};
