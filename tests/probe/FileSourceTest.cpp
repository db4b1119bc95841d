// The Qt-free file source and file probes on real files in a scratch folder: headers found
// beyond the first small block, short files, and the files that must be refused at once.

#include "probe/FileSource.h"

#include "formats/AudioFixtures.h"
#include "formats/ImageFixtures.h"
#include "probe/FileProbes.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fixtures;

namespace {

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// The message a call raises, or "accepted".
template <class TCall> std::string messageOf(TCall call)
{
    try {
        call();
        return "accepted";
    } catch (const std::exception &e) {
        return e.what();
    }
}

// A mono 16-bit WAV at 44100 Hz of two frames whose "fmt " comes after a LIST chunk of
// ListBytes bytes.
std::vector<uint8_t> waveAfterList(uint32_t listBytes)
{
    TBytes b;
    b.id("RIFF").le32(4 + 8 + listBytes + 24 + 12).id("WAVE");
    b.id("LIST").le32(listBytes).fill(listBytes, 'z'); // a large chunk first
    b.id("fmt ").le32(16);
    b.le16(1).le16(1).le32(44100).le32(88200).le16(2).le16(16); // PCM, mono, rate, 16 bits
    b.id("data").le32(4).le16(0).le16(0);                       // two frames
    return b.bytes();
}

} // namespace

TEST(FileSource, ReadsAnyRangeAcrossItsSmallBlocks)
{
    TTestDir dir;
    QByteArray contents(3000, '\0');
    for (int i = 0; i < contents.size(); ++i)
        contents[i] = char(i * 7 + i / 256);
    const std::string path = native(dir.createFile("data.bin", contents));
    TFileSource file(path.c_str(), "data.bin", TOpenAs::Image);
    EXPECT_EQ(file.size(), 3000u);
    // Within a block, across the block edge, backwards, larger than a block, and past the end.
    for (auto [offset, count] : std::vector<std::pair<uint64_t, size_t>>{
             {0, 4}, {508, 8}, {100, 16}, {511, 1}, {1000, 600}, {2990, 32}, {3000, 4}, {5000, 4}}) {
        uint8_t got[600] = {};
        const size_t n = file.readAt(offset, got, count);
        const size_t expected = offset >= 3000 ? 0 : std::min<size_t>(count, 3000 - size_t(offset));
        ASSERT_EQ(n, expected) << offset;
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(got), qsizetype(n)),
                  contents.mid(qsizetype(offset), qsizetype(n)))
            << offset << " " << count;
    }
}

TEST(FileSource, FindsHeadersFarBeyondTheFirstBlock)
{
    TTestDir dir;
    // A JPEG whose frame header follows a 60 KB APP1 segment.
    const QByteArray jpeg = jfifStart() + segment(0xE1, QByteArray(60000, 'x')) + dqt() +
                            sof(0xC0, 1234, 567) + bytes({0xFF, 0xD9});
    const std::string jpg = native(dir.createFile("far.jpg", jpeg));
    const TImageInfo image = ProbeImageFile(jpg.c_str(), jpg);
    EXPECT_EQ(image.Width, 1234);
    EXPECT_EQ(image.Height, 567);

    // A WAV whose "fmt " and "data" chunks follow a 70 KB chunk, and one whose "fmt " body
    // straddles the first block's end.
    for (uint32_t listBytes : {70000u, 476u}) {
        const std::string wav = native(dir.createFile(QString("far%1.wav").arg(listBytes),
                                                      TBytes().raw(waveAfterList(listBytes)).toByteArray()));
        const TAudioFormat format = ProbeAudioFile(wav.c_str(), wav);
        EXPECT_EQ(format.Channels, 1) << listBytes;
        EXPECT_EQ(format.BitsPerSample, 16);
        EXPECT_EQ(format.SampleRate, 44100u);
        EXPECT_EQ(format.FrameCount, 2);
        EXPECT_EQ(format.DataSize, 4);
    }
}

TEST(FileSource, ShortFilesFailWithTheFormatsMessages)
{
    TTestDir dir;
    const std::string bmp = native(dir.createFile("short.bmp", "BMx"));
    const std::string jpg = native(dir.createFile("short.jpg", jfifStart().left(12)));
    const std::string gif = native(dir.createFile("short.gif", "GIF8"));
    const std::string wav = native(dir.createFile("short.wav", "RIFF\x04\0\0\0WAVE"));
    const std::string cut =
        native(dir.createFile("cut.wav", TBytes().raw(waveAfterList(70000)).toByteArray().left(600)));
    const std::string absolute = QFileInfo(QString::fromStdString(bmp)).absoluteFilePath().toStdString();
    EXPECT_EQ(messageOf([&] { ProbeImageFile(bmp.c_str(), bmp); }),
              "Could not read bitmap.\r\n(" + absolute + ")");
    EXPECT_EQ(messageOf([&] { ProbeImageFile(jpg.c_str(), jpg); }), "JPEG has no SOF marker.");
    EXPECT_EQ(messageOf([&] { ProbeImageFile(gif.c_str(), gif); }), "corrupt GIF image");
    EXPECT_EQ(messageOf([&] { ProbeAudioFile(wav.c_str(), wav); }), "Corrupt wave file.");
    // The LIST chunk claims more bytes than the file holds: the walk ends without "fmt ".
    EXPECT_EQ(messageOf([&] { ProbeAudioFile(cut.c_str(), cut); }), "Wave file contains no fmt chunk.");
}

TEST(FileSource, RefusesWhatIsNoRegularFileAtOnce)
{
    TTestDir dir;
    const std::string fifo = native(dir.file("pipe.wav"));
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = native(dir.createDir("folder.bmp"));
    const std::string empty = native(dir.createFile("empty.aif"));
    const std::string missing = native(dir.file("missing.bmp"));
    // No writer ever opens the FIFO: a source that waited would hang here.
    EXPECT_EQ(messageOf([&] { TFileSource(fifo.c_str(), "pipe.wav", TOpenAs::Sample); }),
              "Couldn't open pipe.wav.");
    EXPECT_EQ(messageOf([&] { TFileSource(fifo.c_str(), "pipe.wav", TOpenAs::Image); }),
              "Cannot open file \"pipe.wav\". Not a regular file");
    EXPECT_EQ(messageOf([&] { TFileSource(folder.c_str(), "f", TOpenAs::Image); }),
              "Cannot open file \"f\". Is a directory");
    EXPECT_EQ(messageOf([&] { TFileSource(folder.c_str(), "f", TOpenAs::Sample); }), "Couldn't open f.");
    EXPECT_EQ(messageOf([&] { TFileSource(missing.c_str(), "m", TOpenAs::Image); }),
              "Cannot open file \"m\". No such file or directory");
    EXPECT_EQ(messageOf([&] { TFileSource("", "", TOpenAs::Image); }),
              "Cannot open file \"\". No such file or directory");
    EXPECT_EQ(messageOf([&] { TFileSource(empty.c_str(), "e", TOpenAs::Sample); }),
              "CreateFileMapping failed: e.");
    // An empty image opens; its probe says what is missing.
    EXPECT_EQ(messageOf([&] { TFileSource(empty.c_str(), "e", TOpenAs::Image); }), "accepted");
}

TEST(FileSource, ASampleHeldByAWriterIsRefusedAndReadersAreWelcome)
{
    TTestDir dir;
    const std::string wav = native(dir.createFile("held.wav", TBytes().raw(waveAfterList(4)).toByteArray()));
    const int other = ::open(wav.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_SH), 0);
    EXPECT_EQ(messageOf([&] { ProbeAudioFile(wav.c_str(), "held.wav"); }), "accepted");
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    EXPECT_EQ(messageOf([&] { ProbeAudioFile(wav.c_str(), "held.wav"); }), "Couldn't open held.wav.");
    // The lock guards samples being written; an image is read whatever it holds.
    EXPECT_EQ(messageOf([&] { TFileSource(wav.c_str(), "held.wav", TOpenAs::Image); }), "accepted");
    ::close(other);
}

TEST(FileSource, ANameThatIsNotUtf8IsOpenedAsItsBytes)
{
    TTestDir dir;
    const std::string path = native(dir.path()) + "/bad\xff\xfe" + "name.gif";
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray g = gif(5, 6, 0x10);
        ASSERT_EQ(::write(fd, g.constData(), size_t(g.size())), g.size());
        ::close(fd);
    }
    const TImageInfo info = ProbeImageFile(path.c_str(), path);
    ::unlink(path.c_str()); // the folder's Qt clean-up cannot name it
    EXPECT_EQ(info.Width, 5);
    EXPECT_EQ(info.Height, 6);
}
