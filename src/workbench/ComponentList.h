#pragma once

#include "controls/KivoListView.h"
#include "model/AssignmentRows.h"

#include <vector>

class TComponentListModel;

// One component list of the main window (images: `LVBMPRes`, drums:
// `LVAudioRes`): a TKivoListView whose rows stand for the catalogue's
// components and own their TAssignmentData. It knows its columns, their sort
// markers and the two comparisons.
class TComponentList : public TKivoListView {
    Q_OBJECT

public:
    TComponentList(bool images, QWidget *parent = nullptr);

    bool IsImages() const { return images_; }
    TAssignmentRows &Rows();
    TComponentListModel &Model() const { return *model_; }

    // Creates one unassigned row per component, in catalogue order.
    void Fill();
    void RowChanged(const TAssignmentData &row);

    TAssignmentData *RowAt(int row) const;
    TAssignmentData *RowOf(const QModelIndex &index) const;
    // The selected rows in display order.
    std::vector<TAssignmentData *> SelectedRows() const;
    // The selected row when there is exactly one... or the current selected one.
    TAssignmentData *SelectedRow() const;
    bool AnyAssigned() const;
    bool AnySelectedAssigned() const;

    // The width that shows every column without scrolling sideways.
    int FullWidth() const;
    int ColumnCount() const;
    QString ColumnCaption(int column) const;
    int ColumnWidth(int column) const { return columnWidth(column); }
    void SetColumnWidth(int column, int width) { setColumnWidth(column, width); }

    // The sort state. SetSortState only records it; SortList applies it.
    int SortColumn() const { return sortColumn_; }
    bool SortReverse() const { return sortReverse_; }
    void SetSortState(int column, bool reverse);
    // A click on a column header: the same column toggles the order, another
    // one becomes the sort column, ascending.
    void HeaderClick(int column);
    // Moves the marker from `previousColumn` (out of range: from every caption)
    // to the sort column and sorts the rows.
    void SortList(int previousColumn);

    // Drums only: shows or hides the four format columns.
    bool ShowDrumFormat() const;
    void SetShowDrumFormat(bool on);

signals:
    void SortChanged();

private:
    int compare(const TAssignmentData &a, const TAssignmentData &b) const;

    bool images_;
    TComponentListModel *model_;
    int sortColumn_ = 0;
    bool sortReverse_ = false;
};
