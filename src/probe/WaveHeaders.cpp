#include "probe/WaveHeaders.h"

#include "platform/Exception.h"

using namespace audiobytes;

// RIFF WAVE layout: "RIFF", 32-bit length, "WAVE", then chunks of a 4-byte identifier, a
// 32-bit little-endian length and the body, padded to an even length. "fmt " holds the
// format tag (1 = linear PCM) at 0, channels at 2, sample rate at 4, byte rate at 8,
// block align at 12 and bits per sample at 14; "data" holds the interleaved samples.

namespace {

template <class TBytes> bool hasWaveHeader(TBytes &bytes, uint64_t base)
{
    if (bytes.size() < base || bytes.size() - base < kWaveHeaderSize)
        return false;
    const uint8_t *p = bytes.at(base, 12);
    return isId(p, "RIFF") && isId(p + 8, "WAVE");
}

template <class TBytes>
size_t findWaveChunk(TBytes &bytes, uint64_t base, const char *id, const char *absentMessage)
{
    const auto pos = findChunk(bytes, base, id, false, "Wave file is corrupt. (Chunk ");
    if (!pos)
        throw EModwright(absentMessage);
    return *pos;
}

template <class TBytes> TWaveLayout parseWave(TBytes &bytes)
{
    TWaveLayout layout;
    if (!hasWaveHeader(bytes, 0)) {
        // A file copied from a Mac may carry a 128-byte MacBinary header before the RIFF.
        if (!hasWaveHeader(bytes, 128))
            throw EModwright("Corrupt wave file.");
        layout.base = 128;
    }
    const uint64_t size = bytes.size() - layout.base;
    const size_t fmt = findWaveChunk(bytes, layout.base, "fmt ", "Wave file contains no fmt chunk.");
    // The length field of "fmt " is not trusted either way, but its 16 body bytes must be
    // inside the file before they are read.
    if (size - fmt - 8 < kWaveFmtBodySize)
        throw EModwright("Wave file is corrupt. (Chunk fmt )");
    const uint8_t *body = bytes.at(layout.base + fmt + 8, kWaveFmtBodySize);
    if (le16(body) != 1)
        throw EModwright("Wave file is not linear PCM encoded.");
    const uint16_t bits = le16(body + 14);
    if (bits != 16 && bits != 8)
        throw EModwright("Wave file is neither 8 nor 16 bit");
    const uint16_t channels = le16(body + 2);
    if (channels != 1 && channels != 2)
        throw EModwright("Wave file is neither mono nor stereo.");
    layout.format.Channels = channels;
    layout.format.BitsPerSample = bits;
    layout.format.SampleRate = le32(body + 4);
    layout.format.BigEndian = false;

    const size_t data = findWaveChunk(bytes, layout.base, "data", "Wave file contains no data chunk.");
    layout.format.DataSize = le32(bytes.at(layout.base + data + 4, 4));
    layout.format.FrameCount = layout.format.DataSize / (channels * (bits / 8)); // a part frame is dropped
    layout.fmtBody = fmt + 8;
    layout.dataHeader = data;
    return layout;
}

} // namespace

TWaveLayout ParseWaveHeaders(audiobytes::TMemoryBytes &Bytes)
{
    return parseWave(Bytes);
}

TWaveLayout ParseWaveHeaders(audiobytes::TSourceBytes &Bytes)
{
    return parseWave(Bytes);
}

TAudioFormat ReadWaveFormat(TByteSource &Source)
{
    audiobytes::TSourceBytes bytes(Source);
    return parseWave(bytes).format;
}
