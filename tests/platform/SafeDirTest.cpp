// The checked folder handle: what it refuses, and that nothing done through it
// follows a link or reaches outside the folder.

#include "platform/SafeDir.h"

#include "platform/Exception.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Nobody = 65534;

std::string Message(const std::function<void()> &call)
{
    try {
        call();
    } catch (const EModwright &e) {
        return e.what();
    }
    return "(no error)";
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden,
                                  QDir::Name);
}

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

TEST(SafeDir, PrivateFolderIsMadeWithMode0700AndItsParentsToo)
{
    TTestDir dir;
    const QString folder = dir.file("a/b/Mdw2Temp");
    const TSafeDir handle = TSafeDir::OpenPrivate(folder, true);
    EXPECT_TRUE(handle.IsOpen());
    EXPECT_EQ(handle.Path(), folder + "/");
    EXPECT_EQ(ModeOf(folder), 0700u);
    EXPECT_EQ(ModeOf(dir.file("a/b")), 0700u);
    // Without create a missing folder is an error, not made.
    EXPECT_THROW(TSafeDir::OpenPrivate(dir.file("missing"), false), EModwright);
    EXPECT_FALSE(QFileInfo::exists(dir.file("missing")));
}

TEST(SafeDir, LinksForeignAndSharedFoldersAreRefusedWithTheReason)
{
    TTestDir dir;
    const QString target = dir.createDir("elsewhere");
    dir.createFile("elsewhere/Demo Mod", "keep");
    const QString link = dir.file("Mdw2Temp");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(Message([&] { TSafeDir::OpenPrivate(link, true); }),
              "The folder \"" + link.toStdString() +
                  "\" is a symbolic link, so Modwright uses nothing inside it.");
    EXPECT_EQ(TSafeDir::PrivateProblem(link), "is a symbolic link");
    EXPECT_FALSE(TSafeDir::RemovePrivate(link));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(Entries(target), QStringList{"Demo Mod"});

    const QString shared = dir.createDir("shared");
    ::chmod(QFile::encodeName(shared).constData(), 01777);
    EXPECT_EQ(Message([&] { TSafeDir::OpenPrivate(shared, false); }),
              "The folder \"" + shared.toStdString() +
                  "\" can be written by group or others (mode 1777), so Modwright uses nothing inside it.");
    ::chmod(QFile::encodeName(shared).constData(), 0770);
    EXPECT_EQ(TSafeDir::PrivateProblem(shared), "can be written by group or others (mode 0770)");

    const QString file = dir.createFile("plain", "x");
    EXPECT_EQ(TSafeDir::PrivateProblem(file), "is not a folder");
    EXPECT_THROW(TSafeDir::OpenPrivate(file, true), EModwright);
    EXPECT_EQ(TSafeDir::PrivateProblem(dir.file("none")), "");
}

TEST(SafeDir, AFolderOfAnotherUserIsRefusedAndLeftAlone)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to give a folder to another user";
    TTestDir dir;
    const QString foreign = dir.createDir("Mdw2Temp");
    dir.createFile("Mdw2Temp/theirs.txt", "theirs");
    ASSERT_EQ(::chown(QFile::encodeName(foreign).constData(), Nobody, Nobody), 0);
    EXPECT_EQ(Message([&] { TSafeDir::OpenPrivate(foreign, true); }),
              "The folder \"" + foreign.toStdString() +
                  "\" belongs to another user (user id 65534), so Modwright uses nothing inside it.");
    EXPECT_FALSE(TSafeDir::RemovePrivate(foreign));
    EXPECT_EQ(Entries(foreign), QStringList{"theirs.txt"});

    // A file of another user inside our own folder is not read.
    const TSafeDir own = TSafeDir::OpenPrivate(dir.file("own"), true);
    dir.createFile("own/backup.ini", "[Assignments]");
    ASSERT_EQ(::chown(QFile::encodeName(dir.file("own/backup.ini")).constData(), Nobody, Nobody), 0);
    EXPECT_EQ(own.OwnFileProblem("backup.ini"), "belongs to another user (user id 65534)");
    EXPECT_EQ(Message([&] { own.ReadOwnFile("backup.ini"); }),
              "The file \"" + dir.file("own/backup.ini").toStdString() +
                  "\" belongs to another user (user id 65534), so it is not used.");
}

TEST(SafeDir, WritesReplaceALinkInsteadOfFollowingIt)
{
    TTestDir dir;
    const QString victim = dir.createFile("victim.txt", "precious");
    const TSafeDir folder = TSafeDir::OpenPrivate(dir.file("work"), true);
    ASSERT_TRUE(QFile::link(victim, dir.file("work/ModName.txt")));
    folder.WriteFile("ModName.txt", "Demo\r\n");
    EXPECT_EQ(TTestDir::readAll(victim), "precious");
    EXPECT_FALSE(QFileInfo(dir.file("work/ModName.txt")).isSymLink());
    EXPECT_EQ(TTestDir::readAll(dir.file("work/ModName.txt")), "Demo\r\n");

    const QString song = dir.createFile("song.rbs", QByteArray(40000, 's'));
    ASSERT_TRUE(QFile::link(victim, dir.file("work/demo.rbs")));
    folder.CopyIn(song, "demo.rbs");
    EXPECT_EQ(TTestDir::readAll(victim), "precious");
    EXPECT_EQ(TTestDir::readAll(dir.file("work/demo.rbs")), QByteArray(40000, 's'));
    // No temporary file is left behind.
    EXPECT_EQ(Entries(dir.file("work")), (QStringList{"ModName.txt", "demo.rbs"}));
    EXPECT_EQ(Message([&] { folder.CopyIn(dir.file("no-song"), "x.rbs"); }).rfind("Cannot open file", 0), 0u);
}

TEST(SafeDir, ReadingRefusesLinksAndNonFiles)
{
    TTestDir dir;
    const TSafeDir folder = TSafeDir::OpenPrivate(dir.file("work"), true);
    const QString victim = dir.createFile("secret.ini", "[Assignments]\r\nAssignment1=Planted\r\n");
    ASSERT_TRUE(QFile::link(victim, dir.file("work/backup.ini")));
    EXPECT_EQ(folder.OwnFileProblem("backup.ini"), "is a symbolic link");
    EXPECT_EQ(Message([&] { folder.ReadOwnFile("backup.ini"); }),
              "The file \"" + dir.file("work/backup.ini").toStdString() +
                  "\" is a symbolic link, so it is not used.");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("work/pipe.ini")).constData(), 0600), 0);
    EXPECT_EQ(folder.OwnFileProblem("pipe.ini"), "is not a regular file");
    EXPECT_THROW(folder.ReadOwnFile("pipe.ini"), EModwright); // and does not hang
    dir.createFile("work/own.ini", "mine");
    EXPECT_EQ(folder.ReadOwnFile("own.ini"), "mine");
    EXPECT_EQ(folder.OwnFileProblem("missing.ini"), "");
}

TEST(SafeDir, SubfolderAndRemovalNeverLeaveTheFolder)
{
    TTestDir dir;
    const QString outside = dir.createDir("outside");
    dir.createFile("outside/Demo Mod/keep.txt", "keep");
    const TSafeDir working = TSafeDir::OpenPrivate(dir.file("Mdw2Temp"), true);

    // A link in place of the subfolder: refused, and what it points to stays.
    ASSERT_TRUE(QFile::link(outside + "/Demo Mod", dir.file("Mdw2Temp/Demo Mod")));
    EXPECT_EQ(Message([&] { working.MakePrivateSubfolder("Demo Mod"); }),
              "The folder \"" + dir.file("Mdw2Temp/Demo Mod").toStdString() +
                  "\" is a symbolic link, so Modwright uses nothing inside it.");
    EXPECT_TRUE(working.Remove("Demo Mod")); // the link goes, not its target
    EXPECT_EQ(Entries(outside + "/Demo Mod"), QStringList{"keep.txt"});
    // A folder under a file's name is not removed as one.
    dir.createFile("Mdw2Temp/12015.jpg/inside.txt", "x");
    EXPECT_FALSE(working.Remove("12015.jpg"));
    EXPECT_TRUE(QFile::exists(dir.file("Mdw2Temp/12015.jpg/inside.txt")));
    EXPECT_TRUE(working.RemoveTree("12015.jpg"));

    const TSafeDir mod = working.MakePrivateSubfolder("Demo Mod");
    EXPECT_EQ(ModeOf(dir.file("Mdw2Temp/Demo Mod")), 0700u);
    EXPECT_TRUE(mod.IsSameFolder(working.Entry("Demo Mod")));
    dir.createFile("Mdw2Temp/Demo Mod/sub/a.txt", "a");
    ASSERT_TRUE(QFile::link(outside, dir.file("Mdw2Temp/Demo Mod/sub/out")));
    mod.Empty();
    EXPECT_TRUE(Entries(dir.file("Mdw2Temp/Demo Mod")).isEmpty());
    EXPECT_EQ(Entries(outside + "/Demo Mod"), QStringList{"keep.txt"});

    // The same name swapped for another folder is not the folder we hold.
    ASSERT_TRUE(QDir(dir.file("Mdw2Temp")).rename("Demo Mod", "moved"));
    dir.createDir("Mdw2Temp/Demo Mod");
    EXPECT_FALSE(mod.IsSameFolder(working.Entry("Demo Mod")));

    EXPECT_TRUE(TSafeDir::RemovePrivate(dir.file("Mdw2Temp")));
    EXPECT_FALSE(QFileInfo::exists(dir.file("Mdw2Temp")));
    EXPECT_EQ(Entries(outside + "/Demo Mod"), QStringList{"keep.txt"});
    EXPECT_TRUE(TSafeDir::RemovePrivate(dir.file("Mdw2Temp"))); // already gone
}
