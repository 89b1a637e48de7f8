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

    void processLeft(double x) {
        const double y = b0 * x + b1 * x1L + b2 * x2L - a1 * y1L - a2 * y2L + kAntiDenormal;
        outLeft = y;
        x2L = x1L;
        x1L = x;
        y2L = y1L;
        y1L = y;
    }

    void processRight(double x) {
        const double y = b0 * x + b1 * x1R + b2 * x2R - a1 * y1R - a2 * y2R + kAntiDenormal;
        outRight = y;
        x2R = x1R;
        x1R = x;
        y2R = y1R;
        y1R = y;
    }
};

}  // namespace VRAX
