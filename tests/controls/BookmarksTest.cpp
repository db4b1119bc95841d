#include "controls/Bookmarks.h"

#include "platform/Registry.h"
#include "platform/RegistryStore.h"
#include "support/TestDir.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString RegPath = QStringLiteral("Talwen\\Modwright for ReBirth 2");
const std::string KeyPath = "\\Software\\Talwen\\Modwright for ReBirth 2\\ImageBookmarks";

class BookmarksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser, dir.file("user.reg").toStdString());
        for (const char *name : {"alpha", "beta", "gamma", "Mixed"})
            folders[name] = dir.createDir(QString("img/") + name);
    }

    // A component as the main window sets it up, on its own menu.
    std::unique_ptr<TBookmarks> Make(QMenu &menu)
    {
        auto marks = std::make_unique<TBookmarks>();
        marks->SetRegistryStore(store);
        marks->SetRegKey("ImageBookmarks");
        marks->SetBaseMenu(&menu);
        marks->SetRegPath(RegPath);
        return marks;
    }

    QStringList Captions(const TBookmarks &marks) const
    {
        QStringList out;
        for (int i = 0; i < marks.ItemCount(); ++i)
            out << marks.BookmarkCaption(i);
        return out;
    }

    std::vector<std::string> StoredValues()
    {
        TRegistry reg(store);
        if (!reg.OpenKeyReadOnly(KeyPath))
            return {};
        return reg.GetValueNames();
    }

    TTestDir dir;
    std::shared_ptr<TRegistryStore> store;
    std::map<std::string, QString> folders;
};

TEST_F(BookmarksTest, MenuLayoutHidesFrameWhileEmpty)
{
    QMenu menu;
    menu.addAction("left over from the designer");
    auto marks = Make(menu);
    const QList<QAction *> items = menu.actions();
    ASSERT_EQ(items.size(), 4); // the old item went
    EXPECT_EQ(items[0]->text(), "&Add");
    EXPECT_EQ(items[0]->statusTip(), "Add the current directory to bookmarks.");
    EXPECT_FALSE(items[0]->isEnabled()); // no OnGetBookmark yet
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_FALSE(items[1]->isVisible());
    EXPECT_FALSE(items[3]->isVisible());
    EXPECT_EQ(items[3]->menu()->title(), "&Delete");
    EXPECT_EQ(items[3]->statusTip(), "Delete a bookmark");
    EXPECT_EQ(marks->ItemCount(), 0);

    marks->AddBookmark(folders["beta"], "beta");
    EXPECT_TRUE(items[1]->isVisible());
    EXPECT_TRUE(menu.actions().last()->isVisible());
    EXPECT_EQ(marks->ItemCount(), 1);
    EXPECT_EQ(marks->DeleteMenu()->actions().size(), 1);
    EXPECT_EQ(marks->DeleteItem(0)->statusTip(), folders["beta"]);

    marks->SetOnGetBookmark([](TBookmarks *, QString &, QString &) {});
    EXPECT_TRUE(marks->AddItem()->isEnabled());
    marks->SetFileBookmarks(true);
    EXPECT_EQ(marks->AddItem()->statusTip(), "Add the current file to bookmarks.");
}

TEST_F(BookmarksTest, SortedByCaptionIgnoringCaseAndCopiesFollow)
{
    QMenu menu;
    auto marks = Make(menu);
    marks->AddBookmark(folders["beta"], "beta");
    marks->AddBookmark(folders["alpha"], "Alpha");
    marks->AddBookmark(folders["gamma"], "gamma");
    EXPECT_EQ(Captions(*marks), QStringList({"Alpha", "beta", "gamma"}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(marks->DeleteItem(i)->data().toString(), Captions(*marks)[i]);

    // Unsorted: appended; switching Sorted on re-orders what is there.
    QMenu other;
    auto plain = Make(other);
    plain->SetSorted(false);
    plain->AddBookmark(folders["gamma"], "gamma");
    plain->AddBookmark(folders["alpha"], "Alpha");
    EXPECT_EQ(Captions(*plain), QStringList({"gamma", "Alpha"}));
    plain->SetSorted(true);
    EXPECT_EQ(Captions(*plain), QStringList({"Alpha", "gamma"}));
    EXPECT_EQ(plain->DeleteItem(0)->statusTip(), folders["alpha"]);
    EXPECT_EQ(plain->ItemCount(), 2);
}

TEST_F(BookmarksTest, AddIgnoresBadInputAndReplacesSamePath)
{
    QMenu menu;
    auto marks = Make(menu);
    marks->AddBookmark(dir.file("missing"), "gone");
    marks->AddBookmark(dir.createFile("file.bmp"), "a file"); // folders only
    marks->AddBookmark(folders["beta"], "");
    marks->AddBookmark("", "empty");
    EXPECT_EQ(marks->ItemCount(), 0);

    // A trailing separator is dropped; a root keeps it.
    marks->AddBookmark(folders["Mixed"] + "/", "first");
    ASSERT_EQ(marks->ItemCount(), 1);
    EXPECT_EQ(marks->BookmarkPath(0), folders["Mixed"]);
    marks->AddBookmark("/", "root");
    EXPECT_EQ(marks->BookmarkPath(1), "/"); // sorted after "first"

    // The same folder again replaces the bookmark.
    marks->AddBookmark(folders["beta"], "b1");
    marks->AddBookmark(folders["beta"], "b2");
    EXPECT_EQ(Captions(*marks), QStringList({"b2", "first", "root"}));
    EXPECT_EQ(marks->DeleteMenu()->actions().size(), 3);

    // Captions with "&" show literally and keep their text.
    marks->AddBookmark(folders["gamma"], "R&B");
    const int rb = Captions(*marks).indexOf("R&B");
    ASSERT_GE(rb, 0);
    EXPECT_EQ(marks->Item(rb)->text(), "R&&B");
}

TEST_F(BookmarksTest, FoldersDifferingInCaseKeepTheirOwnBookmarks)
{
    // On this file system /x/CASE and /x/case are two folders, as the browser sees them.
    const QString upper = dir.createDir("CASE");
    const QString lower = dir.createDir("case");
    QMenu menu;
    auto marks = Make(menu);
    marks->AddBookmark(upper, "Upper");
    marks->AddBookmark(lower, "lower");
    ASSERT_EQ(marks->ItemCount(), 2);
    QStringList paths{marks->BookmarkPath(0), marks->BookmarkPath(1)};
    paths.sort();
    EXPECT_EQ(paths, QStringList({upper, lower}));
    // The same path, spelled the same, still replaces its bookmark.
    marks->AddBookmark(lower, "again");
    ASSERT_EQ(marks->ItemCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(marks->BookmarkCaption(i), marks->BookmarkPath(i) == lower ? "again" : "Upper");
}

TEST_F(BookmarksTest, ClicksAddAndDelete)
{
    QMenu menu;
    auto marks = Make(menu);
    QString chosen;
    marks->OnClick = [&](TBookmarks *, const QString &path) { chosen = path; };
    marks->SetOnGetBookmark([&](TBookmarks *, QString &bookmark, QString &caption) {
        bookmark = folders["gamma"];
        caption = "G";
    });
    marks->AddItem()->trigger();
    ASSERT_EQ(marks->ItemCount(), 1);
    marks->Item(0)->trigger();
    EXPECT_EQ(chosen, folders["gamma"]);

    // An answer without a caption adds nothing.
    marks->SetOnGetBookmark([&](TBookmarks *, QString &bookmark, QString &) { bookmark = folders["beta"]; });
    marks->AddItem()->trigger();
    EXPECT_EQ(marks->ItemCount(), 1);

    marks->AddBookmark(folders["alpha"], "A");
    marks->DeleteItem(1)->trigger(); // "G"
    EXPECT_EQ(Captions(*marks), QStringList({"A"}));
    marks->DeleteItem(0)->trigger();
    EXPECT_EQ(marks->ItemCount(), 0);
    EXPECT_FALSE(marks->DeleteMenu()->menuAction()->isVisible());
    EXPECT_FALSE(menu.actions()[1]->isVisible());
}

TEST_F(BookmarksTest, SaveAndLoadRoundTrip)
{
    {
        QMenu menu;
        auto marks = Make(menu);
        marks->AddBookmark(folders["gamma"], "gamma");
        marks->AddBookmark(folders["alpha"], "Alpha");
        marks->AddBookmark(folders["beta"], "beta");
        marks->SaveToRegistry();
    }
    TRegistry reg(store);
    ASSERT_TRUE(reg.OpenKeyReadOnly(KeyPath));
    EXPECT_EQ(reg.ReadString("File0"), folders["alpha"].toStdString());
    EXPECT_EQ(reg.ReadString("Name0"), "Alpha");
    EXPECT_EQ(reg.ReadString("Name2"), "gamma");
    EXPECT_EQ(StoredValues().size(), 6u);

    // A folder deleted meanwhile is left out on loading and so from the next save.
    ASSERT_TRUE(QDir(folders["beta"]).removeRecursively());
    QMenu menu;
    auto marks = Make(menu);
    EXPECT_EQ(Captions(*marks), QStringList({"Alpha", "gamma"}));
    marks->SaveToRegistry();
    EXPECT_EQ(StoredValues().size(), 4u);
    TRegistry again(store);
    ASSERT_TRUE(again.OpenKeyReadOnly(KeyPath));
    EXPECT_EQ(again.ReadString("File1"), folders["gamma"].toStdString());
    EXPECT_FALSE(again.ValueExists("File2"));

    // Deleting the last bookmark and saving leaves the key without values.
    marks->Clear();
    marks->SaveToRegistry();
    EXPECT_TRUE(StoredValues().empty());
    TRegistry check(store);
    EXPECT_TRUE(check.KeyExists(KeyPath));
}

TEST_F(BookmarksTest, LoadingStopsAtFirstGapAndNeedsRealPath)
{
    {
        TRegistry reg(store);
        ASSERT_TRUE(reg.OpenKey(KeyPath, true));
        reg.WriteString("File0", folders["alpha"].toStdString());
        reg.WriteString("Name0", "A");
        reg.WriteString("File1", folders["beta"].toStdString()); // no Name1
        reg.WriteString("File2", folders["gamma"].toStdString());
        reg.WriteString("Name2", "G");
    }
    // With the default path nothing is read, and nothing is saved.
    QMenu first;
    TBookmarks unset;
    unset.SetRegistryStore(store);
    unset.SetRegKey("ImageBookmarks");
    unset.SetBaseMenu(&first);
    EXPECT_EQ(unset.ItemCount(), 0);
    unset.SaveToRegistry();
    EXPECT_EQ(StoredValues().size(), 5u);

    QMenu menu;
    auto marks = Make(menu);
    EXPECT_EQ(Captions(*marks), QStringList({"A"}));
    // Loading happens once: setting the path again reads nothing more.
    marks->SetRegPath(RegPath);
    EXPECT_EQ(marks->ItemCount(), 1);
}

TEST_F(BookmarksTest, MissingKeyIsNotCreatedByLoading)
{
    QMenu menu;
    auto marks = Make(menu);
    EXPECT_EQ(marks->ItemCount(), 0);
    TRegistry reg(store);
    EXPECT_FALSE(reg.KeyExists(KeyPath));
}

} // namespace
