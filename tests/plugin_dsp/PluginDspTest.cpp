// The filter through the built Qolm.so: frequency response, channel
// layouts, bypass, block sizes, precisions, in-place buffers and what a
// careless host may send.
#include "PluginDspSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <vector>

using dsptest::Signal;
using dsptest::lcgNoise;
using dsptest::processDouble;
using dsptest::processFloat;
using dsptest::reconfigure;
using dsptest::setParam;
using dsptest::silence;
using dsptest::start;

namespace {

constexpr double kPi = 3.141592653589793;
enum { kGain = 0, kCutOff = 1, kRes = 2 };

void setText(qtest::PluginHost& host, int index, const char* text) {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%s", text);
    ASSERT_EQ(host.dispatch(effString2Parameter, index, 0, buffer), 1);
}

// Steady-state gain in dB of a sine of frequency hz, mono through stereo.
double sineGainDb(AEffect* e, double rate, double hz) {
    const size_t n = static_cast<size_t>(rate);  // one second
    Signal in = silence(2, n), out = silence(2, n);
    for (size_t i = 0; i < n; ++i) in[0][i] = in[1][i] = 0.5 * std::sin(2.0 * kPi * hz * static_cast<double>(i) / rate);
    processDouble(e, in, out, 512);
    double inPower = 0.0, outPower = 0.0;
    for (size_t i = n / 2; i < n; ++i) {
        inPower += in[0][i] * in[0][i];
        outPower += out[0][i] * out[0][i];
    }
    return 10.0 * std::log10(outPower / inPower);
}

// Magnitude response in dB at the given frequencies, from the impulse response.
std::vector<double> responseDb(AEffect* e, double rate, const std::vector<double>& hz) {
    const size_t n = 16384;
    Signal in = silence(2, n), out = silence(2, n);
    in[0][0] = in[1][0] = 1.0;
    processDouble(e, in, out, 512);
    std::vector<double> db;
    for (double f : hz) {
        std::complex<double> h = 0.0;
        const double w = 2.0 * kPi * f / rate;
        for (size_t i = 0; i < n; ++i) h += out[0][i] * std::polar(1.0, -w * static_cast<double>(i));
        db.push_back(20.0 * std::log10(std::abs(h)));
    }
    return db;
}

class PluginDsp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(host.loaded()) << qtest::pluginPath(); }
    qtest::PluginHost host;
};

TEST_F(PluginDsp, CutOffIsTheMinus3dBPointWithoutResonance) {
    AEffect* e = start(host, 48000.0);
    ASSERT_NE(e, nullptr);
    reconfigure(host, [&] {
        setText(host, kGain, "0");
        setText(host, kCutOff, "1000");
        setText(host, kRes, "0");
    });
    EXPECT_EQ(host.dispatchString(effGetParamDisplay, kCutOff), "1000");
    EXPECT_NEAR(sineGainDb(e, 48000.0, 1000.0), -3.01, 0.05);
    // Second order: 12 dB per octave below the cut off, flat well above it.
    EXPECT_NEAR(sineGainDb(e, 48000.0, 100.0), -40.0, 0.5);
    EXPECT_NEAR(sineGainDb(e, 48000.0, 10000.0), 0.0, 0.05);
}

TEST_F(PluginDsp, TheResonancePeakRisesWithRes) {
    AEffect* e = start(host, 48000.0);
    ASSERT_NE(e, nullptr);
    std::vector<double> hz;
    for (double f = 300.0; f < 4000.0; f *= 1.01) hz.push_back(f);
    double lastPeak = -1e9;
    const double expected[3][2] = {{-0.05, 0.0}, {2.0, 3.2}, {13.8, 14.3}};  // Q 0.71, 1.24, 5
    const char* resTexts[3] = {"0", "50", "100"};
    for (int k = 0; k < 3; ++k) {
        reconfigure(host, [&] {
            setText(host, kCutOff, "1000");
            setText(host, kRes, resTexts[k]);
        });
        const std::vector<double> db = responseDb(e, 48000.0, hz);
        size_t top = 0;
        for (size_t i = 1; i < db.size(); ++i)
            if (db[i] > db[top]) top = i;
        const double peak = db[top];
        EXPECT_GT(peak, lastPeak) << "Res " << resTexts[k];
        EXPECT_GE(peak, expected[k][0]) << "Res " << resTexts[k];
        EXPECT_LE(peak, expected[k][1]) << "Res " << resTexts[k];
        if (k == 2) {
            EXPECT_NEAR(hz[top], 1000.0, 30.0);
        }
        lastPeak = peak;
    }
}

TEST_F(PluginDsp, SpeakerArrangementsOfOneOrTwoChannelsOnly) {
    AEffect* e = start(host, 44100.0);
    ASSERT_NE(e, nullptr);
    host.dispatch(effMainsChanged, 0, 0);
    VstSpeakerArrangement in{}, out{};
    for (int channels : {0, 3, 8}) {
        in.numChannels = channels;
        out.numChannels = 1;
        EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0) << channels;
        in.numChannels = 1;
        out.numChannels = channels;
        EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 0) << channels;
    }
    in.numChannels = out.numChannels = 1;
    ASSERT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    host.dispatch(effMainsChanged, 0, 1);
    // One channel in and out: the second buffers a host may pass stay untouched.
    Signal input = {lcgNoise(1000, 3, 0.5), lcgNoise(1000, 4, 0.5)};
    Signal output = silence(2, 1000);
    output[1].assign(1000, 7.0);
    processDouble(e, input, output, 256);
    EXPECT_EQ(output[1], std::vector<double>(1000, 7.0));
    double energy = 0.0;
    for (double v : output[0]) energy += v * v;
    EXPECT_GT(energy, 1.0);
}

TEST_F(PluginDsp, BypassThroughTheHostPassesTheInputExactly) {
    AEffect* e = start(host, 44100.0);
    ASSERT_NE(e, nullptr);
    reconfigure(host, [&] {
        setText(host, kCutOff, "5000");
        setText(host, kRes, "100");
        setText(host, kGain, "12");
    });
    ASSERT_EQ(host.dispatch(effSetBypass, 0, 1), 1);
    const Signal in = {lcgNoise(3000, 5, 0.9), lcgNoise(3000, 6, 0.4)};
    Signal out = silence(2, 3000);
    processDouble(e, in, out, 333);
    EXPECT_EQ(out, in);
    std::vector<std::vector<float>> inF = {{in[0].begin(), in[0].end()}, {in[1].begin(), in[1].end()}};
    std::vector<std::vector<float>> outF(2, std::vector<float>(3000));
    processFloat(e, inF, outF, 333);
    EXPECT_EQ(outF, inF);
    host.dispatch(effSetBypass, 0, 0);
    processDouble(e, in, out, 333);
    EXPECT_NE(out, in);
}

// A glide starts with the first block and crosses many blocks; the output
// must not depend on how the host cuts the signal.
TEST_F(PluginDsp, BlockSizesDoNotChangeTheOutput) {
    const size_t frames = 3 * 65536 + 123;
    const Signal in = {lcgNoise(frames, 7, 0.5), lcgNoise(frames, 8, 0.5)};
    auto render = [&](size_t block, bool useFloat) {
        qtest::PluginHost h;
        AEffect* e = start(h, 44100.0);
        setParam(e, kCutOff, 0.8f);
        setParam(e, kRes, 0.7f);
        setParam(e, kGain, 0.3f);
        Signal out = silence(2, frames);
        if (useFloat) {
            std::vector<std::vector<float>> inF = {{in[0].begin(), in[0].end()}, {in[1].begin(), in[1].end()}};
            std::vector<std::vector<float>> outF(2, std::vector<float>(frames));
            processFloat(e, inF, outF, block);
            for (int c = 0; c < 2; ++c) out[c].assign(outF[c].begin(), outF[c].end());
        } else {
            processDouble(e, in, out, block);
        }
        return out;
    };
    const Signal whole = render(frames, false);
    for (size_t block : {1, 7, 512, 8192, 65536}) EXPECT_EQ(render(block, false), whole) << "blocks of " << block;
    const Signal wholeFloat = render(frames, true);
    for (size_t block : {1, 7, 512, 65536}) EXPECT_EQ(render(block, true), wholeFloat) << "float blocks of " << block;
}

// Single precision converts at the edges only: the float output is the
// double output of the same (float) input, rounded once.
TEST_F(PluginDsp, FloatProcessingIsDoubleProcessingRounded) {
    const size_t frames = 20000;
    std::vector<std::vector<float>> inF(2, std::vector<float>(frames)), outF(2, std::vector<float>(frames));
    const std::vector<double> a = lcgNoise(frames, 9, 0.7), b = lcgNoise(frames, 10, 0.7);
    for (size_t i = 0; i < frames; ++i) {
        inF[0][i] = static_cast<float>(a[i]);
        inF[1][i] = static_cast<float>(b[i]);
    }
    const Signal in = {{inF[0].begin(), inF[0].end()}, {inF[1].begin(), inF[1].end()}};
    Signal out = silence(2, frames);
    qtest::PluginHost other;
    AEffect* d = start(host, 44100.0);
    AEffect* f = start(other, 44100.0);
    for (AEffect* e : {d, f}) {
        setParam(e, kCutOff, 0.5f);
        setParam(e, kRes, 0.8f);
    }
    processDouble(d, in, out, 512);
    processFloat(f, inF, outF, 512);
    size_t differences = 0;
    for (int c = 0; c < 2; ++c)
        for (size_t i = 0; i < frames; ++i)
            if (outF[c][i] != static_cast<float>(out[c][i])) ++differences;
    EXPECT_EQ(differences, 0u);
}

TEST_F(PluginDsp, InPlaceBuffersGiveTheSameOutput) {
    const size_t frames = 5000;
    const Signal in = {lcgNoise(frames, 11, 0.5), lcgNoise(frames, 12, 0.5)};
    qtest::PluginHost other;
    AEffect* a = start(host, 44100.0);
    AEffect* b = start(other, 44100.0);
    for (AEffect* e : {a, b}) setParam(e, kCutOff, 0.6f);
    Signal separate = silence(2, frames);
    processDouble(a, in, separate, 512);
    Signal inPlace = in;
    processDouble(b, inPlace, inPlace, 512);
    EXPECT_EQ(inPlace, separate);

    std::vector<std::vector<float>> inF = {{in[0].begin(), in[0].end()}, {in[1].begin(), in[1].end()}};
    std::vector<std::vector<float>> outF(2, std::vector<float>(frames));
    processFloat(a, inF, outF, 512);
    processFloat(b, inF, inF, 512);
    EXPECT_EQ(inF, outF);
}

bool allFinite(const Signal& s) {
    for (const auto& c : s)
        for (double v : c)
            if (!std::isfinite(v)) return false;
    return true;
}

TEST_F(PluginDsp, NonFiniteValuesFromTheHostKeepTheOutputFinite) {
    AEffect* e = start(host, 44100.0);
    ASSERT_NE(e, nullptr);
    const Signal in = {lcgNoise(4096, 13, 0.5), lcgNoise(4096, 14, 0.5)};
    Signal out = silence(2, 4096);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int index : {kGain, kCutOff, kRes}) {
        for (float bad : {nan, inf, -inf}) {
            setParam(e, index, bad);
            processDouble(e, in, out, 512);
            EXPECT_TRUE(allFinite(out)) << index << " = " << bad;
        }
        EXPECT_TRUE(std::isinf(e->getParameter(e, index)));
    }
    void* chunk = nullptr;
    const VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &chunk);
    ASSERT_EQ(size, 490);
    std::vector<unsigned char> bank(490);
    std::memcpy(bank.data(), chunk, 490);
    const double dnan = std::numeric_limits<double>::quiet_NaN();
    for (int p = 0; p < 10; ++p)
        for (int i = 0; i < 3; ++i) std::memcpy(&bank[p * 49 + 25 + 8 * i], &dnan, 8);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 490, bank.data()), 490);
    reconfigure(host, [] {});
    processDouble(e, in, out, 512);
    EXPECT_TRUE(allFinite(out));
    EXPECT_TRUE(std::isnan(e->getParameter(e, kCutOff)));
}

TEST_F(PluginDsp, ASampleRateOfZeroKeepsThePreviousRate) {
    AEffect* e = start(host, 48000.0);
    ASSERT_NE(e, nullptr);
    reconfigure(host, [&] {
        setText(host, kCutOff, "1000");
        setText(host, kRes, "0");
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    });
    EXPECT_NEAR(sineGainDb(e, 48000.0, 1000.0), -3.01, 0.05);
}

}  // namespace
