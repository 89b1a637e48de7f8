#include "AudioDemo.h"

#include "framework/DetMath.h"

#include <cmath>

namespace qhost {

namespace {
constexpr long long framesOf(double seconds) { return static_cast<long long>(seconds * DemoSource::kRate); }
constexpr long long kSweepFrames = framesOf(DemoSource::kSweepSeconds);
constexpr long long kGapFrames = framesOf(DemoSource::kGapSeconds);
constexpr long long kNoiseFrames = framesOf(DemoSource::kNoiseSeconds);
}  // namespace

long long DemoSource::frames() const { return kSweepFrames + kGapFrames + kNoiseFrames + kGapFrames; }

double DemoSource::sample(long long frame, int channel) {
    if (frame < kSweepFrames) {
        // Exponential sweep: the instantaneous frequency f0 * (f1/f0)^(t/T)
        // integrates to this phase; a short fade at both ends avoids clicks.
        // The plug-in's own maths, so that both builds render the same demo
        // (the C libraries' sin and exp differ in the last bit).
        constexpr double f0 = 20.0, f1 = 20000.0, pi = 3.141592653589793;
        constexpr double k = 6.907755278982137;  // ln(f1 / f0)
        const double t = static_cast<double>(frame) / kRate;
        const double phase = 2.0 * pi * f0 * kSweepSeconds / k * (VRAX::detmath::pow(f1 / f0, t / kSweepSeconds) - 1.0);
        const double fade = std::fmin(1.0, std::fmin(t, kSweepSeconds - t) / 0.01);
        return kLevel * fade * VRAX::detmath::sin(phase);
    }
    frame -= kSweepFrames + kGapFrames;
    if (frame >= 0 && frame < kNoiseFrames) {
        // Numerical Recipes' LCG, one per channel; the top 24 bits as -1..1.
        uint32_t& state = noise[channel];
        state = state * 1664525u + 1013904223u;
        return kLevel * (static_cast<double>(state >> 8) / 8388608.0 - 1.0);
    }
    return 0.0;
}

long long DemoSource::read(double* out, long long count) {
    long long n = 0;
    for (; n < count && position < frames(); ++n, ++position)
        for (int c = 0; c < 2; ++c) out[n * 2 + c] = sample(position, c);
    return n;
}

}  // namespace qhost
