// tan, sin, pow and log10 that give the same bits in the 32-bit and the 64-bit
// build. The C library's versions differ between the two (the 32-bit one
// partly computes in x87 extended precision), so every number that reaches
// the audio (coefficients, glide factors, gain factors, parameter mappings)
// goes through these instead: plain double additions, multiplications and
// divisions, which SSE2 rounds identically everywhere. The results stay
// within one unit in the last place of the C library's.
//
// The functions are inline so that no double crosses a call boundary: the
// 32-bit calling convention returns doubles on the x87 stack.
//
// The build turns off contraction into fused multiply-adds: the exact
// products and sums below rely on every operation rounding on its own.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>

namespace VRAX::detmath {

namespace detail {

// An unevaluated sum hi + lo with |lo| at most half an ulp of hi: about 106
// bits of precision from doubles alone.
struct DD {
    double hi;
    double lo;
};

constexpr DD twoSum(double a, double b) {
    const double s = a + b;
    const double bb = s - a;
    return {s, (a - (s - bb)) + (b - bb)};
}

// Needs |a| >= |b| (or a == 0).
constexpr DD quickTwoSum(double a, double b) {
    const double s = a + b;
    return {s, b - (s - a)};
}

// Exact product through Veltkamp's split (no fused multiply-add needed).
constexpr DD twoProd(double a, double b) {
    constexpr double splitter = 134217729.0;  // 2^27 + 1
    const double p = a * b;
    const double ta = splitter * a;
    const double ah = ta - (ta - a);
    const double al = a - ah;
    const double tb = splitter * b;
    const double bh = tb - (tb - b);
    const double bl = b - bh;
    return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr DD add(DD a, DD b) {
    DD s = twoSum(a.hi, b.hi);
    const DD t = twoSum(a.lo, b.lo);
    s = quickTwoSum(s.hi, s.lo + t.hi);
    return quickTwoSum(s.hi, s.lo + t.lo);
}

constexpr DD add(DD a, double b) {
    const DD s = twoSum(a.hi, b);
    return quickTwoSum(s.hi, s.lo + a.lo);
}

constexpr DD mul(DD a, DD b) {
    const DD p = twoProd(a.hi, b.hi);
    return quickTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

constexpr DD mul(DD a, double b) {
    const DD p = twoProd(a.hi, b);
    return quickTwoSum(p.hi, p.lo + a.lo * b);
}

constexpr DD div(DD a, DD b) {
    const double q1 = a.hi / b.hi;
    DD r = add(a, mul(b, -q1));
    const double q2 = r.hi / b.hi;
    r = add(r, mul(b, -q2));
    const double q3 = r.hi / b.hi;
    return add(quickTwoSum(q1, q2), q3);
}

constexpr DD inverse(double d) { return div(DD{1.0, 0.0}, DD{d, 0.0}); }

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ln 2 in three parts; the first has 42 significant bits, so that its
// product with any exponent of a double is exact.
constexpr double kLn2A = 0x1.62e42fefa3800p-1;
constexpr double kLn2B = 0x1.ef35793c76730p-45;
constexpr double kLn2C = 0x1.f97b57a079a19p-103;
// ln 2 / 32 the same way, the first part with 36 bits for |k| < 2^17.
constexpr double kLn2By32A = 0x1.62e42fefa0000p-6;
constexpr double kLn2By32B = 0x1.cf79abc9e3b3ap-45;
constexpr double kLn2By32C = -0x1.ff0342542fc33p-99;
constexpr double k32ByLn2 = 0x1.71547652b82fep+5;
constexpr DD kInvLn10{0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};

constexpr int exponentOf(double x) { return static_cast<int>((std::bit_cast<uint64_t>(x) >> 52) & 0x7ff); }

// 2^k for a normal result.
constexpr double twoTo(int k) { return std::bit_cast<double>(static_cast<uint64_t>(k + 1023) << 52); }

// e * ln 2 to about 2^-100, for |e| < 2^11.
constexpr DD ln2Times(int e) {
    const double k = e;
    return add(add(DD{k * kLn2A, 0.0}, twoProd(k, kLn2B)), k * kLn2C);
}

// The slow series below build the tables at compile time only.

// ln m for m near 1 (0.7 to 1.5), to about 2^-100: 2 atanh s with
// s = (m - 1) / (m + 1), whose series in s^2 < 0.04 falls fast.
constexpr DD logSeries(double m) {
    const DD s = div(DD{m - 1.0, 0.0}, twoSum(m, 1.0));
    const DD u = mul(s, s);
    DD r = inverse(61.0);
    for (int k = 29; k >= 0; --k) r = add(mul(r, u), inverse(2.0 * k + 1.0));
    return mul(s, mul(r, 2.0));
}

// e^r for |r| < 1, to about 2^-100: the series on r / 256, squared eight
// times as (1 + m)^2 - 1 = 2m + m^2, which keeps the small part exact.
constexpr DD expSeries(DD r) {
    r.hi *= 0x1p-8;
    r.lo *= 0x1p-8;
    DD p = inverse(39916800.0);  // 1/11!
    double factorial = 39916800.0;
    for (int n = 10; n >= 1; --n) {
        factorial /= n + 1;
        p = add(mul(p, r), inverse(factorial));
    }
    DD m = mul(p, r);
    for (int i = 0; i < 8; ++i) m = add(mul(m, 2.0), mul(m, m));
    return add(m, 1.0);
}

// ln(1 + i/64) for i = -16..32, the centres the logarithm reduces to.
struct LogTable {
    DD value[49];
    constexpr LogTable() : value{} {
        for (int i = -16; i <= 32; ++i) value[i + 16] = i == 0 ? DD{0.0, 0.0} : logSeries(1.0 + i / 64.0);
    }
};
inline constexpr LogTable kLogTable{};

// 2^(j/32) for j = 0..31.
struct ExpTable {
    DD value[32];
    constexpr ExpTable() : value{} {
        for (int j = 0; j < 32; ++j) {
            const double k = j;
            const DD r = add(add(DD{k * kLn2By32A, 0.0}, twoProd(k, kLn2By32B)), k * kLn2By32C);
            value[j] = expSeries(r);
        }
    }
};
inline constexpr ExpTable kExpTable{};

// Natural logarithm of a positive finite x, to about 2^-75 (relative to
// the result, also near x = 1).
inline DD logDD(double x) {
    int e = 0;
    if (exponentOf(x) == 0) {  // subnormal: make it normal first
        x *= 0x1p54;
        e = -54;
    }
    const uint64_t bits = std::bit_cast<uint64_t>(x);
    e += exponentOf(x) - 1023;
    double m = std::bit_cast<double>((bits & 0x000fffffffffffffULL) | 0x3ff0000000000000ULL);
    if (m >= 1.5) {
        m *= 0.5;
        ++e;
    }
    // m = c (1 + t) with c = 1 + i/64 the nearest centre: ln m = ln c +
    // 2 atanh s, s = (m - c) / (m + c), |s| < 2^-7.5. m - c is exact; the
    // terms after 2s are below 2^-16 of it and need only doubles.
    const double scaled = (m - 1.0) * 64.0;
    const int i = static_cast<int>(scaled < 0.0 ? scaled - 0.5 : scaled + 0.5);
    const double c = 1.0 + i / 64.0;
    const double num = m - c;
    const DD den = twoSum(m, c);
    const double sh = num / den.hi;
    const DD p = twoProd(sh, den.hi);
    const double sl = ((num - p.hi) - p.lo - sh * den.lo) / den.hi;
    const double w = sh * sh;
    const double rest = sh * w * (2.0 / 3.0 + w * (2.0 / 5.0 + w * (2.0 / 7.0 + w * (2.0 / 9.0 + w * (2.0 / 11.0)))));
    DD lnM = add(DD{2.0 * sh, 2.0 * sl}, rest);
    if (i != 0) lnM = add(kLogTable.value[i + 16], lnM);
    return e == 0 ? lnM : add(ln2Times(e), lnM);
}

// e^(v.hi + v.lo) rounded once to a double; |v.lo| tiny against v.hi.
inline double expRounded(DD v) {
    if (v.hi > 709.8) return kInf;
    if (v.hi < -745.2) return 0.0;
    // v = (32 q + j) ln 2 / 32 + r with |r| <= ln 2 / 64; the first
    // subtraction is exact.
    const double kd = v.hi * k32ByLn2;
    const int k = static_cast<int>(kd < 0.0 ? kd - 0.5 : kd + 0.5);
    const int j = k & 31;
    const int q = (k - j) / 32;
    DD r = twoSum(v.hi - k * kLn2By32A, v.lo);
    r = add(r, twoProd(-static_cast<double>(k), kLn2By32B));
    r = add(r, -k * kLn2By32C);
    // e^r - 1 = r + r^2/2 + ...: from r^3/6 on the terms are below 2^-20
    // and need only doubles.
    const double x = r.hi;
    DD m = twoProd(x, 0.5 * x);
    m.lo += x * r.lo;
    const double rest =
        x * x * x *
        (1.0 / 6 + x * (1.0 / 24 + x * (1.0 / 120 + x * (1.0 / 720 + x * (1.0 / 5040 + x * (1.0 / 40320 + x / 362880))))));
    m = add(add(m, r), rest);
    // 2^(j/32) (1 + m)
    const DD t = kExpTable.value[j];
    const DD result = add(t, mul(t, m));
    const double mantissa = result.hi + result.lo;
    // Scaled in two exact steps where 2^q alone is not a normal double; a
    // subnormal result rounds a second time, by at most half its ulp.
    if (q > 1023) return mantissa * twoTo(q - 1) * 2.0;
    if (q < -1021) return mantissa * twoTo(q + 1000) * 0x1p-1000;
    return mantissa * twoTo(q);
}

inline bool isOddInteger(double y) {
    // Beyond 2^53 every double is even.
    if (!(y > -0x1p53 && y < 0x1p53)) return false;
    const auto i = static_cast<int64_t>(y);
    return static_cast<double>(i) == y && (i & 1) != 0;
}

inline bool isInteger(double y) {
    if (!(y > -0x1p53 && y < 0x1p53)) return y == y && y != kInf && y != -kInf;
    return static_cast<double>(static_cast<int64_t>(y)) == y;
}

inline double absolute(double x) { return std::bit_cast<double>(std::bit_cast<uint64_t>(x) & ~(1ULL << 63)); }

// The small ends of the sine and cosine series in w = z^2: the sum of
// (-1)^k w^k / (first + 2k)! for k = 0 to 6, from the term z^first on.
// Every factorial up to 17! is exact in a double.
struct SeriesRest {
    double c[7];
    constexpr explicit SeriesRest(int first) : c{} {
        double factorial = 1.0;
        for (int i = 2; i <= first; ++i) factorial *= i;
        for (int k = 0; k < 7; ++k) {
            c[k] = (k % 2 ? -1.0 : 1.0) / factorial;
            factorial *= (first + 2 * k + 1) * (first + 2 * k + 2);
        }
    }
    double at(double w) const {
        double r = c[6];
        for (int k = 5; k >= 0; --k) r = r * w + c[k];
        return r;
    }
};
inline constexpr SeriesRest kSinRest{5};
inline constexpr SeriesRest kCosRest{4};

// sin and cos of r.hi + r.lo, |r| <= pi/8 (a little more is harmless), each
// as a double-double good to about 2^-58 or better. Taylor series: the
// leading terms in double-double, the small rest in doubles.
inline void sinCos(DD r, DD& sine, DD& cosine) {
    static constexpr DD kSixth = inverse(6.0);
    const double z = r.hi;
    const DD z2 = twoProd(z, z);
    const double w = z2.hi;
    // sin: z - z^3/3! + z^5/5! - ... + z^17/17!
    const double sinRest = kSinRest.at(w);
    DD z3 = twoProd(w, z);
    z3.lo += z2.lo * z;
    const DD cube = twoProd(z3.hi, kSixth.hi);
    DD s = twoSum(z, -cube.hi);
    s.lo += (z3.hi * w * sinRest - cube.lo) - (z3.hi * kSixth.lo + z3.lo * kSixth.hi);
    // cos: 1 - z^2/2! + z^4/4! - ... + z^16/16!
    const double cosRest = kCosRest.at(w);
    DD c = twoSum(1.0, -0.5 * w);
    c.lo += w * w * cosRest - 0.5 * z2.lo;
    // The low part of r moves both by its first-order term.
    sine = add(s, c.hi * r.lo);
    cosine = add(c, -s.hi * r.lo);
}

// (a.hi + a.lo) / (b.hi + b.lo) rounded to a double: one quotient and its
// correction from the exact remainder.
inline double quotient(DD a, DD b) {
    const double q = a.hi / b.hi;
    const DD p = twoProd(q, b.hi);
    const double remainder = ((a.hi - p.hi) - p.lo) + a.lo - q * b.lo;
    return q + remainder / b.hi;
}

// x - n pi/4 with n the nearest whole number, as a double-double. Exact for
// |x| below about 10^6 (|n| < 2^20); beyond, it loses accuracy.
inline DD reduceQuarterPi(double x, int& n) {
    // pi/4 in three parts of 33, 33 and 53 bits: n times each of the first
    // two is exact.
    constexpr double kQ1 = 0x1.921fb54400000p-1;
    constexpr double kQ2 = 0x1.0b4611a600000p-35;
    constexpr double kQ3 = 0x1.3198a2e037073p-70;
    constexpr double kFourOverPi = 0x1.45f306dc9c883p+0;
    n = 0;
    if (absolute(x) <= 0x1.921fb54442d18p-3) return {x, 0.0};  // within pi/8
    const double nd = x * kFourOverPi;
    n = static_cast<int>(nd < 0.0 ? nd - 0.5 : nd + 0.5);
    const double dn = n;
    // x - n Q1 is exact; the rest keeps its rounding errors in the low part.
    const DD r = twoSum(x - dn * kQ1, -dn * kQ2);
    return add(r, -dn * kQ3);
}

constexpr DD negate(DD a) { return {-a.hi, -a.lo}; }

// x = r + n pi/4 with |r| <= pi/8: n, sin r and cos r.
struct Reduced {
    int n;
    DD sine;
    DD cosine;
};
inline Reduced sinCosReduced(double x) {
    Reduced v{};
    sinCos(reduceQuarterPi(x, v.n), v.sine, v.cosine);
    return v;
}

// tan a for |a| < 1, to about 2^-100, for the table: the sine and cosine
// series in double-double, divided.
constexpr DD tanSeries(double a) {
    const DD a2 = twoProd(a, a);
    DD term{a, 0.0};
    DD sine = term;
    DD cosine{1.0, 0.0};
    DD cosTerm{1.0, 0.0};
    for (int k = 1; k <= 24; ++k) {
        term = div(mul(term, a2), DD{(2.0 * k) * (2.0 * k + 1.0), 0.0});
        cosTerm = div(mul(cosTerm, a2), DD{(2.0 * k - 1.0) * (2.0 * k), 0.0});
        sine = add(sine, k % 2 ? negate(term) : term);
        cosine = add(cosine, k % 2 ? negate(cosTerm) : cosTerm);
    }
    return div(sine, cosine);
}

// The Taylor series of tan around the centres c = j/64, j = 0..50 (0 to
// pi/4): tan(c + r) = sum of e[k] r^k, from f' = 1 + f^2, that is
// (k + 1) e[k + 1] = [k == 0] + sum of e[i] e[k - i]. The first two
// coefficients are double-doubles, the first one's high part also split in
// halves for exact products; the rest are doubles.
struct TanCentre {
    DD value;        // tan c
    DD slope;        // 1 + tan^2 c
    double slopeHigh, slopeLow;  // slope.hi in halves of 26 bits
    double rest[9];  // e[2] .. e[10]
};
struct TanTable {
    static constexpr int kCentres = 51;
    TanCentre centre[kCentres];
    constexpr TanTable() : centre{} {
        for (int j = 0; j < kCentres; ++j) {
            DD e[11]{};
            e[0] = j == 0 ? DD{0.0, 0.0} : tanSeries(j / 64.0);
            for (int k = 0; k < 10; ++k) {
                DD s{k == 0 ? 1.0 : 0.0, 0.0};
                for (int i = 0; i <= k; ++i) s = add(s, mul(e[i], e[k - i]));
                e[k + 1] = div(s, DD{k + 1.0, 0.0});
            }
            TanCentre& c = centre[j];
            c.value = e[0];
            c.slope = e[1];
            const double t = 134217729.0 * e[1].hi;
            c.slopeHigh = t - (t - e[1].hi);
            c.slopeLow = e[1].hi - c.slopeHigh;
            for (int k = 0; k < 9; ++k) c.rest[k] = e[k + 2].hi;
        }
    }
};
inline constexpr TanTable kTanTable{};

// tan(j/64 + r.hi + r.lo), |r| <= 1/128 or a little more, j <= 50, as a
// double-double to about 2^-64: no division, one exact product.
inline DD tanNear(int j, DD r) {
    const TanCentre& c = kTanTable.centre[j];
    const double z = r.hi;
    // slope * z exactly, with the slope's halves precomputed.
    const double t = 134217729.0 * z;
    const double zh = t - (t - z);
    const double zl = z - zh;
    const double p = c.slope.hi * z;
    const double pLow = (((c.slopeHigh * zh - p) + c.slopeHigh * zl + c.slopeLow * zh) + c.slopeLow * zl) +
                        c.slope.lo * z + c.slope.hi * r.lo;
    // The terms from r^2 on, below 2^-12 of the result: doubles suffice.
    // Estrin's scheme keeps the dependency chains short.
    const double* e = c.rest;
    const double z2 = z * z;
    const double z4 = z2 * z2;
    const double q = ((e[0] + e[1] * z) + (e[2] + e[3] * z) * z2) +
                     ((e[4] + e[5] * z) + (e[6] + e[7] * z) * z2 + e[8] * z4) * z4;
    const DD s = twoSum(c.value.hi, p);
    return quickTwoSum(s.hi, s.lo + (c.value.lo + pLow + z2 * q));
}

// The nearest centre j/64 to 0 <= x < 1 (or a hair below 0). Rounded
// from the exact x * 64 by hand: x * 64 + 0.5 could round up to the next
// whole number and leave x below half the centre.
inline int nearestCentre(double x) {
    const double scaled = x * 64.0;
    const int j = static_cast<int>(scaled);
    return scaled - j > 0.5 ? j + 1 : j;
}

// tan of 0 < x < pi/2 + 1/128.
inline double tanFirstQuadrant(double x) {
    constexpr double kQuarterPi = 0x1.921fb54442d18p-1;
    if (x <= kQuarterPi) {
        const int j = nearestCentre(x);
        // Exact: x and j/64 are within a factor of two of each other.
        const DD t = tanNear(j, DD{x - j / 64.0, 0.0});
        return t.hi + t.lo;
    }
    // Near the pole, tan x = 1 / tan(pi/2 - x), the difference in
    // double-double (its first step is exact for x >= pi/4).
    constexpr double kHalfPiA = 0x1.921fb54442d18p+0;
    constexpr double kHalfPiB = 0x1.1a62633145c07p-54;
    constexpr double kHalfPiC = -0x1.f1976b7ed8fbcp-110;
    const DD y = add(twoSum(kHalfPiA - x, kHalfPiB), kHalfPiC);
    const int j = nearestCentre(y.hi);
    const DD t = tanNear(j, twoSum(y.hi - j / 64.0, y.lo));
    // 1 / t: a first quotient, corrected from the exact remainder.
    const double inv = 1.0 / t.hi;
    const DD prod = twoProd(inv, t.hi);
    return inv + (((1.0 - prod.hi) - prod.lo) - inv * t.lo) * inv;
}

}  // namespace detail

// Tangent, within about half an ulp. The filter's design uses 0 to pi/2 and
// redesigns every few samples in a glide: there a table and a short series
// do without the sine, the cosine and their division.
inline double tan(double x) {
    using namespace detail;
    const double ax = absolute(x);
    if (ax > 0.0 && ax < 1.578) {
        const double t = tanFirstQuadrant(ax);
        return x < 0.0 ? -t : t;
    }
    if (!(ax < kInf)) return kNaN;
    if (x == 0.0) return x;  // keeps the sign of zero
    const auto [n, sine, cosine] = sinCosReduced(x);
    // tan(r + n pi/4), with tan(r + pi/4) = (cos r + sin r) / (cos r - sin r).
    switch (n & 3) {
        case 0:
            return quotient(sine, cosine);
        case 1:
            return quotient(add(cosine, sine), add(cosine, negate(sine)));
        case 2:
            return -quotient(cosine, sine);
        default:
            return quotient(add(sine, negate(cosine)), add(cosine, sine));
    }
}

// Sine, within about half an ulp.
inline double sin(double x) {
    using namespace detail;
    constexpr DD kHalfSqrt2{0x1.6a09e667f3bcdp-1, -0x1.bdd3413b26456p-55};
    if (!(absolute(x) < kInf)) return kNaN;
    if (x == 0.0) return x;  // keeps the sign of zero
    const auto [n, sine, cosine] = sinCosReduced(x);
    // sin(r + n pi/4); an odd n mixes both, e.g. sin(r + pi/4) = (sin r + cos r) / sqrt 2.
    DD v{};
    switch (n & 7) {
        case 0: v = sine; break;
        case 1: v = mul(add(sine, cosine), kHalfSqrt2); break;
        case 2: v = cosine; break;
        case 3: v = mul(add(cosine, negate(sine)), kHalfSqrt2); break;
        case 4: v = negate(sine); break;
        case 5: v = negate(mul(add(sine, cosine), kHalfSqrt2)); break;
        case 6: v = negate(cosine); break;
        default: v = mul(add(sine, negate(cosine)), kHalfSqrt2); break;
    }
    return v.hi + v.lo;
}

// x raised to the power y, as the C library defines its special cases.
inline double pow(double x, double y) {
    using namespace detail;
    if (y == 0.0 || x == 1.0) return 1.0;
    if (x != x || y != y) return kNaN;
    const double ax = absolute(x);
    const double ay = absolute(y);
    const bool negative = x < 0.0 || (x == 0.0 && std::bit_cast<uint64_t>(x) != 0);
    const bool oddPower = negative && isOddInteger(y);
    const double sign = oddPower ? -1.0 : 1.0;
    if (ay == kInf) {
        if (ax == 1.0) return 1.0;
        return (ax > 1.0) == (y > 0.0) ? kInf : 0.0;
    }
    if (ax == 0.0) return y < 0.0 ? sign * kInf : sign * 0.0;
    if (ax == kInf) return y < 0.0 ? sign * 0.0 : sign * kInf;
    if (x < 0.0 && !isInteger(y)) return kNaN;
    const DD lx = logDD(ax);
    // Far beyond the range of doubles either way: no need to be precise.
    const double rough = y * lx.hi;
    if (rough > 1000.0) return sign * kInf;
    if (rough < -1000.0) return sign * 0.0;
    const DD p = twoProd(y, lx.hi);
    return sign * expRounded(quickTwoSum(p.hi, p.lo + y * lx.lo));
}

// Base-10 logarithm.
inline double log10(double x) {
    using namespace detail;
    if (x != x) return kNaN;
    if (x < 0.0) return kNaN;
    if (x == 0.0) return -kInf;
    if (x == kInf) return kInf;
    const DD l = mul(logDD(x), kInvLn10);
    return l.hi + l.lo;
}

}  // namespace VRAX::detmath
