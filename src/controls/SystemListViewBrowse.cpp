// Listing a folder into the view: browsing, filling rows, the ".." row, the detail probes
// and the hand-over from the watch thread.
#include "common/BusyCursor.h"
#include "common/MessageBoxes.h"
#include "controls/FolderOpening.h"
#include "controls/ShellIconList.h"
#include "controls/SystemListFill.h"
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "platform/Shell.h"
#include "platform/ShellItem.h"

#include <QSet>
#include <QTimer>
#include <algorithm>
#include <chrono>

namespace {

// How long a listing waits for the folder's entries and their probes before it shows the
// rows: folders of ordinary size appear complete, a slow disk or share fills the rows and
// details in afterwards, and the window never waits longer than this.
constexpr int kListWaitMs = 40;
// How long opening a folder may take before the view gives it up as not answering: long
// enough for a sleeping disk or a share that wakes up, short enough not to pass for a hang.
constexpr int kOpenWaitMs = 3000;
// Requests go to the probe thread in groups while the folder is read.
constexpr size_t kProbeBatch = 64;

// The desktop's list as an item list of its own: only the terminator (not a null list, which
// would mean "no item" for a row).
TItemIdList RootList()
{
    return TItemIdList::Adopt(ShellAlloc(2));
}

void SetOutcome(TListItemData &row, const TProbeOutcome &outcome)
{
    std::copy(std::begin(outcome.Slots), std::end(outcome.Slots), std::begin(row.InfoSlots));
    row.ProbeState = outcome.Failed ? TListItemData::psFailed : TListItemData::psDone;
    row.ProbeError = outcome.Error;
}

} // namespace

TEnumFilter TSystemListView::Filter()
{
    TEnumFilter filter;
    filter.ShowFolders = showFolders_;
    filter.ShowHidden = showHidden_;
    filter.AllowedExtensions = allowedExtensions_;
    if (OnCanAdd)
        filter.CanAdd = [this, canAdd = OnCanAdd](const TFindData &data) {
            bool ok = true;
            canAdd(this, data, ok);
            return ok;
        };
    return filter;
}

bool TSystemListView::BrowseToPidl(TItemIdList list)
{
    if (list.isRoot())
        list.reset();
    // On hold: only remember the folder.
    if (startEmptyDir_ && !started_) {
        {
            std::lock_guard lock(lock_);
            currentList_ = std::move(list);
            realDirectory_ = SHGetPathFromIDListText(currentList_.get());
        }
        if (OnChangeDir)
            OnChangeDir(this);
        return true;
    }

    watch_->StopWatching();
    const bool quiet = quiet_;
    bool ok = false;
    QString enumerationError;
    {
        std::lock_guard lock(lock_);
        RaiseToolbuttonChange(0);
        // Only the folder is opened here, on a thread of its own and waited for a while;
        // its entries are looked at on the lister's thread, so that a slow or hung mount
        // never holds up the window for long.
        const TEnumFilter filter = Filter();
        TOpenedFolder opened;
        {
            TBusyCursor busy;
            opened = OpenFolderWithin(desktop_, list.get(), filter.Flags(), kOpenWaitMs);
        }
        if (opened.TimedOut)
            enumerationError =
                QStringLiteral("The folder \"%1\" does not answer.").arg(SHGetPathFromIDListText(list.get()));
        // Gone or not a folder: climb quietly below.
        const std::shared_ptr<TShellFolder> folder = opened.Folder;
        if (folder) {
            const TColumnType type =
                displayMode_ == dmImages ? ctImages : (displayMode_ == dmAudio ? ctAudio : ctFileSystem);
            const QString path = SHGetPathFromIDListText(list.get());
            QString directory;
            if (list.isNull()) {
                directory = SHGetFileInfo(nullptr, SHGFI_DISPLAYNAME).DisplayName;
                if (directory.isEmpty())
                    directory = QString::fromLatin1(kDesktopName);
            } else if (!path.isEmpty()) {
                directory = path;
            } else {
                const TItemIdList last = PidlLast(list.get());
                try {
                    directory =
                        ShellBindAbsolute(PidlParent(list.get()).get())
                            ->GetDisplayNameOf(last.get(), SHGDN_FORADDRESSBAR | SHGDN_INCLUDE_NONFILESYS);
                } catch (const std::exception &) {
                }
            }
            std::unique_ptr<TShellEnum> items = std::move(opened.Items);
            enumerationError = opened.Error;
            if (items) {
                // The folder can be read: from here on it is the listed one.
                ApplyColumnType(type);
                folder_ = folder;
                directory_ = directory;
                realDirectory_ = path;
                probe_->Cancel();
                pendingProbes_.clear();
                rowBySerial_.clear();
                ++listingGeneration_;
                model_->ResetRows({});
                currentList_ = std::move(list);
                lister_->Start(folder, std::move(items), filter);
                // A folder of ordinary size on a local disk is read within the wait and
                // appears complete; the rest of a larger or slower one follows as it comes.
                std::vector<std::unique_ptr<TListItemData>> rows;
                const auto started = std::chrono::steady_clock::now();
                listedRows_ = &rows;
                const bool complete = lister_->Finish(kListWaitMs);
                listedRows_ = nullptr;
                if (!currentList_.isNull())
                    if (auto parent = MakeParentRow())
                        rows.insert(rows.begin(), std::move(parent));
                FlushProbeRequests();
                // Sorted while the probes run, unless their facts decide the order.
                const bool probesOrder = SortUsesProbes();
                if (!probesOrder)
                    SortVector(rows);
                const int spent = int(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now() - started)
                                          .count());
                probe_->Finish(std::max(0, kListWaitMs - spent));
                resortTimer_->stop();
                if (probesOrder)
                    SortVector(rows);
                model_->ResetRows(std::move(rows));
                UpdateHistory();
                watchWhenListed_ = !complete;
                ok = true;
            }
        }
    }
    quiet_ = false;

    if (!ok) {
        // Climb: the parent becomes the current folder and is listed quietly, so a folder
        // that cannot be listed leads to the nearest one that can, with one message at most.
        const bool wasRoot = list.isNull();
        {
            std::lock_guard lock(lock_);
            currentList_ = PidlParent(list.get());
        }
        if (!quiet && !enumerationError.isEmpty())
            QMetaObject::invokeMethod(
                this, [enumerationError] { ShowError(enumerationError); }, Qt::QueuedConnection);
        if (!wasRoot)
            PostQuietRefresh();
        return false;
    }

    if (OnChangeDir)
        OnChangeDir(this);
    // Watching compares the folder with the rows: it starts once every row is there.
    if (!watchWhenListed_)
        watch_->WatchCurrentFolder(folder_);
    TSystemToolButtons buttons =
        ToolButton(tbRefresh) | ToolButton(tbDirUp) | ToolButton(tbNewDir) | ToolButton(tbIconOptions);
    if (currentList_.isRoot())
        buttons &= ~ToolButton(tbDirUp);
    if (!(SHGetFileInfo(currentList_.get(), SHGFI_ATTRIBUTES).Attributes & SFGAO_FILESYSTEM))
        buttons &= ~ToolButton(tbNewDir);
    if (historyPos_ >= 0 && size_t(historyPos_) + 1 < history_.size())
        buttons |= ToolButton(tbForward);
    if (historyPos_ > 0)
        buttons |= ToolButton(tbBack);
    RaiseToolbuttonChange(buttons);
    return true;
}

std::unique_ptr<TListItemData> TSystemListView::MakeRow(TEnumItem &item, bool findDataKnown)
{
    auto row = std::make_unique<TListItemData>();
    row->Serial = nextSerial_++;
    row->RelativePidl = std::move(item.Relative);
    row->AbsolutePidl = std::move(item.Absolute);
    row->Attributes = item.Attributes;
    rowBySerial_.insert(row->Serial, row.get());
    FillRow(*row, *folder_, item.HasFindData ? &item.FindData : nullptr, findDataKnown, true);
    return row;
}

void TSystemListView::AddListedItems(std::vector<TEnumItem> &items)
{
    std::lock_guard lock(lock_);
    if (!folder_)
        return;
    std::vector<std::unique_ptr<TListItemData>> rows;
    rows.reserve(items.size());
    for (TEnumItem &item : items)
        rows.push_back(MakeRow(item, true));
    items.clear();
    if (listedRows_) {
        // Within the listing's own wait: the rows are shown together, sorted, at its end.
        for (auto &row : rows)
            listedRows_->push_back(std::move(row));
        return;
    }
    FlushProbeRequests();
    model_->AppendRows(std::move(rows));
    resortTimer_->start();
}

void TSystemListView::ListingDone()
{
    if (watchWhenListed_ && folder_) {
        watchWhenListed_ = false;
        watch_->WatchCurrentFolder(folder_);
    }
}

void TSystemListView::FillRow(TListItemData &row, const TShellFolder &folder, const TFindData *findData,
                              bool findDataKnown, bool setCaption)
{
    const auto &columns = model_->Columns();
    row.SubItems.assign(columns.empty() ? 0 : columns.size() - 1, QString());
    if (row.AbsolutePidl.isNull()) {
        row.Caption = QStringLiteral("Error");
        return;
    }
    PCItemIdList item = row.RelativePidl.get();
    const bool isDesktop = PidlCount(item) == 0;
    row.DiskEntry = !isDesktop && ShellItemKind(item) == sikFileSystemEntry;

    // Item information and find data at most once per fill, and only when needed.
    bool infoFetched = false;
    TShellFileInfo info;
    const auto Info = [&]() -> const TShellFileInfo & {
        if (!infoFetched) {
            uint32_t flags = SHGFI_SYSICONINDEX | SHGFI_TYPENAME;
            if (setCaption)
                flags |= SHGFI_DISPLAYNAME;
            if (row.Attributes == 0)
                flags |= SHGFI_ATTRIBUTES;
            info = isDesktop ? desktop_->OwnInfo(flags) : folder.GetFileInfo(item, flags);
            infoFetched = true;
        }
        return info;
    };
    TFindData fetched;
    const TFindData *fd = findData;
    if (!fd && !findDataKnown && !isDesktop && folder.GetDataFromIDList(item, fetched))
        fd = &fetched;

    row.IconIndex = TShellIconList::Instance().IndexOf(Info());
    if (setCaption) {
        row.Caption = Info().DisplayName;
        if (row.Caption.isEmpty() && !isDesktop)
            row.Caption = folder.GetDisplayNameOf(item, SHGDN_FORADDRESSBAR);
    }
    if (row.Attributes == 0)
        row.Attributes = Info().Attributes;
    row.HasFindData = fd != nullptr;
    if (fd) {
        row.FileName = fd->FileName;
        // Kept whatever the columns: the watch thread compares times, the sort sizes.
        row.LastWriteTime = fd->LastWriteTime;
        row.SizeLow = fd->FileSizeLow;
        row.SizeHigh = fd->FileSizeHigh;
    }
    const bool isFolder = row.IsFolder();
    row.ProbeState = TListItemData::psNone;
    if (!isFolder && fd && (columnType_ == ctImages || columnType_ == ctAudio))
        ProbeRow(row, folder, *fd);

    for (size_t i = 1; i < columns.size(); ++i) {
        const int id = columns[i].Id;
        QString &text = row.SubItems[i - 1];
        if (isFolder && id != ciType && id != ciModified && id != ciAttributes && id != ciComment)
            continue;
        switch (id) {
        case ciSize:
            if (fd)
                text = FormatSizeKB(fd->FileSize());
            break;
        case ciType: {
            const QString name = fd ? fd->DisplayName()
                                    : (isDesktop ? QString() : folder.GetDisplayNameOf(item, SHGDN_INFOLDER));
            text = TypeText(Info().TypeName, name);
            break;
        }
        case ciModified:
            if (fd)
                text = FormatModified(fd->LastWriteTime);
            break;
        case ciAttributes:
            if (fd)
                text = FormatAttributeLetters(fd->FileAttributes);
            break;
        default:
            // Comment: network resources only, which this platform has none of. Probe
            // columns: below.
            break;
        }
    }
    if (row.ProbeState != TListItemData::psNone)
        FillProbeTexts(row, ColumnIds());
}

std::unique_ptr<TListItemData> TSystemListView::MakeParentRow()
{
    TItemIdList parentList = PidlParent(currentList_.get());
    std::shared_ptr<TShellFolder> grandparent;
    TItemIdList relative;
    try {
        if (parentList.isNull()) {
            // The parent is the desktop itself.
            grandparent = desktop_;
            relative = RootList();
            parentList = RootList();
        } else {
            grandparent = desktop_->BindToObject(PidlParent(parentList.get()).get());
            relative = PidlLast(parentList.get());
        }
    } catch (const std::exception &) {
        return nullptr;
    }
    auto row = std::make_unique<TListItemData>();
    row->Serial = nextSerial_++;
    row->RelativePidl = std::move(relative);
    row->AbsolutePidl = std::move(parentList);
    row->Attributes = kListingAttributeMask; // counts as a folder
    FillRow(*row, *grandparent, nullptr, false, true);
    row->Caption = QStringLiteral("..");
    row->RelativePidl.reset();
    row->AbsolutePidl.reset();
    row->IsParentLink = true;
    return row;
}

// ---------------------------------------------------------------------- probes

void TSystemListView::ProbeRow(TListItemData &row, const TShellFolder &folder, const TFindData &findData)
{
    TDetailProbe::TRequest request;
    request.Serial = row.Serial;
    request.Path = folder.ItemPath(row.RelativePidl.get());
    request.Size = findData.FileSize();
    request.Time = findData.LastWriteTime;
    request.Type = columnType_;
    request.Regular = !(findData.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_SYSTEM));
    // Remembered outcomes come back with the batch.
    row.ProbeState = TListItemData::psPending;
    pendingProbes_.push_back(std::move(request));
    if (pendingProbes_.size() >= kProbeBatch)
        FlushProbeRequests();
}

void TSystemListView::FlushProbeRequests()
{
    std::vector<TDetailProbe::TRequest> batch;
    batch.swap(pendingProbes_);
    std::vector<TDetailProbe::TResult> answered = probe_->Submit(std::move(batch));
    if (!answered.empty())
        ApplyProbeResults(answered);
}

void TSystemListView::ApplyProbeResults(std::vector<TDetailProbe::TResult> &results)
{
    std::lock_guard lock(lock_);
    const std::vector<int> &ids = ColumnIds();
    bool any = false;
    for (const TDetailProbe::TResult &result : results) {
        auto it = rowBySerial_.constFind(result.Serial);
        if (it == rowBySerial_.constEnd())
            continue; // the row is gone
        SetOutcome(**it, result.Outcome);
        FillProbeTexts(**it, ids);
        any = true;
    }
    if (!any)
        return;
    model_->RowsChanged(0, model_->Count() - 1);
    if (SortUsesProbes())
        resortTimer_->start();
}

// ---------------------------------------------------------------------- watch thread

bool TSystemListView::TakeWatchSnapshot(const TShellFolder *watched, TSnapshot &snapshot)
{
    std::lock_guard lock(lock_);
    if (!folder_ || folder_.get() != watched)
        return false;
    snapshot.Folder = folder_;
    snapshot.Generation = listingGeneration_;
    snapshot.Filter = Filter();
    snapshot.Rows.reserve(size_t(model_->Count()));
    for (const auto &row : model_->Rows())
        if (!row->FileName.isEmpty() && !row->IsParentLink)
            snapshot.Rows.push_back({row->Serial, row->FileName, row->LastWriteTime});
    return true;
}

void TSystemListView::PostWatchChanges(uint64_t generation, std::vector<uint64_t> staleSerials,
                                       std::vector<TEnumItem> newItems, std::function<void()> applied)
{
    auto items = std::make_shared<std::vector<TEnumItem>>(std::move(newItems));
    auto stale = std::make_shared<std::vector<uint64_t>>(std::move(staleSerials));
    QMetaObject::invokeMethod(
        this,
        [this, generation, items, stale, applied] {
            ApplyWatchChanges(generation, *stale, *items);
            applied();
        },
        Qt::QueuedConnection);
}

void TSystemListView::PostQuietRefresh()
{
    QMetaObject::invokeMethod(
        this, [this] { QuietRefresh(); }, Qt::QueuedConnection);
}

void TSystemListView::PostWatchError(const QString &message)
{
    QMetaObject::invokeMethod(
        this, [message] { ShowError(message); }, Qt::QueuedConnection);
}

void TSystemListView::ApplyWatchChanges(uint64_t generation, const std::vector<uint64_t> &staleSerials,
                                        std::vector<TEnumItem> &newItems)
{
    std::lock_guard lock(lock_);
    // A pass for a listing that has been replaced since has nothing to say.
    if (generation != listingGeneration_ || !folder_)
        return;
    for (uint64_t serial : staleSerials)
        if (TListItemData *row = rowBySerial_.value(serial))
            row->Stale = true;
    model_->RemoveRowsIf([this](const TListItemData &row) {
        if (!row.Stale)
            return false;
        rowBySerial_.remove(row.Serial);
        return true;
    });
    // The watch thread has looked at the new entries: no look at the disk here, where a
    // slow mount would hold up the window.
    std::vector<std::unique_ptr<TListItemData>> rows;
    for (TEnumItem &item : newItems)
        rows.push_back(MakeRow(item, true));
    newItems.clear();
    FlushProbeRequests();
    const bool added = !rows.empty();
    model_->AppendRows(std::move(rows));
    // New rows take their place in the order, as the listing's own do.
    if (added)
        resortTimer_->start();
}
