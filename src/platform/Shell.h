#pragma once

#include "platform/ShellFolder.h"
#include "platform/ShellIdList.h"
#include "platform/ShellTypes.h"
#include "platform/ShellVirtualFolders.h"

#include <memory>

// The shell's entry points over absolute item identifier lists.

// The root folder object (made for the environment current at the call).
std::shared_ptr<TDesktopFolder> SHGetDesktopFolder();

// The folder object of an absolute list (the desktop for the root). Raises with the reason.
std::shared_ptr<TShellFolder> ShellBindAbsolute(PCItemIdList absolute);

// The file-system path of an absolute list as raw bytes: the desktop's folder for the root,
// empty for a virtual folder or a list that cannot be resolved.
QByteArray SHGetPathFromIDList(PCItemIdList absolute);
// The same as text (names that are not valid UTF-8 do not survive this form).
QString SHGetPathFromIDListText(PCItemIdList absolute);

// The find data of the item an absolute list names; false when it has none.
bool SHGetDataFromIDList(PCItemIdList absolute, TFindData &data);

// Information about the item an absolute list names; empty fields when it cannot be found.
TShellFileInfo SHGetFileInfo(PCItemIdList absolute, uint32_t flags);
