// The view's two menus (the selected items' menu and the background menu), its keys and
// its mouse buttons.
#include "common/BusyCursor.h"
#include "common/FileOperations.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "controls/SystemViewCommands.h"
#include "platform/Shell.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTreeView>

namespace {

QAction *AddVerb(QMenu *menu, const QString &caption, const char *verb, const QString &hint)
{
    QAction *action = menu->addAction(caption);
    action->setData(QString::fromLatin1(verb));
    action->setStatusTip(hint);
    return action;
}

QAction *FindTag(QMenu *menu, int tag)
{
    for (QAction *action : menu->actions()) {
        if (QMenu *sub = action->menu()) {
            if (QAction *found = FindTag(sub, tag))
                return found;
            continue;
        }
        if (!action->isSeparator() && action->data().toInt() == tag)
            return action;
    }
    return nullptr;
}

bool ClipboardHasFiles()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QStringLiteral("text/uri-list"));
}

} // namespace

// ---------------------------------------------------------------------- item menu

QMenu *TSystemViewCommands::MakeItemMenu()
{
    int count = 0, folders = 0;
    bool canRename = false, canDelete = false, canCopy = false;
    {
        std::lock_guard lock(view_->lock_);
        for (int i : view_->SelectedRows()) {
            const TListItemData *row = view_->model_->Row(i);
            if (!row || row->RelativePidl.isNull())
                continue;
            ++count;
            if (row->IsFolder())
                ++folders;
            canRename = (row->Attributes & SFGAO_CANRENAME) != 0;
            canDelete = canDelete || (row->Attributes & SFGAO_CANDELETE);
            canCopy = canCopy || !view_->ItemPath(i).isEmpty();
        }
    }
    if (count == 0)
        return nullptr;
    auto *menu = new QMenu(view_);
    menu->setObjectName(QStringLiteral("ItemMenu"));
    QAction *open = AddVerb(menu, QStringLiteral("&Open"), "open",
                            folders == 1 && count == 1 ? QStringLiteral("Opens the selected folder.")
                                                       : QStringLiteral("Opens the selected items."));
    QFont bold = open->font();
    bold.setBold(true);
    open->setFont(bold);
    if (folders == 1 && count == 1)
        AddVerb(menu, QStringLiteral("E&xplore"), "Explore",
                QStringLiteral("Shows the contents of the selected folder in this view."));
    menu->addSeparator();
    AddVerb(menu, QStringLiteral("Cu&t"), "cut",
            QStringLiteral("Removes the selected items and copies them onto the Clipboard."))
        ->setEnabled(canCopy && canDelete);
    AddVerb(
        menu, QStringLiteral("&Copy"), "copy",
        QStringLiteral("Copies the selected items to the Clipboard. To put them in the new location, use the "
                       "Paste command."))
        ->setEnabled(canCopy);
    if (folders == 1 && count == 1)
        AddVerb(menu, QStringLiteral("&Paste"), "paste",
                QStringLiteral("Inserts the items that you have copied or cut into the selected folder."))
            ->setEnabled(ClipboardHasFiles());
    menu->addSeparator();
    AddVerb(menu, QStringLiteral("&Delete"), "delete", QStringLiteral("Deletes the selected items."))
        ->setEnabled(canDelete);
    // Renaming is offered for one item only.
    if (count == 1)
        AddVerb(menu, QStringLiteral("Rena&me"), "rename", QStringLiteral("Renames the selected item."))
            ->setEnabled(canRename);
    menu->addSeparator();
    AddVerb(menu, QStringLiteral("P&roperties"), "properties",
            QStringLiteral("Displays the properties of the selected items."));
    return menu;
}

bool TSystemViewCommands::ShowItemContextMenu(QPoint screenPoint)
{
    std::unique_ptr<QMenu> menu;
    {
        TBusyCursor busy;
        menu.reset(MakeItemMenu());
    }
    if (!menu)
        return false;
    QAction *chosen = MenuLoop ? MenuLoop(*menu, screenPoint) : menu->exec(screenPoint);
    if (!chosen)
        return false;
    const QString verb = chosen->data().toString();
    try {
        RunItemVerb(verb);
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

void TSystemViewCommands::RunItemVerb(const QString &verb)
{
    const std::vector<int> rows = view_->SelectedRows();
    if (verb == QLatin1String("delete")) {
        DeleteSelected(true, true, true);
    } else if (verb == QLatin1String("rename")) {
        if (rows.size() == 1)
            EditCaption(rows[0]);
    } else if (verb == QLatin1String("Explore")) {
        if (rows.size() == 1)
            view_->EnterRow(rows[0]);
    } else if (verb == QLatin1String("open")) {
        // Without the default-command event: the menu names what it does.
        if (rows.size() == 1 && view_->Row(rows[0]) && view_->Row(rows[0])->IsFolder()) {
            view_->EnterRow(rows[0]);
        } else {
            for (const QString &path : SelectedPaths(false))
                OpenPath(path);
        }
    } else if (verb == QLatin1String("cut") || verb == QLatin1String("copy")) {
        CopyToClipboard(verb == QLatin1String("cut"));
    } else if (verb == QLatin1String("paste")) {
        const QStringList target = SelectedPaths(false);
        const QMimeData *data = QGuiApplication::clipboard()->mimeData();
        if (target.size() == 1 && data) {
            const uint32_t effect = PreferredEffect(data);
            const TFileOp op = (effect & DROPEFFECT_MOVE) && !(effect & DROPEFFECT_COPY) ? foMove : foCopy;
            const TFileOpResult result =
                TransferFiles(UriListToFileList(data->data(QStringLiteral("text/uri-list"))), target[0], op);
            if (op == foMove && result.Errors.isEmpty() && !result.Cancelled && result.Done > 0)
                QGuiApplication::clipboard()->clear();
        }
    } else if (verb == QLatin1String("properties")) {
        const QStringList paths = SelectedPaths(false);
        if (!paths.isEmpty())
            ShowInformation(ItemProperties(paths));
    }
}

// ---------------------------------------------------------------------- background menu

QMenu *TSystemViewCommands::PrepareBackgroundMenu()
{
    const TViewStyle style = view_->ViewStyle();
    for (int tag = 1; tag <= 4; ++tag)
        FindTag(background_, tag)->setChecked(int(style) == tag - 1);
    for (int tag = 5; tag <= 8; ++tag) {
        QAction *a = FindTag(background_, tag);
        a->setEnabled(false);
        a->setChecked(false);
    }
    const std::vector<int> &ids = view_->ColumnIds();
    const int sortColumn = view_->SortColumn();
    for (int tag = 5; tag <= 8; ++tag) {
        const int id = tag == 5 ? ciName : tag == 6 ? ciType : tag == 7 ? ciSize : ciModified;
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == id) {
                QAction *a = FindTag(background_, tag);
                a->setEnabled(true);
                a->setChecked(int(i) == sortColumn);
            }
    }
    const bool iconStyle = style == vsIcon || style == vsSmallIcon;
    QAction *autoArrange = FindTag(background_, 9);
    autoArrange->setChecked(view_->AutoArrange());
    autoArrange->setEnabled(iconStyle);
    FindTag(background_, 10)->setEnabled(iconStyle);
    const bool fileSystem = !view_->RealDirectory().isEmpty();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    const bool files = data && data->hasFormat(QStringLiteral("text/uri-list"));
    const uint32_t effect = files ? PreferredEffect(data) : 0;
    FindTag(background_, 11)
        ->setEnabled(fileSystem && files && (effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)));
    FindTag(background_, 12)->setEnabled(fileSystem && files && (effect & DROPEFFECT_LINK));
    FindTag(background_, 101)->setEnabled(fileSystem);
    uint32_t attributes = SHGetFileInfo(view_->CurrentPidl(), SHGFI_ATTRIBUTES).Attributes;
    FindTag(background_, 13)->setEnabled(fileSystem || (attributes & SFGAO_HASPROPSHEET));
    if (view_->OnPopupPopup)
        view_->OnPopupPopup(view_);
    return background_;
}

void TSystemViewCommands::ShowBackgroundMenu(QPoint screenPoint)
{
    QMenu *menu = PrepareBackgroundMenu();
    QAction *chosen = MenuLoop ? MenuLoop(*menu, screenPoint) : menu->exec(screenPoint);
    if (!chosen || chosen->data().toInt() <= 0)
        return;
    try {
        RunBackgroundCommand(chosen->data().toInt());
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

void TSystemViewCommands::RunBackgroundCommand(int tag)
{
    switch (tag) {
    case 1:
    case 2:
    case 3:
    case 4:
        view_->SetViewStyle(TViewStyle(tag - 1));
        break;
    case 5:
    case 6:
    case 7:
    case 8:
        view_->SortByColumn(tag == 5 ? ciName : tag == 6 ? ciType : tag == 7 ? ciSize : ciModified);
        break;
    case 9:
        view_->SetAutoArrange(!view_->AutoArrange());
        break;
    case 10:
        view_->LineUpIcons();
        break;
    case 11:
    case 12:
        PasteFromClipboard(tag == 12);
        break;
    case 13:
        ShowFolderProperties();
        break;
    case 100:
        view_->RefreshFolder();
        break;
    case 101:
        CreateNewFolder();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------- keys and mouse

int TSystemViewCommands::RowAt(QPoint viewPoint) const
{
    QAbstractItemView *current = view_->viewStyle_ == vsReport
                                     ? static_cast<QAbstractItemView *>(view_->report_)
                                     : static_cast<QAbstractItemView *>(view_->icons_);
    const QModelIndex index = current->indexAt(current->viewport()->mapFrom(view_, viewPoint));
    return index.isValid() ? index.row() : -1;
}

void TSystemViewCommands::ContextMenuAt(QPoint viewPoint, QPoint screenPoint)
{
    const int row = RowAt(viewPoint);
    if (row >= 0) {
        const std::vector<int> selected = view_->SelectedRows();
        if (std::find(selected.begin(), selected.end(), row) == selected.end())
            view_->SelectRow(row);
        const TListItemData *data = view_->Row(row);
        // The ".." row has no item and so no menu of its own: the folder's menu stands in.
        if (data && !data->RelativePidl.isNull()) {
            ShowItemContextMenu(screenPoint);
            return;
        }
    }
    ShowBackgroundMenu(screenPoint);
}

bool TSystemViewCommands::KeyPress(QKeyEvent &event)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    const bool shift = mods & Qt::ShiftModifier;
    const bool selected = !view_->SelectedRows().empty();
    switch (event.key()) {
    case Qt::Key_Backspace:
        view_->GoUp();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected)
            ExecuteDefaultCommand();
        return selected;
    case Qt::Key_Space:
        if (selected && view_->OnClick)
            view_->OnClick(view_);
        return selected;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!alt || ctrl)
            return false;
        if (event.key() == Qt::Key_Left)
            view_->GoBack();
        else
            view_->GoForward();
        return true;
    case Qt::Key_Delete:
        DeleteSelected(!shift, true, !ctrl);
        return true;
    case Qt::Key_A:
        if (!ctrl || alt)
            return false;
        view_->report_->selectAll();
        return true;
    case Qt::Key_C:
    case Qt::Key_X:
        if (!ctrl || alt)
            return false;
        CopyToClipboard(event.key() == Qt::Key_X);
        return true;
    case Qt::Key_V:
        if (!ctrl || alt)
            return false;
        try {
            PasteFromClipboard(false);
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
        }
        return true;
    case Qt::Key_F2: {
        const std::vector<int> rows = view_->SelectedRows();
        if (!rows.empty())
            EditCaption(rows.front());
        return true;
    }
    case Qt::Key_F5:
    case Qt::Key_Refresh:
        view_->RefreshFolder();
        return true;
    case Qt::Key_Back:
        view_->GoBack();
        return true;
    case Qt::Key_Forward:
        view_->GoForward();
        return true;
    default:
        return false;
    }
}

bool TSystemViewCommands::eventFilter(QObject *watched, QEvent *event)
{
    auto *item = qobject_cast<QAbstractItemView *>(watched);
    QAbstractItemView *owner = item;
    if (!owner && watched->parent())
        owner = qobject_cast<QAbstractItemView *>(watched->parent());
    if (!owner || (owner != view_->report_ && owner != view_->icons_))
        return QObject::eventFilter(watched, event);

    if (item) {
        // Keys go to the item view itself; none of them while a caption is being edited.
        // Keys that an open caption editor passes on (Enter, Escape) stay with the editing.
        if (event->type() == QEvent::KeyPress && !editing_)
            return KeyPress(*static_cast<QKeyEvent *>(event));
        return QObject::eventFilter(watched, event);
    }
    if (watched != owner->viewport())
        return QObject::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::ContextMenu: {
        auto *menuEvent = static_cast<QContextMenuEvent *>(event);
        ContextMenuAt(owner->viewport()->mapTo(view_, menuEvent->pos()), menuEvent->globalPos());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            pressPoint_ = owner->viewport()->mapTo(view_, mouse->position().toPoint());
            pressed_ = true;
        }
        return false;
    }
    case QEvent::MouseButtonDblClick:
        pressed_ = false;
        return false;
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (pressed_ && (mouse->buttons() & Qt::LeftButton) && !dragDrop_->IsInDragging()) {
            const QPoint p = owner->viewport()->mapTo(view_, mouse->position().toPoint());
            if (qAbs(p.x() - pressPoint_.x()) > 2 || qAbs(p.y() - pressPoint_.y()) > 2) {
                // Only a press on a row drags; one on the background selects with the band.
                if (RowAt(pressPoint_) >= 0) {
                    pressed_ = false;
                    StartDrag();
                    return true;
                }
            }
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            pressed_ = false;
        const bool noOthers = !(mouse->buttons() & ~(Qt::BackButton | Qt::ForwardButton)) &&
                              !(mouse->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier));
        if (mouse->button() == Qt::BackButton && noOthers) {
            view_->GoBack();
            return true;
        }
        if (mouse->button() == Qt::ForwardButton && noOthers) {
            view_->GoForward();
            return true;
        }
        return false;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
