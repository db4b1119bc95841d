#pragma once

#include "audio/AudioStream.h"
#include "audio/BufferedFile.h"

#include <QString>
#include <mutex>

// A voice playing the PCM data of a WAV file, read from disk as it plays. Creation walks
// the RIFF chunks and raises the program's error with the file name for a file that cannot
// be played.
class TWaveStream : public TAudioStream {
public:
    explicit TWaveStream(const QString &FileName);

    int Read(float *Buffer, int Frames) override;

    uint32_t TotalFrames() const { return totalFrames_; }
    int BitsPerSample() const { return bits_; }
    int64_t DataStart() const { return dataStart_; }

private:
    std::mutex lock_;
    TBufferedFile file_;
    uint32_t totalFrames_ = 0;
    int bits_ = 0;
    int bytesPerFrame_ = 0;
    uint32_t position_ = 0;
    int64_t dataStart_ = 0;
};
