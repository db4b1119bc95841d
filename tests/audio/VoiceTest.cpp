// The voices: what they accept, the messages for files they cannot play, and files that
// change under them while they play.

#include "AudioTestSupport.h"
#include "audio/AIFFStream.h"
#include "audio/WaveStream.h"
#include "support/TestDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

template <class TVoice> std::string CreationMessage(const QString &file)
{
    try {
        TVoice voice(file);
    } catch (const EModwright &e) {
        return e.what();
    }
    return "accepted";
}

std::vector<float> ReadAll(TAudioStream &voice, int block = 1000)
{
    std::vector<float> all, buffer(size_t(block) * 2);
    for (;;) {
        const int n = voice.Read(buffer.data(), block);
        all.insert(all.end(), buffer.begin(), buffer.begin() + n * voice.Channels());
        if (n < block)
            return all;
    }
}

class WaveVoice : public ::testing::Test {
protected:
    std::string message(const QString &name, const QByteArray &bytes)
    {
        return CreationMessage<TWaveStream>(dir.createFile(name, bytes));
    }
    TTestDir dir;
    const QByteArray mono = Pcm16({1, 2, 3}, false);
};

TEST_F(WaveVoice, NamesTheFileInEveryMessage)
{
    const QString p = dir.path() + "/";
    const std::string s = p.toStdString();
    EXPECT_EQ(message("text.wav", "just some text, no RIFF at all"),
              s + "text.wav is not a valid Wavefile (RIFF/WAVE chunk not found)");
    QByteArray avi = WavImage(1, 16, 44100, mono);
    avi.replace(8, 4, "AVI ");
    EXPECT_EQ(message("avi.wav", avi), s + "avi.wav is not a valid Wavefile (RIFF/WAVE chunk not found)");

    TSampleBytes noFmt;
    noFmt.id("RIFF").le32(4 + 8 + 6).id("WAVE").id("data").le32(6).raw(mono);
    EXPECT_EQ(message("nofmt.wav", noFmt.b),
              s + "nofmt.wav is not a valid Wavefile ('fmt ' chunk not found)");

    TSampleBytes shortFmt; // a 14-byte format body has no bits per sample
    shortFmt.id("RIFF")
        .le32(4 + 22)
        .id("WAVE")
        .id("fmt ")
        .le32(14)
        .le16(1)
        .le16(1)
        .le32(44100)
        .le32(88200)
        .le16(2);
    shortFmt.id("data").le32(6).raw(mono);
    EXPECT_EQ(message("short.wav", shortFmt.b), "Error reading from " + s + "short.wav (format chunk)");
    EXPECT_EQ(message("cut.wav", WavImage(1, 16, 44100, mono).left(30)),
              "Error reading from " + s + "cut.wav (format chunk)");

    EXPECT_EQ(message("float.wav", WavImage(1, 16, 44100, mono, 3)),
              "Format of " + s + "float.wav is not supported.");
    EXPECT_EQ(message("ext.wav", WavImage(1, 16, 44100, mono, 0xFFFE)),
              "Format of " + s + "ext.wav is not supported.");
    EXPECT_EQ(message("w24.wav", WavImage(1, 24, 44100, QByteArray(9, 1))),
              "Format of " + s + "w24.wav is not supported.");
    EXPECT_EQ(message("c3.wav", WavImage(3, 16, 44100, QByteArray(12, 1))),
              "Format of " + s + "c3.wav is not supported.");
    EXPECT_EQ(message("c0.wav", WavImage(0, 16, 44100, QByteArray(12, 1))),
              "Format of " + s + "c0.wav is not supported.");

    EXPECT_EQ(message("nodata.wav", WavImage(1, 16, 44100, mono).left(36)),
              s + "nodata.wav is not a valid Wavefile (data chunk not found)");
    EXPECT_EQ(message("empty.wav", WavImage(1, 16, 44100, {})),
              s + "empty.wav is not a valid Wavefile (data chunk has zero length)");
    EXPECT_EQ(message("onebyte.wav", WavImage(1, 16, 44100, QByteArray(1, 1))),
              s + "onebyte.wav is not a valid Wavefile (data chunk has zero length)");

    EXPECT_EQ(CreationMessage<TWaveStream>(p + "missing.wav"), "Couldn't open " + s + "missing.wav");
    EXPECT_EQ(CreationMessage<TWaveStream>(dir.createDir("folder.wav")), "Couldn't open " + s + "folder.wav");
    EXPECT_EQ(message("zero.wav", {}), s + "zero.wav is not a valid Wavefile (RIFF/WAVE chunk not found)");
}

TEST_F(WaveVoice, FindsItsChunksInAnyOrderAndBehindAMacBinaryHeader)
{
    // data before fmt, with an odd-length LIST chunk and its pad byte in front.
    TSampleBytes w;
    w.id("RIFF").le32(0).id("WAVE");
    w.id("LIST").le32(3).raw("abc").raw(QByteArray(1, 0));
    w.id("data").le32(6).raw(mono);
    w.id("fmt ").le32(16).le16(1).le16(1).le32(44100).le32(88200).le16(2).le16(16);
    TWaveStream reordered(dir.createFile("order.wav", w.b));
    EXPECT_EQ(ReadAll(reordered), (std::vector<float>{1, 2, 3}));

    QByteArray mac(128, '\0');
    mac[1] = 7;
    TWaveStream behind(dir.createFile("mac.wav", mac + WavImage(1, 16, 44100, mono)));
    EXPECT_EQ(behind.DataStart(), 128 + 44);
    EXPECT_EQ(ReadAll(behind), (std::vector<float>{1, 2, 3}));
}

TEST_F(WaveVoice, ReportsItsFormatAndNeverReadsPastTheData)
{
    TSampleBytes w; // a chunk after the data must not be played
    w.raw(WavImage(2, 8, 22050, QByteArray("\x80\x80\x90\x70", 4))).id("junk").le32(4).raw("zzzz");
    TWaveStream voice(dir.createFile("v.wav", w.b));
    EXPECT_EQ(voice.Channels(), 2);
    EXPECT_EQ(voice.SampleRate(), 22050);
    EXPECT_EQ(voice.BitsPerSample(), 8);
    EXPECT_EQ(voice.TotalFrames(), 2u);
    std::vector<float> out(20);
    EXPECT_EQ(voice.Read(out.data(), 10), 2);
    EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 4), (std::vector<float>{0, 0, 4096, -4096}));
    EXPECT_EQ(voice.Read(out.data(), 10), 0);
}

TEST_F(WaveVoice, AFileThatShrinksWhilePlayingEndsTheVoiceEarly)
{
    const std::vector<int16_t> drum = RampDrum(30000);
    const QString file = dir.createFile("shrink.wav", WavImage(1, 16, 44100, Pcm16(drum, false)));
    TWaveStream voice(file);
    std::vector<float> out(20000);
    ASSERT_EQ(voice.Read(out.data(), 10000), 10000);
    ASSERT_TRUE(QFile::resize(file, 44 + 2 * 15000 + 1)); // 15000 frames and half a frame left
    // What the file buffer already held still plays; then the voice ends, short of the
    // frames its header promised.
    const int n = voice.Read(out.data(), 10000);
    EXPECT_GE(n, 5000);
    EXPECT_LT(n, 10000);
    for (int i = 0; i < n; ++i)
        ASSERT_EQ(out[size_t(i)], float(drum[size_t(10000 + i)])) << i;
    EXPECT_EQ(voice.Read(out.data(), 10000), 0);
}

TEST_F(WaveVoice, AFileDeletedWhilePlayingPlaysToItsEnd)
{
    const std::vector<int16_t> drum = RampDrum(3000);
    const QString file = dir.createFile("gone.wav", WavImage(1, 16, 44100, Pcm16(drum, false)));
    TWaveStream voice(file);
    std::vector<float> out(1000);
    ASSERT_EQ(voice.Read(out.data(), 1000), 1000);
    ASSERT_TRUE(QFile::remove(file));
    const std::vector<float> rest = ReadAll(voice);
    ASSERT_EQ(rest.size(), 2000u);
    EXPECT_EQ(rest.back(), float(drum.back()));
}

TEST_F(WaveVoice, ADataChunkLongerThanTheFileEndsWhereTheFileEnds)
{
    QByteArray image = WavImage(1, 16, 44100, Pcm16(RampDrum(100), false));
    image.chop(50); // 75 frames left
    TWaveStream voice(dir.createFile("trunc.wav", image));
    EXPECT_EQ(voice.TotalFrames(), 100u);
    EXPECT_EQ(ReadAll(voice, 64).size(), 75u);
}

class AiffVoice : public ::testing::Test {
protected:
    TTestDir dir;
};

TEST_F(AiffVoice, GivesTheReadersMessagesAndItsOwnForAnEmptySound)
{
    const std::string s = dir.path().toStdString() + "/";
    EXPECT_EQ(CreationMessage<TAIFFStream>(dir.createFile("bad.aif", QByteArray(200, 'x'))),
              "Corrupt AIFF file.");
    EXPECT_EQ(CreationMessage<TAIFFStream>(dir.file("missing.aif")), "Couldn't open " + s + "missing.aif.");
    EXPECT_EQ(CreationMessage<TAIFFStream>(dir.createFile("empty.aif", AiffImage(1, 16, 44100, {}))),
              s + "empty.aif is not a valid AIFFFile (data chunk has zero length)");
    QByteArray halfMissing = AiffImage(2, 16, 44100, Pcm16(RampDrum(20), true));
    halfMissing.replace(22, 4, QByteArray("\0\0\0\x14", 4)); // COMM claims 20 stereo frames
    EXPECT_EQ(CreationMessage<TAIFFStream>(dir.createFile("half.aif", halfMissing)),
              "SSND chunk is too small.");
}

TEST_F(AiffVoice, StreamsTheSamplesFromTheRightOffset)
{
    const std::vector<int16_t> drum = RampDrum(500);
    QByteArray mac(128, '\0');
    mac[1] = 7;
    for (const QByteArray &prefix : {QByteArray(), mac}) {
        TAIFFStream voice(dir.createFile("d.aif", prefix + AiffImage(1, 16, 44100, Pcm16(drum, true))));
        EXPECT_EQ(voice.DataStart(), prefix.size() + 54);
        const std::vector<float> all = ReadAll(voice, 128);
        ASSERT_EQ(all.size(), drum.size());
        for (size_t i = 0; i < drum.size(); ++i)
            ASSERT_EQ(all[i], float(drum[i])) << i;
    }
}

TEST_F(AiffVoice, ASoundDataOffsetFieldIsNotApplied)
{
    QByteArray image = AiffImage(1, 8, 44100, QByteArray("\x01\x02\x03\x04", 4));
    image.replace(46, 4, QByteArray("\0\0\0\x02", 4)); // SSND offset 2
    TAIFFStream voice(dir.createFile("off.aif", image));
    EXPECT_EQ(ReadAll(voice), (std::vector<float>{256, 512, 768, 1024}));
}

} // namespace
