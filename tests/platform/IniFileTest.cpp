#include "platform/IniFile.h"

#include "ChildProcess.h"
#include "platform/Exception.h"
#include "platform/MemIniFile.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Strings = std::vector<std::string>;

std::string Path(const TTestDir &dir, const char *name)
{
    return dir.file(name).toStdString();
}

std::string FileText(const std::string &path)
{
    return TTestDir::readAll(QString::fromStdString(path)).toStdString();
}

TMemIniFile Parsed(std::string_view text)
{
    TMemIniFile ini;
    ini.SetText(text);
    return ini;
}

} // namespace

TEST(MemIniFile, RoundTripWritesCrLfProfileText)
{
    TTestDir dir;
    const std::string path = Path(dir, "Assignments.ini");
    {
        TMemIniFile ini(path);
        ini.WriteString("Assignments", "Assignment1", "Demo");
        ini.WriteString("Ass.Demo", "808 Bassdrum", "/home/u/kick.wav");
        ini.WriteString("Ass.Demo", "ModName", "");
        ini.UpdateFile();
    }
    EXPECT_EQ(FileText(path), "[Assignments]\r\nAssignment1=Demo\r\n\r\n"
                              "[Ass.Demo]\r\n808 Bassdrum=/home/u/kick.wav\r\nModName=\r\n");
    TMemIniFile again(path);
    EXPECT_EQ(again.ReadString("Assignments", "Assignment1", "x"), "Demo");
    EXPECT_EQ(again.ReadString("Ass.Demo", "ModName", "x"), "");
    EXPECT_TRUE(again.ValueExists("Ass.Demo", "ModName"));
    EXPECT_FALSE(again.Modified());
}

TEST(MemIniFile, NamesCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    TMemIniFile ini;
    ini.WriteString("Ass.Demo", "LED digits", "a.bmp");
    EXPECT_EQ(ini.ReadString("ASS.DEMO", "led DIGITS", ""), "a.bmp");
    ini.WriteString("ass.demo", "Led Digits", "b.bmp"); // the same section and key
    EXPECT_EQ(ini.ReadSections(), Strings{"Ass.Demo"});
    EXPECT_EQ(ini.ReadSectionValues("Ass.Demo"), Strings{"LED digits=b.bmp"});
    // Only ASCII letters fold: these are two sections.
    ini.WriteString("Ass.Müll", "k", "1");
    ini.WriteString("Ass.MÜLL", "k", "2");
    EXPECT_EQ(ini.ReadSections().size(), 3u);
}

TEST(MemIniFile, KeysKeepTheirOrderAndOverwritingKeepsThePlace)
{
    TMemIniFile ini;
    for (const char *key : {"Crash", "808 Bassdrum", "Start sound", "ModName"})
        ini.WriteString("S", key, key);
    ini.WriteString("S", "808 BASSDRUM", "new");
    EXPECT_EQ(ini.ReadSection("S"), (Strings{"Crash", "808 Bassdrum", "Start sound", "ModName"}));
    EXPECT_EQ(ini.ReadSectionValues("S")[1], "808 Bassdrum=new");
}

TEST(MemIniFile, EraseSectionDeleteKeyAndExistence)
{
    TMemIniFile ini = Parsed("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n[Empty]\r\n");
    EXPECT_TRUE(ini.SectionExists("empty"));
    EXPECT_TRUE(ini.ReadSection("Empty").empty());
    ini.DeleteKey("a", "X");
    EXPECT_FALSE(ini.ValueExists("A", "x"));
    EXPECT_TRUE(ini.SectionExists("A")); // a section left empty stays
    ini.EraseSection("b");
    EXPECT_FALSE(ini.SectionExists("B"));
    EXPECT_EQ(ini.ReadString("B", "z", "gone"), "gone");
    ini.EraseSection("Missing");
    ini.DeleteKey("Missing", "x");
    EXPECT_EQ(ini.ReadSections(), (Strings{"A", "Empty"}));
}

TEST(MemIniFile, ValuesRoundTripExactly)
{
    TTestDir dir;
    const std::string path = Path(dir, "a.ini");
    TMemIniFile ini(path);
    ini.WriteString("S", "Blanks", "  two spaces each side  ");
    ini.WriteString("S", "Equals", "a=b=c");
    ini.WriteString("S", "Comments", "line\\nline");
    ini.WriteString("S", "LoneCR", "a\rb\r");
    ini.WriteString("Ass.My]Mod", "k", "v"); // a name holding "]"
    ini.UpdateFile();
    TMemIniFile back(path);
    EXPECT_EQ(back.ReadString("S", "Blanks", ""), "  two spaces each side  ");
    EXPECT_EQ(back.ReadString("S", "Equals", ""), "a=b=c");
    EXPECT_EQ(back.ReadString("S", "Comments", ""), "line\\nline");
    EXPECT_EQ(back.ReadString("S", "LoneCR", ""), "a\rb\r");
    EXPECT_EQ(back.ReadString("Ass.My]Mod", "K", ""), "v");
}

TEST(MemIniFile, NamesAndValuesTheFormatCannotHoldAreRefused)
{
    TMemIniFile ini;
    EXPECT_THROW(ini.WriteString("S", "k", "two\nlines"), EModwright);
    EXPECT_THROW(ini.WriteString("S", "k", std::string("zero\0byte", 9)), EModwright);
    EXPECT_THROW(ini.WriteString("S", "a=b", "v"), EModwright);
    EXPECT_THROW(ini.WriteString("S", "[k]", "v"), EModwright);
    EXPECT_THROW(ini.WriteString("S", ";k", "v"), EModwright);
    EXPECT_THROW(ini.WriteString("S", "  ", "v"), EModwright);
    EXPECT_THROW(ini.WriteString("two\nlines", "k", "v"), EModwright);
    EXPECT_TRUE(ini.ReadSections().empty()); // nothing half-done
}

TEST(MemIniFileLoad, ToleratesBomLineEndsBlanksAndStrayLines)
{
    TMemIniFile ini = Parsed("\xEF\xBB\xBF; comment before any section\n"
                             "  [Assignments]  \r\n"
                             "   Assignment1 =Demo\n"
                             "a line without equals\r\n"
                             "=no key\n"
                             "\n\n"
                             "[Ass.Demo]\r"
                             "\n; a comment=with equals\r\n"
                             "Crash=/x/crash.wav");
    EXPECT_EQ(ini.ReadSections(), (Strings{"Assignments", "Ass.Demo"}));
    EXPECT_EQ(ini.ReadString("Assignments", "Assignment1", ""), "Demo");
    EXPECT_EQ(ini.ReadSection("Assignments"), Strings{"Assignment1"});
    EXPECT_EQ(ini.ReadSectionValues("Ass.Demo"), Strings{"Crash=/x/crash.wav"});
    // Stray lines are kept where they were.
    EXPECT_EQ(ini.Text(), "; comment before any section\r\n"
                          "[Assignments]\r\n"
                          "Assignment1=Demo\r\n"
                          "a line without equals\r\n"
                          "=no key\r\n"
                          "\r\n"
                          "[Ass.Demo]\r\n"
                          "; a comment=with equals\r\n"
                          "Crash=/x/crash.wav\r\n");
}

TEST(MemIniFileLoad, ByteOrderMarksWhereFilesWereJoinedAreIgnored)
{
    TMemIniFile ini = Parsed("\xEF\xBB\xBF[A]\r\nx=1\r\n\xEF\xBB\xBF[B]\r\ny=2\r\n");
    EXPECT_EQ(ini.ReadSections(), (Strings{"A", "B"}));
    EXPECT_EQ(ini.ReadString("B", "y", ""), "2");
    EXPECT_EQ(ini.Text().find("\xEF"), std::string::npos);
}

TEST(MemIniFileLoad, DuplicatesReadTheFirstKeyAndMergeSections)
{
    TMemIniFile ini = Parsed("[S]\nA=1\nA=2\n[T]\nx=0\n[s]\nB=3\n");
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
    EXPECT_EQ(ini.ReadSectionValues("S"), (Strings{"A=1", "A=2", "B=3"}));
    EXPECT_EQ(ini.ReadSections(), (Strings{"S", "T"}));
    ini.WriteString("S", "a", "9"); // changes the first
    EXPECT_EQ(ini.ReadSectionValues("S"), (Strings{"A=9", "A=2", "B=3"}));
    ini.DeleteKey("S", "A"); // and deleting removes the name entirely
    EXPECT_FALSE(ini.ValueExists("S", "A"));
}

TEST(MemIniFileLoad, BinaryAndHalfWrittenFilesReadAsFarAsTheyAreSound)
{
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919) & 0xFF);
    TMemIniFile binary = Parsed(junk);
    for (const std::string &section : binary.ReadSections())
        binary.ReadSectionValues(section); // no crash is the point

    TMemIniFile damaged = Parsed(std::string("[Assignments]\r\nAssignment1=Demo\r\n") +
                                 std::string("Assignment2=\0\x01\x02garbage\r\n", 24) +
                                 "[Ass.Demo]\r\nCrash=/c.wav\r\n[Ass.Ot");
    EXPECT_EQ(damaged.ReadString("Assignments", "Assignment1", ""), "Demo");
    EXPECT_FALSE(damaged.ValueExists("Assignments", "Assignment2"));
    EXPECT_EQ(damaged.ReadString("Ass.Demo", "Crash", ""), "/c.wav");
    EXPECT_TRUE(damaged.SectionExists("Ass.Ot"));
}

TEST(MemIniFileFile, MissingFileReadsEmptyAndUpdateCreatesIt)
{
    TTestDir dir;
    const std::string path = Path(dir, "new.ini");
    TMemIniFile ini(path);
    EXPECT_TRUE(ini.ReadSections().empty());
    EXPECT_EQ(ini.ReadString("S", "k", "default"), "default");
    ini.UpdateFile();
    EXPECT_TRUE(QFile::exists(QString::fromStdString(path)));
}

TEST(MemIniFileFile, UnreadableOrUnwritablePlacesRaiseEModwright)
{
    TTestDir dir;
    const std::string folder = dir.createDir("folder.ini").toStdString();
    EXPECT_THROW(TMemIniFile{folder}, EModwright); // a folder is no file

    TMemIniFile ini;
    ini.WriteString("S", "k", "v");
    ini.SetFileName(Path(dir, "no such folder/a.ini"));
    EXPECT_THROW(ini.UpdateFile(), EModwright);
    ini.SetFileName(folder);
    EXPECT_THROW(ini.UpdateFile(), EModwright);
    try {
        ini.UpdateFile();
    } catch (const EModwright &e) {
        EXPECT_NE(e.message().find(folder), std::string::npos) << e.message();
    }
}

TEST(MemIniFileFile, AFailedWriteLeavesTheOldFileIntact)
{
    TTestDir dir;
    const std::string path = Path(dir, "Assignments.ini");
    TMemIniFile old(path);
    old.WriteString("Assignments", "Assignment1", "Demo");
    old.UpdateFile();
    const std::string before = FileText(path);

    // The child may write only 64 bytes per file: like a disk that fills up mid-save.
    const int outcome = RunInChild(
        [&] {
            TMemIniFile ini(path);
            for (int i = 0; i < 110; ++i)
                ini.WriteString("Ass.Big", "Key" + std::to_string(i), std::string(40, 'x'));
            ini.UpdateFile();
        },
        64);
    EXPECT_EQ(outcome, 0) << "the failed write must raise EModwright";
    EXPECT_EQ(FileText(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Assignments.ini"})
        << "no temporary file left";
}

TEST(MemIniFileFile, ReplacingKeepsSymbolicLinksAndPermissions)
{
    TTestDir dir;
    const std::string target = dir.createFile("real/a.ini", "[S]\r\nk=1\r\n").toStdString();
    ::chmod(target.c_str(), 0640);
    const std::string link = Path(dir, "link.ini");
    ASSERT_TRUE(QFile::link(QString::fromStdString(target), QString::fromStdString(link)));
    TMemIniFile ini(link);
    ini.WriteString("S", "k", "2");
    ini.UpdateFile();
    EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
    EXPECT_EQ(TMemIniFile(target).ReadString("S", "k", ""), "2");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(IniFile, EveryWriteGoesToDiskAndReadsSeeOtherWriters)
{
    TTestDir dir;
    const std::string path = Path(dir, "a.ini");
    TIniFile first(path);
    TIniFile second(path);
    EXPECT_EQ(first.ReadString("S", "k", "none"), "none");
    first.WriteString("S", "k", "1");
    EXPECT_EQ(FileText(path), "[S]\r\nk=1\r\n");
    EXPECT_EQ(second.ReadString("s", "K", ""), "1");
    second.WriteString("S", "other", "2");
    EXPECT_EQ(first.ReadSection("S"), (Strings{"k", "other"}));
    first.EraseSection("S");
    EXPECT_FALSE(second.SectionExists("S"));
    EXPECT_THROW(TIniFile(dir.path().toStdString()).ReadSections(), EModwright);
}
