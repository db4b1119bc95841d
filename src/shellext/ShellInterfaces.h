#pragma once

#include "shellext/ComBase.h"

#include <cstddef>
#include <cstdint>

// The shell's side of a context-menu handler: the selection as a data object,
// the menu the handler adds to, the window that owns its messages, and the two
// interfaces IShellExtInit and IContextMenu. Layouts follow the shell's records
// where the handler reads them; menus and windows are small host objects here,
// since the host is our menu bridge, not a windowing system.

constexpr IID IID_IDataObject{0x0000010E, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IContextMenu{0x000214E4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr IID IID_IShellExtInit{0x000214E8, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// A movable memory block (ComMemory.h).
using HGLOBAL = void *;
// A block holding a DROPFILES record and its file names.
using HDROP = HGLOBAL;

constexpr std::uint16_t CF_HDROP = 15;
constexpr std::uint32_t DVASPECT_CONTENT = 1;
constexpr std::uint32_t TYMED_NULL = 0;
constexpr std::uint32_t TYMED_HGLOBAL = 1;

struct FORMATETC {
    std::uint16_t cfFormat = 0;
    void *ptd = nullptr;
    std::uint32_t dwAspect = 0;
    std::int32_t lindex = -1;
    std::uint32_t tymed = 0;
};

struct STGMEDIUM {
    std::uint32_t tymed = TYMED_NULL;
    HGLOBAL hGlobal = nullptr;
    // When set, releasing the medium releases this instead of freeing hGlobal.
    IUnknown *pUnkForRelease = nullptr;
};

struct IDataObject : IUnknown {
    // Fills the medium with a new copy of the data; the caller releases it (ReleaseStgMedium).
    virtual HRESULT GetData(const FORMATETC *format, STGMEDIUM *medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC *format) = 0;

protected:
    ~IDataObject() = default;
};

// The menu a handler adds its commands to.
class TMenu {
public:
    // Inserts a text item before the item at the position (appends past the end).
    virtual bool InsertItem(UINT position, UINT id, const char *text) = 0;

protected:
    ~TMenu() = default;
};
using HMENU = TMenu *;

// A host window: the owner of the messages a handler shows.
class TWindow {
public:
    // Shows the message; returns the button chosen (IDOK).
    virtual int MessageBox(const char *text, const char *caption, UINT type) = 0;

protected:
    ~TWindow() = default;
};
using HWND = TWindow *;

constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONERROR = 0x0010;
constexpr int IDOK = 1;
constexpr int SW_SHOWNORMAL = 1;

// Only positions are supported (MF_BYPOSITION); false without a menu or text.
bool InsertMenuA(HMENU menu, UINT position, UINT flags, UINT id, const char *text);
// Without an owner window the message goes to the standard error stream.
int MessageBoxA(HWND owner, const char *text, const char *caption, UINT type);

// The query flags (not examined by our handler) and the command-string kinds.
constexpr UINT CMF_NORMAL = 0x0000;
constexpr UINT GCS_VERBA = 0x0000;
constexpr UINT GCS_HELPTEXTA = 0x0001;
constexpr UINT GCS_VALIDATEA = 0x0002;
constexpr UINT GCS_VERBW = 0x0004;
constexpr UINT GCS_HELPTEXTW = 0x0005;
constexpr UINT GCS_VALIDATEW = 0x0006;

struct CMINVOKECOMMANDINFO {
    std::uint32_t cbSize = sizeof(CMINVOKECOMMANDINFO);
    std::uint32_t fMask = 0;
    HWND hwnd = nullptr;
    // A command offset (MakeIntVerb) or a verb text.
    const char *lpVerb = nullptr;
    const char *lpParameters = nullptr;
    const char *lpDirectory = nullptr;
    int nShow = SW_SHOWNORMAL;
    std::uint32_t dwHotKey = 0;
    void *hIcon = nullptr;
};

// A command offset carried in the verb field, as the shell passes it: a
// "pointer" whose high word is 0.
inline const char *MakeIntVerb(UINT offset)
{
    return reinterpret_cast<const char *>(static_cast<std::uintptr_t>(offset & 0xFFFFu));
}
inline bool IsIntVerb(const char *verb)
{
    return (reinterpret_cast<std::uintptr_t>(verb) >> 16) == 0;
}
inline UINT IntVerbOffset(const char *verb)
{
    return UINT(reinterpret_cast<std::uintptr_t>(verb) & 0xFFFFu);
}

struct IShellExtInit : IUnknown {
    // folder: the folder's item list (unused here); classKey: the file class' key (unused).
    virtual HRESULT Initialize(const void *folder, IDataObject *data, void *classKey) = 0;

protected:
    ~IShellExtInit() = default;
};

struct IContextMenu : IUnknown {
    // Returns the number of commands added (a success code) or an error.
    virtual HRESULT QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags) = 0;
    virtual HRESULT InvokeCommand(CMINVOKECOMMANDINFO *info) = 0;
    virtual HRESULT GetCommandString(std::uintptr_t command, UINT kind, UINT *reserved, char *buffer,
                                     UINT bufferSize) = 0;

protected:
    ~IContextMenu() = default;
};
