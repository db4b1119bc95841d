#include "controls/SystemViewCommands.h"

#include "BrowserFixtures.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"
#include "support/ShellTestEnvironment.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QTreeView>
#include <QtEndian>
#include <gtest/gtest.h>

using namespace browser_fixtures;

namespace {

// Picks a menu item by caption (or verb) instead of showing the menu.
QAction *Pick(QMenu &menu, const QString &name)
{
    for (QAction *a : menu.actions()) {
        if (a->menu())
            if (QAction *found = Pick(*a->menu(), name))
                return found;
        if (!a->isSeparator() && (a->text() == name || a->data().toString() == name))
            return a;
    }
    return nullptr;
}

class SystemViewCommands : public ::testing::Test {
protected:
    SystemViewCommands()
    {
        qputenv("XDG_DATA_HOME", QFile::encodeName(env.dir.createDir("data")));
        TSystemViewCommands::OpenItem = [this](const QString &path) { opened << path; };
        TSystemViewCommands::MenuLoop = [this](QMenu &menu, QPoint) -> QAction * {
            menus << menu.objectName();
            QAction *a = choice.isEmpty() ? nullptr : Pick(menu, choice);
            return a && a->isEnabled() ? a : nullptr;
        };
        view->SetViewStyle(vsReport);
        view->resize(600, 400);
        view->show();
    }
    ~SystemViewCommands() override
    {
        TSystemViewCommands::OpenItem = nullptr;
        TSystemViewCommands::MenuLoop = nullptr;
        TMyOLEDragDropInterface::DragLoop = nullptr;
        QGuiApplication::clipboard()->clear();
        qunsetenv("XDG_DATA_HOME");
    }
    void Show(const QString &path)
    {
        view->SetDirectory(path);
        view->WaitForDetails(5000);
    }
    int Row(const QString &caption) const { return view->FindRow(caption); }
    void Select(const QStringList &captions)
    {
        for (int i = 0; i < captions.size(); ++i)
            view->SelectRow(Row(captions[i]), i > 0);
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(view->ReportView(), &press);
    }
    // The middle of a row, in the view's coordinates.
    QPoint RowPoint(int row) const
    {
        QTreeView *report = view->ReportView();
        const QRect r = report->visualRect(report->model()->index(row, 0));
        return report->viewport()->mapTo(view.get(), r.center());
    }
    QPoint Background() const { return {300, 390}; }
    // One drag over the view: enter, move, drop at a point; returns the action taken.
    Qt::DropAction DropOn(const QMimeData &data, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier)
    {
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(view.get(), &enter);
        if (!enter.isAccepted())
            return Qt::IgnoreAction;
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, keys);
        QApplication::sendEvent(view.get(), &move);
        QDropEvent drop(QPointF(at), offered, &data, Qt::LeftButton, keys);
        drop.setAccepted(false);
        QApplication::sendEvent(view.get(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }
    static std::unique_ptr<QMimeData> Files(const QStringList &paths)
    {
        auto data = std::make_unique<QMimeData>();
        data->setData("text/uri-list", FileListToUriList(paths));
        return data;
    }
    TSystemViewCommands &Commands() const { return view->Commands(); }
    bool Exists(const QString &relative) const { return QFileInfo::exists(env.dir.file(relative)); }

    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TSystemListView> view = std::make_unique<TSystemListView>();
    QStringList opened, menus;
    QString choice;
};

} // namespace

TEST_F(SystemViewCommands, NewFolderTakesTheNextFreeNameAndOpensItsCaptionForEditing)
{
    env.dir.createDir("home/New Folder");
    env.dir.createDir("home/New Folder (0)");
    Show(env.home);
    Commands().CreateNewFolder();
    EXPECT_TRUE(Exists("home/New Folder (1)"));
    const int row = Row("New Folder (1)");
    ASSERT_GE(row, 0);
    EXPECT_EQ(view->SelectedRows(), std::vector<int>{row});
    auto *editor = view->ReportView()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "New Folder (1)");
    // Finishing the edit renames the new folder.
    editor->setText("Drums");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    EXPECT_TRUE(WaitUntil([&] { return Exists("home/Drums"); }));
    EXPECT_FALSE(Exists("home/New Folder (1)"));
    EXPECT_GE(Row("Drums"), 0);
    // The Enter that ended the edit did not open the folder.
    EXPECT_EQ(view->RealDirectory(), env.home);
}

TEST_F(SystemViewCommands, RenameRefusesCaseOnlyChangesSlashesAndExistingNames)
{
    env.dir.createFile("home/a.wav", "a");
    env.dir.createFile("home/b.wav", "b");
    Show(env.home);
    int renamed = 0;
    view->OnRenameFile = [&](TSystemListView *, int) { ++renamed; };
    EXPECT_FALSE(Commands().RenameItem(Row("a.wav"), "A.WAV"));
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(Commands().RenameItem(Row("a.wav"), "x/y.wav"));
    EXPECT_FALSE(Commands().RenameItem(Row("a.wav"), "../a.wav"));
    EXPECT_FALSE(Commands().RenameItem(Row("a.wav"), "b.wav"));
    EXPECT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(TTestDir::readAll(env.dir.file("home/b.wav")), "b");
    EXPECT_TRUE(Exists("home/a.wav"));
    EXPECT_EQ(renamed, 0);
    EXPECT_TRUE(Commands().RenameItem(Row("a.wav"), "c.wav"));
    EXPECT_EQ(renamed, 1);
    EXPECT_TRUE(Exists("home/c.wav"));
    EXPECT_EQ(Row("a.wav"), -1);
    EXPECT_EQ(view->ItemPath(Row("c.wav")), env.dir.file("home/c.wav"));
    // The ".." row has no item to rename.
    EXPECT_FALSE(Commands().RenameItem(Row(".."), "up"));
}

TEST_F(SystemViewCommands, DeleteKeysAskMoveToTrashOrDeleteForGood)
{
    env.dir.createFile("home/a.wav", "a");
    env.dir.createFile("home/b.wav", "b");
    env.dir.createFile("home/c.wav", "c");
    Show(env.home);
    Select({"a.wav"});
    boxes.answers = {maNo};
    Key(Qt::Key_Delete);
    EXPECT_TRUE(Exists("home/a.wav"));
    EXPECT_EQ(boxes.shown, QStringList{"confirm: Are you sure you want to move \"a.wav\" to the trash?"});
    boxes.answers = {maYes};
    Key(Qt::Key_Delete);
    EXPECT_FALSE(Exists("home/a.wav"));
    EXPECT_TRUE(Exists("data/Trash/files/a.wav"));

    Select({"b.wav"});
    boxes.shown.clear();
    boxes.answers = {maYes};
    Key(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(boxes.shown, QStringList{"confirm: Are you sure you want to delete \"b.wav\" for good?"});
    EXPECT_FALSE(Exists("home/b.wav"));
    EXPECT_FALSE(Exists("data/Trash/files/b.wav"));

    Select({"c.wav"});
    boxes.shown.clear();
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_FALSE(Exists("home/c.wav"));
    // The watch thread takes the rows away.
    EXPECT_TRUE(WaitUntil([&] { return Row("c.wav") < 0 && Row("a.wav") < 0; }));

    // The ".." row is never deleted.
    Select({".."});
    Key(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(QFileInfo::exists(env.dir.path()));
}

TEST_F(SystemViewCommands, DefaultCommandEntersOneFolderOpensFilesAndCanBeStopped)
{
    env.dir.createDir("home/sub");
    env.dir.createFile("home/a.wav", "a");
    Show(env.home);
    Select({"sub", "a.wav"});
    Key(Qt::Key_Return);
    EXPECT_EQ(opened, (QStringList{env.dir.file("home/sub"), env.dir.file("home/a.wav")}));
    EXPECT_EQ(view->RealDirectory(), env.home);

    bool stop = true;
    view->OnDefaultCommand = [&](TSystemListView *, bool &doDefault) { doDefault = !stop; };
    Select({"sub"});
    Key(Qt::Key_Return);
    EXPECT_EQ(view->RealDirectory(), env.home);
    stop = false;
    Key(Qt::Key_Return);
    EXPECT_EQ(view->RealDirectory(), env.dir.file("home/sub"));
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view->RealDirectory(), env.home);
}

TEST_F(SystemViewCommands, CutMarksLastUntilTheClipboardChangesAndPasteMovesOnce)
{
    env.dir.createFile("home/a.wav", "a");
    env.dir.createDir("home/sub");
    Show(env.home);
    Select({"a.wav"});
    Key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(Commands().HasCutMarks());
    EXPECT_TRUE(view->Row(Row("a.wav"))->Cut);
    EXPECT_EQ(TSystemViewCommands::PreferredEffect(QGuiApplication::clipboard()->mimeData()),
              DROPEFFECT_MOVE);

    Show(env.dir.file("home/sub"));
    Commands().PasteFromClipboard(false);
    EXPECT_TRUE(Exists("home/sub/a.wav"));
    EXPECT_FALSE(Exists("home/a.wav"));
    // The clipboard is emptied after a move, which takes the marks away.
    const QMimeData *left = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(!left || !left->hasFormat("text/uri-list"));
    EXPECT_FALSE(Commands().HasCutMarks());
}

TEST_F(SystemViewCommands, PasteAsksBeforeReplacingAndRefusesVirtualFolders)
{
    env.dir.createFile("volume/a.wav", "new");
    env.dir.createFile("home/a.wav", "old");
    Show(env.home);
    QGuiApplication::clipboard()->setMimeData(Files({env.dir.file("volume/a.wav")}).release());
    boxes.answers = {maNo};
    Commands().PasteFromClipboard(false);
    EXPECT_EQ(TTestDir::readAll(env.dir.file("home/a.wav")), "old");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].contains("already contains a file named \"a.wav\""));
    Commands().PasteFromClipboard(true);
    EXPECT_TRUE(QFileInfo(env.dir.file("home/Link to a.wav")).isSymLink());
    EXPECT_TRUE(Exists("volume/a.wav"));

    Show("Computer");
    try {
        Commands().PasteFromClipboard(false);
        FAIL();
    } catch (const ESystemViews &e) {
        EXPECT_STREQ(e.what(), "Unable to Paste.");
    }
}

TEST_F(SystemViewCommands, BackgroundMenuStatesFollowTheViewAndTheClipboard)
{
    env.dir.createFile("home/a.wav", "a");
    Show(env.home);
    auto data = Files({env.dir.file("home/a.wav")});
    QByteArray copyOnly(4, '\0');
    qToLittleEndian<quint32>(DROPEFFECT_COPY, copyOnly.data());
    data->setData(MimeTypeOfFormat(RegisterClipboardFormat("Preferred DropEffect")), copyOnly);
    QGuiApplication::clipboard()->setMimeData(data.release());
    QMenu *menu = Commands().PrepareBackgroundMenu();
    EXPECT_TRUE(Pick(*menu, "&Details")->isChecked());
    EXPECT_FALSE(Pick(*menu, "Lar&ge Icons")->isChecked());
    EXPECT_TRUE(Pick(*menu, "&Paste")->isEnabled());
    EXPECT_FALSE(Pick(*menu, "Paste &Shortcut")->isEnabled());
    EXPECT_FALSE(Pick(*menu, "&Auto Arrange")->isEnabled());
    EXPECT_TRUE(Pick(*menu, "by &Name")->isChecked());
    EXPECT_TRUE(Pick(*menu, "by Si&ze")->isEnabled());
    EXPECT_FALSE(Pick(*menu, "by Si&ze")->isChecked());
    EXPECT_EQ(Pick(*menu, "Re&fresh")->statusTip(), "Refreshes the contents.");

    // Copied by a file manager: paste and paste shortcut both.
    auto gnome = Files({env.dir.file("home/a.wav")});
    gnome->setData("x-special/gnome-copied-files", "copy\nfile:///x");
    QGuiApplication::clipboard()->setMimeData(gnome.release());
    Commands().PrepareBackgroundMenu();
    EXPECT_TRUE(Pick(*menu, "Paste &Shortcut")->isEnabled());

    // The menu's commands, through a right click where there is no row.
    choice = "&Folder";
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(300, 380), view->mapToGlobal(QPoint(300, 380)));
    QApplication::sendEvent(view->ReportView()->viewport(), &click);
    EXPECT_EQ(menus, QStringList{"BackgroundMenu"});
    EXPECT_TRUE(Exists("home/New Folder"));
    choice = "S&mall Icons";
    Commands().ShowBackgroundMenu({});
    EXPECT_EQ(view->ViewStyle(), vsSmallIcon);
    EXPECT_TRUE(Commands().PrepareBackgroundMenu()->actions().size() > 0);
    EXPECT_TRUE(Pick(*menu, "&Auto Arrange")->isEnabled());
}

TEST_F(SystemViewCommands, ItemMenuRunsTheVerbsOfTheSelection)
{
    env.dir.createFile("home/a.wav", "a");
    env.dir.createFile("home/b.wav", "b");
    Show(env.home);
    Select({"a.wav", "b.wav"});
    std::unique_ptr<QMenu> menu(Commands().MakeItemMenu());
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Pick(*menu, "rename"), nullptr); // one item only
    EXPECT_EQ(Pick(*menu, "Explore"), nullptr);
    choice = "delete";
    boxes.answers = {maYes};
    EXPECT_TRUE(Commands().ShowItemContextMenu({}));
    EXPECT_EQ(boxes.shown, QStringList{"confirm: Are you sure you want to move these 2 items to the trash?"});
    EXPECT_FALSE(Exists("home/a.wav"));
    EXPECT_FALSE(Exists("home/b.wav"));

    // A right click on ".." shows the folder's menu instead.
    menus.clear();
    choice.clear();
    const QPoint up = RowPoint(Row(".."));
    QContextMenuEvent click(QContextMenuEvent::Mouse, view->ReportView()->viewport()->mapFrom(view.get(), up),
                            view->mapToGlobal(up));
    QApplication::sendEvent(view->ReportView()->viewport(), &click);
    EXPECT_EQ(menus, QStringList{"BackgroundMenu"});
}

TEST_F(SystemViewCommands, DroppedFilesGoIntoTheFolderOrTheRowUnderTheMouse)
{
    env.dir.createFile("volume/in.wav", "in");
    env.dir.createFile("volume/two.wav", "two");
    env.dir.createDir("home/sub");
    Show(env.home);
    // With Ctrl: a copy, into the folder shown.
    EXPECT_EQ(DropOn(*Files({env.dir.file("volume/in.wav")}), Background(), Qt::ControlModifier),
              Qt::CopyAction);
    EXPECT_TRUE(Exists("home/in.wav"));
    EXPECT_TRUE(Exists("volume/in.wav"));
    // Onto a folder row, with Shift: moved into that folder.
    EXPECT_EQ(DropOn(*Files({env.dir.file("volume/two.wav")}), RowPoint(Row("sub")), Qt::ShiftModifier),
              Qt::MoveAction);
    EXPECT_TRUE(Exists("home/sub/two.wav"));
    EXPECT_FALSE(Exists("volume/two.wav"));
    EXPECT_FALSE(view->Row(Row("sub"))->DropHilited);
    // Again: the file that is there now is replaced only after asking.
    env.dir.createFile("volume/in.wav", "newer");
    boxes.answers = {maNo};
    DropOn(*Files({env.dir.file("volume/in.wav")}), Background(), Qt::ControlModifier);
    EXPECT_EQ(TTestDir::readAll(env.dir.file("home/in.wav")), "in");
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(SystemViewCommands, BadDropsGiveAMessageAndChangeNothing)
{
    env.dir.createDir("home/sub/deeper");
    Show(env.home);
    // Nothing but a web address: a message, nothing else.
    QMimeData web;
    web.setData("text/uri-list", "https://example.org/a.wav\r\n");
    EXPECT_EQ(DropOn(web, Background(), Qt::ControlModifier), Qt::IgnoreAction);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(
        boxes.shown[0].startsWith("error: Only files and folders of this computer can be dropped here"));
    // A file that has gone meanwhile.
    boxes.shown.clear();
    EXPECT_EQ(DropOn(*Files({env.dir.file("volume/gone.wav")}), Background(), Qt::ControlModifier),
              Qt::IgnoreAction);
    EXPECT_EQ(boxes.shown,
              QStringList{"error: \"" + env.dir.file("volume/gone.wav") + "\" does not exist any more."});
    // A folder into itself.
    boxes.shown.clear();
    Show(env.dir.file("home/sub"));
    DropOn(*Files({env.dir.file("home/sub")}), RowPoint(Row("deeper")), Qt::ShiftModifier);
    EXPECT_TRUE(Exists("home/sub/deeper"));
    EXPECT_FALSE(Exists("home/sub/deeper/sub"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].contains("the destination folder is inside the source folder"));
    // Plain text is no file list: the view does not take it.
    QMimeData text;
    text.setText("hello");
    EXPECT_EQ(DropOn(text, Background()), Qt::IgnoreAction);
}

TEST_F(SystemViewCommands, TheProgramsOwnDragsGoToOnUserDropWithTheFolder)
{
    env.dir.createDir("home/sub");
    env.dir.createFile("home/a.wav", "a");
    Show(env.home);
    const int format = RegisterClipboardFormat("Modwright test PID:1");
    view->SetUserDropFormat(format);
    QStringList dirs;
    view->OnUserDrop = [&](TSystemListView *, const QString &dir) {
        dirs << dir;
        throw EModwright("swallowed");
    };
    TMyDragDataList list;
    list.Add(format, QByteArray("I love Modwright !\0\0", 20));
    std::unique_ptr<QMimeData> data(list.ToMimeData());
    EXPECT_EQ(DropOn(*data, Background()), Qt::CopyAction);
    EXPECT_EQ(DropOn(*data, RowPoint(Row("sub"))), Qt::CopyAction);
    // A file row is no drop target.
    EXPECT_EQ(DropOn(*data, RowPoint(Row("a.wav"))), Qt::IgnoreAction);
    EXPECT_EQ(dirs, (QStringList{env.home, env.dir.file("home/sub")}));
    // Three bytes are not the program's drag.
    TMyDragDataList shortList;
    shortList.Add(format, QByteArray("abc"));
    data.reset(shortList.ToMimeData());
    EXPECT_EQ(DropOn(*data, Background()), Qt::IgnoreAction);
    EXPECT_EQ(dirs.size(), 2);
}

TEST_F(SystemViewCommands, DraggingRowsOutCarriesFilesItemListsAndOffsets)
{
    env.dir.createFile("home/a.wav", "a");
    env.dir.createFile("home/b.wav", "b");
    Show(env.home);
    Select({"a.wav"});
    QByteArray uris, idList, offsets;
    bool dropOnSelf = true;
    TMyOLEDragDropInterface::DragLoop = [&](QDrag &drag, Qt::DropActions) {
        const QMimeData *d = drag.mimeData();
        uris = d->data("text/uri-list");
        idList = d->data(MimeTypeOfFormat(RegisterClipboardFormat("Shell IDList Array")));
        offsets = d->data(MimeTypeOfFormat(RegisterClipboardFormat("Shell Object Offsets")));
        // Dropped back on its own selected row: nothing happens.
        dropOnSelf = DropOn(*d, RowPoint(Row("a.wav"))) == Qt::IgnoreAction;
        return Qt::IgnoreAction;
    };
    // Press on b.wav (not selected) and move 3 pixels: both rows go.
    QWidget *viewport = view->ReportView()->viewport();
    const QPoint start = viewport->mapFrom(view.get(), RowPoint(Row("b.wav")));
    QMouseEvent press(QEvent::MouseButtonPress, start, viewport->mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    Select({"a.wav"}); // the press selected b.wav; a.wav stays selected as well
    view->SelectRow(Row("b.wav"), true);
    const QPoint to = start + QPoint(3, 0);
    QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    EXPECT_EQ(UriListToFileList(uris), (QStringList{env.dir.file("home/a.wav"), env.dir.file("home/b.wav")}));
    EXPECT_TRUE(dropOnSelf);
    ASSERT_GE(idList.size(), 16);
    EXPECT_EQ(qFromLittleEndian<quint32>(idList.constData()), 2u);
    EXPECT_EQ(qFromLittleEndian<quint32>(idList.constData() + 4), 4u * 2 + 8); // the header's length
    EXPECT_EQ(offsets.size(), 8 * 2 + 8);
    EXPECT_EQ(qFromLittleEndian<qint32>(offsets.constData()), viewport->mapTo(view.get(), start).x());
}

TEST_F(SystemViewCommands, HistoryKeysAndMouseButtonsGoBackAndForward)
{
    env.dir.createDir("home/sub");
    Show(env.home);
    Show(env.dir.file("home/sub"));
    Key(Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(view->RealDirectory(), env.home);
    Key(Qt::Key_Right, Qt::AltModifier | Qt::ControlModifier); // not with Ctrl
    EXPECT_EQ(view->RealDirectory(), env.home);
    Key(Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(view->RealDirectory(), env.dir.file("home/sub"));
    QWidget *viewport = view->ReportView()->viewport();
    const auto release = [&](Qt::MouseButton button, Qt::KeyboardModifiers mods) {
        QMouseEvent event(QEvent::MouseButtonRelease, QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)),
                          button, Qt::NoButton, mods);
        QApplication::sendEvent(viewport, &event);
    };
    release(Qt::BackButton, Qt::ShiftModifier); // not with Shift
    EXPECT_EQ(view->RealDirectory(), env.dir.file("home/sub"));
    release(Qt::BackButton, Qt::NoModifier);
    EXPECT_EQ(view->RealDirectory(), env.home);
    release(Qt::ForwardButton, Qt::NoModifier);
    EXPECT_EQ(view->RealDirectory(), env.dir.file("home/sub"));
    // Ctrl+A selects every row; F2 opens the caption of the first for editing (".." has none).
    env.dir.createFile("home/sub/a.wav", "a");
    Key(Qt::Key_F5);
    EXPECT_GE(Row("a.wav"), 0);
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(int(view->SelectedRows().size()), view->RowCount());
    Select({"a.wav"});
    Key(Qt::Key_F2);
    auto *editor = view->ReportView()->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    // Keys the editor passes on do nothing to the view meanwhile.
    Key(Qt::Key_Backspace);
    EXPECT_EQ(view->RealDirectory(), env.dir.file("home/sub"));
}

TEST_F(SystemViewCommands, FileRowsAndTheParentRowTakeNoDrop)
{
    env.dir.createFile("volume/in.wav", "in");
    env.dir.createFile("home/sub/here.wav", "here");
    Show(env.dir.file("home/sub"));
    ASSERT_GE(Row(".."), 0);
    ASSERT_GE(Row("here.wav"), 0);
    for (const QString &caption : {QString("here.wav"), QString("..")}) {
        for (Qt::KeyboardModifiers keys : {Qt::NoModifier, Qt::ControlModifier, Qt::ShiftModifier})
            EXPECT_EQ(DropOn(*Files({env.dir.file("volume/in.wav")}), RowPoint(Row(caption)), keys),
                      Qt::IgnoreAction)
                << caption.toStdString();
        EXPECT_FALSE(view->Row(Row(caption))->DropHilited);
    }
    EXPECT_FALSE(Exists("home/sub/in.wav"));
    EXPECT_FALSE(Exists("home/in.wav"));
    EXPECT_TRUE(Exists("volume/in.wav"));
    EXPECT_TRUE(boxes.shown.isEmpty());

    // The program's own drags neither.
    const int format = RegisterClipboardFormat("Modwright test PID:2");
    view->SetUserDropFormat(format);
    QStringList dirs;
    view->OnUserDrop = [&](TSystemListView *, const QString &dir) { dirs << dir; };
    TMyDragDataList list;
    list.Add(format, QByteArray("I love Modwright !\0\0", 20));
    std::unique_ptr<QMimeData> data(list.ToMimeData());
    EXPECT_EQ(DropOn(*data, RowPoint(Row("here.wav"))), Qt::IgnoreAction);
    EXPECT_EQ(DropOn(*data, RowPoint(Row(".."))), Qt::IgnoreAction);
    EXPECT_TRUE(dirs.isEmpty());
}

// Drags the row's icon in the icon view by a press and a move, and drops it at `to`
// (view coordinates) while the drag runs; returns the action the drop reported.
class IconMoves : public SystemViewCommands {
protected:
    QPoint IconPoint(int row) const
    {
        QListView *icons = view->IconView();
        const QRect r = icons->visualRect(icons->model()->index(row, 0));
        return icons->viewport()->mapTo(view.get(), r.center());
    }
    Qt::DropAction DragIcon(int row, QPoint to)
    {
        Qt::DropAction dropped = Qt::IgnoreAction;
        TMyOLEDragDropInterface::DragLoop = [&](QDrag &drag, Qt::DropActions) {
            dropped = DropOn(*drag.mimeData(), to);
            return dropped;
        };
        QWidget *viewport = view->IconView()->viewport();
        const QPoint start = viewport->mapFrom(view.get(), IconPoint(row));
        QMouseEvent press(QEvent::MouseButtonPress, start, viewport->mapToGlobal(start), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        // The press selects the icon's row, as a press on a row of the details style does.
        EXPECT_EQ(view->SelectedRows(), std::vector<int>{row});
        const QPoint step = start + QPoint(5, 5);
        QMouseEvent move(QEvent::MouseMove, step, viewport->mapToGlobal(step), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, step, viewport->mapToGlobal(step), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
        TMyOLEDragDropInterface::DragLoop = nullptr;
        return dropped;
    }
};

TEST_F(IconMoves, ADropOnTheBackgroundMovesTheIconWithoutAutoArrange)
{
    env.dir.createFiles({"home/a.wav", "home/b.wav"});
    Show(env.home);
    for (TViewStyle style : {vsIcon, vsSmallIcon}) {
        view->SetViewStyle(style);
        view->SetAutoArrange(false);
        QApplication::processEvents();
        const int a = Row("a.wav");
        const QPoint before = view->IconPosition(a);
        const QPoint from = IconPoint(a);
        const QPoint to(from.x() + 40, 330); // below every icon: the background
        // The files stay, so the drag's source is told that nothing was moved.
        EXPECT_EQ(DragIcon(a, to), Qt::IgnoreAction);
        EXPECT_EQ(view->IconPosition(a), before + (to - from)) << style;
        // The files stay where they are.
        EXPECT_TRUE(Exists("home/a.wav"));

        // "Line Up Icons", from a right click on the background, puts it on the nearest
        // cell of the grid.
        const QPoint moved = view->IconPosition(a);
        choice = "Line &Up Icons";
        QWidget *viewport = view->IconView()->viewport();
        const QPoint corner(viewport->width() - 5, viewport->height() - 5);
        QContextMenuEvent click(QContextMenuEvent::Mouse, corner, viewport->mapToGlobal(corner));
        QApplication::sendEvent(viewport, &click);
        choice.clear();
        const QSize grid = view->IconView()->gridSize();
        const QPoint lined = view->IconPosition(a);
        EXPECT_EQ(lined.x() % grid.width(), 0) << style;
        EXPECT_EQ(lined.y() % grid.height(), 0) << style;
        EXPECT_LE(std::abs(lined.x() - moved.x()), grid.width() / 2) << style;
        EXPECT_LE(std::abs(lined.y() - moved.y()), grid.height() / 2) << style;
    }
}

TEST_F(IconMoves, ADragThatEndsOutsideEveryWindowChangesNothing)
{
    env.dir.createFiles({"home/a.wav", "home/b.wav"});
    Show(env.home);
    view->SetViewStyle(vsIcon);
    view->SetAutoArrange(false);
    QApplication::processEvents();
    const int a = Row("a.wav");
    const QPoint before = view->IconPosition(a);
    // Over the view's background, then away and released nowhere: no drop comes.
    TMyOLEDragDropInterface::DragLoop = [&](QDrag &drag, Qt::DropActions) {
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
        QDragEnterEvent enter(QPoint(300, 330), offered, drag.mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &enter);
        QDragLeaveEvent leave;
        QApplication::sendEvent(view.get(), &leave);
        return Qt::IgnoreAction;
    };
    QWidget *viewport = view->IconView()->viewport();
    const QPoint start = viewport->mapFrom(view.get(), IconPoint(a));
    QMouseEvent press(QEvent::MouseButtonPress, start, viewport->mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    const QPoint step = start + QPoint(5, 5);
    QMouseEvent move(QEvent::MouseMove, step, viewport->mapToGlobal(step), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    TMyOLEDragDropInterface::DragLoop = nullptr;
    EXPECT_EQ(view->IconPosition(a), before);
    EXPECT_TRUE(Exists("home/a.wav"));
    EXPECT_FALSE(view->Row(a)->DropHilited);
}

TEST_F(IconMoves, AutoArrangeKeepsTheOrderAndOtherStylesNeverMoveIcons)
{
    env.dir.createFiles({"home/a.wav", "home/b.wav"});
    Show(env.home);
    view->SetViewStyle(vsIcon);
    view->SetAutoArrange(true);
    QApplication::processEvents();
    const int a = Row("a.wav");
    const QPoint before = view->IconPosition(a);
    const QPoint from = IconPoint(a);
    DragIcon(a, QPoint(from.x() + 40, 330));
    EXPECT_EQ(view->IconPosition(a), before);

    // In the list style the background is the folder itself: nothing to move, no drop.
    view->SetViewStyle(vsList);
    QApplication::processEvents();
    EXPECT_EQ(DragIcon(a, QPoint(300, 330)), Qt::IgnoreAction);
    EXPECT_TRUE(Exists("home/a.wav"));
}
