#include "formats/AIFFFile.h"

#include "platform/Exception.h"
#include "probe/AiffHeaders.h"
#include "probe/AudioBytes.h"

using namespace audiobytes;

std::unique_ptr<TAIFFFile> TAIFFFile::CreateFromFile(const QString &FileName)
{
    std::unique_ptr<TAIFFFile> file(new TAIFFFile);
    file->OpenFile(FileName);
    return file;
}

std::unique_ptr<TAIFFFile> TAIFFFile::CreateFromImage(const uint8_t *Image, size_t Size)
{
    std::unique_ptr<TAIFFFile> file(new TAIFFFile);
    file->ParseBorrowed(Image, Size);
    return file;
}

std::unique_ptr<TAIFFFile> TAIFFFile::CreateNew(const TAudioFormat &Format, int Channels, int Bits)
{
    std::unique_ptr<TAIFFFile> file(new TAIFFFile);
    file->BuildImage(Format, Channels, Bits);
    return file;
}

void TAIFFFile::ParseImage(const uint8_t *Image, size_t Size)
{
    TMemoryBytes bytes(Image, Size);
    const TAiffLayout layout = ParseAiffHeaders(bytes);
    aifc_ = layout.aifc;
    commHeader_ = layout.commHeader;
    ssndHeader_ = layout.ssndHeader;
    SetImage(Image + layout.base, Size - size_t(layout.base));
}

TAudioFormat TAIFFFile::ReadFormat(TByteSource &Source)
{
    return ReadAiffFormat(Source);
}

void TAIFFFile::GetFormat(TAudioFormat &Format) const
{
    const uint8_t *body = Image() + commHeader_ + 8;
    Format.Channels = be16(body);
    Format.FrameCount = GetFrameCount();
    Format.BitsPerSample = be16(body + 6);
    Format.SampleRate = ReadExtendedRate(body + 8);
    Format.BigEndian = true;
    Format.DataSize = GetSampleDataSize();
    Format.Data = GetSampleData();
}

// The offset and block size fields of "SSND" are not applied: the samples follow them.
const uint8_t *TAIFFFile::GetSampleData() const
{
    return Image() + ssndHeader_ + 16;
}

int64_t TAIFFFile::GetSampleDataSize() const
{
    return int64_t(be32(Image() + ssndHeader_ + 4)) - 8;
}

// Unlike WAV, the common chunk's count, checked against the SSND length when parsed.
int64_t TAIFFFile::GetFrameCount() const
{
    return be32(Image() + commHeader_ + 10);
}

void TAIFFFile::BuildImage(const TAudioFormat &Format, int Channels, int Bits)
{
    if (Channels != 1 && Channels != 2)
        throw EModwright("Cannot create AIFF file with " + std::to_string(Channels) + " Channels.");
    if (Bits != 8 && Bits != 16)
        throw EModwright("Cannot create AIFF file with " + std::to_string(Bits) + " bits per sample.");
    // The frame count and the FORM length are 32-bit fields.
    Assert(Format.FrameCount >= 0 && Format.FrameCount <= int64_t(UINT32_MAX), "AudioTypes");
    uint64_t length = uint64_t(Format.FrameCount) * uint64_t(Channels * (Bits / 8));
    length += length & 1; // the pad byte of odd sample data is counted in the SSND and FORM lengths
    Assert(HeaderSize - 8 + length <= UINT32_MAX, "AudioTypes");

    uint8_t header[HeaderSize] = {};
    putId(header, "FORM");
    putBe32(header + 4, uint32_t(HeaderSize - 8 + length));
    putId(header + 8, "AIFF");
    putId(header + 12, "COMM");
    putBe32(header + 16, uint32_t(kAiffCommBodySize));
    putBe16(header + 20, uint32_t(Channels));
    putBe32(header + 22, uint32_t(Format.FrameCount));
    putBe16(header + 26, uint32_t(Bits));
    WriteExtendedRate(Format.SampleRate, header + 28); // asserts a rate of at least 1
    putId(header + 38, "SSND");
    putBe32(header + 42, uint32_t(length + 8));
    // offset and block size at 46 and 50 stay 0

    uint8_t *image = AllocateImage(HeaderSize + size_t(length));
    std::memcpy(image, header, HeaderSize);
    aifc_ = false;
    commHeader_ = 12;
    ssndHeader_ = 38;

    ConvertSamples(Format.Data, image + HeaderSize, Format.FrameCount, Format.Channels, Channels,
                   Format.BitsPerSample, Bits, Format.BigEndian, true);
}
