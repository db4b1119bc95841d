#include "controls/BookmarkBase.h"

#include <QAction>
#include <QMenu>

namespace {

// Items before the first bookmark: "&Add" and a separator.
constexpr int FirstBookmark = 2;

} // namespace

TBookmarkBase::TBookmarkBase(QObject *parent) : TDynamicMenuBase(parent)
{
    SetRegKey(QStringLiteral("Bookmarks"));
}

void TBookmarkBase::SetBaseMenu(QMenu *menu)
{
    if (menu) {
        // The menu is ours from now on: whatever it held goes.
        for (QAction *old : menu->actions()) {
            menu->removeAction(old);
            if (old->parent() == menu)
                delete old;
        }
        add_ = menu->addAction(tr("&Add"));
        add_->setObjectName("BookmarkAdd");
        SetItemHelpContext(add_, addHelpContext_);
        connect(add_, &QAction::triggered, this, [this] { AddClick(); });
        firstSeparator_ = menu->addSeparator();
        lastSeparator_ = menu->addSeparator();
        delete_ = new QMenu(tr("&Delete"), menu);
        delete_->setObjectName("BookmarkDelete");
        QAction *deleteAction = menu->addMenu(delete_);
        deleteAction->setStatusTip(tr("Delete a bookmark"));
        SetItemHelpContext(deleteAction, delHelpContext_);
        connect(menu, &QObject::destroyed, this, [this] {
            add_ = firstSeparator_ = lastSeparator_ = nullptr;
            delete_ = nullptr;
        });
        UpdateFrame();
    }
    TDynamicMenuBase::SetBaseMenu(menu);
}

int TBookmarkBase::ItemCount() const
{
    QMenu *menu = BaseMenu();
    return menu && add_ ? int(menu->actions().size()) - 4 : 0;
}

QAction *TBookmarkBase::Item(int index) const
{
    if (index < 0 || index >= ItemCount())
        return nullptr;
    return BaseMenu()->actions().at(FirstBookmark + index);
}

QAction *TBookmarkBase::DeleteItem(int index) const
{
    return delete_ ? delete_->actions().value(index) : nullptr;
}

void TBookmarkBase::SetHelpContext(int context)
{
    TDynamicMenuBase::SetHelpContext(context);
    for (int i = 0; i < ItemCount(); ++i)
        SetItemHelpContext(Item(i), context);
}

void TBookmarkBase::SetAddHelpContext(int context)
{
    addHelpContext_ = context;
    if (add_)
        SetItemHelpContext(add_, context);
}

void TBookmarkBase::SetDelHelpContext(int context)
{
    delHelpContext_ = context;
    if (!delete_)
        return;
    SetItemHelpContext(delete_->menuAction(), context);
    for (QAction *copy : delete_->actions())
        SetItemHelpContext(copy, context);
}

void TBookmarkBase::SetSorted(bool on)
{
    const bool resort = on && !sorted_ && ItemCount() > 0;
    sorted_ = on;
    if (!resort)
        return;
    QList<QAction *> clones;
    for (int i = 0; i < ItemCount(); ++i)
        clones << CloneItem(Item(i), this);
    Clear();
    for (QAction *clone : clones) {
        InsertItem(MakeItem(ItemCaption(clone), ItemPath(clone), BaseMenu()));
        delete clone;
    }
}

void TBookmarkBase::UpdateFrame()
{
    const bool any = ItemCount() > 0;
    if (firstSeparator_)
        firstSeparator_->setVisible(any);
    if (lastSeparator_)
        lastSeparator_->setVisible(any);
    if (delete_)
        delete_->menuAction()->setVisible(any);
}

int TBookmarkBase::IndexOfPath(const QString &path) const
{
    for (int i = 0; i < ItemCount(); ++i)
        if (SameItem(Item(i), path))
            return i;
    return -1;
}

void TBookmarkBase::InsertItem(QAction *item)
{
    QMenu *menu = BaseMenu();
    const int same = IndexOfPath(ItemPath(item));
    if (same >= 0)
        RemoveItem(same);

    SetItemHelpContext(item, HelpContext());
    connect(item, &QAction::triggered, this, [this, item] { ItemClick(item); });
    QAction *copy = CloneItem(item, delete_);
    SetItemHelpContext(copy, delHelpContext_);
    connect(copy, &QAction::triggered, this, [this, copy] { DeleteClick(copy); });

    // Copies stand in "&Delete" in the order of the bookmarks, so one index serves both.
    int at = ItemCount();
    if (sorted_) {
        const QString caption = ItemCaption(item).toLower();
        for (int i = 0; i < ItemCount(); ++i) {
            if (QString::localeAwareCompare(ItemCaption(Item(i)).toLower(), caption) >= 0) {
                at = i;
                break;
            }
        }
    }
    menu->insertAction(at < ItemCount() ? Item(at) : lastSeparator_, item);
    delete_->insertAction(DeleteItem(at), copy);
    UpdateFrame();
}

void TBookmarkBase::RemoveItem(int index)
{
    TakeItem(index, false);
}

void TBookmarkBase::TakeItem(int index, bool deleteLater)
{
    QAction *item = Item(index);
    if (!item)
        return;
    QAction *copy = DeleteItem(index);
    BaseMenu()->removeAction(item);
    if (copy)
        delete_->removeAction(copy);
    for (QAction *gone : {item, copy}) {
        if (!gone)
            continue;
        if (deleteLater)
            gone->deleteLater();
        else
            delete gone;
    }
    UpdateFrame();
}

void TBookmarkBase::DeleteClick(QAction *copy)
{
    // The copy is still delivering its signal: it goes once that is done.
    TakeItem(IndexOfPath(ItemPath(copy)), true);
}
