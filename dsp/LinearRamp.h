// Smooths a value by a constant step per sample, so that equal distances take
// equal times (a resonance, a fraction).
//
// setTarget may run on another thread than step: target and settled are
// atomic, everything else belongs to the thread that steps (or to set-up
// while nothing steps).
#pragma once

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace VRAX {

class LinearRamp {
public:
    double sampleRate = 0.0;
    std::atomic<double> target{0.0};
    double current = 0.0;
    // Until set up, a ramp jumps.
    double stepSize = std::numeric_limits<double>::infinity();
    std::atomic<bool> settled{true};

    // A change by span takes time seconds; with no time, one step covers span.
    void setSampleRate(double rate, double span, double time, double value) {
        sampleRate = rate;
        double size = time > 0.0 ? std::fabs(span / (rate * time)) : std::fabs(span);
        // A zero step would never arrive: a ramp without span jumps.
        if (size == 0.0) {
            size = std::numeric_limits<double>::infinity();
        }
        stepSize = size;
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
        const double diff = aim - current;
        if (diff > stepSize) {
            current += stepSize;
        } else if (diff < -stepSize) {
            current -= stepSize;
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
