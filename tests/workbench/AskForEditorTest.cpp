#include "workbench/AskForEditor.h"

#include "common/MessageBoxes.h"
#include "platform/RegIniFile.h"
#include "support/TestDir.h"
#include "workbench/MainSettings.h"
#include "workbench/ModwrightForm.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(AskForEditorCommandLine, ExactlyTwoArgumentsWithTheExactSwitch)
{
    EXPECT_TRUE(IsAskForEditorCommandLine({"/askimgeditor", "/home/u/a.bmp"}));
    EXPECT_TRUE(IsAskForEditorCommandLine({"/askdrumeditor", "/home/u/a.wav"}));
    EXPECT_FALSE(IsAskForEditorCommandLine({"/askimgeditor"}));
    EXPECT_FALSE(IsAskForEditorCommandLine({"/askimgeditor", "a.bmp", "b.bmp"}));
    EXPECT_FALSE(IsAskForEditorCommandLine({"/AskImgEditor", "a.bmp"}));
    EXPECT_FALSE(IsAskForEditorCommandLine({}));
    EXPECT_TRUE(IsUninstallCommandLine({"/uninstall"}));
    EXPECT_TRUE(IsUninstallCommandLine({"/uninstall", "x"}));
    EXPECT_FALSE(IsUninstallCommandLine({"/UNINSTALL"}));
    EXPECT_FALSE(IsUninstallCommandLine({"x", "/uninstall"}));
}

class AskForEditorTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("MODWRIGHT_CONFIG_DIR", dir.path().toUtf8()); }

    // A small "editor" that writes what it was given into a file.
    QString makeEditor(const QString &name)
    {
        const QString path = dir.createFile(name, "#!/bin/sh\nprintf '%s' \"$1\" > \"" +
                                                      dir.file("edited.txt").toUtf8() + "\"\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
        return path;
    }
    QString editedFile()
    {
        QDeadlineTimer deadline(5000);
        while (!QFileInfo::exists(dir.file("edited.txt")) && !deadline.hasExpired())
            QThread::msleep(10);
        QThread::msleep(20);
        return QString::fromUtf8(TTestDir::readAll(dir.file("edited.txt")));
    }
    std::string value(const char *name)
    {
        return TRegIniFile(TRegRoot::CurrentUser, ConfigKey).ReadString("Current", name, "<none>");
    }

    TTestDir dir;
    TScriptedMessageBoxes boxes;
};

TEST_F(AskForEditorTest, ChosenEditorIsStoredAndRunOnTheFile)
{
    const QString editor = makeEditor("paint.sh");
    const QString picture = dir.createFile("pics/my \"odd\" picture.bmp", "BM");
    TEditorDialog asked;
    RunAskForEditor("/askimgeditor", picture, [&](const TEditorDialog &d) {
        asked = d;
        return editor;
    });
    EXPECT_EQ(asked.title, "Select Image editor");
    EXPECT_EQ(asked.directory, dir.file("pics"));
    EXPECT_TRUE(asked.fileName.isEmpty());
    EXPECT_EQ(asked.filters, (QStringList{"Programs (*.exe)", "All files (*)"}));
    EXPECT_EQ(value("ImgEditorPath"), editor.toStdString());
    EXPECT_EQ(value("ImgEditorName"), "paint");
    EXPECT_EQ(value("ImgEditorActive"), "1");
    EXPECT_EQ(value("DrumEditorActive"), "0");
    EXPECT_EQ(editedFile(), picture);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(AskForEditorTest, DrumDialogStartsOnTheCurrentEditor)
{
    {
        TRegIniFile store(TRegRoot::CurrentUser, ConfigKey);
        store.WriteString("Current", "DrumEditorPath", dir.file("tools/wave.sh").toStdString());
        store.WriteString("Current", "DrumEditorName", "Wave");
    }
    TEditorDialog asked;
    RunAskForEditor("/askdrumeditor", dir.file("a.wav"), [&](const TEditorDialog &d) {
        asked = d;
        return QString();
    });
    EXPECT_EQ(asked.title, "Select Drum editor");
    EXPECT_EQ(asked.directory, dir.file("tools"));
    EXPECT_EQ(asked.fileName, "wave.sh");
    // Cancelled: nothing changed, nothing run.
    EXPECT_EQ(value("DrumEditorName"), "Wave");
    EXPECT_EQ(value("DrumEditorActive"), "<none>");
    EXPECT_FALSE(QFileInfo::exists(dir.file("edited.txt")));
}

// The menu entries are refreshed (through `stored`) only for a choice that was stored.
TEST_F(AskForEditorTest, OnlyAStoredChoiceGoesOnToTheMenuEntries)
{
    int stored = 0;
    RunAskForEditor("/askimgeditor", dir.file("a.bmp"), [](const TEditorDialog &) { return QString(); },
                    [&stored] { ++stored; });
    EXPECT_EQ(stored, 0);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty()) << "a cancelled choice wrote a file";

    const QString editor = makeEditor("paint.sh");
    RunAskForEditor("/askimgeditor", dir.createFile("b.bmp", "BM"), [&](const TEditorDialog &) { return editor; },
                    [&] {
                        ++stored;
                        EXPECT_EQ(value("ImgEditorPath"), editor.toStdString()) << "refreshed before storing";
                    });
    EXPECT_EQ(stored, 1);
}

TEST_F(AskForEditorTest, AProgramThatWontStartIsReported)
{
    const QString notAProgram = dir.createFile("readme.txt", "text");
    RunAskForEditor("/askimgeditor", dir.file("a.bmp"),
                    [&](const TEditorDialog &) { return dir.file("gone"); });
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0], "error: Error executing " + dir.file("gone") + ".");
    Q_UNUSED(notAProgram);
}

} // namespace
