#include "shellext/ContextMenu.h"

#include "platform/Process.h"
#include "shellext/ComMemory.h"
#include "shellext/Mdw2Consts.h"

#include <climits>
#include <cstring>

const CLSID TContextMenu::ClassId{
    0x6BCAD262, 0x73D3, 0x4B17, {0xBA, 0x5F, 0x40, 0xAF, 0x35, 0xE9, 0x12, 0x3B}};

namespace {

// The longest file name taken from the selection. Longer names are refused
// rather than cut: a cut name could name another file.
constexpr UINT MaxFileName = PATH_MAX - 1;

// Copies the text into the buffer as far as it fits, always terminated.
HRESULT CopyText(const std::string &text, char *buffer, UINT size)
{
    if (!buffer || size == 0)
        return E_INVALIDARG;
    const std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return S_OK;
}

} // namespace

void *TContextMenu::GetInterface(const IID &iid)
{
    if (iid == IID_IUnknown || iid == IID_IShellExtInit)
        return static_cast<IShellExtInit *>(this);
    if (iid == IID_IContextMenu)
        return static_cast<IContextMenu *>(this);
    return nullptr;
}

HRESULT TContextMenu::Initialize(const void *, IDataObject *data, void *)
{
    if (!data)
        return E_INVALIDARG;
    fileName_.clear();
    kind_ = TShellFileKind::None;
    choice_ = {};
    try {
        return InitializeFrom(data);
    } catch (...) {
        kind_ = TShellFileKind::None;
        return E_FAIL;
    }
}

HRESULT TContextMenu::InitializeFrom(IDataObject *data)
{
    FORMATETC format;
    format.cfFormat = CF_HDROP;
    format.dwAspect = DVASPECT_CONTENT;
    format.lindex = -1;
    format.tymed = TYMED_HGLOBAL;
    STGMEDIUM medium;
    const HRESULT hr = data->GetData(&format, &medium);
    if (Failed(hr))
        return hr;
    TStgMediumGuard release(medium);
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal)
        return E_FAIL;

    const HDROP drop = medium.hGlobal;
    if (DragQueryFileA(drop, DragQueryCount, nullptr, 0) == 1) {
        const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
        if (length > 0 && length <= MaxFileName) {
            std::string name(length, '\0');
            DragQueryFileA(drop, 0, name.data(), length + 1);
            if (IsExistingFile(name)) {
                fileName_ = name;
                kind_ = ShellFileKindOf(name);
            }
        }
    }
    if (kind_ != TShellFileKind::None) {
        try {
            choice_ = ReadShellEditorChoice(kind_);
        } catch (...) {
            kind_ = TShellFileKind::None;
            choice_ = {};
        }
    }
    return kind_ != TShellFileKind::None ? S_OK : E_FAIL;
}

HRESULT TContextMenu::QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT)
{
    if (kind_ == TShellFileKind::None || !choice_.CommandOffered() || firstId > lastId)
        return 0;
    try {
        return InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING, firstId, choice_.MenuText().c_str())
                   ? 1
                   : 0;
    } catch (...) {
        return 0;
    }
}

HRESULT TContextMenu::InvokeCommand(CMINVOKECOMMANDINFO *info)
{
    if (!info)
        return E_INVALIDARG;
    if (!IsIntVerb(info->lpVerb))
        return E_FAIL;
    if (IntVerbOffset(info->lpVerb) != 0)
        return E_INVALIDARG;
    if (kind_ == TShellFileKind::None)
        return E_FAIL; // not initialised with a file of ours
    // The file goes over as one argument of its own, never through a shell or a
    // command line to be cut again, so no character of its name (quotes, "$(",
    // ";") can split it or run anything. Programs here have no show state.
    if (choice_.editorAvailable && !choice_.editorPath.empty()) {
        try {
            StartProgram(choice_.editorPath, {fileName_});
        } catch (...) {
            std::string text = ErrorExecutingFormat;
            text.replace(text.find("%s"), 2, choice_.editorName);
            MessageBoxA(info->hwnd, text.c_str(), ErrorCaption, MB_OK | MB_ICONERROR);
        }
    } else if (!choice_.modwrightPath.empty()) {
        const char *ask = kind_ == TShellFileKind::Image ? AskImageEditorSwitch : AskDrumEditorSwitch;
        try {
            StartProgram(choice_.modwrightPath, {ask, fileName_});
        } catch (...) {
            // Not reported: the menu simply did nothing.
        }
    }
    return S_OK;
}

HRESULT TContextMenu::GetCommandString(std::uintptr_t command, UINT kind, UINT *, char *buffer,
                                       UINT bufferSize)
{
    if (command != 0)
        return E_INVALIDARG;
    try {
        switch (kind) {
        case GCS_VERBA:
            return CopyText(EditVerb, buffer, bufferSize);
        case GCS_HELPTEXTA:
            return CopyText(choice_.HelpText(), buffer, bufferSize);
        case GCS_VALIDATEA:
            return S_OK;
        default:
            return E_INVALIDARG;
        }
    } catch (...) {
        return E_FAIL;
    }
}

TComObjectFactory &ContextMenuFactory()
{
    static TComObjectFactory factory(TContextMenu::ClassId, ShellExtDescription,
                                     [] { return new TContextMenu; });
    return factory;
}
