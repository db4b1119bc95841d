// Every source layout on its way into the mixer's float stereo path, the mix itself and the
// conversion of the mix to the device's 16-bit samples.

#include "AudioTestSupport.h"
#include "audio/AIFFStream.h"
#include "audio/AudioPlayer.h"
#include "audio/MixerStream.h"
#include "audio/WaveStream.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

namespace {

struct TLayoutCase {
    const char *name;
    bool aiff;
    int channels;
    int bits;
    QByteArray samples;                // as stored in the file
    std::vector<float> expectedStereo; // what the stereo mixer delivers
};

std::vector<TLayoutCase> LayoutCases()
{
    const auto b = [](std::initializer_list<uint8_t> v) {
        QByteArray a;
        for (uint8_t x : v)
            a.append(char(x));
        return a;
    };
    return {
        // WAV 8-bit is unsigned with silence at 128.
        {"wav8mono",
         false,
         1,
         8,
         b({0x80, 0x00, 0xFF, 0x81}),
         {0, 0, -32768, -32768, 32512, 32512, 256, 256}},
        {"wav8stereo", false, 2, 8, b({0x80, 0x00, 0xFF, 0x7F}), {0, -32768, 32512, -256}},
        // WAV 16-bit is signed little-endian.
        {"wav16mono",
         false,
         1,
         16,
         b({0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F}),
         {4660, 4660, -32768, -32768, 32767, 32767}},
        {"wav16stereo",
         false,
         2,
         16,
         b({0x34, 0x12, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x80}),
         {4660, -1, 1, -32768}},
        // AIFF 8-bit is signed.
        {"aiff8mono",
         true,
         1,
         8,
         b({0x80, 0x00, 0x7F, 0xFF}),
         {-32768, -32768, 0, 0, 32512, 32512, -256, -256}},
        {"aiff8stereo", true, 2, 8, b({0x80, 0x01, 0x7F, 0xFF}), {-32768, 256, 32512, -256}},
        // AIFF 16-bit is signed big-endian.
        {"aiff16mono",
         true,
         1,
         16,
         b({0x12, 0x34, 0x80, 0x00, 0x7F, 0xFF}),
         {4660, 4660, -32768, -32768, 32767, 32767}},
        {"aiff16stereo",
         true,
         2,
         16,
         b({0x12, 0x34, 0xFF, 0xFF, 0x00, 0x01, 0x80, 0x00}),
         {4660, -1, 1, -32768}},
    };
}

TEST(SourceLayouts, EveryLayoutReachesTheStereoMixWithExactValues)
{
    TTestDir dir;
    for (const TLayoutCase &c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        const QString file =
            c.aiff ? dir.createFile(QString(c.name) + ".aif", AiffImage(c.channels, c.bits, 44100, c.samples))
                   : dir.createFile(QString(c.name) + ".wav", WavImage(c.channels, c.bits, 44100, c.samples));
        std::unique_ptr<TAudioStream> voice;
        if (c.aiff)
            voice = std::make_unique<TAIFFStream>(file);
        else
            voice = std::make_unique<TWaveStream>(file);
        EXPECT_EQ(voice->Channels(), c.channels);
        EXPECT_EQ(voice->SampleRate(), 44100);

        TMixerStream mixer(2, 44100);
        mixer.AddVoice(std::move(voice));
        const int frames = int(c.expectedStereo.size() / 2);
        std::vector<float> out(size_t(frames + 3) * 2, 99.0f);
        EXPECT_EQ(mixer.Read(out.data(), frames + 3), frames + 3);
        std::vector<float> expected = c.expectedStereo;
        expected.resize(out.size(), 0.0f); // the voice has ended: silence after it
        EXPECT_EQ(out, expected);
        EXPECT_EQ(mixer.VoiceCount(), 0); // and it has been freed
    }
}

TEST(SourceLayouts, EveryLayoutPlaysOutAsExactSixteenBitStereo)
{
    TTestDir dir;
    for (const TLayoutCase &c : LayoutCases()) {
        SCOPED_TRACE(c.name);
        const QString file = c.aiff ? dir.createFile("d.aif", AiffImage(c.channels, c.bits, 44100, c.samples))
                                    : dir.createFile("d.WAV", WavImage(c.channels, c.bits, 44100, c.samples));
        TRecorderScope scope;
        TAudioPlayer player;
        player.Mixer().AddVoice(c.aiff ? std::unique_ptr<TAudioStream>(new TAIFFStream(file))
                                       : std::unique_ptr<TAudioStream>(new TWaveStream(file)));
        std::vector<uint8_t> block(64, 0xAA);
        player.FillBuffer(block.data(), uint32_t(block.size()));
        std::vector<int16_t> expected(32, 0);
        for (size_t i = 0; i < c.expectedStereo.size(); ++i)
            expected[i] = int16_t(c.expectedStereo[i]);
        EXPECT_EQ(AsPcm16(block), expected);
    }
}

// A voice of constant frames that ends after Frames frames and counts its destruction.
class TConstantVoice : public TAudioStream {
public:
    TConstantVoice(int channels, int frames, std::vector<float> frame, int *freed = nullptr)
        : TAudioStream(channels, 44100), left_(frames), frame_(std::move(frame)), freed_(freed)
    {
    }
    ~TConstantVoice() override
    {
        if (freed_)
            ++*freed_;
    }
    int Read(float *buffer, int frames) override
    {
        ++reads;
        const int n = std::min(frames, left_);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < Channels(); ++c)
                buffer[i * Channels() + c] = frame_[size_t(c)];
        left_ -= n;
        return n;
    }
    int reads = 0;

private:
    int left_;
    std::vector<float> frame_;
    int *freed_;
};

TEST(Mixer, SumsVoicesWithoutGainOrLimiting)
{
    TMixerStream mixer(2, 44100);
    mixer.AddVoice(std::make_unique<TConstantVoice>(2, 10, std::vector<float>{30000, -30000}));
    mixer.AddVoice(std::make_unique<TConstantVoice>(1, 10, std::vector<float>{20000}));
    std::vector<float> out(8);
    mixer.Read(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{50000, -10000, 50000, -10000, 50000, -10000, 50000, -10000}));
    EXPECT_EQ(mixer.VoiceCount(), 2);
}

TEST(Mixer, AStereoVoiceInAMonoMixIsAveraged)
{
    TMixerStream mixer(1, 44100);
    mixer.AddVoice(std::make_unique<TConstantVoice>(2, 3, std::vector<float>{1000, 3001}));
    std::vector<float> out(4, 7.0f);
    mixer.Read(out.data(), 4);
    EXPECT_EQ(out, (std::vector<float>{2000.5f, 2000.5f, 2000.5f, 0.0f}));
}

TEST(Mixer, OtherChannelCombinationsAddNothing)
{
    TMixerStream mixer(2, 44100);
    mixer.AddVoice(std::make_unique<TConstantVoice>(3, 100, std::vector<float>{1, 2, 3}));
    std::vector<float> out(8, 5.0f);
    mixer.Read(out.data(), 4);
    EXPECT_EQ(out, std::vector<float>(8, 0.0f));
    EXPECT_EQ(mixer.VoiceCount(), 1); // still playing, though unheard
}

TEST(Mixer, EndedVoicesAreFreedAndTheOthersKeepTheirOrder)
{
    int freed = 0;
    TMixerStream mixer(1, 44100);
    mixer.AddVoice(std::make_unique<TConstantVoice>(1, 2, std::vector<float>{1}, &freed));
    mixer.AddVoice(std::make_unique<TConstantVoice>(1, 100, std::vector<float>{10}, &freed));
    mixer.AddVoice(std::make_unique<TConstantVoice>(1, 3, std::vector<float>{100}, &freed));
    std::vector<float> out(4);
    EXPECT_EQ(mixer.Read(out.data(), 4), 4);
    EXPECT_EQ(out, (std::vector<float>{111, 111, 110, 10}));
    EXPECT_EQ(freed, 2);
    EXPECT_EQ(mixer.VoiceCount(), 1);
    mixer.Clear();
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(mixer.VoiceCount(), 0);
    EXPECT_EQ(mixer.Read(out.data(), 4), 4); // an empty mix is silence
    EXPECT_EQ(out, std::vector<float>(4, 0.0f));
}

TEST(Mixer, ABlockLargerThanTheScratchMemoryIsRefused)
{
    TMixerStream mixer(2, 44100);
    std::vector<float> out(100000);
    EXPECT_NO_THROW(mixer.Read(out.data(), TMixerStream::ScratchSize / 2));
    EXPECT_THROW(mixer.Read(out.data(), TMixerStream::ScratchSize / 2 + 1), EAssertionFailed);
}

TEST(Mixer, AWideVoiceInANarrowMixIsReadInPiecesThatFit)
{
    // 96000 mono frames of a stereo voice need twice the scratch block.
    TMixerStream mixer(1, 44100);
    auto voice = std::make_unique<TConstantVoice>(2, 200000, std::vector<float>{2, 4});
    TConstantVoice *raw = voice.get();
    mixer.AddVoice(std::move(voice));
    std::vector<float> out(TMixerStream::ScratchSize, 0.0f);
    mixer.Read(out.data(), TMixerStream::ScratchSize);
    EXPECT_EQ(raw->reads, 2);
    EXPECT_EQ(out.front(), 3.0f);
    EXPECT_EQ(out.back(), 3.0f);
}

TEST(PcmConversion, ClipsAndRoundsToNearestEven)
{
    const std::vector<float> in = {40000.0f, -40000.0f, 2.5f,     3.5f,      -2.5f,     0.5f,
                                   1.5f,     32767.4f,  32767.6f, -32768.0f, -32768.6f, -1.0f};
    std::vector<uint8_t> out(in.size() * 2);
    FloatsToPcm16(in.data(), out.data(), in.size());
    EXPECT_EQ(AsPcm16(out),
              (std::vector<int16_t>{32767, -32768, 2, 4, -2, 0, 2, 32767, 32767, -32768, -32768, -1}));
    EXPECT_EQ(out[0], 0xFF); // little-endian
    EXPECT_EQ(out[1], 0x7F);
}

TEST(PcmConversion, ExpandingInPlaceKeepsEverySample)
{
    // 1000 16-bit samples at the start of a float block become 1000 floats.
    std::vector<float> block(1000);
    auto *bytes = reinterpret_cast<unsigned char *>(block.data());
    for (int i = 0; i < 1000; ++i) {
        const int16_t v = int16_t(i * 61 - 30000);
        bytes[2 * i] = uint8_t(v);
        bytes[2 * i + 1] = uint8_t(uint16_t(v) >> 8);
    }
    ExpandSamples(block.data(), 1000, 16, false);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(block[size_t(i)], float(i * 61 - 30000)) << i;
}

} // namespace
