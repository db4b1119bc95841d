// The commands of the shell folder list view: default command, rename, delete, new folder,
// clipboard, properties, the two menus and the keys. Drag and drop: SystemViewDragDrop.cpp.
#include "controls/SystemViewCommands.h"

#include "common/BusyCursor.h"
#include "common/FileOperations.h"
#include "common/MessageBoxes.h"
#include "controls/RefreshPause.h"
#include "controls/SystemListModel.h"
#include "controls/SystemListView.h"
#include "platform/Process.h"
#include "platform/Shell.h"

#include <QAbstractItemDelegate>
#include <QActionGroup>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QUrl>
#include <QtEndian>

std::function<QAction *(QMenu &, QPoint)> TSystemViewCommands::MenuLoop;
std::function<void(const QString &)> TSystemViewCommands::OpenItem;

namespace {

const char *const kPreferredDropEffect = "Preferred DropEffect";
const QString kGnomeCopiedFiles = QStringLiteral("x-special/gnome-copied-files");
const QString kKdeCutSelection = QStringLiteral("application/x-kde-cutselection");

// Tags of the background menu.
enum {
    tagLargeIcons = 1,
    tagSmallIcons = 2,
    tagList = 3,
    tagDetails = 4,
    tagByName = 5,
    tagByType = 6,
    tagBySize = 7,
    tagByDate = 8,
    tagAutoArrange = 9,
    tagLineUp = 10,
    tagPaste = 11,
    tagPasteShortcut = 12,
    tagProperties = 13,
    tagRefresh = 100,
    tagNewFolder = 101,
};

QAction *AddItem(QMenu *menu, const QString &caption, const QString &hint, int tag)
{
    QAction *action = menu->addAction(caption);
    action->setStatusTip(hint);
    action->setData(tag);
    return action;
}

} // namespace

void TSystemViewCommands::OpenPath(const QString &path)
{
    if (OpenItem) {
        OpenItem(path);
        return;
    }
    try {
        OpenDocument(QFile::encodeName(path).toStdString());
    } catch (const std::exception &e) {
        ShowError(QString::fromUtf8(e.what()));
    }
}

namespace {

// Stops the watch thread for a change the view makes itself and lets it watch again on
// every way out.
class TWatchPause {
public:
    explicit TWatchPause(TFolderWatchThread &watch, std::shared_ptr<TShellFolder> folder)
        : watch_(watch), folder_(std::move(folder))
    {
        watch_.StopWatching();
    }
    ~TWatchPause()
    {
        if (folder_)
            watch_.WatchCurrentFolder(folder_);
    }

private:
    TFolderWatchThread &watch_;
    std::shared_ptr<TShellFolder> folder_;
};

} // namespace

TSystemViewCommands::TSystemViewCommands(TSystemListView *view) : QObject(view), view_(view)
{
    dragDrop_ = new TMyOLEDragDropInterface(this);
    dragDrop_->SetDragDropMode(ddmUserData);
    dragDrop_->SetDragDropControl(view);
    TMyDropObject &target = dragDrop_->DropTarget();
    target.DragEnter = [this](const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect) {
        return DropEnter(data, keys, point, effect);
    };
    target.DragOver = [this](TShiftState keys, QPoint point, uint32_t &effect) {
        DropOver(keys, point, effect);
    };
    target.DragLeave = [this] { DropLeave(); };
    target.Drop = [this](const TMyDropDataList &data, TShiftState keys, QPoint point, uint32_t &effect) {
        DropDrop(data, keys, point, effect);
    };

    view->model_->OnEditCaption = [this](int row, const QString &text) { return RenameItem(row, text); };
    for (QAbstractItemView *v :
         {static_cast<QAbstractItemView *>(view->report_), static_cast<QAbstractItemView *>(view->icons_)}) {
        v->installEventFilter(this);
        v->viewport()->installEventFilter(this);
        v->setContextMenuPolicy(Qt::DefaultContextMenu);
        v->setDragEnabled(false);
        // Drops go to the view itself, which forwards them to the row under the mouse.
        v->setAcceptDrops(false);
        v->viewport()->setAcceptDrops(false);
        connect(v, &QAbstractItemView::doubleClicked, this, [this] { ExecuteDefaultCommand(); });
        connect(v->itemDelegate(), &QAbstractItemDelegate::closeEditor, this, [this] { editing_ = false; });
    }
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { ClearCutMarks(); });

    // The background menu, built once.
    background_ = new QMenu(view);
    background_->setObjectName(QStringLiteral("BackgroundMenu"));
    QMenu *viewMenu = background_->addMenu(QStringLiteral("&View"));
    auto *styles = new QActionGroup(background_);
    for (auto [caption, hint, tag] :
         {std::tuple{"Lar&ge Icons", "Displays icons by using large icons.", tagLargeIcons},
          std::tuple{"S&mall Icons", "Displays icons by using small icons.", tagSmallIcons},
          std::tuple{"&List", "Displays icons in a list.", tagList},
          std::tuple{"&Details", "Displays information about each item in the window.", tagDetails}}) {
        QAction *a = AddItem(viewMenu, caption, hint, tag);
        a->setCheckable(true);
        styles->addAction(a);
    }
    QMenu *arrange = background_->addMenu(QStringLiteral("Arrange &Icons"));
    auto *sorts = new QActionGroup(background_);
    sorts->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (auto [caption, hint, tag] :
         {std::tuple{"by &Name", "Sorts items alphabetically by name.", tagByName},
          std::tuple{"by &Type", "Sorts items by type.", tagByType},
          std::tuple{"by Si&ze", "Sorts items by size, from smallest to largest.", tagBySize},
          std::tuple{"by &Date", "Sorts items by date, from oldest to most recent.", tagByDate}}) {
        QAction *a = AddItem(arrange, caption, hint, tag);
        a->setCheckable(true);
        sorts->addAction(a);
    }
    arrange->addSeparator();
    AddItem(arrange, QStringLiteral("&Auto Arrange"), QStringLiteral("Arranges items automatically."),
            tagAutoArrange)
        ->setCheckable(true);
    AddItem(background_, QStringLiteral("Line &Up Icons"), QStringLiteral("Arranges Icons in a grid."),
            tagLineUp);
    background_->addSeparator();
    AddItem(background_, QStringLiteral("Re&fresh"), QStringLiteral("Refreshes the contents."), tagRefresh);
    background_->addSeparator();
    AddItem(background_, QStringLiteral("&Paste"),
            QStringLiteral("Inserts the items that you have copied or cut into the selected location."),
            tagPaste);
    AddItem(background_, QStringLiteral("Paste &Shortcut"),
            QStringLiteral("Creates shortcuts to the items you have copied into the selected location."),
            tagPasteShortcut);
    background_->addSeparator();
    QMenu *newMenu = background_->addMenu(QStringLiteral("&New"));
    AddItem(newMenu, QStringLiteral("&Folder"), QStringLiteral("Creates a new folder."), tagNewFolder);
    background_->addSeparator();
    AddItem(background_, QStringLiteral("P&roperties"),
            QStringLiteral("Displays Properties for this folder."), tagProperties);
    // Sub-menus are not commands.
    for (QMenu *sub : {viewMenu, arrange, newMenu})
        sub->menuAction()->setData(-1);
}

TSystemViewCommands::~TSystemViewCommands() = default;

// ---------------------------------------------------------------------- default command

void TSystemViewCommands::ExecuteDefaultCommand()
{
    const std::vector<int> rows = view_->SelectedRows();
    if (rows.empty())
        return;
    bool enter = false;
    if (rows.size() == 1) {
        std::lock_guard lock(view_->lock_);
        const TListItemData *row = view_->model_->Row(rows[0]);
        enter = row && (row->IsParentLink || (row->IsFolder() && !row->AbsolutePidl.isNull()));
    }
    bool doDefault = true;
    if (view_->OnDefaultCommand)
        view_->OnDefaultCommand(view_, doDefault);
    if (!doDefault)
        return;
    if (enter) {
        view_->EnterRow(rows[0]);
        return;
    }
    QStringList paths;
    for (int row : rows) {
        const QString path = view_->ItemPath(row);
        if (!path.isEmpty())
            paths << path;
    }
    for (const QString &path : paths)
        OpenPath(path);
}

// ---------------------------------------------------------------------- rename

void TSystemViewCommands::EditCaption(int row)
{
    const QModelIndex index = view_->model_->index(row, 0);
    if (!(view_->model_->flags(index) & Qt::ItemIsEditable))
        return;
    view_->SelectRow(row);
    QAbstractItemView *current = view_->viewStyle_ == vsReport
                                     ? static_cast<QAbstractItemView *>(view_->report_)
                                     : static_cast<QAbstractItemView *>(view_->icons_);
    current->setFocus();
    current->scrollTo(index);
    current->edit(index);
    editing_ =
        current->isPersistentEditorOpen(index) || current->viewport()->findChild<QWidget *>() != nullptr;
}

bool TSystemViewCommands::RenameItem(int rowIndex, const QString &newName)
{
    TListItemData *row = view_->model_->Row(rowIndex);
    if (!row || row->RelativePidl.isNull() || !view_->folder_)
        return false;
    // The same name in other letters is no rename.
    if (newName.compare(row->Caption, Qt::CaseInsensitive) == 0)
        return false;
    bool renamed = false;
    {
        TWatchPause pause(*view_->watch_, view_->folder_);
        try {
            std::lock_guard lock(view_->lock_);
            TItemIdList relative = view_->folder_->SetNameOf(row->RelativePidl.get(), newName, 0x20);
            row->AbsolutePidl = PidlReplaceLast(row->AbsolutePidl.get(), relative.get());
            row->RelativePidl = std::move(relative);
            row->Caption = newName;
            view_->FillRow(*row, *view_->folder_, nullptr, false, true);
            view_->FlushProbeRequests();
            view_->model_->RowChanged(rowIndex);
            renamed = true;
        } catch (const std::exception &e) {
            ShowError(QString::fromUtf8(e.what()));
        }
    }
    if (renamed && view_->OnRenameFile)
        view_->OnRenameFile(view_, rowIndex);
    return renamed;
}

// ---------------------------------------------------------------------- delete, new folder

QStringList TSystemViewCommands::SelectedPaths(bool deletableOnly) const
{
    QStringList paths;
    bool missingData = false;
    {
        std::lock_guard lock(view_->lock_);
        for (int i : view_->SelectedRows()) {
            const TListItemData *row = view_->model_->Row(i);
            if (!row) {
                missingData = true;
                continue;
            }
            // The ".." row has no item of its own.
            if (row->RelativePidl.isNull() || row->AbsolutePidl.isNull())
                continue;
            if (deletableOnly && !(row->Attributes & SFGAO_CANDELETE))
                continue;
            const QString path = SHGetPathFromIDListText(row->AbsolutePidl.get());
            if (!path.isEmpty())
                paths << path;
        }
    }
    if (missingData)
        ShowError(QStringLiteral("Could not get folder data."));
    return paths;
}

void TSystemViewCommands::DeleteSelected(bool allowUndo, bool showProgress, bool confirm)
{
    Q_UNUSED(showProgress); // the trash and unlink are quick; the hourglass shows meanwhile
    QStringList paths;
    for (const QString &path : SelectedPaths(true))
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            paths << path;
    if (paths.isEmpty())
        return;
    TBusyCursor busy;
    DeleteFiles(paths, allowUndo, confirm);
    if (!view_->watch_->Available())
        view_->RefreshFolder();
}

void TSystemViewCommands::CreateNewFolder()
{
    const QString directory = view_->RealDirectory();
    if (directory.isEmpty() || !view_->folder_)
        return;
    int newRow = -1;
    {
        TWatchPause pause(*view_->watch_, view_->folder_);
        const QString path = NewFolderName(directory);
        if (!QDir().mkdir(path)) {
            ShowError(QStringLiteral("Cannot create the folder \"%1\".").arg(path));
            return;
        }
        const std::string invalid = "Folder " + path.toStdString() + " is not valid.";
        TEnumItem item;
        try {
            item.Absolute = view_->desktop_->ParseDisplayName(path);
        } catch (const std::exception &) {
            throw ESystemViews(invalid);
        }
        item.Relative = PidlLast(item.Absolute.get());
        item.Attributes = kListingAttributeMask;
        std::lock_guard lock(view_->lock_);
        if (item.Relative.isNull() || !view_->folder_->GetAttributesOf(item.Relative.get(), item.Attributes))
            throw ESystemViews(invalid);
        std::vector<std::unique_ptr<TListItemData>> rows;
        rows.push_back(view_->MakeRow(item, false));
        view_->model_->AppendRows(std::move(rows));
        newRow = view_->model_->Count() - 1;
    }
    EditCaption(newRow);
}

// ---------------------------------------------------------------------- clipboard

uint32_t TSystemViewCommands::PreferredEffect(const QMimeData *data)
{
    if (!data)
        return DROPEFFECT_NONE;
    const QString own = MimeTypeOfFormat(RegisterClipboardFormat(kPreferredDropEffect));
    if (data->hasFormat(own)) {
        const QByteArray bytes = data->data(own);
        if (bytes.size() >= 4)
            return qFromLittleEndian<quint32>(bytes.constData());
    }
    if (data->hasFormat(kGnomeCopiedFiles)) {
        const QByteArray verb = data->data(kGnomeCopiedFiles).split('\n').value(0).trimmed();
        if (verb == "cut")
            return DROPEFFECT_MOVE;
        if (verb == "copy")
            return DROPEFFECT_COPY | DROPEFFECT_LINK;
    }
    if (data->hasFormat(kKdeCutSelection) && data->data(kKdeCutSelection).startsWith('1'))
        return DROPEFFECT_MOVE;
    return DROPEFFECT_COPY | DROPEFFECT_LINK;
}

void TSystemViewCommands::CopyToClipboard(bool cut)
{
    const QStringList paths = SelectedPaths(false);
    if (paths.isEmpty())
        return;
    auto *data = new QMimeData;
    const QByteArray uris = FileListToUriList(paths);
    data->setData(QStringLiteral("text/uri-list"), uris);
    QByteArray gnome = cut ? "cut" : "copy";
    for (const QString &path : paths)
        gnome += '\n' + QUrl::fromLocalFile(path).toEncoded();
    data->setData(kGnomeCopiedFiles, gnome);
    if (cut)
        data->setData(kKdeCutSelection, "1");
    quint32 effect = cut ? DROPEFFECT_MOVE : DROPEFFECT_COPY | DROPEFFECT_LINK;
    QByteArray effectBytes(4, '\0');
    qToLittleEndian(effect, effectBytes.data());
    data->setData(MimeTypeOfFormat(RegisterClipboardFormat(kPreferredDropEffect)), effectBytes);
    data->setText(paths.join(QLatin1Char('\n')));
    QGuiApplication::clipboard()->setMimeData(data);
    // After the clipboard's own change signal: the marks belong to this content.
    if (cut) {
        std::lock_guard lock(view_->lock_);
        for (int i : view_->SelectedRows())
            if (TListItemData *row = view_->model_->Row(i); row && !row->RelativePidl.isNull()) {
                row->Cut = true;
                view_->model_->RowChanged(i);
            }
        cutMarks_ = true;
    }
}

void TSystemViewCommands::ClearCutMarks()
{
    if (!cutMarks_)
        return;
    cutMarks_ = false;
    std::lock_guard lock(view_->lock_);
    for (int i = 0; i < view_->model_->Count(); ++i)
        if (TListItemData *row = view_->model_->Row(i); row->Cut) {
            row->Cut = false;
            view_->model_->RowChanged(i);
        }
}

void TSystemViewCommands::PasteFromClipboard(bool asShortcut)
{
    const QString directory = view_->RealDirectory();
    if (directory.isEmpty())
        throw ESystemViews("Unable to Paste.");
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(QStringLiteral("text/uri-list")))
        return;
    QStringList rejected;
    const QStringList files = UriListToFileList(data->data(QStringLiteral("text/uri-list")), &rejected);
    const uint32_t effect = PreferredEffect(data);
    const TFileOp op =
        asShortcut ? foLink : ((effect & DROPEFFECT_MOVE) && !(effect & DROPEFFECT_COPY) ? foMove : foCopy);
    TFileOpResult result;
    {
        TRefreshPause pause(*view_);
        TBusyCursor busy;
        if (!files.isEmpty())
            result = TransferFiles(files, directory, op);
    }
    if (!rejected.isEmpty())
        ShowError(QStringLiteral("Only files and folders of this computer can be pasted:\n") +
                  rejected.join(QLatin1Char('\n')));
    // Cut files have moved: a second paste would find nothing.
    if (op == foMove && !result.Cancelled && result.Errors.isEmpty() && result.Done > 0)
        QGuiApplication::clipboard()->clear();
    if (!view_->watch_->Available())
        view_->RefreshFolder();
}

// ---------------------------------------------------------------------- properties

QString TSystemViewCommands::ItemProperties(const QStringList &paths) const
{
    const QLocale locale;
    qint64 bytes = 0;
    int files = 0, folders = 0;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir() && !info.isSymLink()) {
            ++folders;
            QDirIterator it(path, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QFileInfo inner(it.next());
                if (inner.isDir())
                    ++folders;
                else {
                    ++files;
                    bytes += inner.size();
                }
            }
        } else {
            ++files;
            bytes += info.size();
        }
    }
    QStringList lines;
    if (paths.size() == 1) {
        const QFileInfo info(paths[0]);
        lines << QStringLiteral("Name: %1").arg(info.fileName().isEmpty() ? paths[0] : info.fileName());
        lines << QStringLiteral("Type: %1")
                     .arg(info.isSymLink() ? QStringLiteral("Link to %1").arg(info.symLinkTarget())
                          : info.isDir()   ? QStringLiteral("Folder")
                                           : QStringLiteral("File"));
        lines << QStringLiteral("Location: %1").arg(info.absolutePath());
        if (info.isDir())
            --folders; // the folder itself
    } else {
        lines << QStringLiteral("%1 items").arg(paths.size());
    }
    lines
        << QStringLiteral("Size: %1 (%2 bytes)").arg(locale.formattedDataSize(bytes), locale.toString(bytes));
    if (folders > 0 || (paths.size() == 1 && QFileInfo(paths[0]).isDir()))
        lines << QStringLiteral("Contains: %1 files, %2 folders").arg(files).arg(folders);
    if (paths.size() == 1) {
        const QFileInfo info(paths[0]);
        lines
            << QStringLiteral("Modified: %1").arg(locale.toString(info.lastModified(), QLocale::LongFormat));
        lines << QStringLiteral("Read-only: %1").arg(info.isWritable() ? "No" : "Yes");
    }
    return lines.join(QLatin1Char('\n'));
}

void TSystemViewCommands::ShowFolderProperties()
{
    const QString directory = view_->RealDirectory();
    if (directory.isEmpty())
        ShowInformation(QStringLiteral("Name: %1").arg(view_->Directory()));
    else
        ShowInformation(ItemProperties({directory}));
}
