#pragma once

#include "platform/ShellIdList.h"

#include <QTreeView>

class QStandardItem;
class QStandardItemModel;

// The folder tree of the folder picker: the namespace from a root folder down,
// folders only, hidden ones left out. Children are listed when a node is first
// expanded. Items that can be renamed are edited in place; a rename goes to the
// disk at once and a refused one reverts with a message box.
class TFolderTree : public QTreeView {
    Q_OBJECT

public:
    // root: the absolute list of the top node (null: the desktop). Raises
    // EModwright when that folder cannot be opened.
    explicit TFolderTree(PCItemIdList root, QWidget *parent = nullptr);

    // The absolute list of the selected node (empty when nothing is selected).
    QByteArray SelectedList() const;
    // The file-system path of the selected node; empty for a virtual folder or
    // when nothing is selected.
    QString SelectedPath() const;
    // Expands down to the folder and selects it. A folder the listing leaves out
    // (a hidden one) is added on the way. False, selection unchanged, when the
    // path names no folder below the root.
    bool SelectPath(const QString &path);
    // Makes "New Folder" ("New Folder (2)", ...) in the selected folder, selects
    // it and opens its name for editing. Raises EModwright with the reason when
    // the selected node has no file-system path or the folder cannot be made.
    QString NewFolder();

    // The text of a node, as shown.
    QStringList ChildNames(const QModelIndex &parent) const;
    QStandardItemModel *Model() const { return model_; }

signals:
    // The selection moved; the new node's file-system path (empty when it has none).
    void SelectionMoved(const QString &path);

private:
    QStandardItem *makeItem(PCItemIdList absolute, const QString &name, uint32_t attributes,
                            const QIcon &icon);
    void populate(QStandardItem *item);
    QStandardItem *childWithList(QStandardItem *parent, const QByteArray &list);
    void itemRenamed(QStandardItem *item);

    QStandardItemModel *model_;
    bool renaming_ = false;
};
