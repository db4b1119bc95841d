// The demo folder: written once per test program, checked as the program
// checks assigned files, read back through the assignment file, exported as a
// ModPacker folder and imported again.

#include "demo/DemoMod.h"

#include "common/MessageBoxes.h"
#include "formats/AIFFFile.h"
#include "formats/BmpFile.h"
#include "formats/JpegCodec.h"
#include "formats/WaveFile.h"
#include "modbuild/BuildProgress.h"
#include "modbuild/ComponentCheck.h"
#include "modbuild/ModImport.h"
#include "modbuild/ModPackerFiles.h"
#include "model/AssignmentSet.h"
#include "platform/Exception.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>

namespace {

// A current assignment with both lists in catalogue order and the real check.
struct TDemoSet {
    TDemoSet()
        : images(TAssignmentRows::images()), drums(TAssignmentRows::drums()), set(drums, images, messages)
    {
        CreateCatalogue();
        for (int i = 0; i < LiveEntryCount; ++i)
            LiveEntry(i).path.clear();
        InstallComponentCheck(set, settings);
    }
    TBuildContext context() { return TBuildContext{set, settings, progress}; }

    TAssignmentRows images, drums;
    TMessageList messages;
    TAssignmentSet set;
    TBuildSettings settings;
    TNoProgress progress;
};

class DemoModTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir = new TTestDir;
        folder = dir->file("demo");
        WriteDemo(folder);
    }
    static void TearDownTestSuite()
    {
        delete dir;
        dir = nullptr;
    }
    static QString path(int liveIndex) { return folder + "/" + DemoFileName(liveIndex); }

    TScriptedMessageBoxes boxes;
    static TTestDir *dir;
    static QString folder;
};

TTestDir *DemoModTest::dir = nullptr;
QString DemoModTest::folder;

TEST_F(DemoModTest, EveryComponentPassesItsCheckWithoutAWarning)
{
    TDemoSet s;
    for (TAssignmentRows *rows : {&s.drums, &s.images})
        for (const auto &row : *rows) {
            TMessageList messages;
            ASSERT_NO_THROW(CheckAssignedFile(*row, path(row->liveIndex()), messages, s.settings))
                << row->displayName().toStdString();
            EXPECT_TRUE(messages.lines.isEmpty())
                << row->displayName().toStdString() << ": " << messages.lines.join(" | ").toStdString();
            if (row->isImage) {
                EXPECT_EQ(row->info[0], ImageRecord(row->index).width);
                EXPECT_EQ(row->info[1], ImageRecord(row->index).height);
                EXPECT_EQ(row->info[2], 24);
            } else {
                EXPECT_GT(row->info[0], 0);
                EXPECT_EQ(row->info[1], 44100);
                EXPECT_EQ(row->info[2], 16);
                EXPECT_EQ(row->info[3], 1);
            }
        }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), LiveEntryCount + 1);
    EXPECT_TRUE(DemoComplete(folder));
}

TEST_F(DemoModTest, AssignmentFileHoldsTheDemoAsTheProgramReadsIt)
{
    TDemoSet s;
    s.set.assignmentFile = folder + "/Assignments.ini";
    EXPECT_EQ(s.set.ListAssignments(), QStringList{"Demo"});
    s.set.LoadAssignment("Demo", false, false);
    EXPECT_TRUE(s.messages.lines.isEmpty()) << s.messages.lines.join(" | ").toStdString();
    EXPECT_EQ(s.set.name, "Demo");
    for (int i = 0; i < LiveEntryCount; ++i)
        EXPECT_EQ(LiveEntry(i).path, path(i));
    EXPECT_EQ(s.set.texts, DemoTexts());
    EXPECT_TRUE(DemoTexts().Comments.contains("\r\n")); // two lines, escaped in the file
    EXPECT_FALSE(DemoTexts().ModName.isEmpty());
    // 105 components and the five texts.
    EXPECT_EQ(s.set.AssignmentContents("Demo").size(), LiveEntryCount + 5);
}

TEST_F(DemoModTest, LoadingTheDemoMakesItTheCurrentUnmodifiedAssignment)
{
    TDemoSet s;
    int changes = 0;
    s.set.onSetChanged = [&] { ++changes; };
    s.set.modified = true;
    LoadDemoAssignment(s.set, folder);
    EXPECT_TRUE(s.messages.lines.isEmpty()) << s.messages.lines.join(" | ").toStdString();
    EXPECT_EQ(s.set.name, "Demo");
    EXPECT_FALSE(s.set.modified);
    EXPECT_EQ(s.set.texts, DemoTexts());
    EXPECT_GE(changes, 1);
    for (int i = 0; i < LiveEntryCount; ++i)
        EXPECT_EQ(LiveEntry(i).path, path(i));

    // A missing file is reported as loading reports it; the rest loads.
    const QString copy = dir->createDir("partial");
    for (int i = 0; i < LiveEntryCount; ++i)
        if (i != 15)
            QFile::copy(path(i), copy + "/" + DemoFileName(i));
    LoadDemoAssignment(s.set, copy);
    ASSERT_EQ(s.messages.lines.size(), 3);
    EXPECT_EQ(s.messages.lines[0], "Couldn't make the assignment for LED digits.");
    EXPECT_TRUE(ImageEntry(15).path.isEmpty());
    EXPECT_EQ(ImageEntry(14).path, copy + "/" + DemoFileName(14));
}

TEST_F(DemoModTest, ExportedAndImportedBackItIsTheSameAssignment)
{
    TDemoSet demo;
    LoadDemoAssignment(demo.set, folder);
    std::vector<std::array<int32_t, 4>> measured;
    for (TAssignmentRows *rows : {&demo.drums, &demo.images})
        for (const auto &row : *rows)
            measured.push_back(row->info);
    const QString exported = dir->createDir("exported");
    ASSERT_TRUE(CreateModPackerFiles(demo.context(), exported));
    EXPECT_TRUE(demo.messages.lines.isEmpty()) << demo.messages.lines.join(" | ").toStdString();

    TDemoSet back;
    ImportModFolder(back.context(), exported, false);
    // No song file comes with the demo; that is the one remark.
    EXPECT_EQ(back.messages.lines, QStringList{"** Warning: No demo song found."});
    EXPECT_EQ(back.set.texts, DemoTexts());
    size_t n = 0;
    for (TAssignmentRows *rows : {&back.drums, &back.images})
        for (const auto &row : *rows) {
            ASSERT_TRUE(row->isAssigned()) << row->displayName().toStdString();
            EXPECT_EQ(row->assignedPath(), exported + "/" + row->modFileName());
            EXPECT_EQ(row->info, measured[n++]) << row->displayName().toStdString();
        }
    // The drums' samples survive unchanged; the images as JPEG within its loss.
    for (int d = 0; d < DrumCount; ++d) {
        const auto wave = TWaveFile::CreateFromFile(path(ImageCount + d));
        const auto aiff = TAIFFFile::CreateFromFile(exported + "/" + DrumFileName(d));
        ASSERT_EQ(wave->GetFrameCount(), aiff->GetFrameCount());
        const uint8_t *a = wave->GetSampleData(), *b = aiff->GetSampleData();
        bool same = true;
        for (int64_t i = 0; i < wave->GetFrameCount() && same; ++i)
            same = a[2 * i] == b[2 * i + 1] && a[2 * i + 1] == b[2 * i]; // little- vs big-endian
        EXPECT_TRUE(same) << DrumName(d).toStdString();
    }
    // Images: exactly the JPEG that Make!'s quality makes of the demo's bitmap.
    for (int i : {0, 10, 30, 44, 58}) {
        const QImage original = ReadBmpFile(path(i));
        const QByteArray expected = EncodeJpeg(original, demo.settings.JpegCompressionRatio);
        EXPECT_EQ(TTestDir::readAll(exported + "/" + ImageRecord(i).fileName), expected)
            << ImageRecord(i).description;
    }
}

TEST_F(DemoModTest, WritingAgainGivesTheSameBytesAndKeepsTheUsersAssignment)
{
    const auto before = TTestDir::filesIn(folder);
    CreateCatalogue();
    ImageEntry(3).path = "/somewhere/master.bmp";
    DrumEntry(7).path = "/somewhere/conga.wav";
    WriteDemo(folder);
    EXPECT_EQ(TTestDir::filesIn(folder), before);
    EXPECT_EQ(ImageEntry(3).path, "/somewhere/master.bmp");
    EXPECT_EQ(DrumEntry(7).path, "/somewhere/conga.wav");
    ImageEntry(3).path.clear();
    DrumEntry(7).path.clear();
}

TEST_F(DemoModTest, AFolderThatCannotBeWrittenGetsNoAssignmentFile)
{
    // Below a file: no folder can be made there, whoever runs the test.
    const QString file = dir->createFile("plain-file", "x");
    try {
        WriteDemo(file + "/demo");
        FAIL() << "no error";
    } catch (const EModwright &e) {
        EXPECT_TRUE(
            QString::fromUtf8(e.what()).startsWith("Cannot write the demo mod into " + file + "/demo: "))
            << e.what();
    }
    EXPECT_FALSE(QFileInfo::exists(file + "/demo/Assignments.ini"));
}

TEST_F(DemoModTest, AReadOnlyFolderGetsNoFiles)
{
    // A read-only folder (the permission bits bind only a user without override rights).
    const QString readOnly = dir->createDir("read-only");
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(readOnly).isWritable()) {
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "running with rights that ignore permission bits";
    }
    EXPECT_THROW(WriteDemo(readOnly), EModwright);
    EXPECT_TRUE(QDir(readOnly).entryList(QDir::Files).isEmpty());
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(DemoModTest, DemoFolderIsTheDataFoldersOrMadeOnFirstUseForTheUser)
{
    const QString data = dir->createDir("data-complete");
    QDir().mkpath(data);
    ASSERT_TRUE(QFile::link(folder, data + "/demo"));
    const QString xdg = dir->createDir("xdg");
    {
        TEnvGuard dataDir("MODWRIGHT_DATA_DIR", data);
        TEnvGuard xdgData("XDG_DATA_HOME", xdg);
        EXPECT_EQ(UserDemoFolder(), xdg + "/modwright/demo");
        EXPECT_EQ(QFileInfo(DemoFolder()).canonicalFilePath(), QFileInfo(folder).canonicalFilePath());
        EXPECT_FALSE(QFileInfo::exists(xdg + "/modwright"));
    }
    // A data folder whose demo is incomplete: the user's own is made and used.
    const QString broken = dir->createDir("data-broken");
    dir->createFile("data-broken/demo/Assignments.ini", "[Assignments]\r\n");
    {
        TEnvGuard dataDir("MODWRIGHT_DATA_DIR", broken);
        TEnvGuard xdgData("XDG_DATA_HOME", xdg);
        EXPECT_EQ(DemoFolder(), xdg + "/modwright/demo");
        EXPECT_TRUE(DemoComplete(xdg + "/modwright/demo"));
        EXPECT_EQ(TTestDir::filesIn(xdg + "/modwright/demo").value("303 knob movie.bmp"),
                  TTestDir::filesIn(folder).value("303 knob movie.bmp"));

        // The copy is the user's to keep while this program made it...
        const QString knob = xdg + "/modwright/demo/303 knob movie.bmp";
        dir->createFile("xdg/modwright/demo/303 knob movie.bmp", "edited by the user");
        EXPECT_EQ(DemoFolder(), xdg + "/modwright/demo");
        EXPECT_EQ(TTestDir::readAll(knob), "edited by the user");
        // ...and made anew by another version of the program.
        dir->createFile("xdg/modwright/demo/.modwright-demo-version", "1.0.0.1");
        EXPECT_EQ(DemoFolder(), xdg + "/modwright/demo");
        EXPECT_EQ(TTestDir::readAll(knob), TTestDir::filesIn(folder).value("303 knob movie.bmp"));
    }
}

} // namespace
