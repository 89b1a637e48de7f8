// The plug-in's own tan, sin, pow and log10 against the C library and
// against long double references, over the ranges the filter, the glides,
// the gain and the parameter mappings use; and one hash of their results
// that both builds must give.
#include "framework/DetMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace dm = VRAX::detmath;

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

int64_t ordered(double x) {
    const auto i = std::bit_cast<int64_t>(x);
    return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
}

// Distance in representable doubles.
int64_t ulpsApart(double a, double b) {
    const int64_t d = ordered(a) - ordered(b);
    return d < 0 ? -d : d;
}

// Error of v in units of the last place of the exact value (well, of a long
// double approximation that is 2^11 times finer).
double ulpError(double v, long double exact) {
    const double rounded = static_cast<double>(exact);
    const double ulp = std::nextafter(std::fabs(rounded), kInf) - std::fabs(rounded);
    return static_cast<double>(std::fabs((static_cast<long double>(v) - exact) / ulp));
}

// Uniform in 0..1 from a fixed LCG, identical in both builds.
struct Uniform {
    uint64_t state = 0x9e3779b97f4a7c15ULL;
    double operator()() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state >> 11) * 0x1p-53;
    }
};

// Worst distances over one range, reported with the test.
struct Worst {
    const char* name;
    int64_t fromLibc = 0;
    double error = 0.0;
    long count = 0;

    void add(double ours, double libc, long double exact) {
        ++count;
        fromLibc = std::max(fromLibc, ulpsApart(ours, libc));
        error = std::max(error, ulpError(ours, exact));
    }
    ~Worst() {
        std::printf("%-36s %7ld values: max %lld ulp from the C library, error %.4f ulp\n", name, count,
                    static_cast<long long>(fromLibc), error);
    }
};

// A rate a host may send (a float), log-uniform from 8 kHz to 384 kHz.
double anyRate(Uniform& u) { return static_cast<float>(8000.0 * std::exp2(u() * std::log2(48.0))); }

TEST(DetMath, TanOverTheDesignRangeIsWithinAnUlpOfTheLibraryAndRoundsCorrectly) {
    Uniform u;
    Worst design{"tan, pi fc / fs"}, nyquist{"tan, pi (fs/2) / fs and neighbours"};
    for (int i = 0; i < 100000; ++i) {
        const double fs = anyRate(u);
        const double fc = 20.0 * std::pow(fs / 40.0, u());
        const double x = kPi * fc / fs;
        design.add(dm::tan(x), std::tan(x), tanl(x));
    }
    // A cut off at Nyquist lands within an ulp or two of the pole, on
    // either side of it.
    double x = std::nextafter(kPi / 2, 0.0);
    for (int i = 0; i < 2000; ++i) x = std::nextafter(x, 0.0);
    for (int i = 0; i < 2004; ++i, x = std::nextafter(x, 2.0)) nyquist.add(dm::tan(x), std::tan(x), tanl(x));
    // Where the method changes: half-way between the table's centres j/64,
    // at pi/4 (the cotangent takes over) and past pi/2 (the general
    // reduction), each with its neighbours on both sides.
    Worst seams{"tan, where the method changes"};
    const auto around = [&seams](double at) {
        double v = at;
        for (int i = 0; i < 8; ++i) v = std::nextafter(v, 0.0);
        for (int i = 0; i < 17; ++i, v = std::nextafter(v, 4.0)) seams.add(dm::tan(v), std::tan(v), tanl(v));
    };
    for (int j = 0; j <= 51; ++j) around((j + 0.5) / 64.0);
    around(kPi / 4);
    around(1.578);
    for (const Worst* w : {&design, &nyquist, &seams}) {
        EXPECT_LE(w->fromLibc, 1) << w->name;
        EXPECT_LT(w->error, 0.502) << w->name;
    }
    EXPECT_EQ(dm::tan(0.0), 0.0);
    EXPECT_TRUE(std::signbit(dm::tan(-0.0)));
    EXPECT_EQ(dm::tan(-0.5), -dm::tan(0.5));
    EXPECT_TRUE(std::isnan(dm::tan(kNaN)));
    EXPECT_TRUE(std::isnan(dm::tan(kInf)));
}

TEST(DetMath, PowOverTheMappingGlideAndGainRangesIsWithinAnUlpOfTheLibrary) {
    Uniform u;
    Worst mapping{"pow(1000, n), n in 0..1"}, glide{"pow(ratio, 1 / (fs 0.02))"}, gain{"pow(10, dB / 20), -12..12 dB"},
        wide{"pow, x in 1e-9..1e9, y in -20..20"};
    for (int i = 0; i < 100000; ++i) {
        const double n = i % 2 ? u() : static_cast<float>(u());  // hosts send floats
        mapping.add(dm::pow(1000.0, n), std::pow(1000.0, n), powl(1000.0L, n));
        const double e = 1.0 / (anyRate(u) * 0.02);
        const double ratio = i % 2 ? 1000.0 : 15.848931924611142;
        glide.add(dm::pow(ratio, e), std::pow(ratio, e), powl(ratio, e));
        const double y = 0.05 * (-12.0 + 24.0 * u());
        gain.add(dm::pow(10.0, y), std::pow(10.0, y), powl(10.0L, y));
        const double x = std::exp2(u() * 60.0 - 30.0), p = u() * 40.0 - 20.0;
        wide.add(dm::pow(x, p), std::pow(x, p), powl(x, p));
    }
    for (int step = 0; step <= 240; ++step) {  // every value "Gain" can take
        const double y = 0.05 * (-12.0 + step / 240.0 * 24.0);
        gain.add(dm::pow(10.0, y), std::pow(10.0, y), powl(10.0L, y));
    }
    for (const Worst* w : {&mapping, &glide, &gain, &wide}) {
        EXPECT_LE(w->fromLibc, 1) << w->name;
        EXPECT_LT(w->error, 0.501) << w->name;
    }
    EXPECT_EQ(dm::pow(1000.0, 1.0), 1000.0);
    EXPECT_EQ(dm::pow(10.0, 0.0), 1.0);
    EXPECT_EQ(dm::pow(20000.0 / 20.0, 0.5), std::sqrt(1000.0));
}

TEST(DetMath, PowFollowsTheLibrarysSpecialCases) {
    const double xs[] = {0.0, -0.0, 1.0, -1.0, 2.0, -2.0, 0.5, -0.5, kInf, -kInf, kNaN, 1e-310, 1e300};
    const double ys[] = {0.0, -0.0, 1.0, -1.0, 2.0, 3.0, -3.0, 0.5, -0.5, kInf, -kInf, kNaN, 1e300, 1100.0, -1100.0};
    for (double x : xs) {
        for (double y : ys) {
            const double ours = dm::pow(x, y), libc = std::pow(x, y);
            if (std::isnan(libc)) {
                EXPECT_TRUE(std::isnan(ours)) << x << " ^ " << y;
            } else if (std::isnormal(libc) && libc != 1.0) {  // an ordinary result, e.g. 1e-310 ^ 0.5
                EXPECT_LE(ulpsApart(ours, libc), 1) << x << " ^ " << y;
            } else {
                EXPECT_EQ(std::bit_cast<uint64_t>(ours), std::bit_cast<uint64_t>(libc)) << x << " ^ " << y;
            }
        }
    }
    // Results that overflow, underflow into the subnormals, or vanish.
    EXPECT_EQ(dm::pow(10.0, 308.5), kInf);
    EXPECT_LE(ulpsApart(dm::pow(10.0, -310.0), std::pow(10.0, -310.0)), 1);
    EXPECT_EQ(dm::pow(10.0, -330.0), 0.0);
}

TEST(DetMath, Log10OverTheMappingRangeRoundsCorrectly) {
    Uniform u;
    Worst mapping{"log10(x / 20), x in 20..20000 Hz"}, typed{"log10 of every tenth of a hertz / 20"};
    for (int i = 0; i < 100000; ++i) {
        const double x = std::pow(1000.0, u());
        mapping.add(dm::log10(x), std::log10(x), log10l(x));
    }
    for (int tenths = 200; tenths <= 200000; tenths += 7) {
        const double x = tenths / 10.0 / 20.0;
        typed.add(dm::log10(x), std::log10(x), log10l(x));
    }
    // x86_64's log10 is itself up to 1.6 ulp off (the 32-bit library's
    // rounds correctly), so a correctly rounded result may lie 2 from it.
    const int64_t libcBound = sizeof(void*) == 4 ? 1 : 2;
    for (const Worst* w : {&mapping, &typed}) {
        EXPECT_LE(w->fromLibc, libcBound) << w->name;
        EXPECT_LT(w->error, 0.501) << w->name;
    }
    for (int k = -300; k <= 300; ++k) EXPECT_EQ(dm::log10(std::pow(10.0, k)), k) << k;
    EXPECT_EQ(dm::log10(1.0), 0.0);
    EXPECT_EQ(dm::log10(0.0), -kInf);
    EXPECT_EQ(dm::log10(kInf), kInf);
    EXPECT_TRUE(std::isnan(dm::log10(-1.0)));
    EXPECT_TRUE(std::isnan(dm::log10(kNaN)));
    EXPECT_LE(ulpsApart(dm::log10(4.9e-324), std::log10(4.9e-324)), 1);
    EXPECT_LE(ulpsApart(dm::log10(1.0 + 0x1p-52), std::log10(1.0 + 0x1p-52)), 1);
}

TEST(DetMath, SinOverTheDemoSweepsPhasesRoundsWithinAnUlp) {
    Uniform u;
    Worst phase{"sin, x in -1e5..1e5"};
    for (int i = 0; i < 100000; ++i) {
        const double x = (u() * 2.0 - 1.0) * 1e5;
        phase.add(dm::sin(x), std::sin(x), sinl(x));
    }
    EXPECT_LE(phase.fromLibc, 1);
    EXPECT_LT(phase.error, 0.6);
    EXPECT_EQ(dm::sin(0.0), 0.0);
    EXPECT_EQ(dm::sin(kPi / 2), 1.0);
    EXPECT_TRUE(std::signbit(dm::sin(-0.0)));
    EXPECT_TRUE(std::isnan(dm::sin(-kInf)));
}

// The whole point: the same bits in the 32-bit and the 64-bit build. The
// constant was computed once; both builds must reproduce it.
TEST(DetMath, ResultsHashTheSameInBothBuilds) {
    Uniform u;
    uint64_t hash = 0xcbf29ce484222325ULL;
    const auto mix = [&hash](double v) {
        const auto bits = std::bit_cast<uint64_t>(v);
        for (int b = 0; b < 64; b += 8) {
            hash ^= (bits >> b) & 0xff;
            hash *= 0x100000001b3ULL;
        }
    };
    for (int i = 0; i < 20000; ++i) {
        const double fs = static_cast<float>(8000.0 + 376000.0 * u());  // no library maths in the inputs
        mix(dm::tan(kPi * (20.0 + u() * (fs / 2 - 20.0)) / fs));
        mix(dm::pow(1000.0, u()));
        mix(dm::pow(15.848931924611142, 1.0 / (fs * 0.02)));
        mix(dm::log10(1.0 + 999.0 * u()));
        mix(dm::sin(u() * 1e5));
    }
    char text[24];
    std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, 0x1383e5bd1f597c0bULL) << "hash " << text;
}

}  // namespace
