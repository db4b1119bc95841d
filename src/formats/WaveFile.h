#pragma once

#include "formats/AudioFile.h"
#include "probe/ByteSource.h"
#include "probe/WaveHeaders.h"

#include <memory>

// A RIFF WAVE file of linear PCM, 8 or 16 bits, mono or stereo. Reads any chunk order
// (unknown chunks are skipped) and an optional 128-byte MacBinary prefix; writes the
// canonical 44-byte header followed by the samples in the WAV encoding family.
class TWaveFile final : public TAudioFileBase {
public:
    // Maps the file read-only and validates it; the file stays mapped while the object lives.
    static std::unique_ptr<TWaveFile> CreateFromFile(const QString &FileName);
    // Validates an image the caller owns and keeps alive for the object's life.
    static std::unique_ptr<TWaveFile> CreateFromImage(const uint8_t *Image, size_t Size);
    // Builds a new file image from Format's samples as Channels (1, 2) and Bits (8, 16).
    static std::unique_ptr<TWaveFile> CreateNew(const TAudioFormat &Format, int Channels, int Bits);
    // The format of a file, validated as CreateFromFile does, from its headers alone
    // (Data stays null): what a probe needs, without mapping the samples.
    static TAudioFormat ReadFormat(TByteSource &Source);

    using TAudioFileBase::GetFormat;
    void GetFormat(TAudioFormat &Format) const override;
    const uint8_t *GetSampleData() const override;
    int64_t GetSampleDataSize() const override;
    int64_t GetFrameCount() const override;

    static constexpr size_t HeaderSize = kWaveHeaderSize;

protected:
    void BuildImage(const TAudioFormat &Format, int Channels, int Bits) override;
    void ParseImage(const uint8_t *Image, size_t Size) override;

private:
    TWaveFile() = default;

    // Offsets within the accepted image.
    size_t fmtBody_ = 0;
    size_t dataHeader_ = 0;
};
