#pragma once

#include "controls/BookmarkBase.h"

#include <functional>

// Bookmarks of folders (or files, with FileBookmarks): each shows its name and
// keeps its path; choosing one raises OnClick with the path. "&Add" asks
// OnGetBookmark for a path and a name and is enabled only while that is set.
// Registry values: File0, Name0, File1, Name1, ... in menu order.
class TBookmarks : public TBookmarkBase {
    Q_OBJECT
public:
    explicit TBookmarks(QObject *parent = nullptr);

    void SetBaseMenu(QMenu *menu) override;
    bool FileBookmarks() const { return fileBookmarks_; }
    void SetFileBookmarks(bool on);

    // Adds a bookmark of an existing folder (or file or folder, with
    // FileBookmarks); one of the same path (SamePath: with case) is replaced.
    // Empty paths or captions and paths that do not exist are ignored.
    void AddBookmark(const QString &path, const QString &caption);
    QString BookmarkPath(int index) const { return ItemPath(Item(index)); }
    QString BookmarkCaption(int index) const { return ItemCaption(Item(index)); }

    using TGetBookmark = std::function<void(TBookmarks *, QString &bookmark, QString &caption)>;
    const TGetBookmark &OnGetBookmark() const { return onGetBookmark_; }
    void SetOnGetBookmark(TGetBookmark handler);
    std::function<void(TBookmarks *, const QString &fileName)> OnClick;

protected:
    bool ReadItem(TRegistry &reg, int index) override;
    void WriteItem(TRegistry &reg, int index) override;
    bool SameItem(const QAction *item, const QString &path) const override;
    void ItemClick(QAction *item) override;
    void AddClick() override;

private:
    void UpdateAddItem();

    bool fileBookmarks_ = false;
    TGetBookmark onGetBookmark_;
};
