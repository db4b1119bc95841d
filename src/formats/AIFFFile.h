#pragma once

#include "formats/AudioFile.h"
#include "probe/AiffHeaders.h"
#include "probe/ByteSource.h"

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

    static constexpr size_t HeaderSize = kAiffHeaderSize;

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
