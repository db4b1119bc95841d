#include "workbench/BookmarkLink.h"

#include "FormFixture.h"
#include "controls/Bookmarks.h"
#include "controls/SystemListView.h"
#include "platform/Registry.h"
#include "workbench/EnterExt.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

class BookmarkLinkTest : public FormFixture {
protected:
    void TearDown() override
    {
        TEnterExt::SetHandler({});
        FormFixture::TearDown();
    }
    void browse(int tab, const QString &folder)
    {
        form->SetActiveTab(tab);
        form->Browser(tab)->SetDirectory(folder);
        ASSERT_TRUE(WaitFor([&] { return QDir(form->Browser(tab)->RealDirectory()) == QDir(folder); }));
    }
    // Answers the name dialog with `answer` (null: Cancel) and records what it was asked.
    void answer(const char *reply)
    {
        TEnterExt::SetHandler([this, reply](const QString &caption, const QString &label, QString &text) {
            asked << caption << label << text;
            if (!reply)
                return false;
            text = reply;
            return true;
        });
    }
    QStringList asked;
};

TEST_F(BookmarkLinkTest, AddChooseAndKeepAcrossARestart)
{
    const QString pics = dir.createDir("Pictures");
    const QString other = dir.createDir("other");
    {
        TModwrightForm &f = start();
        TBookmarks *marks = BookmarkMenu(f, 0);
        ASSERT_NE(marks, nullptr);
        EXPECT_TRUE(f.BMPBookmarks1->isEnabled());
        EXPECT_TRUE(marks->AddItem()->isEnabled());
        EXPECT_EQ(marks->BaseMenu(), f.BMPBookmarks1);
        EXPECT_EQ(BookmarkMenu(f, 1)->BaseMenu(), f.AudioBookmarks1);

        browse(0, pics);
        answer("My pictures");
        marks->AddItem()->trigger();
        EXPECT_EQ(asked, QStringList({"New Bookmark", "Please enter the name:", "Pictures"}));
        ASSERT_EQ(marks->ItemCount(), 1);
        EXPECT_EQ(marks->BookmarkCaption(0), "My pictures");
        EXPECT_TRUE(QDir(marks->BookmarkPath(0)) == QDir(pics));

        // Cancel adds nothing.
        answer(nullptr);
        marks->AddItem()->trigger();
        EXPECT_EQ(marks->ItemCount(), 1);

        // Choosing it sends the active browser there.
        browse(0, other);
        marks->Item(0)->trigger();
        EXPECT_TRUE(WaitFor([&] { return QDir(f.Browser(0)->RealDirectory()) == QDir(pics); }));
        f.close();
    }
    form.reset();
    DestroyCatalogue();
    TRegistry reg(TRegRoot::CurrentUser);
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Talwen\\Modwright for ReBirth 2\\ImageBookmarks"));
    EXPECT_EQ(reg.ReadString("Name0"), "My pictures");

    TModwrightForm &again = start();
    ASSERT_EQ(BookmarkMenu(again, 0)->ItemCount(), 1);
    EXPECT_EQ(BookmarkMenu(again, 0)->BookmarkCaption(0), "My pictures");
    EXPECT_EQ(BookmarkMenu(again, 1)->ItemCount(), 0);
}

TEST_F(BookmarkLinkTest, VirtualFoldersCannotBeBookmarked)
{
    TModwrightForm &f = start();
    f.SetActiveTab(0);
    ASSERT_TRUE(f.Browser(0)->BrowseToPidl(TItemIdList())); // the desktop
    answer("never asked");
    BookmarkMenu(f, 0)->AddItem()->trigger();
    EXPECT_TRUE(asked.isEmpty());
    EXPECT_TRUE(boxes.shown.contains("info: This directory cannot be bookmarked."));
    EXPECT_EQ(BookmarkMenu(f, 0)->ItemCount(), 0);
}

TEST_F(BookmarkLinkTest, OnlyTheActiveTabsMenuIsShown)
{
    TModwrightForm &f = start();
    f.SetActiveTab(1);
    EXPECT_FALSE(f.BMPBookmarks1->menuAction()->isVisible());
    EXPECT_TRUE(f.AudioBookmarks1->menuAction()->isVisible());
    // A bookmark of a folder that has gone since: an error, and the browser stays.
    const QString gone = dir.createDir("gone");
    BookmarkMenu(f, 1)->AddBookmark(gone, "gone");
    QDir(gone).removeRecursively();
    const QString before = f.Browser(1)->Directory();
    BookmarkMenu(f, 1)->Item(0)->trigger();
    EXPECT_EQ(f.Browser(1)->Directory(), before);
}

} // namespace
