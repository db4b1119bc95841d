#include "platform/AtomicSave.h"

#include "platform/Exception.h"
#include "platform/FileIo.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QStringList hiddenEntries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// A child process that starts saving Path, writes half of Bytes, reports through a pipe
// and waits to be killed: a crash in the middle of a save.
class TSavingChild {
public:
    TSavingChild(const QString &path, const std::string &bytes)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            throw EModwright("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            TAtomicSave save(native(path));
            char ok = save.Open() == 0 && save.Write(bytes.data(), bytes.size() / 2) == 0 ? 1 : 0;
            (void)!::write(fds[1], &ok, 1);
            for (;;)
                ::pause();
        }
        ::close(fds[1]);
        char ok = 0;
        started_ = ::read(fds[0], &ok, 1) == 1 && ok == 1;
        ::close(fds[0]);
    }
    ~TSavingChild() { kill(); }
    bool started() const { return started_; }
    void kill()
    {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    bool started_ = false;
};

} // namespace

TEST(AtomicSave, KilledSaveLeavesTheOldFileAndTheNextSaveRemovesItsDebris)
{
    TTestDir dir;
    const QString path = dir.createFile("kick.wav", "old contents");
    // Files of the same look that are not ours, or not this file's, stay.
    dir.createFile(".kick.wav.modwright-save-");        // no random part
    dir.createFile(".kick.wav.modwright-save-abcdefg"); // one character too many
    dir.createFile("kick.wav.AbCdEf");                  // another program's temporary name
    const std::string bytes(1 << 20, 'n');

    TSavingChild crashed(path, bytes);
    ASSERT_TRUE(crashed.started());
    crashed.kill();
    QStringList debris = hiddenEntries(dir.path()).filter(".kick.wav.modwright-save-");
    debris.removeAll(".kick.wav.modwright-save-");
    debris.removeAll(".kick.wav.modwright-save-abcdefg");
    ASSERT_EQ(debris.size(), 1) << "the kill left no temporary file to clean up";
    EXPECT_EQ(TTestDir::readAll(path), "old contents");

    // The other file's killed save is not this save's business.
    const QString snare = dir.createFile("snare.wav", "snare");
    TSavingChild other(snare, bytes);
    ASSERT_TRUE(other.started());
    other.kill();

    WriteFileAtomic(native(path), "new contents");
    EXPECT_EQ(TTestDir::readAll(path), "new contents");
    EXPECT_EQ(hiddenEntries(dir.path()),
              QStringList({".kick.wav.modwright-save-", ".kick.wav.modwright-save-abcdefg",
                           hiddenEntries(dir.path()).filter(".snare.wav.modwright-save-").value(0),
                           "kick.wav", "kick.wav.AbCdEf", "snare.wav"}));
    ASSERT_EQ(hiddenEntries(dir.path()).filter(".snare.wav.modwright-save-").size(), 1);

    // The sweep at start takes every file's debris, and nothing else.
    EXPECT_EQ(RemoveStaleSaveFiles(native(dir.path())), 1);
    EXPECT_EQ(hiddenEntries(dir.path()),
              QStringList({".kick.wav.modwright-save-", ".kick.wav.modwright-save-abcdefg", "kick.wav",
                           "kick.wav.AbCdEf", "snare.wav"}));
}

TEST(AtomicSave, SaveInProgressInAnotherProcessIsLeftAlone)
{
    TTestDir dir;
    const QString path = dir.createFile("loop.aif", "old");
    TSavingChild saving(path, std::string(4096, 'x'));
    ASSERT_TRUE(saving.started());
    EXPECT_EQ(RemoveStaleSaveFiles(native(dir.path())), 0);
    WriteFileAtomic(native(path), "mine");
    EXPECT_EQ(TTestDir::readAll(path), "mine");
    EXPECT_EQ(hiddenEntries(dir.path()).filter(".loop.aif.modwright-save-").size(), 1); // still being written
    saving.kill();
    EXPECT_EQ(RemoveStaleSaveFiles(native(dir.path()), "loop.aif"), 1);
    EXPECT_EQ(hiddenEntries(dir.path()), QStringList({"loop.aif"}));
}

TEST(AtomicSave, KeepsModeFollowsLinksAndWritesDevicesInPlace)
{
    TTestDir dir;
    const QString path = dir.createFile("a.jpg", "old");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    const QString link = dir.file("link.jpg");
    ASSERT_TRUE(QFile::link(path, link));
    WriteFileAtomic(native(link), "new");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(TTestDir::readAll(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(native(path).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(hiddenEntries(dir.path()), QStringList({"a.jpg", "link.jpg"}));

    // A failed save leaves neither the old file changed nor a temporary file.
    {
        TAtomicSave save(native(path));
        ASSERT_EQ(save.Open(), 0);
        ASSERT_EQ(save.Write("abandoned", 9), 0);
    }
    EXPECT_EQ(TTestDir::readAll(path), "new");
    EXPECT_EQ(hiddenEntries(dir.path()), QStringList({"a.jpg", "link.jpg"}));

    // Nothing can be renamed over a device; it is written where it is, as before.
    TAtomicSave null("/dev/null");
    ASSERT_EQ(null.Open(), 0);
    EXPECT_EQ(null.Write("x", 1), 0);
    EXPECT_EQ(null.Commit(), 0);
    EXPECT_TRUE(QFileInfo("/dev/null").exists());

    // A name too long to take the additions still saves, and its debris is still found.
    const QString longName = QString(250, 'n');
    const QString longPath = dir.createFile(longName, "old");
    WriteFileAtomic(native(longPath), "new");
    EXPECT_EQ(TTestDir::readAll(longPath), "new");
    EXPECT_EQ(TAtomicSave(native(dir.file("missing/x"))).Open(), ENOENT);
}
