#include "dsp/LinearRamp.h"
#include "dsp/RatioRamp.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

using VRAX::LinearRamp;
using VRAX::RatioRamp;

namespace {

// Steps until settled; fails on overshoot, on a step that goes the wrong
// way, or when the ramp does not arrive within limit steps.
template <typename Ramp>
int stepsToArrive(Ramp& ramp, int limit = 100000) {
    const double target = ramp.target;
    const bool up = target > ramp.current;
    int steps = 0;
    while (!ramp.settled && steps < limit) {
        const double before = ramp.current;
        ramp.step();
        ++steps;
        EXPECT_TRUE(up ? ramp.current >= before && ramp.current <= target
                       : ramp.current <= before && ramp.current >= target)
            << "step " << steps << ": " << before << " -> " << ramp.current;
    }
    EXPECT_TRUE(ramp.settled);
    return steps;
}

// The control thread retargets the ramp in bursts while the audio thread
// steps it, each step landing (all values lie within one step); after each
// burst the audio thread must arrive at the burst's last target, even when
// that target came in while a step was landing on an earlier one.
template <typename Ramp>
int targetsLostWhileLanding(Ramp& ramp, double base, double spread) {
    constexpr int kRounds = 1000;
    std::atomic<int> burst{0};
    std::atomic<int> checked{0};
    int lost = 0;
    std::thread audio([&] {
        for (int r = 1; r <= kRounds; ++r) {
            while (burst.load(std::memory_order_acquire) < r) ramp.step();
            while (!ramp.settled) ramp.step();
            if (ramp.current != base + r * spread) ++lost;
            checked.store(r, std::memory_order_release);
        }
    });
    for (int r = 1; r <= kRounds; ++r) {
        for (int k = 0; k < 20; ++k) ramp.setTarget(base + (k & 1) * spread * 0.5, false);
        ramp.setTarget(base + r * spread, false);
        burst.store(r, std::memory_order_release);
        while (checked.load(std::memory_order_acquire) < r) std::this_thread::yield();
    }
    audio.join();
    return lost;
}

}  // namespace

TEST(RatioRamp, FullRangeTakesTheGivenTimeAndLandsExactly) {
    RatioRamp ramp;
    ramp.setSampleRate(44100.0, 1000.0, 0.02, 20.0);
    EXPECT_DOUBLE_EQ(ramp.upFactor, std::pow(1000.0, 1.0 / 882.0));
    EXPECT_EQ(ramp.downFactor, 1.0 / ramp.upFactor);
    EXPECT_TRUE(ramp.settled);
    EXPECT_EQ(ramp.current, 20.0);

    ramp.setTarget(20000.0, false);
    EXPECT_FALSE(ramp.settled);
    EXPECT_EQ(ramp.current, 20.0);
    EXPECT_EQ(stepsToArrive(ramp), 883);
    EXPECT_EQ(ramp.current, 20000.0);
    ramp.step();
    EXPECT_EQ(ramp.current, 20000.0);

    ramp.setTarget(20.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 883);
    EXPECT_EQ(ramp.current, 20.0);
}

TEST(RatioRamp, PartOfTheRangeTakesItsShareOfTheTime) {
    // The gain glide: 10^1.2 (24 dB) in 0.02 s, so 12 dB takes half of it.
    RatioRamp ramp;
    ramp.setSampleRate(44100.0, 15.848931924611142, 0.02, 1.0);
    ramp.setTarget(std::pow(10.0, 0.6), false);
    EXPECT_NEAR(stepsToArrive(ramp), 442, 1);
}

TEST(RatioRamp, JumpsAndUnchangedTargets) {
    RatioRamp ramp;
    ramp.setSampleRate(48000.0, 1000.0, 0.02, 100.0);
    ramp.setTarget(5000.0, true);
    EXPECT_TRUE(ramp.settled);
    EXPECT_EQ(ramp.current, 5000.0);
    ramp.step();
    EXPECT_EQ(ramp.current, 5000.0);
    // A new program that keeps this value still unsettles it, for one step.
    ramp.setTarget(5000.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 1);
    // 0 / 0 is no ratio at all: the ramp lands rather than stalling.
    ramp.setTarget(0.0, true);
    ramp.setTarget(0.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 1);
    ramp.setTarget(std::nan(""), false);
    ramp.step();
    EXPECT_TRUE(ramp.settled);
}

TEST(RatioRamp, ArgumentsWithoutASpeedStillArrive) {
    RatioRamp reversed;
    reversed.setSampleRate(44100.0, 0.001, 0.02, 20.0);
    RatioRamp backwards;
    backwards.setSampleRate(44100.0, 1000.0, -0.02, 20.0);
    RatioRamp normal;
    normal.setSampleRate(44100.0, 1000.0, 0.02, 20.0);
    EXPECT_DOUBLE_EQ(reversed.upFactor, normal.upFactor);
    EXPECT_DOUBLE_EQ(backwards.upFactor, normal.upFactor);
    for (double time : {0.02, 0.0}) {
        RatioRamp flat;
        flat.setSampleRate(44100.0, 1.0, time, 20.0);
        flat.setTarget(40.0, false);
        EXPECT_EQ(stepsToArrive(flat), 1) << time;
    }
}

TEST(LinearRamp, FullSpanTakesTheGivenTimeAndLandsExactly) {
    LinearRamp ramp;
    ramp.setSampleRate(44100.0, 1.0, 0.02, 0.0);
    EXPECT_DOUBLE_EQ(ramp.stepSize, 1.0 / 882.0);
    ramp.setTarget(1.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 883);
    EXPECT_EQ(ramp.current, 1.0);
    ramp.setTarget(0.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 883);
    EXPECT_EQ(ramp.current, 0.0);
    ramp.setTarget(0.5, false);
    EXPECT_NEAR(stepsToArrive(ramp), 441, 1);
    ramp.setTarget(0.25, true);
    EXPECT_TRUE(ramp.settled);
    EXPECT_EQ(ramp.current, 0.25);
}

TEST(LinearRamp, WithoutTimeOneStepCoversTheSpan) {
    LinearRamp ramp;
    ramp.setSampleRate(44100.0, 0.5, 0.0, 0.0);
    EXPECT_EQ(ramp.stepSize, 0.5);
    ramp.setTarget(1.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 2);
    // A negative span is a distance all the same.
    ramp.setSampleRate(44100.0, -0.5, 0.0, 0.0);
    EXPECT_EQ(ramp.stepSize, 0.5);
    // No span at all: jump.
    ramp.setSampleRate(44100.0, 0.0, 0.02, 0.0);
    ramp.setTarget(1.0, false);
    EXPECT_EQ(stepsToArrive(ramp), 1);
}

TEST(RampAcrossThreads, TargetSetWhileLandingIsNotLost) {
    RatioRamp ratio;
    ratio.setSampleRate(44100.0, 1000.0, 0.02, 100.0);
    EXPECT_EQ(targetsLostWhileLanding(ratio, 100.0, 1e-4), 0);
    LinearRamp linear;
    linear.setSampleRate(44100.0, 1.0, 0.02, 0.5);
    EXPECT_EQ(targetsLostWhileLanding(linear, 0.5, 1e-7), 0);
}
