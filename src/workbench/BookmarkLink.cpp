#include "workbench/BookmarkLink.h"

#include "common/MessageBoxes.h"
#include "controls/Bookmarks.h"
#include "controls/SystemListView.h"
#include "workbench/EnterExt.h"
#include "workbench/ModwrightForm.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

const char *const ComponentNames[2] = {"BMPBookmarks", "AudioBookmarks"};
const char *const RegKeys[2] = {"ImageBookmarks", "AudioBookmarks"};

} // namespace

TBookmarks *BookmarkMenu(const TModwrightForm &form, int tab)
{
    if (tab != 0 && tab != 1)
        return nullptr;
    return form.findChild<TBookmarks *>(ComponentNames[tab], Qt::FindDirectChildrenOnly);
}

void CreateBookmarkMenus(TModwrightForm &form)
{
    QMenu *menus[2] = {form.BMPBookmarks1, form.AudioBookmarks1};
    TModwrightForm *f = &form;
    for (int tab = 0; tab < 2; ++tab) {
        if (!menus[tab] || BookmarkMenu(form, tab))
            continue;
        auto *marks = new TBookmarks(&form);
        marks->setObjectName(ComponentNames[tab]);
        marks->SetRegKey(RegKeys[tab]);
        marks->SetBaseMenu(menus[tab]);
        marks->SetOnGetBookmark([f](TBookmarks *, QString &bookmark, QString &caption) {
            BookmarksGetBookmark(*f, bookmark, caption);
        });
        marks->OnClick = [f](TBookmarks *, const QString &path) { BookmarksClick(*f, path); };
        menus[tab]->setEnabled(true);
    }
}

void LoadBookmarkMenus(TModwrightForm &form)
{
    // The key of the configuration store: Software\Talwen\<program title>.
    const QString regPath = QStringLiteral("Talwen\\") + ProgramTitle;
    for (int tab = 0; tab < 2; ++tab)
        if (TBookmarks *marks = BookmarkMenu(form, tab))
            marks->SetRegPath(regPath);
}

void SaveBookmarkMenus(TModwrightForm &form)
{
    for (int tab = 0; tab < 2; ++tab) {
        TBookmarks *marks = BookmarkMenu(form, tab);
        if (!marks)
            continue;
        try {
            marks->SaveToRegistry();
        } catch (const std::exception &e) {
            ShowError("SaveBookmarks: " + QString::fromUtf8(e.what()));
        }
    }
}

void BookmarksGetBookmark(TModwrightForm &form, QString &bookmark, QString &caption)
{
    TSystemListView *browser = form.Browser(form.ActiveTab());
    const QString folder = browser->Directory();
    // Virtual folders (the desktop, "Computer") have no file-system path to keep.
    if (browser->RealDirectory().isEmpty() ||
        folder.compare(browser->RealDirectory(), Qt::CaseInsensitive) != 0) {
        ShowInformation("This directory cannot be bookmarked.");
        return;
    }
    QString name = QFileInfo(QDir::cleanPath(folder)).fileName();
    if (name.isEmpty())
        name = folder;
    if (!TEnterExt::Execute(&form, "New Bookmark", "Please enter the name:", name) || name.isEmpty())
        return;
    caption = name;
    bookmark = folder;
}

void BookmarksClick(TModwrightForm &form, const QString &path)
{
    try {
        form.Browser(form.ActiveTab())->SetDirectory(path);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}
