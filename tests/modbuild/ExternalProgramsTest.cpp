#include "modbuild/ExternalPrograms.h"

#include "common/DataFiles.h"
#include "common/MessageBoxes.h"
#include "modbuild/WaitThread.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

std::string S(const QString &s)
{
    return s.toStdString();
}

// A script that writes its arguments and working folder, one per line, to `log`.
QString MakeRecorder(TTestDir &dir, const QString &name, const QString &log, int exitCode = 0)
{
    const QString script = dir.createFile(name, QString("#!/bin/sh\n{ for a in \"$@\"; do echo \"arg:$a\"; "
                                                        "done; echo \"cwd:$(pwd)\"; } > '%1'\nexit %2\n")
                                                    .arg(log)
                                                    .arg(exitCode)
                                                    .toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return script;
}

QStringList Lines(const QString &file)
{
    return QString::fromUtf8(TTestDir::readAll(file)).split('\n', Qt::SkipEmptyParts);
}

// Waits for a file that a program started without a handle writes.
QStringList WaitForLines(const QString &file)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        const QStringList lines = Lines(file);
        if (!lines.isEmpty() && lines.last().startsWith("cwd:"))
            return lines;
        QThread::msleep(5);
    }
    return {};
}

// The registry files live in the configuration folder; each test gets its own.
class TConfigFolder {
public:
    explicit TConfigFolder(const QString &folder) : old_(qgetenv("MODWRIGHT_CONFIG_DIR"))
    {
        qputenv("MODWRIGHT_CONFIG_DIR", folder.toUtf8());
    }
    ~TConfigFolder() { qputenv("MODWRIGHT_CONFIG_DIR", old_); }

private:
    QByteArray old_;
};

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "test_modbuild";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

} // namespace

TEST(FindModPacker, UninstallEntryGivesModPackerBesideTheUninstaller)
{
    TTestDir dir;
    TConfigFolder config(dir.createDir("config"));
    TEnvGuard noWine("WINEPREFIX", dir.path()); // a folder without system.reg: no Wine prefix
    EXPECT_EQ(FindModPacker(), "");             // no entry

    const QString packer = dir.createFile("Program Files/ModPacker/ModPacker.exe", "MZ");
    const QString folder = QFileInfo(packer).absolutePath();
    auto setString = [](const std::string &value) {
        TRegistry reg(TRegRoot::LocalMachine);
        ASSERT_TRUE(reg.OpenKey(
            "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ReBirth ModPacker", true));
        reg.WriteString("UninstallString", value);
    };
    setString("\"" + S(folder) + "/uninst.exe\" /S /LOG=x");
    EXPECT_EQ(FindModPacker(), packer);
    setString("\"" + S(folder) + "/uninst.exe\"");
    EXPECT_EQ(FindModPacker(), packer);
    // Unquoted with a blank in the path: taken whole when it names a file.
    dir.createFile("Program Files/ModPacker/uninst.exe", "MZ");
    setString(S(folder) + "/uninst.exe");
    EXPECT_EQ(FindModPacker(), packer);
    setString("ab");
    EXPECT_EQ(FindModPacker(), "");
    QFile::remove(packer);
    setString("\"" + S(folder) + "/uninst.exe\" /S");
    EXPECT_EQ(FindModPacker(), "");
}

TEST(FindReBirth, ProgramAssociatedWithSongFiles)
{
    TTestDir dir;
    TConfigFolder config(dir.createDir("config"));
    TEnvGuard noWine("WINEPREFIX", dir.path());
    EXPECT_EQ(FindReBirth(), "");
    const QString rebirth = dir.createFile("ReBirth 2/ReBirth.exe", "MZ");
    {
        TRegistry reg(TRegRoot::ClassesRoot);
        ASSERT_TRUE(reg.OpenKey("\\.rbs", true));
        reg.WriteString("", "ReBirth.Song");
        ASSERT_TRUE(reg.OpenKey("\\ReBirth.Song\\shell\\open\\command", true));
        reg.WriteString("", "\"" + S(rebirth) + "\" \"%1\"");
    }
    EXPECT_EQ(FindReBirth(), rebirth);
}

TEST(StartModPacker, FolderIsThePlainParameterWorkingFolderIsReBirthsMods)
{
    TTestDir dir;
    TBuildSettings settings;
    const QString log = dir.file("log");
    settings.ModPackerPath = MakeRecorder(dir, "ModPacker", log, 3);
    settings.ReBirthPath = dir.createFile("ReBirth/ReBirth.exe", "MZ");
    const QString modFolder = dir.createDir("Mdw2Temp/Cool");

    std::shared_ptr<TProcess> p = StartModPacker(settings, modFolder);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->Wait(), 3u);
    EXPECT_EQ(Lines(log), (QStringList{"arg:" + modFolder, "cwd:" + QDir::currentPath()}));

    // An installer's "Mods" is the mods folder, as Windows would find it.
    const QString upper = dir.createDir("ReBirth/Mods");
    StartModPacker(settings, modFolder)->Wait();
    EXPECT_EQ(Lines(log), (QStringList{"arg:" + modFolder, "cwd:" + upper}));
    const QString mods = dir.createDir("ReBirth/mods");
    StartModPacker(settings, modFolder)->Wait();
    EXPECT_EQ(Lines(log), (QStringList{"arg:" + modFolder, "cwd:" + mods}));

    settings.ModPackerPath = dir.file("missing");
    QString reason;
    EXPECT_FALSE(StartModPacker(settings, modFolder, &reason));
    EXPECT_TRUE(reason.contains("missing"));
}

TEST(RunPrograms, ReBirthAndEditorsStartInTheirFoldersFailuresAreSaid)
{
    TTestDir dir;
    TScriptedMessageBoxes boxes;
    TBuildSettings settings;
    settings.ReBirthPath = MakeRecorder(dir, "rb/ReBirth", dir.file("rebirth.log"));
    RunReBirth(settings);
    EXPECT_EQ(WaitForLines(dir.file("rebirth.log")), QStringList{"cwd:" + dir.file("rb")});

    // The file path is the editor's single argument, quotes and all.
    settings.DrumEditorPath = MakeRecorder(dir, "editor", dir.file("editor.log"));
    const QString sample = dir.createFile("my \"drums\"/$(kick); x.wav", "RIFF");
    RunEditor(settings, 1, sample);
    EXPECT_EQ(WaitForLines(dir.file("editor.log")),
              (QStringList{"arg:" + sample, "cwd:" + QFileInfo(sample).absolutePath()}));
    EXPECT_TRUE(boxes.shown.isEmpty());

    // A missing file or editor: nothing, silently.
    RunEditor(settings, 1, dir.file("gone.wav"));
    RunEditor(settings, 0, sample);
    EXPECT_TRUE(boxes.shown.isEmpty());

    settings.ImgEditorPath = dir.createFile("paint.exe", "MZ");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.createDir("nobin").toUtf8());
    RunEditor(settings, 0, sample);
    settings.ReBirthPath = dir.file("nowhere/ReBirth.exe");
    RunReBirth(settings);
    qputenv("PATH", path);
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_TRUE(boxes.shown[0].startsWith("info: Error starting paint.exe"));
    EXPECT_TRUE(boxes.shown[1].startsWith("error: Error running " + settings.ReBirthPath + "."));
}

TEST(RunPrograms, FaqOpensWithTheDesktopsProgram)
{
    TTestDir dir;
    TScriptedMessageBoxes boxes;
    const QString bin = dir.createDir("bin");
    MakeRecorder(dir, "bin/xdg-open", dir.file("open.log"));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8());
    ShowFAQ(QString()); // no FAQ.txt was found
    ShowFAQ(dir.file("gone/FAQ.txt"));
    const QString faq = dir.createFile("data/FAQ.txt", "Q&A");
    ShowFAQ(faq);
    qputenv("PATH", dir.createDir("nobin").toUtf8()); // no desktop program to open it
    ShowFAQ(faq);
    qputenv("PATH", path);
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.shown[0], "info: Error showing FAQ.txt.");
    EXPECT_EQ(boxes.shown[1], "info: Error showing FAQ.txt.");
    EXPECT_TRUE(boxes.shown[2].startsWith("info: Error showing FAQ.txt.\r\n"));
    EXPECT_EQ(WaitForLines(dir.file("open.log")).value(0), "arg:" + faq);
}

TEST(RunPrograms, TheBuildTreeHoldsTheFaq)
{
    // The build copies the program's data beside its programs, as an installed tree has it.
    const QString faq = FindDataFile("FAQ.txt");
    ASSERT_FALSE(faq.isEmpty());
    QFile file(faq);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("ModPacker"));
}

TEST(WaitThread, WaitReturnsTheExitCodeWhenTheProcessEnds)
{
    App();
    TTestDir dir;
    const QString quick = MakeRecorder(dir, "quick", dir.file("q.log"), 7);
    EXPECT_EQ(WaitForProcessEnd(StartProgram(S(quick), {})), 7u);

    const QString slow = dir.createFile("slow", "#!/bin/sh\nsleep 0.2\nexit 9\n");
    QFile::setPermissions(slow, QFile::ReadOwner | QFile::ExeOwner);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(WaitForProcessEnd(StartProgram(S(slow), {})), 9u);
    EXPECT_GE(timer.elapsed(), 150);
}

TEST(WaitThread, TheEndIsHandedToTheReceiversThreadWhileItsLoopRuns)
{
    App();
    TTestDir dir;
    const QString flag = dir.file("flag");
    const QString script = dir.createFile(
        "waits", QString("#!/bin/sh\nwhile [ ! -e '%1' ]; do sleep 0.01; done\n").arg(flag).toUtf8());
    QFile::setPermissions(script, QFile::ReadOwner | QFile::ExeOwner);

    std::shared_ptr<TProcess> process = StartProgram(S(script), {});
    QEventLoop loop;
    QThread *calledOn = nullptr;
    int ticks = 0;
    auto *thread = new TWaitThread(process, &loop, [&] {
        calledOn = QThread::currentThread();
        loop.quit();
    });
    QTimer ticker;
    // The loop keeps running (and would keep painting) while the process runs.
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        if (++ticks == 5)
            dir.createFile("flag");
    });
    ticker.start(10);
    thread->start();
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // never hang the test run
    loop.exec();
    EXPECT_EQ(calledOn, QThread::currentThread());
    EXPECT_GE(ticks, 5);
    uint32_t code = 1;
    EXPECT_TRUE(process->GetExitCode(code));
    EXPECT_EQ(code, 0u);
}
