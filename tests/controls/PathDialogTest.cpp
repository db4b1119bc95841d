#include "controls/PathDialog.h"

#include "common/MessageBoxes.h"
#include "controls/FolderTree.h"
#include "support/ShellTestEnvironment.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

QPushButton *Button(TPathDialog &d, const char *name)
{
    return d.Handle()->findChild<QPushButton *>(name);
}

class PathDialogTest : public ::testing::Test {
protected:
    TShellTestEnvironment env;
    TScriptedMessageBoxes boxes;
    TPathDialog dialog;
};

TEST_F(PathDialogTest, DirectoryLosesOneTrailingSeparatorAndEmptyMeansTheCurrentFolder)
{
    dialog.SetDirectory("/tmp/some/");
    EXPECT_EQ(dialog.Directory(), "/tmp/some");
    dialog.SetDirectory("/");
    EXPECT_EQ(dialog.Directory(), "/"); // the root keeps its only separator
    dialog.SetDirectory("");
    EXPECT_EQ(dialog.Directory(), QDir::currentPath());
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST_F(PathDialogTest, OkReturnsThePreselectedFolder)
{
    const QString folder = env.dir.createDir("volume/music/drums");
    dialog.SetDirectory(folder + "/");
    dialog.SetTitle("Select a temporary directory");
    QString shownTitle, selectedAtShow;
    dialog.OnShow = [&](TPathDialog &d) {
        shownTitle = d.Handle()->findChild<QLabel *>("LTitle")->text();
        selectedAtShow = d.Tree()->SelectedPath();
        EXPECT_TRUE(Button(d, "BOK")->isEnabled());
        Button(d, "BOK")->click();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(shownTitle, "Select a temporary directory");
    EXPECT_EQ(selectedAtShow, folder);
    EXPECT_EQ(dialog.Directory(), folder);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

TEST_F(PathDialogTest, SettingDirectoryWhileOpenMovesTheSelectionAndRaisesOnSelect)
{
    const QString first = env.dir.createDir("volume/a");
    const QString second = env.dir.createDir("volume/b/c");
    dialog.SetDirectory(first);
    QStringList selected;
    dialog.OnSelect = [&](TPathDialog &, const QString &path) { selected << path; };
    dialog.OnShow = [&](TPathDialog &d) {
        d.SetDirectory(second);
        EXPECT_EQ(d.Tree()->SelectedPath(), second);
        Button(d, "BOK")->click();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), second);
    ASSERT_FALSE(selected.isEmpty());
    EXPECT_EQ(selected.last(), second);
    EXPECT_TRUE(selected.contains(first));
}

TEST_F(PathDialogTest, CancelLeavesDirectoryAlone)
{
    const QString folder = env.dir.createDir("volume/keep");
    dialog.SetDirectory(folder);
    dialog.OnShow = [&](TPathDialog &d) {
        d.Tree()->SelectPath(env.volume); // the user moves on, then cancels
        Button(d, "BCancel")->click();
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), folder);
}

TEST_F(PathDialogTest, AVirtualFolderCannotBeChosen)
{
    const QString folder = env.dir.createDir("volume/keep");
    dialog.SetDirectory(folder);
    bool okEnabled = true, newFolderEnabled = true;
    dialog.OnShow = [&](TPathDialog &d) {
        // The top node is "Computer", which has no path on disk.
        TFolderTree *tree = d.Tree();
        tree->setCurrentIndex(tree->Model()->index(0, 0));
        EXPECT_EQ(tree->Model()->item(0)->text(), "Computer");
        EXPECT_EQ(tree->SelectedPath(), "");
        okEnabled = Button(d, "BOK")->isEnabled();
        newFolderEnabled = Button(d, "BNewFolder")->isEnabled();
        d.Handle()->accept(); // as the Return key would
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_FALSE(okEnabled);
    EXPECT_FALSE(newFolderEnabled);
    EXPECT_EQ(dialog.Directory(), folder);
}

TEST_F(PathDialogTest, ComputerRootListsTheVolumesAndDesktopRootItsOwnItems)
{
    QStringList computer, desktop;
    dialog.SetDirectory(env.volume);
    dialog.OnShow = [&](TPathDialog &d) {
        computer = d.Tree()->ChildNames(d.Tree()->Model()->index(0, 0));
        d.Handle()->reject();
    };
    dialog.Execute();
    EXPECT_TRUE(computer.contains("STICK")) << computer.join(',').toStdString();
    EXPECT_TRUE(computer.contains("File System")) << computer.join(',').toStdString();

    env.dir.createDir("desktop/On the desktop");
    dialog.SetRootItem(TPathDialog::riDesktop);
    dialog.OnShow = [&](TPathDialog &d) {
        desktop = d.Tree()->ChildNames(d.Tree()->Model()->index(0, 0));
        // The desktop itself is a folder on disk.
        d.Tree()->setCurrentIndex(d.Tree()->Model()->index(0, 0));
        Button(d, "BOK")->click();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.Directory(), env.desktop);
    EXPECT_TRUE(desktop.contains("Computer"));
    EXPECT_TRUE(desktop.contains("On the desktop"));
}

TEST_F(PathDialogTest, HiddenFoldersAreLeftOutUnlessPreselected)
{
    env.dir.createDir("volume/.secret/inner");
    env.dir.createDir("volume/shown");
    QStringList children;
    QString selected;
    dialog.SetDirectory(env.dir.file("volume/.secret/inner"));
    dialog.OnShow = [&](TPathDialog &d) {
        selected = d.Tree()->SelectedPath();
        d.SetDirectory(env.volume);
        children = d.Tree()->ChildNames(d.Tree()->currentIndex());
        d.Handle()->reject();
    };
    dialog.Execute();
    EXPECT_EQ(selected, env.dir.file("volume/.secret/inner"));
    EXPECT_TRUE(children.contains("shown"));
    EXPECT_FALSE(children.contains("inner"));
}

TEST_F(PathDialogTest, MakeNewFolderNumbersTheNameAndSelectsIt)
{
    env.dir.createDir("volume/work/New Folder");
    dialog.SetDirectory(env.dir.file("volume/work"));
    dialog.OnShow = [&](TPathDialog &d) {
        Button(d, "BNewFolder")->click();
        EXPECT_EQ(d.Tree()->SelectedPath(), env.dir.file("volume/work/New Folder (2)"));
        Button(d, "BOK")->click();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_TRUE(QFileInfo(env.dir.file("volume/work/New Folder (2)")).isDir());
    EXPECT_EQ(dialog.Directory(), env.dir.file("volume/work/New Folder (2)"));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(PathDialogTest, NewFolderInAReadOnlyFolderIsRefused)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    const QString locked = env.dir.createDir("volume/locked");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    dialog.SetDirectory(locked);
    dialog.OnShow = [&](TPathDialog &d) {
        Button(d, "BNewFolder")->click();
        EXPECT_EQ(d.Tree()->SelectedPath(), locked);
        d.Handle()->reject();
    };
    EXPECT_FALSE(dialog.Execute());
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: Cannot create the folder \"New Folder\" in " + locked))
        << boxes.shown[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(locked + "/New Folder"));
}

TEST_F(PathDialogTest, NewFolderInAFolderThatHasGoneIsRefused)
{
    const QString gone = env.dir.createDir("volume/gone");
    dialog.SetDirectory(gone);
    bool okAfter = false;
    dialog.OnShow = [&](TPathDialog &d) {
        QDir(gone).removeRecursively();
        Button(d, "BNewFolder")->click();
        okAfter = Button(d, "BOK")->isEnabled();
        d.Handle()->reject();
    };
    EXPECT_FALSE(dialog.Execute());
    EXPECT_TRUE(okAfter);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: Cannot create the folder \"New Folder\" in " + gone))
        << boxes.shown[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(gone));
}

TEST_F(PathDialogTest, RenamingInPlaceRenamesOnDiskAndRefusesAnExistingName)
{
    env.dir.createDir("volume/work/taken");
    const QString old = env.dir.createDir("volume/work/old");
    QString afterRename, afterRefusal;
    dialog.SetDirectory(old);
    dialog.OnShow = [&](TPathDialog &d) {
        QStandardItem *item = d.Tree()->Model()->itemFromIndex(d.Tree()->currentIndex());
        item->setText("fresh");
        afterRename = d.Tree()->SelectedPath();
        item->setText("taken");
        afterRefusal = item->text();
        Button(d, "BOK")->click();
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(afterRename, env.dir.file("volume/work/fresh"));
    EXPECT_TRUE(QFileInfo(env.dir.file("volume/work/fresh")).isDir());
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_EQ(afterRefusal, "fresh");
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_TRUE(boxes.shown[0].startsWith("error: Cannot rename")) << boxes.shown[0].toStdString();
    EXPECT_EQ(dialog.Directory(), env.dir.file("volume/work/fresh"));
}

TEST_F(PathDialogTest, StatusLineFollowsStatusTextWhileOpen)
{
    dialog.SetShowStatus(true);
    dialog.SetStatusText("first");
    QString before, after;
    bool visible = false;
    dialog.OnShow = [&](TPathDialog &d) {
        auto *status = d.Handle()->findChild<QLabel *>("LStatus");
        visible = !status->isHidden();
        before = status->text();
        d.SetStatusText("second");
        after = status->text();
        d.Handle()->reject();
    };
    dialog.Execute();
    EXPECT_TRUE(visible);
    EXPECT_EQ(before, "first");
    EXPECT_EQ(after, "second");
    EXPECT_EQ(dialog.StatusText(), "second");
}

TEST_F(PathDialogTest, AnExceptionOfAHandlerIsShownAndTheDialogGoesOn)
{
    const QString folder = env.dir.createDir("volume/x");
    dialog.SetDirectory(env.volume);
    dialog.OnShow = [&](TPathDialog &d) {
        QTimer::singleShot(0, d.Handle(), [&d, folder] {
            d.SetDirectory(folder);
            Button(d, "BOK")->click();
        });
        throw std::runtime_error("show failed");
    };
    EXPECT_TRUE(dialog.Execute());
    EXPECT_EQ(boxes.shown, QStringList{"error: show failed"});
    EXPECT_EQ(dialog.Directory(), folder);
}

TEST_F(PathDialogTest, OldStyleHasNoNewFolderButton)
{
    dialog.SetNewStyle(false);
    bool hidden = false;
    dialog.OnShow = [&](TPathDialog &d) {
        hidden = Button(d, "BNewFolder")->isHidden();
        d.Handle()->reject();
    };
    dialog.Execute();
    EXPECT_TRUE(hidden);
}

} // namespace
