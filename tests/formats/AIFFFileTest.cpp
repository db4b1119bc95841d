#include "formats/AIFFFile.h"

#include "formats/AudioFixtures.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace {

// Plain AIFF, 16-bit stereo, 44100 Hz, 2 frames.
std::vector<uint8_t> plainStereo16()
{
    // clang-format off
    return TBytes()
        .id("FORM").be32(54 - 8 + 8) // FORM length: file size - 8
        .id("AIFF")
        .id("COMM").be32(18)         // common chunk without compression type
        .be16(2)                     // channels
        .be32(2)                     // sample frames
        .be16(16)                    // bits
        .rate44100()                 // 80-bit extended
        .id("SSND").be32(8 + 8)      // offset + block size + samples
        .be32(0).be32(0)             // offset, block size
        .be16(0x0102).be16(0xFFFE)   // frame 0: 258, -2
        .be16(0x7FFF).be16(0x8000);  // frame 1: 32767, -32768
    // clang-format on
}

// AIFC, uncompressed 8-bit mono, with an odd-length name chunk (and its pad) before COMM.
std::vector<uint8_t> aifcMono8(const char *compression = "NONE", uint32_t version = 0xA2805140)
{
    // clang-format off
    return TBytes()
        .id("FORM").be32(0)          // not checked by readers
        .id("AIFC")
        .id("FVER").be32(4).be32(version) // AIFC version 1 timestamp
        .id("NAME").be32(5).text("Snare")
        .u8(0)                       // pad byte after the odd-length name
        .id("COMM").be32(24)         // 18 + compression type + empty Pascal name (2 bytes)
        .be16(1).be32(3).be16(8)
        .raw({0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}) // 22050
        .id(compression)
        .u8(0).u8(0)                 // compression name: empty Pascal string, padded
        .id("SSND").be32(8 + 3)
        .be32(0).be32(0)
        .raw({0x00, 0x7F, 0x80})     // silence, +127, -128
        .u8(0);                      // pad byte
    // clang-format on
}

std::string parse(const std::vector<uint8_t> &bytes)
{
    return parseMessage<TAIFFFile>(bytes);
}

std::vector<uint8_t> patched(std::vector<uint8_t> bytes, size_t offset, std::initializer_list<uint8_t> v)
{
    std::copy(v.begin(), v.end(), bytes.begin() + std::ptrdiff_t(offset));
    return bytes;
}

} // namespace

TEST(AIFFFileRead, PlainAiff)
{
    const auto bytes = plainStereo16();
    auto aiff = TAIFFFile::CreateFromImage(bytes.data(), bytes.size());
    const TAudioFormat f = aiff->GetFormat();
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.SampleRate, 44100u);
    EXPECT_EQ(f.FrameCount, 2);
    EXPECT_TRUE(f.BigEndian);
    EXPECT_EQ(f.DataSize, 8);
    EXPECT_EQ(f.Data, bytes.data() + 54);
    EXPECT_FALSE(aiff->IsAIFC());
}

TEST(AIFFFileRead, UncompressedAifcWithNameChunk)
{
    const auto bytes = aifcMono8();
    auto aiff = TAIFFFile::CreateFromImage(bytes.data(), bytes.size());
    const TAudioFormat f = aiff->GetFormat();
    EXPECT_TRUE(aiff->IsAIFC());
    EXPECT_EQ(f.Channels, 1);
    EXPECT_EQ(f.BitsPerSample, 8);
    EXPECT_EQ(f.SampleRate, 22050u);
    EXPECT_EQ(f.FrameCount, 3);
    EXPECT_EQ(f.DataSize, 3);
    EXPECT_EQ(f.Data[1], 0x7F);
}

TEST(AIFFFileRead, AifcChecksAndTheirOrder)
{
    EXPECT_EQ(parse(aifcMono8("sowt")), "AIFF file is not linear PCM encoded."); // little-endian
    EXPECT_EQ(parse(aifcMono8("ulaw")), "AIFF file is not linear PCM encoded."); // logarithmic
    EXPECT_EQ(parse(aifcMono8("fl32")), "AIFF file is not linear PCM encoded."); // floating point
    EXPECT_EQ(parse(aifcMono8("none")), "AIFF file is not linear PCM encoded."); // case matters
    EXPECT_EQ(parse(aifcMono8("NONE", 0xA2805141)), "Version of this AIFF file is unsupported.");
    const auto good = aifcMono8();
    EXPECT_EQ(parse(patched(good, 12, {'F', 'V', 'E', 'X'})),
              "AIFF file is of format AIFC but has no version chunk.");
    // The version is checked before anything else: no COMM either, still the version message.
    EXPECT_EQ(parse(patched(patched(good, 12, {'X'}), 38, {'X'})),
              "AIFF file is of format AIFC but has no version chunk.");
    // A 2-byte FVER: the timestamp would lie in the next chunk.
    // clang-format off
    const auto shortVersion = TBytes()
        .id("FORM").be32(0).id("AIFC")
        .id("FVER").be32(2).be16(0)
        .id("COMM").be32(18).be16(1).be32(0).be16(8).rate44100()
        .id("SSND").be32(8).be32(0).be32(0);
    // clang-format on
    EXPECT_EQ(parse(shortVersion), "Version chunk in this AIFF is too small.");
    // Plain AIFF needs no version chunk, and the same file as AIFC does.
    EXPECT_EQ(parse(plainStereo16()), "accepted");
    EXPECT_EQ(parse(patched(plainStereo16(), 8, {'A', 'I', 'F', 'C'})),
              "AIFF file is of format AIFC but has no version chunk.");
}

TEST(AIFFFileRead, CommonChunkChecks)
{
    const auto good = plainStereo16();
    EXPECT_EQ(parse(patched(good, 26, {0, 24})), "AIFF file is neither 8 nor 16 bit");
    EXPECT_EQ(parse(patched(good, 20, {0, 3})), "AIFF file is neither mono nor stereo.");
    EXPECT_EQ(parse(patched(good, 20, {0, 0})), "AIFF file is neither mono nor stereo.");
    EXPECT_EQ(parse(patched(patched(good, 20, {0, 3}), 26, {0, 12})), "AIFF file is neither 8 nor 16 bit");
    EXPECT_EQ(parse(patched(good, 12, {'c', 'o', 'm', 'm'})), "AIFF file contains no common chunk.");
    EXPECT_EQ(parse(patched(good, 38, {'S', 'S', 'N', 'X'})), "AIFF file contains no SSND chunk.");
}

TEST(AIFFFileRead, SoundDataChecks)
{
    const auto good = plainStereo16();
    // Stereo 16-bit, 4 frames declared, 2 present.
    EXPECT_EQ(parse(patched(good, 22, {0, 0, 0, 4})), "SSND chunk is too small.");
    EXPECT_EQ(parse(patched(good, 42, {0, 0, 0, 7})), "SSND chunk is too small.");
    // 2^31 frames * 2 channels * 2 bytes is 0 in 32-bit arithmetic; it must not pass.
    EXPECT_EQ(parse(patched(good, 22, {0x80, 0, 0, 0})), "SSND chunk is too small.");
    EXPECT_EQ(parse(patched(good, 22, {0x40, 0, 0, 0})), "SSND chunk is too small.");
    EXPECT_EQ(parse(patched(good, 22, {0xFF, 0xFF, 0xFF, 0xFF})), "SSND chunk is too small.");
    // Fewer frames than the chunk holds are fine.
    EXPECT_EQ(parse(patched(good, 22, {0, 0, 0, 1})), "accepted");
    // The offset field is not applied.
    const auto offset = patched(good, 46, {0, 0, 0, 4});
    auto aiff = TAIFFFile::CreateFromImage(offset.data(), offset.size());
    EXPECT_EQ(aiff->GetSampleData() - aiff->GetImage(), 54);
}

TEST(AIFFFileRead, HeaderTestAndMacBinary)
{
    const auto good = plainStereo16();
    EXPECT_EQ(parse({}), "Corrupt AIFF file.");
    EXPECT_EQ(parse(std::vector<uint8_t>(100, 0)), "Corrupt AIFF file.");
    EXPECT_EQ(parse(std::vector<uint8_t>(128, 0)), "Corrupt AIFF file.");
    EXPECT_EQ(parse(patched(good, 8, {'A', 'I', 'F', 'X'})), "Corrupt AIFF file.");
    const auto mac = withMacBinary(good);
    auto aiff = TAIFFFile::CreateFromImage(mac.data(), mac.size());
    EXPECT_EQ(aiff->GetImage(), mac.data() + 128);
    EXPECT_EQ(aiff->GetImageSize(), good.size());
    EXPECT_EQ(aiff->GetSampleData() - aiff->GetImage(), 54); // where a player streams from
    EXPECT_EQ(parse(prefix(mac, 128 + 53)), "Corrupt AIFF file.");
}

TEST(AIFFFileRead, TruncatedAtEveryLength)
{
    const auto bytes = aifcMono8(); // FVER 12..23, NAME 24..37, COMM 38..69, SSND 70..89
    for (size_t n = 0; n < bytes.size(); ++n) {
        std::string expected;
        if (n < 54)
            expected = "Corrupt AIFF file.";
        else if (n < 70)
            expected = "AIFF file is corrupt. (Chunk COMM)";
        else if (n < 78)
            expected = "AIFF file contains no SSND chunk.";
        else if (n < 89)
            expected = "AIFF file is corrupt. (Chunk SSND)";
        else
            expected = "accepted"; // only the pad byte is missing
        EXPECT_EQ(parse(prefix(bytes, n)), expected) << "length " << n;
    }
}

TEST(AIFFFileRead, ChunksLyingAboutTheirLength)
{
    const auto good = plainStereo16();
    EXPECT_EQ(parse(patched(good, 42, {0, 0, 0, 17})), "AIFF file is corrupt. (Chunk SSND)");
    EXPECT_EQ(parse(patched(good, 42, {0xFF, 0xFF, 0xFF, 0xFF})), "AIFF file is corrupt. (Chunk SSND)");
    EXPECT_EQ(parse(patched(good, 16, {0xFF, 0xFF, 0xFF, 0xF0})), "AIFF file is corrupt. (Chunk COMM)");
    // A COMM claiming 2 bytes at the end of the file: its 18 body bytes are not there.
    // clang-format off
    const auto shortComm = TBytes()
        .id("FORM").be32(0).id("AIFF")
        .id("SSND").be32(8).be32(0).be32(0)
        .id("ANNO").be32(12).fill(12)
        .id("COMM").be32(2).be16(1);
    // clang-format on
    EXPECT_EQ(parse(shortComm), "AIFF file is corrupt. (Chunk COMM)");
    // A name chunk near 4 GiB ends the walk instead of wrapping onto a COMM planted in an
    // annotation, or looping.
    // clang-format off
    const auto wrap = TBytes()
        .id("FORM").be32(0).id("AIFF")
        .id("ANNO").be32(26)         // 12: an annotation whose body looks like a chunk
        .id("COMM").be32(18).be16(1).be32(0).be16(8).rate44100() // 20
        .id("SSND").be32(8).be32(0).be32(0) // 46
        .id("NAME").be32(0xFFFFFFCE); // 62: 62 + 8 + 0xFFFFFFCE wraps to 20 in 32 bits
    // clang-format on
    EXPECT_EQ(parse(wrap), "AIFF file contains no common chunk.");
    EXPECT_EQ(parse(patched(wrap, 66, {0xFF, 0xFF, 0xFF, 0xF8})), "AIFF file contains no common chunk.");
    EXPECT_EQ(parse(patched(wrap, 66, {0xFF, 0xFF, 0xFF, 0xFF})), "AIFF file contains no common chunk.");
}

TEST(AIFFFileWrite, HeaderBytes)
{
    const int16_t samples[] = {100, -100, 32767}; // WAV family, host order (little-endian)
    TAudioFormat source{1, 16, 44100, 3, false, 6, reinterpret_cast<const uint8_t *>(samples)};
    auto aiff = TAIFFFile::CreateNew(source, 1, 16);
    const std::vector<uint8_t> image(aiff->GetImage(), aiff->GetImage() + aiff->GetImageSize());
    // clang-format off
    const std::vector<uint8_t> expected = TBytes()
        .id("FORM").be32(52)         // 60 - 8
        .id("AIFF")
        .id("COMM").be32(18)
        .be16(1)                     // channels
        .be32(3)                     // frames
        .be16(16)                    // bits
        .rate44100()
        .id("SSND").be32(14)         // 6 sample bytes + 8
        .be32(0).be32(0)
        .be16(100).be16(uint16_t(-100)).be16(32767);
    // clang-format on
    EXPECT_EQ(image, expected);
}

TEST(AIFFFileWrite, OddSampleBytesArePadded)
{
    const uint8_t samples[] = {0x80, 0xFF, 0x00}; // WAV 8-bit: 0, 127, -128
    TAudioFormat source{1, 8, 8000, 3, false, 3, samples};
    auto aiff = TAIFFFile::CreateNew(source, 1, 8);
    ASSERT_EQ(aiff->GetImageSize(), 58u);
    const uint8_t *p = aiff->GetImage();
    EXPECT_EQ(p[45], 12); // SSND length: 3 samples + pad + 8
    EXPECT_EQ(p[7], 50);  // FORM length
    EXPECT_EQ(std::vector<uint8_t>(p + 54, p + 58), (std::vector<uint8_t>{0x00, 0x7F, 0x80, 0x00}));
    EXPECT_EQ(aiff->GetFrameCount(), 3); // from COMM, not from the padded length
}

TEST(AIFFFileWrite, BadRequests)
{
    const uint8_t samples[4] = {};
    TAudioFormat source{1, 16, 44100, 2, false, 4, samples};
    auto message = [&](int channels, int bits) -> std::string {
        try {
            TAIFFFile::CreateNew(source, channels, bits);
        } catch (const EModwright &e) {
            return e.what();
        }
        return "built";
    };
    EXPECT_EQ(message(4, 16), "Cannot create AIFF file with 4 Channels.");
    EXPECT_EQ(message(2, 32), "Cannot create AIFF file with 32 bits per sample.");
    source.SampleRate = 0;
    try {
        TAIFFFile::CreateNew(source, 1, 16);
        ADD_FAILURE() << "built";
    } catch (const EAssertionFailed &e) {
        EXPECT_EQ(e.unit(), "AudioTypes");
    }
}

TEST(AIFFFileWrite, RoundTripThroughDisk)
{
    TTestDir dir;
    std::vector<uint8_t> samples; // 8-bit WAV stereo
    for (int i = 0; i < 255; ++i) {
        samples.push_back(uint8_t(i));
        samples.push_back(uint8_t(255 - i));
    }
    for (uint32_t rate : {1u, 8000u, 22050u, 44100u, 48000u, 96000u, 4294967295u}) {
        TAudioFormat source{2, 8, rate, 255, false, 510, samples.data()};
        const QString path = dir.file(QString("r%1.aif").arg(rate));
        TAIFFFile::CreateNew(source, 1, 16)->SaveToFile(path);
        auto aiff = TAIFFFile::CreateFromFile(path);
        const TAudioFormat f = aiff->GetFormat();
        EXPECT_EQ(f.SampleRate, rate);
        EXPECT_EQ(f.Channels, 1);
        EXPECT_EQ(f.BitsPerSample, 16);
        EXPECT_EQ(f.FrameCount, 255);
        EXPECT_EQ(f.DataSize, 510);
        // Frame 0: (-128 * 256 + 127 * 256) / 2 = -128, big-endian.
        EXPECT_EQ(f.Data[0], 0xFF);
        EXPECT_EQ(f.Data[1], 0x80);
    }
}

TEST(ExtendedRate, WrittenBytes)
{
    uint8_t x[10];
    WriteExtendedRate(44100, x);
    EXPECT_EQ(std::vector<uint8_t>(x, x + 10),
              (std::vector<uint8_t>{0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}));
    WriteExtendedRate(22050, x);
    EXPECT_EQ(std::vector<uint8_t>(x, x + 10),
              (std::vector<uint8_t>{0x40, 0x0D, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}));
    WriteExtendedRate(1, x);
    EXPECT_EQ(std::vector<uint8_t>(x, x + 10), (std::vector<uint8_t>{0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}));
    WriteExtendedRate(4294967295u, x);
    EXPECT_EQ(std::vector<uint8_t>(x, x + 10),
              (std::vector<uint8_t>{0x40, 0x1E, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}));
    EXPECT_THROW(WriteExtendedRate(0, x), EAssertionFailed);
}

TEST(ExtendedRate, ReadValues)
{
    auto read = [](std::initializer_list<uint8_t> bytes) {
        std::vector<uint8_t> v(bytes);
        return ReadExtendedRate(v.data());
    };
    EXPECT_EQ(read({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 44100u);
    EXPECT_EQ(read({0x40, 0x0E, 0xAC, 0x44, 0x80, 0, 0, 0, 0, 0}), 44100u);    // 44100.5 truncated
    EXPECT_EQ(read({0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0xFF, 0xFF}), 44100u); // low word ignored
    EXPECT_EQ(read({0xC0, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0}), 44100u);       // sign ignored
    EXPECT_EQ(read({0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}), 1u);
    EXPECT_EQ(read({0x3F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}), 1u); // 1.99..
    EXPECT_EQ(read({0x40, 0x1E, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}), 4294967295u);
    // Outside what a whole 32-bit rate holds: no shift wraps round to a made-up value.
    EXPECT_EQ(read({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), 0u);                   // zero
    EXPECT_EQ(read({0x3F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0}), 0u);          // 0.5
    EXPECT_EQ(read({0x40, 0x1F, 0x80, 0, 0, 0, 0, 0, 0, 0}), 4294967295u); // 2^32
    EXPECT_EQ(read({0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0}), 4294967295u); // infinity
    for (uint32_t rate = 1; rate < 200000; rate += 7) {
        uint8_t x[10];
        WriteExtendedRate(rate, x);
        ASSERT_EQ(ReadExtendedRate(x), rate);
    }
}
