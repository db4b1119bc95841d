#pragma once

#include "controls/DynamicMenuBase.h"

#include <QList>
#include <functional>

// A most-recently-used list of files or folders appended to an existing menu:
// the menu's own items, a separator, then the entries, most recent first. Each
// entry shows the last component of its path (the whole path for a root). A menu
// without items of its own shows a disabled "(none)" while the list is empty.
// Registry values: File0, File1, ... (full paths, most recent first).
class THistoryList : public TDynamicMenuBase {
    Q_OBJECT
public:
    explicit THistoryList(QObject *parent = nullptr);

    int MaxItems() const { return maxItems_; }
    // Values below 1 are ignored; a smaller value drops entries from the end.
    void SetMaxItems(int count);
    bool Directories() const { return directories_; }
    void SetDirectories(bool on) { directories_ = on; }

    void SetBaseMenu(QMenu *menu) override;
    void SetHelpContext(int context) override;
    int ItemCount() const override { return int(entries_.size()); }

    // Puts an existing file (folder with Directories) at the top; a path already
    // listed (compared with case, see SamePath) moves there. Anything else is ignored.
    void AddPath(const QString &path);
    // The path of entry `index` (0 = most recent).
    QString EntryPath(int index) const;
    QAction *Entry(int index) const { return entries_.value(index); }

    // An entry was chosen; the entry stays where it is.
    std::function<void(THistoryList *, const QString &fileName)> OnClick;

protected:
    bool ReadItem(TRegistry &reg, int index) override;
    void WriteItem(TRegistry &reg, int index) override;
    void RemoveItem(int index) override;
    QAction *CloneItem(const QAction *item, QObject *parent) const override;

private:
    void AddPath(const QString &path, bool atTop);
    void PrepareEntryArea();
    void EntriesGone();
    QString Caption(const QString &path) const;

    int maxItems_ = 4;
    bool directories_ = false;
    QList<QAction *> entries_; // in menu order
    QAction *placeholder_ = nullptr;
    QAction *separator_ = nullptr;
};
