#include "formats/WaveFile.h"

#include "formats/AudioFixtures.h"
#include "support/TestDir.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// 16-bit stereo, 44100 Hz, 2 frames: the canonical 44-byte header and 8 sample bytes.
std::vector<uint8_t> canonicalStereo16()
{
    // clang-format off
    return TBytes()
        .id("RIFF").le32(44 - 8 + 8) // RIFF length: file size - 8
        .id("WAVE")
        .id("fmt ").le32(16)         // format chunk, 16-byte body
        .le16(1)                     // format tag: linear PCM
        .le16(2)                     // channels
        .le32(44100)                 // sample rate
        .le32(44100 * 4)             // bytes per second
        .le16(4)                     // block size
        .le16(16)                    // bits per sample
        .id("data").le32(8)          // sample bytes
        .le16(0x0102).le16(0xFFFE)   // frame 0: left 258, right -2
        .le16(0x7FFF).le16(0x8000);  // frame 1: left 32767, right -32768
    // clang-format on
}

// 8-bit mono with a LIST chunk before "fmt " and an odd-length "fact" chunk (with its pad
// byte) between "fmt " and "data", as editors write them.
std::vector<uint8_t> withOddChunks()
{
    // clang-format off
    return TBytes()
        .id("RIFF").le32(0)          // not checked by readers
        .id("WAVE")
        .id("LIST").le32(10)         // an info list; its contents are not read
        .id("INFO").id("ISFT").le16(0)
        .id("fmt ").le32(16)
        .le16(1).le16(1)             // PCM, mono
        .le32(22050).le32(22050)     // rate, bytes per second
        .le16(1).le16(8)             // block size, bits
        .id("fact").le32(3)          // odd length ...
        .raw({1, 2, 3})
        .u8(0)                       // ... followed by its pad byte
        .id("data").le32(3)
        .raw({0x80, 0xFF, 0x00});    // silence, +127, -128
    // clang-format on
}

std::string parse(const std::vector<uint8_t> &bytes)
{
    return parseMessage<TWaveFile>(bytes);
}

std::vector<uint8_t> patched(std::vector<uint8_t> bytes, size_t offset, std::initializer_list<uint8_t> v)
{
    std::copy(v.begin(), v.end(), bytes.begin() + std::ptrdiff_t(offset));
    return bytes;
}

} // namespace

TEST(WaveFileRead, CanonicalFile)
{
    const auto bytes = canonicalStereo16();
    auto wav = TWaveFile::CreateFromImage(bytes.data(), bytes.size());
    const TAudioFormat f = wav->GetFormat();
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.SampleRate, 44100u);
    EXPECT_EQ(f.FrameCount, 2);
    EXPECT_FALSE(f.BigEndian);
    EXPECT_EQ(f.DataSize, 8);
    EXPECT_EQ(f.Data, bytes.data() + 44);
    EXPECT_EQ(wav->GetImage(), bytes.data());
    EXPECT_EQ(wav->GetImageSize(), bytes.size());
    EXPECT_TRUE(wav->FileName().isEmpty());
}

TEST(WaveFileRead, SkipsListFactAndPadBytes)
{
    const auto bytes = withOddChunks();
    auto wav = TWaveFile::CreateFromImage(bytes.data(), bytes.size());
    const TAudioFormat f = wav->GetFormat();
    EXPECT_EQ(f.Channels, 1);
    EXPECT_EQ(f.BitsPerSample, 8);
    EXPECT_EQ(f.SampleRate, 22050u);
    EXPECT_EQ(f.FrameCount, 3);
    EXPECT_EQ(f.Data, bytes.data() + bytes.size() - 3);
}

TEST(WaveFileRead, MacBinaryPrefix)
{
    const auto bytes = withMacBinary(canonicalStereo16());
    auto wav = TWaveFile::CreateFromImage(bytes.data(), bytes.size());
    EXPECT_EQ(wav->GetImage(), bytes.data() + 128);
    EXPECT_EQ(wav->GetImageSize(), bytes.size() - 128);
    EXPECT_EQ(wav->GetSampleData() - wav->GetImage(), 44);
    EXPECT_EQ(wav->GetFormat().FrameCount, 2);
}

TEST(WaveFileRead, FrameCountDropsIncompleteFrame)
{
    auto bytes = canonicalStereo16();
    bytes = patched(bytes, 40, {7}); // 7 bytes of 4-byte frames
    auto wav = TWaveFile::CreateFromImage(bytes.data(), bytes.size());
    EXPECT_EQ(wav->GetSampleDataSize(), 7);
    EXPECT_EQ(wav->GetFrameCount(), 1);
}

TEST(WaveFileRead, FormatChecksAndTheirOrder)
{
    const auto good = canonicalStereo16();
    EXPECT_EQ(parse(good), "accepted");
    EXPECT_EQ(parse(patched(good, 20, {3, 0})), "Wave file is not linear PCM encoded.");       // float
    EXPECT_EQ(parse(patched(good, 20, {0xFE, 0xFF})), "Wave file is not linear PCM encoded."); // extensible
    EXPECT_EQ(parse(patched(good, 34, {24, 0})), "Wave file is neither 8 nor 16 bit");
    EXPECT_EQ(parse(patched(good, 22, {0, 0})), "Wave file is neither mono nor stereo.");
    EXPECT_EQ(parse(patched(good, 22, {6, 0})), "Wave file is neither mono nor stereo.");
    // Tag before width before channels.
    EXPECT_EQ(parse(patched(patched(good, 22, {6, 0}), 34, {24, 0})), "Wave file is neither 8 nor 16 bit");
    EXPECT_EQ(parse(patched(patched(good, 20, {3, 0}), 34, {32, 0})), "Wave file is not linear PCM encoded.");
    // "fmt " is looked for before "data", and identifiers are case-sensitive.
    EXPECT_EQ(parse(patched(patched(good, 12, {'F'}), 36, {'D'})), "Wave file contains no fmt chunk.");
    EXPECT_EQ(parse(patched(good, 36, {'D'})), "Wave file contains no data chunk.");
}

TEST(WaveFileRead, HeaderTest)
{
    const auto good = canonicalStereo16();
    EXPECT_EQ(parse({}), "Corrupt wave file.");
    EXPECT_EQ(parse(patched(good, 0, {'R', 'I', 'F', 'X'})), "Corrupt wave file.");
    EXPECT_EQ(parse(patched(good, 8, {'A', 'V', 'I', ' '})), "Corrupt wave file.");
    // A prefix of 128 bytes that is not followed by a whole header either.
    EXPECT_EQ(parse(prefix(withMacBinary(good), 128 + 43)), "Corrupt wave file.");
    EXPECT_EQ(parse(std::vector<uint8_t>(300, 0)), "Corrupt wave file.");
}

// Every length short of the whole file fails with the message of the part that is cut.
TEST(WaveFileRead, TruncatedAtEveryLength)
{
    const auto bytes = withOddChunks(); // LIST 12..29, fmt 30..53, fact 54..65, data 66..76
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::string expected;
        if (n < 44)
            expected = "Corrupt wave file.";
        else if (n < 54)
            expected = "Wave file is corrupt. (Chunk fmt )";
        else if (n < 74)
            expected = "Wave file contains no data chunk.";
        else
            expected = "Wave file is corrupt. (Chunk data)";
        EXPECT_EQ(parse(prefix(bytes, n)), expected) << "length " << n;
    }
}

TEST(WaveFileRead, ChunksLyingAboutTheirLength)
{
    const auto good = canonicalStereo16();
    // "data" claims more than the file holds.
    EXPECT_EQ(parse(patched(good, 40, {9})), "Wave file is corrupt. (Chunk data)");
    EXPECT_EQ(parse(patched(good, 40, {0xFF, 0xFF, 0xFF, 0xFF})), "Wave file is corrupt. (Chunk data)");
    EXPECT_EQ(parse(patched(good, 40, {0xF8, 0xFF, 0xFF, 0xFF})), "Wave file is corrupt. (Chunk data)");
    // "fmt " claims more than the file holds.
    EXPECT_EQ(parse(patched(good, 16, {0xF0, 0xFF, 0xFF, 0xFF})), "Wave file is corrupt. (Chunk fmt )");
    // "fmt " claims less than its 16 body bytes at the very end of the file.
    // clang-format off
    const auto shortFmt = TBytes()
        .id("RIFF").le32(0).id("WAVE")
        .id("data").le32(0)          // empty data first
        .id("LIST").le32(12).fill(12)
        .id("fmt ").le32(2).le16(1); // claims 2 bytes, and only those are there
    // clang-format on
    EXPECT_EQ(parse(shortFmt), "Wave file is corrupt. (Chunk fmt )");
}

// A chunk length near 4 GiB must end the walk. With 32-bit offsets it would wrap round to
// an earlier place in the file (here: onto a planted "data" header) or loop for ever.
// A chunk length near 4 GiB must end the walk. With 32-bit offsets it would wrap round to
// an earlier place in the file (here: onto a "data" header planted inside a list) or loop.
TEST(WaveFileRead, HugeChunkLengthEndsTheSearch)
{
    // clang-format off
    const auto bytes = TBytes()
        .id("RIFF").le32(0).id("WAVE")
        .id("fmt ").le32(16).le16(1).le16(1).le32(8000).le32(8000).le16(1).le16(8) // 12..35
        .id("LIST").le32(12)         // 36: a list whose body looks like a chunk
        .id("data").le32(4)          // 44: what a wrapped walk would find
        .raw({1, 2, 3, 4})
        .id("junk").le32(0xFFFFFFEC); // 56: 56 + 8 + 0xFFFFFFEC wraps to 44 in 32 bits
    // clang-format on
    EXPECT_EQ(parse(bytes), "Wave file contains no data chunk.");
    // A length that wraps exactly onto the same chunk must not loop.
    EXPECT_EQ(parse(patched(bytes, 60, {0xF8, 0xFF, 0xFF, 0xFF})), "Wave file contains no data chunk.");
    EXPECT_EQ(parse(patched(bytes, 60, {0xFF, 0xFF, 0xFF, 0xFF})), "Wave file contains no data chunk.");
}

TEST(WaveFileRead, EmptyDataChunkAtTheEnd)
{
    // What the writer makes of zero frames must read back.
    const TAudioFormat none{1, 16, 44100, 0, false, 0, nullptr};
    auto built = TWaveFile::CreateNew(none, 1, 16);
    ASSERT_EQ(built->GetImageSize(), 44u);
    auto wav = TWaveFile::CreateFromImage(built->GetImage(), built->GetImageSize());
    EXPECT_EQ(wav->GetFrameCount(), 0);
}

TEST(WaveFileWrite, HeaderBytes)
{
    const int16_t samples[] = {0x0102, -2, 0x7FFF, -32768}; // 2 stereo frames, host order
    TAudioFormat source{2, 16, 44100, 2, false, 8, reinterpret_cast<const uint8_t *>(samples)};
    auto wav = TWaveFile::CreateNew(source, 2, 16);
    const std::vector<uint8_t> image(wav->GetImage(), wav->GetImage() + wav->GetImageSize());
    EXPECT_EQ(image, canonicalStereo16());
    EXPECT_EQ(wav->GetFrameCount(), 2);
}

TEST(WaveFileWrite, OddSampleBytesArePadded)
{
    const uint8_t samples[] = {0x80, 0x81, 0x7F};
    TAudioFormat source{1, 8, 11025, 3, false, 3, samples};
    auto wav = TWaveFile::CreateNew(source, 1, 8);
    ASSERT_EQ(wav->GetImageSize(), 48u);
    const uint8_t *p = wav->GetImage();
    EXPECT_EQ(p[4], 40); // RIFF length counts the pad byte
    EXPECT_EQ(p[40], 4); // so does the data length
    EXPECT_EQ(p[32], 1); // block size
    // The pad byte reads back as a fourth frame, as the length says: it is silence.
    EXPECT_EQ(std::vector<uint8_t>(p + 44, p + 48), (std::vector<uint8_t>{0x80, 0x81, 0x7F, 0x80}));
    EXPECT_EQ(wav->GetFrameCount(), 4);
}

TEST(WaveFileWrite, SameFormatIsAByteCopy)
{
    const uint8_t samples[] = {0x01, 0x80, 0xFF, 0x7F, 0x00, 0x00};
    TAudioFormat source{1, 16, 44100, 3, false, 6, samples};
    auto wav = TWaveFile::CreateNew(source, 1, 16);
    EXPECT_EQ(std::memcmp(wav->GetSampleData(), samples, 6), 0);
}

TEST(WaveFileWrite, BadRequests)
{
    const uint8_t samples[4] = {};
    TAudioFormat source{1, 16, 44100, 2, false, 4, samples};
    auto message = [&](int channels, int bits) -> std::string {
        try {
            TWaveFile::CreateNew(source, channels, bits);
        } catch (const EModwright &e) {
            return e.what();
        }
        return "built";
    };
    EXPECT_EQ(message(3, 16), "Cannot create wave file with 3 Channels.");
    EXPECT_EQ(message(0, 16), "Cannot create wave file with 0 Channels.");
    EXPECT_EQ(message(1, 24), "Cannot create wave file with 24 bits per sample.");
    EXPECT_EQ(message(-1, 24), "Cannot create wave file with -1 Channels.");
    // A source that is no PCM layout this program knows is a programming error.
    source.BitsPerSample = 12;
    EXPECT_THROW(TWaveFile::CreateNew(source, 1, 16), EAssertionFailed);
    source.BitsPerSample = 16;
    source.FrameCount = -1;
    EXPECT_THROW(TWaveFile::CreateNew(source, 1, 16), EAssertionFailed);
}

class WaveFileDisk : public ::testing::Test {
protected:
    TTestDir dir;
};

TEST_F(WaveFileDisk, RoundTripEveryLayout)
{
    // Stereo 16-bit source: left ramps up, right ramps down.
    std::vector<int16_t> samples;
    for (int i = 0; i < 101; ++i) {
        samples.push_back(int16_t(i * 300 - 15000));
        samples.push_back(int16_t(15000 - i * 300));
    }
    TAudioFormat source{2, 16, 22050, 101, false, 404, reinterpret_cast<const uint8_t *>(samples.data())};
    for (int channels : {1, 2})
        for (int bits : {8, 16}) {
            const QString path = dir.file(QString("out-%1-%2.wav").arg(channels).arg(bits));
            TWaveFile::CreateNew(source, channels, bits)->SaveToFile(path);
            auto wav = TWaveFile::CreateFromFile(path);
            EXPECT_EQ(wav->FileName(), path);
            const TAudioFormat f = wav->GetFormat();
            EXPECT_EQ(f.Channels, channels);
            EXPECT_EQ(f.BitsPerSample, bits);
            EXPECT_EQ(f.SampleRate, 22050u);
            const int64_t bytes = 101 * channels * bits / 8;
            EXPECT_EQ(f.FrameCount, (bytes + (bytes & 1)) / (channels * bits / 8)); // 8-bit mono: + pad byte
            EXPECT_EQ(f.DataSize, bytes + (bytes & 1));
            // First frame: left -15000, right 15000; mono is their average 0.
            const uint8_t *d = f.Data;
            int expectedFirst = 0;
            if (bits == 16)
                expectedFirst = channels == 2 ? -15000 : 0;
            else
                expectedFirst = channels == 2 ? (-15000 >> 8) + 128 : 0x80;
            EXPECT_EQ(bits == 16 ? int16_t(d[0] | d[1] << 8) : d[0], expectedFirst);
        }
}

TEST_F(WaveFileDisk, ResaveDropsMacBinaryPrefix)
{
    const QString in =
        dir.createFile("mac.wav", TBytes().raw(withMacBinary(canonicalStereo16())).toByteArray());
    auto wav = TWaveFile::CreateFromFile(in);
    wav->SaveToFile(dir.file("plain.wav"));
    EXPECT_EQ(toVector(TTestDir::readAll(dir.file("plain.wav"))), canonicalStereo16());
}

TEST_F(WaveFileDisk, FileAccessMessages)
{
    auto message = [](const QString &path) -> std::string {
        try {
            TWaveFile::CreateFromFile(path);
        } catch (const EModwright &e) {
            return e.what();
        }
        return "opened";
    };
    const QString missing = dir.file("missing.wav");
    EXPECT_EQ(message(missing), "Couldn't open " + missing.toStdString() + ".");
    EXPECT_EQ(message(dir.path()), "Couldn't open " + dir.path().toStdString() + ".");
    const QString empty = dir.createFile("empty.wav");
    EXPECT_EQ(message(empty), "CreateFileMapping failed: " + empty.toStdString() + ".");
    const QString bad = dir.createFile("bad.wav", QByteArray(60, 'x'));
    EXPECT_EQ(message(bad), "Corrupt wave file.");
    const QString named = dir.createFile(QString::fromUtf8("Kick \u00e9 #1.wav"),
                                         TBytes().raw(canonicalStereo16()).toByteArray());
    EXPECT_EQ(message(named), "opened");
}

TEST_F(WaveFileDisk, SaveFailures)
{
    const auto bytes = canonicalStereo16();
    auto wav = TWaveFile::CreateFromImage(bytes.data(), bytes.size());
    const QString noFolder = dir.file("no/such/folder/x.wav");
    try {
        wav->SaveToFile(noFolder);
        ADD_FAILURE() << "saved";
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + noFolder.toStdString() + "\". No such file or directory");
    }
    // A full disk.
    if (QFile::exists("/dev/full")) {
        try {
            wav->SaveToFile("/dev/full");
            ADD_FAILURE() << "saved";
        } catch (const EModwright &e) {
            EXPECT_EQ(std::string(e.what()), "Cannot write file \"/dev/full\". No space left on device");
        }
        EXPECT_TRUE(QFile::exists("/dev/full"));
    }
}

TEST_F(WaveFileDisk, FileBeingReadIsNotOverwritten)
{
    const auto bytes = canonicalStereo16();
    const QString path = dir.createFile("in.wav", TBytes().raw(bytes).toByteArray());
    auto reader = TWaveFile::CreateFromFile(path);
    const uint8_t samples[2] = {1, 2};
    auto other = TWaveFile::CreateNew(TAudioFormat{1, 8, 8000, 2, false, 2, samples}, 1, 8);
    try {
        other->SaveToFile(path);
        ADD_FAILURE() << "saved";
    } catch (const EModwright &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + path.toStdString() +
                      "\". The process cannot access the file because it is being used "
                      "by another process.");
    }
    EXPECT_EQ(reader->GetFormat().FrameCount, 2);
    EXPECT_EQ(toVector(TTestDir::readAll(path)), bytes);
    // A second reader is welcome meanwhile.
    EXPECT_EQ(TWaveFile::CreateFromFile(path)->GetFrameCount(), 2);
    // Once the reader is gone the file may be replaced.
    reader.reset();
    other->SaveToFile(path);
    EXPECT_EQ(TTestDir::readAll(path).size(), 46);
}

TEST_F(WaveFileDisk, FileBeingWrittenIsNotRead)
{
    const QString path = dir.createFile("in.wav", TBytes().raw(canonicalStereo16()).toByteArray());
    const int writer = ::open(path.toUtf8().constData(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0); // how our own writer holds a file it saves
    EXPECT_THROW(TWaveFile::CreateFromFile(path), EModwright);
    ::close(writer);
    EXPECT_EQ(TWaveFile::CreateFromFile(path)->GetFrameCount(), 2);
}

TEST_F(WaveFileDisk, CloseFile)
{
    const QString path = dir.createFile("in.wav", TBytes().raw(canonicalStereo16()).toByteArray());
    auto wav = TWaveFile::CreateFromFile(path);
    EXPECT_TRUE(wav->CloseFile());
    EXPECT_TRUE(wav->FileName().isEmpty());
    EXPECT_FALSE(wav->CloseFile());
    // Nothing is left to read: asking is a programming error, not a read of freed memory.
    EXPECT_THROW(wav->GetFormat(), EAssertionFailed);
    EXPECT_THROW(wav->GetSampleData(), EAssertionFailed);

    const uint8_t samples[2] = {1, 2};
    auto built = TWaveFile::CreateNew(TAudioFormat{1, 8, 8000, 2, false, 2, samples}, 1, 8);
    EXPECT_FALSE(built->CloseFile());
    EXPECT_EQ(built->GetFrameCount(), 2);
}

TEST_F(WaveFileDisk, FailedOpenLeavesNoDescriptor)
{
    auto openDescriptors = [] { return QDir("/proc/self/fd").entryList(QDir::Files | QDir::System).size(); };
    const QString bad =
        dir.createFile("bad.wav", TBytes().id("RIFF").le32(0).id("WAVE").fill(40).toByteArray());
    const QString empty = dir.createFile("empty.wav");
    const auto before = openDescriptors();
    for (int i = 0; i < 50; ++i) {
        EXPECT_THROW(TWaveFile::CreateFromFile(bad), EModwright);
        EXPECT_THROW(TWaveFile::CreateFromFile(empty), EModwright);
    }
    EXPECT_EQ(openDescriptors(), before);
}
