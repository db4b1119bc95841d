#include "BrowserFixtures.h"
#include "common/MessageBoxes.h"
#include "controls/SystemListView.h"
#include "platform/MemIniFile.h"
#include "platform/RegIniFile.h"
#include "platform/Shell.h"
#include "support/NoFileOverride.h"
#include "support/ShellTestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace browser_fixtures;

namespace {

class SystemListViewNavigation : public ::testing::Test {
protected:
    QStringList Captions() const
    {
        QStringList captions;
        for (int i = 0; i < view->RowCount(); ++i)
            captions << view->Row(i)->Caption;
        return captions;
    }
    void Show(const QString &path)
    {
        view->SetDirectory(path);
        view->WaitForDetails(5000);
    }
    void SetModified(const QString &relative, int daysAgo)
    {
        QFile f(env.dir.file(relative));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(
            f.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo), QFileDevice::FileModificationTime));
    }

    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    std::unique_ptr<TSystemListView> view = std::make_unique<TSystemListView>();
};

} // namespace

TEST_F(SystemListViewNavigation, ParentRowThenFoldersThenFilesInEverySortAndReversed)
{
    env.dir.createFile("home/big.txt", QByteArray(5000, 'x'));
    env.dir.createFile("home/small.txt", "x");
    env.dir.createFile("home/Middle.wav", QByteArray(2000, 'x'));
    env.dir.createDir("home/zz");
    env.dir.createDir("home/Aa");
    SetModified("home/big.txt", 3);
    SetModified("home/small.txt", 1);
    SetModified("home/Middle.wav", 2);
    Show(env.home);
    // Name: shell order, case ignored.
    EXPECT_EQ(Captions(), QStringList({"..", "Aa", "zz", "big.txt", "Middle.wav", "small.txt"}));
    view->SortByColumn(ciSize);
    EXPECT_EQ(view->SortColumn(), 1);
    EXPECT_EQ(Captions(), QStringList({"..", "Aa", "zz", "small.txt", "Middle.wav", "big.txt"}));
    view->SortByColumn(ciModified);
    EXPECT_EQ(Captions(), QStringList({"..", "Aa", "zz", "small.txt", "Middle.wav", "big.txt"}))
        << "the most recent first";
    view->SortByColumn(ciType);
    EXPECT_EQ(Captions().mid(3), QStringList({"big.txt", "small.txt", "Middle.wav"}))
        << "Plain text document before WAV audio, equal types in shell order";
    EXPECT_EQ(view->ColumnCaption(2), "Type+");
    EXPECT_EQ(view->ColumnCaption(0), "Name");

    // Clicking the sort column again reverses everything, ".." and folders too.
    view->ColumnClick(2);
    EXPECT_TRUE(view->ReverseSort());
    EXPECT_EQ(view->ColumnCaption(2), "Type-");
    EXPECT_EQ(Captions(), QStringList({"Middle.wav", "small.txt", "big.txt", "zz", "Aa", ".."}));
    // Another column clears the reverse flag.
    view->ColumnClick(0);
    EXPECT_FALSE(view->ReverseSort());
    EXPECT_EQ(view->ColumnCaption(0), "Name+");
    EXPECT_EQ(view->ColumnCaption(2), "Type");
    EXPECT_EQ(Captions(), QStringList({"..", "Aa", "zz", "big.txt", "Middle.wav", "small.txt"}));
    // SortByColumn clears the reverse flag; an id that is not shown changes nothing.
    view->ColumnClick(0);
    view->SortByColumn(ciName);
    EXPECT_FALSE(view->ReverseSort());
    view->SortByColumn(ciSamples);
    EXPECT_EQ(view->SortColumn(), 0);
}

TEST_F(SystemListViewNavigation, SortByProbeSlots)
{
    env.dir.createFile("home/a.wav", Wav(1, 16, 44100, 300));
    env.dir.createFile("home/b.wav", Wav(2, 8, 8000, 100));
    env.dir.createFile("home/c.wav", Wav(1, 16, 22050, 200));
    view->SetDisplayMode(dmAudio);
    Show(env.home);
    view->SortByColumn(ciSamples);
    EXPECT_EQ(Captions(), QStringList({"..", "b.wav", "c.wav", "a.wav"}));
    view->SortByColumn(ciFrequency);
    EXPECT_EQ(Captions(), QStringList({"..", "b.wav", "c.wav", "a.wav"}));
    view->SortByColumn(ciResolution);
    EXPECT_EQ(Captions(), QStringList({"..", "b.wav", "a.wav", "c.wav"})) << "8 bits, then 16 in shell order";
    view->SortByColumn(ciChannels);
    EXPECT_EQ(Captions(), QStringList({"..", "a.wav", "c.wav", "b.wav"})) << "mono before stereo as text";
}

TEST_F(SystemListViewNavigation, SelectionFollowsTheRowsWhenSorted)
{
    env.dir.createFile("home/a.txt", QByteArray(300, 'x'));
    env.dir.createFile("home/b.txt", QByteArray(100, 'x'));
    Show(env.home);
    view->SelectRow(view->FindRow("a.txt"));
    view->SortByColumn(ciSize);
    ASSERT_EQ(view->SelectedRows().size(), 1u);
    EXPECT_EQ(view->Row(view->SelectedRows().front())->Caption, "a.txt");
}

TEST_F(SystemListViewNavigation, HistoryBackForwardAndDroppedForwardEntries)
{
    const QString a = env.dir.createDir("home/a"), b = env.dir.createDir("home/b");
    const QString c = env.dir.createDir("home/c"), d = env.dir.createDir("home/d");
    Show(a);
    view->GoBack(); // from the first entry: nothing
    EXPECT_EQ(view->Directory(), a);
    EXPECT_FALSE(view->ToolButtons() & ToolButton(tbBack));
    Show(b);
    Show(c);
    EXPECT_EQ(view->HistoryCount(), 3);
    EXPECT_EQ(view->HistoryPosition(), 2);
    view->GoForward(); // from the last entry: nothing
    EXPECT_EQ(view->Directory(), c);
    view->GoBack();
    EXPECT_EQ(view->Directory(), b);
    EXPECT_EQ(view->HistoryPosition(), 1);
    EXPECT_TRUE(view->ToolButtons() & ToolButton(tbBack));
    EXPECT_TRUE(view->ToolButtons() & ToolButton(tbForward));
    view->GoBack();
    EXPECT_EQ(view->Directory(), a);
    EXPECT_FALSE(view->ToolButtons() & ToolButton(tbBack));
    view->GoForward();
    EXPECT_EQ(view->Directory(), b);
    // A new folder after going back drops the entries ahead.
    Show(d);
    EXPECT_EQ(view->HistoryCount(), 3);
    EXPECT_EQ(view->HistoryText(0), a);
    EXPECT_EQ(view->HistoryText(1), b);
    EXPECT_EQ(view->HistoryText(2), d);
    EXPECT_FALSE(view->ToolButtons() & ToolButton(tbForward));
    // Going up and refreshing keep the history consistent.
    view->GoUp();
    EXPECT_EQ(view->Directory(), env.home);
    view->RefreshFolder();
    EXPECT_EQ(view->HistoryCount(), 4);
}

TEST_F(SystemListViewNavigation, WritingTheDirectory)
{
    env.dir.createDir("home/Drums");
    env.dir.createDir("home/drums");
    int changes = 0;
    view->OnChangeDir = [&](TSystemListView *) { ++changes; };
    Show(env.home + "/Drums");
    EXPECT_EQ(changes, 1);
    view->SetDirectory(env.home + "/Drums");
    EXPECT_EQ(changes, 1) << "the same text lists nothing again";
    view->SetDirectory("");
    EXPECT_EQ(changes, 1);
    // Letter case names another folder on this file system.
    view->SetDirectory(env.home + "/drums");
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(view->Directory(), env.home + "/drums");
    view->SetDirectory("Computer");
    view->SetDirectory("COMPUTER");
    EXPECT_EQ(changes, 3) << "virtual names ignore case";
    try {
        view->SetDirectory("/no/such/folder");
        FAIL() << "no exception";
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "Folder /no/such/folder is not valid.");
    }
    EXPECT_THROW(view->SetDirectory("relative"), EModwright);
}

TEST_F(SystemListViewNavigation, AnUnreadableFolderFallsBackToItsParentWithOneMessage)
{
    const QString locked = env.dir.createDir("home/locked");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    {
        TNoFileOverride permissions;
        ASSERT_TRUE(permissions.active());
        Show(env.home);
        EXPECT_FALSE(view->EnterRow(view->FindRow("locked")) && view->Directory() == locked);
        ASSERT_TRUE(WaitUntil([&] { return boxes.shown.size() == 1 && view->Directory() == env.home; }));
        Spin(100);
    }
    ::chmod(QFile::encodeName(locked).constData(), 0755);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: Cannot open folder")) << boxes.shown[0].toStdString();
    EXPECT_TRUE(boxes.shown[0].contains("Permission denied"));
    EXPECT_EQ(view->Directory(), env.home);
    EXPECT_TRUE(view->FindRow("locked") >= 0);
}

TEST_F(SystemListViewNavigation, AFolderThatIsGoneClimbsToTheNearestOneThatExists)
{
    const QString deep = env.dir.createDir("volume/a/b/c");
    Show(deep);
    QDir(env.volume + "/a").removeRecursively();
    view->RefreshFolder();
    ASSERT_TRUE(WaitUntil([&] { return view->Directory() == env.volume; }));
    EXPECT_TRUE(boxes.shown.isEmpty()) << "climbing is quiet";
    EXPECT_EQ(view->Row(0)->Caption, "..");
}

TEST_F(SystemListViewNavigation, StartEmptyDirHoldsTheListingUntilStarted)
{
    env.dir.createFile("home/x.wav", "x");
    int changes = 0;
    view->OnChangeDir = [&](TSystemListView *) { ++changes; };
    view->SetStartEmptyDir(true);
    view->SetDirectory(env.home);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(view->RowCount(), 0);
    EXPECT_EQ(view->RealDirectory(), env.home);
    EXPECT_EQ(view->Directory(), "");
    view->StartListing();
    EXPECT_EQ(view->Directory(), env.home);
    EXPECT_EQ(Captions(), QStringList({"..", "x.wav"}));
    EXPECT_EQ(changes, 2);
}

TEST_F(SystemListViewNavigation, SettingsRoundTripInAnIniStore)
{
    Show(env.home);
    view->SetViewStyle(vsReport);
    view->SetDisplayMode(dmAudio);
    view->SetColumnWidth(0, 222);
    view->SortByColumn(ciSamples);
    view->ColumnClick(view->SortColumn()); // reversed
    view->SetShowHiddenFiles(true);
    view->SetAutoArrange(false);
    TMemIniFile ini;
    view->WriteSettings(ini, "Audio File Browser");
    EXPECT_EQ(ini.ReadInteger("Audio File Browser", "w41", -1), 222) << "Name width of the audio columns";
    EXPECT_TRUE(ini.ValueExists("Audio File Browser", "w4D")) << "Channels width of the audio columns";
    EXPECT_EQ(ini.ReadInteger("Audio File Browser", "s4", -1), 5) << "Samples is the sixth audio column";
    EXPECT_FALSE(ini.ValueExists("Audio File Browser", "s3")) << "a sort column of 0 is not written";
    EXPECT_FALSE(ini.ValueExists("Audio File Browser", "w31")) << "widths never set are not written";
    EXPECT_FALSE(ini.ValueExists("Audio File Browser", "LastPIDL")) << "only the registry keeps the folder";
    EXPECT_EQ(ini.ReadInteger("Audio File Browser", "ViewStyle", -1), 3);
    EXPECT_EQ(ini.ReadInteger("Audio File Browser", "DisplayMode", -1), 2);
    // The store finds names whatever their case, so the names as written are read
    // back from the section itself: a lower-case letter, then upper-case hex digits.
    QStringList widthAndSortNames;
    for (const std::string &name : ini.ReadSection("Audio File Browser")) {
        const QString n = QString::fromStdString(name);
        if (QRegularExpression("^[wWsS][0-9A-Fa-f]{1,2}$").match(n).hasMatch())
            widthAndSortNames << n;
    }
    EXPECT_TRUE(widthAndSortNames.contains("w41")) << widthAndSortNames.join(' ').toStdString();
    EXPECT_TRUE(widthAndSortNames.contains("w4D")) << widthAndSortNames.join(' ').toStdString();
    EXPECT_TRUE(widthAndSortNames.contains("s4")) << widthAndSortNames.join(' ').toStdString();
    for (const QString &n : widthAndSortNames)
        EXPECT_TRUE(QRegularExpression("^(w[0-9A-F]{2}|s[0-9A-F])$").match(n).hasMatch()) << n.toStdString();

    auto other = std::make_unique<TSystemListView>();
    other->ReadSettings(ini, "Audio File Browser");
    other->WaitForDetails(5000);
    EXPECT_EQ(other->ViewStyle(), vsReport);
    EXPECT_EQ(other->DisplayMode(), dmAudio);
    EXPECT_TRUE(other->ReverseSort());
    EXPECT_TRUE(other->ShowHiddenFiles());
    EXPECT_FALSE(other->AutoArrange());
    EXPECT_EQ(other->ColumnType(), ctAudio) << "without a last folder it lists the current directory";
    EXPECT_EQ(other->Directory(), QDir::currentPath());
    EXPECT_EQ(other->SortColumn(), 5);
    EXPECT_EQ(other->ColumnWidth(0), 222);
    EXPECT_EQ(other->ColumnCaption(5), "Samples-");

    // Out-of-range values are ignored.
    ini.WriteInteger("Audio File Browser", "ViewStyle", 7);
    ini.WriteInteger("Audio File Browser", "DisplayMode", 3);
    auto third = std::make_unique<TSystemListView>();
    third->ReadSettings(ini, "Audio File Browser");
    EXPECT_EQ(third->ViewStyle(), vsIcon);
    EXPECT_EQ(third->DisplayMode(), dmAll);
}

TEST_F(SystemListViewNavigation, TheRegistryKeepsTheLastFolder)
{
    const QString kits = env.dir.createDir("volume/kits");
    auto store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser,
                                                  env.dir.file("HKEY_CURRENT_USER.reg").toStdString());
    TRegIniFile registry(store, "Software\\Test");
    Show(kits);
    view->WriteSettings(registry, "Image File Browser");
    ASSERT_TRUE(registry.HasBinary("Image File Browser", "LastPIDL"));
    auto other = std::make_unique<TSystemListView>();
    other->ReadSettings(registry, "Image File Browser");
    EXPECT_EQ(other->Directory(), kits);

    // The root is a value without bytes.
    view->BrowseToPidl(TItemIdList());
    view->WriteSettings(registry, "Image File Browser");
    EXPECT_TRUE(registry.HasBinary("Image File Browser", "LastPIDL"));
    EXPECT_TRUE(registry.ReadBinary("Image File Browser", "LastPIDL").empty());
    auto atRoot = std::make_unique<TSystemListView>();
    atRoot->ReadSettings(registry, "Image File Browser");
    EXPECT_EQ(atRoot->Directory(), "Desktop");

    // Damaged bytes never crash: the current directory is listed instead.
    registry.WriteBinary("Image File Browser", "LastPIDL", {9, 0, 'f', 1});
    auto damaged = std::make_unique<TSystemListView>();
    damaged->ReadSettings(registry, "Image File Browser");
    EXPECT_EQ(damaged->Directory(), QDir::currentPath());
    // An item no folder knows: the listing climbs to a folder that exists.
    registry.WriteBinary("Image File Browser", "LastPIDL", {5, 0, 'q', 0, 'x', 0, 0});
    auto unknown = std::make_unique<TSystemListView>();
    unknown->ReadSettings(registry, "Image File Browser");
    ASSERT_TRUE(WaitUntil([&] { return unknown->Directory() == "Desktop"; }));
}
