#pragma once

#include "support/EventWaits.h"

// Helpers of the playback tests: an application object for the queued commands, waiting
// while events run, sample file images written byte by byte, and the recording stand-in
// device installed for one test.

#include "audio/WavePlayer.h"
#include "platform/Exception.h"
#include "platform/WaveOutRecorder.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// The output's commands run as queued calls, which need an application object.
inline void EnsureApp()
{
    static int argc = 1;
    static char name[] = "test_audio";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv); // lives until the test program ends
}

// Plays through the global player and waits until the device has closed itself.
inline void PlayToEnd(const QString &file)
{
    int stopped = 0;
    GetWavePlayer().Output().OnStopped = [&](TWaveOutput *) { ++stopped; };
    PlayWave(file);
    ASSERT_TRUE(WaitUntil([&] { return stopped == 1; }, 20000));
    GetWavePlayer().Output().OnStopped = nullptr;
}

// Runs the event loop for a while.
inline void Spin(int Ms)
{
    WaitUntil([] { return false; }, Ms);
}

// Appends little- or big-endian integers.
struct TSampleBytes {
    QByteArray b;
    TSampleBytes &id(const char *fourcc) { return b.append(fourcc, 4), *this; }
    TSampleBytes &le16(uint32_t v) { return b.append(char(v)).append(char(v >> 8)), *this; }
    TSampleBytes &le32(uint32_t v) { return le16(v & 0xFFFF).le16(v >> 16); }
    TSampleBytes &be16(uint32_t v) { return b.append(char(v >> 8)).append(char(v)), *this; }
    TSampleBytes &be32(uint32_t v) { return be16(v >> 16).be16(v & 0xFFFF); }
    TSampleBytes &raw(const QByteArray &bytes) { return b.append(bytes), *this; }
};

// A canonical WAV image: RIFF header, 16-byte "fmt " chunk, "data" chunk holding Samples
// (already in the WAV encoding: 8-bit unsigned, 16-bit little-endian).
inline QByteArray WavImage(int Channels, int Bits, uint32_t Rate, const QByteArray &Samples, int Tag = 1)
{
    const int pad = Samples.size() & 1;
    TSampleBytes w;
    w.id("RIFF").le32(uint32_t(36 + Samples.size() + pad)).id("WAVE");
    w.id("fmt ").le32(16);
    w.le16(uint32_t(Tag));                        // format tag: 1 = PCM
    w.le16(uint32_t(Channels));                   // channels
    w.le32(Rate);                                 // sample rate
    w.le32(Rate * uint32_t(Channels * Bits / 8)); // bytes per second
    w.le16(uint32_t(Channels * Bits / 8));        // block align
    w.le16(uint32_t(Bits));                       // bits per sample
    w.id("data").le32(uint32_t(Samples.size())).raw(Samples);
    if (pad)
        w.b.append('\0');
    return w.b;
}

// A plain AIFF image: FORM header, 18-byte COMM chunk, SSND chunk (offset and block size 0)
// holding Samples (already in the AIFF encoding: 8-bit signed, 16-bit big-endian).
inline QByteArray AiffImage(int Channels, int Bits, uint32_t Rate, const QByteArray &Samples)
{
    const int frames = Samples.size() / (Channels * Bits / 8);
    const int pad = Samples.size() & 1;
    TSampleBytes a;
    a.id("FORM").be32(uint32_t(46 + Samples.size() + pad)).id("AIFF");
    a.id("COMM").be32(18);
    a.be16(uint32_t(Channels)).be32(uint32_t(frames)).be16(uint32_t(Bits));
    // Sample rate as an 80-bit extended value: exponent, then the rate shifted up to bit 63.
    int shift = 0;
    uint32_t m = Rate;
    while (!(m & 0x80000000u)) {
        m <<= 1;
        ++shift;
    }
    a.be16(uint32_t(16414 - shift)).be32(m).be32(0);
    a.id("SSND").be32(uint32_t(8 + Samples.size())).be32(0).be32(0).raw(Samples);
    if (pad)
        a.b.append('\0');
    return a.b;
}

// 16-bit samples as bytes in either order.
inline QByteArray Pcm16(const std::vector<int16_t> &Values, bool BigEndian)
{
    TSampleBytes s;
    for (int16_t v : Values)
        BigEndian ? s.be16(uint16_t(v)) : s.le16(uint16_t(v));
    return s.b;
}

// The recording's bytes read as 16-bit little-endian samples.
inline std::vector<int16_t> AsPcm16(const std::vector<uint8_t> &Bytes)
{
    std::vector<int16_t> v(Bytes.size() / 2);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int16_t(Bytes[2 * i] | (Bytes[2 * i + 1] << 8));
    return v;
}

// A drum of Frames mono 16-bit frames that is never silent: a ramp through most of the
// range, so that any lost, repeated or shifted frame shows.
inline std::vector<int16_t> RampDrum(int Frames)
{
    std::vector<int16_t> v(size_t(Frames), 0);
    for (int i = 0; i < Frames; ++i)
        v[size_t(i)] = int16_t((i * 7) % 30000 - 15000 + (i % 3 == 0 ? 1 : 0));
    return v;
}

// Installs a recording device as the wave-out backend and an application object; on the
// way out frees the global player and restores the previous backend.
class TRecorderScope {
public:
    explicit TRecorderScope(std::vector<std::string> Devices = {"Recorder"})
        : recorder(std::make_shared<TWaveOutRecorder>(std::move(Devices)))
    {
        EnsureApp();
        FreeWavePlayer();
        previous_ = SetWaveOutBackend(recorder);
    }
    ~TRecorderScope()
    {
        FreeWavePlayer();
        SetWaveOutBackend(previous_);
    }
    TRecorderScope(const TRecorderScope &) = delete;
    TRecorderScope &operator=(const TRecorderScope &) = delete;

    std::shared_ptr<TWaveOutRecorder> recorder;

private:
    std::shared_ptr<TWaveOutBackend> previous_;
};
