#include "controls/SystemListModel.h"

#include "controls/ShellIconList.h"
#include "controls/SystemListFill.h"

#include <QHash>
#include <QIcon>
#include <QPalette>
#include <algorithm>
#include <numeric>

TSystemListModel::TSystemListModel(QObject *parent) : QAbstractTableModel(parent) {}

int TSystemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int TSystemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant TSystemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || size_t(index.row()) >= rows_.size())
        return {};
    const TListItemData &row = *rows_[size_t(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        if (column == 0)
            return role == Qt::DisplayRole ? row.Caption : QVariant();
        if (size_t(column - 1) < row.SubItems.size()) {
            const QString &text = row.SubItems[size_t(column - 1)];
            // Probe messages are longer than their column: the tip shows them whole.
            if (role == Qt::ToolTipRole)
                return row.ProbeState == TListItemData::psFailed && !text.isEmpty() &&
                               size_t(column) < columns_.size() && IsProbeColumn(columns_[size_t(column)].Id)
                           ? QVariant(row.ProbeError)
                           : QVariant();
            return text;
        }
        return {};
    }
    case Qt::EditRole:
        return column == 0 ? QVariant(row.Caption) : QVariant();
    case Qt::DecorationRole:
        if (column == 0) {
            const QIcon icon = TShellIconList::Instance().Icon(row.IconIndex);
            if (!row.Cut)
                return icon;
            const QSize size = icon.availableSizes().isEmpty() ? QSize(32, 32) : icon.availableSizes().last();
            return QIcon(icon.pixmap(size, QIcon::Disabled));
        }
        return {};
    case Qt::ForegroundRole:
        if (row.DropHilited)
            return QPalette().brush(QPalette::HighlightedText);
        if (row.Cut)
            return QPalette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    case Qt::BackgroundRole:
        if (row.DropHilited)
            return QPalette().brush(QPalette::Highlight);
        return {};
    case Qt::TextAlignmentRole:
        if (size_t(column) < columns_.size() && columns_[size_t(column)].RightAligned)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant TSystemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || size_t(section) >= columns_.size())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].Caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((columns_[size_t(section)].RightAligned ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TSystemListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    if (OnEditCaption && index.column() == 0 && size_t(index.row()) < rows_.size()) {
        const TListItemData &row = *rows_[size_t(index.row())];
        if (!row.RelativePidl.isNull() && (row.Attributes & SFGAO_CANRENAME))
            flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool TSystemListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != 0 || !OnEditCaption || size_t(index.row()) >= rows_.size())
        return false;
    return OnEditCaption(index.row(), value.toString());
}

void TSystemListModel::SetColumns(std::vector<TColumn> columns)
{
    beginResetModel();
    columns_ = std::move(columns);
    endResetModel();
}

void TSystemListModel::SetCaption(int column, const QString &caption)
{
    if (column < 0 || size_t(column) >= columns_.size() || columns_[size_t(column)].Caption == caption)
        return;
    columns_[size_t(column)].Caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

TListItemData *TSystemListModel::Row(int row) const
{
    if (row < 0 || size_t(row) >= rows_.size())
        return nullptr;
    return rows_[size_t(row)].get();
}

int TSystemListModel::RowOf(const TListItemData *data) const
{
    for (size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].get() == data)
            return int(i);
    return -1;
}

void TSystemListModel::ResetRows(std::vector<TRow> rows)
{
    beginResetModel();
    rows_.swap(rows);
    endResetModel();
    // The old rows are freed here, after the views let go of them.
}

void TSystemListModel::AppendRows(std::vector<TRow> rows)
{
    if (rows.empty())
        return;
    const int first = int(rows_.size());
    beginInsertRows(QModelIndex(), first, first + int(rows.size()) - 1);
    for (TRow &r : rows)
        rows_.push_back(std::move(r));
    endInsertRows();
}

int TSystemListModel::RemoveRowsIf(const std::function<bool(const TListItemData &)> &test)
{
    int removed = 0;
    // From the end, one contiguous run at a time, so that each run is one removal.
    int row = int(rows_.size()) - 1;
    while (row >= 0) {
        if (!test(*rows_[size_t(row)])) {
            --row;
            continue;
        }
        const int last = row;
        while (row > 0 && test(*rows_[size_t(row - 1)]))
            --row;
        beginRemoveRows(QModelIndex(), row, last);
        rows_.erase(rows_.begin() + row, rows_.begin() + last + 1);
        endRemoveRows();
        removed += last - row + 1;
        --row;
    }
    return removed;
}

void TSystemListModel::SortRows(const std::function<bool(const TListItemData &, const TListItemData &)> &less)
{
    if (rows_.size() < 2)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<size_t> order(rows_.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return less(*rows_[a], *rows_[b]); });
    std::vector<int> newRowOf(rows_.size());
    std::vector<TRow> sorted;
    sorted.reserve(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newRowOf[order[i]] = int(i);
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_.swap(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &index : before)
        after << (index.row() >= 0 && size_t(index.row()) < newRowOf.size()
                      ? createIndex(newRowOf[size_t(index.row())], index.column())
                      : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TSystemListModel::RowChanged(int row)
{
    RowsChanged(row, row);
}

void TSystemListModel::RowsChanged(int first, int last)
{
    if (first < 0 || last < first || columns_.empty())
        return;
    emit dataChanged(index(first, 0), index(last, int(columns_.size()) - 1));
}
