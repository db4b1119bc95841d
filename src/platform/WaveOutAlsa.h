#pragma once

#include "platform/WaveOutBackend.h"

// The wave-out backend on ALSA's libasound. Devices are the playback entries of ALSA's
// device hints (the "hint" sections of its configuration: cards, plugins, sound servers)
// that open on this machine: a plugin whose server is not running or whose card is missing
// is not offered. "default" is what the mapper opens; when no other entry opens (a minimal
// configuration, or a sound server that routes everything through "default") it is the
// one device, and when it does not open the mapper takes the first device that does.
// Streams are interleaved, 8-bit unsigned or 16-bit signed little-endian, resampled by
// ALSA's plug layer where the device needs it, with about 100 ms of device buffer. ALSA's
// own diagnostics on standard error are silenced: every failure reaches the caller as a
// result code instead.
class TAlsaWaveOutBackend : public TWaveOutBackend {
public:
    TAlsaWaveOutBackend();

    TWaveOutDevices devices() override;
    uint32_t driverVersion() override;
    MMRESULT query(const std::string &Device, const WAVEFORMATEX &Format) override;
    MMRESULT open(const std::string &Device, const WAVEFORMATEX &Format,
                  std::unique_ptr<TWaveOutSink> &Sink) override;
};

// The result code for an ALSA error number (negative errno).
MMRESULT AlsaErrorToMMResult(int Error);
