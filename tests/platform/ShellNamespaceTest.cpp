#include "platform/Exception.h"
#include "platform/Shell.h"
#include "platform/ShellEnvironment.h"
#include "support/NoFileOverride.h"
#include "support/ShellTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kAll = SHCONTF_FOLDERS | SHCONTF_NONFOLDERS;

QStringList Names(const TShellFolder &folder, uint32_t flags)
{
    QStringList names;
    auto items = folder.EnumObjects(flags);
    TItemIdList item;
    while (items->Next(item))
        names << folder.GetDisplayNameOf(item.get(), SHGDN_INFOLDER);
    names.sort();
    return names;
}

uint32_t Attributes(const TShellFolder &folder, const QString &name, uint32_t mask = 0xFFFFFFFF)
{
    auto items = folder.EnumObjects(kAll | SHCONTF_INCLUDEHIDDEN);
    TItemIdList item;
    while (items->Next(item))
        if (folder.GetDisplayNameOf(item.get(), SHGDN_INFOLDER) == name) {
            uint32_t a = mask;
            EXPECT_TRUE(folder.GetAttributesOf(item.get(), a));
            return a;
        }
    ADD_FAILURE() << "no item " << name.toStdString();
    return 0;
}

TItemIdList Parse(const QString &path)
{
    return SHGetDesktopFolder()->ParseDisplayName(path);
}

class ShellNamespace : public ::testing::Test {
protected:
    TShellTestEnvironment env;
};

} // namespace

TEST_F(ShellNamespace, TheRootIsTheDesktopWithHomeComputerAndTheDesktopEntries)
{
    env.dir.createFile("desktop/notes.txt", "x");
    env.dir.createDir("desktop/Samples");
    env.dir.createFile("desktop/.hidden", "x");
    const auto desktop = SHGetDesktopFolder();
    EXPECT_TRUE(desktop->AbsoluteList() == nullptr);
    EXPECT_EQ(SHGetPathFromIDListText(nullptr), env.desktop);
    EXPECT_EQ(SHGetFileInfo(nullptr, SHGFI_DISPLAYNAME).DisplayName, "Desktop");
    EXPECT_EQ(Names(*desktop, kAll), QStringList({"Computer", "Home", "Samples", "notes.txt"}));
    EXPECT_EQ(Names(*desktop, SHCONTF_FOLDERS), QStringList({"Computer", "Home", "Samples"}));
    EXPECT_EQ(Names(*desktop, SHCONTF_NONFOLDERS), QStringList({"notes.txt"}));
    EXPECT_EQ(Names(*desktop, kAll | SHCONTF_INCLUDEHIDDEN),
              QStringList({".hidden", "Computer", "Home", "Samples", "notes.txt"}));
    const uint32_t root = SHGetFileInfo(nullptr, SHGFI_ATTRIBUTES).Attributes;
    EXPECT_TRUE(root & SFGAO_FOLDER);
    EXPECT_TRUE(root & SFGAO_FILESYSTEM) << "the desktop folder exists, so new folders can go there";
}

TEST_F(ShellNamespace, TheDesktopStaysListableWithoutItsFolder)
{
    QDir(env.desktop).removeRecursively();
    const auto desktop = SHGetDesktopFolder();
    EXPECT_EQ(Names(*desktop, kAll), QStringList({"Computer", "Home"}));
    EXPECT_FALSE(SHGetFileInfo(nullptr, SHGFI_ATTRIBUTES).Attributes & SFGAO_FILESYSTEM);
}

TEST_F(ShellNamespace, ComputerIsVirtualAndHoldsTheVolumes)
{
    const auto desktop = SHGetDesktopFolder();
    const uint32_t computer = Attributes(*desktop, "Computer", kListingAttributeMask);
    EXPECT_TRUE(computer & SFGAO_FILESYSANCESTOR);
    EXPECT_TRUE(computer & SFGAO_FOLDER);
    EXPECT_FALSE(computer & SFGAO_FILESYSTEM);

    const TItemIdList computerList = Parse("Computer");
    EXPECT_EQ(PidlCount(computerList.get()), 1);
    EXPECT_TRUE(SHGetPathFromIDList(computerList.get()).isEmpty());
    const auto folder = ShellBindAbsolute(computerList.get());
    EXPECT_TRUE(folder->FileSystemPath().isEmpty());
    EXPECT_EQ(Names(*folder, kAll), QStringList({"File System", "STICK"}));
    EXPECT_TRUE(Names(*folder, SHCONTF_NONFOLDERS).isEmpty());

    const uint32_t stick = Attributes(*folder, "STICK", kListingAttributeMask | SFGAO_REMOVABLE);
    EXPECT_TRUE(stick & SFGAO_FILESYSTEM);
    EXPECT_TRUE(stick & SFGAO_REMOVABLE);
}

TEST_F(ShellNamespace, HomeIsTheHomeFolder)
{
    env.dir.createFile("home/a.wav", "x");
    const auto desktop = SHGetDesktopFolder();
    auto items = desktop->EnumObjects(SHCONTF_FOLDERS);
    TItemIdList item;
    while (items->Next(item) && desktop->GetDisplayNameOf(item.get(), SHGDN_NORMAL) != "Home") {
    }
    ASSERT_FALSE(item.isNull());
    EXPECT_EQ(QFile::decodeName(desktop->ItemPath(item.get())), env.home);
    const auto home = desktop->BindToObject(item.get());
    EXPECT_EQ(Names(*home, kAll), QStringList({"a.wav"}));
    uint32_t a = kListingAttributeMask;
    ASSERT_TRUE(desktop->GetAttributesOf(item.get(), a));
    EXPECT_TRUE(a & SFGAO_FILESYSTEM);
    EXPECT_FALSE(a & SFGAO_CANDELETE);
}

TEST_F(ShellNamespace, PathsParseThroughTheVolumeThatHoldsThem)
{
    env.dir.createFile("volume/drums/kick.wav", "x");
    const TItemIdList onStick = Parse(env.volume + "/drums/kick.wav");
    // Computer, the volume, "drums", "kick.wav".
    EXPECT_EQ(PidlCount(onStick.get()), 4);
    EXPECT_EQ(SHGetPathFromIDListText(onStick.get()), env.volume + "/drums/kick.wav");

    env.dir.createFile("home/x/y.txt", "x");
    const TItemIdList elsewhere = Parse(env.home + "/x/../x/./y.txt");
    EXPECT_EQ(SHGetPathFromIDListText(elsewhere.get()), env.home + "/x/y.txt");
    // Computer, "/", the parts of the home path, "x", "y.txt".
    EXPECT_EQ(PidlCount(elsewhere.get()), 2 + env.home.count('/') + 2);

    EXPECT_EQ(PidlCount(Parse("/").get()), 2);
    EXPECT_EQ(SHGetPathFromIDListText(Parse("/").get()), "/");
    EXPECT_TRUE(Parse("desktop").isNull()) << "the desktop's own name gives the root";
    EXPECT_THROW(Parse(env.home + "/missing"), EModwright);
    EXPECT_THROW(Parse("relative/path"), EModwright);
}

TEST_F(ShellNamespace, BindingFollowsTheListAndRefusesFiles)
{
    env.dir.createFile("volume/drums/kick.wav", "x");
    const auto folder = ShellBindAbsolute(Parse(env.volume + "/drums").get());
    EXPECT_EQ(QFile::decodeName(folder->FileSystemPath()), env.volume + "/drums");
    EXPECT_EQ(Names(*folder, kAll), QStringList({"kick.wav"}));
    EXPECT_THROW(ShellBindAbsolute(Parse(env.volume + "/drums/kick.wav").get()), EModwright);
    // A list that no folder knows (a home item below a volume).
    const uint8_t foreign[] = {4, 0, 'h', 1, 0, 0};
    const TItemIdList bad = PidlCombine(Parse(env.volume).get(), TItemIdList::FromBytes(foreign, 6).get());
    EXPECT_THROW(ShellBindAbsolute(bad.get()), EModwright);
    EXPECT_TRUE(SHGetPathFromIDList(bad.get()).isEmpty());
}

TEST_F(ShellNamespace, FileSystemAttributesAndFindData)
{
    env.dir.createFile("home/f/one.bmp", QByteArray(1500, 'x'));
    env.dir.createFile("home/f/.dot", "x");
    env.dir.createDir("home/f/sub/inner");
    env.dir.createDir("home/f/empty");
    const auto folder = ShellBindAbsolute(Parse(env.home + "/f").get());

    const uint32_t file = Attributes(*folder, "one.bmp");
    EXPECT_TRUE(file & SFGAO_FILESYSTEM);
    EXPECT_FALSE(file & SFGAO_FOLDER);
    EXPECT_TRUE(file & SFGAO_CANRENAME);
    EXPECT_TRUE(file & SFGAO_CANDELETE);
    EXPECT_TRUE(file & SFGAO_CANCOPY);
    EXPECT_TRUE(file & SFGAO_CANMOVE);
    EXPECT_FALSE(file & (SFGAO_HIDDEN | SFGAO_READONLY | SFGAO_LINK | SFGAO_DROPTARGET));

    const uint32_t sub = Attributes(*folder, "sub");
    EXPECT_TRUE(sub & SFGAO_FOLDER);
    EXPECT_TRUE(sub & SFGAO_FILESYSANCESTOR);
    EXPECT_TRUE(sub & SFGAO_HASSUBFOLDER);
    EXPECT_TRUE(sub & SFGAO_DROPTARGET);
    EXPECT_FALSE(Attributes(*folder, "empty") & SFGAO_HASSUBFOLDER);
    EXPECT_TRUE(Attributes(*folder, ".dot") & SFGAO_HIDDEN);
    // The mask limits what is reported.
    EXPECT_EQ(Attributes(*folder, "sub", SFGAO_FOLDER), uint32_t(SFGAO_FOLDER));

    TFindData data;
    auto items = folder->EnumObjects(SHCONTF_NONFOLDERS);
    TItemIdList item;
    ASSERT_TRUE(items->Next(item));
    ASSERT_TRUE(folder->GetDataFromIDList(item.get(), data));
    EXPECT_EQ(data.FileName, "one.bmp");
    EXPECT_EQ(data.FileSize(), 1500u);
    EXPECT_EQ(data.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(env.home + "/f/one.bmp").constData(), &st), 0);
    // 100-ns units since 1601.
    EXPECT_EQ(data.LastWriteTime / 10000000ULL, uint64_t(st.st_mtime) + 11644473600ULL);
    EXPECT_EQ(SHGetFileInfo(Parse(env.home + "/f/one.bmp").get(), SHGFI_TYPENAME).TypeName,
              "Windows BMP image");
    EXPECT_EQ(SHGetFileInfo(Parse(env.home + "/f/sub").get(), SHGFI_TYPENAME).TypeName, "Folder");
}

TEST_F(ShellNamespace, ReadOnlyWhenTheUserCannotWrite)
{
    const QString path = env.dir.createFile("home/locked.wav", "x");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    TNoFileOverride permissions;
    ASSERT_TRUE(permissions.active());
    const auto folder = ShellBindAbsolute(Parse(env.home).get());
    EXPECT_TRUE(Attributes(*folder, "locked.wav") & SFGAO_READONLY);
    TFindData data;
    ASSERT_TRUE(SHGetDataFromIDList(Parse(path).get(), data));
    EXPECT_TRUE(data.FileAttributes & FILE_ATTRIBUTE_READONLY);
}

TEST_F(ShellNamespace, UnreadableFoldersRaiseOnEnumeration)
{
    const QString locked = env.dir.createDir("home/locked");
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    TNoFileOverride permissions;
    ASSERT_TRUE(permissions.active());
    const auto folder = ShellBindAbsolute(Parse(locked).get());
    try {
        folder->EnumObjects(kAll);
        FAIL() << "enumeration of an unreadable folder succeeded";
    } catch (const EModwright &e) {
        EXPECT_NE(std::string(e.what()).find("Permission denied"), std::string::npos) << e.what();
    }
    ::chmod(QFile::encodeName(locked).constData(), 0755);
}

TEST_F(ShellNamespace, NamesThatAreNotUtf8KeepTheirBytes)
{
    const QByteArray folderPath = QFile::encodeName(env.home);
    const QByteArray raw = folderPath + "/bad\xff\xfe.wav";
    const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);
    const auto folder = ShellBindAbsolute(Parse(env.home).get());
    auto items = folder->EnumObjects(kAll);
    TItemIdList item;
    ASSERT_TRUE(items->Next(item));
    EXPECT_EQ(folder->ItemPath(item.get()), raw);
    TFindData data;
    ASSERT_TRUE(folder->GetDataFromIDList(item.get(), data));
    EXPECT_EQ(data.FileName, QByteArray("bad\xff\xfe.wav"));
    EXPECT_EQ(data.FileSize(), 3u);
    EXPECT_TRUE(folder->GetDisplayNameOf(item.get(), SHGDN_NORMAL).endsWith(".wav"));
    const TItemIdList absolute = PidlCombine(folder->AbsoluteList(), item.get());
    EXPECT_EQ(SHGetPathFromIDList(absolute.get()), raw);
    const TItemIdList renamed = folder->SetNameOf(item.get(), "good.wav", 0);
    EXPECT_TRUE(QFile::exists(env.home + "/good.wav"));
}

TEST_F(ShellNamespace, SymbolicLinkLoopsAreFilesAndDoNotHang)
{
    const QByteArray home = QFile::encodeName(env.home);
    ASSERT_EQ(::symlink("self", (home + "/self").constData()), 0);
    ASSERT_EQ(::symlink("b", (home + "/a").constData()), 0);
    ASSERT_EQ(::symlink("a", (home + "/b").constData()), 0);
    ASSERT_EQ(::symlink(".", (home + "/here").constData()), 0);
    const auto folder = ShellBindAbsolute(Parse(env.home).get());
    EXPECT_EQ(Names(*folder, SHCONTF_NONFOLDERS), QStringList({"a", "b", "self"}));
    EXPECT_EQ(Names(*folder, SHCONTF_FOLDERS), QStringList({"here"}));
    const uint32_t self = Attributes(*folder, "self");
    EXPECT_TRUE(self & SFGAO_LINK);
    EXPECT_FALSE(self & SFGAO_FOLDER);
    EXPECT_TRUE(Attributes(*folder, "here") & SFGAO_FOLDER);
    // A folder that holds itself can be entered again and again without harm.
    const auto inner = ShellBindAbsolute(Parse(env.home + "/here/here/here").get());
    EXPECT_EQ(Names(*inner, SHCONTF_FOLDERS), QStringList({"here"}));
    TFindData data;
    EXPECT_TRUE(SHGetDataFromIDList(Parse(env.home + "/self").get(), data));
    EXPECT_TRUE(data.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(ShellNamespace, CompareIdsPutsFoldersFirstThenNamesIgnoringCase)
{
    env.dir.createFiles({"home/banana.wav", "home/Apple.wav", "home/cherry.wav", "home/apple.wav"});
    env.dir.createDir("home/zebra");
    const auto folder = ShellBindAbsolute(Parse(env.home).get());
    std::vector<TItemIdList> items;
    auto e = folder->EnumObjects(kAll);
    TItemIdList item;
    while (e->Next(item))
        items.push_back(std::move(item));
    std::sort(items.begin(), items.end(), [&](const TItemIdList &a, const TItemIdList &b) {
        return folder->CompareIDs(a.get(), b.get()) < 0;
    });
    QStringList order;
    for (const auto &i : items)
        order << folder->GetDisplayNameOf(i.get(), SHGDN_NORMAL);
    EXPECT_EQ(order, QStringList({"zebra", "Apple.wav", "apple.wav", "banana.wav", "cherry.wav"}));
    EXPECT_EQ(folder->CompareIDs(items[1].get(), items[1].get()), 0);

    // At the root the virtual items come before the desktop's entries.
    env.dir.createDir("desktop/Aardvark");
    const auto desktop = SHGetDesktopFolder();
    std::vector<TItemIdList> rootItems;
    e = desktop->EnumObjects(kAll);
    while (e->Next(item))
        rootItems.push_back(std::move(item));
    std::sort(rootItems.begin(), rootItems.end(), [&](const TItemIdList &a, const TItemIdList &b) {
        return desktop->CompareIDs(a.get(), b.get()) < 0;
    });
    ASSERT_EQ(rootItems.size(), 3u);
    EXPECT_EQ(desktop->GetDisplayNameOf(rootItems[0].get(), 0), "Home");
    EXPECT_EQ(desktop->GetDisplayNameOf(rootItems[2].get(), 0), "Aardvark");
}

TEST_F(ShellNamespace, RenameNeverReplacesAnotherFile)
{
    env.dir.createFile("home/a.wav", "A");
    env.dir.createFile("home/b.wav", "B");
    const auto folder = ShellBindAbsolute(Parse(env.home).get());
    const TItemIdList a = PidlLast(Parse(env.home + "/a.wav").get());
    try {
        folder->SetNameOf(a.get(), "b.wav", 0x20);
        FAIL() << "rename over an existing file succeeded";
    } catch (const EModwright &e) {
        EXPECT_NE(std::string(e.what()).find("exists"), std::string::npos) << e.what();
    }
    EXPECT_EQ(TTestDir::readAll(env.home + "/b.wav"), "B");
    EXPECT_THROW(folder->SetNameOf(a.get(), "x/y", 0), EModwright);
    EXPECT_THROW(folder->SetNameOf(a.get(), "", 0), EModwright);
    EXPECT_THROW(folder->SetNameOf(a.get(), "..", 0), EModwright);

    const TItemIdList renamed = folder->SetNameOf(a.get(), "A.wav", 0x20);
    EXPECT_EQ(folder->GetDisplayNameOf(renamed.get(), 0), "A.wav");
    EXPECT_EQ(TTestDir::readAll(env.home + "/A.wav"), "A");
    EXPECT_FALSE(QFile::exists(env.home + "/a.wav"));

    const TItemIdList computer = PidlLast(Parse("Computer").get());
    EXPECT_THROW(SHGetDesktopFolder()->SetNameOf(computer.get(), "Mine", 0), EModwright);
}

TEST(ShellVolumes, MountTablePicksRootAndUserVolumes)
{
    const QByteArray table = "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                             "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
                             "30 27 8:17 / /media/me/MY\\040STICK ro,nosuid - vfat /dev/sdb1 ro\n"
                             "31 27 8:18 / /run/media/me/CARD rw - exfat /dev/sdc1 rw\n"
                             "32 27 0:50 / /home/me/remote rw - fuse.sshfs host: rw\n"
                             "33 27 0:51 / /home/me/.cache/doc rw - fuse.portal portal rw\n"
                             "34 27 8:1 / /boot rw - ext4 /dev/sda1 rw\n"
                             "35 27 0:52 / /mnt/tmp rw - tmpfs tmpfs rw\n"
                             "garbage line\n";
    const auto volumes = VolumesFromMountInfo(table, "/home/me");
    ASSERT_EQ(volumes.size(), 4u);
    EXPECT_EQ(volumes[0].RootPath, "/");
    EXPECT_EQ(volumes[0].Name, "File System");
    EXPECT_EQ(volumes[1].RootPath, "/media/me/MY STICK");
    EXPECT_EQ(volumes[1].Name, "MY STICK");
    EXPECT_TRUE(volumes[1].Removable);
    EXPECT_TRUE(volumes[1].ReadOnly);
    EXPECT_EQ(volumes[2].RootPath, "/run/media/me/CARD");
    EXPECT_FALSE(volumes[2].ReadOnly);
    EXPECT_EQ(volumes[3].RootPath, "/home/me/remote");
    EXPECT_FALSE(volumes[3].Removable);
}
