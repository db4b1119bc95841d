#include "model/AssignmentSet.h"

#include "common/MessageBoxes.h"
#include "platform/Exception.h"
#include "support/TestDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// A set over fresh rows, an assignment file and a backup file in a temporary folder.
class AssignmentSetTest : public ::testing::Test {
protected:
    AssignmentSetTest()
        : drums(TAssignmentRows::drums()), images(TAssignmentRows::images()), set(drums, images, messages)
    {
        CreateCatalogue();
        for (int i = 0; i < LiveEntryCount; ++i)
            LiveEntry(i).path.clear();
        set.assignmentFile = dir.file("Assignments.ini");
        set.backupFile = dir.file("Mdw2Temp/MdwBackUpAssignments.ini");
        dir.createDir("Mdw2Temp");
    }

    QString text() const { return QString::fromUtf8(TTestDir::readAll(set.assignmentFile)); }

    TTestDir dir;
    TAssignmentRows drums;
    TAssignmentRows images;
    TMessageList messages;
    TAssignmentSet set;
    TScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(AssignmentSetTest, SaveNumbersNamesAndKeepsSlots)
{
    set.SaveAssignment("Demo");
    EXPECT_EQ(set.ListAssignments(), QStringList{"Demo"});
    EXPECT_TRUE(text().contains("[Assignments]\r\nAssignment1=Demo\r\n"));
    EXPECT_TRUE(text().contains("[Ass.Demo]"));

    const QString first = dir.createFile("a/first.bmp");
    set.AssignFile(images.at(3), first);
    set.SaveAssignment("Demo"); // same name keeps number 1, replaces the section
    EXPECT_FALSE(text().contains("Assignment2"));
    EXPECT_TRUE(set.AssignmentContents("Demo").contains("Master panel=" + first));

    set.SaveAssignment("demo"); // differs in case: a new name, one shared section
    EXPECT_TRUE(text().contains("Assignment2=demo"));
    EXPECT_EQ(text().count("[Ass.", Qt::CaseInsensitive), 1);
    EXPECT_EQ(set.name, "demo");
    EXPECT_FALSE(set.modified);
}

TEST_F(AssignmentSetTest, KeysInRowOrderDrumsFirstThenTexts)
{
    const QString kick = dir.createFile("kick.wav");
    const QString panel = dir.createFile("panel.jpg");
    const QString led = dir.createFile("led.bmp");
    set.AssignFile(*drums.find(false, 1), kick);
    set.AssignFile(*images.find(true, 15), led);
    set.AssignFile(*images.find(true, 0), panel);
    // Reverse the image rows: the file follows the list's display order.
    images.sort([](const TAssignmentData &a, const TAssignmentData &b) { return a.index > b.index; });
    set.texts.ModName = "Mine";
    set.texts.Comments = "line one\r\nline two";
    set.SaveAssignment("Order");

    EXPECT_EQ(set.AssignmentContents("Order"),
              (QStringList{"808 Bassdrum=" + kick, "LED digits=" + led, "Transport panel=" + panel,
                           "ModName=Mine", "WWW=", "FTP=", "DemoSong=", "Comments=line one\\nline two"}));
}

TEST_F(AssignmentSetTest, LoadDetachesMissingKeysAndRestoresTexts)
{
    const QString kick = dir.createFile("kick.wav");
    set.AssignFile(drums.at(1), kick);
    set.texts.Comments = "a\r\nb";
    set.texts.DemoSong = "/songs/demo.rbs";
    set.SaveAssignment("One");

    set.DetachAll();
    EXPECT_TRUE(set.name.isEmpty());
    EXPECT_EQ(set.texts, TModTexts());
    const QString snare = dir.createFile("snare.wav");
    set.AssignFile(drums.at(2), snare); // assigned now, absent from "One"

    EXPECT_FALSE(set.LoadAssignment("One", false, false));
    EXPECT_EQ(drums.at(1).assignedPath(), kick);
    EXPECT_TRUE(drums.at(2).assignedPath().isEmpty());
    EXPECT_EQ(set.texts.Comments, "a\r\nb");
    EXPECT_EQ(set.texts.DemoSong, "/songs/demo.rbs");
    EXPECT_EQ(set.name, "One");
    EXPECT_FALSE(set.modified);
    EXPECT_FALSE(messages.HasMessages());
}

TEST_F(AssignmentSetTest, FailedComponentIsReportedAndDetachedOthersLoad)
{
    const QString kept = dir.createFile("kept.jpg");
    const QString gone = dir.createFile("gone.jpg");
    set.AssignFile(images.at(0), kept);
    set.AssignFile(images.at(1), gone);
    set.SaveAssignment("Broken");
    QFile::remove(gone);

    EXPECT_FALSE(set.LoadAssignment("Broken", true, false));
    EXPECT_EQ(images.at(0).assignedPath(), kept);
    EXPECT_TRUE(images.at(1).assignedPath().isEmpty());
    EXPECT_EQ(messages.lines, (QStringList{"Couldn't make the assignment for Pattern panel.",
                                           "(Filename: " + gone + ")", ""}));
    EXPECT_EQ(messages.showCount, 1);
}

TEST_F(AssignmentSetTest, RefusedFileKeepsPreviousAssignment)
{
    const QString good = dir.createFile("good.wav");
    set.AssignFile(drums.at(5), good);
    set.modified = false;
    EXPECT_THROW(set.AssignFile(drums.at(5), dir.file("missing.wav")), EModwright);
    EXPECT_EQ(drums.at(5).assignedPath(), good);
    EXPECT_FALSE(set.modified);
    try {
        set.AssignFile(drums.at(5), "/nowhere/x.wav");
    } catch (const EModwright &e) {
        EXPECT_STREQ(e.what(), "/nowhere/x.wav does not exist.");
    }
}

TEST_F(AssignmentSetTest, DeleteSecondOfThreeRenumbers)
{
    set.SaveAssignment("A");
    set.SaveAssignment("B");
    set.SaveAssignment("C");
    set.DeleteAssignment("B");
    EXPECT_TRUE(text().contains("Assignment1=A\r\nAssignment2=C\r\n"));
    EXPECT_FALSE(text().contains("Assignment3"));
    EXPECT_FALSE(text().contains("[Ass.B]"));
    EXPECT_TRUE(text().contains("[Ass.C]"));
}

TEST_F(AssignmentSetTest, ListIsSortedWithoutCase)
{
    for (const char *n : {"beta", "Alpha", "gamma", "Beta2"})
        set.SaveAssignment(n);
    EXPECT_EQ(set.ListAssignments(), (QStringList{"Alpha", "beta", "Beta2", "gamma"}));
}

TEST_F(AssignmentSetTest, BackupIsWrittenOnlyWhenModifiedAndLoadsAsUnsaved)
{
    set.SaveBackup();
    EXPECT_FALSE(set.BackupExists());

    const QString kick = dir.createFile("kick.aif");
    set.AssignFile(drums.at(1), kick); // modified, no name yet
    set.SaveBackup();
    ASSERT_TRUE(set.BackupExists());
    EXPECT_TRUE(QString::fromUtf8(TTestDir::readAll(set.backupFile)).contains("Assignment1=Backup"));

    set.name = "Work";
    set.SaveBackup(); // written afresh: one assignment only
    const QString backup = QString::fromUtf8(TTestDir::readAll(set.backupFile));
    EXPECT_TRUE(backup.contains("Assignment1=Work"));
    EXPECT_FALSE(backup.contains("Backup"));

    set.DetachAll();
    EXPECT_TRUE(set.LoadAssignment("Last", false, true));
    EXPECT_EQ(set.name, "Work");
    EXPECT_TRUE(set.modified);
    EXPECT_EQ(drums.at(1).assignedPath(), kick);

    set.DeleteBackup();
    EXPECT_FALSE(set.BackupExists());
    EXPECT_FALSE(set.LoadAssignment("", false, true)); // nothing to do
}

TEST_F(AssignmentSetTest, BackupGoesOnlyThroughACheckedFolderAndNeverThroughALink)
{
    const QString kick = dir.createFile("kick.aif");
    set.AssignFile(drums.at(1), kick);

    // A link in the backup's place: not read, and the next backup replaces the
    // link instead of writing through it.
    const QString elsewhere = dir.createFile("elsewhere.ini", "[Assignments]\r\nAssignment1=Planted\r\n");
    ASSERT_TRUE(QFile::link(elsewhere, set.backupFile));
    EXPECT_FALSE(set.BackupExists());
    EXPECT_EQ(set.BackupProblem(),
              "The backup file \"" + set.backupFile + "\" is a symbolic link, so it was not loaded.");
    set.SaveBackup();
    EXPECT_EQ(TTestDir::readAll(elsewhere), "[Assignments]\r\nAssignment1=Planted\r\n");
    EXPECT_FALSE(QFileInfo(set.backupFile).isSymLink());
    EXPECT_TRUE(set.BackupExists());
    EXPECT_EQ(set.BackupProblem(), "");

    // A working folder others may write: nothing in it is read, written or deleted.
    QFile::setPermissions(dir.file("Mdw2Temp"), QFileDevice::Permissions(0x7777));
    EXPECT_FALSE(set.BackupExists());
    EXPECT_TRUE(set.BackupProblem().contains("can be written by group or others"));
    set.DeleteBackup();
    EXPECT_TRUE(QFile::exists(set.backupFile));
    set.SaveBackup();
    EXPECT_EQ(boxes.shown, QStringList{"error: " + QString(TAssignmentSet::WriteErrorText)});
}

TEST_F(AssignmentSetTest, MissingOrJunkFilesReadAsEmpty)
{
    set.AssignFile(drums.at(1), dir.createFile("k.wav"));
    EXPECT_FALSE(set.LoadAssignment("Nothing", false, false)); // no file at all
    EXPECT_TRUE(drums.at(1).assignedPath().isEmpty());
    EXPECT_EQ(set.name, "Nothing");
    EXPECT_TRUE(boxes.shown.isEmpty());

    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(char((i * 131) & 0xff));
    dir.createFile("Assignments.ini", junk + "\n[Ass.X]\r\nModName=half");
    EXPECT_TRUE(set.ListAssignments().isEmpty());
    set.LoadAssignment("X", false, false);
    EXPECT_EQ(set.texts.ModName, "half");
}

TEST_F(AssignmentSetTest, UnreadableAndUnwritableFilesShowTheirMessages)
{
    set.assignmentFile = dir.createDir("a-folder-not-a-file");
    set.name = "Kept";
    set.LoadAssignment("Other", false, false);
    EXPECT_EQ(boxes.shown, QStringList{QString("error: ") + TAssignmentSet::ReadErrorText});
    EXPECT_EQ(set.name, "Kept");

    boxes.shown.clear();
    set.assignmentFile = dir.file("no/such/folder/Assignments.ini");
    set.modified = true;
    set.SaveAssignment("Lost?");
    EXPECT_EQ(boxes.shown, QStringList{QString("error: ") + TAssignmentSet::WriteErrorText});
    // The work was not saved, so it must still count as unsaved.
    EXPECT_TRUE(set.modified);
    EXPECT_EQ(set.name, "Kept");
}

TEST_F(AssignmentSetTest, DetachClearsInfoAndMarksModified)
{
    TAssignmentData &row = images.at(2);
    set.fileCheck = [](TAssignmentData &r, const QString &, TMessages &) { r.info = {70, 115, 24, 0}; };
    set.AssignFile(row, "/any/file.jpg");
    EXPECT_EQ(row.info[0], 70);
    set.modified = false;
    int changes = 0;
    set.onRowChanged = [&](TAssignmentData &) { ++changes; };
    set.DetachFile(&row);
    EXPECT_EQ(row.info, (std::array<int32_t, 4>{}));
    EXPECT_TRUE(row.assignedPath().isEmpty());
    EXPECT_TRUE(set.modified);
    EXPECT_EQ(changes, 1);
    EXPECT_THROW(set.DetachFile(nullptr), EAssertionFailed);
    EXPECT_THROW(set.SaveAssignment(""), EAssertionFailed);
}
