#include "workbench/ComponentList.h"

#include "workbench/ComponentListModel.h"
#include "workbench/ComponentRows.h"
#include "workbench/DesignScale.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScrollBar>

namespace {

// Design widths of the columns; the last ("Mod name") has the list's default.
constexpr int DefaultColumnWidth = 70;
constexpr int ImageWidths[] = {100, 70, 70, DefaultColumnWidth};
constexpr int DrumWidths[] = {100, 30, DefaultColumnWidth};
constexpr int DrumFormatWidths[] = {50, 50, 50, 70}; // columns 2..5

} // namespace

TComponentList::TComponentList(bool images, QWidget *parent)
    : TKivoListView(parent), images_(images), model_(new TComponentListModel(images, this))
{
    setObjectName(images ? "LVBMPRes" : "LVAudioRes");
    setModel(model_);
    setIconSize(QSize(16, 16));
    QHeaderView *h = header();
    h->setSectionsClickable(true);
    h->setSectionsMovable(false);
    h->setSortIndicatorShown(false);
    h->setStretchLastSection(false);
    h->setMinimumSectionSize(16);
    h->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    int column = 0;
    if (images)
        for (int w : ImageWidths)
            setColumnWidth(column++, Design(w));
    else
        for (int w : DrumWidths)
            setColumnWidth(column++, Design(w));
    connect(h, &QHeaderView::sectionClicked, this, &TComponentList::HeaderClick);
}

TAssignmentRows &TComponentList::Rows()
{
    return model_->rows();
}

void TComponentList::Fill()
{
    model_->Fill();
}

void TComponentList::RowChanged(const TAssignmentData &row)
{
    model_->RowChanged(row);
}

TAssignmentData *TComponentList::RowAt(int row) const
{
    return model_->rowAt(row);
}

TAssignmentData *TComponentList::RowOf(const QModelIndex &index) const
{
    return index.isValid() ? model_->rowAt(index.row()) : nullptr;
}

std::vector<TAssignmentData *> TComponentList::SelectedRows() const
{
    std::vector<TAssignmentData *> result;
    if (!selectionModel())
        return result;
    for (int row = 0; row < model_->rowCount(); ++row)
        if (selectionModel()->isRowSelected(row, QModelIndex()))
            result.push_back(model_->rowAt(row));
    return result;
}

TAssignmentData *TComponentList::SelectedRow() const
{
    if (!selectionModel())
        return nullptr;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isRowSelected(current.row(), QModelIndex()))
        return model_->rowAt(current.row());
    const std::vector<TAssignmentData *> selected = SelectedRows();
    return selected.empty() ? nullptr : selected.front();
}

bool TComponentList::AnyAssigned() const
{
    for (const auto &row : model_->rows())
        if (row->isAssigned())
            return true;
    return false;
}

bool TComponentList::AnySelectedAssigned() const
{
    for (const TAssignmentData *row : SelectedRows())
        if (row->isAssigned())
            return true;
    return false;
}

int TComponentList::FullWidth() const
{
    return header()->length() + verticalScrollBar()->sizeHint().width() + 2 * frameWidth();
}

int TComponentList::ColumnCount() const
{
    return model_->columnCountNow();
}

QString TComponentList::ColumnCaption(int column) const
{
    return model_->caption(column);
}

void TComponentList::SetSortState(int column, bool reverse)
{
    sortColumn_ = column;
    sortReverse_ = reverse;
}

void TComponentList::HeaderClick(int column)
{
    const int previous = sortColumn_;
    if (column == sortColumn_) {
        sortReverse_ = !sortReverse_;
    } else {
        sortColumn_ = column;
        sortReverse_ = false;
    }
    SortList(previous);
    emit SortChanged();
}

void TComponentList::SortList(int previousColumn)
{
    const int count = model_->columnCountNow();
    if (previousColumn < 0 || previousColumn >= count) {
        for (int c = 0; c < count; ++c)
            model_->setCaption(c, ComponentRows::WithoutSortMarker(model_->caption(c)));
    } else if (previousColumn != sortColumn_) {
        model_->setCaption(previousColumn, ComponentRows::WithoutSortMarker(model_->caption(previousColumn)));
    }
    if (sortColumn_ >= 0 && sortColumn_ < count)
        model_->setCaption(sortColumn_,
                           ComponentRows::WithSortMarker(model_->caption(sortColumn_), sortReverse_));
    model_->SortRows([this](const TAssignmentData &a, const TAssignmentData &b) { return compare(a, b); });
}

int TComponentList::compare(const TAssignmentData &a, const TAssignmentData &b) const
{
    if (images_)
        return ComponentRows::CompareImages(a, b, sortColumn_, sortReverse_);
    return ComponentRows::CompareDrums(a, b, sortColumn_, model_->showFormats(), sortReverse_);
}

bool TComponentList::ShowDrumFormat() const
{
    return model_->showFormats();
}

void TComponentList::SetShowDrumFormat(bool on)
{
    if (images_ || on == model_->showFormats())
        return;
    setUpdatesEnabled(false);
    // "Mod name" moves between column 2 and 6; a sort by a format column that
    // goes away falls back to the names, so the marker never points nowhere.
    const bool wasByModName = sortColumn_ == model_->columnCountNow() - 1;
    const bool wasByFormat = !on && sortColumn_ >= 2 && sortColumn_ <= 5;
    model_->SetShowFormats(on);
    if (on)
        for (int c = 2; c <= 5; ++c)
            setColumnWidth(c, Design(DrumFormatWidths[c - 2]));
    if (wasByModName)
        sortColumn_ = model_->columnCountNow() - 1;
    else if (wasByFormat)
        sortColumn_ = 0;
    SortList(-1);
    setUpdatesEnabled(true);
}
