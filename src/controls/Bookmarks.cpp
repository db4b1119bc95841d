#include "controls/Bookmarks.h"

#include "platform/Registry.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

TBookmarks::TBookmarks(QObject *parent) : TBookmarkBase(parent) {}

void TBookmarks::SetBaseMenu(QMenu *menu)
{
    TBookmarkBase::SetBaseMenu(menu);
    UpdateAddItem();
}

void TBookmarks::SetFileBookmarks(bool on)
{
    fileBookmarks_ = on;
    UpdateAddItem();
}

void TBookmarks::SetOnGetBookmark(TGetBookmark handler)
{
    onGetBookmark_ = std::move(handler);
    UpdateAddItem();
}

void TBookmarks::UpdateAddItem()
{
    if (QAction *add = AddItem()) {
        add->setStatusTip(fileBookmarks_ ? tr("Add the current file to bookmarks.")
                                         : tr("Add the current directory to bookmarks."));
        add->setEnabled(bool(onGetBookmark_));
    }
}

void TBookmarks::AddBookmark(const QString &rawPath, const QString &caption)
{
    if (rawPath.isEmpty() || caption.isEmpty() || !BaseMenu() || !AddItem())
        return;
    const QFileInfo info(rawPath);
    if (fileBookmarks_ ? !info.exists() : !info.isDir())
        return;
    const QString path = fileBookmarks_ ? rawPath : TrimFolderPath(rawPath);
    InsertItem(MakeItem(caption, path, BaseMenu()));
}

bool TBookmarks::ReadItem(TRegistry &reg, int index)
{
    const std::string file = "File" + std::to_string(index);
    const std::string name = "Name" + std::to_string(index);
    if (!reg.ValueExists(file) || !reg.ValueExists(name))
        return false;
    // A folder that has gone is not added, and so drops out at the next save.
    AddBookmark(QString::fromStdString(reg.ReadString(file)), QString::fromStdString(reg.ReadString(name)));
    return true;
}

void TBookmarks::WriteItem(TRegistry &reg, int index)
{
    reg.WriteString("File" + std::to_string(index), BookmarkPath(index).toStdString());
    reg.WriteString("Name" + std::to_string(index), BookmarkCaption(index).toStdString());
}

bool TBookmarks::SameItem(const QAction *item, const QString &path) const
{
    return SamePath(ItemPath(item), path);
}

void TBookmarks::ItemClick(QAction *item)
{
    if (OnClick)
        OnClick(this, ItemPath(item));
}

void TBookmarks::AddClick()
{
    if (!onGetBookmark_)
        return;
    QString bookmark;
    QString caption;
    onGetBookmark_(this, bookmark, caption);
    if (!bookmark.isEmpty() && !caption.isEmpty())
        AddBookmark(bookmark, caption);
}
