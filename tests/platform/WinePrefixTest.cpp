// The prefix as 32-bit installers leave it in a 64-bit Wine prefix: their keys
// in the Wow6432Node view, their paths as REG_EXPAND_SZ strings.
#include "platform/WinePrefix.h"

#include "platform/WineCommand.h"
#include "support/FakeWinePrefix.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TWinePrefix Prefix(const std::string &system, const std::string &user = {})
{
    return TWinePrefix("/nonexistent", TWineRegistry::Parse("WINE REGISTRY Version 2\n" + system),
                       TWineRegistry::Parse("WINE REGISTRY Version 2\n" + user), "tester");
}

const std::string kEnvironment = kWine64SystemEnvironment.toStdString();

} // namespace

TEST(WinePrefixViews, The32BitViewIsReadFirstAndSaysWhereItWasFound)
{
    const TWinePrefix prefix = Prefix("[Software\\\\Vendor\\\\Tool]\n\"Path\"=\"native\"\n\"Only64\"=\"a\"\n"
                                      "[Software\\\\Wow6432Node\\\\Vendor\\\\Tool]\n\"Path\"=\"wow\"\n"
                                      "\"Empty\"=\"\"\n"
                                      "[System\\\\Setup]\n\"X\"=\"y\"\n");
    EXPECT_EQ(prefix.ReadMachineString("Software\\Vendor\\Tool", "Path")->text, "wow");
    EXPECT_EQ(prefix.ReadMachineString("SOFTWARE\\Vendor\\Tool", "Path")->key,
              "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Vendor\\Tool");
    EXPECT_EQ(prefix.ReadMachineString("Software\\Vendor\\Tool", "Only64")->key,
              "HKEY_LOCAL_MACHINE\\Software\\Vendor\\Tool");
    EXPECT_FALSE(prefix.ReadMachineString("Software\\Vendor\\Tool", "Empty")); // empty counts as missing
    EXPECT_EQ(prefix.ReadMachineString("System\\Setup", "X")->text, "y");      // only Software has two views
    EXPECT_FALSE(prefix.ReadMachineString("Software\\Vendor\\Other", "Path"));
}

TEST(WinePrefixViews, UserClassesThenMachineClassesEach32BitFirst)
{
    const std::string machine = "[Software\\\\Classes\\\\.a]\n@=\"m64\"\n"
                                "[Software\\\\Classes\\\\Wow6432Node\\\\.a]\n@=\"m32\"\n"
                                "[Software\\\\Classes\\\\.b]\n@=\"m64\"\n"
                                "[Software\\\\Classes\\\\.c]\n@=\"m64\"\n";
    const std::string user = "[Software\\\\Classes\\\\.b]\n@=\"u64\"\n"
                             "[Software\\\\Classes\\\\Wow6432Node\\\\.c]\n@=\"u32\"\n"
                             "[Software\\\\Classes\\\\.c]\n@=\"u64\"\n"
                             "[Software\\\\Classes\\\\.d]\n\"NotDefault\"=\"x\"\n";
    const TWinePrefix prefix = Prefix(machine, user);
    EXPECT_EQ(prefix.ReadClassesString(".a", "")->text, "m32");
    EXPECT_EQ(prefix.ReadClassesString(".b", "")->text, "u64");
    EXPECT_EQ(prefix.ReadClassesString(".c", "")->text, "u32");
    EXPECT_EQ(prefix.ReadClassesString(".c", "")->key,
              "HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\.c");
    EXPECT_FALSE(prefix.ReadClassesString(".d", "")); // a user key without the value hides nothing
}

TEST(WineEnvironmentTest, ExpandStringsFromThePrefixesOwnEnvironment)
{
    const TWinePrefix prefix =
        Prefix(kEnvironment +
                   "[Software\\\\Wow6432Node\\\\Vendor]\n\"A\"=str(2):\"%ProgramFiles%\\\\Tool\\\\a.exe\"\n"
                   "[Software\\\\Vendor]\n\"B\"=str(2):\"%ProgramFiles%\\\\Tool\\\\b.exe\"\n"
                   "\"Plain\"=\"%ProgramFiles%\"\n",
               "[Environment]\n\"TEMP\"=\"C:\\\\users\\\\tester\\\\Temp\"\n\"MINE\"=str(2):\"%USERPROFILE%"
               "\\\\x\"\n");
    // A 32-bit installer's %ProgramFiles% is the "(x86)" folder; a native one's is not.
    EXPECT_EQ(prefix.ReadMachineString("Software\\Vendor", "A")->text,
              "C:\\Program Files (x86)\\Tool\\a.exe");
    EXPECT_EQ(prefix.ReadMachineString("Software\\Vendor", "B")->text, "C:\\Program Files\\Tool\\b.exe");
    EXPECT_EQ(prefix.ReadMachineString("Software\\Vendor", "Plain")->text, "%ProgramFiles%"); // REG_SZ stays

    const TWineEnvironment &env32 = prefix.Environment(true);
    const TWineEnvironment &env64 = prefix.Environment(false);
    EXPECT_EQ(env32.Expand("%ProgramFiles(x86)%|%ProgramW6432%|%CommonProgramFiles%"),
              "C:\\Program Files (x86)|C:\\Program Files|C:\\Program Files (x86)\\Common Files");
    EXPECT_EQ(env64.Expand("%programfiles%|%CommonProgramFiles%"),
              "C:\\Program Files|C:\\Program Files\\Common Files");
    EXPECT_EQ(env64.Expand("%SystemRoot%|%windir%|%SystemDrive%|%ComSpec%"),
              "C:\\windows|C:\\windows|C:|C:\\windows\\system32\\cmd.exe");
    EXPECT_EQ(env64.Expand("%USERPROFILE%|%APPDATA%|%ProgramData%|%PUBLIC%|%TEMP%|%MINE%"),
              "C:\\users\\tester|C:\\users\\tester\\AppData\\Roaming|C:\\ProgramData|C:\\users\\Public|"
              "C:\\users\\tester\\Temp|C:\\users\\tester\\x");
    // Unknown names, lone signs and "%1" stay as written; a known name after them is expanded.
    EXPECT_EQ(env64.Expand("\"%1\" %NoSuch% 100% %% %SystemDrive%"), "\"%1\" %NoSuch% 100% %% C:");
}

TEST(WineEnvironmentTest, AnEmptyPrefixStillHasWinesDefaultsAndLoopsEnd)
{
    const TWinePrefix prefix =
        Prefix("[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment]\n"
               "\"Loop\"=str(2):\"%Loop%%Loop%\"\n\"A\"=str(2):\"%B%\"\n\"B\"=str(2):\"%A%\"\n");
    const TWineEnvironment &env = prefix.Environment(true);
    // A 32-bit prefix: one Program Files folder, no "(x86)" one.
    EXPECT_EQ(env.Expand("%ProgramFiles%|%SystemRoot%|%USERPROFILE%"),
              "C:\\Program Files|C:\\windows|C:\\users\\tester");
    EXPECT_EQ(env.Expand("%ProgramFiles(x86)%"), "%ProgramFiles(x86)%");
    EXPECT_LE(env.Expand("%Loop%").size(), TWineEnvironment::kMaxLength);
    EXPECT_NE(env.Expand("%A%").find('%'), std::string::npos); // cut at the depth limit, not expanded forever
}

TEST(WineCommandTest, ProgramOfAnOpenCommand)
{
    const auto exists = [](const std::string &path) {
        return path == "C:\\Program Files\\ReBirth\\ReBirth.exe" || path == "C:\\Tools\\play.exe";
    };
    EXPECT_EQ(CommandProgram("\"C:\\Program Files\\ReBirth\\ReBirth.exe\" \"%1\"", exists),
              "C:\\Program Files\\ReBirth\\ReBirth.exe");
    EXPECT_EQ(CommandProgram("  \"C:\\Missing\\x.exe\" %1", exists),
              "C:\\Missing\\x.exe"); // quoted: taken as is
    EXPECT_EQ(CommandProgram("C:\\Program Files\\ReBirth\\ReBirth.exe %1", exists),
              "C:\\Program Files\\ReBirth\\ReBirth.exe");
    EXPECT_EQ(CommandProgram("C:\\Tools\\play \"%1\"", exists), "C:\\Tools\\play.exe");
    EXPECT_EQ(CommandProgram("C:\\Nothing\\here.exe %1", exists), "C:\\Nothing\\here.exe");
    EXPECT_EQ(CommandProgram("\"unclosed", exists), "unclosed");
    EXPECT_EQ(CommandProgram("   ", exists), "");
}

TEST(WineCommandTest, UninstallStrings)
{
    const auto exists = [](const std::string &path) { return path == "C:\\Program Files\\MP\\uninst.exe"; };
    EXPECT_EQ(UninstallerProgram("ab", exists), ""); // 2 characters
    EXPECT_EQ(UninstallerProgram("\"\"", exists), "");
    EXPECT_EQ(UninstallerProgram("\xc3\xa9\xc3\xa9", exists), ""); // 2 characters in 4 bytes
    EXPECT_EQ(UninstallerProgram("C:\\u.exe", exists), "C:\\u.exe");
    EXPECT_EQ(UninstallerProgram("\"C:\\Program Files\\MP\\uninst.exe\" /S", exists),
              "C:\\Program Files\\MP\\uninst.exe");
    EXPECT_EQ(UninstallerProgram("C:\\Program Files\\MP\\uninst.exe /S", exists),
              "C:\\Program Files\\MP\\uninst.exe");
    EXPECT_EQ(UninstallerProgram("C:\\Program Files\\MP\\uninst.exe\"", exists),
              "C:\\Program Files\\MP\\uninst.exe"); // a stray trailing quote goes
    EXPECT_EQ(UninstallerProgram("C:\\Other Place\\u.exe /S", exists), "C:\\Other"); // none exists: the first word
}

TEST(WinePrefixDrives, DriveLinksPointingNowhereMapNothing)
{
    TTestDir dir;
    TFakeWinePrefix fake(dir, "");
    fake.createOnC("Program Files/a.exe");
    QFile::remove(dir.file("prefix/dosdevices/c:"));
    QFile::link(dir.file("gone"), dir.file("prefix/dosdevices/c:"));
    QFile::link("c:", dir.file("prefix/dosdevices/d:")); // a link to a link to nothing
    QFile::link("e:", dir.file("prefix/dosdevices/e:")); // a loop
    const TWinePrefix prefix(fake.folder().toStdString());
    EXPECT_EQ(prefix.MapPath("C:\\Program Files\\a.exe"), "");
    EXPECT_EQ(prefix.MapPath("D:\\a.exe"), "");
    EXPECT_EQ(prefix.MapPath("E:\\a.exe"), "");
}

TEST(WineRegistryKeys, SubKeysAndValuesOfAKey)
{
    const TWineRegistry reg =
        TWineRegistry::Parse("WINE REGISTRY Version 2\n"
                             "[A\\\\B]\n\"x\"=\"1\"\n[A\\\\B\\\\C]\n[A\\\\B\\\\C\\\\D]\n"
                             "[A\\\\BB]\n[A\\\\b\\\\E]\n\"Y\"=\"2\"\n");
    EXPECT_EQ(reg.SubKeys("a\\b"), (std::vector<std::string>{"c", "e"}));
    EXPECT_TRUE(reg.SubKeys("A\\Z").empty());
    ASSERT_TRUE(reg.Values("A\\B\\E"));
    EXPECT_EQ(reg.Values("A\\B\\E")->at("y").text, "2");
    EXPECT_FALSE(reg.Values("Z"));
}
