#include "modbuild/ExternalPrograms.h"
#include "platform/Registry.h"
#include "support/FakeWinePrefix.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QByteArray kUninstallKey =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ReBirth ModPacker] 1700000000\n";

QString Canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

TEST(WinePrograms, ModPackerFromThePrefixesUninstallEntry)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(dir, kUninstallKey + "#time=1d\n"
                                              "\"UninstallString\"=\"\\\"C:\\\\Program Files\\\\ModPacker\\\\"
                                              "uninst.exe\\\" /S\"\n");
    EXPECT_EQ(FindModPacker(), ""); // the uninstaller's folder has no ModPacker.exe
    // Another case on disk than in the registry.
    const QString packer = fake.createOnC("program files/modpacker/MODPACKER.EXE");
    EXPECT_EQ(FindModPacker(), Canonical(packer));
}

TEST(WinePrograms, UnquotedUninstallerWithBlanksIsTakenWholeWhenItExists)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(dir,
                         kUninstallKey + "\"UninstallString\"=\"C:\\\\My Tools\\\\Mod Packer\\\\un.exe\"\n");
    const QString packer = fake.createOnC("My Tools/Mod Packer/ModPacker.exe");
    EXPECT_EQ(FindModPacker(), ""); // "C:\My" up to the blank: no folder holding ModPacker.exe
    fake.createOnC("My Tools/Mod Packer/un.exe");
    EXPECT_EQ(FindModPacker(), Canonical(packer));
}

TEST(WinePrograms, OurOwnStoreWinsOverThePrefix)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(dir, kUninstallKey + "\"UninstallString\"=\"C:\\\\MP\\\\uninst.exe\"\n");
    const QString winePacker = fake.createOnC("MP/ModPacker.exe");
    EXPECT_EQ(FindModPacker(), Canonical(winePacker));

    const QString ownPacker = dir.createFile("native/ModPacker.exe", "MZ");
    {
        TRegistry reg(TRegRoot::LocalMachine);
        ASSERT_TRUE(reg.OpenKey(
            "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker", true));
        reg.WriteString("UninstallString", dir.file("native/uninst.exe").toStdString());
    }
    EXPECT_EQ(FindModPacker(), ownPacker);
}

TEST(WinePrograms, NoPrefixOrABrokenOneGivesNothing)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TEnvGuard noPrefix("WINEPREFIX", dir.createDir("empty"));
    EXPECT_EQ(FindModPacker(), "");
    EXPECT_EQ(FindReBirth(), "");

    TFakeWinePrefix fake(dir, kUninstallKey + "\"UninstallString\"=\"C:\\\\MP\\\\uninst.exe\"\n");
    fake.createOnC("MP/ModPacker.exe");
    dir.createFile("prefix/system.reg", QByteArray("WINE REGISTRY Version 2\n") + kUninstallKey +
                                            "\"UninstallString\"=\"C:\\\\MP\\\\uni");
    EXPECT_EQ(FindModPacker(), ""); // the value is cut off
    dir.createFile("prefix/system.reg", QByteArray(4096, '\xff'));
    EXPECT_EQ(FindModPacker(), "");
}

TEST(WinePrograms, ReBirthFromTheUsersOrTheMachinesAssociation)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    // A program outside the prefix, reached through z:.
    const QString outside = dir.createFile("native dir/ReBirth.exe", "MZ");
    const QString zPath = "Z:" + Canonical(outside).replace('/', "\\\\");
    TFakeWinePrefix fake(dir,
                         "[Software\\\\Classes\\\\.rbs]\n@=\"ReBirth.Song\"\n"
                         "[Software\\\\Classes\\\\ReBirth.Song\\\\shell\\\\open\\\\command]\n"
                         "@=\"\\\"C:\\\\ReBirth\\\\ReBirth.exe\\\" \\\"%1\\\"\"\n",
                         "[Software\\\\Classes\\\\.rbs]\n@=\"Mine.Song\"\n"
                         "[Software\\\\Classes\\\\Mine.Song\\\\Shell\\\\Open\\\\Command]\n"
                         "@=\"" +
                             zPath.toUtf8() + " %1\"\n");
    fake.createOnC("rebirth/rebirth.exe");
    EXPECT_EQ(FindReBirth(), Canonical(outside)); // the user's association wins

    dir.createFile("prefix/user.reg", "WINE REGISTRY Version 2\n");
    EXPECT_EQ(FindReBirth(), Canonical(dir.file("prefix/drive_c/rebirth/rebirth.exe")));
}

// A 64-bit prefix after the two 32-bit installers ran: their keys in the
// Wow6432Node views, their paths as expand strings, as `wine reg add ... /reg:32`
// leaves them in system.reg.
TEST(WinePrograms, FoundAsThe32BitInstallersLeaveThem)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(
        dir,
        kWine64SystemEnvironment +
            "[Software\\\\Classes\\\\Wow6432Node\\\\.rbs] 1796731796\n"
            "#time=1dd870d0a6047e4\n"
            "@=\"ReBirth.Song\"\n\n"
            "[Software\\\\Classes\\\\Wow6432Node\\\\ReBirth.Song\\\\shell\\\\open\\\\command] 1796731797\n"
            "@=str(2):\"\\\"%ProgramFiles%\\\\ReBirth\\\\ReBirth.exe\\\" \\\"%1\\\"\"\n\n"
            "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ReBirth "
            "ModPacker] "
            "1796731796\n"
            "\"UninstallString\"=str(2):\"\\\"%ProgramFiles%\\\\ReBirth ModPacker\\\\uninst.exe\\\" /S\"\n");
    // The 64-bit folder holds decoys that a lookup in the wrong view would find.
    fake.createOnC("Program Files/ReBirth ModPacker/ModPacker.exe");
    fake.createOnC("Program Files/ReBirth/ReBirth.exe");
    EXPECT_EQ(FindModPacker(), "");
    EXPECT_EQ(FindReBirth(), "");

    const QString packer = fake.createOnC("Program Files (x86)/ReBirth ModPacker/ModPacker.exe");
    const QString rebirth = fake.createOnC("Program Files (x86)/ReBirth/ReBirth.exe");
    const TProgramLookup foundPacker = LookupModPacker();
    EXPECT_EQ(foundPacker.path, Canonical(packer));
    EXPECT_EQ(foundPacker.from, "Wine prefix " + fake.folder() +
                                    ": HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\"
                                    "CurrentVersion\\Uninstall\\ReBirth ModPacker");
    const TProgramLookup foundReBirth = LookupReBirth();
    EXPECT_EQ(foundReBirth.path, Canonical(rebirth));
    EXPECT_EQ(foundReBirth.from,
              "Wine prefix " + fake.folder() +
                  ": HKEY_LOCAL_MACHINE\\Software\\Classes\\Wow6432Node\\ReBirth.Song\\shell\\"
                  "open\\command");
}

TEST(WinePrograms, UserClassesWithAnExpandedCommandOnTheExtensionItself)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    // A per-user install: no file type, the command below the extension, the
    // program in the user's profile, named without quotes.
    TFakeWinePrefix fake(dir, kWine64SystemEnvironment,
                         "[Software\\\\Classes\\\\.rbs\\\\shell\\\\open\\\\command]\n"
                         "@=str(2):\"%LOCALAPPDATA%\\\\My Synth\\\\ReBirth.exe %1\"\n");
    const QString rebirth = fake.createOnC("users/tester/AppData/Local/My Synth/ReBirth.exe");
    const TProgramLookup found = LookupReBirth();
    EXPECT_EQ(found.path, Canonical(rebirth));
    EXPECT_EQ(found.from, "Wine prefix " + fake.folder() +
                              ": HKEY_CURRENT_USER\\Software\\Classes\\.rbs\\shell\\open\\command");
}

TEST(WinePrograms, WhyNothingWasFound)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    {
        TEnvGuard noPrefix("WINEPREFIX", dir.file("none"));
        EXPECT_EQ(LookupModPacker().from, "there is no \"ReBirth ModPacker\" uninstall entry in our registry "
                                          "store, and there is no Wine prefix at " +
                                              dir.file("none") + " (no system.reg)");
        EXPECT_EQ(LookupReBirth().from,
                  "no program is associated with \".rbs\" in our registry store, and there "
                  "is no Wine prefix at " +
                      dir.file("none") + " (no system.reg)");
    }
    TFakeWinePrefix fake(dir, kUninstallKey + "\"UninstallString\"=\"C:\\\\MP\\\\un.exe /S\"\n"
                                              "[Software\\\\Classes\\\\.rbs]\n@=\"Song\"\n"
                                              "[Software\\\\Classes\\\\Song\\\\shell\\\\open\\\\command]\n"
                                              "@=\"\\\"C:\\\\RB\\\\ReBirth.exe\\\" \\\"%1\\\"\"\n");
    const TProgramLookup packer = LookupModPacker();
    EXPECT_EQ(packer.path, "");
    EXPECT_NE(packer.from.indexOf("there is no C:\\MP\\ModPacker.exe in the Wine prefix"), -1)
        << packer.from.toStdString();
    const TProgramLookup rebirth = LookupReBirth();
    EXPECT_EQ(rebirth.path, "");
    EXPECT_NE(rebirth.from.indexOf("\"C:\\RB\\ReBirth.exe\""), -1) << rebirth.from.toStdString();
    EXPECT_NE(rebirth.from.indexOf("does not exist"), -1) << rebirth.from.toStdString();

    // An uninstall string of 2 characters names nothing.
    dir.createFile("prefix/system.reg",
                   "WINE REGISTRY Version 2\n" + kUninstallKey + "\"UninstallString\"=\"C:\"\n");
    fake.createOnC("ModPacker.exe");
    EXPECT_EQ(FindModPacker(), "");
}

TEST(WinePrograms, DanglingDriveLinksFindNothing)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(dir, kUninstallKey + "\"UninstallString\"=\"C:\\\\MP\\\\uninst.exe\"\n");
    fake.createOnC("MP/ModPacker.exe");
    ASSERT_NE(FindModPacker(), "");
    QFile::remove(dir.file("prefix/dosdevices/c:"));
    QFile::link(dir.file("nowhere"), dir.file("prefix/dosdevices/c:"));
    EXPECT_EQ(FindModPacker(), "");
}

TEST(WinePrograms, AStoreEntryWithoutPackerIsNamedBeforeThePrefix)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
    TFakeWinePrefix fake(dir, "");
    {
        TRegistry reg(TRegRoot::LocalMachine);
        ASSERT_TRUE(reg.OpenKey(
            "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker", true));
        reg.WriteString("UninstallString", dir.file("native/uninst.exe").toStdString());
    }
    EXPECT_EQ(LookupModPacker().from, "the uninstall entry in our registry store names \"" +
                                          dir.file("native/uninst.exe") +
                                          "\", beside which there is no ModPacker.exe; there is no \"ReBirth "
                                          "ModPacker\" uninstall entry in the Wine prefix " +
                                          fake.folder());
}
