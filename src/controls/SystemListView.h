#pragma once

#include "controls/DetailProbe.h"
#include "controls/FolderEnumeration.h"
#include "controls/FolderLister.h"
#include "controls/FolderWatchThread.h"
#include "controls/SystemViewsShared.h"
#include "platform/ShellVirtualFolders.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class QListView;
class QStackedLayout;
class QTreeView;
class QTimer;
class QItemSelectionModel;
class TCustomIniFile;
class TSystemListModel;
class TSystemViewCommands;

// A list view over one folder of the shell namespace (the desktop, "Computer", the file
// system) with the namespace's icons and names, detail columns from the file probes, a
// sort by any column, a directory history and a watch thread that keeps the rows current.
// Four view styles: icons, small icons, list and report (details).
class TSystemListView : public QWidget, private TFolderWatchClient {
    Q_OBJECT
    friend class TSystemViewCommands;

public:
    explicit TSystemListView(QWidget *parent = nullptr);
    ~TSystemListView() override;

    // ------------------------------------------------------------------ properties
    // The display text of the listed folder; writing it shows that folder (raises
    // EModwright "Folder %s is not valid." when the path cannot be parsed or listed).
    QString Directory() const { return directory_; }
    void SetDirectory(const QString &path);
    // The listed folder's file-system path; empty for a virtual folder.
    QString RealDirectory() const { return realDirectory_; }
    // Extensions without dots separated by blanks, e.g. "bmp jpg"; empty = all files.
    QString AllowedExtensions() const { return allowedExtensions_.join(QLatin1Char(' ')); }
    void SetAllowedExtensions(const QString &extensions);
    // dmImages also sets the extensions "bmp jpg", dmAudio "aif aiff aifc afc wav".
    TDisplayMode DisplayMode() const { return displayMode_; }
    void SetDisplayMode(TDisplayMode mode);
    TColumnType ColumnType() const { return columnType_; }
    bool ShowHiddenFiles() const { return showHidden_; }
    void SetShowHiddenFiles(bool show);
    bool ShowFolders() const { return showFolders_; }
    void SetShowFolders(bool show);
    // Keeps the view empty until StartListing.
    bool StartEmptyDir() const { return startEmptyDir_; }
    void SetStartEmptyDir(bool hold) { startEmptyDir_ = hold; }
    TViewStyle ViewStyle() const { return viewStyle_; }
    void SetViewStyle(TViewStyle style);
    // Icons placed by the view (the icon styles re-flow them when the view is resized).
    bool AutoArrange() const { return autoArrange_; }
    void SetAutoArrange(bool on);
    // Icon and small-icon styles without Auto Arrange: the selected icons move by
    // `delta` (a drop of the view's own drag on its background or selection).
    void MoveSelectedIcons(QPoint delta);
    // "Line Up Icons": every icon to the nearest free cell of the grid.
    void LineUpIcons();
    // Where the icon of `row` sits in the icon styles (contents coordinates).
    QPoint IconPosition(int row) const;
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool MultiSelect() const;
    void SetMultiSelect(bool on);
    // A private drag format; drags that carry it go to OnUserDrop (dropping is handled
    // by the view's drag-and-drop commands).
    int UserDropFormat() const { return userDropFormat_; }
    void SetUserDropFormat(int format) { userDropFormat_ = format; }

    // ------------------------------------------------------------------ events
    std::function<void(TSystemListView *)> OnChangeDir;
    std::function<void(TSystemListView *, TSystemToolButtons)> OnToolbuttonChange;
    // Asked per file with find data on the listing's own thread and the watch thread: it must not
    // touch widgets, and is set before the first listing.
    std::function<void(TSystemListView *, const TFindData &, bool &canAdd)> OnCanAdd;
    std::function<void(TSystemListView *)> OnViewStyleChanged;
    // Raised by the view's commands (default command, drops, rename, background menu),
    // which build on this class.
    std::function<void(TSystemListView *, const QString &dir)> OnUserDrop;
    std::function<void(TSystemListView *, int row)> OnRenameFile;
    std::function<void(TSystemListView *)> OnPopupPopup;
    std::function<void(TSystemListView *, bool &doDefault)> OnDefaultCommand;
    // The toolkit's: a row clicked, the selection changed, a row double-clicked, the mouse moved.
    std::function<void(TSystemListView *)> OnClick;
    std::function<void(TSystemListView *)> OnChange;
    std::function<void(TSystemListView *)> OnDblClick;
    std::function<void(TSystemListView *, QPoint)> OnMouseMove;

    // ------------------------------------------------------------------ operations
    // Ends the StartEmptyDir hold for good and lists the current folder.
    void StartListing();
    void RefreshFolder();
    // Shows the folder of an absolute list (null = the desktop); the view takes the list.
    // False when it could not be listed: the view then climbs to the parent quietly.
    bool BrowseToPidl(TItemIdList list);
    void GoUp();
    void GoBack();
    void GoForward();
    // Makes the first shown column with this id the sort column (reverse sort off) and sorts.
    void SortByColumn(int columnId);
    // A header click: the column becomes the sort column, or reverses the sort if it is.
    void ColumnClick(int column);
    // Enters a folder row or goes up for the ".." row; false for any other row.
    bool EnterRow(int row);
    void ReadSettings(TCustomIniFile &store, const QString &section);
    void WriteSettings(TCustomIniFile &store, const QString &section);

    bool ItemIsFile(int row) const;
    // The row's file-system path, empty when it has none.
    QString ItemPath(int row) const;

    // ------------------------------------------------------------------ state
    int RowCount() const;
    const TListItemData *Row(int row) const;
    // The text of a row in a shown column (the caption for column 0).
    QString RowText(int row, int column) const;
    // The row whose caption is this text, or -1.
    int FindRow(const QString &caption) const;
    const std::vector<int> &ColumnIds() const;
    QString ColumnCaption(int column) const;
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    // The sort column index of the current column type and the shared reverse flag.
    int SortColumn() const;
    bool ReverseSort() const { return reverseSort_; }
    PCItemIdList CurrentPidl() const { return currentList_.get(); }
    std::vector<int> SelectedRows() const;
    void SelectRow(int row, bool add = false);
    int HistoryCount() const { return int(history_.size()); }
    int HistoryPosition() const { return historyPos_; }
    QString HistoryText(int index) const;
    TSystemToolButtons ToolButtons() const { return toolButtons_; }

    // Waits up to ms for the detail probes of the listed rows and shows their results.
    // True when every row has its details.
    bool WaitForDetails(int ms);
    // How many files the probes opened so far (remembered results are not counted).
    uint64_t ProbesRun() const;
    // Holds the watch thread's refreshes back (around a paste or a drop) and lets them go.
    void SuspendRefresh();
    void ResumeRefresh();
    // Compare passes of the watch thread so far.
    int WatchPassCount() const;
    // The widgets of the styles, for tests and screenshots.
    QTreeView *ReportView() const { return report_; }
    QListView *IconView() const { return icons_; }
    // Open, rename, delete, new folder, paste, menus, keys, drag and drop.
    TSystemViewCommands &Commands() const { return *commands_; }

private:
    // TFolderWatchClient
    bool TakeWatchSnapshot(const TShellFolder *watched, TSnapshot &snapshot) override;
    void PostWatchChanges(uint64_t generation, std::vector<uint64_t> staleSerials,
                          std::vector<TEnumItem> newItems, std::function<void()> applied) override;
    void PostQuietRefresh() override;
    void PostWatchError(const QString &message) override;

    // Removes the rows that changed or vanished and adds rows for the new items (GUI thread).
    void ApplyWatchChanges(uint64_t generation, const std::vector<uint64_t> &staleSerials,
                           std::vector<TEnumItem> &newItems);
    void QuietRefresh();
    bool Listed() const;
    void RefreshIfListed();
    TEnumFilter Filter();

    // Columns, sort.
    void ApplyColumnType(TColumnType type);
    int DefaultColumnWidth(int columnId) const;
    void SaveColumnWidths();
    void UpdateSortMarkers();
    void SortRows();
    void SortVector(std::vector<std::unique_ptr<TListItemData>> &rows) const;
    struct TSortParams {
        int Column = 0;
        TSortKind Kind = skShellOrder;
        bool Reverse = false;
    };
    TSortParams SortParams() const;
    int CompareRows(const TListItemData &a, const TListItemData &b, const TSortParams &params) const;
    int ShellOrder(const TListItemData &a, const TListItemData &b) const;
    bool SortUsesProbes() const;

    // Rows.
    // findDataKnown: the item's find data was asked for already (none when absent).
    std::unique_ptr<TListItemData> MakeRow(TEnumItem &item, bool findDataKnown);
    // Rows for entries the lister has read; then the watch once all are there.
    void AddListedItems(std::vector<TEnumItem> &items);
    void ListingDone();
    void FillRow(TListItemData &row, const TShellFolder &folder, const TFindData *findData,
                 bool findDataKnown, bool setCaption);
    std::unique_ptr<TListItemData> MakeParentRow();
    void ProbeRow(TListItemData &row, const TShellFolder &folder, const TFindData &findData);
    void FlushProbeRequests();
    void ApplyProbeResults(std::vector<TDetailProbe::TResult> &results);

    void UpdateHistory();
    void RaiseToolbuttonChange(TSystemToolButtons buttons);
    void ApplyViewStyle();
    void ConnectSelection();

    // Namespace.
    std::shared_ptr<TDesktopFolder> desktop_;
    std::shared_ptr<TShellFolder> folder_; // the listed folder
    TItemIdList currentList_;              // null = the desktop
    QString directory_;
    QString realDirectory_;

    // Settings of the view.
    TDisplayMode displayMode_ = dmAll;
    TColumnType columnType_ = ctUnknown;
    bool showHidden_ = false;
    bool showFolders_ = true;
    bool startEmptyDir_ = false;
    bool started_ = false;
    bool quiet_ = false;
    bool hideSelection_ = false;
    bool autoArrange_ = true;
    int userDropFormat_ = 0;
    TViewStyle viewStyle_ = vsIcon;
    QStringList allowedExtensions_;
    int widths_[kColumnTypeCount][kColumnIdCount];
    int sortColumn_[kColumnTypeCount] = {0, 0, 0, 0, 0, 0};
    bool reverseSort_ = false;
    TSystemToolButtons toolButtons_ = 0;
    std::vector<int> columnIds_; // ids of the shown columns

    std::vector<std::pair<QString, TItemIdList>> history_;
    int historyPos_ = -1;

    // Rows and their details.
    uint64_t nextSerial_ = 1;
    uint64_t listingGeneration_ = 0;
    QHash<uint64_t, TListItemData *> rowBySerial_;
    std::vector<TDetailProbe::TRequest> pendingProbes_;

    // Shared with the watch thread: guards the rows and the listed folder.
    mutable std::recursive_mutex lock_;

    TSystemListModel *model_;
    QStackedLayout *stack_;
    QTreeView *report_;
    QListView *icons_;
    QItemSelectionModel *selection_;
    TDetailProbe *probe_;
    TFolderLister *lister_;
    // The rows being gathered while a listing waits for its first entries; null otherwise.
    std::vector<std::unique_ptr<TListItemData>> *listedRows_ = nullptr;
    bool watchWhenListed_ = false; // the watch starts when the lister is done
    QTimer *resortTimer_;
    std::unique_ptr<TFolderWatchThread> watch_;
    TSystemViewCommands *commands_ = nullptr;
};
