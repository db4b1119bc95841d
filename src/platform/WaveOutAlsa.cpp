#include "platform/WaveOutAlsa.h"

#include <algorithm>
#include <alsa/asoundlib.h>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

void quietAlsa(const char *, int, const char *, int, const char *, ...) {}

snd_pcm_format_t alsaFormat(const WAVEFORMATEX &f)
{
    return f.wBitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
}

// Device buffer asked of ALSA: long enough to ride out scheduling delays of the player
// thread, short enough that a reset (a new click) silences the old sound at once.
constexpr unsigned bufferMicroseconds = 100000;

class TAlsaSink : public TWaveOutSink {
public:
    TAlsaSink(snd_pcm_t *Pcm, uint32_t Rate, uint64_t Lead, bool CanPause)
        : pcm_(Pcm), pace_(Rate, 1.0, Lead), canPause_(CanPause)
    {
    }
    ~TAlsaSink() override { snd_pcm_close(pcm_); }

    MMRESULT write(const char *Data, uint32_t Frames, uint32_t &Taken) override
    {
        Taken = 0;
        const int ready = snd_pcm_wait(pcm_, 20);
        if (ready < 0)
            return recover(ready);
        if (ready == 0)
            return MMSYSERR_NOERROR; // no room yet
        // ALSA's discard and file plugins take every frame at once; the pace keeps them to
        // real time, two device buffers ahead, which a sound card's own clock never lets
        // a writer get beyond anyway.
        const uint32_t n = pace_.allow(Frames);
        if (n == 0)
            return MMSYSERR_NOERROR;
        const snd_pcm_sframes_t r = snd_pcm_writei(pcm_, Data, n);
        if (r == -EAGAIN)
            return MMSYSERR_NOERROR;
        if (r < 0)
            return recover(int(r));
        Taken = uint32_t(r);
        pace_.taken(Taken);
        return MMSYSERR_NOERROR;
    }

    void pause(bool On) override
    {
        const snd_pcm_state_t state = snd_pcm_state(pcm_);
        if (On) {
            // Without hardware pause the device plays out what it holds and then runs dry;
            // the resume below recovers from that.
            if (state == SND_PCM_STATE_RUNNING && canPause_)
                snd_pcm_pause(pcm_, 1);
            return;
        }
        if (state == SND_PCM_STATE_PAUSED)
            snd_pcm_pause(pcm_, 0);
        else if (state == SND_PCM_STATE_XRUN)
            snd_pcm_prepare(pcm_);
        pace_.restart();
    }

    void drop() override
    {
        snd_pcm_drop(pcm_);
        snd_pcm_prepare(pcm_);
        pace_.restart();
    }

    void drain() override
    {
        snd_pcm_nonblock(pcm_, 0);
        snd_pcm_drain(pcm_);
        // A device without a clock of its own is done at once; the pace is its clock.
        while (pace_.ahead() > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    uint32_t delay() override
    {
        snd_pcm_sframes_t held = 0;
        // After an underrun the device has played everything (the delay is an error then).
        if (snd_pcm_delay(pcm_, &held) < 0 || held < 0)
            held = 0;
        // A stream that holds fewer frames than its start threshold (the end of a sound)
        // would never start on its own.
        if (held > 0 && snd_pcm_state(pcm_) == SND_PCM_STATE_PREPARED)
            snd_pcm_start(pcm_);
        // The discard and file plugins report nothing held; the pace says what a sound
        // card would still hold.
        return uint32_t(std::max<uint64_t>(uint64_t(held), pace_.ahead()));
    }

private:
    // Underruns and suspends are recovered and the write goes on; anything else (an
    // unplugged device) is the end of this stream.
    MMRESULT recover(int Error)
    {
        if (Error == -EINTR || Error == -EPIPE || Error == -ESTRPIPE) {
            if (snd_pcm_recover(pcm_, Error, 1) == 0) {
                pace_.restart();
                return MMSYSERR_NOERROR;
            }
        }
        return AlsaErrorToMMResult(Error);
    }

    snd_pcm_t *pcm_;
    TWaveOutPace pace_;
    bool canPause_;
};

} // namespace

MMRESULT AlsaErrorToMMResult(int Error)
{
    switch (-Error) {
    case 0:
        return MMSYSERR_NOERROR;
    case EBUSY:
    case EAGAIN:
        return MMSYSERR_ALLOCATED;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return MMSYSERR_NODRIVER;
    case EINVAL:
        return WAVERR_BADFORMAT;
    case ENOMEM:
        return MMSYSERR_NOMEM;
    default:
        return MMSYSERR_ERROR;
    }
}

TAlsaWaveOutBackend::TAlsaWaveOutBackend()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(quietAlsa); });
}

namespace {

// Whether a device opens for playback now. One that another program holds exists all the
// same: it is offered, and opening it later says "busy".
bool opens(const std::string &Device)
{
    snd_pcm_t *pcm = nullptr;
    const int err = snd_pcm_open(&pcm, Device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (err == -EBUSY || err == -EAGAIN)
        return true;
    if (err < 0)
        return false;
    snd_pcm_hw_params_t *params;
    snd_pcm_hw_params_alloca(&params);
    const bool configurable = snd_pcm_hw_params_any(pcm, params) >= 0;
    snd_pcm_close(pcm);
    return configurable;
}

} // namespace

TWaveOutDevices TAlsaWaveOutBackend::devices()
{
    TWaveOutDevices found;
    void **hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) >= 0) {
        for (void **h = hints; *h; ++h) {
            char *name = snd_device_name_get_hint(*h, "NAME");
            char *io = snd_device_name_get_hint(*h, "IOID");
            const bool playback = !io || std::string(io) == "Output";
            // "null" discards everything and exists on every machine; "default" is the
            // mapper's.
            if (name && playback && std::string(name) != "null" && std::string(name) != "default" &&
                opens(name))
                found.names.emplace_back(name);
            std::free(name);
            std::free(io);
        }
        snd_device_name_free_hint(hints);
    }
    if (opens("default")) {
        found.mapper = "default";
        if (found.names.empty())
            found.names.emplace_back("default");
    } else if (!found.names.empty()) {
        found.mapper = found.names.front();
    }
    return found;
}

uint32_t TAlsaWaveOutBackend::driverVersion()
{
    unsigned major = 0, minor = 0;
    std::sscanf(snd_asoundlib_version(), "%u.%u", &major, &minor);
    return ((major & 0xFF) << 8) | (minor & 0xFF);
}

MMRESULT TAlsaWaveOutBackend::query(const std::string &Device, const WAVEFORMATEX &Format)
{
    snd_pcm_t *pcm = nullptr;
    const int err = snd_pcm_open(&pcm, Device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    // A device that another program holds cannot be asked; the format is a plain PCM one
    // that ALSA's plug layer converts for any device, and opening it later says "busy".
    if (err == -EBUSY || err == -EAGAIN)
        return MMSYSERR_NOERROR;
    if (err < 0)
        return AlsaErrorToMMResult(err);
    snd_pcm_hw_params_t *params;
    snd_pcm_hw_params_alloca(&params);
    MMRESULT result = MMSYSERR_NOERROR;
    if (snd_pcm_hw_params_any(pcm, params) < 0 || snd_pcm_hw_params_set_rate_resample(pcm, params, 1) < 0 ||
        snd_pcm_hw_params_test_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED) < 0 ||
        snd_pcm_hw_params_test_format(pcm, params, alsaFormat(Format)) < 0 ||
        snd_pcm_hw_params_test_channels(pcm, params, Format.nChannels) < 0 ||
        snd_pcm_hw_params_test_rate(pcm, params, Format.nSamplesPerSec, 0) < 0)
        result = WAVERR_BADFORMAT;
    snd_pcm_close(pcm);
    return result;
}

MMRESULT TAlsaWaveOutBackend::open(const std::string &Device, const WAVEFORMATEX &Format,
                                   std::unique_ptr<TWaveOutSink> &Sink)
{
    snd_pcm_t *pcm = nullptr;
    int err = snd_pcm_open(&pcm, Device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (err < 0)
        return AlsaErrorToMMResult(err);
    err = snd_pcm_set_params(pcm, alsaFormat(Format), SND_PCM_ACCESS_RW_INTERLEAVED, Format.nChannels,
                             Format.nSamplesPerSec, 1, bufferMicroseconds);
    if (err < 0) {
        snd_pcm_close(pcm);
        return AlsaErrorToMMResult(err);
    }
    snd_pcm_uframes_t bufferFrames = 0, periodFrames = 0;
    snd_pcm_get_params(pcm, &bufferFrames, &periodFrames);
    snd_pcm_hw_params_t *params;
    snd_pcm_hw_params_alloca(&params);
    const bool canPause = snd_pcm_hw_params_current(pcm, params) == 0 && snd_pcm_hw_params_can_pause(params);
    Sink = std::make_unique<TAlsaSink>(pcm, Format.nSamplesPerSec, 2 * uint64_t(bufferFrames), canPause);
    return MMSYSERR_NOERROR;
}
