#pragma once

#include <cstddef>

// A stream of 32-bit float sample frames on the 16-bit scale (full scale -32768..32767),
// interleaved by channel.
class TAudioStream {
public:
    virtual ~TAudioStream() = default;

    int SampleRate() const { return sampleRate_; }
    int Channels() const { return channels_; }

    // Writes up to Frames frames at Buffer and returns how many it wrote; fewer than Frames
    // means the stream has ended.
    virtual int Read(float *Buffer, int Frames) = 0;

    // Zeroes Frames x Channels floats at Buffer.
    void Silence(float *Buffer, int Frames) const;

protected:
    TAudioStream(int Channels = 0, int SampleRate = 0) : sampleRate_(SampleRate), channels_(Channels) {}
    void SetFormat(int Channels, int SampleRate)
    {
        channels_ = Channels;
        sampleRate_ = SampleRate;
    }

private:
    int sampleRate_;
    int channels_;
};

// Turns Count samples, read from a file as raw bytes into the start of Buffer, into floats
// in place. The expansion runs from the last sample to the first, since each float is wider
// than the sample it comes from. WAV family (BigEndian false): 8-bit unsigned, silence at
// 128, or 16-bit little-endian; AIFF family: 8-bit signed or 16-bit big-endian. 8-bit
// values are scaled by 256.
void ExpandSamples(float *Buffer, size_t Count, int BitsPerSample, bool BigEndian);
