#include "workbench/ComponentDragDrop.h"

#include "audio/WavePlayer.h"
#include "common/MessageBoxes.h"
#include "controls/DropWrap.h"
#include "controls/SystemListView.h"
#include "controls/SystemViewCommands.h"
#include "modbuild/SaveCommands.h"
#include "workbench/AssignCommands.h"
#include "workbench/ComponentList.h"
#include "workbench/ImageViewerLink.h"
#include "workbench/ModwrightForm.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPersistentModelIndex>
#include <QTimer>

namespace {

// What a private drag carries: 20 bytes, the text padded with zero bytes.
QByteArray PrivateDragBytes()
{
    QByteArray bytes("I love Modwright !");
    bytes.append(QByteArray(20 - bytes.size(), '\0'));
    return bytes;
}

// The drop state of one component list, from the moment files enter it until they are
// dropped or leave.
struct TListDrop {
    QStringList files;
    QStringList rejected;
    int kind = 0;
    QPersistentModelIndex savedCurrent;
};

class TComponentDragDrop : public QObject {
public:
    explicit TComponentDragDrop(TModwrightForm &form);

private:
    void Connect(int tab);
    bool DropAllowed(int tab, QPoint point, QModelIndex *row = nullptr) const;
    void Hilite(int tab, const QModelIndex &row);
    void EndDrop(int tab, bool restoreCurrent);
    void Dropped(int tab, QPersistentModelIndex row, TListDrop drop);
    void StartComponentDrag(int tab, const QModelIndex &row);
    void BrowserDrop(int tab, const QString &dir);

    TModwrightForm &form_;
    int format_;
    TMyOLEDragDropInterface *dd_[2] = {nullptr, nullptr};
    TListDrop drop_[2];
    // The drag of components in progress: its tab (-1: none) and the row it started on.
    int dragTab_ = -1;
    QPersistentModelIndex dragRow_;
};

TComponentDragDrop::TComponentDragDrop(TModwrightForm &form)
    : QObject(&form), form_(form), format_(RegisterClipboardFormat(PrivateDragFormatName()))
{
    for (int tab = 0; tab < 2; ++tab)
        Connect(tab);
}

void TComponentDragDrop::Connect(int tab)
{
    TComponentList *list = form_.List(tab);
    auto *dd = new TMyOLEDragDropInterface(list);
    dd_[tab] = dd;
    dd->SetDragDropMode(ddmUserData);
    dd->SetDragDropControl(list->viewport());
    dd->OnUserDropEnter = [this, tab](TMyOLEDragDropInterface *, const TMyDropDataList &data, TShiftState,
                                      QPoint, TMyAllowedDropEffects allowed, bool &accept) {
        drop_[tab] = TListDrop();
        accept = false;
        if (!data.HasFormat(CF_HDROP) || !(allowed & EffectSet(deCopy)))
            return;
        TListDrop &drop = drop_[tab];
        drop.files = data.Files(&drop.rejected);
        if (drop.files.isEmpty() && drop.rejected.isEmpty())
            return;
        drop.kind = DropKind(drop.files, drop.rejected);
        drop.savedCurrent = form_.List(tab)->currentIndex();
        accept = true;
    };
    // Assigning takes a copy: the dragged file must never be moved away by its source.
    dd->OnUserDropping = [this, tab](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState,
                                     QPoint point, TMyAllowedDropEffects, TMyDropEffect &effect) {
        QModelIndex row;
        const bool allowed = DropAllowed(tab, point, &row);
        effect = allowed ? deCopy : deNone;
        Hilite(tab, allowed ? row : QModelIndex());
    };
    dd->OnUserDropExit = [this, tab](TMyOLEDragDropInterface *, const TMyDropDataList &) {
        EndDrop(tab, true);
    };
    dd->OnUserDrop = [this, tab](TMyOLEDragDropInterface *, const TMyDropDataList &, TShiftState,
                                 QPoint point, TMyAllowedDropEffects, TMyDropEffect &effect) {
        QModelIndex row;
        const bool allowed = DropAllowed(tab, point, &row);
        effect = allowed ? deCopy : deNone;
        TListDrop drop = drop_[tab];
        EndDrop(tab, !(allowed && row.isValid()));
        if (!allowed)
            return;
        // After the drag has finished: the work may show the messages window modally.
        QTimer::singleShot(
            0, this, [this, tab, target = QPersistentModelIndex(row), drop] { Dropped(tab, target, drop); });
    };

    list->SetDragStartEnabled(true);
    connect(list, &TKivoListView::DragStart, this,
            [this, tab](const QModelIndex &row) { StartComponentDrag(tab, row); });
    TSystemListView *browser = form_.Browser(tab);
    browser->SetUserDropFormat(format_);
    browser->OnUserDrop = [this, tab](TSystemListView *, const QString &dir) { BrowserDrop(tab, dir); };
}

bool TComponentDragDrop::DropAllowed(int tab, QPoint point, QModelIndex *row) const
{
    const QModelIndex index = form_.List(tab)->indexAt(point);
    if (row)
        *row = index;
    return !index.isValid() || drop_[tab].kind == 1;
}

void TComponentDragDrop::Hilite(int tab, const QModelIndex &row)
{
    TComponentList *list = form_.List(tab);
    const QModelIndex target = row.isValid() ? row : QModelIndex(drop_[tab].savedCurrent);
    if (list->currentIndex() != target)
        list->selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
}

void TComponentDragDrop::EndDrop(int tab, bool restoreCurrent)
{
    if (restoreCurrent)
        Hilite(tab, QModelIndex());
    drop_[tab] = TListDrop();
}

void TComponentDragDrop::Dropped(int tab, QPersistentModelIndex target, TListDrop drop)
{
    TComponentList *list = form_.List(tab);
    try {
        if (target.isValid()) {
            TAssignmentData *row = list->RowOf(target);
            if (!row || drop.files.size() != 1)
                return;
            AssignOne(form_, *row, drop.files.first());
            list->setCurrentIndex(target);
            // Shown as a click would show it: an image in the viewer, a drum played.
            if (!ShowRowImage(form_, tab, false, target.row()) && row->isAssigned() && !row->isImage &&
                WavePlayerAvailable())
                PlayWave(row->assignedPath());
        } else if (drop.kind == 2) {
            AutoAssignAll(form_, drop.files.first());
        } else {
            AssignFromList(form_, drop.files + drop.rejected);
        }
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    }
}

void TComponentDragDrop::StartComponentDrag(int tab, const QModelIndex &row)
{
    TComponentList *list = form_.List(tab);
    if (!list->AnySelectedAssigned() || dd_[tab]->IsInDragging())
        return;
    auto data = std::make_unique<TMyDragDataList>();
    data->Add(format_, PrivateDragBytes());
    dragTab_ = tab;
    dragRow_ = row;
    try {
        dd_[tab]->StartUserDrag(std::move(data));
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    }
    dragTab_ = -1;
    dragRow_ = QPersistentModelIndex();
}

void TComponentDragDrop::BrowserDrop(int tab, const QString &dir)
{
    if (dragTab_ != tab || !QFileInfo(dir).isDir())
        return;
    TComponentList *list = form_.List(tab);
    if (dragRow_.isValid())
        list->selectionModel()->select(dragRow_, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::vector<TAssignmentData *> selected = list->SelectedRows();
    const auto isSelected = [selected](const TAssignmentData &row) {
        return std::find(selected.begin(), selected.end(), &row) != selected.end();
    };
    // Saved into the folder the rows were dropped on: the listed one or a folder row in it.
    const TBrowserFolder folder{dir, QFileInfo(dir).fileName().isEmpty() ? dir : QFileInfo(dir).fileName()};
    // After the drag has finished, like the file drops.
    QTimer::singleShot(0, this, [this, tab, isSelected, folder] {
        try {
            SaveAssignedFiles(form_.BuildContext(), form_.List(tab)->Rows(), true, isSelected, folder);
        } catch (const std::exception &error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    });
}

} // namespace

int DropKind(const QStringList &files, const QStringList &rejected)
{
    const qsizetype count = files.size() + rejected.size();
    if (count > 1)
        return 3;
    if (files.size() != 1)
        return 0;
    const QFileInfo info(files.first());
    if (info.isFile())
        return 1;
    if (info.isDir())
        return 2;
    return 0;
}

QString PrivateDragFormatName()
{
    return QString::fromLatin1(ProgramTitle) + QStringLiteral(" PID:") +
           QString::number(QCoreApplication::applicationPid());
}

void ConnectComponentDragDrop(TModwrightForm &form)
{
    new TComponentDragDrop(form);
    QObject::connect(form.BNewDir, &QAction::triggered, &form, [&form] {
        try {
            form.Browser(form.ActiveTab())->Commands().CreateNewFolder();
        } catch (const std::exception &error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    });
}
