// Files written by another program (SoX, see tests/data/sox/README.md) read with the
// format, sample offset and sample values that program reports for them.

#include "formats/AIFFFile.h"
#include "formats/WaveFile.h"

#include <gtest/gtest.h>

namespace {

QString soxFile(const char *name)
{
    return QString(MODWRIGHT_TEST_DATA) + "/sox/" + name;
}

int16_t be16At(const uint8_t *p, int sample)
{
    return int16_t((p[2 * sample] << 8) | p[2 * sample + 1]);
}

// The drum conversion of a mod build: to 16-bit mono AIFF, which reads back intact.
void convertsForAMod(const TAudioFileBase &file)
{
    const TAudioFormat f = file.GetFormat();
    auto aiff = TAIFFFile::CreateNew(f, 1, 16);
    auto back = TAIFFFile::CreateFromImage(aiff->GetImage(), aiff->GetImageSize());
    EXPECT_EQ(back->GetFrameCount(), f.FrameCount);
    EXPECT_EQ(back->GetFormat().SampleRate, f.SampleRate);
}

} // namespace

TEST(SoxFiles, EightBitMonoWaveWithListChunk)
{
    auto wav = TWaveFile::CreateFromFile(soxFile("u8-mono-list.wav"));
    const TAudioFormat f = wav->GetFormat();
    EXPECT_EQ(f.Channels, 1);
    EXPECT_EQ(f.BitsPerSample, 8);
    EXPECT_EQ(f.SampleRate, 22050u);
    EXPECT_EQ(f.FrameCount, 223);
    EXPECT_EQ(f.DataSize, 223);
    EXPECT_EQ(wav->GetSampleData() - wav->GetImage(), 12 + 24 + 30 + 8); // after the LIST
    EXPECT_EQ(f.Data[0], 0x80);
    EXPECT_EQ(f.Data[1], 0x8B);
    EXPECT_EQ(f.Data[2], 0x97);
    convertsForAMod(*wav);
}

TEST(SoxFiles, SixteenBitStereoAiff)
{
    auto aiff = TAIFFFile::CreateFromFile(soxFile("s16-stereo.aiff"));
    const TAudioFormat f = aiff->GetFormat();
    EXPECT_FALSE(aiff->IsAIFC());
    EXPECT_EQ(f.Channels, 2);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.SampleRate, 44100u);
    EXPECT_EQ(f.FrameCount, 220);
    EXPECT_EQ(f.DataSize, 880);
    EXPECT_EQ(aiff->GetSampleData() - aiff->GetImage(), 88); // after SoX's COMT chunk
    EXPECT_EQ(be16At(f.Data, 0), 47);
    EXPECT_EQ(be16At(f.Data, 1), 70);
    EXPECT_EQ(be16At(f.Data, 2), 1429);
    EXPECT_EQ(be16At(f.Data, 3), 2142);
    convertsForAMod(*aiff);
}

TEST(SoxFiles, UncompressedAifc)
{
    auto aiff = TAIFFFile::CreateFromFile(soxFile("s16-mono-none.aifc"));
    const TAudioFormat f = aiff->GetFormat();
    EXPECT_TRUE(aiff->IsAIFC());
    EXPECT_EQ(f.Channels, 1);
    EXPECT_EQ(f.BitsPerSample, 16);
    EXPECT_EQ(f.SampleRate, 48000u);
    EXPECT_EQ(f.FrameCount, 240);
    EXPECT_EQ(be16At(f.Data, 0), 1);
    EXPECT_EQ(be16At(f.Data, 1), 4277);
    EXPECT_EQ(be16At(f.Data, 2), 8481);
    convertsForAMod(*aiff);
}
