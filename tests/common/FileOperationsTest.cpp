#include "common/FileOperations.h"

#include "common/MessageBoxes.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

class FileOperations : public ::testing::Test {
protected:
    bool Exists(const QString &relative) const { return QFileInfo::exists(dir.file(relative)); }
    QByteArray Read(const QString &relative) const { return TTestDir::readAll(dir.file(relative)); }

    TTestDir dir;
    TScriptedMessageBoxes boxes;
};

} // namespace

TEST_F(FileOperations, CopyAsksBeforeReplacingAndKeepsTheOldFileOnNo)
{
    dir.createFile("src/a.wav", "new");
    dir.createFile("dst/a.wav", "old");
    boxes.answers = {maNo};
    TFileOpResult r = TransferFiles({dir.file("src/a.wav")}, dir.file("dst"), foCopy);
    EXPECT_EQ(r.Done, 0);
    EXPECT_EQ(Read("dst/a.wav"), "old");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("confirm: The folder \"" + dir.file("dst") +
                                          "\" already contains a file named \"a.wav\"."));
    boxes.answers = {maYes};
    r = TransferFiles({dir.file("src/a.wav")}, dir.file("dst"), foCopy);
    EXPECT_EQ(r.Done, 1);
    EXPECT_EQ(Read("dst/a.wav"), "new");
    EXPECT_EQ(Read("src/a.wav"), "new");
    // No temporary copies are left behind.
    EXPECT_EQ(QDir(dir.file("dst")).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(FileOperations, AllSaysYesToTheRestAndCancelStops)
{
    for (const char *n : {"1", "2", "3"}) {
        dir.createFile(QString("src/%1.bmp").arg(n), "new");
        dir.createFile(QString("dst/%1.bmp").arg(n), "old");
    }
    const QStringList sources{dir.file("src/1.bmp"), dir.file("src/2.bmp"), dir.file("src/3.bmp")};
    boxes.answers = {maCancel};
    TFileOpResult r = TransferFiles(sources, dir.file("dst"), foMove);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(Read("dst/1.bmp"), "old");
    EXPECT_TRUE(Exists("src/1.bmp"));
    boxes.shown.clear();
    boxes.answers = {maNo, maAll};
    r = TransferFiles(sources, dir.file("dst"), foMove);
    EXPECT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(r.Done, 2);
    EXPECT_EQ(Read("dst/1.bmp"), "old");
    EXPECT_TRUE(Exists("src/1.bmp"));
    EXPECT_EQ(Read("dst/3.bmp"), "new");
    EXPECT_FALSE(Exists("src/3.bmp"));
}

TEST_F(FileOperations, NoAnswerWithoutAHandlerNeverReplaces)
{
    TMessageBoxHandler *scripted = SetMessageBoxHandler(nullptr);
    dir.createFile("src/a.wav", "new");
    dir.createFile("dst/a.wav", "old");
    const TFileOpResult r = TransferFiles({dir.file("src/a.wav")}, dir.file("dst"), foMove);
    SetMessageBoxHandler(scripted);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(Read("dst/a.wav"), "old");
    EXPECT_EQ(Read("src/a.wav"), "new");
}

TEST_F(FileOperations, AFolderIsNeverMovedOrCopiedIntoItself)
{
    dir.createFile("top/sub/x.bmp", "x");
    for (TFileOp op : {foMove, foCopy}) {
        boxes.shown.clear();
        TFileOpResult r = TransferFiles({dir.file("top")}, dir.file("top/sub"), op);
        EXPECT_EQ(r.Done, 0);
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_TRUE(boxes.shown[0].contains("the destination folder is inside the source folder"));
    }
    EXPECT_TRUE(Exists("top/sub/x.bmp"));
    EXPECT_FALSE(Exists("top/sub/top"));
    // Into itself through a path spelt differently.
    TFileOpResult r = TransferFiles({dir.file("top/")}, dir.file("top/sub/../sub"), foMove);
    EXPECT_EQ(r.Done, 0);
    EXPECT_TRUE(Exists("top/sub/x.bmp"));
    // A sibling whose name starts with the folder's name is not inside it.
    dir.createDir("top2");
    r = TransferFiles({dir.file("top")}, dir.file("top2"), foMove);
    EXPECT_EQ(r.Done, 1);
    EXPECT_TRUE(Exists("top2/top/sub/x.bmp"));
}

TEST_F(FileOperations, VanishedSourcesAreReportedAndTheRestGoesOn)
{
    dir.createFile("src/b.wav", "b");
    dir.createDir("dst");
    const TFileOpResult r =
        TransferFiles({dir.file("src/gone.wav"), dir.file("src/b.wav")}, dir.file("dst"), foCopy);
    EXPECT_EQ(r.Done, 1);
    EXPECT_TRUE(Exists("dst/b.wav"));
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "error: \"" + dir.file("src/gone.wav") + "\" does not exist any more.");
    const TFileOpResult missing = TransferFiles({dir.file("src/b.wav")}, dir.file("nowhere"), foCopy, false);
    EXPECT_EQ(missing.Done, 0);
    EXPECT_EQ(missing.Errors.size(), 1);
}

TEST_F(FileOperations, CopyIntoTheSameFolderMakesCopyOfNamesAndLinksPointBack)
{
    dir.createFile("f/a.wav", "a");
    TransferFiles({dir.file("f/a.wav")}, dir.file("f"), foCopy);
    TransferFiles({dir.file("f/a.wav")}, dir.file("f"), foCopy);
    EXPECT_EQ(Read("f/Copy of a.wav"), "a");
    EXPECT_EQ(Read("f/Copy (2) of a.wav"), "a");
    TransferFiles({dir.file("f/a.wav")}, dir.file("f"), foMove); // already there
    EXPECT_TRUE(Exists("f/a.wav"));
    dir.createDir("g");
    TFileOpResult r = TransferFiles({dir.file("f/a.wav")}, dir.file("g"), foLink);
    EXPECT_EQ(r.Done, 1);
    EXPECT_EQ(QFileInfo(dir.file("g/a.wav")).symLinkTarget(), dir.file("f/a.wav"));
    TransferFiles({dir.file("f/a.wav")}, dir.file("g"), foLink);
    EXPECT_TRUE(QFileInfo(dir.file("g/Link to a.wav")).isSymLink());
}

TEST_F(FileOperations, FoldersMergeOnlyAfterAskingPerFile)
{
    dir.createFile("src/d/one.bmp", "new1");
    dir.createFile("src/d/two.bmp", "new2");
    dir.createFile("dst/d/one.bmp", "old1");
    boxes.answers = {maYes, maNo};
    TFileOpResult r = TransferFiles({dir.file("src/d")}, dir.file("dst"), foCopy);
    EXPECT_EQ(Read("dst/d/one.bmp"), "old1");
    EXPECT_EQ(Read("dst/d/two.bmp"), "new2");
    EXPECT_EQ(r.Done, 0); // not everything arrived
}

TEST_F(FileOperations, DeleteAsksFirstAndMovesToTheTrashOrDeletesForGood)
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file("data")));
    dir.createDir("data");
    dir.createFile("f/a.wav", "a");
    dir.createFile("f/sub/b.wav", "b");
    boxes.answers = {maNo};
    TFileOpResult r = DeleteFiles({dir.file("f/a.wav")}, true, true);
    EXPECT_TRUE(r.Cancelled);
    EXPECT_TRUE(Exists("f/a.wav"));
    EXPECT_EQ(boxes.shown.last(), "confirm: Are you sure you want to move \"a.wav\" to the trash?");

    boxes.answers = {maYes};
    r = DeleteFiles({dir.file("f/a.wav"), dir.file("f/gone.wav")}, true, true);
    EXPECT_EQ(r.Done, 1);
    EXPECT_FALSE(Exists("f/a.wav"));
    EXPECT_TRUE(QFileInfo::exists(dir.file("data/Trash/files/a.wav")));

    r = DeleteFiles({dir.file("f/sub")}, false, false);
    EXPECT_EQ(r.Done, 1);
    EXPECT_FALSE(Exists("f/sub"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("data/Trash/files/sub")));
    qunsetenv("XDG_DATA_HOME");
}

TEST_F(FileOperations, NewFolderNamesCountFromZero)
{
    EXPECT_EQ(NewFolderName(dir.path()), dir.file("New Folder"));
    dir.createDir("New Folder");
    dir.createDir("New Folder (0)");
    EXPECT_EQ(NewFolderName(dir.path() + "/"), dir.file("New Folder (1)"));
    EXPECT_TRUE(IsSameOrInside(dir.file("a/b"), dir.file("a")));
    EXPECT_FALSE(IsSameOrInside(dir.file("ab"), dir.file("a")));
}
