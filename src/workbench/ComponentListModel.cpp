#include "workbench/ComponentListModel.h"

#include "workbench/ComponentRows.h"
#include "workbench/WorkbenchIcons.h"

TComponentListModel::TComponentListModel(bool images, QObject *parent)
    : QAbstractTableModel(parent), images_(images)
{
    if (images) {
        captions_ = {"Name", "Dimension", "Colors", "Mod name"};
        assignedIcon_ = WorkbenchIcons::ListImage(liImageAssigned);
        unassignedIcon_ = WorkbenchIcons::ListImage(liImageUnassigned);
    } else {
        captions_ = {"Name", "Type", "Mod name"};
        assignedIcon_ = WorkbenchIcons::ListImage(liDrumAssigned);
        unassignedIcon_ = WorkbenchIcons::ListImage(liDrumUnassigned);
    }
}

TAssignmentData *TComponentListModel::rowAt(int row) const
{
    return row >= 0 && row < rows_.count() ? &rows_.at(row) : nullptr;
}

int TComponentListModel::rowOf(const TAssignmentData *data) const
{
    for (int i = 0; i < rows_.count(); ++i)
        if (&rows_.at(i) == data)
            return i;
    return -1;
}

void TComponentListModel::Fill()
{
    beginResetModel();
    rows_ = images_ ? TAssignmentRows::images() : TAssignmentRows::drums();
    endResetModel();
}

void TComponentListModel::RowChanged(const TAssignmentData &data)
{
    const int row = rowOf(&data);
    if (row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TComponentListModel::AllRowsChanged()
{
    if (rows_.count() > 0)
        emit dataChanged(index(0, 0), index(rows_.count() - 1, columnCount() - 1));
}

void TComponentListModel::setCaption(int column, const QString &caption)
{
    if (column < 0 || column >= captions_.size() || captions_[column] == caption)
        return;
    captions_[column] = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void TComponentListModel::SetShowFormats(bool on)
{
    if (images_ || on == showFormats_)
        return;
    if (on) {
        beginInsertColumns(QModelIndex(), 2, 5);
        captions_.insert(2, "Samples");
        captions_.insert(2, "Channels");
        captions_.insert(2, "Frequency");
        captions_.insert(2, "Resolution");
        showFormats_ = true;
        endInsertColumns();
    } else {
        beginRemoveColumns(QModelIndex(), 2, 5);
        captions_.remove(2, 4);
        showFormats_ = false;
        endRemoveColumns();
    }
}

void TComponentListModel::SortRows(
    const std::function<int(const TAssignmentData &, const TAssignmentData &)> &compare)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const TAssignmentData *> owners;
    owners.reserve(size_t(before.size()));
    for (const QModelIndex &i : before)
        owners.push_back(rowAt(i.row()));
    rows_.sort([&](const TAssignmentData &a, const TAssignmentData &b) { return compare(a, b) < 0; });
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype n = 0; n < before.size(); ++n) {
        const int row = rowOf(owners[size_t(n)]);
        after << (row < 0 ? QModelIndex() : index(row, before[n].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TComponentListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_.count();
}

int TComponentListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(captions_.size());
}

QVariant TComponentListModel::data(const QModelIndex &index, int role) const
{
    const TAssignmentData *row = rowAt(index.row());
    if (!row)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return ComponentRows::ColumnText(*row, index.column(), showFormats_);
    case Qt::DecorationRole:
        if (index.column() == 0)
            return row->isAssigned() ? assignedIcon_ : unassignedIcon_;
        return {};
    default:
        return {};
    }
}

QVariant TComponentListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return captions_.value(section);
    return {};
}

Qt::ItemFlags TComponentListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
