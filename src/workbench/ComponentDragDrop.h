#pragma once

#include <QString>
#include <QStringList>

class TModwrightForm;

// Drag and drop between the component lists and the file browsers (and the desktop's file
// manager): files dropped on a list are assigned, assigned components dragged into the
// browser of their tab are saved there. Also the browser's new-folder button.

// The kind of a dropped list: 1 = one existing file, 2 = one folder, 3 = several entries,
// 0 = anything else (one entry that is gone, or not a file of this computer).
int DropKind(const QStringList &files, const QStringList &rejected);

// The name of the program's private drag format: the title, " PID:" and the process id.
QString PrivateDragFormatName();

void ConnectComponentDragDrop(TModwrightForm &form);
