#include "dsp/BiquadSection.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstring>
#include <random>

using VRAX::BiquadSection;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRate = 44100.0;

BiquadSection designed(double cutOff, double res, double rate = kRate) {
    BiquadSection s;
    s.setSampleRate(rate);
    s.setHighPass(cutOff, res);
    return s;
}

double decibels(double magnitude) { return 20.0 * std::log10(magnitude); }

// |H(e^jw)| straight from the coefficients.
double response(const BiquadSection& s, double f) {
    const std::complex<double> z1 = std::polar(1.0, -2.0 * kPi * f / s.sampleRate);
    return std::abs((s.b0 + z1 * (s.b1 + z1 * s.b2)) / (1.0 + z1 * (s.a1 + z1 * s.a2)));
}

// s^2 / (s^2 + d s + 1) at the frequency the bilinear transform maps f to.
double prototype(double f, double cutOff, double res, double rate) {
    const double u = std::tan(kPi * f / rate) / std::tan(kPi * cutOff / rate);
    const double d = std::sqrt(2.0) - (std::sqrt(2.0) - 0.2) * res;
    return u * u / std::hypot(1.0 - u * u, d * u);
}

// Steady-state amplitude of a sine of frequency f run through one channel,
// taken as one bin of a transform over a whole number of periods.
double measuredGain(BiquadSection& s, bool right, double f) {
    const int settle = static_cast<int>(s.sampleRate);
    const int length = static_cast<int>(std::lround(s.sampleRate / f * 100.0));
    std::complex<double> sum;
    for (int n = 0; n < settle + length; ++n) {
        const double phase = 2.0 * kPi * f * n / s.sampleRate;
        double y;
        if (right) {
            s.processRight(std::sin(phase));
            y = s.outRight;
        } else {
            s.processLeft(std::sin(phase));
            y = s.outLeft;
        }
        if (n >= settle) sum += y * std::polar(1.0, -phase);
    }
    return 2.0 * std::abs(sum) / length;
}

void feedNoise(BiquadSection& s, int frames, double level) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(-level, level);
    for (int n = 0; n < frames; ++n) {
        s.processLeft(dist(rng));
        s.processRight(dist(rng));
    }
}

// Every field, bit for bit (padding aside).
bool identical(const BiquadSection& a, const BiquadSection& b) {
    const auto fields = [](const BiquadSection& s) {
        return std::array{s.sampleRate, s.nyquist, s.outLeft, s.outRight, s.b0, s.b1, s.b2,
                          s.a1, s.a2, s.x1L, s.x2L, s.y1L, s.y2L, s.x1R, s.x2R, s.y1R, s.y2R,
                          static_cast<double>(s.kind), s.lastCutOff, s.lastRes};
    };
    const auto x = fields(a);
    const auto y = fields(b);
    return std::memcmp(x.data(), y.data(), sizeof x) == 0;
}

}  // namespace

TEST(BiquadSection, PassesInputThroughUntilDesigned) {
    BiquadSection s = designed(1000.0, 0.5);
    feedNoise(s, 100, 1.0);
    s.setSampleRate(48000.0);
    EXPECT_EQ(s.kind, 0);
    EXPECT_EQ(s.nyquist, 24000.0);
    EXPECT_EQ(s.lastCutOff, 0.0);
    EXPECT_EQ(s.lastRes, 0.0);
    for (double x : {0.0, 0.75, -0.25, 1e-3, 0.0}) {
        s.processLeft(x);
        s.processRight(-x);
        EXPECT_EQ(s.outLeft, x + 1e-20);
        EXPECT_EQ(s.outRight, -x + 1e-20);
    }
    // The pass-through state must not count as a design of 0 Hz, resonance 0.
    s.setHighPass(0.0, 0.0);
    EXPECT_EQ(s.kind, 1);
    EXPECT_EQ(s.b1, -2.0);
}

TEST(BiquadSection, RedesignsOnlyWhenSomethingChanged) {
    BiquadSection s = designed(1000.0, 0.3);
    feedNoise(s, 200, 1.0);
    const BiquadSection before = s;
    s.setHighPass(1000.0, 0.3);
    EXPECT_TRUE(identical(s, before));

    s.setHighPass(1000.0, 0.6);
    EXPECT_EQ(s.lastRes, 0.6);
    EXPECT_NE(s.a2, before.a2);
    EXPECT_EQ(s.y1L, before.y1L);
    EXPECT_EQ(s.x1R, before.x1R);

    const double a1 = s.a1;
    s.setHighPass(1200.0, 0.6);
    EXPECT_NE(s.a1, a1);
}

TEST(BiquadSection, CutOffIsClampedToZeroAndNyquist) {
    const BiquadSection atNyquist = designed(22050.0, 0.4);
    for (double above : {22050.5, 30000.0, HUGE_VAL}) {
        const BiquadSection s = designed(above, 0.4);
        EXPECT_EQ(s.lastCutOff, 22050.0) << above;
        EXPECT_EQ(s.b0, atNyquist.b0) << above;
        EXPECT_EQ(s.a1, atNyquist.a1) << above;
        EXPECT_EQ(s.a2, atNyquist.a2) << above;
    }
    const BiquadSection s = designed(-5.0, 0.4);
    EXPECT_EQ(s.lastCutOff, 0.0);
    EXPECT_EQ(s.b0, 1.0);
    EXPECT_EQ(s.b1, -2.0);
    EXPECT_EQ(s.b2, 1.0);
    EXPECT_EQ(s.a1, -2.0);
    EXPECT_EQ(s.a2, 1.0);
}

TEST(BiquadSectionResponse, MatchesTheAnaloguePrototype) {
    for (double rate : {44100.0, 96000.0}) {
        for (double cutOff : {20.0, 1000.0, 15000.0}) {
            for (double res : {0.0, 0.35, 1.0}) {
                const BiquadSection s = designed(cutOff, res, rate);
                for (double f = 10.0; f < 0.45 * rate; f *= 1.25) {
                    EXPECT_NEAR(decibels(response(s, f)), decibels(prototype(f, cutOff, res, rate)), 1e-6)
                        << rate << " Hz, " << cutOff << " Hz, res " << res << ", at " << f << " Hz";
                }
            }
        }
    }
}

TEST(BiquadSectionResponse, FlatDesignIsThreeDecibelsDownAtCutOff) {
    BiquadSection s = designed(1000.0, 0.0);
    EXPECT_NEAR(decibels(response(s, 1000.0)), -3.0103, 1e-4);
    EXPECT_NEAR(decibels(measuredGain(s, false, 1000.0)), -3.0103, 0.01);
    s.clear();
    EXPECT_NEAR(decibels(measuredGain(s, true, 1000.0)), -3.0103, 0.01);
    // Maximally flat: no peak anywhere, nearly unity well above cut off.
    for (double f = 20.0; f < 22000.0; f *= 1.05) EXPECT_LE(response(s, f), 1.0 + 1e-12) << f;
    EXPECT_GT(decibels(response(s, 10000.0)), -0.01);
    // Twelve decibels (a factor of 4) per octave below cut off.
    EXPECT_NEAR(response(s, 125.0) / response(s, 62.5), 4.0, 0.01);
    EXPECT_NEAR(response(s, 50.0) / response(s, 25.0), 4.0, 0.001);
}

TEST(BiquadSectionResponse, ResonancePeakRisesWithRes) {
    double previous = 0.0;
    for (double res : {0.25, 0.5, 0.75, 1.0}) {
        const BiquadSection s = designed(1000.0, res);
        double peak = 0.0;
        double where = 0.0;
        for (double f = 500.0; f < 4000.0; f += 1.0) {
            if (response(s, f) > peak) {
                peak = response(s, f);
                where = f;
            }
        }
        EXPECT_GT(peak, previous) << res;
        previous = peak;
        if (res == 1.0) {
            EXPECT_NEAR(decibels(peak), 14.0, 0.1);
            EXPECT_NEAR(where, 1000.0, 20.0);
        }
    }
    // At the cut off itself full resonance gives 1/d = 5 (quality factor 5).
    BiquadSection s = designed(1000.0, 1.0);
    EXPECT_NEAR(measuredGain(s, false, 1000.0), 5.0, 0.005);
    EXPECT_NEAR(measuredGain(s, true, 1000.0), 5.0, 0.005);
}

TEST(BiquadSectionState, ClearForgetsTheSignalButKeepsTheDesign) {
    BiquadSection s = designed(300.0, 0.8);
    feedNoise(s, 1000, 10.0);
    s.clear();
    const BiquadSection fresh = designed(300.0, 0.8);
    EXPECT_TRUE(identical(s, fresh));
}

TEST(BiquadSectionState, ChannelsKeepTheirOwnState) {
    BiquadSection s = designed(500.0, 0.5);
    BiquadSection reference = designed(500.0, 0.5);
    for (int n = 0; n < 64; ++n) {
        s.processLeft(n % 7 == 0 ? 1.0 : -0.5);
        s.processRight(0.25);
        reference.processRight(0.25);
        EXPECT_EQ(s.outRight, reference.outRight) << n;
    }
}

TEST(BiquadSectionState, LongSilenceNeverTurnsSubnormal) {
    const auto normalOrZero = [](double v) { return std::fpclassify(v) != FP_SUBNORMAL; };
    for (double cutOff : {20.0, 1000.0, 20000.0}) {
        BiquadSection s = designed(cutOff, cutOff == 1000.0 ? 1.0 : 0.5);
        feedNoise(s, 44100, 1.0);
        bool clean = true;
        for (int n = 0; n < 10 * 44100 && clean; ++n) {
            s.processLeft(0.0);
            s.processRight(0.0);
            clean = normalOrZero(s.outLeft) && normalOrZero(s.outRight) && normalOrZero(s.y2L) &&
                    normalOrZero(s.y2R);
        }
        EXPECT_TRUE(clean) << cutOff;
        EXPECT_NE(s.outLeft, 0.0) << cutOff;
    }
}
