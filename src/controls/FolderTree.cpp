#include "controls/FolderTree.h"

#include "common/MessageBoxes.h"
#include "controls/ShellIconList.h"
#include "platform/Exception.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QStandardItemModel>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

enum TRole {
    ListRole = Qt::UserRole + 1, // absolute item identifier list (bytes)
    NameRole,                    // the name as last known, to tell a rename from other changes
    PopulatedRole,               // children have been listed
    PlaceholderRole,             // the stand-in child that makes a node expandable
};

QByteArray ListOf(const QStandardItem *item)
{
    return item->data(ListRole).toByteArray();
}

TItemIdList AbsoluteOf(const QStandardItem *item)
{
    const QByteArray bytes = ListOf(item);
    return bytes.isEmpty() ? TItemIdList() : TItemIdList::FromBytes(bytes);
}

QIcon IconOf(const TShellFileInfo &info)
{
    TShellIconList &icons = TShellIconList::Instance();
    return icons.Icon(icons.IndexOf(info));
}

} // namespace

TFolderTree::TFolderTree(PCItemIdList root, QWidget *parent)
    : QTreeView(parent), model_(new QStandardItemModel(this))
{
    setObjectName("FolderTree");
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    header()->setStretchLastSection(true);

    // Fails here, before anything is shown, when the root cannot be opened.
    ShellBindAbsolute(root);
    const TShellFileInfo info =
        SHGetFileInfo(root, SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_ATTRIBUTES);
    QStandardItem *top = makeItem(root, info.DisplayName, info.Attributes | SFGAO_HASSUBFOLDER, IconOf(info));
    top->setEditable(false);
    model_->appendRow(top);
    populate(top);
    expand(top->index());
    setCurrentIndex(top->index());

    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (QStandardItem *item = model_->itemFromIndex(index))
            populate(item);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit SelectionMoved(SelectedPath()); });
    connect(model_, &QStandardItemModel::itemChanged, this, &TFolderTree::itemRenamed);
}

QStandardItem *TFolderTree::makeItem(PCItemIdList absolute, const QString &name, uint32_t attributes,
                                     const QIcon &icon)
{
    auto *item = new QStandardItem(icon, name);
    item->setData(PidlClone(absolute).toBytes(), ListRole);
    item->setData(name, NameRole);
    item->setData(false, PopulatedRole);
    item->setEditable(attributes & SFGAO_CANRENAME);
    if (attributes & SFGAO_HASSUBFOLDER) {
        auto *placeholder = new QStandardItem;
        placeholder->setData(true, PlaceholderRole);
        placeholder->setEditable(false);
        item->appendRow(placeholder);
    }
    return item;
}

void TFolderTree::populate(QStandardItem *item)
{
    if (item->data(PopulatedRole).toBool())
        return;
    renaming_ = true; // model changes below are no renames
    item->setData(true, PopulatedRole);
    item->removeRows(0, item->rowCount());
    const TItemIdList absolute = AbsoluteOf(item);
    struct TEntry {
        TItemIdList relative;
        QString name;
        uint32_t attributes;
    };
    std::vector<TEntry> entries;
    std::shared_ptr<TShellFolder> folder;
    try {
        folder = ShellBindAbsolute(absolute.get());
        auto list = folder->EnumObjects(SHCONTF_FOLDERS);
        TItemIdList relative;
        while (list->Next(relative)) {
            uint32_t attributes = SFGAO_FOLDER | SFGAO_FILESYSTEM | SFGAO_HASSUBFOLDER | SFGAO_CANRENAME |
                                  SFGAO_FILESYSANCESTOR | SFGAO_HIDDEN;
            if (!folder->GetAttributesOf(relative.get(), attributes) || !(attributes & SFGAO_FOLDER) ||
                (attributes & SFGAO_HIDDEN))
                continue;
            // Only folders on disk and the virtual ones that lead to them.
            if (!(attributes & (SFGAO_FILESYSTEM | SFGAO_FILESYSANCESTOR)))
                continue;
            QString name = folder->GetDisplayNameOf(relative.get(), SHGDN_INFOLDER);
            entries.push_back({std::move(relative), std::move(name), attributes});
        }
    } catch (const std::exception &) {
        // An unreadable folder simply shows no children.
    }
    if (folder) {
        std::sort(entries.begin(), entries.end(), [&folder](const TEntry &a, const TEntry &b) {
            return folder->CompareIDs(a.relative.get(), b.relative.get()) < 0;
        });
        for (const TEntry &entry : entries) {
            const TItemIdList child = PidlCombine(absolute.get(), entry.relative.get());
            const TShellFileInfo info = folder->GetFileInfo(entry.relative.get(), SHGFI_SYSICONINDEX);
            item->appendRow(makeItem(child.get(), entry.name, entry.attributes, IconOf(info)));
        }
    }
    renaming_ = false;
}

QStandardItem *TFolderTree::childWithList(QStandardItem *parent, const QByteArray &list)
{
    for (int row = 0; row < parent->rowCount(); ++row) {
        QStandardItem *child = parent->child(row);
        if (!child->data(PlaceholderRole).toBool() && ListOf(child) == list)
            return child;
    }
    return nullptr;
}

QByteArray TFolderTree::SelectedList() const
{
    const QStandardItem *item = model_->itemFromIndex(currentIndex());
    return item ? ListOf(item) : QByteArray();
}

QString TFolderTree::SelectedPath() const
{
    const QStandardItem *item = model_->itemFromIndex(currentIndex());
    if (!item)
        return {};
    const TItemIdList absolute = AbsoluteOf(item);
    // The desktop root has the desktop folder as its path; a virtual item has none.
    return QFile::decodeName(SHGetPathFromIDList(absolute.get()));
}

bool TFolderTree::SelectPath(const QString &path)
{
    TItemIdList target;
    try {
        target = SHGetDesktopFolder()->ParseDisplayName(path);
    } catch (const std::exception &) {
        return false;
    }
    if (!shellfs::IsFolderPath(SHGetPathFromIDList(target.get())))
        return false;
    QStandardItem *item = model_->item(0);
    const TItemIdList root = AbsoluteOf(item);
    if (!PidlIsPrefix(root.get(), target.get()))
        return false;
    TItemIdList walked = PidlClone(root.get());
    for (int depth = PidlCount(root.get()); depth < PidlCount(target.get()); ++depth) {
        populate(item);
        expand(item->index());
        const TItemIdList next = PidlFirst(PidlItem(target.get(), depth));
        walked = PidlCombine(walked.get(), next.get());
        QStandardItem *child = childWithList(item, walked.toBytes());
        if (!child) {
            // Hidden, or made since the node was listed: show it all the same.
            const TShellFileInfo info =
                SHGetFileInfo(walked.get(), SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_ATTRIBUTES);
            renaming_ = true;
            child =
                makeItem(walked.get(), info.DisplayName, info.Attributes | SFGAO_HASSUBFOLDER, IconOf(info));
            item->appendRow(child);
            renaming_ = false;
        }
        item = child;
    }
    setCurrentIndex(item->index());
    scrollTo(item->index());
    return true;
}

QString TFolderTree::NewFolder()
{
    QStandardItem *parent = model_->itemFromIndex(currentIndex());
    const QString folder = SelectedPath();
    if (!parent || folder.isEmpty())
        throw EModwright("A new folder can only be made in a folder on disk.");
    const QByteArray base = QFile::encodeName(folder);
    QString name;
    for (int number = 1;; ++number) {
        name = number == 1 ? QStringLiteral("New Folder") : QString("New Folder (%1)").arg(number);
        const QByteArray path = shellfs::JoinPath(base, QFile::encodeName(name));
        if (::mkdir(path.constData(), 0777) == 0)
            break;
        if (errno != EEXIST || number >= 1000)
            throw EModwright("Cannot create the folder \"" + name.toStdString() + "\" in " +
                             folder.toStdString() + ": " + std::strerror(errno) + ".");
    }
    // List it afresh so that the new folder takes its place in order.
    renaming_ = true;
    parent->setData(false, PopulatedRole);
    renaming_ = false;
    populate(parent);
    expand(parent->index());
    const QString made = QDir(folder).filePath(name);
    SelectPath(made);
    edit(currentIndex());
    return made;
}

QStringList TFolderTree::ChildNames(const QModelIndex &parentIndex) const
{
    QStringList names;
    QStandardItem *parent =
        parentIndex.isValid() ? model_->itemFromIndex(parentIndex) : model_->invisibleRootItem();
    for (int row = 0; parent && row < parent->rowCount(); ++row)
        if (!parent->child(row)->data(PlaceholderRole).toBool())
            names << parent->child(row)->text();
    return names;
}

void TFolderTree::itemRenamed(QStandardItem *item)
{
    if (renaming_ || item->data(PlaceholderRole).toBool())
        return;
    const QString oldName = item->data(NameRole).toString();
    const QString newName = item->text();
    if (newName == oldName)
        return;
    renaming_ = true;
    try {
        const TItemIdList absolute = AbsoluteOf(item);
        const TItemIdList parentList = PidlParent(absolute.get());
        const TItemIdList last = PidlLast(absolute.get());
        const TItemIdList renamed =
            ShellBindAbsolute(parentList.get())->SetNameOf(last.get(), newName, SHGDN_INFOLDER);
        const TItemIdList updated = PidlCombine(parentList.get(), renamed.get());
        item->setData(updated.toBytes(), ListRole);
        item->setData(newName, NameRole);
        // The children's lists hold the old name: list them again when needed.
        item->removeRows(0, item->rowCount());
        item->setData(false, PopulatedRole);
        auto *placeholder = new QStandardItem;
        placeholder->setData(true, PlaceholderRole);
        item->appendRow(placeholder);
        collapse(item->index());
    } catch (const std::exception &e) {
        item->setText(oldName);
        renaming_ = false;
        ShowError(QString::fromUtf8(e.what()));
        return;
    }
    renaming_ = false;
    emit SelectionMoved(SelectedPath());
}
