// What hosts get wrong: values that are not numbers, sample rates of 0,
// rates so low that the cut off passes Nyquist.
#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using filtertest::hostCallback;
using filtertest::hostRate;
using filtertest::noise;
using VRAX::ZFilter;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Processes noise in stereo and says whether every output was finite.
bool outputStaysFinite(ZFilter& f, int frames = 4096) {
    std::vector<double> l = noise(frames, 41), r = noise(frames, 42);
    double* io[] = {l.data(), r.data()};
    f.processBlock(io, 2, io, 2, frames);
    for (int i = 0; i < frames; ++i)
        if (!std::isfinite(l[i]) || !std::isfinite(r[i])) return false;
    return true;
}

TEST(FilterValues, NonFiniteStoredValuesKeepThePreviousTargets) {
    for (int index : {ZFilter::kGain, ZFilter::kCutOff, ZFilter::kRes}) {
        for (double bad : {kNaN, kInf, -kInf}) {
            ZFilter f(&hostCallback);
            f.setParameter(ZFilter::kGain, 0.7f);
            f.setParameter(ZFilter::kCutOff, 0.5f);
            f.setParameter(ZFilter::kRes, 0.6f);
            ASSERT_TRUE(outputStaysFinite(f));
            const double gain = f.getGainRamp().target.load(), cutOff = f.getCutOffRamp().target.load(),
                         res = f.getResRamp().target.load();

            f.setParameterValue(index, bad);
            const double stored = f.getStoredValue(index);
            EXPECT_EQ(std::memcmp(&stored, &bad, sizeof bad), 0) << "the stored value stays as written";
            EXPECT_EQ(f.getGainRamp().target.load(), gain);
            EXPECT_EQ(f.getCutOffRamp().target.load(), cutOff);
            EXPECT_EQ(f.getResRamp().target.load(), res);
            EXPECT_TRUE(outputStaysFinite(f)) << "parameter " << index << " = " << bad;
            // The jumping path (suspend and resume) as well.
            f.suspend();
            f.resume();
            EXPECT_TRUE(outputStaysFinite(f)) << "parameter " << index << " = " << bad << " after resume";
            EXPECT_EQ(f.getCutOffRamp().current, cutOff);
        }
    }
}

TEST(FilterValues, AChunkFullOfNaNsKeepsTheOutputFinite) {
    ZFilter f(&hostCallback);
    ASSERT_TRUE(outputStaysFinite(f));
    void* data = nullptr;
    const VstInt32 size = f.getChunk(&data, false);
    std::vector<unsigned char> bank(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size);
    const int record = size / ZFilter::kNumPrograms;
    for (int p = 0; p < ZFilter::kNumPrograms; ++p)
        for (int i = 0; i < ZFilter::kNumParams; ++i)
            std::memcpy(&bank[p * record + (record - 8 * ZFilter::kNumParams) + 8 * i], &kNaN, 8);
    ASSERT_EQ(f.setChunk(bank.data(), size, false), size);
    EXPECT_TRUE(std::isnan(f.getParameter(ZFilter::kCutOff)));
    EXPECT_TRUE(outputStaysFinite(f));
    f.suspend();
    f.resume();
    EXPECT_TRUE(outputStaysFinite(f));
}

// Beyond about 116 % the section's damping is negative: a stored Res
// outside 0..1 (only a host or a chunk can write one) is held at the end.
TEST(FilterValues, ResBeyondItsRangeStaysStable) {
    ZFilter f(&hostCallback);
    f.setParameter(ZFilter::kCutOff, 0.5f);
    f.setParameterValue(ZFilter::kRes, 5.0);
    EXPECT_EQ(f.getStoredValue(ZFilter::kRes), 5.0);
    EXPECT_EQ(f.getResRamp().target.load(), 1.0);
    EXPECT_TRUE(outputStaysFinite(f, 44100));
    f.setParameterValue(ZFilter::kRes, -3.0);
    EXPECT_EQ(f.getResRamp().target.load(), 0.0);
}

TEST(FilterRates, UnusableRatesKeepThePreviousRate) {
    ZFilter f(&hostCallback);
    f.setParameter(ZFilter::kCutOff, 0.6f);
    f.setSampleRate(48000.0f);
    EXPECT_EQ(f.getInterval(), 25);
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity()}) {
        f.setSampleRate(bad);
        EXPECT_EQ(f.getSampleRate(), 48000.0f) << bad;
        EXPECT_EQ(f.getSection().sampleRate, 48000.0);
        EXPECT_EQ(f.getInterval(), 25);
        EXPECT_TRUE(outputStaysFinite(f)) << bad;
    }
    f.setSampleRate(96000.0f);
    EXPECT_EQ(f.getInterval(), 49);
}

TEST(FilterRates, AHostThatKnowsNoRateGets44100) {
    hostRate() = 0;
    ZFilter f(&hostCallback);
    hostRate() = 44100;
    f.setSampleRate(0.0f);
    EXPECT_EQ(f.getSampleRate(), 44100.0f);
    EXPECT_EQ(f.getSection().sampleRate, 44100.0);
    EXPECT_EQ(f.getInterval(), 23);
    EXPECT_TRUE(outputStaysFinite(f));
}

TEST(FilterRates, ACutOffAboveNyquistIsDesignedAtNyquist) {
    ZFilter f(&hostCallback);
    f.setSampleRate(22050.0f);
    f.setParameter(ZFilter::kCutOff, 1.0f);
    f.suspend();
    f.resume();
    EXPECT_EQ(f.getSection().lastCutOff, 11025.0);
    EXPECT_TRUE(outputStaysFinite(f));
}

}  // namespace
