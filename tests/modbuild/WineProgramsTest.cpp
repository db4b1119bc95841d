#include "modbuild/ExternalPrograms.h"
#include "platform/Registry.h"
#include "support/FakeWinePrefix.h"

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
