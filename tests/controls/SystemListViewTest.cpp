#include "controls/SystemListView.h"

#include "BrowserFixtures.h"
#include "common/MessageBoxes.h"
#include "platform/Shell.h"
#include "support/NoFileOverride.h"
#include "support/ShellTestEnvironment.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QListView>
#include <QTreeView>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace browser_fixtures;

namespace {

class SystemListViewTest : public ::testing::Test {
protected:
    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 0; i < view->RowCount(); ++i)
            captions << view->Row(i)->Caption;
        return captions;
    }
    // The text of the row with this caption in the column with this id.
    QString Cell(const QString &caption, int columnId) const
    {
        const int row = view->FindRow(caption);
        const auto ids = view->ColumnIds();
        const auto column = std::find(ids.begin(), ids.end(), columnId);
        if (row < 0 || column == ids.end())
            return QStringLiteral("<missing>");
        return view->RowText(row, int(column - ids.begin()));
    }
    void Show(const QString &path)
    {
        view->SetDirectory(path);
        view->WaitForDetails(5000);
    }

    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TSystemListView> view = std::make_unique<TSystemListView>();
};

} // namespace

TEST_F(SystemListViewTest, TheRootHasNoParentRowAndNoWayUp)
{
    env.dir.createFile("desktop/todo.txt", "x");
    env.dir.createDir("desktop/Kits");
    int changes = 0;
    view->OnChangeDir = [&](TSystemListView *) { ++changes; };
    ASSERT_TRUE(view->BrowseToPidl(TItemIdList()));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(view->Directory(), "Desktop");
    EXPECT_EQ(view->RealDirectory(), env.desktop);
    EXPECT_EQ(Captions(), QStringList({"Home", "Computer", "Kits", "todo.txt"}));
    EXPECT_FALSE(view->ToolButtons() & ToolButton(tbDirUp));
    EXPECT_TRUE(view->ToolButtons() & ToolButton(tbNewDir)) << "the desktop has a folder on disk";
    EXPECT_TRUE(view->ToolButtons() & ToolButton(tbRefresh));
}

TEST_F(SystemListViewTest, ComputerIsVirtualWithTheVolumes)
{
    Show("Computer");
    EXPECT_EQ(view->Directory(), "Computer");
    EXPECT_EQ(view->RealDirectory(), "");
    EXPECT_EQ(Captions(), QStringList({"..", "File System", "STICK"}));
    EXPECT_TRUE(view->Row(0)->IsParentLink);
    EXPECT_TRUE(view->ToolButtons() & ToolButton(tbDirUp));
    EXPECT_FALSE(view->ToolButtons() & ToolButton(tbNewDir)) << "no folder can be made in Computer";
    EXPECT_EQ(Cell("STICK", ciType), "Removable Disk");
    // ".." at Computer is the desktop.
    ASSERT_TRUE(view->EnterRow(0));
    EXPECT_EQ(view->Directory(), "Desktop");
}

TEST_F(SystemListViewTest, FileSystemFolderWithHiddenFilesAndFolders)
{
    env.dir.createFiles({"home/b.wav", "home/A.txt", "home/.secret"});
    env.dir.createDir("home/Sub");
    Show(env.home);
    EXPECT_EQ(view->Directory(), env.home);
    EXPECT_EQ(view->RealDirectory(), env.home);
    EXPECT_EQ(Captions(), QStringList({"..", "Sub", "A.txt", "b.wav"}));
    view->SetShowHiddenFiles(true);
    EXPECT_EQ(Captions(), QStringList({"..", "Sub", ".secret", "A.txt", "b.wav"}));
    EXPECT_EQ(Cell(".secret", ciAttributes), "H");
    view->SetShowFolders(false);
    EXPECT_EQ(Captions(), QStringList({"..", ".secret", "A.txt", "b.wav"})) << "the parent row stays";
}

TEST_F(SystemListViewTest, ExtensionsFilterFilesIgnoringCaseButNeverFolders)
{
    env.dir.createFiles({"home/a.JPG", "home/b.bmp", "home/c.txt", "home/noext"});
    env.dir.createDir("home/folder.txt");
    view->SetAllowedExtensions("bmp  jpg");
    Show(env.home);
    EXPECT_EQ(Captions(), QStringList({"..", "folder.txt", "a.JPG", "b.bmp"}));
    view->SetAllowedExtensions("");
    EXPECT_EQ(Captions(), QStringList({"..", "folder.txt", "a.JPG", "b.bmp", "c.txt", "noext"}));
    view->OnCanAdd = [](TSystemListView *, const TFindData &data, bool &canAdd) {
        canAdd = !data.FileName.startsWith('c');
    };
    view->RefreshFolder();
    EXPECT_EQ(Captions(), QStringList({"..", "folder.txt", "a.JPG", "b.bmp", "noext"}));
}

TEST_F(SystemListViewTest, DisplayModesChooseTheColumnSets)
{
    Show(env.home);
    EXPECT_EQ(view->ColumnType(), ctFileSystem);
    EXPECT_EQ(view->ColumnIds(), std::vector<int>({ciName, ciSize, ciType, ciModified, ciAttributes}));
    EXPECT_EQ(view->ColumnCaption(0), "Name+");
    EXPECT_EQ(view->ColumnCaption(1), "Size");

    view->SetDisplayMode(dmImages);
    EXPECT_EQ(view->AllowedExtensions(), "bmp jpg");
    EXPECT_EQ(view->ColumnType(), ctImages);
    EXPECT_EQ(view->ColumnIds(),
              std::vector<int>({ciName, ciSize, ciDimension, ciColors, ciModified, ciAttributes}));

    view->SetDisplayMode(dmAudio);
    EXPECT_EQ(view->AllowedExtensions(), "aif aiff aifc afc wav");
    EXPECT_EQ(view->ColumnIds(), std::vector<int>({ciName, ciSize, ciFrequency, ciResolution, ciChannels,
                                                   ciSamples, ciModified, ciAttributes}));
}

TEST_F(SystemListViewTest, SizeTypeAndAttributeColumns)
{
    env.dir.createFile("home/zero.dat", "");
    env.dir.createFile("home/one.dat", "x");
    env.dir.createFile("home/k1.dat", QByteArray(1024, 'x'));
    env.dir.createFile("home/k2.dat", QByteArray(1025, 'x'));
    env.dir.createFile("home/notes.txt", "x");
    env.dir.createFile("home/blob.qqq", "x");
    env.dir.createFile("home/noextension", "x");
    const QString locked = env.dir.createFile("home/locked.dat", "x");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0444), 0);
    env.dir.createDir("home/Folder");
    TNoFileOverride permissions;
    Show(env.home);
    EXPECT_EQ(Cell("zero.dat", ciSize), "0KB");
    EXPECT_EQ(Cell("one.dat", ciSize), "1KB");
    EXPECT_EQ(Cell("k1.dat", ciSize), "1KB");
    EXPECT_EQ(Cell("k2.dat", ciSize), "2KB");
    EXPECT_EQ(Cell("Folder", ciSize), "") << "folders have no size";
    EXPECT_EQ(Cell("notes.txt", ciType), "Plain text document");
    EXPECT_EQ(Cell("blob.qqq", ciType), "QQQ File");
    EXPECT_EQ(Cell("noextension", ciType), "File");
    EXPECT_EQ(Cell("Folder", ciType), "Folder");
    EXPECT_EQ(Cell("locked.dat", ciAttributes), "R");
    EXPECT_EQ(Cell("one.dat", ciAttributes), "");
    EXPECT_FALSE(Cell("one.dat", ciModified).isEmpty());
    EXPECT_FALSE(Cell("Folder", ciModified).isEmpty()) << "folders show their time";
}

TEST_F(SystemListViewTest, ImageColumnsFromTheProbes)
{
    env.dir.createFile("home/panel.bmp", Bmp(16, 8, 4));
    env.dir.createFile("home/topdown.BMP", Bmp(20, -10, 24));
    env.dir.createFile("home/broken.bmp", "BMxx");
    env.dir.createDir("home/skins");
    view->SetDisplayMode(dmImages);
    Show(env.home);
    EXPECT_EQ(Cell("panel.bmp", ciDimension), "16x8");
    EXPECT_EQ(Cell("panel.bmp", ciColors), "4bit");
    EXPECT_EQ(Cell("topdown.BMP", ciDimension), "20x10");
    EXPECT_EQ(Cell("topdown.BMP", ciColors), "24bit");
    EXPECT_TRUE(Cell("broken.bmp", ciDimension).startsWith("Could not read bitmap."))
        << Cell("broken.bmp", ciDimension).toStdString();
    EXPECT_EQ(Cell("broken.bmp", ciColors), "");
    EXPECT_EQ(Cell("skins", ciDimension), "") << "folders are not probed";
    const TListItemData *panel = view->Row(view->FindRow("panel.bmp"));
    EXPECT_EQ(panel->InfoSlots[0], 16);
    EXPECT_EQ(panel->InfoSlots[1], 8);
    EXPECT_EQ(panel->InfoSlots[2], 4);
}

TEST_F(SystemListViewTest, AudioColumnsFromTheProbes)
{
    env.dir.createFile("home/kick.wav", Wav(2, 16, 22050, 100));
    env.dir.createFile("home/hat.WAV", Wav(1, 8, 11025, 7));
    env.dir.createFile("home/broken.wav", "RIFF");
    env.dir.createFile("home/long.aiff", "FORM");
    view->SetDisplayMode(dmAudio);
    Show(env.home);
    EXPECT_EQ(Cell("kick.wav", ciFrequency), "22050");
    EXPECT_EQ(Cell("kick.wav", ciResolution), "16");
    EXPECT_EQ(Cell("kick.wav", ciChannels), "stereo");
    EXPECT_EQ(Cell("kick.wav", ciSamples), "100");
    EXPECT_EQ(Cell("hat.WAV", ciChannels), "mono");
    EXPECT_EQ(Cell("hat.WAV", ciSamples), "7");
    // The error shows once, in the first of the numeric columns.
    EXPECT_FALSE(Cell("broken.wav", ciFrequency).isEmpty());
    EXPECT_EQ(Cell("broken.wav", ciResolution), "");
    EXPECT_EQ(Cell("broken.wav", ciChannels), "");
    EXPECT_EQ(Cell("broken.wav", ciSamples), "");
    EXPECT_EQ(Cell("long.aiff", ciFrequency), "No valid WAV/AIFF file.") << "listed, but no probe knows it";
}

TEST_F(SystemListViewTest, RelistingProbesOnlyTheFilesThatChanged)
{
    for (int i = 0; i < 5; ++i)
        env.dir.createFile(QString("home/%1.bmp").arg(i), Bmp(10 + i, 10, 24));
    view->SetDisplayMode(dmImages);
    Show(env.home);
    const uint64_t first = view->ProbesRun();
    EXPECT_EQ(first, 5u);
    view->RefreshFolder();
    view->WaitForDetails(5000);
    EXPECT_EQ(view->ProbesRun(), first) << "unchanged files come from the cache";
    env.dir.createFile("home/2.bmp", Bmp(99, 10, 8));
    view->RefreshFolder();
    view->WaitForDetails(5000);
    EXPECT_EQ(view->ProbesRun(), first + 1);
    EXPECT_EQ(Cell("2.bmp", ciDimension), "99x10");
}

TEST_F(SystemListViewTest, BadNamesLoopsAndSpecialFilesShowErrorsWithoutHanging)
{
    const QByteArray home = QFile::encodeName(env.home);
    const int fd = ::open((home + "/bad\xff.wav").constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    const QByteArray wav = Wav(1, 16, 44100, 10);
    ASSERT_EQ(::write(fd, wav.constData(), size_t(wav.size())), wav.size());
    ::close(fd);
    ASSERT_EQ(::symlink("loop.wav", (home + "/loop.wav").constData()), 0);
    ASSERT_EQ(::mkfifo((home + "/pipe.wav").constData(), 0644), 0);
    view->SetDisplayMode(dmAudio);
    Show(env.home);
    ASSERT_EQ(view->RowCount(), 4) << Captions().join(", ").toStdString();
    const QStringList captions = Captions();
    const int bad = int(
        std::find_if(captions.begin(), captions.end(), [](const QString &c) { return c.startsWith("bad"); }) -
        captions.begin());
    ASSERT_LT(bad, 4);
    EXPECT_EQ(view->Row(bad)->FileName, QByteArray("bad\xff.wav"));
    EXPECT_TRUE(view->Row(bad)->ProbeError.contains("not valid UTF-8"))
        << view->Row(bad)->ProbeError.toStdString();
    EXPECT_TRUE(Cell("pipe.wav", ciFrequency).contains("Not a regular file"))
        << Cell("pipe.wav", ciFrequency).toStdString();
    EXPECT_FALSE(Cell("loop.wav", ciFrequency).isEmpty());
    EXPECT_TRUE(Cell("loop.wav", ciAttributes).contains("reparse"));
    // Qt cannot name this file to remove it with the temporary folder.
    ::unlink((home + "/bad\xff.wav").constData());
}

TEST_F(SystemListViewTest, ItemsKnowTheirPathsAndKinds)
{
    env.dir.createFile("home/a.wav", "x");
    env.dir.createDir("home/sub");
    Show(env.home);
    const int file = view->FindRow("a.wav"), folder = view->FindRow("sub");
    EXPECT_TRUE(view->ItemIsFile(file));
    EXPECT_FALSE(view->ItemIsFile(folder));
    EXPECT_FALSE(view->ItemIsFile(0)) << "the parent row";
    EXPECT_FALSE(view->ItemIsFile(99));
    EXPECT_EQ(view->ItemPath(file), env.home + "/a.wav");
    EXPECT_EQ(view->ItemPath(0), "");
    EXPECT_FALSE(view->EnterRow(file));
    EXPECT_TRUE(view->EnterRow(folder));
    EXPECT_EQ(view->Directory(), env.home + "/sub");
    EXPECT_TRUE(view->EnterRow(0));
    EXPECT_EQ(view->Directory(), env.home);
}

TEST_F(SystemListViewTest, EveryViewStyleShowsTheRows)
{
    env.dir.createFiles({"home/a.wav", "home/b.wav"});
    Show(env.home);
    int changed = 0;
    view->OnViewStyleChanged = [&](TSystemListView *) { ++changed; };
    view->resize(400, 300);
    for (TViewStyle style : {vsIcon, vsSmallIcon, vsList, vsReport}) {
        view->SetViewStyle(style);
        EXPECT_EQ(view->ViewStyle(), style);
        QAbstractItemView *shown = style == vsReport ? static_cast<QAbstractItemView *>(view->ReportView())
                                                     : static_cast<QAbstractItemView *>(view->IconView());
        QAbstractItemView *other = style == vsReport ? static_cast<QAbstractItemView *>(view->IconView())
                                                     : static_cast<QAbstractItemView *>(view->ReportView());
        QApplication::processEvents();
        EXPECT_TRUE(shown->isVisibleTo(view.get()));
        EXPECT_FALSE(other->isVisibleTo(view.get()));
        ASSERT_EQ(shown->model()->rowCount(), 3);
        // Every row has a place of its own inside the viewport.
        std::vector<QRect> places;
        for (int row = 0; row < 3; ++row) {
            const QRect r = shown->visualRect(shown->model()->index(row, 0));
            EXPECT_FALSE(r.isEmpty()) << style << " row " << row;
            EXPECT_TRUE(shown->viewport()->rect().intersects(r)) << style << " row " << row;
            for (const QRect &before : places)
                EXPECT_FALSE(before.intersects(r)) << style << " row " << row;
            places.push_back(r);
        }
        if (style == vsIcon || style == vsSmallIcon) {
            const QListView *icons = view->IconView();
            EXPECT_EQ(icons->iconSize(), style == vsIcon ? QSize(32, 32) : QSize(16, 16));
            // Large icons: the caption under the icon, side by side; small ones: the caption
            // beside the icon, one row height.
            EXPECT_EQ(places[0].top(), places[1].top()) << style;
            for (const QRect &r : places) {
                if (style == vsIcon) {
                    EXPECT_GT(r.height(), 32);
                } else {
                    EXPECT_LT(r.height(), 32); // one line
                    EXPECT_GT(r.width(), 16 + r.height());
                }
            }
        }
        if (style == vsList) {
            EXPECT_EQ(places[0].left(), places[1].left()) << "a list runs top to bottom";
        }
    }
    EXPECT_EQ(changed, 4);
    EXPECT_EQ(view->IconView()->viewMode(), QListView::ListMode);
    view->SetViewStyle(vsIcon);
    EXPECT_EQ(view->IconView()->viewMode(), QListView::IconMode);
}
