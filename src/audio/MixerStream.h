#pragma once

#include "audio/AudioStream.h"

#include <memory>
#include <mutex>
#include <vector>

// Sums its voices into one block of float frames, without gain or limiting. A voice that
// delivers fewer frames than asked has ended and is freed. Voices are added and removed on
// the UI thread while the refill thread reads; one lock guards both.
class TMixerStream : public TAudioStream {
public:
    // Floats in the block each voice reads into.
    static constexpr int ScratchSize = 96000;

    TMixerStream(int Channels, int SampleRate);

    // The mixer owns the voice from now on.
    void AddVoice(std::unique_ptr<TAudioStream> Voice);
    // Frees every voice, first to last.
    void Clear();
    int VoiceCount();

    // Always delivers Frames frames (silence where no voice plays). Frames x Channels must
    // fit ScratchSize.
    int Read(float *Out, int Frames) override;

private:
    std::mutex lock_;
    std::vector<std::unique_ptr<TAudioStream>> voices_;
    std::vector<float> scratch_;
};
