#pragma once

#include "support/EnvGuard.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Sound in tests goes where a user's goes: through ALSA. This configuration (selected with
// ALSA_CONFIG_PATH for the life of the object) makes ALSA's default device the "file"
// plugin over the "null" plugin, so what the program plays lands, raw, in a file. It
// defines nothing else, like a minimal or container setup whose only device is "default".
// The wave player reads the configuration when it is made: free it before and after.
class TAlsaCapture {
public:
    // Writes the configuration and the (empty) capture file into Folder.
    explicit TAlsaCapture(const QString &folder);
    // A configuration whose only device can't open: a machine without a sound card.
    static std::unique_ptr<TAlsaCapture> NoSoundCard(const QString &folder);

    QString captureFile() const { return capture_; }
    QByteArray captured() const;
    // True once the capture holds Samples as one run of bytes; waits up to Ms milliseconds,
    // running the event loop meanwhile.
    bool waitFor(const QByteArray &samples, int ms = 5000) const;
    // Empties the capture file.
    void clear() const;

private:
    TAlsaCapture(const QString &folder, const QByteArray &config);
    QString capture_;
    std::unique_ptr<TEnvGuard> env_;
};

// An ALSA configuration entry for a pcm named Name (e.g. "!default") that writes what it is
// given, raw, into File; with Hint it is listed as a playback device.
QString FilePcm(const QString &name, const QString &file, bool hint);

// 16-bit PCM whose every sample differs from its neighbours (a ramp with a seed), so that a
// capture holding it proves these samples were played, whole and in order.
QByteArray DistinctSamples(int samples, int seed);
// A 44100 Hz WAV file holding 16-bit samples of that many channels.
QByteArray WavFile16(const QByteArray &samples, int channels);
// Mono 16-bit samples as the player sends them to a stereo device: each one on both sides.
QByteArray AsStereo(const QByteArray &mono);
