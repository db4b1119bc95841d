#include "audio/AudioPlayer.h"

#include "audio/AIFFStream.h"
#include "audio/WaveStream.h"
#include "platform/Exception.h"

#include <QFileInfo>
#include <cmath>
#include <cstring>

void FloatsToPcm16(const float *Source, void *Dest, size_t Count)
{
    unsigned char *out = static_cast<unsigned char *>(Dest);
    for (size_t i = 0; i < Count; ++i) {
        const float v = Source[i];
        int s;
        if (v > 32767.0f)
            s = 32767;
        else if (v < -32768.0f)
            s = -32768;
        else
            s = int(std::lrintf(v)); // the default rounding mode: nearest, ties to even
        out[2 * i] = uint8_t(s);
        out[2 * i + 1] = uint8_t(unsigned(s) >> 8);
    }
}

TAudioPlayer::TAudioPlayer()
    : output_(std::make_unique<TWaveOutput>()),
      mixer_(std::make_unique<TMixerStream>(OutputChannels, OutputRate)),
      mixBuffer_(TMixerStream::ScratchSize)
{
    if (output_->DeviceCount() == 0)
        throw EModwright("No wave devices present.");
    output_->SetDevice(-1);
    output_->SetFormat(16, OutputChannels, OutputRate);
    output_->SetSource(this);
}

TAudioPlayer::~TAudioPlayer()
{
    StopPlaying(false);
    output_.reset();
    mixer_.reset();
}

bool TAudioPlayer::IsActive()
{
    return mixer_->VoiceCount() > 0;
}

void TAudioPlayer::FillBuffer(void *Data, uint32_t ByteCount)
{
    const int frames = int(std::min<uint32_t>(ByteCount / 4, TMixerStream::ScratchSize / OutputChannels));
    try {
        mixer_->Read(mixBuffer_.data(), frames);
    } catch (...) {
        // Errors of the mix never reach the user; the block plays as silence.
        std::fill_n(mixBuffer_.data(), size_t(frames) * OutputChannels, 0.0f);
    }
    FloatsToPcm16(mixBuffer_.data(), Data, size_t(frames) * OutputChannels);
    // Bytes past whole frames (none with the buffer geometry in use) stay silent.
    const uint32_t used = uint32_t(frames) * 4;
    if (ByteCount > used)
        std::memset(static_cast<char *>(Data) + used, 0, ByteCount - used);
}

void TAudioPlayer::PlayFile(const QString &FileName)
{
    output_->StopAsync(true, true);
    mixer_->Clear();
    std::unique_ptr<TAudioStream> voice;
    if (QFileInfo(FileName).suffix().compare("wav", Qt::CaseInsensitive) == 0)
        voice = std::make_unique<TWaveStream>(FileName);
    else
        voice = std::make_unique<TAIFFStream>(FileName);
    if (voice->SampleRate() != OutputRate)
        throw EModwright(QFileInfo(FileName).fileName().toStdString() + " is not 44,1 KHz.");
    mixer_->AddVoice(std::move(voice));
    output_->StartAsync();
    playing_ = true;
}

void TAudioPlayer::StopPlaying(bool Wait)
{
    if (!playing_)
        return;
    playing_ = false;
    output_->StopAsync(true, Wait);
}
