#pragma once

#include "controls/DynamicMenuBase.h"

#include <QList>

// A bookmark menu: the base menu is rebuilt as "&Add", a separator, the
// bookmarks, a separator and a "&Delete" submenu that holds a copy of each
// bookmark (choosing a copy deletes its bookmark). The separators and "&Delete"
// are hidden while there are no bookmarks. What a bookmark is, how it compares
// and what choosing it does is the derived class's.
class TBookmarkBase : public TDynamicMenuBase {
    Q_OBJECT
public:
    explicit TBookmarkBase(QObject *parent = nullptr);

    void SetBaseMenu(QMenu *menu) override;
    void SetHelpContext(int context) override;
    int ItemCount() const override;

    int AddHelpContext() const { return addHelpContext_; }
    void SetAddHelpContext(int context);
    int DelHelpContext() const { return delHelpContext_; }
    void SetDelHelpContext(int context);
    bool Sorted() const { return sorted_; }
    // Turning it on re-orders the bookmarks present.
    void SetSorted(bool on);

    // The fixed items (null until the base menu is set).
    QAction *AddItem() const { return add_; }
    QMenu *DeleteMenu() const { return delete_; }
    // Bookmark `index` in menu order, and its copy in "&Delete".
    QAction *Item(int index) const;
    QAction *DeleteItem(int index) const;

protected:
    void RemoveItem(int index) override;
    virtual bool SameItem(const QAction *item, const QString &path) const = 0;
    virtual void ItemClick(QAction *item) = 0;
    virtual void AddClick() = 0;

    // Inserts a bookmark item (made by MakeItem) and its "&Delete" copy,
    // replacing a bookmark of the same path.
    void InsertItem(QAction *item);
    // Shows or hides the separators and "&Delete" by the number of bookmarks.
    void UpdateFrame();

private:
    void DeleteClick(QAction *copy);
    void TakeItem(int index, bool deleteLater);
    int IndexOfPath(const QString &path) const;

    QAction *add_ = nullptr;
    QAction *firstSeparator_ = nullptr;
    QAction *lastSeparator_ = nullptr;
    QMenu *delete_ = nullptr;
    int addHelpContext_ = 0;
    int delHelpContext_ = 0;
    bool sorted_ = true;
};
