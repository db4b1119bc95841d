// ConvertSamples: PCM conversion between channel counts, widths and encoding families.

#include "formats/AudioFile.h"
#include "platform/Exception.h"
#include "probe/AudioBytes.h"

#include <cstring>

namespace {

using namespace audiobytes;

// One sample encoding: reads a sample point as a signed value on its own scale (-128..127
// or -32768..32767) and writes such a value back.
template <int Bits, bool BigEndian> struct TCodec;

template <> struct TCodec<8, false> { // WAV: unsigned, silence 128
    static constexpr int Bits = 8;
    static int read(const uint8_t *p) { return int(p[0]) - 128; }
    static void write(uint8_t *p, int v) { p[0] = uint8_t(v + 128); }
};
template <> struct TCodec<8, true> { // AIFF: two's complement
    static constexpr int Bits = 8;
    static int read(const uint8_t *p) { return int8_t(p[0]); }
    static void write(uint8_t *p, int v) { p[0] = uint8_t(v); }
};
template <> struct TCodec<16, false> {
    static constexpr int Bits = 16;
    static int read(const uint8_t *p) { return int16_t(le16(p)); }
    static void write(uint8_t *p, int v) { putLe16(p, uint32_t(v)); }
};
template <> struct TCodec<16, true> {
    static constexpr int Bits = 16;
    static int read(const uint8_t *p) { return int16_t(be16(p)); }
    static void write(uint8_t *p, int v) { putBe16(p, uint32_t(v)); }
};

// A value on the source scale brought to the destination scale: 8 to 16 bits puts it in
// the high byte, 16 to 8 bits keeps the high byte (arithmetic shift: -1 stays -1).
template <class S, class D> int rescale(int v)
{
    if constexpr (S::Bits < D::Bits)
        return v * 256;
    else if constexpr (S::Bits > D::Bits)
        return v >> 8;
    else
        return v;
}

// Stereo to mono. Widening scales both sides first, so the odd half of the sum survives
// ((-1 * 256 + 0) / 2 = -128); narrowing averages on the source scale and then drops the
// low byte. Division truncates toward zero in both: (-3 + 0) / 2 = -1.
template <class S, class D> int mix(int left, int right)
{
    if constexpr (S::Bits < D::Bits)
        return (rescale<S, D>(left) + rescale<S, D>(right)) / 2;
    else
        return rescale<S, D>((left + right) / 2);
}

template <class S, class D> void sameChannels(const uint8_t *src, uint8_t *dst, int64_t points)
{
    constexpr int sstep = S::Bits / 8, dstep = D::Bits / 8;
    for (int64_t i = 0; i < points; ++i, src += sstep, dst += dstep)
        D::write(dst, rescale<S, D>(S::read(src)));
}

template <class S, class D> void monoToStereo(const uint8_t *src, uint8_t *dst, int64_t frames)
{
    constexpr int sstep = S::Bits / 8, dstep = D::Bits / 8;
    for (int64_t i = 0; i < frames; ++i, src += sstep, dst += 2 * dstep) {
        const int v = rescale<S, D>(S::read(src));
        D::write(dst, v);
        D::write(dst + dstep, v);
    }
}

template <class S, class D> void stereoToMono(const uint8_t *src, uint8_t *dst, int64_t frames)
{
    constexpr int sstep = S::Bits / 8, dstep = D::Bits / 8;
    for (int64_t i = 0; i < frames; ++i, src += 2 * sstep, dst += dstep)
        D::write(dst, mix<S, D>(S::read(src), S::read(src + sstep)));
}

struct TJob {
    const uint8_t *src;
    uint8_t *dst;
    int64_t frames;
    int srcChannels, dstChannels;
};

template <class S, class D> void run(const TJob &job)
{
    if (job.srcChannels == job.dstChannels)
        sameChannels<S, D>(job.src, job.dst, job.frames * job.srcChannels);
    else if (job.srcChannels == 1)
        monoToStereo<S, D>(job.src, job.dst, job.frames);
    else
        stereoToMono<S, D>(job.src, job.dst, job.frames);
}

template <class S> void runTo(const TJob &job, int bits, bool bigEndian)
{
    if (bits == 8)
        bigEndian ? run<S, TCodec<8, true>>(job) : run<S, TCodec<8, false>>(job);
    else
        bigEndian ? run<S, TCodec<16, true>>(job) : run<S, TCodec<16, false>>(job);
}

bool validLayout(int channels, int bits)
{
    return (channels == 1 || channels == 2) && (bits == 8 || bits == 16);
}

} // namespace

void ConvertSamples(const void *Source, void *Dest, int64_t FrameCount, int SourceChannels, int DestChannels,
                    int SourceBits, int DestBits, bool SourceBigEndian, bool DestBigEndian)
{
    Assert(FrameCount >= 0 && validLayout(SourceChannels, SourceBits) && validLayout(DestChannels, DestBits),
           "AudioTypes");
    if (FrameCount == 0)
        return;
    Assert(Source != nullptr && Dest != nullptr, "AudioTypes");
    const TJob job{static_cast<const uint8_t *>(Source), static_cast<uint8_t *>(Dest), FrameCount,
                   SourceChannels, DestChannels};
    if (SourceChannels == DestChannels && SourceBits == DestBits && SourceBigEndian == DestBigEndian) {
        std::memcpy(Dest, Source, size_t(FrameCount) * size_t(SourceChannels) * size_t(SourceBits / 8));
        return;
    }
    if (SourceBits == 8)
        SourceBigEndian ? runTo<TCodec<8, true>>(job, DestBits, DestBigEndian)
                        : runTo<TCodec<8, false>>(job, DestBits, DestBigEndian);
    else
        SourceBigEndian ? runTo<TCodec<16, true>>(job, DestBits, DestBigEndian)
                        : runTo<TCodec<16, false>>(job, DestBits, DestBigEndian);
}
