#include "formats/WaveFile.h"

#include "platform/Exception.h"
#include "probe/AudioBytes.h"
#include "probe/WaveHeaders.h"

using namespace audiobytes;

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
    const TWaveLayout layout = ParseWaveHeaders(bytes);
    fmtBody_ = layout.fmtBody;
    dataHeader_ = layout.dataHeader;
    SetImage(Image + layout.base, Size - size_t(layout.base));
}

TAudioFormat TWaveFile::ReadFormat(TByteSource &Source)
{
    return ReadWaveFormat(Source);
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
    putLe32(image + 16, uint32_t(kWaveFmtBodySize));
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
