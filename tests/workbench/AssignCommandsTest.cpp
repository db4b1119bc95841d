#include "workbench/AssignCommands.h"

#include "FormFixture.h"
#include "ListEvents.h"
#include "audio/WavePlayer.h"
#include "controls/SystemListView.h"
#include "platform/WaveOutBackend.h"
#include "platform/WaveOutRecorder.h"
#include "workbench/ErrForm.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class AssignCommandsTest : public FormFixture {
protected:
    // Runs the command; when it shows the messages window, records its lines and closes it.
    void run(const std::function<void()> &command)
    {
        lines.clear();
        shown = false;
        QTimer closer;
        closer.setSingleShot(true);
        QObject::connect(&closer, &QTimer::timeout, [this] {
            shown = form->ErrForm().isVisible();
            lines = form->ErrForm().Lines();
            form->ErrForm().BClose->click();
        });
        closer.start(0);
        command();
        closer.stop();
    }

    void selectOnly(TComponentList *list, TAssignmentData *row)
    {
        list->selectionModel()->select(list->Model().index(list->Model().rowOf(row), 0),
                                       QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // Points the tab's browser at `folder`.
    void browse(int tab, const QString &folder)
    {
        form->SetActiveTab(tab);
        form->Browser(tab)->SetDirectory(folder);
        ASSERT_TRUE(WaitFor([&] { return QDir(form->Browser(tab)->RealDirectory()) == QDir(folder); }));
    }

    QStringList lines;
    bool shown = false;
};

TEST_F(AssignCommandsTest, FindFileForTriesTheFourNamesInOrder)
{
    TModwrightForm &f = start();
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    const QString folder = dir.createDir("images");
    EXPECT_EQ(FindFileFor(*led, folder), "");
    EXPECT_EQ(FindFileFor(*led, ""), "");
    MakeBmp(dir, "images/LED digits.bmp", 109, 16);
    EXPECT_EQ(QFileInfo(FindFileFor(*led, folder)).fileName(), "LED digits.bmp");
    MakeBmp(dir, "images/12015.bmp", 109, 16);
    EXPECT_EQ(QFileInfo(FindFileFor(*led, folder)).fileName(), "12015.bmp");
    WriteFile(folder + "/led DIGITS.JPG", "x");
    EXPECT_EQ(QFileInfo(FindFileFor(*led, folder)).fileName(), "led DIGITS.JPG");
    // The mod file name comes first, even when another name is spelt exactly.
    WriteFile(folder + "/12015.jpg", "x");
    EXPECT_EQ(FindFileFor(*led, folder), QDir(folder).absoluteFilePath("12015.jpg"));
}

TEST_F(AssignCommandsTest, MatchFileForComparesFileNamesAndTakesTheHitOut)
{
    TModwrightForm &f = start();
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    QStringList files{"/a/808 BASSDRUM.wav", "/b/tr808bd.AIF", "/c/other.wav"};
    EXPECT_EQ(MatchFileFor(*bass, files, false), "/b/tr808bd.AIF"); // the mod file name comes first
    EXPECT_EQ(files.size(), 3);
    EXPECT_EQ(MatchFileFor(*bass, files, true), "/b/tr808bd.AIF");
    EXPECT_EQ(MatchFileFor(*bass, files, true), "/a/808 BASSDRUM.wav");
    EXPECT_EQ(MatchFileFor(*bass, files, true), "");
    EXPECT_EQ(files, QStringList{"/c/other.wav"});
}

TEST_F(AssignCommandsTest, AssignPutsTheMatchingFileOnTheSelectedRowOnly)
{
    TModwrightForm &f = start();
    const QString folder = dir.createDir("images");
    const QString path = MakeBmp(dir, "images/LED digits.bmp", 109, 16);
    browse(0, folder);
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    f.Assign1->trigger(); // nothing selected: nothing happens
    EXPECT_FALSE(led->isAssigned());

    selectOnly(f.LVBMPRes, led);
    emit f.Action1->aboutToShow();
    EXPECT_TRUE(f.Assign1->isVisible());
    EXPECT_EQ(f.Assign1->text(), "&Assign LED digits to \"LED digits.bmp\"");
    EXPECT_EQ(f.Assign1->statusTip(),
              "Assigns LED digits to \"" + QDir(folder).absoluteFilePath("LED digits.bmp") + "\".");
    run([&] { f.Assign1->trigger(); });
    EXPECT_FALSE(shown);
    EXPECT_EQ(QFileInfo(led->assignedPath()), QFileInfo(path));
    EXPECT_TRUE(f.Set().modified);
    EXPECT_EQ(led->info[0], 109);

    // A row without a file in the folder offers no assign item.
    selectOnly(f.LVBMPRes, f.LVBMPRes->RowAt(0) == led ? f.LVBMPRes->RowAt(1) : f.LVBMPRes->RowAt(0));
    emit f.Action1->aboutToShow();
    EXPECT_FALSE(f.Assign1->isVisible());
}

TEST_F(AssignCommandsTest, ARefusedFileKeepsTheOldAssignmentAndIsReported)
{
    TModwrightForm &f = start();
    TAssignmentData *led = FindRow(f.LVBMPRes, "LED digits");
    const QString good = MakeBmp(dir, "good.bmp", 109, 16);
    f.Set().AssignFile(*led, good);
    const QString folder = dir.createDir("images");
    WriteFile(folder + "/12015.jpg", "not a picture");
    browse(0, folder);
    selectOnly(f.LVBMPRes, led);
    run([&] { f.Assign1->trigger(); });
    EXPECT_TRUE(shown);
    ASSERT_EQ(lines.size(), 3) << lines.join('|').toStdString();
    EXPECT_EQ(lines[0], "**Error: Could not assign LED digits");
    EXPECT_TRUE(lines[1].startsWith("    ") && lines[1].size() > 4);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(led->assignedPath(), good);
    EXPECT_EQ(led->info[0], 109);
    EXPECT_FALSE(f.ErrForm().HasMessages()); // closing the window clears it
}

TEST_F(AssignCommandsTest, AutoAssignIgnoresCaseAndReportsEveryRowWithoutAFile)
{
    TModwrightForm &f = start();
    f.Settings.ShowInfos = true;
    const QString folder = dir.createDir("drums");
    WriteFile(folder + "/808 bassdrum.WAV", MakeWav(44100, 16, 1, 100));
    browse(1, folder);
    run([&] { f.AutoAssign1->trigger(); });
    EXPECT_TRUE(shown);
    TComponentList *drums = f.LVAudioRes;
    const int rows = drums->Model().rowCount();
    ASSERT_EQ(lines.size(), 1 + 2 * (rows - 1));
    EXPECT_TRUE(lines.contains("Info: Assigned 808 Bassdrum to 808 bassdrum.WAV."));
    int errors = 0;
    for (int i = 0; i < rows; ++i) {
        const QString caption = drums->RowAt(i)->displayName();
        if (caption == "808 Bassdrum")
            continue;
        const int at = lines.indexOf("**Error: Could not assign " + caption);
        ASSERT_GE(at, 0) << caption.toStdString();
        EXPECT_EQ(lines.value(at + 1), "");
        ++errors;
    }
    EXPECT_EQ(errors, rows - 1);
    EXPECT_EQ(QFileInfo(FindRow(drums, "808 Bassdrum")->assignedPath()).fileName(), "808 bassdrum.WAV");

    // Without infos a full folder assigns silently.
    f.Settings.ShowInfos = false;
    for (int i = 0; i < rows; ++i)
        WriteFile(folder + "/" + drums->RowAt(i)->displayName() + ".wav", MakeWav(44100, 16, 1, 50));
    run([&] { f.AutoAssign1->trigger(); });
    EXPECT_FALSE(shown);
    for (int i = 0; i < rows; ++i)
        EXPECT_EQ(QFileInfo(drums->RowAt(i)->assignedPath()).fileName(),
                  drums->RowAt(i)->displayName() + ".wav");
}

TEST_F(AssignCommandsTest, AssignFromListReportsLeftOversByFullPath)
{
    TModwrightForm &f = start();
    f.Settings.ShowInfos = true;
    f.SetActiveTab(1);
    const QString folder = dir.createDir("drop");
    WriteFile(folder + "/TR808BD.wav", MakeWav(44100, 16, 1, 10));
    WriteFile(folder + "/stray.wav", MakeWav(44100, 16, 1, 10));
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    TAssignmentData *other = f.LVAudioRes->RowAt(0) == bass ? f.LVAudioRes->RowAt(1) : f.LVAudioRes->RowAt(0);
    const QString broken = folder + "/" + other->modFileName();
    WriteFile(broken, "broken");
    const QStringList files{folder + "/stray.wav", folder + "/TR808BD.wav", broken};
    run([&] { AssignFromList(f, files); });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(lines.contains("Info: Assigned 808 Bassdrum to TR808BD.wav."))
        << lines.join('|').toStdString();
    EXPECT_EQ(lines.indexOf("**Error: Could not assign " + folder + "/stray.wav"), lines.size() - 2)
        << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QFileInfo(FindRow(f.LVAudioRes, "808 Bassdrum")->assignedPath()).fileName(), "TR808BD.wav");
    // The broken file was matched but refused: reported by caption with its reason.
    const int refused = lines.indexOf("**Error: Could not assign " + other->displayName());
    ASSERT_GE(refused, 0);
    EXPECT_TRUE(lines.value(refused + 1).startsWith("    "));
    EXPECT_EQ(lines.filter("**Error: Could not assign ").size(), 2);
    EXPECT_FALSE(other->isAssigned());
}

TEST_F(AssignCommandsTest, DoubleClickBrowsesToTheAssignedFilesFolder)
{
    TModwrightForm &f = start();
    const QString folder = dir.createDir("elsewhere");
    TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
    WriteFile(folder + "/x.wav", MakeWav(44100, 16, 1, 10));
    f.Set().AssignFile(*bass, folder + "/x.wav");
    f.SetActiveTab(1);
    list_events::DoubleClickRow(f.LVAudioRes, bass);
    EXPECT_TRUE(WaitFor([&] { return QDir(f.Browser(1)->RealDirectory()) == QDir(folder); }));
}

// A recording output device for the click-to-play tests.
class ClickPlayTest : public AssignCommandsTest {
protected:
    void SetUp() override
    {
        AssignCommandsTest::SetUp();
        FreeWavePlayer();
        previous_ = SetWaveOutBackend(recorder);
    }
    void TearDown() override
    {
        AssignCommandsTest::TearDown();
        FreeWavePlayer();
        SetWaveOutBackend(previous_);
    }
    bool played() const
    {
        return WaitFor([this] { return recorder->opens() > 0; }, 3000);
    }
    // A 100 ms drum written to Path and assigned to the bass drum row, on the drum tab.
    static TAssignmentData *assignBassDrum(TModwrightForm &f, const QString &path)
    {
        TAssignmentData *bass = FindRow(f.LVAudioRes, "808 Bassdrum");
        WriteFile(path, MakeWav(44100, 16, 1, 4410));
        f.Set().AssignFile(*bass, path);
        f.SetActiveTab(1);
        return bass;
    }

    std::shared_ptr<TWaveOutRecorder> recorder =
        std::make_shared<TWaveOutRecorder>(std::vector<std::string>{"Recorder"});

private:
    std::shared_ptr<TWaveOutBackend> previous_;
};

TEST_F(ClickPlayTest, ClickOnADrumRowPlaysItsFile)
{
    TModwrightForm &f = start();
    TAssignmentData *bass = assignBassDrum(f, dir.file("bd.wav"));

    f.Settings.ModClickShow[1] = false;
    list_events::ClickRow(f.LVAudioRes, bass);
    QApplication::processEvents();
    EXPECT_EQ(recorder->opens(), 0);

    f.Settings.ModClickShow[1] = true;
    list_events::ClickRow(f.LVAudioRes, bass);
    EXPECT_TRUE(played());
}

TEST_F(ClickPlayTest, SpaceOnTheFocusedDrumRowIsAClick)
{
    TModwrightForm &f = start();
    TAssignmentData *bass = assignBassDrum(f, dir.file("bd.wav"));
    f.Settings.ModClickShow[1] = true;
    f.LVAudioRes->setFocus();
    f.LVAudioRes->setCurrentIndex(f.LVAudioRes->Model().index(f.LVAudioRes->Model().rowOf(bass), 0));
    list_events::Key(f.LVAudioRes, Qt::Key_Space);
    EXPECT_TRUE(played());
}

TEST_F(ClickPlayTest, DoubleClickWithShowOnPlaysTheDrumThenBrowsesAndNeverRunsAMissingEditor)
{
    TModwrightForm &f = start();
    const QString folder = dir.createDir("kit");
    TAssignmentData *bass = assignBassDrum(f, folder + "/bd.wav");
    f.Settings.ModClickShow[1] = false; // the click half of the double click plays nothing
    f.Settings.ModDblShow[1] = false;
    f.Settings.DrumEditorPath = dir.file("no such editor");
    list_events::DoubleClickRow(f.LVAudioRes, bass);
    QApplication::processEvents();
    EXPECT_EQ(recorder->opens(), 0);

    f.Settings.ModDblShow[1] = true;
    list_events::DoubleClickRow(f.LVAudioRes, bass);
    EXPECT_TRUE(played());
    EXPECT_TRUE(WaitFor([&] { return QDir(f.Browser(1)->RealDirectory()) == QDir(folder); }));
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ClickPlayTest, WithoutADeviceAClickDoesNothing)
{
    recorder->setDevices({});
    TModwrightForm &f = start();
    TAssignmentData *bass = assignBassDrum(f, dir.file("bd.wav"));
    list_events::ClickRow(f.LVAudioRes, bass);
    QApplication::processEvents();
    EXPECT_EQ(recorder->opens(), 0);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(ClickPlayTest, ClickOnASampleFileInTheBrowserPlaysIt)
{
    TModwrightForm &f = start();
    const QString folder = dir.createDir("samples");
    WriteFile(folder + "/kick.wav", MakeWav(44100, 16, 1, 4410));
    browse(1, folder);
    TSystemListView *browser = f.Browser(1);
    ASSERT_TRUE(WaitFor([&] { return browser->FindRow("kick.wav") >= 0 || browser->FindRow("kick") >= 0; }));
    int row = browser->FindRow("kick.wav");
    if (row < 0)
        row = browser->FindRow("kick");
    emit browser->ReportView()->clicked(browser->ReportView()->model()->index(row, 0));
    EXPECT_TRUE(played());
}

} // namespace
