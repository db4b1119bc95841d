#pragma once

class QString;
class TBookmarks;
class TModwrightForm;

// The main window's two bookmark menus, one per tab ("BMPBookmarks" on the
// images tab, key ImageBookmarks; "AudioBookmarks" on the drums tab, key
// AudioBookmarks). A bookmark holds a folder of the tab's file browser.

// Makes both components on the window's two "&Bookmarks" menus.
void CreateBookmarkMenus(TModwrightForm &form);
// At the first showing: points them at the program's key, which loads them.
void LoadBookmarkMenus(TModwrightForm &form);
// At closing: writes both; a failure is reported in a message box.
void SaveBookmarkMenus(TModwrightForm &form);
TBookmarks *BookmarkMenu(const TModwrightForm &form, int tab);

// The handlers both components share.
// Asks for the name of a bookmark of the active browser's folder.
void BookmarksGetBookmark(TModwrightForm &form, QString &bookmark, QString &caption);
// Sends the active browser to the chosen folder.
void BookmarksClick(TModwrightForm &form, const QString &path);
