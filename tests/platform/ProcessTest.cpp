#include "platform/Process.h"

#include "platform/Exception.h"
#include "support/TestDir.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <thread>

namespace {

using Args = std::vector<std::string>;

std::string S(const QString &s)
{
    return s.toStdString();
}

// A script that records its arguments (one per line, NUL-free) and its working
// folder into files beside itself, then exits with the given code.
QString MakeRecorder(TTestDir &dir, const QString &name, int exitCode = 0)
{
    const QString log = dir.file(name + ".args");
    const QString cwd = dir.file(name + ".cwd");
    const QString script = dir.createFile(
        name,
        QString("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1'\npwd > '%2'\nexit %3\n")
            .arg(log, cwd)
            .arg(exitCode)
            .toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}

Args RecordedArgs(const QString &file)
{
    Args args;
    for (const QByteArray &line : TTestDir::readAll(file).split('\n'))
        args.push_back(line.toStdString());
    if (!args.empty() && args.back().empty())
        args.pop_back();
    return args;
}

// Puts a folder first on PATH for the life of the object.
class TPathPrefix {
public:
    explicit TPathPrefix(const QString &folder, bool only = false)
    {
        const char *old = std::getenv("PATH");
        old_ = old ? old : "";
        const std::string now = only ? S(folder) : S(folder) + ":" + old_;
        ::setenv("PATH", now.c_str(), 1);
    }
    ~TPathPrefix() { ::setenv("PATH", old_.c_str(), 1); }

private:
    std::string old_;
};

bool ProcessGone(pid_t pid)
{
    // A zombie keeps its /proc entry (state Z) until it is reaped.
    for (int i = 0; i < 200; ++i) {
        if (!QFileInfo::exists(QString("/proc/%1").arg(pid)))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

} // namespace

TEST(Process, ArgumentsArriveExactlyAsTheWindowsRulesCutThem)
{
    TTestDir dir;
    const QString script = MakeRecorder(dir, "rec");
    auto p = ShellExecute(S(script), R"("a b" c\d "e\"f" 'g h' "" x\\"y z")");
    EXPECT_EQ(p->Wait(), 0u);
    EXPECT_EQ(RecordedArgs(dir.file("rec.args")),
              (Args{"a b", R"(c\d)", R"(e"f)", "'g", "h'", "", R"(x\y z)"}));
}

TEST(Process, ShellSyntaxIsNeverInterpreted)
{
    TTestDir dir;
    const QString script = MakeRecorder(dir, "rec");
    const std::string marker = S(dir.file("pwned"));
    const std::string params = "$(touch " + marker + ") ; touch " + marker + " `touch " + marker + "` | &&";
    auto p = ShellExecute(S(script), params);
    EXPECT_EQ(p->Wait(), 0u);
    EXPECT_FALSE(QFileInfo::exists(dir.file("pwned")));
    const Args got = RecordedArgs(dir.file("rec.args"));
    ASSERT_EQ(got.size(), 9u);
    EXPECT_EQ(got[0], "$(touch");
    EXPECT_EQ(got[2], ";");
    EXPECT_EQ(got[8], "&&");
}

TEST(Process, StartsInTheGivenWorkingFolderOrOurs)
{
    TTestDir dir;
    const QString script = MakeRecorder(dir, "rec");
    const QString work = dir.createDir("work folder");
    StartProgram(S(script), {}, S(work))->Wait();
    EXPECT_EQ(TTestDir::readAll(dir.file("rec.cwd")).trimmed(), work.toUtf8());

    // A folder written in double quotes (as editors get it) is used without them.
    ShellExecute(S(script), "", "\"" + S(work) + "\"")->Wait();
    EXPECT_EQ(TTestDir::readAll(dir.file("rec.cwd")).trimmed(), work.toUtf8());

    EXPECT_THROW(StartProgram(S(script), {}, S(dir.file("missing"))), EModwright);
}

TEST(Process, StatusIsStillActiveWhileRunningThenTheExitCode)
{
    TTestDir dir;
    const QString flag = dir.file("flag");
    const QString script = dir.createFile(
        "wait.sh",
        QString("#!/bin/sh\nwhile [ ! -e '%1' ]; do sleep 0.01; done\nexit 42\n").arg(flag).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
    auto p = StartProgram(S(script), {});
    uint32_t code = 0;
    ASSERT_TRUE(p->GetExitCode(code));
    EXPECT_EQ(code, StillActive);
    dir.createFile("flag");
    EXPECT_EQ(p->Wait(), 42u);
    ASSERT_TRUE(p->GetExitCode(code));
    EXPECT_EQ(code, 42u);
}

TEST(Process, PollingSeesTheEndAndASignalGivesItsNumberAbove128)
{
    TTestDir dir;
    const QString script = dir.createFile("kill.sh", "#!/bin/sh\nkill -9 $$\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);
    auto p = StartProgram(S(script), {});
    uint32_t code = StillActive;
    for (int i = 0; i < 5000 && code == StillActive; ++i) {
        ASSERT_TRUE(p->GetExitCode(code));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(code, 128u + 9u);
}

TEST(Process, ADroppedHandleLeavesNoZombie)
{
    TTestDir dir;
    const QString script = MakeRecorder(dir, "rec", 3);
    pid_t pid;
    {
        auto p = StartProgram(S(script), {});
        pid = p->Pid();
    }
    EXPECT_TRUE(ProcessGone(pid));
}

TEST(Process, MissingProgramsRaiseAClearMessage)
{
    TTestDir dir;
    try {
        StartProgram(S(dir.file("nothing")), {});
        FAIL() << "no error";
    } catch (const EModwright &e) {
        EXPECT_NE(std::string(e.what()).find("nothing"), std::string::npos);
    }
    EXPECT_THROW(StartProgram("", {}), EModwright);
    EXPECT_THROW(ShellExecute(S(dir.file("none.exe")), ""), EModwright);
}

TEST(Process, WindowsProgramsRunUnderWineNativeOnesDoNot)
{
    TTestDir dir;
    const QString bin = dir.createDir("bin");
    MakeRecorder(dir, "bin/wine");
    TPathPrefix prefix(bin);

    const QString windows = dir.createFile("Pack Tool.EXE", QByteArray("MZ\x90\0\3\0\0\0", 8));
    auto p = ShellExecute(S(windows), "\"/tmp/a b\" c", S(dir.path()));
    EXPECT_EQ(p->Wait(), 0u);
    EXPECT_EQ(RecordedArgs(dir.file("bin/wine.args")), (Args{S(windows), "/tmp/a b", "c"}));
    EXPECT_EQ(TTestDir::readAll(dir.file("bin/wine.cwd")).trimmed(), dir.path().toUtf8());

    // A native program that happens to be called .exe runs itself.
    QFile::remove(dir.file("bin/wine.args"));
    const QString native = MakeRecorder(dir, "native.exe");
    ShellExecute(S(native), "x")->Wait();
    EXPECT_EQ(RecordedArgs(dir.file("native.exe.args")), Args{"x"});
    EXPECT_FALSE(QFileInfo::exists(dir.file("bin/wine.args")));
    EXPECT_EQ(StartKindOf(S(native)), skNative);
    EXPECT_EQ(StartKindOf(S(windows)), skWindows);
}

TEST(Process, WindowsProgramWithoutWineIsAClearError)
{
    TTestDir dir;
    const QString empty = dir.createDir("empty");
    TPathPrefix only(empty, true);
    const QString windows = dir.createFile("tool.exe", "MZ");
    try {
        StartProgram(S(windows), {});
        FAIL() << "no error";
    } catch (const EModwright &e) {
        EXPECT_NE(std::string(e.what()).find("wine"), std::string::npos);
    }
}

TEST(Process, DocumentsOpenWithTheDesktopsDefaultProgram)
{
    TTestDir dir;
    const QString bin = dir.createDir("bin");
    MakeRecorder(dir, "bin/xdg-open");
    TPathPrefix prefix(bin);
    const QString doc = dir.createFile("FAQ.txt", "questions");
    EXPECT_EQ(StartKindOf(S(doc)), skDocument);
    ShellExecute(S(doc), "ignored")->Wait();
    EXPECT_EQ(RecordedArgs(dir.file("bin/xdg-open.args")), Args{S(doc)});
    EXPECT_THROW(OpenDocument(S(dir.file("missing.txt"))), EModwright);
}

TEST(Process, FindOnPathFindsExecutablesOnly)
{
    TTestDir dir;
    const QString bin = dir.createDir("bin");
    MakeRecorder(dir, "bin/tool");
    dir.createFile("bin/plain", "not executable");
    TPathPrefix only(bin, true);
    EXPECT_EQ(FindOnPath("tool"), S(dir.file("bin/tool")));
    EXPECT_EQ(FindOnPath("plain"), "");
    EXPECT_EQ(FindOnPath("a/tool"), "");
}
