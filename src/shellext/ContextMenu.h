#pragma once

#include "platform/ShellEditor.h"
#include "shellext/ComServer.h"
#include "shellext/ShellInterfaces.h"

#include <string>

// The "Edit with" command for one selected image (.bmp, .jpg) or sample file
// (.aif, .wav). One object serves one context menu: Initialize classifies the
// file and reads the editor choice the main program stored, QueryContextMenu
// adds "Edit with <editor>" or, without an editor, "Edit with..." as long as the
// main program is known, and InvokeCommand starts the editor with the file, or
// the main program to ask for an editor. No exception leaves these methods.
class TContextMenu : public TComObject, public IShellExtInit, public IContextMenu {
public:
    // The handler's class identifier.
    static const CLSID ClassId;

    HRESULT QueryInterface(const IID &iid, void **object) override { return ObjQueryInterface(iid, object); }
    ULONG AddRef() override { return ObjAddRef(); }
    ULONG Release() override { return ObjRelease(); }

    HRESULT Initialize(const void *folder, IDataObject *data, void *classKey) override;
    HRESULT QueryContextMenu(HMENU menu, UINT position, UINT firstId, UINT lastId, UINT flags) override;
    HRESULT InvokeCommand(CMINVOKECOMMANDINFO *info) override;
    HRESULT GetCommandString(std::uintptr_t command, UINT kind, UINT *reserved, char *buffer,
                             UINT bufferSize) override;

protected:
    void *GetInterface(const IID &iid) override;

private:
    HRESULT InitializeFrom(IDataObject *data);

    std::string fileName_;
    TShellFileKind kind_ = TShellFileKind::None;
    TShellEditorChoice choice_;
};

// The factory that the library's entry points serve.
TComObjectFactory &ContextMenuFactory();
