#include "workbench/ComponentDragDrop.h"

#include "FormFixture.h"
#include "support/gui/DropEvents.h"
#include "controls/DropWrap.h"
#include "controls/SystemListView.h"
#include "controls/SystemViewCommands.h"
#include "workbench/ErrForm.h"

#include <QAction>
#include <QDir>
#include <QDrag>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

std::unique_ptr<QMimeData> UriList(const QByteArray &list)
{
    auto data = std::make_unique<QMimeData>();
    data->setData("text/uri-list", list);
    return data;
}

class ComponentDragDropTest : public FormFixture {
protected:
    ~ComponentDragDropTest() override { TMyOLEDragDropInterface::DragLoop = nullptr; }

    // Lets the queued work run; when it shows the messages window, records and closes it.
    void settle()
    {
        lines.clear();
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            lines = form->ErrForm().Lines();
            if (form->ErrForm().isVisible())
                form->ErrForm().BClose->click();
        });
        closer.start(0);
        WaitFor([&] { return !closer.isActive(); });
    }
    QPoint RowPoint(TComponentList *list, const TAssignmentData *row) const
    {
        return list->visualRect(list->Model().index(list->Model().rowOf(row), 0)).center();
    }
    // A point of the list's viewport where there is no row.
    QPoint Empty(TComponentList *list) const
    {
        list->scrollToBottom();
        const QSize size = list->viewport()->size();
        for (int y = size.height() - 2; y > 0; y -= 4)
            for (int x : {size.width() - 2, 2})
                if (!list->indexAt(QPoint(x, y)).isValid())
                    return {x, y};
        ADD_FAILURE() << "no empty space in the list";
        return {};
    }

    QStringList lines;
};

} // namespace

TEST(ComponentDropKind, OneFileOneFolderSeveralOrNothingUsable)
{
    TTestDir dir;
    const QString file = dir.createFile("a.wav", "x");
    EXPECT_EQ(DropKind({file}, {}), 1);
    EXPECT_EQ(DropKind({dir.path()}, {}), 2);
    EXPECT_EQ(DropKind({file, dir.path()}, {}), 3);
    EXPECT_EQ(DropKind({file}, {"https://example.org/x.wav"}), 3);
    EXPECT_EQ(DropKind({dir.file("gone.wav")}, {}), 0);
    EXPECT_EQ(DropKind({}, {"https://example.org/x.wav"}), 0);
    EXPECT_EQ(DropKind({}, {}), 0);
    EXPECT_TRUE(PrivateDragFormatName().startsWith("Modwright for ReBirth 2 PID:"));
}

TEST_F(ComponentDragDropTest, OneFileOnARowIsAssignedToItWhateverItsNameAndStaysWhereItIs)
{
    TModwrightForm &f = start();
    f.SetActiveTab(1);
    const QString file = dir.file("odd name.wav");
    WriteFile(file, MakeWav(44100, 16, 1, 10));
    TComponentList *drums = f.LVAudioRes;
    TAssignmentData *bass = FindRow(drums, "808 Bassdrum");
    EXPECT_EQ(
        DropOn(drums->viewport(), *UriList(QUrl::fromLocalFile(file).toEncoded()), RowPoint(drums, bass)),
        Qt::CopyAction);
    settle();
    EXPECT_EQ(bass->assignedPath(), file);
    EXPECT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(drums->currentIndex().row(), drums->Model().rowOf(bass));
    // The same file on empty space: assigned only when its name matches, here it does not.
    EXPECT_EQ(DropOn(drums->viewport(), *UriList(QUrl::fromLocalFile(file).toEncoded()), Empty(drums)),
              Qt::CopyAction);
    settle();
    EXPECT_TRUE(lines.contains("**Error: Could not assign " + file)) << lines.join('|').toStdString();
}

TEST_F(ComponentDragDropTest, FoldersAndForeignEntriesOnlyOnEmptySpace)
{
    TModwrightForm &f = start();
    f.SetActiveTab(1);
    const QString folder = dir.createDir("kit");
    WriteFile(folder + "/808 bassdrum.WAV", MakeWav(44100, 16, 1, 10));
    TComponentList *drums = f.LVAudioRes;
    TAssignmentData *bass = FindRow(drums, "808 Bassdrum");
    TAssignmentData *first = drums->RowAt(0);
    const QByteArray folderUri = QUrl::fromLocalFile(folder).toEncoded();
    // A folder or a web address on a row is refused; so is a file that has gone.
    EXPECT_EQ(DropOn(drums->viewport(), *UriList(folderUri), RowPoint(drums, first)), Qt::IgnoreAction);
    EXPECT_EQ(DropOn(drums->viewport(), *UriList("https://example.org/a.wav\r\n"), RowPoint(drums, first)),
              Qt::IgnoreAction);
    EXPECT_EQ(DropOn(drums->viewport(), *UriList(QUrl::fromLocalFile(folder + "/gone.wav").toEncoded()),
                     RowPoint(drums, first)),
              Qt::IgnoreAction);
    // Plain text is no file list at all.
    QMimeData text;
    text.setText("hello");
    EXPECT_EQ(DropOn(drums->viewport(), text, Empty(drums)), Qt::IgnoreAction);
    settle();
    EXPECT_FALSE(first->isAssigned());

    // A folder on empty space assigns by name from it.
    EXPECT_EQ(DropOn(drums->viewport(), *UriList(folderUri), Empty(drums)), Qt::CopyAction);
    settle();
    EXPECT_EQ(QFileInfo(bass->assignedPath()).fileName(), "808 bassdrum.WAV");
    EXPECT_TRUE(lines.contains("**Error: Could not assign 808 Claves")) << lines.join('|').toStdString();

    // A web address among files is reported, the files are assigned.
    TAssignmentData *bd909 = FindRow(drums, "909 Bassdrum 1");
    const QString name909 = QFileInfo(bd909->modFileName()).completeBaseName() + ".wav";
    WriteFile(folder + "/" + name909, MakeWav(44100, 16, 1, 10));
    const QByteArray mixed =
        "https://example.org/a.wav\r\n" + QUrl::fromLocalFile(folder + "/" + name909).toEncoded() + "\r\n";
    EXPECT_EQ(DropOn(drums->viewport(), *UriList(mixed), Empty(drums)), Qt::CopyAction);
    settle();
    EXPECT_TRUE(lines.contains("**Error: Could not assign https://example.org/a.wav"))
        << lines.join('|').toStdString();
    EXPECT_EQ(QFileInfo(bd909->assignedPath()).fileName(), name909);
}

TEST_F(ComponentDragDropTest, AssignedComponentsDraggedIntoTheBrowserAreSavedThere)
{
    TModwrightForm &f = start();
    f.SetActiveTab(1);
    const QString source = dir.createDir("source");
    WriteFile(source + "/TR808BD.wav", MakeWav(44100, 16, 1, 10));
    TComponentList *drums = f.LVAudioRes;
    TAssignmentData *bass = FindRow(drums, "808 Bassdrum");
    ASSERT_NO_THROW(f.Set().AssignFile(*bass, source + "/TR808BD.wav"));
    const QString target = dir.createDir("target");
    TSystemListView *browser = f.Browser(1);
    browser->SetDirectory(target);
    ASSERT_TRUE(WaitFor([&] { return browser->RealDirectory() == target; }));

    bool sawOwnFormat = false;
    TMyOLEDragDropInterface::DragLoop = [&](QDrag &drag, Qt::DropActions) {
        const QMimeData *data = drag.mimeData();
        sawOwnFormat = data->data(MimeTypeOfFormat(RegisterClipboardFormat(PrivateDragFormatName()))) ==
                       QByteArray("I love Modwright !\0\0", 20);
        browser->resize(400, 300);
        return DropOn(browser, *data, QPoint(200, 290));
    };
    // Nothing selected is assigned: no drag.
    drums->clearSelection();
    emit drums->DragStart(drums->Model().index(drums->Model().rowOf(bass), 0));
    EXPECT_FALSE(sawOwnFormat);
    drums->selectionModel()->select(drums->Model().index(drums->Model().rowOf(bass), 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    emit drums->DragStart(drums->Model().index(drums->Model().rowOf(bass), 0));
    settle();
    EXPECT_TRUE(sawOwnFormat);
    EXPECT_EQ(QDir(target).entryList(QDir::Files).size(), 1)
        << QDir(target).entryList().join('|').toStdString();
}

TEST_F(ComponentDragDropTest, TheNewFolderButtonMakesAFolderInTheActiveBrowser)
{
    TModwrightForm &f = start();
    f.SetActiveTab(0);
    const QString folder = dir.createDir("pictures");
    f.Browser(0)->SetDirectory(folder);
    ASSERT_TRUE(WaitFor([&] { return f.BNewDir->isEnabled(); }));
    f.BNewDir->trigger();
    EXPECT_TRUE(QFileInfo(folder + "/New Folder").isDir());
    // A virtual folder offers no new folder.
    f.Browser(0)->SetDirectory("Computer");
    EXPECT_TRUE(WaitFor([&] { return !f.BNewDir->isEnabled(); }));
}
