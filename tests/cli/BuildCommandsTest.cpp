// The mod-building commands: convert, check, export, import, make.

#include "CliTestUtil.h"
#include "modbuild/BuildFixture.h"

#include <QFile>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixture;

namespace {

std::string S(const QString &s)
{
    return s.toStdString();
}

// An assignment file with one assignment "Demo" over files in the folder.
QString WriteAssignmentFile(TTestDir &dir, const QString &modName = "Demo Mod")
{
    const QString led = dir.createFile("src/led.bmp", BmpBytes(Gradient(109, 16)));
    const QString bd = dir.createFile("src/bd.wav", WavBytes(2, 8, 44100, {10, 30, -10, -30}));
    const QString song = dir.createFile("src/song.rbs", "song");
    return dir.createFile("Assignments.ini",
                          QString("[Assignments]\r\nAssignment1=Demo\r\n[Ass.Demo]\r\n"
                                  "808 Bassdrum=%1\r\nLED digits=%2\r\nModName=%3\r\nWWW=\r\n"
                                  "FTP=ftp://x\r\nDemoSong=%4\r\nComments=one\\ntwo\r\n")
                              .arg(bd, led, modName, song)
                              .toUtf8());
}

} // namespace

TEST(ConvertCommand, ImagesAndDrumsByTheirExtensions)
{
    TTestDir dir;
    const QString bmp = dir.createFile("in.bmp", BmpBytes(Gradient(40, 30)));
    TCliRun run = RunCliWith({"convert", S(bmp), S(dir.file("out.jpg")), "--quality", "100"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const QByteArray jpeg = TTestDir::readAll(dir.file("out.jpg"));
    EXPECT_EQ(jpeg, EncodeJpeg(Gradient(40, 30), 100));

    const QString wav = dir.createFile("in.wav", WavBytes(2, 16, 44100, {100, 300, -5, 0}));
    run = RunCliWith({"convert", S(wav), S(dir.file("out.aif"))});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadSamples(TTestDir::readAll(dir.file("out.aif"))).points, (std::vector<int>{200, -2}));
}

TEST(ConvertCommand, FailuresAndWrongCommandLines)
{
    TTestDir dir;
    const QString exif = dir.createFile("photo.jpg", ExifJpeg(Gradient(8, 8)));
    TCliRun run = RunCliWith({"convert", S(exif), S(dir.file("out.bmp"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, S(dir.file("photo.jpg")) + " is no valid JPEG image file.\n");
    EXPECT_FALSE(QFile::exists(dir.file("out.bmp")));

    EXPECT_EQ(RunCliWith({"convert", S(dir.file("missing.wav")), S(dir.file("o.aif"))}).exitCode, 1);
    EXPECT_EQ(RunCliWith({"convert", "a.png", "b.jpg"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"convert", "a.bmp"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"convert", "a.bmp", "b.jpg", "--quality", "0"}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"convert", "a.bmp", "b.jpg", "--size", "3"}).exitCode, 2);
}

TEST(CheckCommand, MeasuredValuesAndWarningsAsOneJsonLine)
{
    TTestDir dir;
    const QString wav = dir.createFile("bd.wav", WavBytes(2, 8, 44100, {1, 2, 3, 4, 5, 6}));
    TCliRun run = RunCliWith({"check", "60", S(wav)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "{\"index\": 60, \"name\": \"808 Bassdrum\", \"file\": \"" + S(wav) +
                  "\", \"kind\": \"drum\", \"frames\": 3, \"rate\": 44100, \"bits\": 8, \"channels\": 2, "
                  "\"warnings\": [\"*Warning: " +
                  S(wav) + " is not 16 bit.\", \"*Warning: " + S(wav) + " is not mono.\"]}\n");

    const QString jpg = dir.createFile("panel.jpg", JpegBytes(Gradient(10, 20)));
    run = RunCliWith({"check", "14", S(jpg)});
    EXPECT_EQ(run.out,
              "{\"index\": 14, \"name\": \"Splash\", \"file\": \"" + S(jpg) +
                  "\", \"kind\": \"image\", \"width\": 10, \"height\": 20, \"bits\": 24, \"warnings\": "
                  "[\"*Warning: panel.jpg has non-standard size (10x20 instead of 256x256).\"]}\n");
}

TEST(CheckCommand, RefusedFilesExitWithTheMessage)
{
    TTestDir dir;
    const QString slow = dir.createFile("slow.wav", WavBytes(1, 16, 22050, {1}));
    TCliRun run = RunCliWith({"check", "104", S(slow)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, S(slow) + " 's frequency is not 44100 Hz.\n");
    EXPECT_EQ(RunCliWith({"check", "105", S(slow)}).exitCode, 2);
    EXPECT_EQ(RunCliWith({"check", "x", S(slow)}).exitCode, 2);
    run = RunCliWith({"check", "0", S(dir.file("none.bmp"))});
    EXPECT_EQ(run.err, S(dir.file("none.bmp")) + " does not exist.\n");
}

TEST(ExportImportCommands, ExportWritesTheLayoutImportReadsItBack)
{
    TTestDir dir;
    const QString file = WriteAssignmentFile(dir);
    const QString out = dir.file("out");
    TCliRun run = RunCliWith({"export", S(file), "Demo", S(out)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(QDir(out).entryList(QDir::Files, QDir::Name),
              (QStringList{"12015.jpg", "FTP.txt", "ModName.txt", "TR808BD.aif", "WWW.txt", "comments.txt",
                           "demo.rbs"}));
    EXPECT_EQ(TTestDir::readAll(out + "/comments.txt"), "one\r\ntwo\r\n");
    EXPECT_EQ(TTestDir::readAll(out + "/ModName.txt"), "Demo Mod\r\n");
    EXPECT_EQ(ReadSamples(TTestDir::readAll(out + "/TR808BD.aif")).points,
              (std::vector<int>{20 * 256, -20 * 256}));

    run = RunCliWith({"import", S(out)});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.outLines(),
              (std::vector<std::string>{"808 Bassdrum=" + S(out) + "/TR808BD.aif",
                                        "LED digits=" + S(out) + "/12015.jpg", "ModName=Demo Mod",
                                        "WWW=", "FTP=ftp://x", "DemoSong=" + S(out) + "/demo.rbs",
                                        "Comments=one\\ntwo"}));
    EXPECT_NE(run.err.find("*** Error: " + S(out) + "/12057.jpg does not exist."), std::string::npos);
}

TEST(ExportImportCommands, ProblemsMakeTheExitCodeOne)
{
    TTestDir dir;
    const QString file = WriteAssignmentFile(dir);
    EXPECT_EQ(RunCliWith({"export", S(file), "Other", S(dir.file("o1"))}).exitCode, 1);
    QFile::remove(dir.file("src/bd.wav"));
    TCliRun run = RunCliWith({"export", S(file), "Demo", S(dir.file("o2"))});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Couldn't make the assignment for 808 Bassdrum."), std::string::npos);
    EXPECT_TRUE(QFile::exists(dir.file("o2/12015.jpg")));
    EXPECT_EQ(RunCliWith({"import", S(dir.file("nowhere"))}).exitCode, 1);
}

TEST(MakeCommand, RunsTheStandInModPackerAndRemovesTheFolder)
{
    TTestDir dir;
    const QString file = WriteAssignmentFile(dir, "Cool");
    const QString packer =
        dir.createFile("ModPacker", QString("#!/bin/sh\n{ echo \"$@\"; pwd; ls \"$1\"; } > '%1'\nexit 4\n")
                                        .arg(dir.file("log"))
                                        .toUtf8());
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::ExeOwner);
    const QString mods = dir.createDir("ReBirth/mods");
    const QString rebirth = dir.createFile("ReBirth/ReBirth.exe", "MZ");
    const QString temp = dir.createDir("temp");

    TCliRun run = RunCliWith(
        {"make", S(file), "Demo", "--modpacker", S(packer), "--rebirth", S(rebirth), "--temp", S(temp)});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    const QString modFolder = temp + "/Mdw2Temp/Cool";
    EXPECT_EQ(QString::fromUtf8(TTestDir::readAll(dir.file("log"))).split('\n', Qt::SkipEmptyParts),
              (QStringList{modFolder, mods, "12015.jpg", "FTP.txt", "ModName.txt", "TR808BD.aif", "WWW.txt",
                           "comments.txt", "demo.rbs"}));
    EXPECT_FALSE(QFileInfo::exists(modFolder));
    EXPECT_TRUE(QFileInfo(temp + "/Mdw2Temp").isDir());

    EXPECT_EQ(RunCliWith({"make", S(file), "Demo", "--modpacker", S(dir.file("none"))}).exitCode, 1);
}

TEST(MakeCommand, UnusableModNameIsRefused)
{
    TTestDir dir;
    const QString file = WriteAssignmentFile(dir, "..");
    const QString packer = dir.createFile("ModPacker", "#!/bin/sh\ntouch ran\n");
    QFile::setPermissions(packer, QFile::ReadOwner | QFile::ExeOwner);
    const QString temp = dir.createDir("temp");
    TCliRun run = RunCliWith({"make", S(file), "Demo", "--modpacker", S(packer), "--temp", S(temp)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("The mod name cannot be \"..\""), std::string::npos);
    EXPECT_TRUE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
}

// --- The working folder is checked before use --------------------------------

namespace {

// A temporary base, an assignment of the mod "Demo Mod" and a stand-in packer
// that logs that it ran (or runs the given script body).
struct TMakeSetup {
    explicit TMakeSetup(TTestDir &dir, const QString &body = QString())
        : file(WriteAssignmentFile(dir)), temp(dir.createDir("temp"))
    {
        packer = dir.createFile(
            "ModPacker",
            ("#!/bin/sh\n" + (body.isEmpty() ? QString("touch '%1'\n").arg(dir.file("packer-ran")) : body))
                .toUtf8());
        QFile::setPermissions(packer, QFile::ReadOwner | QFile::ExeOwner);
    }
    TCliRun run() const
    {
        return RunCliWith({"make", S(file), "Demo", "--modpacker", S(packer), "--temp", S(temp)});
    }
    QString working() const { return temp + "/Mdw2Temp"; }

    QString file;
    QString temp;
    QString packer;
};

// The last line of the output: the loading's warnings about the sample come first.
bool EndsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0 &&
           (text.size() == end.size() || text[text.size() - end.size() - 1] == '\n');
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

TEST(MakeCommand, AWorkingFolderThatIsALinkIsRefusedAndNothingBehindItIsTouched)
{
    TTestDir dir;
    TMakeSetup make(dir);
    const QString other = dir.createDir("other");
    dir.createFile("other/Demo Mod", "the other folder's file");
    ASSERT_TRUE(QFile::link(other, make.working()));

    const TCliRun run = make.run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_PRED2(EndsWith, run.err,
                 "The folder \"" + S(make.working()) +
                     "\" is a symbolic link, so Modwright uses nothing inside it.\n");
    EXPECT_EQ(Entries(other), QStringList{"Demo Mod"});
    EXPECT_EQ(TTestDir::readAll(dir.file("other/Demo Mod")), "the other folder's file");
    EXPECT_FALSE(QFile::exists(dir.file("packer-ran")));
}

TEST(MakeCommand, AWorkingFolderOthersMayWriteIsRefused)
{
    TTestDir dir;
    TMakeSetup make(dir);
    dir.createDir("temp/Mdw2Temp");
    const QString planted = dir.createFile("temp/Mdw2Temp/Demo Mod/12015.jpg", "planted");
    ASSERT_EQ(::chmod(QFile::encodeName(make.working()).constData(), 0777), 0);

    const TCliRun run = make.run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_PRED2(EndsWith, run.err,
                 "The folder \"" + S(make.working()) +
                     "\" can be written by group or others (mode 0777), so Modwright uses nothing "
                     "inside it.\n");
    EXPECT_EQ(TTestDir::readAll(planted), "planted");
    EXPECT_FALSE(QFile::exists(dir.file("packer-ran")));
}

TEST(MakeCommand, AWorkingFolderOfAnotherUserIsRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the folder to another user";
    TTestDir dir;
    TMakeSetup make(dir);
    dir.createFile("temp/Mdw2Temp/Demo Mod/keep.txt", "theirs");
    ASSERT_EQ(::chown(QFile::encodeName(make.working()).constData(), 65534, 65534), 0);

    const TCliRun run = make.run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_PRED2(EndsWith, run.err,
                 "The folder \"" + S(make.working()) +
                     "\" belongs to another user (user id 65534), so Modwright uses nothing inside it.\n");
    EXPECT_EQ(Entries(make.working() + "/Demo Mod"), QStringList{"keep.txt"});
    EXPECT_FALSE(QFile::exists(dir.file("packer-ran")));
}

TEST(MakeCommand, ALinkPlantedInPlaceOfTheModFolderDuringPackingIsNotFollowed)
{
    TTestDir dir;
    const QString other = dir.createDir("other");
    dir.createFile("other/Demo Mod/keep.txt", "keep");
    // The stand-in packer takes the laid-out folder away and plants a link. (The
    // folder reaches it as one unquoted parameter string, cut at the blank.)
    TMakeSetup make(dir, QString("rm -r \"$*\"\nln -s '%1' \"$*\"\n").arg(other + "/Demo Mod"));

    const TCliRun run = make.run();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_PRED2(EndsWith, run.err,
                 "The mod folder \"" + S(make.working()) +
                     "/Demo Mod\" was replaced by a symbolic link while ModPacker ran. The link was "
                     "removed; nothing it points to was touched.\n");
    EXPECT_EQ(Entries(other + "/Demo Mod"), QStringList{"keep.txt"});
    EXPECT_TRUE(Entries(make.working()).isEmpty());
}

TEST(MakeCommand, WithoutTempTheWorkingFolderIsPrivateToTheUser)
{
    TTestDir dir;
    TMakeSetup make(dir, QString("echo \"$*\" > '%1'\n").arg(dir.file("arg")));
    const QString runtime = dir.createDir("run");
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    const TCliRun run = RunCliWith({"make", S(make.file), "Demo", "--modpacker", S(make.packer)});
    qunsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(TTestDir::readAll(dir.file("arg")), (runtime + "/modwright/Mdw2Temp/Demo Mod\n").toUtf8());
    EXPECT_EQ(QFileInfo(runtime + "/modwright/Mdw2Temp").permissions() & 0x0077, 0);
    EXPECT_EQ(QFileInfo(runtime + "/modwright").permissions() & 0x0077, 0);
}
