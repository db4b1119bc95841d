// Columns of the shell folder list view and the order of its rows.
#include "controls/SystemListFill.h"
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "platform/ShellItem.h"

#include <QCollator>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int kCaptionLength = 13;

int CompareTextIgnoringCase(const QString &a, const QString &b)
{
    thread_local QCollator collator = [] {
        QCollator c{QLocale()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int r = collator.compare(a, b);
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

template <typename T> int Compare(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// A caption without the sort marker: at least 2 characters ending in "+" or "-".
QString WithoutMarker(QString caption)
{
    if (caption.size() >= 2 && (caption.endsWith(QLatin1Char('+')) || caption.endsWith(QLatin1Char('-'))))
        caption.chop(1);
    return caption;
}

} // namespace

void TSystemListView::SaveColumnWidths()
{
    if (columnType_ == ctUser)
        return;
    const auto &columns = model_->Columns();
    for (size_t i = 0; i < columns.size(); ++i)
        widths_[columnType_][columns[i].Id - 1] = report_->header()->sectionSize(int(i));
}

int TSystemListView::DefaultColumnWidth(int columnId) const
{
    // The default widths suit the small font of the original platform; wider fonts get
    // wider columns, and no caption is cut.
    const QFontMetrics metrics = report_->fontMetrics();
    const double scale = std::max(1.0, metrics.averageCharWidth() / 6.0);
    const TColumnDef &def = ColumnDef(columnId);
    const int caption = report_->header()->fontMetrics().horizontalAdvance(
                            QString::fromLatin1(def.Caption).left(kCaptionLength) + QLatin1Char('+')) +
                        16;
    int width = std::max(int(def.DefaultWidth * scale), caption);
    if (columnId == ciModified) {
        // Wide enough for a date and time of this locale (28 December, two digits each).
        const TFileTime sample = (uint64_t(1798502398) + 11644473600ULL) * 10000000ULL;
        width = std::max(width, metrics.horizontalAdvance(FormatModified(sample)) + 16);
    }
    return width;
}

void TSystemListView::ApplyColumnType(TColumnType type)
{
    if (type == columnType_)
        return;
    SaveColumnWidths();
    columnType_ = type;
    if (type == ctUser)
        return; // the columns stay as they are
    std::vector<TSystemListModel::TColumn> columns;
    for (int id : ColumnSet(type)) {
        const TColumnDef &def = ColumnDef(id);
        columns.push_back({id, QString::fromLatin1(def.Caption).left(kCaptionLength), def.RightAligned});
    }
    model_->SetColumns(std::move(columns));
    const auto &shown = model_->Columns();
    columnIds_.clear();
    for (const auto &c : shown)
        columnIds_.push_back(c.Id);
    for (size_t i = 0; i < shown.size(); ++i) {
        const int stored = widths_[type][shown[i].Id - 1];
        report_->header()->resizeSection(int(i), stored >= 0 ? stored : DefaultColumnWidth(shown[i].Id));
    }
    UpdateSortMarkers();
}

void TSystemListView::UpdateSortMarkers()
{
    const auto &columns = model_->Columns();
    const int sortColumn = SortColumn();
    for (size_t i = 0; i < columns.size(); ++i) {
        QString caption = WithoutMarker(columns[i].Caption);
        if (int(i) == sortColumn)
            caption += reverseSort_ ? QLatin1Char('-') : QLatin1Char('+');
        model_->SetCaption(int(i), caption);
    }
}

bool TSystemListView::SortUsesProbes() const
{
    const auto &columns = model_->Columns();
    const int column = SortColumn();
    if (column < 0 || size_t(column) >= columns.size())
        return false;
    const TSortKind kind = ColumnDef(columns[size_t(column)].Id).SortKind;
    return kind >= skSlot0 || (kind == skText && IsProbeColumn(columns[size_t(column)].Id));
}

TSystemListView::TSortParams TSystemListView::SortParams() const
{
    TSortParams params;
    const auto &columns = model_->Columns();
    params.Column = SortColumn();
    if (params.Column < 0 || size_t(params.Column) >= columns.size())
        params.Column = 0;
    params.Kind = columns.empty() ? skShellOrder : ColumnDef(columns[size_t(params.Column)].Id).SortKind;
    params.Reverse = reverseSort_;
    return params;
}

int TSystemListView::ShellOrder(const TListItemData &a, const TListItemData &b) const
{
    if (!a.RelativePidl.get() || !b.RelativePidl.get() || !folder_)
        return 0;
    // Entries on disk: their captions are their decoded names, so the folder's order can be
    // had without decoding the names again for every comparison.
    if (!a.FileName.isEmpty() && !b.FileName.isEmpty() && a.DiskEntry && b.DiskEntry) {
        const int result = CompareShellNames(a.Caption, b.Caption);
        if (result != 0 || a.FileName == b.FileName)
            return result;
        return a.FileName < b.FileName ? -1 : 1;
    }
    return folder_->CompareIDs(a.RelativePidl.get(), b.RelativePidl.get());
}

int TSystemListView::CompareRows(const TListItemData &a, const TListItemData &b,
                                 const TSortParams &params) const
{
    if (&a == &b)
        return 0;
    int result = 0;
    if (a.IsParentLink != b.IsParentLink) {
        result = a.IsParentLink ? -1 : 1;
    } else if (a.IsFolder() != b.IsFolder()) {
        result = a.IsFolder() ? -1 : 1;
    } else {
        const size_t sub = size_t(params.Column - 1);
        switch (params.Kind) {
        case skShellOrder:
            break;
        case skSize:
            result = Compare(a.Size(), b.Size());
            break;
        case skDate:
            // The most recent first; whole 64-bit times, so that no half of one wraps.
            result = Compare(b.LastWriteTime, a.LastWriteTime);
            break;
        case skText:
            if (params.Column == 0)
                result = CompareTextIgnoringCase(a.Caption, b.Caption);
            else if (sub < a.SubItems.size() && sub < b.SubItems.size())
                result = CompareTextIgnoringCase(a.SubItems[sub], b.SubItems[sub]);
            break;
        case skSlot0:
        case skSlot1:
        case skSlot2:
        case skSlot3:
            result = Compare(a.InfoSlots[params.Kind - skSlot0], b.InfoSlots[params.Kind - skSlot0]);
            break;
        }
        if (result == 0)
            result = ShellOrder(a, b);
    }
    return params.Reverse ? -result : result;
}

void TSystemListView::SortVector(std::vector<std::unique_ptr<TListItemData>> &rows) const
{
    const TSortParams params = SortParams();
    std::stable_sort(rows.begin(), rows.end(),
                     [&](const auto &a, const auto &b) { return CompareRows(*a, *b, params) < 0; });
}

void TSystemListView::SortRows()
{
    const TSortParams params = SortParams();
    model_->SortRows(
        [&](const TListItemData &a, const TListItemData &b) { return CompareRows(a, b, params) < 0; });
}

void TSystemListView::SortByColumn(int columnId)
{
    const std::vector<int> &ids = ColumnIds();
    const auto it = std::find(ids.begin(), ids.end(), columnId);
    if (it == ids.end())
        return;
    sortColumn_[columnType_] = int(it - ids.begin());
    reverseSort_ = false;
    UpdateSortMarkers();
    std::lock_guard lock(lock_);
    SortRows();
}

void TSystemListView::ColumnClick(int column)
{
    if (column < 0 || size_t(column) >= model_->Columns().size())
        return;
    if (column == SortColumn()) {
        reverseSort_ = !reverseSort_;
    } else {
        sortColumn_[columnType_] = column;
        reverseSort_ = false;
    }
    UpdateSortMarkers();
    resortTimer_->stop();
    std::lock_guard lock(lock_);
    SortRows();
}
