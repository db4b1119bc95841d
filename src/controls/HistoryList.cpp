#include "controls/HistoryList.h"

#include "platform/Registry.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

THistoryList::THistoryList(QObject *parent) : TDynamicMenuBase(parent)
{
    SetRegKey(QStringLiteral("MRUList"));
}

void THistoryList::SetMaxItems(int count)
{
    if (count < 1)
        return;
    maxItems_ = count;
    while (ItemCount() > maxItems_)
        RemoveItem(ItemCount() - 1);
}

void THistoryList::SetBaseMenu(QMenu *menu)
{
    if (menu) {
        // The entries belong to the menu: when it goes, they go with it.
        connect(menu, &QObject::destroyed, this, [this] {
            entries_.clear();
            placeholder_ = separator_ = nullptr;
        });
        const QList<QAction *> own = menu->actions();
        if (own.isEmpty()) {
            placeholder_ = menu->addAction(tr("(none)"));
            placeholder_->setEnabled(false);
        } else if (own.last()->isSeparator()) {
            menu->removeAction(own.last());
        }
    }
    TDynamicMenuBase::SetBaseMenu(menu);
}

void THistoryList::SetHelpContext(int context)
{
    TDynamicMenuBase::SetHelpContext(context);
    for (QAction *entry : entries_)
        SetItemHelpContext(entry, context);
}

QString THistoryList::EntryPath(int index) const
{
    return ItemPath(entries_.value(index));
}

QString THistoryList::Caption(const QString &path) const
{
    const QString name = QFileInfo(TrimFolderPath(path)).fileName();
    return name.isEmpty() ? path : name;
}

void THistoryList::AddPath(const QString &path)
{
    AddPath(path, true);
}

void THistoryList::PrepareEntryArea()
{
    QMenu *menu = BaseMenu();
    if (placeholder_) {
        menu->removeAction(placeholder_);
        delete placeholder_;
        placeholder_ = nullptr;
    }
    if (!menu->actions().isEmpty() && !separator_)
        separator_ = menu->addSeparator();
}

void THistoryList::EntriesGone()
{
    // Back to the look of a fresh menu.
    QMenu *menu = BaseMenu();
    if (!menu)
        return;
    if (separator_) {
        menu->removeAction(separator_);
        delete separator_;
        separator_ = nullptr;
    }
    if (menu->actions().isEmpty() && !placeholder_) {
        placeholder_ = menu->addAction(tr("(none)"));
        placeholder_->setEnabled(false);
    }
}

void THistoryList::AddPath(const QString &rawPath, bool atTop)
{
    QMenu *menu = BaseMenu();
    if (rawPath.isEmpty() || !menu)
        return;
    const QFileInfo info(rawPath);
    if (directories_ ? !info.isDir() : !info.isFile())
        return;
    const QString path = directories_ ? TrimFolderPath(rawPath) : rawPath;
    if (entries_.isEmpty())
        PrepareEntryArea();

    QAction *item = nullptr;
    for (QAction *entry : entries_) {
        if (SamePath(ItemPath(entry), path)) {
            item = entry;
            break;
        }
    }
    if (item) {
        entries_.removeOne(item);
        menu->removeAction(item);
    } else {
        item = MakeItem(Caption(path), path, menu);
        connect(item, &QAction::triggered, this, [this, item] {
            if (OnClick)
                OnClick(this, ItemPath(item));
        });
    }
    if (atTop) {
        menu->insertAction(entries_.isEmpty() ? nullptr : entries_.first(), item);
        entries_.prepend(item);
        if (entries_.size() > maxItems_)
            RemoveItem(int(entries_.size()) - 1);
    } else {
        menu->addAction(item);
        entries_.append(item);
        if (entries_.size() > maxItems_)
            RemoveItem(0);
    }
}

bool THistoryList::ReadItem(TRegistry &reg, int index)
{
    const std::string name = "File" + std::to_string(index);
    if (ItemCount() >= maxItems_ || !reg.ValueExists(name))
        return false;
    // A path that has gone is skipped here and so drops out at the next save.
    AddPath(QString::fromStdString(reg.ReadString(name)), false);
    return true;
}

void THistoryList::WriteItem(TRegistry &reg, int index)
{
    reg.WriteString("File" + std::to_string(index), EntryPath(index).toStdString());
}

void THistoryList::RemoveItem(int index)
{
    if (index < 0 || index >= entries_.size())
        return;
    QAction *item = entries_.takeAt(index);
    if (BaseMenu())
        BaseMenu()->removeAction(item);
    delete item;
    if (entries_.isEmpty())
        EntriesGone();
}

QAction *THistoryList::CloneItem(const QAction *item, QObject *parent) const
{
    if (!entries_.contains(const_cast<QAction *>(item)))
        return nullptr;
    QAction *clone = TDynamicMenuBase::CloneItem(item, parent);
    connect(clone, &QAction::triggered, this, [this, clone] {
        if (OnClick)
            OnClick(const_cast<THistoryList *>(this), ItemPath(clone));
    });
    return clone;
}
