#include "audio/MixerStream.h"

#include "platform/Exception.h"

#include <algorithm>

TMixerStream::TMixerStream(int Channels, int SampleRate)
    : TAudioStream(Channels, SampleRate), scratch_(ScratchSize)
{
}

void TMixerStream::AddVoice(std::unique_ptr<TAudioStream> Voice)
{
    std::lock_guard<std::mutex> g(lock_);
    voices_.push_back(std::move(Voice));
}

void TMixerStream::Clear()
{
    std::lock_guard<std::mutex> g(lock_);
    for (auto &voice : voices_)
        voice.reset();
    voices_.clear();
}

int TMixerStream::VoiceCount()
{
    std::lock_guard<std::mutex> g(lock_);
    return int(voices_.size());
}

int TMixerStream::Read(float *Out, int Frames)
{
    std::lock_guard<std::mutex> g(lock_);
    const int channels = Channels();
    Assert(Frames >= 0 && int64_t(Frames) * channels <= ScratchSize, "AudioStreams");
    Silence(Out, Frames);
    float *s = scratch_.data();
    for (auto &voice : voices_) {
        const int vc = voice->Channels();
        bool ended = vc < 1;
        // A voice with more channels than the mixer reads in pieces that fit the scratch
        // block.
        for (int done = 0; !ended && done < Frames;) {
            const int want = std::min(Frames - done, ScratchSize / vc);
            const int n = std::max(0, std::min(voice->Read(s, want), want));
            float *o = Out + int64_t(done) * channels;
            if (vc == channels) {
                for (int k = 0; k < n * channels; ++k)
                    o[k] += s[k];
            } else if (vc == 2 && channels == 1) {
                for (int j = 0; j < n; ++j)
                    o[j] += (s[2 * j] + s[2 * j + 1]) / 2;
            } else if (vc == 1 && channels == 2) {
                for (int j = 0; j < n; ++j) {
                    o[2 * j] += s[j];
                    o[2 * j + 1] += s[j];
                }
            }
            done += n;
            ended = n < want;
        }
        if (ended)
            voice.reset();
    }
    voices_.erase(std::remove(voices_.begin(), voices_.end(), nullptr), voices_.end());
    return Frames;
}
