#include "formats/WaveFile.h"

#include "formats/AudioBytes.h"
#include "platform/Exception.h"

using namespace audiobytes;

// RIFF WAVE layout: "RIFF", 32-bit length, "WAVE", then chunks of a 4-byte identifier, a
// 32-bit little-endian length and the body, padded to an even length. "fmt " holds the
// format tag (1 = linear PCM) at 0, channels at 2, sample rate at 4, byte rate at 8,
// block align at 12 and bits per sample at 14; "data" holds the interleaved samples.

namespace {

constexpr size_t FmtBodySize = 16;

template <class TBytes> bool hasWaveHeader(TBytes &bytes, uint64_t base)
{
    if (bytes.size() < base || bytes.size() - base < TWaveFile::HeaderSize)
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

// Where an accepted file keeps its facts, and the facts themselves.
struct TWaveLayout {
    uint64_t base = 0; // 0, or 128 behind a MacBinary header
    size_t fmtBody = 0;
    size_t dataHeader = 0;
    TAudioFormat format;
};

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
    if (size - fmt - 8 < FmtBodySize)
        throw EModwright("Wave file is corrupt. (Chunk fmt )");
    const uint8_t *body = bytes.at(layout.base + fmt + 8, FmtBodySize);
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

std::unique_ptr<TWaveFile> TWaveFile::CreateFromFile(const QString &FileName)
{
    std::unique_ptr<TWaveFile> file(new TWaveFile);
    file->OpenFile(FileName);
    return file;
}

std::unique_ptr<TWaveFile> TWaveFile::CreateFromImage(const uint8_t *Image, size_t Size)
{
    std::unique_ptr<TWaveFile> file(new TWaveFile);
    file->ParseBorrowed(Image, Size);
    return file;
}

std::unique_ptr<TWaveFile> TWaveFile::CreateNew(const TAudioFormat &Format, int Channels, int Bits)
{
    std::unique_ptr<TWaveFile> file(new TWaveFile);
    file->BuildImage(Format, Channels, Bits);
    return file;
}

void TWaveFile::ParseImage(const uint8_t *Image, size_t Size)
{
    TMemoryBytes bytes(Image, Size);
    const TWaveLayout layout = parseWave(bytes);
    fmtBody_ = layout.fmtBody;
    dataHeader_ = layout.dataHeader;
    SetImage(Image + layout.base, Size - size_t(layout.base));
}

TAudioFormat TWaveFile::ReadFormat(TByteSource &Source)
{
    TSourceBytes bytes(Source);
    return parseWave(bytes).format;
}

void TWaveFile::GetFormat(TAudioFormat &Format) const
{
    const uint8_t *body = Image() + fmtBody_;
    Format.Channels = le16(body + 2);
    Format.BitsPerSample = le16(body + 14);
    Format.SampleRate = le32(body + 4);
    Format.BigEndian = false;
    Format.DataSize = GetSampleDataSize();
    Format.Data = GetSampleData();
    Format.FrameCount = GetFrameCount();
}

const uint8_t *TWaveFile::GetSampleData() const
{
    return Image() + dataHeader_ + 8;
}

// The chunk search has made sure that this many bytes follow the "data" header.
int64_t TWaveFile::GetSampleDataSize() const
{
    return le32(Image() + dataHeader_ + 4);
}

int64_t TWaveFile::GetFrameCount() const
{
    const uint8_t *body = Image() + fmtBody_;
    const int blockSize = le16(body + 2) * (le16(body + 14) / 8);
    return GetSampleDataSize() / blockSize; // an incomplete last frame is dropped
}

void TWaveFile::BuildImage(const TAudioFormat &Format, int Channels, int Bits)
{
    if (Channels != 1 && Channels != 2)
        throw EModwright("Cannot create wave file with " + std::to_string(Channels) + " Channels.");
    if (Bits != 8 && Bits != 16)
        throw EModwright("Cannot create wave file with " + std::to_string(Bits) + " bits per sample.");
    // The RIFF length field must hold the image size - 8.
    Assert(Format.FrameCount >= 0 && Format.FrameCount <= int64_t(UINT32_MAX), "AudioTypes");
    const uint32_t blockSize = uint32_t(Channels * (Bits / 8));
    uint64_t length = uint64_t(Format.FrameCount) * blockSize;
    length += length & 1; // an odd sample byte count is padded, and the pad is counted
    Assert(HeaderSize - 8 + length <= UINT32_MAX, "AudioTypes");

    uint8_t *image = AllocateImage(HeaderSize + size_t(length));
    putId(image, "RIFF");
    putLe32(image + 4, uint32_t(HeaderSize - 8 + length));
    putId(image + 8, "WAVE");
    putId(image + 12, "fmt ");
    putLe32(image + 16, uint32_t(FmtBodySize));
    putLe16(image + 20, 1);
    putLe16(image + 22, uint32_t(Channels));
    putLe32(image + 24, Format.SampleRate);
    putLe32(image + 28, uint32_t(uint64_t(Format.SampleRate) * blockSize)); // a 32-bit field
    putLe16(image + 32, blockSize);
    putLe16(image + 34, uint32_t(Bits));
    putId(image + 36, "data");
    putLe32(image + 40, uint32_t(length));
    fmtBody_ = 20;
    dataHeader_ = 36;

    ConvertSamples(Format.Data, image + HeaderSize, Format.FrameCount, Format.Channels, Channels,
                   Format.BitsPerSample, Bits, Format.BigEndian, false);
    // The pad byte is counted in the "data" length, so readers play it as one more 8-bit
    // sample: make it silence (128) rather than a full-scale click (0).
    if (length != uint64_t(Format.FrameCount) * blockSize)
        image[HeaderSize + size_t(length) - 1] = 0x80;
}
