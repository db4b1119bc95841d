#pragma once

#include "probe/AudioFormat.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

class QIODevice;
class TMappedFile;

// Converts FrameCount frames of interleaved PCM between channel counts (1, 2), widths
// (8, 16) and the two encoding families. Reads FrameCount * SourceChannels * SourceBits/8
// bytes from Source and writes FrameCount * DestChannels * DestBits/8 bytes to Dest; the
// buffers must not overlap. Stereo to mono averages with truncation toward zero; 8 to 16
// bits multiplies by 256; 16 to 8 bits keeps the high byte. No dithering or clipping.
void ConvertSamples(const void *Source, void *Dest, int64_t FrameCount, int SourceChannels, int DestChannels,
                    int SourceBits, int DestBits, bool SourceBigEndian, bool DestBigEndian);

// One complete sample file as a contiguous byte image: either a read-only mapping of a file
// on disk, validated and indexed in place (nothing copied), or a new image built in an owned
// buffer from source samples, ready to be saved. Immutable once made.
class TAudioFileBase {
public:
    virtual ~TAudioFileBase();
    TAudioFileBase(const TAudioFileBase &) = delete;
    TAudioFileBase &operator=(const TAudioFileBase &) = delete;

    virtual void GetFormat(TAudioFormat &Format) const = 0;
    TAudioFormat GetFormat() const
    {
        TAudioFormat format;
        GetFormat(format);
        return format;
    }
    virtual const uint8_t *GetSampleData() const = 0;
    virtual int64_t GetSampleDataSize() const = 0;
    virtual int64_t GetFrameCount() const = 0;
    // The accepted image: after a skipped MacBinary prefix, these describe the file without
    // it, and GetSampleData() - GetImage() is the sample offset within that image.
    size_t GetImageSize() const;
    const uint8_t *GetImage() const;

    // Writes the whole image in one go. Raises EModwright when the device refuses bytes.
    void SaveToStream(QIODevice &Stream) const;
    // Creates or overwrites the file. The failed save of a new image leaves no partial file.
    void SaveToFile(const QString &FileName) const;
    // Unmaps and closes the backing file; true when there was one. The object holds no
    // image afterwards, and asking it for anything raises an assertion failure.
    bool CloseFile();
    // The backing file's path; empty for a built image or after CloseFile.
    const QString &FileName() const { return fileName_; }

protected:
    TAudioFileBase();

    // Builds a new image in an owned buffer from Format (the source samples), converted to
    // Channels / Bits and to the class's encoding family. Raises on a bad request.
    virtual void BuildImage(const TAudioFormat &Format, int Channels, int Bits) = 0;
    // Validates an image in memory and records where its parts are; raises on any fault.
    // Calls SetImage with the accepted start (the image or the part after a prefix).
    virtual void ParseImage(const uint8_t *Image, size_t Size) = 0;

    // The construction steps shared by the classes' factories.
    void OpenFile(const QString &FileName); // maps the file, then ParseImage
    void ParseBorrowed(const uint8_t *Image, size_t Size);
    // Returns a zero-filled owned buffer of Size bytes that becomes the image.
    uint8_t *AllocateImage(size_t Size);

    void SetImage(const uint8_t *Image, size_t Size);
    // The accepted image; raises an assertion failure when there is none (after CloseFile).
    const uint8_t *Image() const;

private:
    QString fileName_;
    std::unique_ptr<TMappedFile> mapping_;
    std::unique_ptr<uint8_t[]> buffer_;
    const uint8_t *image_ = nullptr;
    size_t imageSize_ = 0;
};
