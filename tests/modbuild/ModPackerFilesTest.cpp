#include "modbuild/ModPackerFiles.h"

#include "BuildFixture.h"
#include "platform/Exception.h"

#include <QFile>

using namespace fixture;

namespace {

const QString NothingAssigned =
    "info: You haven't made any assignments yet.\r\nDrag files from right file list to "
    "left mod list to make assignments.";

} // namespace

class ModPackerFiles : public TBuildTest {
protected:
    // Two images (a BMP for the LED digits, a JPEG for the transport panel) and
    // an 8-bit stereo WAV for the 808 bass drum, with all the texts.
    void assignSmallMod()
    {
        assign(image(15), dir.createFile("src/led.bmp", BmpBytes(Gradient(109, 16))));
        assign(image(0), dir.createFile("src/transport.jpg", JpegBytes(Gradient(592, 50))));
        assign(drum(1), dir.createFile("src/bd.wav", WavBytes(2, 8, 44100, {10, 20, -10, -30})));
        set.texts.ModName = "My Mod";
        set.texts.WWW = "";
        set.texts.FTP = "ftp://example.org/mods";
        set.texts.Comments = "line one\r\nline two\r\nline three";
        set.texts.DemoSong = dir.createFile("src/song.rbs", QByteArray("RBS\0song bytes", 14));
        messages.ClearMessages();
    }
};

TEST_F(ModPackerFiles, LayoutOfASmallModByteForByte)
{
    assignSmallMod();
    const QString out = dir.createDir("mod");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(entries(out), (QStringList{"12015.jpg", "12057.jpg", "FTP.txt", "ModName.txt", "TR808BD.aif",
                                         "WWW.txt", "comments.txt", "demo.rbs"}));
    EXPECT_EQ(TTestDir::readAll(out + "/comments.txt"), "line one\r\nline two\r\nline three\r\n");
    EXPECT_EQ(TTestDir::readAll(out + "/FTP.txt"), "ftp://example.org/mods\r\n");
    EXPECT_EQ(TTestDir::readAll(out + "/ModName.txt"), "My Mod\r\n");
    EXPECT_EQ(TTestDir::readAll(out + "/WWW.txt"), "\r\n");
    EXPECT_EQ(TTestDir::readAll(out + "/demo.rbs"), TTestDir::readAll(set.texts.DemoSong));
    EXPECT_EQ(TTestDir::readAll(out + "/12057.jpg"), TTestDir::readAll(image(0).assignedPath()));

    // The BMP arrived as a JPEG of its pixels, the drum as 16-bit mono AIFF.
    const QByteArray led = TTestDir::readAll(out + "/12015.jpg");
    EXPECT_TRUE(led.startsWith(QByteArray("\xFF\xD8\xFF\xE0", 4)));
    const QImage decoded =
        DecodeJpeg(std::span(reinterpret_cast<const uint8_t *>(led.data()), size_t(led.size())));
    ASSERT_EQ(decoded.size(), QSize(109, 16));
    EXPECT_LE(MaxChannelDifference(decoded, Gradient(109, 16)), 12);
    const TSamples bd = ReadSamples(TTestDir::readAll(out + "/TR808BD.aif"));
    EXPECT_EQ(bd.container, "AIFF");
    EXPECT_EQ(bd.points, (std::vector<int>{15 * 256, -20 * 256}));
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ModPackerFiles, EmptyTextsGiveAnEmptyCommentsFileAndEmptyLines)
{
    assign(drum(0), dir.createFile("start.wav", WavBytes(1, 16, 44100, {1})));
    const QString out = dir.createDir("mod");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out + "/"));
    EXPECT_EQ(TTestDir::readAll(out + "/comments.txt"), "");
    EXPECT_TRUE(QFile::exists(out + "/comments.txt"));
    for (const char *name : {"FTP.txt", "ModName.txt", "WWW.txt"})
        EXPECT_EQ(TTestDir::readAll(out + "/" + name), "\r\n") << name;
    EXPECT_FALSE(QFile::exists(out + "/demo.rbs"));
}

TEST_F(ModPackerFiles, MissingDemoSongIsLeftOutSilentlyAndAStaleOneRemoved)
{
    assignSmallMod();
    QFile::remove(set.texts.DemoSong);
    const QString out = dir.createDir("mod");
    dir.createFile("mod/demo.rbs", "stale");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_FALSE(QFile::exists(out + "/demo.rbs"));
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ModPackerFiles, NothingAssignedIsSaidAndNothingWritten)
{
    set.texts.ModName = "Empty";
    const QString out = dir.createDir("mod");
    EXPECT_FALSE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(boxes.shown, QStringList{NothingAssigned});
    EXPECT_TRUE(entries(out).isEmpty());
}

TEST_F(ModPackerFiles, OtherFilesStayComponentFilesAreReplacedOrRemoved)
{
    assignSmallMod();
    const QString out = dir.createDir("mod");
    dir.createFile("mod/readme.txt", "mine");
    dir.createFile("mod/12015.jpg", "old led");
    dir.createFile("mod/12058.jpg", "old pattern panel, now unassigned");
    dir.createFile("mod/TR808CB.aif", "old cowbell, now unassigned");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(TTestDir::readAll(out + "/readme.txt"), "mine");
    EXPECT_NE(TTestDir::readAll(out + "/12015.jpg"), "old led");
    EXPECT_FALSE(QFile::exists(out + "/12058.jpg"));
    EXPECT_FALSE(QFile::exists(out + "/TR808CB.aif"));
}

TEST_F(ModPackerFiles, AFailedComponentIsReportedTheOthersAreWritten)
{
    assignSmallMod();
    dir.createFile("src/bd.wav", "no longer a wave file");
    const QString out = dir.createDir("mod");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(messages.lines.size(), 1);
    EXPECT_FALSE(QFile::exists(out + "/TR808BD.aif"));
    EXPECT_TRUE(QFile::exists(out + "/12015.jpg"));
    EXPECT_TRUE(QFile::exists(out + "/WWW.txt"));
}

TEST_F(ModPackerFiles, WritingAgainIntoTheFolderOfTheAssignedFilesKeepsThem)
{
    // Assigned files that already are the folder's component files (as after
    // an import) must not be deleted before they are read.
    const QString out = dir.createDir("mod");
    const QByteArray jpeg = JpegBytes(Gradient(109, 16));
    assign(image(15), dir.createFile("mod/12015.jpg", jpeg));
    assign(drum(1), dir.createFile("mod/TR808BD.aif", AiffBytes(1, 16, 44100, {7, -7})));
    const QByteArray song("song");
    set.texts.DemoSong = dir.createFile("mod/demo.rbs", song);
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(TTestDir::readAll(out + "/12015.jpg"), jpeg);
    EXPECT_EQ(ReadSamples(TTestDir::readAll(out + "/TR808BD.aif")).points, (std::vector<int>{7, -7}));
    EXPECT_EQ(TTestDir::readAll(out + "/demo.rbs"), song);
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ModPackerFiles, AFolderThatCannotBeOpenedRaisesBeforeAnythingIsWritten)
{
    assignSmallMod();
    dir.createFile("blocker", "a file, not a folder");
    EXPECT_THROW(CreateModPackerFiles(ctx, dir.file("blocker/mod")), EModwright);
    EXPECT_TRUE(messages.lines.isEmpty());
}

TEST_F(ModPackerFiles, LinksOfComponentNamesAreReplacedNotFollowed)
{
    // Export into a folder where someone left links under the layout's names:
    // the old entries go as links and the files they point to stay as they were.
    assignSmallMod();
    const QString victim = dir.createFile("victim.txt", "precious");
    const QString out = dir.createDir("export");
    for (const char *name : {"12015.jpg", "ModName.txt", "demo.rbs"})
        ASSERT_TRUE(QFile::link(victim, out + "/" + name));
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(TTestDir::readAll(victim), "precious");
    for (const char *name : {"12015.jpg", "ModName.txt"})
        EXPECT_FALSE(QFileInfo(out + "/" + name).isSymLink()) << name;
    EXPECT_EQ(TTestDir::readAll(out + "/ModName.txt"), set.texts.ModName.toUtf8() + "\r\n");
}

TEST(TextLines, LineEndsOfEveryKind)
{
    EXPECT_EQ(TextLines(""), QStringList{});
    EXPECT_EQ(TextLines("one"), QStringList{"one"});
    EXPECT_EQ(TextLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(TextLines("a\r\n"), QStringList{"a"});
    EXPECT_EQ(TextLines("a\r\n\r\nb"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(TextLines("\n"), QStringList{""});
    EXPECT_EQ(TextFileBytes({"a", "", "b"}), "a\r\n\r\nb\r\n");
    EXPECT_EQ(TextFileBytes({}), "");
}

TEST(ModNameProblem, NamesThatAreNoFolderBelowTheWorkingFolder)
{
    EXPECT_FALSE(ModNameProblem("").isEmpty());
    EXPECT_FALSE(ModNameProblem(".").isEmpty());
    EXPECT_FALSE(ModNameProblem("..").isEmpty());
    EXPECT_FALSE(ModNameProblem("a/b").isEmpty());
    EXPECT_FALSE(ModNameProblem("../up").isEmpty());
    EXPECT_FALSE(ModNameProblem("/").isEmpty());
    EXPECT_FALSE(ModNameProblem(QString("a") + QChar(0) + "b").isEmpty());
    EXPECT_TRUE(ModNameProblem("My Mod").isEmpty());
    EXPECT_FALSE(ModNameProblem("...").isEmpty()); // Windows reads it as ""
    EXPECT_TRUE(ModNameProblem(".hidden").isEmpty());
    EXPECT_TRUE(ModNameProblem("back\\slash $(x);").isEmpty());
}

TEST(Windows1252, EveryByteRoundTripsAndTheHighHalfMeansWhatWindowsMeans)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = DecodeWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    QString unwritable;
    EXPECT_EQ(EncodeWindows1252(text, &unwritable), all);
    EXPECT_EQ(unwritable, "");
    EXPECT_EQ(FirstUnwritableCharacter(text), "");
    EXPECT_EQ(text[0x80], QChar(0x20AC)); // euro sign
    EXPECT_EQ(text[0x9F], QChar(0x0178)); // Y with diaeresis
    EXPECT_EQ(text[0x81], QChar(0x0081)); // unassigned: the control of that number
    EXPECT_EQ(text[0xE9], QChar(0x00E9));

    // "Été à Noël – 5 €" as the packer reads it: one byte a character.
    EXPECT_EQ(TextFileBytes(
                  {QString::fromUtf8("\xc3\x89t\xc3\xa9 \xc3\xa0 No\xc3\xabl \xe2\x80\x93 5 \xe2\x82\xac")}),
              QByteArray("\xc9t\xe9 \xe0 No\xebl \x96 5 \x80\r\n"));
}

TEST(Windows1252, CharactersItCannotHoldAreNamedAndWrittenAsQuestionMarks)
{
    const QString text =
        QString::fromUtf8("ok \xc5\x91 \xf0\x9f\x8e\xb9 \xc2\x80"); // ő, a keyboard emoji, U+0080
    EXPECT_EQ(FirstUnwritableCharacter(text), QString::fromUtf8("\xc5\x91"));
    QString unwritable;
    EXPECT_EQ(EncodeWindows1252(text, &unwritable), "ok ? ? ?");
    EXPECT_EQ(unwritable, QString::fromUtf8("\xc5\x91"));
    EXPECT_EQ(CharacterName(unwritable), QString::fromUtf8("\"\xc5\x91\" (U+0151)"));
    EXPECT_EQ(FirstUnwritableCharacter(text.mid(5)), QString::fromUtf8("\xf0\x9f\x8e\xb9")); // the whole pair
    EXPECT_EQ(CharacterName(QString::fromUtf8("\xf0\x9f\x8e\xb9")),
              QString::fromUtf8("\"\xf0\x9f\x8e\xb9\" (U+1F3B9)"));
    EXPECT_EQ(CharacterName(QString(QChar(0x80))), "(U+0080)");
}

TEST(Windows1252, TextFilesFromWindowsOrFromEditorsDecode)
{
    const QString cafe = QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac");
    EXPECT_EQ(DecodeTextFile("Caf\xe9 \x80"), cafe);             // windows-1252
    EXPECT_EQ(DecodeTextFile("Caf\xc3\xa9 \xe2\x82\xac"), cafe); // UTF-8
    EXPECT_EQ(DecodeTextFile("\xef\xbb\xbf"
                             "Caf\xc3\xa9 \xe2\x82\xac"),
              cafe); // UTF-8 with its mark
    EXPECT_EQ(DecodeTextFile(QByteArray("\xff\xfe"
                                        "C\0a\0f\0\xe9\0 \0\xac\x20",
                                        14)),
              cafe); // UTF-16LE
    EXPECT_EQ(DecodeTextFile("plain"), "plain");
    EXPECT_EQ(DecodeTextFile(""), "");
    // Mostly UTF-8 with one stray 1252 byte is not UTF-8.
    EXPECT_EQ(DecodeTextFile("\xc3\xa9\xe9"), QString::fromUtf8("\xc3\x83\xc2\xa9\xc3\xa9"));
}

TEST_F(ModPackerFiles, TextsAreWrittenInWindows1252AndLossesAreReported)
{
    assignSmallMod();
    set.texts.ModName = QString::fromUtf8("Cr\xc3\xa8me \xe2\x82\xac");
    set.texts.Comments = QString::fromUtf8("\xc5\x81\xc3\xb3"
                                           "d\xc5\xba\r\nfine");
    const QString out = dir.createDir("out");
    ASSERT_TRUE(CreateModPackerFiles(ctx, out));
    EXPECT_EQ(TTestDir::readAll(out + "/ModName.txt"), QByteArray("Cr\xe8me \x80\r\n"));
    EXPECT_EQ(TTestDir::readAll(out + "/comments.txt"), QByteArray("?\xf3"
                                                                   "d?\r\nfine\r\n"));
    ASSERT_EQ(messages.lines.size(), 1);
    EXPECT_EQ(messages.lines[0],
              QString::fromUtf8("comments.txt: the character \"\xc5\x81\" (U+0141) has no place "
                                "in the Windows character set (windows-1252); it was written "
                                "as \"?\"."));
}

TEST(ModNameProblem, NamesThePackerCannotReachOnItsCommandLine)
{
    for (const char *bad : {"Two  blanks", "Quote\"d", "Tab\there", "Trailing ", "Dot.", "..."}) {
        const QString problem = ModNameProblem(bad);
        EXPECT_NE(problem.indexOf("ModPacker could not find the mod's folder"), -1) << bad;
    }
    EXPECT_NE(ModNameProblem("a\"b").indexOf("double quote"), -1);
    EXPECT_NE(ModNameProblem("a  b").indexOf("two blanks in a row"), -1);
    // Every name that reached the packer before still does.
    for (const char *good : {"My Mod", " Leading", "A B C", "Caf\xc3\xa9 \xe2\x82\xac",
                             "(x) [y] {z} 'q' & %1 !", "back\\slash", "x.y", ".hidden", "a;b&c", "it's"})
        EXPECT_EQ(ModNameProblem(QString::fromUtf8(good)), "") << good;
}
