#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Small building blocks for the demo drums: a seeded noise source, filters and
// envelopes, all in doubles at 44100 Hz. Same seed, same samples.
namespace DemoSynth {

constexpr double Rate = 44100.0;
constexpr double TwoPi = 2.0 * std::numbers::pi;

// xorshift32: white noise in -1..1, repeatable from its seed.
class TNoise {
public:
    explicit TNoise(uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    double next()
    {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 17;
        s_ ^= s_ << 5;
        return double(s_) / 2147483648.0 - 1.0;
    }

private:
    uint32_t s_;
};

// A biquad of the usual cookbook forms.
class TBiquad {
public:
    static TBiquad LowPass(double freq, double q);
    static TBiquad HighPass(double freq, double q);
    static TBiquad BandPass(double freq, double q);
    double process(double x)
    {
        const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
        x2_ = x1_;
        x1_ = x;
        y2_ = y1_;
        y1_ = y;
        return y;
    }

private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

inline double Decay(double t, double seconds)
{
    return std::exp(-t / seconds);
}

// A sine whose frequency falls from `start` to `end` with time constant `sweep`.
class TSweep {
public:
    TSweep(double start, double end, double sweep) : start_(start), end_(end), sweep_(sweep) {}
    double next(double t)
    {
        const double f = end_ + (start_ - end_) * std::exp(-t / sweep_);
        phase_ += TwoPi * f / Rate;
        return std::sin(phase_);
    }

private:
    double start_, end_, sweep_, phase_ = 0;
};

// A square wave of a fixed frequency (the metallic voices), -1 or 1.
class TSquare {
public:
    explicit TSquare(double freq) : step_(freq / Rate) {}
    double next()
    {
        phase_ += step_;
        phase_ -= std::floor(phase_);
        return phase_ < 0.5 ? 1.0 : -1.0;
    }

private:
    double step_, phase_ = 0;
};

// Scales the samples to the given peak (of full scale), fades the last eighth
// to silence and rounds them to 16 bits.
std::vector<int16_t> Finish(const std::vector<double> &samples, double peak = 0.89);

} // namespace DemoSynth
