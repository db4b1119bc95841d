#include "demo/DemoSynth.h"

#include <algorithm>

namespace DemoSynth {

namespace {

struct TCoefficients {
    double cosw, alpha;
};

TCoefficients Prepare(double freq, double q)
{
    const double w = TwoPi * std::min(freq, Rate * 0.45) / Rate;
    return {std::cos(w), std::sin(w) / (2.0 * q)};
}

} // namespace

TBiquad TBiquad::LowPass(double freq, double q)
{
    const auto [c, alpha] = Prepare(freq, q);
    const double a0 = 1 + alpha;
    TBiquad f;
    f.b0_ = (1 - c) / 2 / a0;
    f.b1_ = (1 - c) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

TBiquad TBiquad::HighPass(double freq, double q)
{
    const auto [c, alpha] = Prepare(freq, q);
    const double a0 = 1 + alpha;
    TBiquad f;
    f.b0_ = (1 + c) / 2 / a0;
    f.b1_ = -(1 + c) / a0;
    f.b2_ = f.b0_;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

TBiquad TBiquad::BandPass(double freq, double q)
{
    const auto [c, alpha] = Prepare(freq, q);
    const double a0 = 1 + alpha;
    TBiquad f;
    f.b0_ = alpha / a0;
    f.b1_ = 0;
    f.b2_ = -alpha / a0;
    f.a1_ = -2 * c / a0;
    f.a2_ = (1 - alpha) / a0;
    return f;
}

std::vector<int16_t> Finish(const std::vector<double> &samples, double peak)
{
    double max = 0;
    for (double s : samples)
        max = std::max(max, std::abs(s));
    const double gain = max > 0 ? peak * 32767.0 / max : 0.0;
    // A raised-cosine fade over the last eighth (at least 5 ms), so that a decay
    // cut by the sample's length ends smoothly instead of with a click.
    const size_t fade = std::min(samples.size(), std::max(size_t(Rate * 0.005), samples.size() / 8));
    std::vector<int16_t> out(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        double v = samples[i] * gain;
        const size_t left = samples.size() - i;
        if (left <= fade)
            v *= 0.5 - 0.5 * std::cos(std::numbers::pi * double(left - 1) / double(fade));
        out[i] = int16_t(std::lround(std::clamp(v, -32767.0, 32767.0)));
    }
    return out;
}

} // namespace DemoSynth
