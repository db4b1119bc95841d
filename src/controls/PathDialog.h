#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class TFolderTree;

// Lets the user choose a folder on disk in a folder-browse dialog: a tree of
// the namespace from the computer or the desktop down. Only folders with a
// file-system path can be chosen. Not a widget itself: Execute makes the dialog
// window, runs it modally and forgets it.
class TPathDialog : public QObject {
    Q_OBJECT

public:
    enum TRootItem { riMyComputer, riDesktop };
    using TNotifyEvent = std::function<void(TPathDialog &Sender)>;
    using TSelectEvent = std::function<void(TPathDialog &Sender, const QString &Path)>;

    // owner: the dialog's parent window when it is a widget, else the
    // application's main window.
    explicit TPathDialog(QObject *owner = nullptr);
    ~TPathDialog() override;

    // True when the user chose a folder that has a file-system path; it is then
    // in Directory. Cancelling, or a root that cannot be opened, gives false and
    // leaves Directory as it was.
    bool Execute();

    QString Title() const { return title_; }
    void SetTitle(const QString &title) { title_ = title; }
    // One trailing "/" is cut off (the root "/" stays); empty means the current
    // folder. While the dialog is open the folder is also selected in it.
    QString Directory() const { return directory_; }
    void SetDirectory(const QString &directory);
    bool ShowStatus() const { return showStatus_; }
    void SetShowStatus(bool on) { showStatus_ = on; }
    // Shown at once while the dialog is open with a status line.
    QString StatusText() const { return statusText_; }
    void SetStatusText(const QString &text);
    TRootItem RootItem() const { return rootItem_; }
    void SetRootItem(TRootItem root) { rootItem_ = root; }
    // The resizable dialog with a "Make New Folder" button.
    bool NewStyle() const { return newStyle_; }
    void SetNewStyle(bool on) { newStyle_ = on; }

    // The open dialog window, null when none is open.
    QDialog *Handle() const { return handle_; }
    // The open dialog's folder tree, null when none is open.
    TFolderTree *Tree() const;

    // Raised once the dialog window exists (its folder selected). An exception
    // from a handler is shown in an error box.
    TNotifyEvent OnShow;
    // Raised whenever the selection in the tree moves, with the new folder's
    // file-system path (empty for a virtual folder).
    TSelectEvent OnSelect;

private:
    void raise(const std::function<void()> &handler);

    QString title_;
    QString directory_;
    bool showStatus_ = false;
    QString statusText_;
    TRootItem rootItem_ = riMyComputer;
    bool newStyle_ = true;
    QPointer<QDialog> handle_;
};
