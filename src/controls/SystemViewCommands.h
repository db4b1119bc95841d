#pragma once

#include "controls/DropWrap.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QMimeData;
class TSystemListView;

// The user's commands of a shell folder list view: opening and entering items, renaming in
// place, deleting, new folders, copy, cut and paste through the clipboard, properties, the
// menu of the selected items and the view's background menu, the keys and mouse buttons,
// and both sides of drag and drop. One object per view, made by the view.
class TSystemViewCommands : public QObject {
    Q_OBJECT
public:
    explicit TSystemViewCommands(TSystemListView *view);
    ~TSystemViewCommands() override;

    // Double click, Enter: enters a single selected folder (or goes up for ".."), else opens
    // every selected item with its program. OnDefaultCommand may stop both.
    void ExecuteDefaultCommand();
    // Ends in-place editing of a caption: renames the row's item. True when it was renamed.
    bool RenameItem(int row, const QString &newName);
    // Starts in-place editing of a row's caption (rows that can be renamed only).
    void EditCaption(int row);
    void DeleteSelected(bool allowUndo, bool showProgress, bool confirm);
    // Makes "New Folder" (or "New Folder (n)") in the listed folder and opens its caption
    // for editing. Raises ESystemViews "Folder %s is not valid." when it cannot be listed.
    void CreateNewFolder();
    // Puts the selected items on the clipboard; cut ones are drawn ghosted until the
    // clipboard changes.
    void CopyToClipboard(bool cut);
    // Copies or moves (or links, asShortcut) the clipboard's files into the listed folder.
    // Raises ESystemViews "Unable to Paste." for a folder that is not on the file system.
    void PasteFromClipboard(bool asShortcut);
    void ShowFolderProperties();
    // The menu of the selected items at a screen point. True when a command ran.
    bool ShowItemContextMenu(QPoint screenPoint);
    // The menu where there is no row.
    void ShowBackgroundMenu(QPoint screenPoint);
    // The background menu made ready for showing (checks and enabled states).
    QMenu *PrepareBackgroundMenu();
    // The item menu for the current selection, made on each request (caller owns it).
    QMenu *MakeItemMenu();
    bool HasCutMarks() const { return cutMarks_; }
    void ClearCutMarks();

    TMyOLEDragDropInterface &DragDrop() const { return *dragDrop_; }
    // The files a drag or the clipboard offers and the effects it prefers.
    static uint32_t PreferredEffect(const QMimeData *data);

    // Seams for tests: how a popup menu runs (returns the chosen action) and how a file is
    // opened with its program.
    static std::function<QAction *(QMenu &menu, QPoint screenPoint)> MenuLoop;
    static std::function<void(const QString &path)> OpenItem;
    // Opens a file or folder with the desktop's program for it.
    static void OpenPath(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Keys and mouse.
    bool KeyPress(QKeyEvent &event);
    void ContextMenuAt(QPoint viewportPoint, QPoint screenPoint);
    // The row under a point of the view (its own coordinates), or -1.
    int RowAt(QPoint viewPoint) const;
    void RunBackgroundCommand(int tag);
    void RunItemVerb(const QString &verb);
    QString ItemProperties(const QStringList &paths) const;
    QStringList SelectedPaths(bool deletableOnly) const;

    // Drag and drop.
    void StartDrag();
    bool DropEnter(const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect);
    void DropOver(TShiftState keys, QPoint point, uint32_t &effect);
    void DropLeave();
    void DropDrop(const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect);
    // The folder a drop at the point goes to (empty: none, over a file row or "..") and
    // the row under the point (-1: background).
    QString DropFolderAt(QPoint point, int &row) const;
    uint32_t DropEffectAt(QPoint point, TShiftState keys, uint32_t offered);
    // Whether a drop over `row` (-1: background) moves the selected icons.
    bool MovesIcons(int row) const;
    void SetDropHilite(int row);

    TSystemListView *view_;
    TMyOLEDragDropInterface *dragDrop_;
    QMenu *background_ = nullptr;
    bool cutMarks_ = false;
    // Drag out.
    QPoint pressPoint_;
    bool pressed_ = false;
    // Drop in.
    bool userDrop_ = false;
    QStringList dropFiles_;
    QStringList dropRejected_;
    int hiliteRow_ = -1;
    // A caption editor is open.
    bool editing_ = false;
};
