// A two-channel second-order filter section with a resonant high-pass design.
// Both channels share the coefficients and keep their own state; the
// per-sample calls are inline because they run once per sample and channel.
#pragma once

#include <cstdint>

namespace VRAX {

class BiquadSection {
public:
    // Added to every output: it feeds back through the state, which therefore
    // never decays into the subnormal range (slow on x86) when the input stops.
    static constexpr double kAntiDenormal = 1e-20;

    double sampleRate = 0.0;
    double nyquist = 0.0;
    double outLeft = 0.0;
    double outRight = 0.0;
    double b0 = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
    double x1L = 0.0;
    double x2L = 0.0;
    double y1L = 0.0;
    double y2L = 0.0;
    double x1R = 0.0;
    double x2R = 0.0;
    double y1R = 0.0;
    double y2R = 0.0;
    std::int32_t kind = 0;  // 0: no design yet (pass-through), 1: high-pass
    double lastCutOff = 0.0;
    double lastRes = 0.0;

    // Pass-through coefficients and silent state.
    void setSampleRate(double rate);
    // Silences the state; the design stays.
    void clear();
    // res runs from 0 (flat) to 1 (quality factor 5). Returns at once when
    // neither value changed, so callers may call it as often as they like.
    void setHighPass(double cutOff, double res);

    // The five coefficients, for a loop that keeps them in locals.
    struct Coefficients {
        double b0, b1, b2, a1, a2;
    };
    Coefficients coefficients() const { return {b0, b1, b2, a1, a2}; }

    // One frame of both channels, left first, in one SSE2 register: each
    // half is computed exactly as a double on its own would be.
    using Pair = double __attribute__((vector_size(16)));

    // The recurrence for one sample of one channel (T = double) or of both
    // (T = Pair): returns y and moves the state (previous input, the one
    // before, previous output, the one before) on. Every per-sample path of
    // the filter goes through here.
    template <typename T>
    static T tick(const Coefficients& c, T x, T& x1, T& x2, T& y1, T& y2) {
        const T y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2 + kAntiDenormal;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    void processLeft(double x) { outLeft = tick(coefficients(), x, x1L, x2L, y1L, y2L); }
    void processRight(double x) { outRight = tick(coefficients(), x, x1R, x2R, y1R, y2R); }
};

}  // namespace VRAX
