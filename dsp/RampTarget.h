// What LinearRamp and RatioRamp share: the current value, and the hand-over
// of the target from whichever thread sets it to the thread that steps.
//
// setTarget may run on another thread than step: target and settled are
// atomic, everything else belongs to the thread that steps (or to set-up
// while nothing steps).
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace VRAX {

class RampTarget {
public:
    double sampleRate = 0.0;
    std::atomic<double> target{0.0};
    double current = 0.0;
    std::atomic<bool> settled{true};

    void setTarget(double value, bool jump) {
        target.store(value);
        if (jump) {
            current = value;
        }
        settled.store(jump);
    }

    // For a loop that steps a copy of the value in a register with the
    // ramp's Move: whether the ramp moves and where to, read when the loop
    // starts and again at points of its choosing (a target set meanwhile
    // waits for the next one), ...
    bool moving() const { return !settled.load(std::memory_order_acquire); }
    double aim() const { return target.load(std::memory_order_acquire); }
    // ... and the landing, once the copy is within a step of aim. Returns
    // true when a target set meanwhile keeps the ramp moving.
    bool arrive(double aim) {
        land(aim);
        return !settled.load(std::memory_order_acquire);
    }

protected:
    // Set-up: a new rate, settled on value.
    void restart(double rate, double value) {
        sampleRate = rate;
        target.store(value);
        current = value;
        settled.store(true);
    }

    // One sample: move(aim, value) moves value towards the target and
    // returns true, or returns false when the target is within one step,
    // which then lands on it.
    template <typename Move>
    void advance(const Move& move) {
        if (settled.load(std::memory_order_acquire)) {
            return;
        }
        const double aim = target.load(std::memory_order_acquire);
        double value = current;
        if (move(aim, value)) {
            current = value;
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
