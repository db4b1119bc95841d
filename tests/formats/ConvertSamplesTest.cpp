#include "formats/AudioFile.h"
#include "platform/Exception.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// An encoding: width and family.
struct TEnc {
    int bits;
    bool big;
};
constexpr TEnc W8{8, false};   // WAV 8-bit: unsigned, silence 0x80
constexpr TEnc A8{8, true};    // AIFF 8-bit: signed
constexpr TEnc W16{16, false}; // little-endian
constexpr TEnc A16{16, true};  // big-endian

using TBytesV = std::vector<uint8_t>;

// Converts and checks that exactly the destination's bytes were written: into buffers
// filled with two different patterns, every byte of the destination must come out the same
// (it was written, not left over) and every guard byte after it unchanged.
TBytesV convert(const TBytesV &source, int64_t frames, int sourceChannels, TEnc from, int destChannels,
                TEnc to)
{
    const size_t n = size_t(frames) * size_t(destChannels) * size_t(to.bits / 8);
    std::vector<TBytesV> outs;
    for (uint8_t fill : {uint8_t(0xA5), uint8_t(0x5A)}) {
        TBytesV out(n + 8, fill);
        ConvertSamples(source.data(), out.data(), frames, sourceChannels, destChannels, from.bits, to.bits,
                       from.big, to.big);
        for (size_t i = n; i < out.size(); ++i)
            EXPECT_EQ(out[i], fill) << "written past the destination at " << i;
        out.resize(n);
        outs.push_back(std::move(out));
    }
    EXPECT_EQ(outs[0], outs[1]) << "a destination byte was left unwritten";
    return outs[0];
}

TBytesV le(std::initializer_list<int> values)
{
    TBytesV out;
    for (int v : values) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(unsigned(v) >> 8));
    }
    return out;
}

TBytesV be(std::initializer_list<int> values)
{
    TBytesV out;
    for (int v : values) {
        out.push_back(uint8_t(unsigned(v) >> 8));
        out.push_back(uint8_t(v));
    }
    return out;
}

} // namespace

TEST(ConvertSamples, SameLayoutIsACopy)
{
    const TBytesV any{0x00, 0x80, 0xFF, 0x7F, 0x12, 0x34};
    EXPECT_EQ(convert(any, 6, 1, W8, 1, W8), any);
    EXPECT_EQ(convert(any, 3, 2, A8, 2, A8), any);
    EXPECT_EQ(convert(any, 3, 1, W16, 1, W16), any);
    EXPECT_EQ(convert(any, 1, 2, A16, 2, A16), TBytesV(any.begin(), any.begin() + 4));
}

TEST(ConvertSamples, OtherFamilySameLayout)
{
    // 8-bit: XOR 0x80 either way.
    EXPECT_EQ(convert({0x00, 0x80, 0xFF, 0x7F}, 4, 1, W8, 1, A8), (TBytesV{0x80, 0x00, 0x7F, 0xFF}));
    EXPECT_EQ(convert({0x80, 0x00, 0x7F, 0xFF}, 2, 2, A8, 2, W8), (TBytesV{0x00, 0x80, 0xFF, 0x7F}));
    // 16-bit: the bytes of each sample swapped.
    EXPECT_EQ(convert({0x12, 0x34, 0xFF, 0x80}, 2, 1, W16, 1, A16), (TBytesV{0x34, 0x12, 0x80, 0xFF}));
    EXPECT_EQ(convert({0x12, 0x34, 0xFF, 0x80}, 1, 2, A16, 2, W16), (TBytesV{0x34, 0x12, 0x80, 0xFF}));
}

TEST(ConvertSamples, EightToSixteen)
{
    // v * 256, low byte zero: -128 -> -32768, 127 -> 32512, 0 -> 0.
    EXPECT_EQ(convert({0x00, 0xFF, 0x80}, 3, 1, W8, 1, W16), le({-32768, 32512, 0}));
    EXPECT_EQ(convert({0x00, 0xFF, 0x80}, 3, 1, W8, 1, A16), be({-32768, 32512, 0}));
    EXPECT_EQ(convert({0x80, 0x7F, 0xFF}, 3, 1, A8, 1, W16), le({-32768, 32512, -256}));
    EXPECT_EQ(convert({0x80, 0x7F, 0xFF}, 3, 1, A8, 1, A16), be({-32768, 32512, -256}));
    // Stereo one to one.
    EXPECT_EQ(convert({0x81, 0x7F}, 1, 2, W8, 2, A16), be({256, -256}));
    // Mono to stereo: both channels.
    EXPECT_EQ(convert({0x81, 0x00}, 2, 1, W8, 2, W16), le({256, 256, -32768, -32768}));
    EXPECT_EQ(convert({0x01}, 1, 1, A8, 2, A16), be({256, 256}));
    // Stereo to mono scales first, then averages: the odd half survives.
    EXPECT_EQ(convert({0x7F, 0x81}, 1, 2, W8, 1, W16), le({0}));
    EXPECT_EQ(convert({0x7F, 0x80}, 1, 2, W8, 1, W16), le({-128})); // (-256 + 0) / 2
    EXPECT_EQ(convert({0x00, 0x00}, 1, 2, W8, 1, A16), be({-32768}));
    EXPECT_EQ(convert({0xFF, 0x00}, 1, 2, A8, 1, A16), be({-128})); // (-256 + 0) / 2
    EXPECT_EQ(convert({0x7F, 0x7F}, 1, 2, A8, 1, W16), le({32512}));
}

TEST(ConvertSamples, SixteenToEight)
{
    // The high byte, shifted arithmetically: -1 stays -1, 255 becomes 0, -256 becomes -1.
    EXPECT_EQ(convert(le({32767, -1, 255, -256, -32768, 256}), 6, 1, W16, 1, W8),
              (TBytesV{0xFF, 0x7F, 0x80, 0x7F, 0x00, 0x81}));
    EXPECT_EQ(convert(le({32767, -1, 255, -256, -32768, 256}), 6, 1, W16, 1, A8),
              (TBytesV{0x7F, 0xFF, 0x00, 0xFF, 0x80, 0x01}));
    EXPECT_EQ(convert(be({32767, -1}), 1, 2, A16, 2, W8), (TBytesV{0xFF, 0x7F}));
    // Mono to stereo: the byte twice.
    EXPECT_EQ(convert(be({0x1234}), 1, 1, A16, 2, A8), (TBytesV{0x12, 0x12}));
    EXPECT_EQ(convert(le({-32768}), 1, 1, W16, 2, W8), (TBytesV{0x00, 0x00}));
    // Stereo to mono averages first, then takes the high byte.
    EXPECT_EQ(convert(le({0x0180, 0x0080}), 1, 2, W16, 1, A8), (TBytesV{0x01})); // 0x0100 >> 8
    EXPECT_EQ(convert(le({-3, 0}), 1, 2, W16, 1, W8), (TBytesV{0x7F}));          // -1 >> 8 = -1
    EXPECT_EQ(convert(be({32767, 32767}), 1, 2, A16, 1, W8), (TBytesV{0xFF}));
    EXPECT_EQ(convert(be({-32768, 32767}), 1, 2, A16, 1, A8), (TBytesV{0x00})); // -1 / 2 = 0
}

TEST(ConvertSamples, EightBitChannelChanges)
{
    // Mono to stereo: re-encoded for the destination, twice.
    EXPECT_EQ(convert({0x00, 0xFF}, 2, 1, W8, 2, A8), (TBytesV{0x80, 0x80, 0x7F, 0x7F}));
    EXPECT_EQ(convert({0x00, 0xFF}, 2, 1, W8, 2, W8), (TBytesV{0x00, 0x00, 0xFF, 0xFF}));
    EXPECT_EQ(convert({0x80}, 1, 1, A8, 2, W8), (TBytesV{0x00, 0x00}));
    // Stereo to mono: (vL + vR) / 2 toward zero, re-encoded.
    EXPECT_EQ(convert({0x7F, 0x81}, 1, 2, W8, 1, W8), (TBytesV{0x80}));
    EXPECT_EQ(convert({0x00, 0x01}, 1, 2, W8, 1, W8), (TBytesV{0x01})); // (-128 - 127) / 2 = -127
    EXPECT_EQ(convert({0x00, 0x01}, 1, 2, W8, 1, A8), (TBytesV{0x81}));
    EXPECT_EQ(convert({0xFF, 0x00}, 1, 2, A8, 1, A8), (TBytesV{0x00})); // (-1 + 0) / 2 = 0
    EXPECT_EQ(convert({0x7F, 0x7F}, 1, 2, A8, 1, W8), (TBytesV{0xFF}));
}

TEST(ConvertSamples, SixteenBitChannelChanges)
{
    // Mono to stereo, swapped when the families differ.
    EXPECT_EQ(convert(le({0x1234}), 1, 1, W16, 2, A16), be({0x1234, 0x1234}));
    EXPECT_EQ(convert(le({-2}), 1, 1, W16, 2, W16), le({-2, -2}));
    EXPECT_EQ(convert(be({-2}), 1, 1, A16, 2, W16), le({-2, -2}));
    // Stereo to mono in the destination order.
    EXPECT_EQ(convert(le({-3, 0}), 1, 2, W16, 1, W16), le({-1}));
    EXPECT_EQ(convert(le({32767, 32767}), 1, 2, W16, 1, A16), be({32767}));
    EXPECT_EQ(convert(be({-32768, -32768}), 1, 2, A16, 1, W16), le({-32768}));
    EXPECT_EQ(convert(be({-32768, 32767}), 1, 2, A16, 1, A16), be({0}));
    EXPECT_EQ(convert(le({3, 0, -5, 2}), 2, 2, W16, 1, W16), le({1, -1}));
}

TEST(ConvertSamples, EveryCombinationWritesExactlyItsBytes)
{
    // 5 frames of stereo 16-bit is the largest source any combination reads.
    const TBytesV source(20, 0x5A);
    for (TEnc from : {W8, A8, W16, A16})
        for (TEnc to : {W8, A8, W16, A16})
            for (int sc : {1, 2})
                for (int dc : {1, 2}) {
                    // Exactly the bytes the source layout holds: a read past them is seen by
                    // the sanitizers; convert() checks every destination byte and none beyond.
                    const TBytesV exact(source.begin(), source.begin() + 5 * sc * from.bits / 8);
                    SCOPED_TRACE(std::to_string(from.bits) + (from.big ? "be" : "le") + " x" +
                                 std::to_string(sc) + " -> " + std::to_string(to.bits) +
                                 (to.big ? "be" : "le") + " x" + std::to_string(dc));
                    convert(exact, 5, sc, from, dc, to);
                }
}

TEST(ConvertSamples, InvalidLayoutsAreProgrammingErrors)
{
    uint8_t buffer[8] = {};
    EXPECT_THROW(ConvertSamples(buffer, buffer + 4, 1, 3, 1, 16, 16, false, false), EAssertionFailed);
    EXPECT_THROW(ConvertSamples(buffer, buffer + 4, 1, 1, 0, 16, 16, false, false), EAssertionFailed);
    EXPECT_THROW(ConvertSamples(buffer, buffer + 4, 1, 1, 1, 24, 16, false, false), EAssertionFailed);
    EXPECT_THROW(ConvertSamples(buffer, buffer + 4, 1, 1, 1, 16, 12, false, false), EAssertionFailed);
    EXPECT_THROW(ConvertSamples(buffer, buffer + 4, -1, 1, 1, 16, 16, false, false), EAssertionFailed);
    EXPECT_THROW(ConvertSamples(nullptr, buffer, 1, 1, 1, 16, 16, false, false), EAssertionFailed);
    EXPECT_NO_THROW(ConvertSamples(nullptr, nullptr, 0, 1, 1, 16, 16, false, false));
}
