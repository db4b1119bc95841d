// The built modwright-cli: the front that answers "probe" itself and hands every other
// command line to the full program in ../lib/modwright.

#include "CliTestUtil.h"
#include "formats/ImageFixtures.h"
#include "support/TestDir.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace fixtures;

namespace {

struct TRunResult {
    int code = -1;
    std::string out;
    std::string err;
};

TRunResult runProgram(const QString &program, const QStringList &args, const QString &folder = {},
                      const QByteArray &input = {},
                      const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    EXPECT_TRUE(p.waitForStarted(10000)) << program.toStdString();
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "the program crashed";
    return {p.exitCode(), p.readAllStandardOutput().toStdString(), p.readAllStandardError().toStdString()};
}

const QString Front = MODWRIGHT_BIN_DIR "/modwright-cli";

// A copy of the front in Root/bin, as an installed tree would hold it.
QString copyFront(TTestDir &dir)
{
    const QString front = dir.createDir("tree/bin") + "/modwright-cli";
    EXPECT_TRUE(QFile::copy(Front, front));
    EXPECT_EQ(::chmod(QFile::encodeName(front).constData(), 0755), 0);
    return front;
}

} // namespace

TEST(CliFront, ProbesAMixedSetItselfLineForLine)
{
    TTestDir dir;
    dir.createFile("ok.gif", gif(3, 4, 0x70));
    dir.createFile("sub/short.bmp", "BMx");
    dir.createDir("folder.bmp");
    dir.createFile("empty.wav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe.wav")).constData(), 0600), 0);
    const std::string root = QFileInfo(dir.path()).canonicalFilePath().toStdString();
    const QStringList files{
        "ok.gif",   "./sub/../sub/short.bmp", "folder.bmp", "empty.wav", "pipe.wav", "missing.jpg",
        "notes.txt"};
    const TRunResult run = runProgram(Front, QStringList{"probe"} + files, root.c_str());
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(
        run.out,
        "{\"file\": \"ok.gif\", \"type\": \"image\", \"width\": 3, \"height\": 4, \"bits\": 8}\n"
        "{\"file\": \"./sub/../sub/short.bmp\", \"error\": \"Could not read bitmap.\\r\\n(" +
            root +
            "/sub/short.bmp)\"}\n"
            "{\"file\": \"folder.bmp\", \"error\": \"Cannot open file \\\"folder.bmp\\\". Is a directory\"}\n"
            "{\"file\": \"empty.wav\", \"error\": \"CreateFileMapping failed: empty.wav.\"}\n"
            "{\"file\": \"pipe.wav\", \"error\": \"Couldn't open pipe.wav.\"}\n"
            "{\"file\": \"missing.jpg\", \"error\": \"Cannot open file \\\"missing.jpg\\\". No such file "
            "or directory\"}\n"
            "{\"file\": \"notes.txt\", \"error\": \"No valid WAV/AIFF file.\"}\n");

    const TRunResult good = runProgram(Front, {"probe", "ok.gif"}, root.c_str());
    EXPECT_EQ(good.code, 0);
    EXPECT_EQ(good.out,
              "{\"file\": \"ok.gif\", \"type\": \"image\", \"width\": 3, \"height\": 4, \"bits\": 8}\n");
}

TEST(CliFront, HandsEveryOtherCommandLineToTheFullProgram)
{
    // The built full program: its answers through the front are those of RunCli itself.
    for (const std::vector<std::string> &args : std::vector<std::vector<std::string>>{
             {"--help"}, {}, {"frobnicate"}, {"probe"}, {"probe", "--help"}, {"probe", "-h"}}) {
        QStringList list;
        for (const std::string &a : args)
            list << QString::fromStdString(a);
        const TRunResult through = runProgram(Front, list);
        const TCliRun inProcess = RunCliWith(args);
        EXPECT_EQ(through.code, inProcess.exitCode) << list.join(' ').toStdString();
        EXPECT_EQ(through.out, inProcess.out) << list.join(' ').toStdString();
        EXPECT_EQ(through.err, inProcess.err) << list.join(' ').toStdString();
    }

    // A stand-in full program shows what it was given: the same arguments, argv[0] too,
    // standard input, the environment, and its exit code and both outputs come back.
    TTestDir dir;
    const QString front = copyFront(dir);
    const QString standin = dir.createDir("tree/lib/modwright") + "/modwright-cli-qt";
    ASSERT_TRUE(QFile::copy(MODWRIGHT_BIN_DIR "/modwright-argv-echo", standin));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MODWRIGHT_STANDIN_NOTE", "kept");
    const TRunResult run = runProgram(front, {"make", "a b", "", "--x"}, {}, "from stdin\n", env);
    EXPECT_EQ(run.code, 7);
    EXPECT_EQ(run.out, "argv[0]=" + front.toStdString() +
                           "\nargv[1]=make\nargv[2]=a b\nargv[3]=\nargv[4]=--x\nnote=kept\nfrom stdin\n");
    EXPECT_EQ(run.err, "to stderr\n");
}

TEST(CliFront, AMissingFullProgramIsReportedNotACrash)
{
    TTestDir dir;
    const QString front = copyFront(dir);
    const std::string expected =
        QFileInfo(dir.path()).canonicalFilePath().toStdString() + "/tree/lib/modwright/modwright-cli-qt";
    const TRunResult run = runProgram(front, {"catalogue"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "modwright-cli: Cannot start \"" + expected + "\". No such file or directory\n");
    // The probe needs no full program.
    dir.createFile("x.gif", gif(1, 2, 0));
    const TRunResult probed = runProgram(front, {"probe", dir.file("x.gif")});
    EXPECT_EQ(probed.code, 0);
    EXPECT_NE(probed.out.find("\"width\": 1, \"height\": 2"), std::string::npos) << probed.out;
}
