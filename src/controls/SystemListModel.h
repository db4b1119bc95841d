#pragma once

#include "controls/SystemViewsShared.h"

#include <QAbstractTableModel>
#include <functional>
#include <memory>
#include <vector>

// The rows and columns of a shell folder list view. Each row owns its TListItemData; the
// view changes rows only on the GUI thread and under its lock.
class TSystemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using TRow = std::unique_ptr<TListItemData>;

    explicit TSystemListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // In-place editing of a caption ends with this (the view's rename); captions of rows
    // that can be renamed are editable only while it is set.
    std::function<bool(int row, const QString &text)> OnEditCaption;

    // Columns: id, caption (with a sort marker) and alignment of each shown column.
    struct TColumn {
        int Id;
        QString Caption;
        bool RightAligned;
    };
    const std::vector<TColumn> &Columns() const { return columns_; }
    void SetColumns(std::vector<TColumn> columns);
    void SetCaption(int column, const QString &caption);

    TListItemData *Row(int row) const;
    int RowOf(const TListItemData *data) const;
    int Count() const { return int(rows_.size()); }
    const std::vector<TRow> &Rows() const { return rows_; }

    // Replaces every row (one reset).
    void ResetRows(std::vector<TRow> rows);
    // Appends rows at the end.
    void AppendRows(std::vector<TRow> rows);
    // Removes the rows for which the test is true, keeping the others' order and selection.
    int RemoveRowsIf(const std::function<bool(const TListItemData &)> &test);
    // Reorders the rows by a strict weak order; selection and current row follow the rows.
    void SortRows(const std::function<bool(const TListItemData &, const TListItemData &)> &less);
    // Tells the views that a row's texts or icon changed.
    void RowChanged(int row);
    void RowsChanged(int first, int last);

private:
    std::vector<TRow> rows_;
    std::vector<TColumn> columns_;
};
