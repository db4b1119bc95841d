// The real program, started as a user starts it: the working folder's default
// base comes from XDG_RUNTIME_DIR, and only a backup of the user's own in a
// checked folder is loaded. MODWRIGHT_READY_EXIT makes it leave once the
// assignment is loaded, printing its message boxes on standard error.

#include "model/AssignmentSet.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString AutoSaved = "An auto-saved assignment has been loaded.";

class MainProgramTest : public ::testing::Test {
protected:
    MainProgramTest() : working(dir.file("run/modwright/Mdw2Temp")) {}

    QString backup() const { return working + "/" + TAssignmentSet::BackupFileName; }

    static QByteArray BackupText()
    {
        return "[Assignments]\r\nAssignment1=Night\r\n\r\n[Ass.Night]\r\nModName=Night\r\n";
    }

    // Runs modwright until it is ready; returns what it wrote on standard error.
    QString run()
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("MODWRIGHT_READY_EXIT", "1");
        env.insert("MODWRIGHT_CONFIG_DIR", dir.createDir("config"));
        env.insert("HOME", dir.createDir("home"));
        env.insert("XDG_DATA_HOME", dir.file("data"));
        env.insert("XDG_RUNTIME_DIR", dir.file("run"));
        env.remove("XDG_CACHE_HOME");
        process.setProcessEnvironment(env);
        process.start(MODWRIGHT_BIN_DIR "/modwright", {});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.readAllStandardOutput(), "ready\n");
        return QString::fromLocal8Bit(process.readAllStandardError());
    }

    TTestDir dir;
    QString working;
};

} // namespace

TEST_F(MainProgramTest, TheUsersOwnBackupInThePrivateDefaultFolderIsLoaded)
{
    ASSERT_TRUE(QDir().mkpath(working));
    dir.createFile("run/modwright/Mdw2Temp/" + QString(TAssignmentSet::BackupFileName), BackupText());
    EXPECT_TRUE(run().contains(AutoSaved));
}

TEST_F(MainProgramTest, ABackupOfAnotherUserIsNotLoaded)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give the backup to another user";
    ASSERT_TRUE(QDir().mkpath(working));
    dir.createFile("run/modwright/Mdw2Temp/" + QString(TAssignmentSet::BackupFileName), BackupText());
    ASSERT_EQ(::chown(QFile::encodeName(backup()).constData(), 65534, 65534), 0);
    EXPECT_FALSE(run().contains(AutoSaved));
    EXPECT_TRUE(QFile::exists(backup()));
}

TEST_F(MainProgramTest, AWorkingFolderThatIsALinkIsNotUsed)
{
    const QString other = dir.createDir("other");
    dir.createFile("other/" + QString(TAssignmentSet::BackupFileName), BackupText());
    ASSERT_TRUE(QDir().mkpath(dir.file("run/modwright")));
    ASSERT_TRUE(QFile::link(other, working));
    EXPECT_FALSE(run().contains(AutoSaved));
    EXPECT_EQ(QDir(other).entryList(QDir::Files), QStringList{TAssignmentSet::BackupFileName});
    EXPECT_TRUE(QFileInfo(working).isSymLink());
}
