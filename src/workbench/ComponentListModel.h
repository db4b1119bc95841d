#pragma once

#include "model/AssignmentRows.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QStringList>

// The rows of one component list, in display order, as a table: owns the
// TAssignmentRows (and with it every row's TAssignmentData) and the column
// captions, which carry the sort marker.
class TComponentListModel : public QAbstractTableModel {
public:
    explicit TComponentListModel(bool images, QObject *parent = nullptr);

    bool images() const { return images_; }
    TAssignmentRows &rows() { return rows_; }
    const TAssignmentRows &rows() const { return rows_; }
    TAssignmentData *rowAt(int row) const;
    int rowOf(const TAssignmentData *data) const;

    // One unassigned row per component, in catalogue order.
    void Fill();
    // The row's icon and texts changed.
    void RowChanged(const TAssignmentData &data);
    void AllRowsChanged();

    QString caption(int column) const { return captions_.value(column); }
    void setCaption(int column, const QString &caption);
    int columnCountNow() const { return int(captions_.size()); }

    bool showFormats() const { return showFormats_; }
    // Drums only: inserts the four format columns before "Mod name", or removes them.
    void SetShowFormats(bool on);

    // Reorders the rows with a three-way comparison; selections follow their rows.
    void SortRows(const std::function<int(const TAssignmentData &, const TAssignmentData &)> &compare);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    bool images_;
    bool showFormats_ = false;
    TAssignmentRows rows_;
    QStringList captions_;
    QIcon assignedIcon_, unassignedIcon_;
};
