#include "controls/HistoryList.h"

#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "support/TestDir.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

namespace {

const std::string KeyPath = "\\Software\\Talwen\\Test\\MRUList";

class HistoryListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser, dir.file("user.reg").toStdString());
        for (int i = 0; i < 7; ++i)
            folders << dir.createDir(QString("f%1").arg(i));
    }

    std::unique_ptr<THistoryList> Make(QMenu &menu, int maxItems = 5)
    {
        auto list = std::make_unique<THistoryList>();
        list->SetRegistryStore(store);
        list->SetDirectories(true);
        list->SetMaxItems(maxItems);
        list->SetBaseMenu(&menu);
        list->SetRegPath("Talwen\\Test");
        return list;
    }

    QStringList Paths(const THistoryList &list) const
    {
        QStringList out;
        for (int i = 0; i < list.ItemCount(); ++i)
            out << list.EntryPath(i);
        return out;
    }

    TTestDir dir;
    std::shared_ptr<TRegistryStore> store;
    QStringList folders;
};

TEST_F(HistoryListTest, EmptyMenuShowsPlaceholderUntilFirstEntry)
{
    QMenu menu;
    auto list = Make(menu);
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "(none)");
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    EXPECT_EQ(list->ItemCount(), 0);

    list->AddPath(folders[0]);
    ASSERT_EQ(menu.actions().size(), 1); // placeholder gone, no separator before the entries
    EXPECT_EQ(menu.actions()[0]->text(), "f0");
    EXPECT_EQ(menu.actions()[0]->statusTip(), folders[0]);

    // Cleared: the placeholder comes back.
    list->Clear();
    ASSERT_EQ(menu.actions().size(), 1);
    EXPECT_EQ(menu.actions()[0]->text(), "(none)");
}

TEST_F(HistoryListTest, EntriesFollowOwnItemsBehindOneSeparator)
{
    QMenu menu;
    menu.addAction("Open...");
    menu.addSeparator(); // a trailing separator of the design is dropped
    auto list = Make(menu);
    ASSERT_EQ(menu.actions().size(), 1);
    list->AddPath(folders[0]);
    list->AddPath(folders[1]);
    const QList<QAction *> items = menu.actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->text(), "Open...");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "f1");
    EXPECT_EQ(items[3]->text(), "f0");
}

TEST_F(HistoryListTest, MostRecentFirstBoundedByMaxItems)
{
    QMenu menu;
    auto list = Make(menu, 5);
    for (int i = 0; i < 5; ++i)
        list->AddPath(folders[i]);
    // An entry already listed moves to the top without growing the list; a
    // trailing separator names the same folder.
    list->AddPath(folders[2] + "/");
    EXPECT_EQ(Paths(*list), QStringList({folders[2], folders[4], folders[3], folders[1], folders[0]}));
    // A sixth folder drops the oldest.
    list->AddPath(folders[5]);
    EXPECT_EQ(Paths(*list), QStringList({folders[5], folders[2], folders[4], folders[3], folders[1]}));
    EXPECT_EQ(menu.actions().size(), 5);

    // Shrinking drops from the end; values below 1 are ignored.
    list->SetMaxItems(2);
    EXPECT_EQ(Paths(*list), QStringList({folders[5], folders[2]}));
    list->SetMaxItems(0);
    EXPECT_EQ(list->MaxItems(), 2);
}

TEST_F(HistoryListTest, FoldersDifferingInCaseAreTwoEntries)
{
    const QString upper = dir.createDir("CASE");
    const QString lower = dir.createDir("case");
    QMenu menu;
    auto list = Make(menu, 5);
    list->AddPath(upper);
    list->AddPath(lower);
    EXPECT_EQ(Paths(*list), QStringList({lower, upper}));
    list->AddPath(upper);
    EXPECT_EQ(Paths(*list), QStringList({upper, lower}));
    // A spelling of a folder that does not exist is no entry at all.
    list->AddPath(dir.path() + "/Case");
    EXPECT_EQ(Paths(*list), QStringList({upper, lower}));
}

TEST_F(HistoryListTest, IgnoresWhatDoesNotExistOrIsTheWrongKind)
{
    QMenu menu;
    auto list = Make(menu);
    list->AddPath(dir.file("nowhere"));
    list->AddPath(dir.createFile("a.wav")); // a file in a folder list
    list->AddPath("");
    EXPECT_EQ(list->ItemCount(), 0);

    QMenu files;
    THistoryList fileList;
    fileList.SetBaseMenu(&files);
    fileList.AddPath(folders[0]); // a folder in a file list
    fileList.AddPath(dir.file("a.wav"));
    ASSERT_EQ(fileList.ItemCount(), 1);
    EXPECT_EQ(fileList.Entry(0)->text(), "a.wav");
    // A root shows its whole path.
    list->AddPath("/");
    EXPECT_EQ(list->Entry(0)->text(), "/");
}

TEST_F(HistoryListTest, ClickReportsPathAndKeepsOrder)
{
    QMenu menu;
    auto list = Make(menu);
    list->AddPath(folders[0]);
    list->AddPath(folders[1]);
    QString chosen;
    list->OnClick = [&](THistoryList *, const QString &path) { chosen = path; };
    list->Entry(1)->trigger();
    EXPECT_EQ(chosen, folders[0]);
    EXPECT_EQ(Paths(*list), QStringList({folders[1], folders[0]}));
}

TEST_F(HistoryListTest, RegistryRoundTripSkipsVanishedFolders)
{
    {
        QMenu menu;
        auto list = Make(menu, 5);
        for (int i = 4; i >= 0; --i) // f0 ends on top
            list->AddPath(folders[i]);
        list->SaveToRegistry();
    }
    {
        TRegistry reg(store);
        ASSERT_TRUE(reg.OpenKeyReadOnly(KeyPath));
        EXPECT_EQ(reg.ReadString("File0"), folders[0].toStdString());
        EXPECT_EQ(reg.ReadString("File4"), folders[4].toStdString());
    }
    // The third stored folder is deleted: the others load, in order.
    ASSERT_TRUE(QDir(folders[2]).removeRecursively());
    QMenu menu;
    auto list = Make(menu, 5);
    EXPECT_EQ(Paths(*list), QStringList({folders[0], folders[1], folders[3], folders[4]}));

    // A smaller MaxItems reads only that many.
    QMenu small;
    auto few = Make(small, 2);
    EXPECT_EQ(Paths(*few), QStringList({folders[0], folders[1]}));

    // Saving rewrites the whole key.
    list->SaveToRegistry();
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKeyReadOnly(KeyPath));
    EXPECT_EQ(reg.GetValueNames().size(), 4u);
    EXPECT_EQ(reg.ReadString("File2"), folders[3].toStdString());
}

TEST_F(HistoryListTest, MenuDestroyedFirstIsSafe)
{
    auto menu = std::make_unique<QMenu>();
    auto list = Make(*menu);
    list->AddPath(folders[0]);
    menu.reset();
    EXPECT_EQ(list->ItemCount(), 0);
    list->Clear();
    list->AddPath(folders[1]); // no menu: ignored
    EXPECT_EQ(list->ItemCount(), 0);
}

} // namespace
