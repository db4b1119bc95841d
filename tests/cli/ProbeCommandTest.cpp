#include "cli/Cli.h"
#include "formats/ImageFixtures.h"
#include "formats/WaveFile.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>
#include <sstream>

using namespace fixtures;

namespace {

struct TRun {
    int code = 0;
    std::string out;
    std::string err;
};

TRun probe(const std::vector<std::string> &files)
{
    std::vector<std::string> argv{"modwright-cli", "probe"};
    argv.insert(argv.end(), files.begin(), files.end());
    std::ostringstream out, err;
    TRun run;
    run.code = RunCli(argv, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

// A silent 16-bit mono WAV at 44100 Hz of Frames frames, through our writer.
QString wave(TTestDir &dir, const QString &name, int frames)
{
    const std::vector<int16_t> silence(static_cast<size_t>(frames), 0);
    const TAudioFormat source{
        1, 16, 44100, frames, false, frames * 2, reinterpret_cast<const uint8_t *>(silence.data())};
    const QString path = dir.file(name);
    TWaveFile::CreateNew(source, 1, 16)->SaveToFile(path);
    return path;
}

} // namespace

TEST(ProbeCommand, OneJsonLinePerFileInOrder)
{
    TTestDir dir;
    const std::string bmpPath = dir.createFile("panel.BMP", bmp(640, -480, 8)).toStdString();
    const std::string jpgPath = dir.createFile("knob.jpg", jpegHeaders(40, 1200)).toStdString();
    const std::string gifPath = dir.createFile("x.gif", gif(3, 4, 0x70)).toStdString();
    const std::string wavPath = wave(dir, "bd.wav", 5).toStdString();
    const TRun run = probe({bmpPath, jpgPath, gifPath, wavPath});
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "{\"file\": \"" + bmpPath +
                           "\", \"type\": \"image\", \"width\": 640, \"height\": -480, \"bits\": 8}\n"
                           "{\"file\": \"" +
                           jpgPath +
                           "\", \"type\": \"image\", \"width\": 40, \"height\": 1200, \"bits\": 24}\n"
                           "{\"file\": \"" +
                           gifPath +
                           "\", \"type\": \"image\", \"width\": 3, \"height\": 4, \"bits\": 8}\n"
                           "{\"file\": \"" +
                           wavPath +
                           "\", \"type\": \"audio\", \"channels\": 1, \"bits\": 16, \"rate\": 44100, "
                           "\"frames\": 5, \"dataSize\": 10}\n");
}

TEST(ProbeCommand, FailuresAreLinesOfTheirOwnAndSetTheExitCode)
{
    TTestDir dir;
    const std::string good = dir.createFile("ok.gif", gif(1, 2, 0)).toStdString();
    const std::string exif =
        dir.createFile("photo.jpg", QByteArray("\xFF\xD8\xFF\xE1 Exif header")).toStdString();
    const std::string text = dir.createFile("notes.txt", "hello").toStdString();
    const std::string badBmp = dir.createFile("bad.bmp", "BMx").toStdString();
    const TRun run = probe({exif, good, text, badBmp});
    EXPECT_EQ(run.code, 1);
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "{\"file\": \"" + exif + "\", \"error\": \"JPEG has no valid header.\"}");
    std::getline(lines, line);
    EXPECT_EQ(line.rfind("{\"file\": \"" + good + "\", \"type\": \"image\"", 0), 0u);
    std::getline(lines, line); // not an image name, so asked as a sample file
    EXPECT_EQ(line, "{\"file\": \"" + text + "\", \"error\": \"No valid WAV/AIFF file.\"}");
    std::getline(lines, line); // the line break of the BMP message is escaped
    EXPECT_EQ(line,
              "{\"file\": \"" + badBmp + "\", \"error\": \"Could not read bitmap.\\r\\n(" + badBmp + ")\"}");
    EXPECT_FALSE(std::getline(lines, line));
}

TEST(ProbeCommand, NeedsAtLeastOneFile)
{
    const TRun run = probe({});
    EXPECT_EQ(run.code, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("Usage: modwright-cli probe FILE..."), std::string::npos);
}
