#include "BrowserFixtures.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"
#include "support/ShellTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace browser_fixtures;

namespace {

class FolderWatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        env.dir.createFiles({"home/a.txt", "home/b.txt"});
        env.dir.createDir("home/sub");
        Show(env.home);
    }
    void Show(const QString &path)
    {
        passesAtShow = view->WatchPassCount();
        view->SetDirectory(path);
        view->WaitForDetails(5000);
    }
    // After a listing the thread compares the rows with the disk once (changes made while
    // it was listing left no event); tests that count passes start after it.
    void Settle()
    {
        ASSERT_TRUE(WaitUntil([&] { return view->WatchPassCount() > passesAtShow; }, 10000));
    }
    // Waits without running the event loop until the thread has begun a pass beyond
    // `passes`: it then hands the pass over and waits for the rows.
    bool PassBegun(int passes) const
    {
        for (int waited = 0; waited < 10000; waited += 5) {
            if (view->WatchPassCount() > passes)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    // A file written into the watched folder and seen in the view: every change made
    // before it has had its pass by then.
    void Sentinel(const QString &folder)
    {
        Write(folder + "/sentinel.wav", "x");
        ASSERT_TRUE(WaitUntil([&] { return Has("sentinel.wav"); }, 10000));
    }
    bool Has(const QString &caption) const { return view->FindRow(caption) >= 0; }
    QString Last() const { return view->Row(view->RowCount() - 1)->Caption; }
    // Creates a file with plain POSIX calls (no Qt in between).
    void Write(const QString &relative, const QByteArray &bytes)
    {
        const int fd =
            ::open(QFile::encodeName(env.dir.file(relative)).constData(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }

    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TSystemListView> view = std::make_unique<TSystemListView>();
    int passesAtShow = 0;
};

} // namespace

TEST_F(FolderWatch, CreatedDeletedAndRenamedFilesFollowTheDisk)
{
    Write("home/new.wav", "x");
    ASSERT_TRUE(WaitUntil([&] { return Has("new.wav"); }));
    EXPECT_EQ(Last(), "new.wav") << "new rows are appended, not sorted in";

    ASSERT_EQ(::unlink(QFile::encodeName(env.dir.file("home/a.txt")).constData()), 0);
    ASSERT_TRUE(WaitUntil([&] { return !Has("a.txt"); }));

    ASSERT_TRUE(QFile::rename(env.dir.file("home/b.txt"), env.dir.file("home/c.txt")));
    ASSERT_TRUE(WaitUntil([&] { return !Has("b.txt") && Has("c.txt"); }));
    EXPECT_EQ(Last(), "c.txt");

    // A change of letter case only is a removal and an addition.
    ASSERT_TRUE(QFile::rename(env.dir.file("home/c.txt"), env.dir.file("home/C.txt")));
    ASSERT_TRUE(WaitUntil([&] { return !Has("c.txt") && Has("C.txt"); }));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(FolderWatch, ARewrittenFileGetsANewRowWithNewDetails)
{
    view->SetDisplayMode(dmImages);
    Write("home/x.bmp", Bmp(10, 10, 24));
    ASSERT_TRUE(
        WaitUntil([&] { return Has("x.bmp") && view->RowText(view->FindRow("x.bmp"), 2) == "10x10"; }));
    const uint64_t serial = view->Row(view->FindRow("x.bmp"))->Serial;
    Write("home/y.bmp", Bmp(1, 1, 1));
    ASSERT_TRUE(WaitUntil([&] { return Has("y.bmp"); }));
    // Rewrite in place, with a clearly different time.
    Write("home/x.bmp", Bmp(99, 10, 8));
    QFile f(env.dir.file("home/x.bmp"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(WaitUntil([&] {
        const int row = view->FindRow("x.bmp");
        return row >= 0 && view->Row(row)->Serial != serial && view->RowText(row, 2) == "99x10";
    }));
    EXPECT_EQ(Last(), "x.bmp");
    EXPECT_EQ(view->RowText(view->FindRow("x.bmp"), 3), "8bit");
}

TEST_F(FolderWatch, ABurstOfChangesIsOnePass)
{
    Settle();
    const int before = view->WatchPassCount();
    for (int i = 0; i < 100; ++i)
        Write(QString("home/burst%1.wav").arg(i, 3, 10, QChar('0')), "x");
    ASSERT_TRUE(WaitUntil([&] { return view->RowCount() == 4 + 100; }));
    for (int row = 4; row < view->RowCount(); ++row)
        EXPECT_TRUE(view->Row(row)->Caption.startsWith("burst")) << "appended after the listed rows";
    Sentinel("home");
    EXPECT_EQ(view->WatchPassCount(), before + 2); // the burst's and the sentinel's

    // Thousands at once: still a handful of passes, every row there.
    for (int i = 0; i < 3000; ++i)
        Write(QString("home/many%1.wav").arg(i), "x");
    ASSERT_TRUE(WaitUntil([&] { return view->RowCount() == 5 + 100 + 3000; }, 20000));
    EXPECT_LE(view->WatchPassCount(), before + 4);
    for (int i = 0; i < 3000; ++i)
        ::unlink(QFile::encodeName(env.dir.file(QString("home/many%1.wav").arg(i))).constData());
    ASSERT_TRUE(WaitUntil([&] { return view->RowCount() == 5 + 100; }, 20000));
}

TEST_F(FolderWatch, ChangesInsideASubfolderAreNotWatched)
{
    Settle();
    const int before = view->WatchPassCount();
    Write("home/sub/inner.wav", "x");
    Sentinel("home");
    EXPECT_EQ(view->WatchPassCount(), before + 1); // the sentinel's alone
}

TEST_F(FolderWatch, SurvivesAnEventQueueOverflow)
{
    Settle();
    QFile limit("/proc/sys/fs/inotify/max_queued_events");
    int queue = 16384;
    if (limit.open(QIODevice::ReadOnly))
        queue = limit.readAll().trimmed().toInt();
    if (queue <= 0 || queue > 40000)
        GTEST_SKIP() << "event queue too long to fill in a test: " << queue;
    // One change, then no event processing: the thread hands over its pass and waits for
    // the rows, reading no events meanwhile.
    const int before = view->WatchPassCount();
    Write("home/first.wav", "x");
    ASSERT_TRUE(PassBegun(before));
    // Each file is two events (created, written and closed): the queue overflows.
    const int files = queue / 2 + 1000;
    for (int i = 0; i < files; ++i)
        Write(QString("home/o%1.wav").arg(i), "");
    ASSERT_TRUE(WaitUntil([&] { return view->RowCount() == 4 + 1 + files; }, 30000)) << view->RowCount();
    EXPECT_TRUE(boxes.shown.isEmpty());
    for (int i = 0; i < files; ++i)
        ::unlink(QFile::encodeName(env.dir.file(QString("home/o%1.wav").arg(i))).constData());
}

TEST_F(FolderWatch, AWatchedFolderThatIsDeletedOrRenamedLeadsToItsParent)
{
    env.dir.createDir("home/sub/deeper");
    Show(env.dir.file("home/sub/deeper"));
    ASSERT_TRUE(QDir(env.dir.file("home/sub")).removeRecursively());
    ASSERT_TRUE(WaitUntil([&] { return view->Directory() == env.home; })) << view->Directory().toStdString();
    EXPECT_FALSE(Has("sub"));

    env.dir.createDir("home/old");
    Show(env.dir.file("home/old"));
    ASSERT_TRUE(QDir().rename(env.dir.file("home/old"), env.dir.file("home/new")));
    ASSERT_TRUE(WaitUntil([&] { return view->Directory() == env.home; }));
    EXPECT_TRUE(Has("new"));
    EXPECT_TRUE(boxes.shown.isEmpty()) << boxes.shown.join("; ").toStdString();
}

TEST_F(FolderWatch, SuspendedRefreshesWaitForTheResume)
{
    Settle();
    const int before = view->WatchPassCount();
    view->SuspendRefresh();
    Write("home/pasted.wav", "x");
    // An absence shows only over time: well past the settle delay of 500 ms.
    Spin(1300);
    EXPECT_FALSE(Has("pasted.wav"));
    EXPECT_EQ(view->WatchPassCount(), before);
    view->ResumeRefresh();
    ASSERT_TRUE(WaitUntil([&] { return Has("pasted.wav"); }));
    EXPECT_EQ(view->WatchPassCount(), before + 1);
}

TEST_F(FolderWatch, APassForAFolderLeftBehindChangesNothing)
{
    env.dir.createFile("volume/only.wav", "x");
    Write("home/late.wav", "x");
    Show(env.volume);
    // The thread serves one folder at a time: a pass for home, if any, is over once the
    // volume's sentinel has had its pass.
    Sentinel("volume");
    EXPECT_EQ(view->Directory(), env.volume);
    EXPECT_FALSE(Has("late.wav"));
    EXPECT_TRUE(Has("only.wav"));
}

TEST_F(FolderWatch, TheViewCanGoWhileAPassWaitsForIt)
{
    Settle();
    const int before = view->WatchPassCount();
    Write("home/pending.wav", "x");
    // The pass is handed over but never applied: the event loop does not run.
    ASSERT_TRUE(PassBegun(before));
    const auto start = std::chrono::steady_clock::now();
    view.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(FolderWatch, ChangesMadeWhileListingAreFoundByTheFirstPass)
{
    // Written right after the listing, before the thread can have its watch in place.
    Show(env.volume);
    Write("volume/quick.wav", "x");
    ASSERT_TRUE(WaitUntil([&] { return Has("quick.wav"); }));
    // Deleted right after the listing: the view climbs to the parent.
    env.dir.createDir("volume/brief");
    Show(env.dir.file("volume/brief"));
    ASSERT_TRUE(QDir(env.dir.file("volume/brief")).removeRecursively());
    ASSERT_TRUE(WaitUntil([&] { return view->Directory() == env.volume; }));
}
