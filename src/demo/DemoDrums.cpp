#include "demo/DemoDrums.h"

#include "demo/DemoSynth.h"

using namespace DemoSynth;

namespace {

std::vector<double> Buffer(double seconds)
{
    return std::vector<double>(size_t(seconds * Rate));
}

double T(size_t i)
{
    return double(i) / Rate;
}

// Bass drum: a sine whose pitch falls fast, a slow amplitude decay, and a short
// filtered click at the start.
std::vector<double> Kick(double seconds, double fStart, double fEnd, double sweep, double decay, double click,
                         uint32_t seed)
{
    auto out = Buffer(seconds);
    TSweep body(fStart, fEnd, sweep);
    TNoise noise(seed);
    TBiquad clickFilter = TBiquad::LowPass(3000, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        const double attack = std::min(1.0, t / 0.0015);
        out[i] = body.next(t) * Decay(t, decay) * attack +
                 click * clickFilter.process(noise.next()) * Decay(t, 0.004);
    }
    return out;
}

// Snare: two tuned sines (the drum head) and band-limited noise (the wires).
std::vector<double> Snare(double seconds, double tone1, double tone2, double toneDecay, double noiseAmount,
                          double noiseDecay, double noiseFreq, uint32_t seed)
{
    auto out = Buffer(seconds);
    TSweep a(tone1 * 1.25, tone1, 0.01), b(tone2 * 1.2, tone2, 0.01);
    TNoise noise(seed);
    TBiquad hp = TBiquad::HighPass(noiseFreq, 0.7), lp = TBiquad::LowPass(noiseFreq * 4.0, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        const double tone = (a.next(t) + 0.6 * b.next(t)) * Decay(t, toneDecay);
        const double wires = lp.process(hp.process(noise.next())) * Decay(t, noiseDecay);
        out[i] = (1.0 - noiseAmount) * tone + noiseAmount * 1.6 * wires;
    }
    return out;
}

// Hi-hats and cymbals: high-passed noise, with six detuned square waves mixed
// in for the metallic ring, under a decay.
std::vector<double> Metal(double seconds, double decay, double highPass, double band, double metallic,
                          uint32_t seed)
{
    auto out = Buffer(seconds);
    TNoise noise(seed);
    TSquare sq[6] = {TSquare(205.3), TSquare(304.4), TSquare(369.6),
                     TSquare(522.7), TSquare(540.0), TSquare(800.0)};
    TBiquad hp1 = TBiquad::HighPass(highPass, 0.7), hp2 = TBiquad::HighPass(highPass, 0.7);
    TBiquad bp = TBiquad::BandPass(band, 0.8);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        double ring = 0;
        for (TSquare &s : sq)
            ring += s.next();
        const double source = (1.0 - metallic) * noise.next() + metallic * ring / 6.0;
        const double filtered = hp2.process(hp1.process(source)) + 0.5 * bp.process(source);
        const double attack = std::min(1.0, t / 0.0008);
        out[i] = filtered * Decay(t, decay) * attack;
    }
    return out;
}

// Toms and congas: a sine with a small pitch drop, a touch of noise at the start.
std::vector<double> Tom(double seconds, double fStart, double fEnd, double decay, double noiseAmount,
                        uint32_t seed)
{
    auto out = Buffer(seconds);
    TSweep body(fStart, fEnd, 0.05);
    TNoise noise(seed);
    TBiquad lp = TBiquad::LowPass(fEnd * 8, 0.7);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        const double attack = std::min(1.0, t / 0.001);
        out[i] = (body.next(t) * Decay(t, decay) + noiseAmount * lp.process(noise.next()) * Decay(t, 0.03)) *
                 attack;
    }
    return out;
}

// Hand claps: band-passed noise in four quick bursts, then a longer tail.
std::vector<double> Clap(double band, uint32_t seed)
{
    auto out = Buffer(0.45);
    TNoise noise(seed);
    TBiquad bp = TBiquad::BandPass(band, 1.2);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        double env = 0;
        for (int burst = 0; burst < 3; ++burst) {
            const double start = burst * 0.011;
            if (t >= start)
                env = std::max(env, Decay(t - start, 0.004));
        }
        if (t >= 0.033)
            env = std::max(env, 0.8 * Decay(t - 0.033, 0.09));
        out[i] = bp.process(noise.next()) * env;
    }
    return out;
}

std::vector<double> Cowbell()
{
    auto out = Buffer(0.5);
    TSquare a(540.0), b(800.0);
    TBiquad bp = TBiquad::BandPass(2640, 1.5);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        const double env = 0.6 * Decay(t, 0.015) + 0.4 * Decay(t, 0.12);
        out[i] = bp.process(a.next() + b.next()) * env * std::min(1.0, t / 0.0007);
    }
    return out;
}

std::vector<double> Claves()
{
    auto out = Buffer(0.2);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        phase += TwoPi * 2500.0 / Rate;
        out[i] = std::sin(phase) * Decay(t, 0.025) * std::min(1.0, t / 0.0004);
    }
    return out;
}

std::vector<double> Maracas(uint32_t seed)
{
    auto out = Buffer(0.12);
    TNoise noise(seed);
    TBiquad hp = TBiquad::HighPass(6000, 0.8);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        const double env = std::min(1.0, t / 0.008) * Decay(t, 0.022);
        out[i] = hp.process(noise.next()) * env;
    }
    return out;
}

// Rimshot: two high resonant tones that die within a few tens of milliseconds.
std::vector<double> Rimshot(double f1, double f2, uint32_t seed)
{
    auto out = Buffer(0.15);
    TNoise noise(seed);
    TBiquad hp = TBiquad::HighPass(600, 0.7);
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        p1 += TwoPi * f1 / Rate;
        p2 += TwoPi * f2 / Rate;
        const double click = noise.next() * Decay(t, 0.002);
        out[i] = hp.process(std::sin(p1) + 0.7 * std::sin(p2) + click) * Decay(t, 0.018);
    }
    return out;
}

// The start-up sound: a rising four-note chime over a soft low sweep.
std::vector<double> Startup()
{
    auto out = Buffer(1.6);
    const double notes[] = {261.63, 329.63, 392.0, 523.25};
    TSweep pad(55, 110, 0.5);
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = T(i);
        double v = 0.25 * pad.next(1.6 - t) * std::sin(std::numbers::pi * t / 1.6);
        for (int n = 0; n < 4; ++n) {
            const double start = n * 0.12;
            if (t < start)
                continue;
            const double u = t - start;
            const double env = std::min(1.0, u / 0.004) * Decay(u, 0.45);
            v += 0.3 * env * (std::sin(TwoPi * notes[n] * u) + 0.3 * std::sin(TwoPi * notes[n] * 2.0 * u));
        }
        out[i] = v;
    }
    return out;
}

std::vector<double> Recipe(int drum)
{
    const uint32_t seed = 0x5eed0000u + uint32_t(drum) * 7919u;
    switch (drum) {
    case 0:
        return Startup();
    case 1:
        return Kick(0.8, 110, 48, 0.03, 0.32, 0.15, seed); // 808 Bassdrum
    case 2:
        return Cowbell(); // 808 Cowbell
    case 3:
        return Metal(0.15, 0.035, 7000, 9000, 0.55, seed); // 808 Closed Hihat
    case 4:
        return Claves(); // 808 Claves
    case 5:
        return Clap(1100, seed); // 808 Handclaps
    case 6:
        return Metal(1.5, 0.45, 5000, 7500, 0.6, seed); // 808 Cymbal
    case 7:
        return Tom(0.35, 400, 370, 0.08, 0.05, seed); // 808 Hi Conga
    case 8:
        return Tom(0.6, 240, 200, 0.18, 0.25, seed); // 808 Hi Tom
    case 9:
        return Tom(0.45, 185, 165, 0.12, 0.05, seed); // 808 Lo Conga
    case 10:
        return Tom(0.8, 120, 95, 0.28, 0.25, seed); // 808 Lo Tom
    case 11:
        return Maracas(seed); // 808 Maracas
    case 12:
        return Tom(0.4, 270, 250, 0.1, 0.05, seed); // 808 Mid Conga
    case 13:
        return Tom(0.7, 170, 140, 0.22, 0.25, seed); // 808 Mid Tom
    case 14:
    case 15:
    case 16:
    case 17: // 808 Snare Snappy 1..4
        return Snare(0.35, 180, 330, 0.06, 0.45 + 0.13 * (drum - 14), 0.06 + 0.02 * (drum - 14), 1800, seed);
    case 18:
        return Metal(0.7, 0.22, 7000, 9000, 0.55, seed); // 808 Open Hihat
    case 19:
        return Rimshot(500, 1700, seed); // 808 Rimshot
    case 20:
    case 21:
    case 22:
    case 23:
    case 24: // 808 Snare Tone 1..5
        return Snare(0.3, 150 + 22.0 * (drum - 20), 300 + 30.0 * (drum - 20), 0.07, 0.4, 0.05, 1800, seed);
    case 25:
    case 26:
    case 27:
    case 28: // 909 Bassdrum 1..4
        return Kick(0.6, 320 - 30.0 * (drum - 25), 52 - 2.0 * (drum - 25), 0.018, 0.2 + 0.07 * (drum - 25),
                    0.45 - 0.08 * (drum - 25), seed);
    case 29:
        return Metal(2.0, 0.6, 6000, 8000, 0.25, seed); // 909 Crash Cymbal
    case 30:
        return Metal(0.12, 0.028, 8500, 10000, 0.2, seed); // 909 Closed Hihat
    case 31:
        return Clap(1300, seed); // 909 Handclaps
    case 32:
        return Tom(0.45, 330, 220, 0.15, 0.35, seed); // 909 Hi Tom
    case 33:
        return Tom(0.6, 180, 110, 0.22, 0.35, seed); // 909 Lo Tom
    case 34:
        return Tom(0.5, 250, 160, 0.19, 0.35, seed); // 909 Mid Tom
    case 35:
        return Metal(0.6, 0.18, 8500, 10000, 0.2, seed); // 909 Open Hihat
    case 36:
        return Metal(1.8, 0.7, 4000, 5200, 0.45, seed); // 909 Ride Cymbal
    case 37:
        return Rimshot(450, 1900, seed); // 909 Rimshot
    case 38:
    case 39:
    case 40:
    case 41:
    case 42: // 909 Snare Tone 1..5
        return Snare(0.35, 185 + 15.0 * (drum - 38), 340 + 20.0 * (drum - 38), 0.05, 0.5, 0.07, 2500, seed);
    default: // 909 Snare Snappy 1..3
        return Snare(0.4, 200, 350, 0.05, 0.7 + 0.1 * (drum - 43), 0.09 + 0.02 * (drum - 43), 2500, seed);
    }
}

} // namespace

std::vector<int16_t> SynthesiseDemoDrum(int drumIndex)
{
    return Finish(Recipe(drumIndex));
}
