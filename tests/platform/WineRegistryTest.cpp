#include "platform/WineRegistry.h"

#include "platform/WinePrefix.h"
#include "support/FakeWinePrefix.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

TWineRegistry Parse(const std::string &body)
{
    return TWineRegistry::Parse("WINE REGISTRY Version 2\n" + body);
}

std::string Canonical(const QString &path)
{
    return QFileInfo(path).canonicalFilePath().toStdString();
}

} // namespace

TEST(WineRegistry, StringsWithEscapesTimestampsAndComments)
{
    const TWineRegistry reg = Parse(";; All keys relative to \\\\Machine\r\n"
                                    "#arch=win64\r\n"
                                    "[Software\\\\Vendor\\\\Tool] 1700000000\r\n"
                                    "#time=1da2b3c4d5e6f70\r\n"
                                    "@=\"default\"\r\n"
                                    "\"Path\"=\"\\\"C:\\\\Program Files\\\\a.exe\\\" /S\"\r\n"
                                    "\"Uni\"=\"caf\\x00e9 \\xd83d\\xde00 tab\\tnul\\0end\"\r\n"
                                    "\"Name \\\"q\\\"\"=\"x\"\r\n"
                                    "\"Exp\"=str(2):\"%SystemRoot%\\\\x\"\r\n");
    EXPECT_EQ(reg.ReadString("Software\\Vendor\\Tool", ""), "default");
    EXPECT_EQ(reg.ReadString("Software\\Vendor\\Tool", "Path"), "\"C:\\Program Files\\a.exe\" /S");
    EXPECT_EQ(reg.ReadString("Software\\Vendor\\Tool", "Uni"),
              std::string("caf\xc3\xa9 \xf0\x9f\x98\x80 tab\tnul") + '\0' + "end");
    EXPECT_EQ(reg.ReadString("Software\\Vendor\\Tool", "Name \"q\""), "x");
    EXPECT_EQ(reg.ReadString("Software\\Vendor\\Tool", "Exp"), "%SystemRoot%\\x");
    EXPECT_EQ(reg.Find("Software\\Vendor\\Tool", "Exp")->type, TWineRegistry::kExpandSz);
    EXPECT_EQ(reg.KeyCount(), 1u);
}

TEST(WineRegistry, KeysAndNamesIgnoreCaseLaterDuplicatesWin)
{
    const TWineRegistry reg = Parse("[Software\\\\Classes\\\\.RBS] 1\n@=\"first\"\n\"A\"=\"a\"\n"
                                    "[software\\\\classes\\\\.rbs] 2\n@=\"second\"\n"
                                    "[Odd \\[name\\]\\\\Sub] 3\n\"v\"=\"w\"\n");
    EXPECT_EQ(reg.ReadString("\\SOFTWARE\\Classes\\.rbs\\", ""), "second");
    EXPECT_EQ(reg.ReadString("software\\CLASSES\\.Rbs", "a"), "a");
    EXPECT_EQ(reg.ReadString("Odd [name]\\sub", "V"), "w");
    EXPECT_FALSE(reg.KeyExists("Software"));
    EXPECT_FALSE(reg.ReadString("Software\\Classes\\.rbs", "missing"));
}

TEST(WineRegistry, NumbersAndHexWithContinuationLines)
{
    const TWineRegistry reg = Parse("[K]\n"
                                    "\"N\"=dword:0000002a\n"
                                    "\"B\"=hex:01,02,\\\n  03,ff\n"
                                    "\"S\"=hex(2):43,00,3a,00,5c,00,\\\n    00,00\n"
                                    "\"After\"=\"still read\"\n");
    ASSERT_TRUE(reg.Find("K", "N"));
    EXPECT_EQ(reg.Find("K", "N")->number, 42u);
    EXPECT_FALSE(reg.ReadString("K", "N")); // not a string
    EXPECT_EQ(reg.Find("K", "B")->data, (std::vector<std::uint8_t>{1, 2, 3, 255}));
    EXPECT_EQ(reg.ReadString("K", "S"), "C:\\"); // a string stored as UTF-16 bytes
    EXPECT_EQ(reg.ReadString("K", "After"), "still read");
}

TEST(WineRegistry, BrokenInputIsSkippedNotFatal)
{
    EXPECT_EQ(TWineRegistry::Parse("REGEDIT4\n[K]\n\"a\"=\"b\"\n").KeyCount(), 0u);
    EXPECT_EQ(TWineRegistry::Parse("").KeyCount(), 0u);
    const TWineRegistry reg = Parse("\"orphan\"=\"no key yet\"\n"
                                    "[Unclosed\\\\Key\n\"lost\"=\"x\"\n"
                                    "[K]\n"
                                    "\"cut\"=\"no end\n"
                                    "\"bad\"=dword:123456789\n"
                                    "\"badhex\"=hex:0g\n"
                                    "\"cutoff\"=hex:01,\\\n"
                                    "\"good\"=\"yes\"\n"
                                    "garbage line\n"
                                    "\"tail\"=\"\\");
    EXPECT_EQ(reg.KeyCount(), 1u);
    EXPECT_EQ(reg.ReadString("K", "good"), "yes");
    EXPECT_EQ(reg.Find("K", "cutoff")->data, std::vector<std::uint8_t>{1});
    for (const char *name : {"cut", "bad", "badhex", "tail", "orphan", "lost"})
        EXPECT_FALSE(reg.Find("K", name)) << name;

    TTestDir dir;
    EXPECT_EQ(TWineRegistry::Load(dir.file("missing.reg").toStdString()).KeyCount(), 0u);
    EXPECT_EQ(TWineRegistry::Load(dir.createDir("folder.reg").toStdString()).KeyCount(), 0u);
}

TEST(WinePrefix, LocatedThroughWineprefixOrHomeOnlyWithSystemReg)
{
    TTestDir dir;
    {
        TFakeWinePrefix prefix(dir, "");
        ASSERT_TRUE(TWinePrefix::Locate());
        EXPECT_EQ(TWinePrefix::Locate()->Folder(), prefix.folder().toStdString());
    }
    TEnvGuard noPrefix("WINEPREFIX", std::nullopt);
    TEnvGuard home("HOME", dir.path());
    EXPECT_FALSE(TWinePrefix::Locate()); // no ~/.wine
    dir.createDir(".wine");
    EXPECT_FALSE(TWinePrefix::Locate()); // no system.reg
    dir.createFile(".wine/system.reg", "WINE REGISTRY Version 2\n");
    ASSERT_TRUE(TWinePrefix::Locate());
    EXPECT_EQ(TWinePrefix::Locate()->Folder(), dir.file(".wine").toStdString());
}

TEST(WinePrefix, UserClassesOverrideMachineClasses)
{
    TTestDir dir;
    TFakeWinePrefix fake(dir,
                         "[Software\\\\Classes\\\\.rbs]\n@=\"Machine.Song\"\n"
                         "[Software\\\\Classes\\\\.wav]\n@=\"Machine.Wave\"\n",
                         "[Software\\\\Classes\\\\.RBS] 5\n@=\"User.Song\"\n");
    const TWinePrefix prefix(fake.folder().toStdString());
    EXPECT_EQ(prefix.ReadClassesString(".rbs", "")->text, "User.Song");
    EXPECT_EQ(prefix.ReadClassesString(".rbs", "")->key, "HKEY_CURRENT_USER\\Software\\Classes\\.rbs");
    EXPECT_EQ(prefix.ReadClassesString(".wav", "")->text, "Machine.Wave");
    EXPECT_FALSE(prefix.ReadClassesString(".mid", ""));
}

TEST(WinePrefix, PathsMapThroughDrivesIgnoringCase)
{
    TTestDir dir;
    TFakeWinePrefix fake(dir, "");
    const QString exe = fake.createOnC("Program Files/ReBirth 2/ReBirth.exe");
    const TWinePrefix prefix(fake.folder().toStdString());
    EXPECT_EQ(prefix.MapPath("C:\\Program Files\\ReBirth 2\\ReBirth.exe"), Canonical(exe));
    EXPECT_EQ(prefix.MapPath("c:\\PROGRAM FILES\\rebirth 2\\REBIRTH.EXE"), Canonical(exe));
    EXPECT_EQ(prefix.MapPath("\\\\?\\C:\\program files\\x\\..\\ReBirth 2\\.\\ReBirth.exe"), Canonical(exe));
    // z: is the root of this file system.
    EXPECT_EQ(prefix.MapPath("Z:" + Canonical(exe)), Canonical(exe));
    EXPECT_EQ(prefix.MapPath("Z:" + QString(Canonical(exe).c_str()).replace('/', '\\').toStdString()),
              Canonical(exe));
    // Unmappable: no drive letter, no such drive, a missing component.
    EXPECT_EQ(prefix.MapPath("Program Files\\ReBirth 2\\ReBirth.exe"), "");
    EXPECT_EQ(prefix.MapPath("D:\\ReBirth.exe"), "");
    EXPECT_EQ(prefix.MapPath("C:\\Program Files\\ReBirth 3\\ReBirth.exe"), "");
    EXPECT_EQ(prefix.MapPath(""), "");
}

TEST(WinePrefix, ExactNameWinsOverOtherCases)
{
    TTestDir dir;
    TFakeWinePrefix fake(dir, "");
    fake.createOnC("Tools/app.exe");
    const QString exact = fake.createOnC("tools/App.exe");
    const TWinePrefix prefix(fake.folder().toStdString());
    EXPECT_EQ(prefix.MapPath("C:\\tools\\App.exe"), Canonical(exact));
}
