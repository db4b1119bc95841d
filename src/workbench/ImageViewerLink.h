#pragma once

class QModelIndex;
class TImageItemList;
class TImgViewForm;
class TModwrightForm;

// The main window's side of the image viewer: the viewer is made with the window
// (hidden), shown by the "Image viewer" command and handed the rows that are
// clicked, as the settings ask. Each of the four lists (two component lists, two
// browsers) is offered to the viewer to step through.

// Creates the viewer for `form` and wires its command.
void CreateImageViewer(TModwrightForm &form);
// The viewer, or null before CreateImageViewer.
TImgViewForm *ImageViewer(const TModwrightForm &form);
// The list the viewer steps through for a tab's component list or browser.
TImageItemList *ViewerList(const TModwrightForm &form, int tab, bool browser);

// The viewer's section of the configuration store.
void LoadImageViewerSettings(TModwrightForm &form);
void SaveImageViewerSettings(TModwrightForm &form);

// What caused a row to be shown; each has its own "also make the viewer visible"
// setting, which counts on the images tab only.
enum TViewerTrigger { vtModClick, vtFileClick, vtModDblClick, vtFileDblClick };
void RevealImageViewer(TModwrightForm &form, int tab, TViewerTrigger trigger);
// The image half of showing a row: when the row yields an image file (a browser
// file, or an image component with a file assigned), the viewer shows it and the
// result is true; otherwise false and nothing happens.
bool ShowRowImage(TModwrightForm &form, int tab, bool browser, int row);
