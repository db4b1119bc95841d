#include "platform/Registry.h"

#include "ChildProcess.h"
#include "RegistryFixture.h"
#include "platform/Exception.h"
#include "platform/FileIo.h"

#include <QDir>
#include <thread>

namespace {

using Strings = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

const char kKey[] = "\\Software\\Talwen\\Modwright for ReBirth 2\\Current";

} // namespace

using Registry = TRegistryTest;

TEST_F(Registry, ValuesRoundTripThroughTheFileInRegeditFormat)
{
    {
        TRegistry reg(TRegRoot::CurrentUser);
        ASSERT_TRUE(reg.OpenKey(kKey, true));
        reg.WriteString("ModwrightPath", "/opt/mw/modwright");
        reg.WriteInteger("Splitter0", 42);
        reg.WriteInteger("Negative", -1);
        reg.WriteString("", "default");
        reg.WriteString("Quoted", "say \"C:\\Mods\\\"");
    }
    EXPECT_EQ(ReadText(UserFile()),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Talwen]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Talwen\\Modwright for ReBirth 2]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Talwen\\Modwright for ReBirth 2\\Current]\r\n"
              "\"ModwrightPath\"=\"/opt/mw/modwright\"\r\n"
              "\"Splitter0\"=dword:0000002a\r\n"
              "\"Negative\"=dword:ffffffff\r\n"
              "@=\"default\"\r\n"
              "\"Quoted\"=\"say \\\"C:\\\\Mods\\\\\\\"\"\r\n\r\n");
    TRegistry fresh(TRegRoot::CurrentUser);
    ASSERT_TRUE(fresh.OpenKeyReadOnly(kKey));
    EXPECT_EQ(fresh.ReadString("ModwrightPath"), "/opt/mw/modwright");
    EXPECT_EQ(fresh.ReadInteger("Splitter0"), 42);
    EXPECT_EQ(fresh.ReadInteger("Negative"), -1);
    EXPECT_EQ(fresh.ReadString(""), "default");
    EXPECT_EQ(fresh.ReadString("Quoted"), "say \"C:\\Mods\\\"");
    EXPECT_EQ(fresh.GetValueNames(), (Strings{"ModwrightPath", "Splitter0", "Negative", "", "Quoted"}));
}

TEST_F(Registry, MultiLineUnicodeAndBinaryDataRoundTrip)
{
    const std::string lines = "first\r\nsecond\nthird \xE2\x82\xAC \xF0\x9F\x8E\xB9";
    const Bytes pidl = {0x14, 0x00, 0x1f, 0x50, 0xe0, 0x4f, 0xd0, 0x20, 0xea, 0x3a, 0x69, 0x10, 0xa2, 0xd8,
                        0x08, 0x00, 0x2b, 0x30, 0x30, 0x9d, 0x00, 0x00, 0x14, 0x00, 0x1f, 0x50, 0xe0, 0x4f,
                        0xd0, 0x20, 0xea, 0x3a, 0x69, 0x10, 0xa2, 0xd8, 0x08, 0x00, 0x00, 0x00};
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
        reg.WriteString("Lines", lines);
        reg.WriteString("Plain", "Grüße");
        reg.WriteExpandString("Expand", "%HOME%/x");
        reg.WriteBinary("LastPIDL", pidl);
        reg.WriteBinary("Empty", {});
    }
    const std::string text = ReadText(UserFile());
    EXPECT_NE(text.find("\"Lines\"=hex(1):66,00,69,00"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Plain\"=\"Grüße\""), std::string::npos);
    EXPECT_NE(text.find(",\\\r\n  "), std::string::npos) << "long byte lists wrap";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Test", false));
    EXPECT_EQ(reg.ReadString("Lines"), lines);
    EXPECT_EQ(reg.ReadString("Plain"), "Grüße");
    EXPECT_EQ(reg.ReadString("Expand"), "%HOME%/x");
    EXPECT_EQ(reg.GetDataType("Expand"), TRegDataType::rdExpandString);
    EXPECT_EQ(reg.ReadBinary("LastPIDL"), pidl);
    EXPECT_TRUE(reg.ValueExists("Empty"));
    EXPECT_EQ(reg.GetDataType("Empty"), TRegDataType::rdBinary);
}

TEST_F(Registry, KeyAndValueNamesIgnoreCaseAndKeepTheirSpelling)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Talwen", true));
    reg.WriteString("ImgEditorPath", "/usr/bin/gimp");
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\talwen", false));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Talwen");
    EXPECT_EQ(reg.ReadString("imgeditorpath"), "/usr/bin/gimp");
    reg.WriteString("IMGEDITORPATH", "/usr/bin/krita");
    EXPECT_EQ(reg.GetValueNames(), Strings{"ImgEditorPath"});
    EXPECT_EQ(reg.ReadString("ImgEditorPath"), "/usr/bin/krita");
    ASSERT_TRUE(reg.OpenKey("\\software\\TALWEN\\Sub", true));
    EXPECT_EQ(reg.CurrentPath(), "Software\\Talwen\\Sub");
    reg.CloseKey();
    ASSERT_TRUE(reg.OpenKey("Software", false));
    EXPECT_EQ(reg.GetKeyNames(), Strings{"Talwen"});
}

TEST_F(Registry, KeysAreCreatedWithParentsListedAndDeletedWithSubkeys)
{
    TRegistry reg(TRegRoot::ClassesRoot);
    EXPECT_FALSE(reg.OpenKey("\\.wav", false));
    EXPECT_TRUE(
        reg.CreateKey("\\SoundRec\\shellex\\ContextMenuHandlers\\{6BCAD262-73D3-4b17-BA5F-40AF35E9123B}"));
    EXPECT_FALSE(reg.CreateKey("\\soundrec")); // exists already
    EXPECT_TRUE(reg.CreateKey("\\SoundRec\\DefaultIcon"));
    EXPECT_TRUE(reg.CreateKey("\\SoundRec Other")); // sorts after SoundRec's subkeys
    ASSERT_TRUE(reg.OpenKey("\\SoundRec", false));
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_EQ(reg.GetKeyNames(), (Strings{"DefaultIcon", "shellex"}));
    ASSERT_TRUE(reg.OpenKey("DefaultIcon", false)); // relative to the current key
    EXPECT_EQ(reg.CurrentPath(), "SoundRec\\DefaultIcon");
    EXPECT_FALSE(reg.HasSubKeys());
    reg.CloseKey();
    EXPECT_EQ(reg.GetKeyNames(), (Strings{"SoundRec", "SoundRec Other"}));
    EXPECT_TRUE(reg.DeleteKey("\\SOUNDREC"));
    EXPECT_FALSE(reg.KeyExists("\\SoundRec\\shellex\\ContextMenuHandlers"));
    EXPECT_TRUE(reg.KeyExists("\\SoundRec Other"));
    EXPECT_FALSE(reg.DeleteKey("\\SoundRec"));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(File("HKEY_CLASSES_ROOT.reg"))));
}

TEST_F(Registry, AValueOfAnotherTypeReadsAsTheDefault)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Test", true));
    reg.WriteString("Text", "12");
    reg.WriteInteger("Number", 7);
    reg.WriteBinary("Bytes", {1, 2});
    EXPECT_EQ(reg.ReadInteger("Text", -5), -5);
    EXPECT_EQ(reg.ReadString("Number", "def"), "def");
    EXPECT_EQ(reg.ReadString("Bytes", "def"), "def");
    EXPECT_TRUE(reg.ReadBinary("Text").empty());
    EXPECT_EQ(reg.ReadInteger("Missing", 3), 3);
    EXPECT_EQ(reg.GetDataType("Missing"), TRegDataType::rdUnknown);
    EXPECT_EQ(reg.GetDataType("Number"), TRegDataType::rdInteger);
    EXPECT_TRUE(reg.DeleteValue("number"));
    EXPECT_FALSE(reg.DeleteValue("Number"));
    EXPECT_FALSE(reg.ValueExists("Number"));
}

TEST_F(Registry, ReadOnlyHandlesAndBadNamesRefuseToWrite)
{
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software", true));
    ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software"));
    EXPECT_THROW(reg.WriteString("x", "y"), EModwright);
    ASSERT_TRUE(reg.OpenKey("\\Software", false));
    EXPECT_THROW(reg.WriteString("two\nlines", "y"), EModwright);
    EXPECT_THROW(reg.CreateKey("bad\nkey"), EModwright);
    EXPECT_TRUE(reg.GetValueNames().empty());
}

TEST_F(Registry, MissingEmptyAndBinaryFilesReadAsEmpty)
{
    TRegistry missing(TRegRoot::LocalMachine);
    EXPECT_FALSE(missing.KeyExists("\\SOFTWARE"));
    EXPECT_TRUE(missing.GetKeyNames().empty());
    EXPECT_FALSE(QFile::exists(QString::fromStdString(File("HKEY_LOCAL_MACHINE.reg"))))
        << "reading creates nothing";

    WriteText(UserFile(), "");
    EXPECT_TRUE(TRegistry().GetKeyNames().empty());

    std::string junk;
    for (int i = 0; i < 8192; ++i)
        junk += static_cast<char>((i * 2654435761u) >> 13);
    WriteText(UserFile(), junk);
    TRegistry reg;
    reg.GetKeyNames();
    ASSERT_TRUE(reg.OpenKey("Software", true)); // and the store still works
    reg.WriteInteger("n", 1);
    EXPECT_EQ(TRegistry().KeyExists("\\Software"), true);
}

TEST_F(Registry, ForeignAndDamagedLinesAreSkipped)
{
    WriteText(UserFile(), "\xEF\xBB\xBFWindows Registry Editor Version 5.00\n\n"
                          "\"Orphan\"=\"before any key\"\n"
                          "[HKEY_LOCAL_MACHINE\\Other]\n\"Foreign\"=\"x\"\n"
                          "[HKEY_CURRENT_USERX\\Nope]\n"
                          "[-HKEY_CURRENT_USER\\Deleted]\n"
                          "[HKEY_CURRENT_USER\\Good]\n"
                          "; a comment\n"
                          "\"A\"=\"1\"\n"
                          "\"B\"=-\n"
                          "\"C\"=dword:zz\n"
                          "\"D\"=hex:01,0g\n"
                          "\"E\"=\"unterminated\n"
                          "\"F\"=dword:00000010\n"
                          "[HKEY_CURRENT_USER\\Cut");
    TRegistry reg;
    EXPECT_EQ(reg.GetKeyNames(), Strings{"Good"});
    ASSERT_TRUE(reg.OpenKey("Good", false));
    EXPECT_EQ(reg.GetValueNames(), (Strings{"A", "F"}));
    EXPECT_EQ(reg.ReadInteger("F"), 16);
}

TEST_F(Registry, AHalfWrittenFileYieldsOnlyCorrectValues)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\A", true));
        reg.WriteString("Text", "some text \\ with \" quotes");
        reg.WriteInteger("Number", 0x12345678);
        reg.WriteString("Lines", "one\r\ntwo\r\nthree and a longer line to make the byte list wrap twice");
        ASSERT_TRUE(reg.OpenKey("\\Software\\B", true));
        reg.WriteString("Last", "z");
    }
    const std::string full = ReadText(UserFile());
    const TRegTree whole = TRegTree::Parse(full, "HKEY_CURRENT_USER");
    // Every prefix of the file is a possible crash point of a non-atomic writer.
    for (std::size_t cut = 0; cut <= full.size(); ++cut) {
        const TRegTree part = TRegTree::Parse(std::string_view(full).substr(0, cut), "HKEY_CURRENT_USER");
        for (const char *key : {"Software\\A", "Software\\B"}) {
            const TRegKeyData *data = part.FindKey(key);
            if (!data)
                continue;
            for (const TRegValue &value : data->values)
                ASSERT_EQ(value, *whole.FindValue(key, value.name)) << "cut at " << cut << ": " << value.name;
        }
    }
}

TEST_F(Registry, Utf16ExportsOfRegeditAreRead)
{
    const std::string utf8 =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\W]\r\n"
        "\"Name\"=\"Wert\"\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : utf8) {
        utf16 += c;
        utf16 += '\0';
    }
    WriteText(UserFile(), utf16);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\W", false));
    EXPECT_EQ(reg.ReadString("Name"), "Wert");
}

TEST_F(Registry, AFailedWriteRaisesAndLeavesTheOldFileIntact)
{
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software", true));
        reg.WriteString("Keep", "me");
    }
    const std::string before = ReadText(UserFile());
    const int outcome = RunInChild(
        [] {
            TRegistry reg;
            reg.OpenKey("Software", false);
            reg.WriteString("Big", std::string(4096, 'x'));
        },
        1024);
    EXPECT_EQ(outcome, 0) << "the failed write must raise EModwright";
    EXPECT_EQ(ReadText(UserFile()), before);
    const QStringList left = QDir(QString::fromStdString(Folder())).entryList(QDir::Files);
    EXPECT_EQ(left, (QStringList{"HKEY_CURRENT_USER.reg", "HKEY_CURRENT_USER.reg.lock"}));
}

TEST_F(Registry, AnUnwritableConfigurationFolderGivesAClearMessage)
{
    WriteText(File("blocker"), "a file where a folder should be");
    ::setenv("MODWRIGHT_CONFIG_DIR", File("blocker/modwright").c_str(), 1);
    TRegistry reg;
    EXPECT_FALSE(reg.KeyExists("\\Software")); // reading is fine
    try {
        reg.CreateKey("\\Software");
        FAIL() << "no error";
    } catch (const EModwright &e) {
        EXPECT_NE(e.message().find("blocker/modwright"), std::string::npos) << e.message();
    }
}

TEST_F(Registry, TwoProcessesWritingAtOnceKeepBothValues)
{
    auto writer = [](const char *prefix) {
        return [prefix] {
            TRegistry reg;
            for (int i = 0; i < 25; ++i) {
                reg.OpenKey("\\Software\\Shared", true);
                reg.WriteString(prefix + std::to_string(i), prefix);
            }
        };
    };
    const pid_t first = ::fork();
    if (first == 0)
        ::_exit(RunInChild(writer("main")));
    const int second = RunInChild(writer("ctx"));
    int status = 0;
    ::waitpid(first, &status, 0);
    ASSERT_EQ(second, 1) << "the writer returns normally";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Shared", false));
    EXPECT_EQ(reg.GetValueNames().size(), 50u);
    EXPECT_EQ(reg.ReadString("main24"), "main");
    EXPECT_EQ(reg.ReadString("ctx0"), "ctx");
}

TEST_F(Registry, TwoThreadsWithTheirOwnStoresKeepBothValues)
{
    auto writer = [](std::string name) {
        TRegistry reg;
        reg.OpenKey("\\Software\\Shared", true);
        for (int i = 0; i < 20; ++i)
            reg.WriteInteger(name + std::to_string(i), i);
    };
    std::thread a(writer, "a"), b(writer, "b");
    a.join();
    b.join();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Shared", false));
    EXPECT_EQ(reg.GetValueNames().size(), 40u);
}

TEST_F(Registry, AStoreSeesChangesOfOtherStoresAndGathersItsOwn)
{
    auto store = std::make_shared<TRegistryStore>(TRegRoot::CurrentUser);
    TRegistry mine(store), other;
    ASSERT_TRUE(mine.OpenKey("\\Software\\K", true));
    ASSERT_TRUE(other.OpenKey("\\Software\\K", false));
    other.WriteString("FromOther", "1");
    EXPECT_EQ(mine.ReadString("FromOther"), "1");

    const TFileStamp stamp = FileStamp(UserFile());
    {
        TRegistryUpdate update(*store);
        mine.WriteString("A", "a");
        mine.WriteInteger("B", 2);
        EXPECT_EQ(mine.ReadString("A"), "a"); // visible at once
        EXPECT_EQ(FileStamp(UserFile()), stamp) << "nothing written before the commit";
        other.WriteString("Meanwhile", "m"); // another writer in between
        EXPECT_EQ(mine.ReadString("A"), "a");
        update.Commit();
    }
    TRegistry check;
    ASSERT_TRUE(check.OpenKey("\\Software\\K", false));
    EXPECT_EQ(check.GetValueNames(), (Strings{"FromOther", "Meanwhile", "A", "B"}));

    {
        TRegistryUpdate dropped(*store);
        mine.WriteString("Dropped", "x");
    } // no commit
    EXPECT_FALSE(mine.ValueExists("Dropped"));
    EXPECT_FALSE(check.ValueExists("Dropped"));
}

TEST(RegistryConfigFolder, FollowsTheEnvironment)
{
    const std::string saved[] = {std::getenv("MODWRIGHT_CONFIG_DIR") ? std::getenv("MODWRIGHT_CONFIG_DIR")
                                                                     : "",
                                 std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "",
                                 std::getenv("HOME") ? std::getenv("HOME") : ""};
    ::setenv("MODWRIGHT_CONFIG_DIR", "/cfg/mw/", 1);
    EXPECT_EQ(ConfigFolder(), "/cfg/mw");
    ::unsetenv("MODWRIGHT_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(ConfigFolder(), "/xdg/modwright");
    ::setenv("XDG_CONFIG_HOME", "", 1);
    ::setenv("HOME", "/home/someone", 1);
    EXPECT_EQ(ConfigFolder(), "/home/someone/.config/modwright");
    EXPECT_EQ(TRegistryStore(TRegRoot::ClassesRoot).FileName(),
              "/home/someone/.config/modwright/HKEY_CLASSES_ROOT.reg");
    const char *names[] = {"MODWRIGHT_CONFIG_DIR", "XDG_CONFIG_HOME", "HOME"};
    for (int i = 0; i < 3; ++i) {
        if (saved[i].empty())
            ::unsetenv(names[i]);
        else
            ::setenv(names[i], saved[i].c_str(), 1);
    }
}
