#pragma once

#include "audio/AudioSource.h"
#include "audio/MixerStream.h"
#include "audio/WaveOutput.h"

#include <QString>
#include <memory>
#include <vector>

// Plays drum sample files, one sound at a time: starting a sound closes the device,
// discards the previous voice and starts the new one. The voice is mixed in floats and
// converted to the device's 16-bit stereo at 44100 Hz.
class TAudioPlayer : public TAudioSource {
public:
    static constexpr int OutputRate = 44100;
    static constexpr int OutputChannels = 2;

    // Raises "No wave devices present." on a machine without sound output, or the device's
    // text when it refuses the output format.
    TAudioPlayer();
    ~TAudioPlayer() override;

    bool IsActive() override;
    void FillBuffer(void *Data, uint32_t ByteCount) override;

    // Raises the voice's message for a file that cannot be played, and "<name> is not
    // 44,1 KHz." for another sample rate; the previous sound is stopped either way.
    void PlayFile(const QString &FileName);
    void StopPlaying(bool Wait);

    TWaveOutput &Output() { return *output_; }
    TMixerStream &Mixer() { return *mixer_; }
    bool Playing() const { return playing_; }

private:
    std::unique_ptr<TWaveOutput> output_;
    std::unique_ptr<TMixerStream> mixer_;
    std::vector<float> mixBuffer_;
    bool playing_ = false;
};

// Converts Count floats on the 16-bit scale to 16-bit little-endian samples: clipped to
// -32768..32767, rounded to nearest with ties to even.
void FloatsToPcm16(const float *Source, void *Dest, size_t Count);
