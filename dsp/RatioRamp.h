// Smooths a positive value by a constant factor per sample, so that equal
// ratios take equal times (frequencies, gain factors).
//
// setTarget may run on another thread than step: target and settled are
// atomic, everything else belongs to the thread that steps (or to set-up
// while nothing steps).
#pragma once

#include "framework/DetMath.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace VRAX {

class RatioRamp {
public:
    double sampleRate = 0.0;
    std::atomic<double> target{0.0};
    double current = 0.0;
    // Until set up, a ramp jumps.
    double upFactor = std::numeric_limits<double>::infinity();
    double downFactor = 0.0;
    std::atomic<bool> settled{true};

    // A change by the factor ratio, up or down, takes time seconds.
    void setSampleRate(double rate, double ratio, double time, double value) {
        sampleRate = rate;
        double factor = detmath::pow(ratio, 1.0 / (rate * time));
        // A ratio below 1 or a negative time describes the same speed; a ramp
        // without range (ratio 1, or nonsense) jumps rather than never arriving.
        if (factor < 1.0) {
            factor = 1.0 / factor;
        }
        if (!(factor > 1.0)) {
            factor = std::numeric_limits<double>::infinity();
        }
        upFactor = factor;
        downFactor = 1.0 / factor;
        target.store(value);
        current = value;
        settled.store(true);
    }

    void setTarget(double value, bool jump) {
        target.store(value);
        if (jump) {
            current = value;
        }
        settled.store(jump);
    }

    void step() {
        if (settled.load(std::memory_order_acquire)) {
            return;
        }
        const double aim = target.load(std::memory_order_acquire);
        const double r = aim / current;
        if (r > upFactor) {
            current *= upFactor;
        } else if (r < downFactor) {
            current *= downFactor;
        } else {
            land(aim);
        }
    }

private:
    void land(double aim) {
        current = aim;
        settled.store(true);
        // A target set while this step ran must not be hidden by the flag
        // just raised (bitwise, so that a NaN target settles too).
        if (std::bit_cast<std::uint64_t>(target.load()) != std::bit_cast<std::uint64_t>(aim)) {
            settled.store(false);
        }
    }
};

}  // namespace VRAX
