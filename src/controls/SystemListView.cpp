#include "controls/SystemListView.h"

#include "controls/ShellIconList.h"
#include "controls/SystemListModel.h"
#include "controls/SystemViewCommands.h"
#include "platform/Shell.h"

#include <QEvent>
#include <QHeaderView>
#include <QListView>
#include <QMouseEvent>
#include <QSet>
#include <QStackedLayout>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <chrono>

namespace {

// The list of the icon and small-icon styles: both lay their icons out on a grid
// that the user can move them on; small icons carry the caption beside the icon.
class TIconListView : public QListView {
public:
    TIconListView();

    bool smallIcons = false;
    // An item's place in contents coordinates, and a new place for it.
    QRect ItemRect(const QModelIndex &index) const { return rectForIndex(index); }
    void PlaceItem(const QModelIndex &index, QPoint at) { setPositionForIndex(at, index); }

protected:
    void initViewItemOption(QStyleOptionViewItem *option) const override
    {
        QListView::initViewItemOption(option);
        if (smallIcons && viewMode() == IconMode) {
            option->decorationPosition = QStyleOptionViewItem::Left;
            option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        }
    }
};

// Small icons fill the width of their grid cell, so that they line up on the left
// of it rather than in its middle.
class TIconDelegate : public QStyledItemDelegate {
public:
    explicit TIconDelegate(TIconListView *view) : QStyledItemDelegate(view), view_(view) {}
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (view_->smallIcons && view_->gridSize().isValid())
            size.setWidth(view_->gridSize().width() - 4);
        return size;
    }

private:
    TIconListView *view_;
};

TIconListView::TIconListView()
{
    setItemDelegate(new TIconDelegate(this));
}

TIconListView *Icons(QListView *view)
{
    return static_cast<TIconListView *>(view);
}

// Mouse moves over either style's viewport go to OnMouseMove.
class TMouseMoveFilter : public QObject {
public:
    TMouseMoveFilter(TSystemListView *view) : QObject(view), view_(view) {}
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove && view_->OnMouseMove)
            view_->OnMouseMove(view_, static_cast<QMouseEvent *>(event)->position().toPoint());
        return QObject::eventFilter(watched, event);
    }

private:
    TSystemListView *view_;
};

} // namespace

TSystemListView::TSystemListView(QWidget *parent) : QWidget(parent)
{
    for (auto &row : widths_)
        for (int &w : row)
            w = -1;
    desktop_ = SHGetDesktopFolder();
    TShellIconList::Instance(); // chooses the icon theme before anyone looks an icon up
    model_ = new TSystemListModel(this);

    report_ = new QTreeView;
    report_->setObjectName(QStringLiteral("report"));
    report_->setModel(model_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setSortingEnabled(false);
    report_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    report_->setIconSize(QSize(16, 16));
    report_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    report_->header()->setSectionsClickable(true);
    report_->header()->setStretchLastSection(false);
    report_->header()->setSectionsMovable(false);
    selection_ = report_->selectionModel();

    icons_ = new TIconListView;
    icons_->setObjectName(QStringLiteral("icons"));
    icons_->setModel(model_);
    icons_->setSelectionModel(selection_);
    icons_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // The selection is of rows, whichever style shows it: an icon selects its whole row.
    icons_->setSelectionBehavior(QAbstractItemView::SelectRows);
    icons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Large folders are laid out in steps so that the window stays responsive.
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(500);

    stack_ = new QStackedLayout(this);
    stack_->setContentsMargins(0, 0, 0, 0);
    stack_->addWidget(icons_);
    stack_->addWidget(report_);

    auto *mouse = new TMouseMoveFilter(this);
    for (QAbstractItemView *v :
         {static_cast<QAbstractItemView *>(report_), static_cast<QAbstractItemView *>(icons_)}) {
        v->viewport()->setMouseTracking(true);
        v->viewport()->installEventFilter(mouse);
        connect(v, &QAbstractItemView::clicked, this, [this] {
            if (OnClick)
                OnClick(this);
        });
        connect(v, &QAbstractItemView::doubleClicked, this, [this] {
            if (OnDblClick)
                OnDblClick(this);
        });
    }
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
    connect(report_->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ColumnClick(column); });

    probe_ = new TDetailProbe(this);
    probe_->OnResults = [this](std::vector<TDetailProbe::TResult> &results) { ApplyProbeResults(results); };
    lister_ = new TFolderLister(this);
    lister_->OnItems = [this](std::vector<TEnumItem> &items) { AddListedItems(items); };
    lister_->OnDone = [this] { ListingDone(); };
    resortTimer_ = new QTimer(this);
    resortTimer_->setSingleShot(true);
    resortTimer_->setInterval(100);
    connect(resortTimer_, &QTimer::timeout, this, [this] {
        std::lock_guard lock(lock_);
        SortRows();
    });

    // An empty view shows the Name column until a folder is listed.
    columnType_ = ctUser;
    ApplyColumnType(ctUnknown);
    ApplyViewStyle();
    watch_ = std::make_unique<TFolderWatchThread>(static_cast<TFolderWatchClient &>(*this));
    commands_ = new TSystemViewCommands(this);
}

TSystemListView::~TSystemListView()
{
    // The commands filter the item views' events, and closing the widget still
    // sends some after this part of the object is gone.
    delete commands_;
    commands_ = nullptr;
    // The thread reads the rows: it goes first.
    watch_.reset();
    lister_->Cancel();
    probe_->OnResults = nullptr;
}

// ---------------------------------------------------------------------- properties

void TSystemListView::SetAllowedExtensions(const QString &extensions)
{
    QStringList list = extensions.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString &e : list)
        if (e.startsWith(QLatin1Char('.')))
            e.remove(0, 1);
    {
        // The watch thread copies the filter under the lock.
        std::lock_guard lock(lock_);
        if (list == allowedExtensions_)
            return;
        allowedExtensions_ = list;
    }
    RefreshIfListed();
}

void TSystemListView::SetDisplayMode(TDisplayMode mode)
{
    if (mode == displayMode_)
        return;
    {
        std::lock_guard lock(lock_);
        displayMode_ = mode;
        if (mode == dmImages)
            allowedExtensions_ = QStringList({"bmp", "jpg"});
        else if (mode == dmAudio)
            allowedExtensions_ = QStringList({"aif", "aiff", "aifc", "afc", "wav"});
    }
    RefreshIfListed();
}

void TSystemListView::SetShowHiddenFiles(bool show)
{
    if (show == showHidden_)
        return;
    {
        std::lock_guard lock(lock_);
        showHidden_ = show;
    }
    RefreshIfListed();
}

void TSystemListView::SetShowFolders(bool show)
{
    if (show == showFolders_)
        return;
    {
        std::lock_guard lock(lock_);
        showFolders_ = show;
    }
    RefreshIfListed();
}

void TSystemListView::SetViewStyle(TViewStyle style)
{
    viewStyle_ = style;
    ApplyViewStyle();
    if (OnViewStyleChanged)
        OnViewStyleChanged(this);
}

void TSystemListView::SetAutoArrange(bool on)
{
    autoArrange_ = on;
    ApplyViewStyle();
}

void TSystemListView::SetHideSelection(bool hide)
{
    hideSelection_ = hide;
    for (QAbstractItemView *v :
         {static_cast<QAbstractItemView *>(report_), static_cast<QAbstractItemView *>(icons_)}) {
        QPalette p = v->palette();
        const QPalette base = palette();
        if (hide) {
            p.setColor(QPalette::Inactive, QPalette::Highlight,
                       base.color(QPalette::Inactive, QPalette::Base));
            p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                       base.color(QPalette::Inactive, QPalette::Text));
        } else {
            p.setColor(QPalette::Inactive, QPalette::Highlight,
                       base.color(QPalette::Active, QPalette::Highlight));
            p.setColor(QPalette::Inactive, QPalette::HighlightedText,
                       base.color(QPalette::Active, QPalette::HighlightedText));
        }
        v->setPalette(p);
    }
}

bool TSystemListView::MultiSelect() const
{
    return report_->selectionMode() == QAbstractItemView::ExtendedSelection;
}

void TSystemListView::SetMultiSelect(bool on)
{
    const auto mode = on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    report_->setSelectionMode(mode);
    icons_->setSelectionMode(mode);
}

void TSystemListView::ApplyViewStyle()
{
    switch (viewStyle_) {
    case vsReport:
        stack_->setCurrentWidget(report_);
        return;
    case vsIcon:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(32, 32));
        icons_->setGridSize(QSize(100, 72));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWordWrap(true);
        icons_->setUniformItemSizes(false);
        break;
    case vsSmallIcon:
        icons_->setViewMode(QListView::IconMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize(180, 22));
        icons_->setFlow(QListView::LeftToRight);
        icons_->setWordWrap(false);
        icons_->setUniformItemSizes(false);
        break;
    case vsList:
        icons_->setViewMode(QListView::ListMode);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize());
        icons_->setFlow(QListView::TopToBottom);
        icons_->setWordWrap(false);
        // Each column as wide as its widest name (uniform sizes would take the first row's).
        icons_->setUniformItemSizes(false);
        break;
    }
    Icons(icons_)->smallIcons = viewStyle_ == vsSmallIcon;
    icons_->setWrapping(true);
    // Icons can be placed in the two icon styles; with Auto Arrange every re-layout
    // (a resize among them) puts them back in order.
    icons_->setMovement(viewStyle_ == vsList ? QListView::Static : QListView::Free);
    // The view runs its own drags and takes drops itself (see TSystemViewCommands):
    // the list's built-in ones, which a movement switches on, stay off.
    icons_->setDragEnabled(false);
    icons_->viewport()->setAcceptDrops(false);
    icons_->setResizeMode(autoArrange_ || viewStyle_ == vsList ? QListView::Adjust : QListView::Fixed);
    if (autoArrange_)
        icons_->doItemsLayout();
    stack_->setCurrentWidget(icons_);
}

void TSystemListView::MoveSelectedIcons(QPoint delta)
{
    if ((viewStyle_ != vsIcon && viewStyle_ != vsSmallIcon) || delta.isNull())
        return;
    if (autoArrange_)
        return; // arranged by the view: an icon has no place of its own
    for (int row : SelectedRows()) {
        const QModelIndex index = model_->index(row, 0);
        const QPoint to = Icons(icons_)->ItemRect(index).topLeft() + delta;
        Icons(icons_)->PlaceItem(index, QPoint(std::max(0, to.x()), std::max(0, to.y())));
    }
    icons_->viewport()->update();
}

void TSystemListView::LineUpIcons()
{
    if (viewStyle_ != vsIcon && viewStyle_ != vsSmallIcon)
        return;
    const QSize grid = icons_->gridSize();
    if (autoArrange_ || !grid.isValid()) {
        icons_->doItemsLayout();
        return;
    }
    // Each icon to the nearest grid cell, the order of the rows deciding between two
    // icons that would take the same cell.
    QSet<quint64> taken;
    for (int row = 0; row < model_->rowCount(); ++row) {
        const QModelIndex index = model_->index(row, 0);
        const QPoint at = Icons(icons_)->ItemRect(index).topLeft();
        int column = std::max(0, (at.x() + grid.width() / 2) / grid.width());
        const int line = std::max(0, (at.y() + grid.height() / 2) / grid.height());
        while (taken.contains((quint64(line) << 32) | quint32(column)))
            ++column;
        taken.insert((quint64(line) << 32) | quint32(column));
        Icons(icons_)->PlaceItem(index, QPoint(column * grid.width(), line * grid.height()));
    }
    icons_->viewport()->update();
}

QPoint TSystemListView::IconPosition(int row) const
{
    return Icons(icons_)->ItemRect(model_->index(row, 0)).topLeft();
}

// ---------------------------------------------------------------------- navigation

void TSystemListView::SetDirectory(const QString &path)
{
    if (path.isEmpty())
        return;
    // Paths name different folders in other letter case here; the virtual folders' names
    // ("Computer", "Desktop") do not.
    const bool isPath = path.startsWith(QLatin1Char('/')) && directory_.startsWith(QLatin1Char('/'));
    if (path.compare(directory_, isPath ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0)
        return;
    const std::string invalid = "Folder " + path.toStdString() + " is not valid.";
    TItemIdList list;
    try {
        list = desktop_->ParseDisplayName(path);
    } catch (const std::exception &) {
        throw EModwright(invalid);
    }
    if (!BrowseToPidl(std::move(list)))
        throw EModwright(invalid);
}

void TSystemListView::StartListing()
{
    started_ = true;
    RefreshFolder();
}

void TSystemListView::RefreshFolder()
{
    BrowseToPidl(PidlClone(currentList_.get()));
}

void TSystemListView::QuietRefresh()
{
    quiet_ = true;
    RefreshFolder();
}

bool TSystemListView::Listed() const
{
    return folder_ != nullptr && (started_ || !startEmptyDir_);
}

void TSystemListView::RefreshIfListed()
{
    if (Listed())
        RefreshFolder();
}

void TSystemListView::GoUp()
{
    if (currentList_.isRoot())
        return;
    BrowseToPidl(PidlParent(currentList_.get()));
}

void TSystemListView::GoBack()
{
    if (historyPos_ > 0 && size_t(historyPos_ - 1) < history_.size())
        BrowseToPidl(PidlClone(history_[size_t(historyPos_ - 1)].second.get()));
}

void TSystemListView::GoForward()
{
    if (historyPos_ >= 0 && size_t(historyPos_ + 1) < history_.size())
        BrowseToPidl(PidlClone(history_[size_t(historyPos_ + 1)].second.get()));
}

bool TSystemListView::EnterRow(int row)
{
    TItemIdList target;
    {
        std::lock_guard lock(lock_);
        const TListItemData *data = model_->Row(row);
        if (!data)
            return false;
        if (data->IsParentLink) {
            target = PidlParent(currentList_.get());
        } else {
            if (!data->IsFolder() || data->AbsolutePidl.isNull())
                return false;
            target = PidlClone(data->AbsolutePidl.get());
        }
    }
    BrowseToPidl(std::move(target));
    return true;
}

namespace {

bool SameDirectoryText(const QString &a, const QString &b)
{
    const bool paths = a.startsWith(QLatin1Char('/')) && b.startsWith(QLatin1Char('/'));
    return a.compare(b, paths ? Qt::CaseSensitive : Qt::CaseInsensitive) == 0;
}

} // namespace

void TSystemListView::UpdateHistory()
{
    if (directory_.isEmpty())
        return;
    if (historyPos_ < 0 || size_t(historyPos_) >= history_.size()) {
        history_.clear();
        history_.emplace_back(directory_, PidlClone(currentList_.get()));
        historyPos_ = 0;
        return;
    }
    const size_t pos = size_t(historyPos_);
    if (SameDirectoryText(history_[pos].first, directory_))
        return;
    if (pos > 0 && SameDirectoryText(history_[pos - 1].first, directory_)) {
        --historyPos_;
        return;
    }
    if (pos + 1 < history_.size() && SameDirectoryText(history_[pos + 1].first, directory_)) {
        ++historyPos_;
        return;
    }
    history_.erase(history_.begin() + qsizetype(pos) + 1, history_.end());
    history_.emplace_back(directory_, PidlClone(currentList_.get()));
    historyPos_ = int(history_.size()) - 1;
}

QString TSystemListView::HistoryText(int index) const
{
    return index >= 0 && size_t(index) < history_.size() ? history_[size_t(index)].first : QString();
}

void TSystemListView::RaiseToolbuttonChange(TSystemToolButtons buttons)
{
    toolButtons_ = buttons;
    if (OnToolbuttonChange)
        OnToolbuttonChange(this, buttons);
}

// ---------------------------------------------------------------------- rows

int TSystemListView::RowCount() const
{
    return model_->Count();
}

const TListItemData *TSystemListView::Row(int row) const
{
    return model_->Row(row);
}

QString TSystemListView::RowText(int row, int column) const
{
    return model_->data(model_->index(row, column), Qt::DisplayRole).toString();
}

int TSystemListView::FindRow(const QString &caption) const
{
    for (int i = 0; i < model_->Count(); ++i)
        if (model_->Row(i)->Caption == caption)
            return i;
    return -1;
}

const std::vector<int> &TSystemListView::ColumnIds() const
{
    return columnIds_;
}

QString TSystemListView::ColumnCaption(int column) const
{
    const auto &columns = model_->Columns();
    return column >= 0 && size_t(column) < columns.size() ? columns[size_t(column)].Caption : QString();
}

int TSystemListView::ColumnWidth(int column) const
{
    return report_->header()->sectionSize(column);
}

void TSystemListView::SetColumnWidth(int column, int width)
{
    report_->header()->resizeSection(column, width);
}

int TSystemListView::SortColumn() const
{
    return sortColumn_[columnType_];
}

std::vector<int> TSystemListView::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : selection_->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TSystemListView::SelectRow(int row, bool add)
{
    const QModelIndex index = model_->index(row, 0);
    selection_->select(index, (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect) |
                                  QItemSelectionModel::Rows);
    selection_->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

bool TSystemListView::ItemIsFile(int row) const
{
    std::lock_guard lock(lock_);
    const TListItemData *data = model_->Row(row);
    return data && !data->IsFolder() && !data->IsParentLink;
}

QString TSystemListView::ItemPath(int row) const
{
    std::lock_guard lock(lock_);
    const TListItemData *data = model_->Row(row);
    if (!data || data->AbsolutePidl.isNull())
        return {};
    return SHGetPathFromIDListText(data->AbsolutePidl.get());
}

bool TSystemListView::WaitForDetails(int ms)
{
    const auto started = std::chrono::steady_clock::now();
    const bool listed = lister_->Finish(ms);
    const int spent =
        int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started)
                .count());
    const bool done = probe_->Finish(std::max(0, ms - spent)) && listed;
    if (resortTimer_->isActive()) {
        resortTimer_->stop();
        std::lock_guard lock(lock_);
        SortRows();
    }
    return done && !probe_->Busy();
}

uint64_t TSystemListView::ProbesRun() const
{
    return probe_->ProbesRun();
}

void TSystemListView::SuspendRefresh()
{
    watch_->SuspendRefresh();
}

void TSystemListView::ResumeRefresh()
{
    watch_->ResumeRefresh();
}

int TSystemListView::WatchPassCount() const
{
    return watch_->PassCount();
}
