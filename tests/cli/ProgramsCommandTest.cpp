// programs, and make finding ModPacker and ReBirth by itself, over fake Wine
// prefixes laid out as the programs' 32-bit installers leave them.
#include "CliTestUtil.h"
#include "modbuild/BuildFixture.h"
#include "support/FakeWinePrefix.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

std::string S(const QString &s)
{
    return s.toStdString();
}

std::string Canonical(const QString &path)
{
    return S(QFileInfo(path).canonicalFilePath());
}

// The two uninstall and class keys as `wine reg add ... /reg:32` writes them.
const QByteArray kInstalled32 =
    kWine64SystemEnvironment +
    "[Software\\\\Classes\\\\Wow6432Node\\\\.rbs] 1796731796\n@=\"ReBirth.Song\"\n"
    "[Software\\\\Classes\\\\Wow6432Node\\\\ReBirth.Song\\\\shell\\\\open\\\\command] 1796731797\n"
    "@=str(2):\"\\\"%ProgramFiles%\\\\ReBirth\\\\ReBirth.exe\\\" \\\"%1\\\"\"\n"
    "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\ReBirth ModPacker] "
    "1\n"
    "\"UninstallString\"=str(2):\"\\\"%ProgramFiles%\\\\ReBirth ModPacker\\\\uninst.exe\\\" /S\"\n";

struct TProgramsFixture {
    TTestDir dir;
    TEnvGuard config{"MODWRIGHT_CONFIG_DIR", dir.createDir("config")};
    QString wine = dir.createFile("bin/wine", "#!/bin/sh\n");
    TEnvGuard path{"PATH", dir.file("bin") + ":/usr/bin:/bin"};
    TProgramsFixture() { QFile::setPermissions(wine, QFile::ReadOwner | QFile::ExeOwner); }
};

} // namespace

TEST(ProgramsCommand, BothFoundInThePrefixWithTheirKeys)
{
    TProgramsFixture f;
    TFakeWinePrefix fake(f.dir, kInstalled32);
    const QString packer = fake.createOnC("Program Files (x86)/ReBirth ModPacker/ModPacker.exe");
    const QString rebirth = fake.createOnC("Program Files (x86)/ReBirth/ReBirth.exe");
    const TCliRun run = RunCliWith({"programs"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string prefix = S(fake.folder());
    EXPECT_EQ(run.out,
              "{\"modpacker\": \"" + Canonical(packer) + "\", \"rebirth\": \"" + Canonical(rebirth) +
                  "\", \"wine\": \"" + S(f.wine) + "\", \"prefix\": \"" + prefix +
                  "\", \"modpackerFrom\": \"Wine prefix " + prefix +
                  ": HKEY_LOCAL_MACHINE\\\\Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\"
                  "CurrentVersion\\\\Uninstall\\\\ReBirth ModPacker\", \"rebirthFrom\": \"Wine prefix " +
                  prefix +
                  ": HKEY_LOCAL_MACHINE\\\\Software\\\\Classes\\\\Wow6432Node\\\\ReBirth.Song\\\\shell\\\\"
                  "open\\\\command\"}\n");
    EXPECT_EQ(RunCliWith({"programs", "extra"}).exitCode, 2);
}

TEST(ProgramsCommand, NullsAndReasonsWithoutPrefixOrWine)
{
    TProgramsFixture f;
    QFile::remove(f.wine);
    TEnvGuard onlyOurs("PATH", f.dir.file("bin"));
    TEnvGuard noPrefix("WINEPREFIX", f.dir.file("no prefix"));
    const TCliRun run = RunCliWith({"programs"});
    EXPECT_EQ(run.exitCode, 0);
    const std::string where =
        "and there is no Wine prefix at " + S(f.dir.file("no prefix")) + " (no system.reg)";
    EXPECT_EQ(run.out,
              "{\"modpacker\": null, \"rebirth\": null, \"wine\": null, \"prefix\": null, "
              "\"modpackerFrom\": \"there is no \\\"ReBirth ModPacker\\\" uninstall entry in our "
              "registry store, " +
                  where +
                  "\", \"rebirthFrom\": \"no program is associated with \\\".rbs\\\" in our registry "
                  "store, " +
                  where + "\"}\n");
}

TEST(MakeCommand, WithoutModPackerUsesWhatThePrefixHolds)
{
    TProgramsFixture f;
    TFakeWinePrefix fake(f.dir, kInstalled32);
    // A stand-in packer: a script, started as itself although it is named ".exe".
    const QString log = f.dir.file("log");
    const QString packer =
        f.dir.createFile("prefix/drive_c/Program Files (x86)/ReBirth ModPacker/ModPacker.exe",
                         QString("#!/bin/sh\n{ echo \"$*\"; pwd; } > '%1'\n"
                                 "cp \"$*/ModName.txt\" '%1.name'\nexit 5\n")
                             .arg(log)
                             .toUtf8());
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::ExeOwner);
    fake.createOnC("Program Files (x86)/ReBirth/ReBirth.exe");
    const QString mods = f.dir.createDir("prefix/drive_c/Program Files (x86)/ReBirth/mods");
    const QString bd = f.dir.createFile("bd.wav", fixture::WavBytes(1, 16, 44100, {1, 2, 3}));
    const QString file = f.dir.createFile(
        "Assignments.ini", QString("[Assignments]\r\nAssignment1=Demo\r\n[Ass.Demo]\r\n808 Bassdrum=%1\r\n"
                                   "ModName=%2\r\n")
                               .arg(bd, QString::fromUtf8("\xc3\x89t\xc3\xa9 \xe2\x82\xac"))
                               .toUtf8());
    const QString temp = f.dir.createDir("temp");

    const TCliRun run = RunCliWith({"make", S(file), "Demo", "--temp", S(temp)});
    EXPECT_EQ(run.exitCode, 5) << run.err;
    EXPECT_EQ(QString::fromUtf8(TTestDir::readAll(log)).split('\n', Qt::SkipEmptyParts),
              (QStringList{temp + "/Mdw2Temp/" + QString::fromUtf8("\xc3\x89t\xc3\xa9 \xe2\x82\xac"),
                           QFileInfo(mods).canonicalFilePath()}));
    EXPECT_EQ(TTestDir::readAll(log + ".name"), QByteArray("\xc9t\xe9 \x80\r\n"));
}

TEST(MakeCommand, WithoutModPackerAndNoneFoundSaysWhy)
{
    TProgramsFixture f;
    TEnvGuard noPrefix("WINEPREFIX", f.dir.file("none"));
    const QString file =
        f.dir.createFile("Assignments.ini", "[Assignments]\r\nAssignment1=Demo\r\n[Ass.Demo]\r\n");
    const TCliRun run = RunCliWith({"make", S(file), "Demo"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.rfind("ModPacker was not found: there is no \"ReBirth ModPacker\" uninstall entry", 0),
              0u)
        << run.err;
    EXPECT_NE(run.err.find("Name it with --modpacker."), std::string::npos);
}
