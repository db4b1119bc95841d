#include "modbuild/SaveCommands.h"

#include "BuildFixture.h"
#include "modbuild/Overwrite.h"

#include <QFile>

using namespace fixture;

namespace {

const QString Overwrite = "confirm: %1 already exists.\r\nDo you want to overwrite it ?";
const QString SkipAll = "confirm: Do want to skip all following existing files ?";

// Records the progress display.
class TRecordingProgress : public TBuildProgress {
public:
    void BeginProgress(const QString &caption, int maximum) override
    {
        log << QString("begin %1 %2").arg(caption).arg(maximum);
    }
    void StepProgress() override { log << "step"; }
    void EndProgress() override { log << "end"; }
    void SetBusy(bool busy) override { log << (busy ? "busy" : "idle"); }
    QStringList log;
};

} // namespace

class SaveCommands : public TBuildTest {
protected:
    // Three assigned drums (808 bass drum, cowbell, closed hihat).
    void assignThreeDrums()
    {
        for (int d = 1; d <= 3; ++d)
            assign(drum(d), dir.createFile(QString("src/d%1.wav").arg(d), WavBytes(1, 16, 44100, {d, -d})));
    }
    void saveAll(const QString &folder) { SaveAssignedFiles(ctx, drums, false, nullptr, {folder, "shown"}); }
    QByteArray old = "old";
};

TEST_F(SaveCommands, ThreeDrumsTwoExistNoThenSkipAllSkipsTheSecondSilently)
{
    assignThreeDrums();
    const QString out = dir.createDir("out");
    dir.createFile("out/TR808BD.aif", old);
    dir.createFile("out/TR808CB.aif", old);
    boxes.answers = {maNo, maYes};
    saveAll(out);
    EXPECT_EQ(boxes.shown, (QStringList{Overwrite.arg("TR808BD.aif"), SkipAll}));
    EXPECT_EQ(TTestDir::readAll(out + "/TR808BD.aif"), old);
    EXPECT_EQ(TTestDir::readAll(out + "/TR808CB.aif"), old);
    EXPECT_EQ(ReadSamples(TTestDir::readAll(out + "/TR808CH.aif")).points, (std::vector<int>{3, -3}));
    EXPECT_EQ(messages.showCount, 0);
}

TEST_F(SaveCommands, NoWithoutSkippingAllAsksAgainForTheNext)
{
    assignThreeDrums();
    const QString out = dir.createDir("out");
    dir.createFile("out/TR808BD.aif", old);
    dir.createFile("out/TR808CB.aif", old);
    boxes.answers = {maNo, maNo, maYes};
    saveAll(out);
    EXPECT_EQ(boxes.shown,
              (QStringList{Overwrite.arg("TR808BD.aif"), SkipAll, Overwrite.arg("TR808CB.aif")}));
    EXPECT_EQ(TTestDir::readAll(out + "/TR808BD.aif"), old);
    EXPECT_NE(TTestDir::readAll(out + "/TR808CB.aif"), old);
}

TEST_F(SaveCommands, AllOverwritesEveryFollowingFileWithoutAsking)
{
    assignThreeDrums();
    const QString out = dir.createDir("out");
    for (const char *name : {"TR808BD.aif", "TR808CB.aif", "TR808CH.aif"})
        dir.createFile(QString("out/") + name, old);
    boxes.answers = {maAll};
    saveAll(out);
    EXPECT_EQ(boxes.shown, QStringList{Overwrite.arg("TR808BD.aif")});
    for (const char *name : {"TR808BD.aif", "TR808CB.aif", "TR808CH.aif"})
        EXPECT_NE(TTestDir::readAll(out + "/" + name), old) << name;
}

TEST_F(SaveCommands, CancelEndsTheBatchAfterThatItem)
{
    assignThreeDrums();
    const QString out = dir.createDir("out");
    dir.createFile("out/TR808CB.aif", old);
    TRecordingProgress recording;
    TBuildContext recorded{set, settings, recording};
    boxes.answers = {maCancel};
    SaveAssignedFiles(recorded, drums, false, nullptr, {out, "out"});
    EXPECT_EQ(entries(out), (QStringList{"TR808BD.aif", "TR808CB.aif"}));
    EXPECT_EQ(TTestDir::readAll(out + "/TR808CB.aif"), old);
    EXPECT_EQ(recording.log, (QStringList{"begin Saving assigned files... 3", "step", "step", "end"}));
}

TEST_F(SaveCommands, OnlySelectedRowsWithTheListsNamingSettings)
{
    assignThreeDrums();
    settings.UseVirtualNames[1] = true;
    settings.UseOtherExt[1] = true;
    const QString out = dir.createDir("out");
    SaveAssignedFiles(ctx, drums, true, [](const TAssignmentData &row) { return row.index == 2; },
                      {out, "out"});
    EXPECT_EQ(entries(out), QStringList{"808 Cowbell.wav"});
    const TSamples s = ReadSamples(TTestDir::readAll(out + "/808 Cowbell.wav"));
    EXPECT_EQ(s.container, "WAVE");
    EXPECT_EQ(s.points, (std::vector<int>{2, -2}));
    EXPECT_TRUE(boxes.shown.isEmpty()); // a single file: nothing asked, nothing told
}

TEST_F(SaveCommands, NothingToSaveOrAVirtualFolderIsSaidInABox)
{
    const QString out = dir.createDir("out");
    saveAll(out);
    SaveAssignedFiles(ctx, drums, true, [](const TAssignmentData &) { return true; }, {out, "out"});
    assignThreeDrums();
    SaveAssignedFiles(ctx, drums, true, [](const TAssignmentData &) { return false; }, {out, "out"});
    saveAll(QString());
    EXPECT_EQ(
        boxes.shown,
        (QStringList{"info: You haven't made any assignments yet.\r\nDrag files from right file list to left "
                     "mod list to make assignments.",
                     "info: Your selected items aren't assigned yet.\r\nDrag files from right file list to "
                     "left mod list to make assignments.",
                     "info: Your selected items aren't assigned yet.\r\nDrag files from right file list to "
                     "left mod list to make assignments.",
                     "error: You cannot save into shown"}));
    EXPECT_TRUE(entries(out).isEmpty());
}

TEST_F(SaveCommands, FailuresAreCollectedAndShownTheBatchGoesOn)
{
    assignThreeDrums();
    QFile::remove(drum(2).assignedPath());
    const QString out = dir.createDir("out");
    saveAll(out);
    EXPECT_EQ(entries(out), (QStringList{"TR808BD.aif", "TR808CH.aif"}));
    EXPECT_EQ(messages.lines.size(), 1);
    EXPECT_EQ(messages.showCount, 1);
}

TEST_F(SaveCommands, SaveAsAsksWithoutAllAndShowsMessages)
{
    assign(image(15), dir.createFile("led.jpg", JpegBytes(Gradient(109, 16))));
    const QString out = dir.createDir("out");
    dir.createFile("out/12015.jpg", old);
    boxes.answers = {maNo};
    SaveAssignedFileAs(ctx, image(15), {out, "out"});
    EXPECT_EQ(boxes.shown, QStringList{Overwrite.arg("12015.jpg")}); // no "skip all" for one file
    EXPECT_EQ(TTestDir::readAll(out + "/12015.jpg"), old);

    boxes.answers = {maYes};
    SaveAssignedFileAs(ctx, image(15), {out, "out"});
    EXPECT_EQ(TTestDir::readAll(out + "/12015.jpg"), TTestDir::readAll(image(15).assignedPath()));

    SaveAssignedFileAs(ctx, image(15), {QString(), "Computer"});
    EXPECT_EQ(boxes.shown.last(), "error: You cannot save into Computer");
}

TEST(ConfirmOverwrite, StateTransitions)
{
    TTestDir dir;
    TScriptedMessageBoxes boxes;
    const QString missing = dir.file("missing");
    const QString present = dir.createFile("present");

    TOverwriteState state;
    EXPECT_TRUE(ConfirmOverwrite(missing, state));
    EXPECT_TRUE(boxes.shown.isEmpty());

    boxes.answers = {maYes};
    EXPECT_TRUE(ConfirmOverwrite(present, state));
    EXPECT_TRUE(state.Ask);

    boxes.answers = {maNo};
    EXPECT_FALSE(ConfirmOverwrite(present, state)); // single file: no second question
    EXPECT_FALSE(state.SkipAllAsked);
    EXPECT_EQ(boxes.shown.size(), 2);

    TOverwriteState batch;
    batch.Multiple = true;
    boxes.answers = {maNo, maNo, maNo};
    EXPECT_FALSE(ConfirmOverwrite(present, batch));
    EXPECT_TRUE(batch.SkipAllAsked);
    EXPECT_TRUE(batch.Ask);
    EXPECT_FALSE(ConfirmOverwrite(present, batch)); // "skip all" is offered once only
    EXPECT_EQ(boxes.shown.size(), 5);

    boxes.answers = {maCancel};
    EXPECT_FALSE(ConfirmOverwrite(present, batch));
    EXPECT_TRUE(batch.Cancelled);

    TOverwriteState all;
    all.Multiple = true;
    boxes.answers = {maAll};
    EXPECT_TRUE(ConfirmOverwrite(present, all));
    EXPECT_FALSE(all.Ask);
    EXPECT_TRUE(all.OverwriteAll);
    const int asked = int(boxes.shown.size());
    EXPECT_TRUE(ConfirmOverwrite(present, all));
    EXPECT_EQ(boxes.shown.size(), asked);
}

TEST(ConfirmOverwrite, AllIsOfferedOnlyWhenSeveralFilesAreSaved)
{
    class TButtons : public TMessageBoxHandler {
    public:
        TButtons() : previous_(SetMessageBoxHandler(this)) {}
        ~TButtons() override { SetMessageBoxHandler(previous_); }
        void information(const QString &) override {}
        void error(const QString &) override {}
        TMsgAnswer confirm(const QString &, TConfirmButtons buttons) override
        {
            offered.push_back(buttons);
            return maNo;
        }
        std::vector<TConfirmButtons> offered;

    private:
        TMessageBoxHandler *previous_;
    } buttons;
    TTestDir dir;
    const QString present = dir.createFile("present");
    TOverwriteState single;
    ConfirmOverwrite(present, single);
    TOverwriteState batch;
    batch.Multiple = true;
    ConfirmOverwrite(present, batch);
    EXPECT_EQ(buttons.offered, (std::vector<TConfirmButtons>{cbYesNoCancel, cbYesNoCancelAll, cbYesNo}));
}
