#pragma once

#include "audio/AudioStream.h"
#include "audio/BufferedFile.h"

#include <QString>
#include <memory>
#include <mutex>

// A voice playing the PCM data of an AIFF or uncompressed AIFF-C file, read from disk as it
// plays. The file is first validated by the AIFF reader, whose messages a broken file gets;
// the samples are then streamed from the offset it found.
class TAIFFStream : public TAudioStream {
public:
    explicit TAIFFStream(const QString &FileName);

    int Read(float *Buffer, int Frames) override;

    uint32_t TotalFrames() const { return totalFrames_; }
    int BitsPerSample() const { return bits_; }
    int64_t DataStart() const { return dataStart_; }

private:
    std::mutex lock_;
    std::unique_ptr<TBufferedFile> file_;
    uint32_t totalFrames_ = 0;
    int bits_ = 0;
    int bytesPerFrame_ = 0;
    uint32_t position_ = 0;
    int64_t dataStart_ = 0;
};
