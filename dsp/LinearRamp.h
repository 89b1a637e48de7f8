// Smooths a value by a constant step per sample, so that equal distances take
// equal times (a resonance, a fraction).
#pragma once

#include "dsp/RampTarget.h"

#include <cmath>
#include <limits>

namespace VRAX {

class LinearRamp : public RampTarget {
public:
    // Until set up, a ramp jumps.
    double stepSize = std::numeric_limits<double>::infinity();

    // A change by span takes time seconds; with no time, one step covers span.
    void setSampleRate(double rate, double span, double time, double value) {
        double size = time > 0.0 ? std::fabs(span / (rate * time)) : std::fabs(span);
        // A zero step would never arrive: a ramp without span jumps.
        if (size == 0.0) {
            size = std::numeric_limits<double>::infinity();
        }
        stepSize = size;
        restart(rate, value);
    }

    // The rule of one step, by value so that a loop can keep the step size
    // in a register; see RampTarget::advance.
    struct Move {
        double size;
        bool operator()(double aim, double& value) const {
            const double diff = aim - value;
            if (diff > size) {
                value += size;
            } else if (diff < -size) {
                value -= size;
            } else {
                return false;
            }
            return true;
        }
    };
    Move mover() const { return {stepSize}; }

    void step() { advance(mover()); }
};

}  // namespace VRAX
