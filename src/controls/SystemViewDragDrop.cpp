// Both sides of drag and drop for the shell folder list view: dragging the selected items
// out, and taking files (or the program's own drags) in.
#include "common/BusyCursor.h"
#include "common/FileOperations.h"
#include "common/MessageBoxes.h"
#include "controls/RefreshPause.h"
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "controls/SystemViewCommands.h"
#include "platform/Shell.h"

#include <QFileInfo>
#include <QListView>
#include <QTreeView>
#include <QtEndian>
#include <sys/stat.h>

namespace {

void PutU32(QByteArray &bytes, uint32_t value)
{
    char b[4];
    qToLittleEndian(value, b);
    bytes.append(b, 4);
}

void PutI32(QByteArray &bytes, int32_t value)
{
    PutU32(bytes, uint32_t(value));
}

QByteArray ListBytes(PCItemIdList list)
{
    if (!list)
        return QByteArray(2, '\0'); // the root: an empty list
    return QByteArray(reinterpret_cast<const char *>(list), qsizetype(PidlSize(list)));
}

// The item count n, n + 1 offsets from the start of the record (the folder's list, then each
// item's list), then the lists themselves.
QByteArray IdListArray(PCItemIdList folder, const std::vector<QByteArray> &items)
{
    std::vector<QByteArray> lists;
    lists.push_back(ListBytes(folder));
    lists.insert(lists.end(), items.begin(), items.end());
    QByteArray record;
    PutU32(record, uint32_t(items.size()));
    uint32_t offset = uint32_t(4 * items.size() + 8);
    for (const QByteArray &list : lists) {
        PutU32(record, offset);
        offset += uint32_t(list.size());
    }
    for (const QByteArray &list : lists)
        record += list;
    return record;
}

bool SameDevice(const QString &a, const QString &b)
{
    struct stat sa {
    }, sb{};
    return ::lstat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

} // namespace

// ---------------------------------------------------------------------- dragging out

void TSystemViewCommands::StartDrag()
{
    std::vector<int> rows = view_->SelectedRows();
    const int pressRow = RowAt(pressPoint_);
    if (pressRow >= 0 && std::find(rows.begin(), rows.end(), pressRow) == rows.end())
        rows.push_back(pressRow);
    std::sort(rows.begin(), rows.end());

    auto list = std::make_unique<TMyDragDataList>();
    {
        std::lock_guard lock(view_->lock_);
        QAbstractItemView *current = view_->viewStyle_ == vsReport
                                         ? static_cast<QAbstractItemView *>(view_->report_)
                                         : static_cast<QAbstractItemView *>(view_->icons_);
        std::vector<QByteArray> items;
        QStringList paths;
        bool allPaths = true;
        QByteArray offsets;
        PutI32(offsets, pressPoint_.x());
        PutI32(offsets, pressPoint_.y());
        for (int i : rows) {
            const TListItemData *row = view_->model_->Row(i);
            if (!row || row->AbsolutePidl.isNull())
                continue;
            items.push_back(ListBytes(row->RelativePidl.get()));
            const QString path = SHGetPathFromIDListText(row->AbsolutePidl.get());
            allPaths = allPaths && !path.isEmpty();
            paths << path;
            const QPoint at =
                current->viewport()->mapTo(view_, current->visualRect(view_->model_->index(i, 0)).topLeft());
            PutI32(offsets, at.x() - pressPoint_.x());
            PutI32(offsets, at.y() - pressPoint_.y());
        }
        if (items.empty())
            return;
        list->Add(RegisterClipboardFormat(QStringLiteral("Shell IDList Array")),
                  IdListArray(view_->currentList_.get(), items));
        if (allPaths)
            list->Add(CF_HDROP, FileListToUriList(paths));
        list->Add(RegisterClipboardFormat(QStringLiteral("Shell Object Offsets")), offsets);
    }
    dragDrop_->StartUserDrag(std::move(list));
}

// ---------------------------------------------------------------------- dropping in

QString TSystemViewCommands::DropFolderAt(QPoint point, int &row) const
{
    row = RowAt(point);
    if (row < 0)
        return view_->RealDirectory();
    std::lock_guard lock(view_->lock_);
    const TListItemData *data = view_->model_->Row(row);
    if (data && data->IsFolder() && !data->IsParentLink && !data->AbsolutePidl.isNull())
        return SHGetPathFromIDListText(data->AbsolutePidl.get());
    // A file row or ".." is no drop target: nothing can be dropped there.
    return {};
}

bool TSystemViewCommands::MovesIcons(int row) const
{
    // Only this view's own drag, in the two icon styles, over its background or its
    // own selection: that drop moves the icons instead of the files.
    return dragDrop_->IsInDragging() && (view_->viewStyle_ == vsIcon || view_->viewStyle_ == vsSmallIcon) &&
           (row < 0 || view_->selection_->isRowSelected(row, QModelIndex()));
}

void TSystemViewCommands::SetDropHilite(int row)
{
    if (row == hiliteRow_)
        return;
    std::lock_guard lock(view_->lock_);
    if (TListItemData *old = view_->model_->Row(hiliteRow_)) {
        old->DropHilited = false;
        view_->model_->RowChanged(hiliteRow_);
    }
    hiliteRow_ = -1;
    if (TListItemData *data = view_->model_->Row(row)) {
        data->DropHilited = true;
        view_->model_->RowChanged(row);
        hiliteRow_ = row;
    }
}

uint32_t TSystemViewCommands::DropEffectAt(QPoint point, TShiftState keys, uint32_t offered)
{
    int row = -1;
    const QString folder = DropFolderAt(point, row);
    SetDropHilite(folder.isEmpty() ? -1 : row);
    if (!userDrop_ && MovesIcons(row))
        return offered & DROPEFFECT_MOVE;
    if (folder.isEmpty())
        return DROPEFFECT_NONE;
    if (userDrop_)
        return offered & DROPEFFECT_COPY;
    if (dropFiles_.isEmpty())
        return DROPEFFECT_NONE;
    const bool fromHere = dragDrop_->IsInDragging();
    if (fromHere && row >= 0 && view_->selection_->isRowSelected(row, QModelIndex()))
        return DROPEFFECT_NONE;
    uint32_t effect;
    if ((keys & ssCtrl) && (keys & ssShift))
        effect = DROPEFFECT_LINK;
    else if (keys & ssCtrl)
        effect = DROPEFFECT_COPY;
    else if (keys & ssShift)
        effect = DROPEFFECT_MOVE;
    else
        effect = SameDevice(dropFiles_.first(), folder) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
    if (fromHere && row < 0) {
        // Onto its own folder: nothing to move; a copy only when asked for with Ctrl.
        if (!(keys & ssCtrl))
            return DROPEFFECT_NONE;
        offered &= ~DROPEFFECT_MOVE;
    }
    return OfferedEffect(effect, offered);
}

bool TSystemViewCommands::DropEnter(const TMyDropDataList &data, TShiftState keys, QPoint point,
                                    uint32_t &effect)
{
    userDrop_ = false;
    dropFiles_.clear();
    dropRejected_.clear();
    const int format = view_->UserDropFormat();
    if (format != 0 && data.HasFormat(format) && data.GetData(format).size() > 3) {
        userDrop_ = true;
    } else {
        if (!data.HasFormat(CF_HDROP)) {
            effect = DROPEFFECT_NONE;
            return false;
        }
        dropFiles_ = data.Files(&dropRejected_);
    }
    effect = DropEffectAt(point, keys, effect);
    return true;
}

void TSystemViewCommands::DropOver(TShiftState keys, QPoint point, uint32_t &effect)
{
    effect = DropEffectAt(point, keys, effect);
}

void TSystemViewCommands::DropLeave()
{
    SetDropHilite(-1);
    userDrop_ = false;
    dropFiles_.clear();
    dropRejected_.clear();
}

void TSystemViewCommands::DropDrop(const TMyDropDataList &data, TShiftState keys, QPoint point,
                                   uint32_t &effect)
{
    if (!userDrop_) {
        dropRejected_.clear();
        dropFiles_ = data.Files(&dropRejected_);
    }
    const uint32_t chosen = DropEffectAt(point, keys, effect);
    int row = -1;
    const QString folder = DropFolderAt(point, row);
    SetDropHilite(-1);
    effect = DROPEFFECT_NONE;
    if (!userDrop_ && chosen == DROPEFFECT_MOVE && MovesIcons(row)) {
        dropFiles_.clear();
        dropRejected_.clear();
        // The files stay where they are; the source is told nothing moved.
        view_->MoveSelectedIcons(point - pressPoint_);
        return;
    }
    if (userDrop_) {
        userDrop_ = false;
        if (chosen != DROPEFFECT_COPY)
            return;
        effect = DROPEFFECT_COPY;
        try {
            if (view_->OnUserDrop)
                view_->OnUserDrop(view_, folder);
        } catch (...) {
            // The handler reports its own problems; the drag ends normally either way.
        }
        return;
    }
    const QStringList files = dropFiles_;
    const QStringList rejected = dropRejected_;
    dropFiles_.clear();
    dropRejected_.clear();
    if (!rejected.isEmpty())
        ShowError(QStringLiteral("Only files and folders of this computer can be dropped here:\n") +
                  rejected.join(QLatin1Char('\n')));
    if (chosen == DROPEFFECT_NONE || files.isEmpty())
        return;
    const TFileOp op = chosen == DROPEFFECT_LINK ? foLink : chosen == DROPEFFECT_MOVE ? foMove : foCopy;
    TFileOpResult result;
    {
        TRefreshPause pause(*view_);
        TBusyCursor busy;
        result = TransferFiles(files, folder, op);
    }
    if (result.Done > 0)
        effect = chosen;
    if (!view_->watch_->Available())
        view_->RefreshFolder();
}
