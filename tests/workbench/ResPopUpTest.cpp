// The component lists' pop-up menu, the editor on double click and the keys of the
// lists, through the events a user's mouse and keyboard send.

#include "workbench/ResPopUp.h"

#include "FormFixture.h"
#include "ListEvents.h"
#include "controls/SystemListView.h"
#include "workbench/ErrForm.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStatusBar>
#include <QThread>
#include <QTimer>

using namespace list_events;

namespace {

class ResPopUpTest : public FormFixture {
protected:
    // A stand-in editor that writes each argument it gets on a line of its log.
    QString editor(const QString &name)
    {
        editorLog = dir.file(name + ".log");
        const QString script = dir.createFile(
            "bin/" + name,
            QString("#!/bin/sh\n{ for a in \"$@\"; do echo \"arg:$a\"; done; echo end; } > '%1'\n")
                .arg(editorLog)
                .toUtf8());
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return script;
    }
    // The editor's log once it is complete; empty when nothing ran within `ms`.
    QStringList editorRun(int ms = 5000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            QFile file(editorLog);
            if (file.open(QIODevice::ReadOnly)) {
                const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
                if (!lines.isEmpty() && lines.last() == "end")
                    return lines.mid(0, lines.size() - 1);
            }
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(5);
        }
        return {};
    }
    void browse(int tab, const QString &folder)
    {
        form->SetActiveTab(tab);
        form->Browser(tab)->SetDirectory(folder);
        ASSERT_TRUE(WaitFor([&] { return QDir(form->Browser(tab)->RealDirectory()) == QDir(folder); }));
    }
    QMenu *menu() const { return ResPopUpMenu(*form); }
    QAction *item(const char *name) const
    {
        for (QAction *action : menu()->actions())
            if (action->objectName() == QLatin1String(name))
                return action;
        ADD_FAILURE() << name;
        return nullptr;
    }
    // Closes the menu the way Escape does.
    void closeMenu() const
    {
        menu()->hide();
        QApplication::processEvents();
    }

    QString editorLog;
};

TEST_F(ResPopUpTest, ARightClickOnARowOpensItsMenuWithTheDesignedItems)
{
    TModwrightForm &f = start();
    f.Settings.UseVirtualNames[0] = false;
    f.Settings.UseOtherExt[0] = false;
    const QString folder = dir.createDir("pictures");
    const QString led = MakeBmp(dir, "pictures/LED digits.bmp", 109, 16);
    browse(0, folder);
    TAssignmentData *row = FindRow(f.LVBMPRes, "LED digits");
    ASSERT_NE(row, nullptr);

    RightClickRow(f.LVBMPRes, row);
    ASSERT_NE(menu(), nullptr);
    ASSERT_TRUE(menu()->isVisible());
    EXPECT_EQ(PopupRow(f), row);
    EXPECT_TRUE(item("PopAssign1")->isVisible());
    EXPECT_EQ(item("PopAssign1")->text(), "Assign to \"LED digits.bmp\"");
    EXPECT_EQ(item("PopAssign1")->statusTip(), "Assigns LED digits to \"" + led + "\".");
    EXPECT_EQ(item("PopAutoAssign1")->text(), "&Auto Assign All");
    EXPECT_EQ(item("PopAutoAssign1")->statusTip(),
              "Tries to assign all Images to files in current directory, comparing the filenames.");
    EXPECT_EQ(item("PopDetach1")->text(), "&Detach");
    EXPECT_EQ(item("PopDetach1")->statusTip(), "Detaches the selected item.");
    EXPECT_FALSE(item("PopDetach1")->isEnabled());
    EXPECT_EQ(item("PopDetachAll1")->text(), "Detach All");
    EXPECT_FALSE(item("PopDetachAll1")->isEnabled());
    EXPECT_FALSE(item("PopSaveAs1")->isVisible()); // only for an assigned row
    EXPECT_EQ(item("PopSaveAll1")->text(), "Save All");
    EXPECT_EQ(item("PopSaveAll1")->statusTip(), "Saves all assigned Images to files to current directory.");
    EXPECT_FALSE(item("PopSaveAll1")->isEnabled());
    EXPECT_FALSE(item("PopEditWith1")->isVisible()); // no image editor
    EXPECT_EQ(item("PopLoadAssignments1")->text(), "&Load Assignments");
    EXPECT_EQ(item("PopSaveAssignments1")->text(), "Save Assignments");
    EXPECT_FALSE(f.ExportMod1->isEnabled());

    // A hovered item's hint reaches the window's status bar.
    Mouse(menu(), QEvent::MouseMove, menu()->actionGeometry(item("PopAutoAssign1")).center(), Qt::NoButton,
          Qt::NoButton);
    EXPECT_EQ(f.StatusBar->currentMessage(),
              "Tries to assign all Images to files in current directory, comparing the filenames.");

    // "Assign to" puts the found file on the row that was right-clicked.
    ASSERT_TRUE(ClickMenuItem(menu(), item("PopAssign1")));
    EXPECT_EQ(row->assignedPath(), led);
    EXPECT_TRUE(f.ExportMod1->isEnabled());

    RightClickRow(f.LVBMPRes, row);
    EXPECT_TRUE(item("PopDetach1")->isEnabled());
    EXPECT_TRUE(item("PopDetachAll1")->isEnabled());
    EXPECT_TRUE(item("PopSaveAll1")->isEnabled());
    ASSERT_TRUE(item("PopSaveAs1")->isVisible());
    EXPECT_EQ(item("PopSaveAs1")->text(), "&Save LED digits as \"12015.jpg\"");
    EXPECT_EQ(item("PopSaveAs1")->statusTip(), "Saves LED digits as \"12015.jpg\".");
    closeMenu();
    // Named after the component, with the other extension, when the settings say so.
    f.Settings.UseVirtualNames[0] = true;
    f.Settings.UseOtherExt[0] = true;
    RightClickRow(f.LVBMPRes, row);
    EXPECT_EQ(item("PopSaveAs1")->text(), "&Save LED digits as \"LED digits.bmp\"");
    // Detach takes the file off the row and the status bar shows the row again.
    ASSERT_TRUE(ClickMenuItem(menu(), item("PopDetach1")));
    EXPECT_FALSE(row->isAssigned());
    EXPECT_EQ(f.StatusText(), "12015.jpg");
    EXPECT_FALSE(f.ExportMod1->isEnabled());
}

TEST_F(ResPopUpTest, SaveOneWritesTheRightClickedRowNotTheSelection)
{
    TModwrightForm &f = start();
    f.Settings.UseVirtualNames[0] = false;
    f.Settings.UseOtherExt[0] = false;
    const QString out = dir.createDir("out");
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    f.Set().AssignFile(*led, MakeBmp(dir, "led.bmp", 109, 16));
    TAssignmentData *other = f.LVBMPRes->RowAt(0) == led ? f.LVBMPRes->RowAt(1) : f.LVBMPRes->RowAt(0);
    ClickRow(f.LVBMPRes, other); // the selection is elsewhere
    browse(0, out);
    RightClickRow(f.LVBMPRes, led);
    ASSERT_TRUE(ClickMenuItem(menu(), item("PopSaveAs1")));
    EXPECT_TRUE(QFileInfo(out + "/12015.jpg").isFile());
    EXPECT_EQ(QDir(out).entryList(QDir::Files).size(), 1);
}

TEST_F(ResPopUpTest, BelowTheRowsOnlyTheListCommandsAreOffered)
{
    TModwrightForm &f = start();
    f.Settings.ImgEditorPath = editor("paint");
    f.LVBMPRes->resize(f.LVBMPRes->width(), 3000); // room below the last row
    QApplication::processEvents();
    RightClickRow(f.LVBMPRes, nullptr);
    ASSERT_TRUE(menu()->isVisible());
    EXPECT_EQ(PopupRow(f), nullptr);
    EXPECT_FALSE(item("PopAssign1")->isVisible());
    EXPECT_FALSE(item("PopDetach1")->isEnabled());
    EXPECT_FALSE(item("PopSaveAs1")->isVisible());
    EXPECT_TRUE(item("PopAutoAssign1")->isEnabled());
    EXPECT_TRUE(item("PopEditWith1")->isVisible());
    EXPECT_FALSE(item("PopEditWith1")->isEnabled()); // no row, no file to edit
    closeMenu();
}

TEST_F(ResPopUpTest, EditWithStartsTheTabsEditorWithTheFileAsItsOneArgument)
{
    TModwrightForm &f = start();
    f.Settings.DrumEditorPath = editor("wave editor");
    f.Settings.DrumEditorName.clear();
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    const QString wav = dir.file("my kick's \"best\".wav");
    {
        QFile file(wav);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(MakeWav(44100, 16, 1, 100));
    }
    f.Set().AssignFile(*bass, wav);
    f.SetActiveTab(1);
    RightClickRow(f.LVAudioRes, bass);
    ASSERT_TRUE(item("PopEditWith1")->isVisible());
    // An empty name: the program's file name stands in, and is kept.
    EXPECT_EQ(item("PopEditWith1")->text(), "Edit with wave editor");
    EXPECT_EQ(item("PopEditWith1")->statusTip(), "Edit the assigned file with wave editor");
    EXPECT_EQ(f.Settings.DrumEditorName, "wave editor");
    ASSERT_TRUE(ClickMenuItem(menu(), item("PopEditWith1")));
    EXPECT_EQ(editorRun(), QStringList{"arg:" + wav});

    // A named editor shows its name.
    f.Settings.DrumEditorName = "Sound Forge";
    RightClickRow(f.LVAudioRes, bass);
    EXPECT_EQ(item("PopEditWith1")->text(), "Edit with Sound Forge");
    closeMenu();
}

TEST_F(ResPopUpTest, EditWithOnAFileOrEditorThatIsGoneStartsNothingAndSaysNothing)
{
    TModwrightForm &f = start();
    f.Settings.ImgEditorPath = editor("paint");
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    const QString bmp = MakeBmp(dir, "led.bmp", 109, 16);
    f.Set().AssignFile(*led, bmp);
    QFile::remove(bmp);
    RightClickRow(f.LVBMPRes, led);
    ASSERT_TRUE(ClickMenuItem(menu(), item("PopEditWith1")));
    EXPECT_TRUE(editorRun(500).isEmpty());

    // The editor went away: the item is not even offered.
    f.Set().AssignFile(*led, MakeBmp(dir, "led2.bmp", 109, 16));
    QFile::remove(f.Settings.ImgEditorPath);
    RightClickRow(f.LVBMPRes, led);
    EXPECT_FALSE(item("PopEditWith1")->isVisible());
    closeMenu();
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ResPopUpTest, DoubleClickAndEnterStartTheEditorByDefault)
{
    TModwrightForm &f = start();
    ASSERT_TRUE(f.Settings.ModRunEditor[0]);
    f.Settings.ImgEditorPath = editor("paint");
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    const QString bmp = MakeBmp(dir, "led.bmp", 109, 16);
    f.Set().AssignFile(*led, bmp);

    DoubleClickRow(f.LVBMPRes, led);
    EXPECT_EQ(editorRun(), QStringList{"arg:" + bmp});

    // Enter on the focused row is a double click.
    QFile::remove(editorLog);
    f.LVBMPRes->setFocus();
    f.LVBMPRes->setCurrentIndex(f.LVBMPRes->Model().index(f.LVBMPRes->Model().rowOf(led), 0));
    Key(f.LVBMPRes, Qt::Key_Return);
    EXPECT_EQ(editorRun(), QStringList{"arg:" + bmp});

    // Switched off: nothing starts.
    QFile::remove(editorLog);
    f.Settings.ModRunEditor[0] = false;
    DoubleClickRow(f.LVBMPRes, led);
    Key(f.LVBMPRes, Qt::Key_Enter);
    EXPECT_TRUE(editorRun(500).isEmpty());
}

} // namespace
