#include "probe/AiffHeaders.h"

#include "platform/Exception.h"

using namespace audiobytes;

// IFF layout, all integers big-endian: "FORM", 32-bit length, "AIFF" or "AIFC", then chunks
// of a 4-byte identifier, a 32-bit length and the body, followed by a pad byte when the
// length is odd. "COMM" holds channels (2), frames (4), bits (2), the rate as an 80-bit
// extended (10) and, in AIFC, the compression type (4) and its name. "SSND" holds a 32-bit
// offset and block size, then the frames. AIFC files carry an "FVER" chunk with the
// version timestamp of AIFC version 1.

namespace {

constexpr uint32_t AifcVersion1 = 0xA2805140;

template <class TBytes> bool hasAiffHeader(TBytes &bytes, uint64_t base)
{
    if (bytes.size() < base || bytes.size() - base < kAiffHeaderSize)
        return false;
    const uint8_t *p = bytes.at(base, 12);
    return isId(p, "FORM") && (isId(p + 8, "AIFF") || isId(p + 8, "AIFC"));
}

template <class TBytes> std::optional<size_t> findAiffChunk(TBytes &bytes, uint64_t base, const char *id)
{
    return findChunk(bytes, base, id, true, "AIFF file is corrupt. (Chunk ");
}

template <class TBytes> TAiffLayout parseAiff(TBytes &bytes)
{
    TAiffLayout layout;
    if (!hasAiffHeader(bytes, 0)) {
        // A file copied from a Mac may carry a 128-byte MacBinary header before the FORM.
        if (bytes.size() <= 128 || !hasAiffHeader(bytes, 128))
            throw EModwright("Corrupt AIFF file.");
        layout.base = 128;
    }
    const uint64_t base = layout.base;
    const uint64_t size = bytes.size() - base;
    layout.aifc = isId(bytes.at(base + 8, 4), "AIFC");

    if (layout.aifc) {
        const auto fver = findAiffChunk(bytes, base, "FVER");
        if (!fver)
            throw EModwright("AIFF file is of format AIFC but has no version chunk.");
        if (be32(bytes.at(base + *fver + 4, 4)) < 4)
            throw EModwright("Version chunk in this AIFF is too small.");
        if (be32(bytes.at(base + *fver + 8, 4)) != AifcVersion1)
            throw EModwright("Version of this AIFF file is unsupported.");
    }

    const auto comm = findAiffChunk(bytes, base, "COMM");
    if (!comm)
        throw EModwright("AIFF file contains no common chunk.");
    // However short the chunk claims to be, its 18 body bytes are read: they must be there.
    if (size - *comm - 8 < kAiffCommBodySize)
        throw EModwright("AIFF file is corrupt. (Chunk COMM)");
    const uint32_t commLength = be32(bytes.at(base + *comm + 4, 4));
    if (commLength > 21 && !isId(bytes.at(base + *comm + 8 + 18, 4), "NONE"))
        throw EModwright("AIFF file is not linear PCM encoded.");
    const uint8_t *body = bytes.at(base + *comm + 8, kAiffCommBodySize);
    const uint16_t bits = be16(body + 6);
    if (bits != 16 && bits != 8)
        throw EModwright("AIFF file is neither 8 nor 16 bit");
    const uint16_t channels = be16(body);
    if (channels != 1 && channels != 2)
        throw EModwright("AIFF file is neither mono nor stereo.");
    const uint32_t frames = be32(body + 2);
    layout.format.Channels = channels;
    layout.format.BitsPerSample = bits;
    layout.format.FrameCount = frames; // unlike WAV, the common chunk's count
    layout.format.SampleRate = ReadExtendedRate(body + 8);
    layout.format.BigEndian = true;

    const auto ssnd = findAiffChunk(bytes, base, "SSND");
    if (!ssnd)
        throw EModwright("AIFF file contains no SSND chunk.");
    const uint64_t ssndLength = be32(bytes.at(base + *ssnd + 4, 4));
    // 64-bit: frames * channels * bytes of a 32-bit frame count cannot wrap to a small size.
    const uint64_t needed = uint64_t(frames) * channels * (bits / 8);
    if (ssndLength < 8 || ssndLength - 8 < needed)
        throw EModwright("SSND chunk is too small.");
    layout.format.DataSize = int64_t(ssndLength) - 8;
    layout.commHeader = *comm;
    layout.ssndHeader = *ssnd;
    return layout;
}

} // namespace

uint32_t ReadExtendedRate(const uint8_t *Extended)
{
    const int exponent = be16(Extended) & 0x7FFF; // the sign is ignored
    const uint32_t mantissa = be32(Extended + 2); // the lower 32 mantissa bits only hold fractions
    if (exponent < 16383)
        return 0; // below 1
    if (exponent > 16414)
        return UINT32_MAX; // 2^32 and beyond, infinities and NaNs
    return mantissa >> (16414 - exponent);
}

void WriteExtendedRate(uint32_t Rate, uint8_t *Extended)
{
    Assert(Rate >= 1, "AudioTypes");
    int shifts = 0;
    while ((Rate & 0x80000000u) == 0) {
        Rate <<= 1;
        ++shifts;
    }
    putBe16(Extended, uint32_t(16414 - shifts));
    putBe32(Extended + 2, Rate);
    putBe32(Extended + 6, 0);
}

TAiffLayout ParseAiffHeaders(audiobytes::TMemoryBytes &Bytes)
{
    return parseAiff(Bytes);
}

TAiffLayout ParseAiffHeaders(audiobytes::TSourceBytes &Bytes)
{
    return parseAiff(Bytes);
}

TAudioFormat ReadAiffFormat(TByteSource &Source)
{
    audiobytes::TSourceBytes bytes(Source);
    return parseAiff(bytes).format;
}
