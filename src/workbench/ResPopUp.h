#pragma once

#include <QString>

class QMenu;
class TAssignmentData;
class TModwrightForm;

// The component lists' pop-up menu `ResPopUp`: it acts on the row that was under
// the mouse when the right button went down (the pop-up row), not on the
// selection, and is prepared afresh each time it opens.

// Creates the menu for both component lists of `form` and wires its items.
void CreateResPopUp(TModwrightForm &form);
// The menu made by CreateResPopUp, or null before.
QMenu *ResPopUpMenu(const TModwrightForm &form);
// The row the menu acts on; null when the right button went down on no row.
TAssignmentData *PopupRow(const TModwrightForm &form);

// The tab's editor program (0 images, 1 drums) and its name for the menus. An
// empty name is replaced by the program's file name without extension, and kept
// as the editor's name from then on.
QString EditorName(TModwrightForm &form, int tab);
