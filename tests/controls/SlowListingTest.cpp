#include "BrowserFixtures.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"
#include "platform/EntryStat.h"
#include "platform/Exception.h"
#include "support/ShellTestEnvironment.h"
#include "support/SlowEntryStat.h"

#include <QElapsedTimer>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

using namespace browser_fixtures;

namespace {

// Outlives every listing thread that may still be inside a look.
TSlowEntryStat &SlowEntries()
{
    static TSlowEntryStat slow;
    return slow;
}

} // namespace

// Every look at an entry takes 300 ms: the window goes on handling events while the rows
// come in one by one. (The wait per event is measured in bench_listing; the bound here is
// only there to catch a window that waits for the whole folder.)
TEST(SlowListing, WindowStaysResponsiveAndRowsArriveAsTheirFactsDo)
{
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    for (const char *name : {"a.wav", "b.wav", "c.wav"})
        env.dir.createFile(QString("home/") + name, Wav(1, 16, 44100, 10));
    SlowEntries().Folder = QFile::encodeName(env.home);
    SlowEntries().DelayMs = 300;
    SetEntryStat(&SlowEntries());

    auto view = std::make_unique<TSystemListView>();
    view->SetDisplayMode(dmAudio);
    view->SetViewStyle(vsReport);
    view->show();
    QElapsedTimer timer;
    timer.start();
    view->SetDirectory(env.home);
    const qint64 listingCall = timer.elapsed();
    const int rowsAtFirst = view->RowCount();

    // A timer ticking meanwhile measures the longest the event loop was away.
    qint64 last = timer.elapsed(), longestGap = 0;
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = timer.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
    });
    tick.start(10);
    std::vector<int> counts;
    const bool all = WaitUntil(
        [&] {
            if (counts.empty() || counts.back() != view->RowCount())
                counts.push_back(view->RowCount());
            return view->RowCount() == 4; // ".." and the three files
        },
        20000);
    tick.stop();
    SetEntryStat(nullptr);

    EXPECT_TRUE(all) << view->RowCount();
    EXPECT_LT(listingCall, 1000) << "the listing waited for the slow entries";
    EXPECT_LT(rowsAtFirst, 4);
    EXPECT_GT(counts.size(), 2u) << "the rows did not arrive one by one";
    EXPECT_GT(ticks, 20);
    EXPECT_LT(longestGap, 1000);
    // Their probes follow, and the rows are in order.
    ASSERT_TRUE(view->WaitForDetails(10000));
    EXPECT_EQ(view->Row(1)->Caption, "a.wav");
    EXPECT_EQ(view->Row(3)->Caption, "c.wav");
    const auto ids = view->ColumnIds();
    const int frequency = int(std::find(ids.begin(), ids.end(), ciFrequency) - ids.begin());
    EXPECT_EQ(view->RowText(1, frequency), "44100");
}

// Leaving a folder whose looks hang does not wait for them, and nothing of the old listing
// turns up in the next one.
TEST(SlowListing, AnotherFolderReplacesAListingStillUnderWay)
{
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    env.dir.createFile("home/slow/x.wav", Wav(1, 16, 44100, 10));
    env.dir.createFile("home/slow/y.wav", Wav(1, 16, 44100, 10));
    env.dir.createFile("home/fast/z.wav", Wav(1, 16, 44100, 10));
    SlowEntries().Folder = QFile::encodeName(env.home + "/slow");
    SlowEntries().DelayMs = 400;
    SetEntryStat(&SlowEntries());

    auto view = std::make_unique<TSystemListView>();
    view->SetDisplayMode(dmAudio);
    view->SetDirectory(env.home + "/slow");
    view->SetDirectory(env.home + "/fast");
    ASSERT_TRUE(view->WaitForDetails(5000));
    Spin(1200); // the slow listing's looks end meanwhile
    SetEntryStat(nullptr);
    QStringList captions;
    for (int i = 0; i < view->RowCount(); ++i)
        captions << view->Row(i)->Caption;
    EXPECT_EQ(captions, QStringList({"..", "z.wav"}));
    view.reset(); // while nothing is pending any more
}

namespace {

// Counts the looks at entries of one folder (the parent row's look at the folder itself
// aside), and whether they were made relative to it.
class TCountingEntryStat final : public TEntryStat {
public:
    std::atomic<int> Statxs{0}, Accesses{0}, ByWholePath{0}, OnGuiThread{0};
    QByteArray Folder;
    std::thread::id GuiThread = std::this_thread::get_id();

    int Statx(int dir, const char *path, int flags, unsigned mask, struct statx *result) override
    {
        count(dir, path, Statxs);
        return TEntryStat::Statx(dir, path, flags, mask, result);
    }
    int Access(int dir, const char *path, int mode) override
    {
        count(dir, path, Accesses);
        return TEntryStat::Access(dir, path, mode);
    }

private:
    void count(int dir, const char *path, std::atomic<int> &calls)
    {
        const bool wholePath = dir == AT_FDCWD;
        if (wholePath && !QByteArray(path).startsWith(Folder + "/"))
            return;
        ++calls;
        if (wholePath)
            ++ByWholePath;
        if (std::this_thread::get_id() == GuiThread)
            ++OnGuiThread;
    }
};

TCountingEntryStat &CountingEntries()
{
    static TCountingEntryStat counting;
    return counting;
}

} // namespace

// A listing looks at each shown entry once (its status and whether it may be written), in
// the open folder rather than along the whole path again, and not at all at files of a kind
// the view does not show. A link costs a second status: that of what it points to.
TEST(SlowListing, EachShownEntryIsLookedAtOnceAndHiddenKindsNotAtAll)
{
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    for (int i = 0; i < 6; ++i)
        env.dir.createFile(QString("home/kit/drum%1.wav").arg(i), Wav(1, 16, 44100, 10));
    for (int i = 0; i < 20; ++i)
        env.dir.createFile(QString("home/kit/notes%1.txt").arg(i), "text");
    ASSERT_EQ(::symlink("drum0.wav", QFile::encodeName(env.home + "/kit/link.wav").constData()), 0);
    TCountingEntryStat &counting = CountingEntries();
    counting.Folder = QFile::encodeName(env.home + "/kit");
    SetEntryStat(&counting);

    auto view = std::make_unique<TSystemListView>();
    view->SetDisplayMode(dmAudio);
    view->SetViewStyle(vsReport);
    view->SetDirectory(env.home + "/kit");
    const bool done = view->WaitForDetails(10000);
    SetEntryStat(nullptr);

    ASSERT_TRUE(done);
    EXPECT_EQ(view->RowCount(), 8); // "..", six drums and the link
    EXPECT_EQ(counting.Statxs.load(), 6 + 2);
    EXPECT_EQ(counting.Accesses.load(), 7);
    EXPECT_EQ(counting.ByWholePath.load(), 0);
    EXPECT_EQ(counting.OnGuiThread.load(), 0);
    const auto ids = view->ColumnIds();
    const int frequency = int(std::find(ids.begin(), ids.end(), ciFrequency) - ids.begin());
    for (int row = 1; row < view->RowCount(); ++row)
        EXPECT_EQ(view->RowText(row, frequency), "44100") << view->Row(row)->Caption.toStdString();
}

// A file that turns up in a watched folder is looked at by the watch thread; its row is
// made from those facts without another look from the window's thread, and takes its
// place in the order.
TEST(SlowListing, AWatchedFolderAddsNewFilesWithoutLookingFromTheWindow)
{
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    env.dir.createFile("home/kit/first.wav", Wav(1, 16, 44100, 10));
    auto view = std::make_unique<TSystemListView>();
    view->SetDisplayMode(dmAudio);
    view->SetViewStyle(vsReport);
    view->SetDirectory(env.home + "/kit");
    ASSERT_TRUE(view->WaitForDetails(10000));
    ASSERT_EQ(view->RowCount(), 2);

    TCountingEntryStat &counting = CountingEntries();
    counting.Folder = QFile::encodeName(env.home + "/kit");
    counting.Statxs = counting.Accesses = counting.ByWholePath = counting.OnGuiThread = 0;
    SetEntryStat(&counting);
    env.dir.createFile("home/kit/early.wav", Wav(2, 16, 22050, 10));
    const bool added = WaitUntil([&] { return view->RowCount() == 3 && view->WaitForDetails(0); }, 10000);
    SetEntryStat(nullptr);

    ASSERT_TRUE(added);
    EXPECT_GT(counting.Statxs.load(), 0);
    EXPECT_EQ(counting.OnGuiThread.load(), 0);
    const auto ids = view->ColumnIds();
    const int frequency = int(std::find(ids.begin(), ids.end(), ciFrequency) - ids.begin());
    // In its place in the order, not after the rows that were there.
    EXPECT_EQ(view->Row(1)->Caption, "early.wav");
    EXPECT_EQ(view->RowText(1, frequency), "22050");
}

// A folder whose mount does not answer when it is opened: the view gives it up after its
// wait with one message, and lists the folder above instead of freezing the window.
TEST(SlowListing, AFolderThatDoesNotAnswerWhenOpenedIsGivenUp)
{
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    env.dir.createFile("home/hung/x.wav", Wav(1, 16, 44100, 10));
    env.dir.createFile("home/here.wav", Wav(1, 16, 44100, 10));
    SlowEntries().Folder = QFile::encodeName(env.home);
    SlowEntries().DelayMs = 8000;
    SetEntryStat(&SlowEntries());

    auto view = std::make_unique<TSystemListView>();
    view->SetDisplayMode(dmAudio);
    QElapsedTimer timer;
    timer.start();
    // Like any folder that cannot be listed: refused to the caller, one message, and the
    // folder above listed instead.
    EXPECT_THROW(view->SetDirectory(env.home + "/hung"), EModwright);
    const qint64 spent = timer.elapsed();
    const bool climbed =
        WaitUntil([&] { return !boxes.shown.isEmpty() && view->Directory() == env.home; }, 5000);
    SetEntryStat(nullptr);

    EXPECT_LT(spent, 7000) << "the view waited for the folder's answer";
    ASSERT_TRUE(climbed) << view->Directory().toStdString();
    EXPECT_EQ(boxes.shown, QStringList({"error: The folder \"" + env.home + "/hung\" does not answer."}));
}
