#include "common/PathUtils.h"

#include "platform/Exception.h"
#include "platform/Registry.h"
#include "support/EnvGuard.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

// Readable failure output for QString comparisons.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

TEST(PathUtils, TrailingDelimiters)
{
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/a/b/"), "/a/b/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b/"), "/a/b");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/a/b//"), "/a/b/"); // one only
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(LongPath("/no/such/file"), "/no/such/file");
}

TEST(PathUtils, VersionNumberAndBuild)
{
    EXPECT_EQ(VersionNumber("2.0.2.320"), "2.02");
    EXPECT_EQ(VersionBuild("2.0.2.320"), "320");
    EXPECT_EQ(VersionNumber("2.320"), "2");
    EXPECT_EQ(VersionNumber("12.5.320"), "125");
    EXPECT_EQ(VersionNumber(".5.7"), ".5"); // a dot in first place stays
    EXPECT_EQ(VersionNumber("2"), "");
    EXPECT_EQ(VersionBuild("2"), "");
    // The program's own is the build's version, whatever number that is today.
    EXPECT_EQ(VersionText(), QStringLiteral(MODWRIGHT_PROJECT_VERSION));
    const QStringList parts = VersionText().split('.');
    ASSERT_EQ(parts.size(), 4) << VersionText().toStdString();
    EXPECT_EQ(VersionNumber(), parts[0] + "." + parts[1] + parts[2]);
    EXPECT_EQ(VersionBuild(), parts[3]);
}

TEST(PathUtils, ProgramAndFolders)
{
    const QFileInfo program(ProgramPath());
    EXPECT_TRUE(program.isAbsolute() && program.isFile() && program.isExecutable())
        << ProgramPath().toStdString();
    EXPECT_EQ(WorkingFolder(), QDir::currentPath() + "/");
    {
        TEnvGuard tmp("TMPDIR", "/var/tmp");
        EXPECT_EQ(TempFolder(), "/var/tmp/");
    }
    {
        TEnvGuard tmp("TMPDIR", "");
        EXPECT_EQ(TempFolder(), "/tmp/");
    }
    {
        // The working folder's default base: never the shared temporary folder.
        TEnvGuard runtime("XDG_RUNTIME_DIR", "/run/user/1000/");
        TEnvGuard cache("XDG_CACHE_HOME", "/home/u/.cache");
        TEnvGuard home("HOME", "/home/u");
        EXPECT_EQ(PrivateTempBase(), "/run/user/1000/modwright/");
        ::unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(PrivateTempBase(), "/home/u/.cache/modwright/");
        ::setenv("XDG_CACHE_HOME", "relative/cache", 1); // not absolute: ignored, as XDG asks
        EXPECT_EQ(PrivateTempBase(), "/home/u/.cache/modwright/");
        TEnvGuard tmp("TMPDIR", "/scratch");
        EXPECT_TRUE(IsSharedTempFolder("/scratch/"));
        EXPECT_TRUE(IsSharedTempFolder("/tmp"));
        EXPECT_TRUE(IsSharedTempFolder("/var/tmp/"));
        EXPECT_FALSE(IsSharedTempFolder("/tmp/mine"));
        EXPECT_FALSE(IsSharedTempFolder(""));
    }
    EXPECT_EQ(StripExtension("12500.bmp"), "12500");
    EXPECT_EQ(StripExtension("a.b.c"), "a");
    EXPECT_EQ(StripExtension(".hidden"), ".hidden");
    EXPECT_EQ(StripExtension("noext"), "noext");
    EXPECT_EQ(Maximum(3, -4), 3);
    EXPECT_EQ(Maximum(-3, -2), -2);
}

TEST(PathUtils, WorkingFolderFallsBackToTheProgramFolderWhenTheCurrentOneIsGone)
{
    TTestDir dir;
    const QString gone = dir.createDir("gone");
    const QString before = QDir::currentPath();
    ASSERT_EQ(::chdir(gone.toUtf8().constData()), 0);
    QDir().rmdir(gone);
    const QString folder = WorkingFolder();
    ASSERT_EQ(::chdir(before.toUtf8().constData()), 0);
    EXPECT_EQ(folder, QFileInfo(ProgramPath()).path() + "/");
}

TEST(PathUtilsTempNames, NumberedNamesTakeTheFirstFreeNumber)
{
    TTestDir dir;
    EXPECT_EQ(UniqueTempFileName(dir.path(), ".wav", false), dir.file("temp1.wav"));
    EXPECT_FALSE(QFile::exists(dir.file("temp1.wav")));
    EXPECT_EQ(UniqueTempFileName(dir.path() + "/", ".wav", true), dir.file("temp1.wav"));
    EXPECT_TRUE(QFile::exists(dir.file("temp1.wav")));
    EXPECT_EQ(UniqueTempFileName(dir.path(), ".wav", true), dir.file("temp2.wav"));
    ASSERT_TRUE(QFile::link(dir.file("nowhere"), dir.file("temp3.wav"))); // a dangling link is taken
    EXPECT_EQ(UniqueTempFileName(dir.path(), ".wav", false), dir.file("temp4.wav"));
    EXPECT_EQ(QFileInfo(dir.file("temp1.wav")).size(), 0);
}

TEST(PathUtilsTempNames, TmpFilesAreMadeByTheSystemWithThePrefix)
{
    TTestDir dir;
    const QString first = UniqueTempFileName(dir.path(), ".tmp", true);
    const QString second = UniqueTempFileName(dir.path(), ".tmp", true);
    EXPECT_NE(first, second);
    for (const QString &name : {first, second}) {
        EXPECT_TRUE(QFileInfo(name).fileName().startsWith("KVO")) << name.toStdString();
        EXPECT_TRUE(name.endsWith(".tmp"));
        EXPECT_TRUE(QFile::exists(name));
    }
    EXPECT_EQ(UniqueTempFileName(dir.path(), ".tmp", false),
              dir.file("temp1.tmp")); // without create: numbered
    EXPECT_EQ(UniqueTempFileName(dir.file("missing"), ".tmp", true), "");
}

TEST(PathUtilsFolders, ExistenceAndWritability)
{
    TTestDir dir;
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(dir.createFile("file")));
    EXPECT_FALSE(FolderExists(dir.file("missing")));
    EXPECT_FALSE(FolderExists(""));
    EXPECT_TRUE(FolderIsWritable(dir.path()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"file"}) << "the probe file is removed";
    EXPECT_FALSE(FolderIsWritable(dir.file("missing")));
    EXPECT_FALSE(FolderIsWritable(dir.file("file")));
}

TEST(PathUtilsFolders, CreateFoldersMakesEveryMissingLevel)
{
    TTestDir dir;
    EXPECT_TRUE(CreateFolders(dir.file("a/b/c/")));
    EXPECT_TRUE(QFileInfo(dir.file("a/b/c")).isDir());
    EXPECT_TRUE(CreateFolders(dir.file("a/b/c"))); // existing: left alone
    EXPECT_TRUE(CreateFolders("/"));
    EXPECT_FALSE(CreateFolders(""));
    dir.createFile("plain");
    EXPECT_FALSE(CreateFolders(dir.file("plain/sub")));
}

TEST(PathUtilsFolders, EmptyFolderRemovesLinksButNeverWhatTheyPointTo)
{
    TTestDir dir;
    const QString outside = dir.createDir("outside");
    dir.createFile("outside/precious.wav", "keep");
    dir.createFile("outside/deeper/also.wav", "keep");
    dir.createFiles({"work/a.bmp", "work/sub/b.wav", "work/sub/subsub/c.aif"});
    ASSERT_TRUE(QFile::link(outside, dir.file("work/linkToOutside")));
    ASSERT_TRUE(QFile::link(outside, dir.file("work/sub/nestedLink")));
    ASSERT_TRUE(QFile::link(dir.file("outside/precious.wav"), dir.file("work/fileLink.wav")));

    EmptyFolder(dir.file("work"), false);
    EXPECT_TRUE(QFileInfo(dir.file("work")).isDir());
    EXPECT_TRUE(
        QDir(dir.file("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty());
    EXPECT_EQ(TTestDir::readAll(dir.file("outside/precious.wav")), "keep");
    EXPECT_EQ(TTestDir::readAll(dir.file("outside/deeper/also.wav")), "keep");

    dir.createFile("work/again.txt");
    EmptyFolder(dir.file("work/"), true);
    EXPECT_FALSE(QFileInfo::exists(dir.file("work")));
    EmptyFolder(dir.file("work"), true); // missing: nothing happens
}

TEST(PathUtilsFolders, EmptyFolderOnALinkRemovesOnlyTheLink)
{
    TTestDir dir;
    dir.createFile("target/keep.txt", "x");
    ASSERT_TRUE(QFile::link(dir.file("target"), dir.file("link")));
    EmptyFolder(dir.file("link"), false);
    EXPECT_TRUE(QFileInfo(dir.file("link")).isSymLink());
    EmptyFolder(dir.file("link"), true);
    EXPECT_FALSE(QFileInfo(dir.file("link")).isSymLink());
    EXPECT_TRUE(QFile::exists(dir.file("target/keep.txt")));
    EXPECT_THROW(EmptyFolder("", false), EAssertionFailed);
}

TEST(PathUtilsLists, ZeroSeparatedLists)
{
    QStringList list{"before"};
    SplitZeroSeparatedList("a\0b\0\0", -1, list);
    EXPECT_EQ(list, (QStringList{"before", "a", "b"}));
    list.clear();
    SplitZeroSeparatedList("\0a\0\0", -1, list);
    EXPECT_TRUE(list.isEmpty());
    SplitZeroSeparatedList("/x/one.wav\0/x/tw", 14, list); // cut by the count
    EXPECT_EQ(list, (QStringList{"/x/one.wav", "/x/"}));
    list.clear();
    SplitZeroSeparatedList("abc", 0, list);
    EXPECT_TRUE(list.isEmpty());
    const char16_t wide[] = u"/home/ü.bmp\0/b.wav\0";
    SplitZeroSeparatedList(wide, sizeof wide, list);
    EXPECT_EQ(list, (QStringList{"/home/ü.bmp", "/b.wav"}));
    EXPECT_THROW(SplitZeroSeparatedList(static_cast<const char *>(nullptr), 4, list), EAssertionFailed);
}

TEST(PathUtilsLineBreaks, EscapeAndUnescape)
{
    EXPECT_EQ(EscapeLineBreaks("a\r\nb"), "a\\nb");
    EXPECT_EQ(UnescapeLineBreaks("a\\nb"), "a\r\nb");
    EXPECT_EQ(EscapeLineBreaks("a\n\rb"), "a\\nb");
    EXPECT_EQ(EscapeLineBreaks("a\rb"), "a\rb");
    EXPECT_EQ(EscapeLineBreaks("one\ntwo\n"), "one\\ntwo\\n"); // LF alone, as Qt's editors write
    EXPECT_EQ(EscapeLineBreaks("a\r\n\rb"), "a\\n\rb");
    EXPECT_EQ(UnescapeLineBreaks(EscapeLineBreaks("x\r\ny\r\n\r\nz")), "x\r\ny\r\n\r\nz");
    EXPECT_FALSE(EscapeLineBreaks("p\nq\r\nr").contains('\n'));
    EXPECT_EQ(UnescapeLineBreaks("ends with \\"), "ends with \\");
}

TEST(PathUtilsShorten, StepsAndLimits)
{
    const QString path = "/Programs/Mods/Images/file.bmp";
    EXPECT_EQ(ShortenPath(path, 30), path);
    EXPECT_EQ(ShortenPath(path, 25), "/.../Mods/Images/file.bmp");
    EXPECT_EQ(ShortenPath(path, 20), "/.../Images/file.bmp");
    EXPECT_EQ(ShortenPath(path, 13), "/.../file.bmp");
    EXPECT_EQ(ShortenPath(path, 12), ".../file.bmp");
    EXPECT_EQ(ShortenPath(path, 5), "file.bmp");
    EXPECT_EQ(ShortenPath("file.bmp", 3), "file.bmp");
    EXPECT_EQ(ShortenPath("/averyveryverylongname.wav", 5), "averyveryverylongname.wav");
    EXPECT_EQ(ShortenPath("rel/a/b/file", 11), ".../b/file");
    // A folder whose name starts with a dot is cut like any other.
    EXPECT_EQ(ShortenPath("/.config/modwright/x.ini", 20), "/.../modwright/x.ini");
    EXPECT_EQ(ShortenPath("/.a/longname", 4), "longname");
    EXPECT_LE(ShortenPath("/home/user/Music/Drums/909/Snare/Long name of a sample.wav", 80).size(), 80);
}

TEST(PathUtilsShell, AssociatedProgramFromTheClassesRoot)
{
    TTestDir dir;
    TEnvGuard config("MODWRIGHT_CONFIG_DIR", dir.path());
    const QString editor = dir.createFile("Programs/Paint Shop/psp.exe");
    const QString native = dir.createFile("bin/gimp");
    {
        TRegistry reg(TRegRoot::ClassesRoot);
        reg.OpenKey("\\.bmp", true);
        reg.WriteString("", "bmpfile");
        reg.OpenKey("\\bmpfile\\shell\\open\\command", true);
        reg.WriteString("", "\"" + editor.toStdString() + "\" \"%1\"");
        reg.OpenKey("\\.jpg", true);
        reg.WriteString("", "jpegfile");
        reg.OpenKey("\\jpegfile\\shell\\open\\command", true);
        reg.WriteString("", native.toStdString() + " %f");
        reg.OpenKey("\\.wav", true);
        reg.WriteString("", "SoundRec");
        reg.OpenKey("\\SoundRec\\shell\\open\\command", true);
        reg.WriteString("", "/no/such/player.exe %1");
        reg.OpenKey("\\.aif", true); // no type named
    }
    EXPECT_EQ(AssociatedProgram(".bmp"), editor);
    EXPECT_EQ(AssociatedProgram(".BMP"), editor);
    EXPECT_EQ(AssociatedProgram(".jpg"), native);
    EXPECT_EQ(AssociatedProgram(".wav"), "");
    EXPECT_EQ(AssociatedProgram(".aif"), "");
    EXPECT_EQ(AssociatedProgram(".rbs"), "");
    EXPECT_EQ(AssociatedProgram(""), "");
}

TEST(PathUtilsShell, DocumentsFolderHasNoTrailingDelimiter)
{
    TTestDir dir;
    TEnvGuard home("HOME", dir.path());
    TEnvGuard xdg("XDG_CONFIG_HOME", dir.file("config"));
    EXPECT_EQ(DocumentsFolder(), dir.path()); // no Documents folder: home
    dir.createDir("Documents");
    EXPECT_EQ(DocumentsFolder(), dir.file("Documents"));
}
