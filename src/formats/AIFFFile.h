#pragma once

#include "formats/AudioFile.h"
#include "formats/ByteSource.h"

#include <memory>

// An AIFF file, or an AIFF-C file with uncompressed samples ("NONE"), of 8 or 16 bits, mono
// or stereo. Reads any chunk order and an optional 128-byte MacBinary prefix; writes plain
// AIFF with a 54-byte header (COMM of 18 bytes, SSND with zero offset and block size).
class TAIFFFile final : public TAudioFileBase {
public:
    // Maps the file read-only and validates it; the file stays mapped while the object lives.
    static std::unique_ptr<TAIFFFile> CreateFromFile(const QString &FileName);
    // Validates an image the caller owns and keeps alive for the object's life.
    static std::unique_ptr<TAIFFFile> CreateFromImage(const uint8_t *Image, size_t Size);
    // Builds a new file image from Format's samples as Channels (1, 2) and Bits (8, 16).
    static std::unique_ptr<TAIFFFile> CreateNew(const TAudioFormat &Format, int Channels, int Bits);
    // The format of a file, validated as CreateFromFile does, from its headers alone
    // (Data stays null): what a probe needs, without mapping the samples.
    static TAudioFormat ReadFormat(TByteSource &Source);

    using TAudioFileBase::GetFormat;
    void GetFormat(TAudioFormat &Format) const override;
    const uint8_t *GetSampleData() const override;
    int64_t GetSampleDataSize() const override;
    int64_t GetFrameCount() const override;
    bool IsAIFC() const { return aifc_; }

    static constexpr size_t HeaderSize = 54;

protected:
    void BuildImage(const TAudioFormat &Format, int Channels, int Bits) override;
    void ParseImage(const uint8_t *Image, size_t Size) override;

private:
    TAIFFFile() = default;

    // Offsets of the chunk headers within the accepted image.
    size_t commHeader_ = 0;
    size_t ssndHeader_ = 0;
    bool aifc_ = false;
};

// The sample rate held in an 80-bit IEEE extended value (sign and 15-bit exponent, then a
// 64-bit mantissa with explicit leading bit, big-endian), truncated to a whole number: the
// top 32 mantissa bits shifted right by 16414 - exponent. The sign is ignored; magnitudes
// below 1 read as 0, and 2^32 or more (infinities and NaNs too) as 4294967295.
uint32_t ReadExtendedRate(const uint8_t *Extended);
// Writes Rate (at least 1) as an 80-bit extended value into 10 bytes.
void WriteExtendedRate(uint32_t Rate, uint8_t *Extended);
