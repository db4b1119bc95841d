// The probe command's lines, the extension rule and the absolute path of the BMP message,
// each against what the Qt functions they stand in for give.

#include "formats/ImageFixtures.h"
#include "probe/FileProbes.h"
#include "probe/ProbeCommand.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace fixtures;

TEST(ProbeFiles, KindsByTheLastComponentsExtensionIgnoringCase)
{
    EXPECT_EQ(KindOfName("a.bmp"), TFileKind::Bmp);
    EXPECT_EQ(KindOfName("/x/A.BMP"), TFileKind::Bmp);
    EXPECT_EQ(KindOfName(".bmp"), TFileKind::Bmp); // a hidden name is all extension
    EXPECT_EQ(KindOfName("p.JpG"), TFileKind::Jpeg);
    EXPECT_EQ(KindOfName("a.b.gif"), TFileKind::Gif);
    EXPECT_EQ(KindOfName("bd.AIF"), TFileKind::Aiff);
    EXPECT_EQ(KindOfName("bd.wav"), TFileKind::Wave);
    for (const char *other : {"a.jpeg", "a.aiff", "a.aifc", "x.bmp/inner", "folder.wav/", "noext", "", ".",
                              "a.g\xC4\xB0"
                              "f",
                              "a.g\xC4\xB1"
                              "f",
                              "a.bmp~"})
        EXPECT_EQ(KindOfName(other), TFileKind::Other) << other;
}

TEST(ProbeFiles, AbsolutePathIsWhatQFileInfoGives)
{
    TTestDir dir;
    dir.createDir("x/y.d");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.file("x")));
    for (const char *path :
         {"a.bmp", "./a.bmp", "./y.d/../a.bmp", "y.d/../../a.bmp", "../../../../../../a.bmp", ".//y.d//a.bmp",
          "/a//b/./c/../d.bmp", "/../a.bmp", "/x/..", "/x/../..", "/tmp/./a.bmp"})
        EXPECT_EQ(AbsolutePath(path), QFileInfo(QString::fromUtf8(path)).absoluteFilePath().toStdString())
            << path;
    QDir::setCurrent(previous);
}

TEST(ProbeFiles, OneLinePerFileInOrderHandedOverInLargeBlocks)
{
    TTestDir dir;
    const std::string gifPath = dir.createFile("g.gif", gif(3, 4, 0x70)).toStdString();
    const std::string badPath = dir.createFile("b \"q\".bmp", "BMx").toStdString();
    const std::string gifLine =
        "{\"file\": \"" + gifPath + "\", \"type\": \"image\", \"width\": 3, \"height\": 4, \"bits\": 8}\n";
    std::string escaped = dir.file("b \\\"q\\\".bmp").toStdString();
    const std::string badLine =
        "{\"file\": \"" + escaped + "\", \"error\": \"Could not read bitmap.\\r\\n(" + escaped + ")\"}\n";

    std::vector<const char *> files;
    for (int i = 0; i < 2000; ++i)
        files.push_back(i % 2 ? badPath.c_str() : gifPath.c_str());
    std::vector<std::string> blocks;
    const bool allProbed = ProbeFiles(files, [&](std::string_view block) { blocks.emplace_back(block); });
    EXPECT_FALSE(allProbed);
    std::string expected;
    for (int i = 0; i < 2000; ++i)
        expected += i % 2 ? badLine : gifLine;
    std::string all;
    for (const std::string &block : blocks)
        all += block;
    EXPECT_EQ(all, expected);
    // Whole lines, in a few blocks of at least 64 KiB (the last one shorter).
    ASSERT_GE(blocks.size(), 2u);
    for (size_t i = 0; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].back(), '\n');
        if (i + 1 < blocks.size()) {
            EXPECT_GE(blocks[i].size(), 64u * 1024);
        }
    }

    const char *good[] = {gifPath.c_str()};
    std::string out;
    EXPECT_TRUE(ProbeFiles(good, [&](std::string_view block) { out += block; }));
    EXPECT_EQ(out, gifLine);
}
