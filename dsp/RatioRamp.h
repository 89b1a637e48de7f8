// Smooths a positive value by a constant factor per sample, so that equal
// ratios take equal times (frequencies, gain factors).
#pragma once

#include "dsp/RampTarget.h"
#include "framework/DetMath.h"

#include <limits>

namespace VRAX {

class RatioRamp : public RampTarget {
public:
    // Until set up, a ramp jumps.
    double upFactor = std::numeric_limits<double>::infinity();
    double downFactor = 0.0;

    // A change by the factor ratio, up or down, takes time seconds.
    void setSampleRate(double rate, double ratio, double time, double value) {
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
        restart(rate, value);
    }

    // The rule of one step, by value so that a loop can keep the factors in
    // registers; see RampTarget::advance.
    struct Move {
        double up;
        double down;
        bool operator()(double aim, double& value) const {
            const double r = aim / value;
            if (r > up) {
                value *= up;
            } else if (r < down) {
                value *= down;
            } else {
                return false;
            }
            return true;
        }
    };
    Move mover() const { return {upFactor, downFactor}; }

    void step() { advance(mover()); }
};

}  // namespace VRAX
