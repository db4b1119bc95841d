#include "modbuild/ModImport.h"

#include "BuildFixture.h"
#include "modbuild/ModPackerFiles.h"

#include <QFile>

using namespace fixture;

namespace {

const QStringList FourWarnings = {"** Warning: No demo song found.", "** Warning: No comment text found.",
                                  "** Warning: No FTP file found.", "** Warning: No WWW file found."};

} // namespace

class ModImport : public TBuildTest {
protected:
    void assignMod()
    {
        assign(image(15), dir.createFile("src/led.bmp", BmpBytes(Gradient(109, 16))));
        assign(image(58), dir.createFile("src/volume.jpg", JpegBytes(Gradient(15, 54))));
        assign(drum(0), dir.createFile("src/start.aif", AiffBytes(1, 16, 44100, {1, 2, 3})));
        assign(drum(45), dir.createFile("src/snappy.wav", WavBytes(2, 16, 44100, {4, 6, 8, 10})));
        set.texts = {"Round Trip", "http://example.org", "ftp://example.org",
                     dir.createFile("src/demo.rbs", "x"), "first\r\n\r\nthird"};
    }

    // The components that have a file, by live-entry index.
    std::vector<int> assignedEntries() const
    {
        std::vector<int> result;
        for (int i = 0; i < LiveEntryCount; ++i)
            if (!LiveEntry(i).path.isEmpty())
                result.push_back(i);
        return result;
    }
};

TEST_F(ModImport, ImportAfterExportGivesBackTheSameAssignment)
{
    assignMod();
    const TModTexts texts = set.texts;
    const std::vector<int> assigned = assignedEntries();
    const QString out = dir.createDir("exported");
    ExportMod(ctx, dialogs, {out, "exported"});
    EXPECT_EQ(dialogs.textsShown, 1);

    set.DetachAll();
    set.name = "Something";
    ImportModFolder(ctx, out + "/", true);

    EXPECT_EQ(assignedEntries(), assigned);
    for (int i : assigned)
        EXPECT_EQ(LiveEntry(i).path, out + "/" + ModFileName(LiveEntry(i)));
    EXPECT_EQ(set.texts.ModName, texts.ModName);
    EXPECT_EQ(set.texts.WWW, texts.WWW);
    EXPECT_EQ(set.texts.FTP, texts.FTP);
    EXPECT_EQ(set.texts.Comments, texts.Comments);
    EXPECT_EQ(set.texts.DemoSong, out + "/demo.rbs"); // used where it is
    EXPECT_EQ(set.name, TAssignmentSet::NoName);
    EXPECT_TRUE(set.modified);
    // The converted files are measured: the stereo drum arrived as mono.
    EXPECT_EQ(drum(45).info, (std::array<int32_t, 4>{2, 44100, 16, 1}));
    // One error line for each of the 101 components without a file, shown once.
    EXPECT_EQ(messages.lines.size(), 101);
    EXPECT_TRUE(messages.lines[0].startsWith("*** Error: " + out + "/12057.jpg does not exist."));
    EXPECT_EQ(messages.showCount, 1);

    // Exporting the imported assignment into its own folder changes nothing.
    const QByteArray led = TTestDir::readAll(out + "/12015.jpg");
    ExportMod(ctx, dialogs, {out, "exported"});
    EXPECT_EQ(TTestDir::readAll(out + "/12015.jpg"), led);
    EXPECT_TRUE(QFile::exists(out + "/demo.rbs"));
}

TEST_F(ModImport, FolderWithOnlyTheModNameGivesAnErrorPerComponentAndFourWarnings)
{
    assignMod();
    const QString folder = dir.createDir("only");
    dir.createFile("only/ModName.txt", "Just a name\r\nsecond line\r\n");
    ImportModFolder(ctx, folder + "/", false);
    ASSERT_EQ(messages.lines.size(), 105 + 4);
    int n = 0;
    for (const auto *rows : {&images, &drums})
        for (const auto &row : *rows)
            EXPECT_EQ(messages.lines[n++],
                      "*** Error: " + folder + "/" + row->modFileName() + " does not exist.");
    EXPECT_EQ(messages.lines.mid(105), FourWarnings);
    EXPECT_TRUE(assignedEntries().empty());
    EXPECT_EQ(set.texts, (TModTexts{"Just a name", "", "", "", ""}));
    EXPECT_EQ(messages.showCount, 0); // not asked to show

    settings.ShowWarnings = false;
    ImportModFolder(ctx, folder, false);
    EXPECT_EQ(messages.lines.size(), 105);
}

TEST_F(ModImport, EmptyAndOddlyEndedTextFiles)
{
    const QString folder = dir.createDir("mod");
    dir.createFile("mod/FTP.txt", "");
    dir.createFile("mod/WWW.txt", "www.one\nwww.two");
    dir.createFile("mod/ModName.txt", "Name\r");
    dir.createFile("mod/comments.txt", "a\rb\nc\r\n");
    dir.createFile("mod/demo.rbs", "");
    ImportModFolder(ctx, folder, true);
    EXPECT_EQ(set.texts, (TModTexts{"Name", "www.one", "", folder + "/demo.rbs", "a\r\nb\r\nc"}));
    EXPECT_EQ(messages.lines.size(), 105); // no warnings
}

TEST_F(ModImport, BrokenComponentFilesAreReportedAndStayUnassigned)
{
    const QString folder = dir.createDir("mod");
    dir.createFile("mod/12015.jpg", ExifJpeg(Gradient(109, 16)));
    dir.createFile("mod/TR808BD.aif", WavBytes(1, 16, 44100, {1}));
    dir.createFile("mod/TR808CB.aif", AiffBytes(1, 16, 22050, {1}));
    dir.createFile("mod/TR808CH.aif", AiffBytes(2, 8, 44100, {1, 1}));
    ImportModFolder(ctx, folder, true);
    EXPECT_TRUE(messages.lines.contains("*** Error: JPEG has no valid header."));
    EXPECT_TRUE(
        messages.lines.contains("*** Error: " + folder + "/TR808CB.aif 's frequency is not 44100 Hz."));
    EXPECT_TRUE(messages.lines.contains("*Warning: " + folder + "/TR808CH.aif is not mono."));
    EXPECT_EQ(assignedEntries(), std::vector<int>{ImageCount + 3});
}

TEST_F(ModImport, StandardComponentsBesideModPackerLoadUnnamedAndUnmodified)
{
    settings.ModPackerPath = dir.createFile("ModPacker/ModPacker.exe", "MZ");
    EXPECT_FALSE(LoadStandardComponents(ctx));
    EXPECT_EQ(set.name, "");

    // As a Windows installer may spell it.
    dir.createFile("ModPacker/STANDARD components/TR909BD1.aif", AiffBytes(1, 16, 44100, {9}));
    dir.createFile("ModPacker/STANDARD components/ModName.txt", "Standard\r\n");
    EXPECT_TRUE(LoadStandardComponents(ctx));
    EXPECT_EQ(assignedEntries(), std::vector<int>{ImageCount + 25});
    EXPECT_EQ(set.name, TAssignmentSet::NoName);
    EXPECT_FALSE(set.modified);
    EXPECT_EQ(set.texts.ModName, "Standard");
    EXPECT_FALSE(messages.lines.isEmpty());
    EXPECT_EQ(messages.showCount, 0);

    settings.ModPackerPath.clear();
    EXPECT_FALSE(LoadStandardComponents(ctx));
}

TEST_F(ModImport, ExportAndImportCommandsRefuseVirtualFoldersAndCancelledDialogs)
{
    assignMod();
    ExportMod(ctx, dialogs, {QString(), "Computer"});
    ImportMod(ctx, dialogs, {QString(), "Desktop"});
    EXPECT_EQ(boxes.shown,
              (QStringList{"error: You cannot export to Computer", "error: You cannot import from Desktop"}));

    const QString out = dir.createDir("out");
    dialogs.textsOk = false;
    ExportMod(ctx, dialogs, {out, "out"});
    EXPECT_TRUE(entries(out).isEmpty());

    dialogs.saveOk = false;
    dir.createFile("out/ModName.txt", "Other\r\n");
    ImportMod(ctx, dialogs, {out, "out"});
    EXPECT_EQ(set.texts.ModName, "Round Trip");

    dialogs.saveOk = true;
    ImportMod(ctx, dialogs, {out, "out"});
    EXPECT_EQ(set.texts.ModName, "Other");
    EXPECT_EQ(messages.showCount, 1);
}

TEST_F(ModImport, ExportShowsConversionProblemsAtTheEnd)
{
    assignMod();
    dir.createFile("src/snappy.wav", "broken now");
    const QString out = dir.createDir("out");
    messages.ClearMessages();
    ExportMod(ctx, dialogs, {out, "out"});
    EXPECT_EQ(messages.lines.size(), 1);
    EXPECT_EQ(messages.showCount, 1);
    EXPECT_FALSE(QFile::exists(out + "/TR909SDN3.aif"));
}

// A folder written on Windows: names in any letter case, texts in windows-1252
// or in UTF-8 with or without its byte-order mark.
TEST_F(ModImport, WindowsMadeFolderImportsWholeWhateverTheCaseAndCodePage)
{
    const QString folder = dir.createDir("win");
    const QString jpeg = dir.createFile("win/12015.JPG", JpegBytes(Gradient(109, 16)));
    const QString aiff = dir.createFile("win/tr808bd.aif", AiffBytes(1, 16, 44100, {1, 2, 3}));
    const QString demo = dir.createFile("win/Demo.RBS", "song");
    dir.createFile("win/modname.txt", "Caf\xe9 \x80 \x96 Cr\xe8me\r\n"); // windows-1252
    dir.createFile("win/WWW.TXT",
                   "\xef\xbb\xbfhttp://example.org/\xc3\xa9t\xc3\xa9\r\n"); // UTF-8 with its mark
    dir.createFile("win/Comments.Txt", "Gr\xc3\xbc\xc3\x9f"
                                       "e\r\nzwei\r\n"); // UTF-8
    dir.createFile("win/ftp.txt", "ftp://example.org\r\n");
    ImportModFolder(ctx, folder, true);

    int assigned = 0;
    for (const auto *rows : {&images, &drums})
        for (const auto &row : *rows) {
            if (row->modFileName() == "12015.jpg")
                EXPECT_EQ(row->assignedPath(), jpeg);
            else if (row->modFileName() == "TR808BD.aif")
                EXPECT_EQ(row->assignedPath(), aiff);
            else
                continue;
            ++assigned;
        }
    EXPECT_EQ(assigned, 2);
    EXPECT_EQ(set.texts,
              (TModTexts{QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x93 Cr\xc3\xa8me"),
                         QString::fromUtf8("http://example.org/\xc3\xa9t\xc3\xa9"), "ftp://example.org", demo,
                         QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                           "e\r\nzwei")}));
    // One "does not exist" per other component, and no warning about the texts.
    EXPECT_EQ(messages.lines.size(), 103);
    for (const QString &line : messages.lines)
        EXPECT_TRUE(line.endsWith(" does not exist.")) << line.toStdString();
}

TEST_F(ModImport, TheNameAsSpelledWinsOverOtherCases)
{
    const QString folder = dir.createDir("both");
    dir.createFile("both/MODNAME.TXT", "upper");
    dir.createFile("both/ModName.txt", "exact");
    dir.createFile("both/modname.TXT", "mixed");
    ImportModFolder(ctx, folder, false);
    EXPECT_EQ(set.texts.ModName, "exact");
    QFile::remove(folder + "/ModName.txt");
    ImportModFolder(ctx, folder, false);
    EXPECT_EQ(set.texts.ModName, "upper"); // the first in name order
}
