// ZFilter's frame loop: order of operations against a plain model, channel
// layouts, gain, bypass, glides, resets, peak and editor notifications.
#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using filtertest::CountingEditor;
using filtertest::Model;
using filtertest::hostCallback;
using filtertest::noise;
using filtertest::openEditor;
using VRAX::ZFilter;

namespace {

using Channels = std::vector<std::vector<double>>;

// Runs frames [from, to) of in through the effect with the given layout.
void run(ZFilter& f, const Channels& in, Channels& out, size_t from, size_t to) {
    std::vector<const double*> ip;
    std::vector<double*> op;
    for (const auto& c : in) ip.push_back(c.data() + from);
    for (auto& c : out) op.push_back(c.data() + from);
    f.processBlock(const_cast<double**>(ip.data()), static_cast<int32_t>(in.size()), op.data(),
                   static_cast<int32_t>(out.size()), static_cast<int32_t>(to - from));
}

Channels zeros(int channels, size_t frames) { return Channels(channels, std::vector<double>(frames, 0.0)); }

Channels stereoNoise(size_t frames) { return {noise(frames, 1), noise(frames, 2)}; }

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Layout {
    int inputs;
    int outputs;
};

class ModelMatch : public ::testing::TestWithParam<Layout> {};

// Parameter changes, a program change and bypass land on block boundaries;
// the glides they start cross many blocks and coefficient updates. A twin
// runs the same through the float path, which must give the model's samples
// rounded; both report the model's peak.
TEST_P(ModelMatch, EveryOutputSampleEqualsTheModel) {
    const Layout layout = GetParam();
    ZFilter f(&hostCallback), floats(&hostCallback);
    for (ZFilter* e : {&f, &floats}) {
        e->setSampleRate(48000.0f);
        e->setParameter(ZFilter::kGain, 0.6f);
        e->setParameter(ZFilter::kCutOff, 0.4f);
        e->setParameter(ZFilter::kRes, 0.3f);
        e->suspend();
        e->resume();
    }
    Model m;
    m.configure(48000.0, f);

    constexpr size_t kFrames = 6000, kBlock = 300;
    Channels allIn = stereoNoise(kFrames);
    // Values a float holds exactly, so that both paths see the same input;
    // the right channel louder, so that it sets the peak.
    for (int c = 0; c < 2; ++c)
        for (double& x : allIn[c]) x = static_cast<float>(c ? 1.6 * x : x);
    const Channels in(allIn.begin(), allIn.begin() + layout.inputs);
    std::vector<std::vector<float>> inF, outF(layout.outputs, std::vector<float>(kFrames));
    for (const auto& c : in) inF.emplace_back(c.begin(), c.end());
    Channels out = zeros(layout.outputs, kFrames);
    Channels expected = zeros(layout.outputs, kFrames);
    double peak = 0.0;
    for (size_t from = 0; from < kFrames; from += kBlock) {
        for (ZFilter* e : {&f, &floats}) {
            switch (from) {
                case 1200:
                    e->setParameter(ZFilter::kCutOff, 0.9f);
                    break;
                case 1500:  // while the cut off still glides
                    e->setParameter(ZFilter::kRes, 1.0f);
                    e->setParameter(ZFilter::kGain, 0.2f);
                    break;
                case 3000:
                case 3600:
                    e->setBypass(from == 3000);
                    break;
                case 4200:
                    e->setProgram(2);
                    break;
                default:
                    break;
            }
        }
        if (from == 3000 || from == 3600) m.bypass = from == 3000;
        if (from == 1200 || from == 1500 || from == 4200) m.follow(f);
        run(f, in, out, from, from + kBlock);
        std::vector<float*> ip, op;
        for (auto& c : inF) ip.push_back(c.data() + from);
        for (auto& c : outF) op.push_back(c.data() + from);
        floats.processBlockFloat(ip.data(), layout.inputs, op.data(), layout.outputs, kBlock);
        for (size_t i = from; i < from + kBlock; ++i) {
            double x[2] = {in[0][i], layout.inputs > 1 ? in[1][i] : 0.0};
            double y[2] = {0, 0};
            m.frame(x, layout.inputs, y, layout.outputs);
            for (int c = 0; c < layout.outputs; ++c) {
                expected[c][i] = y[c];
                peak = std::max(peak, std::fabs(y[c]));
            }
        }
    }
    for (int c = 0; c < layout.outputs; ++c) {
        size_t mismatches = 0, first = kFrames, floatMismatches = 0;
        for (size_t i = 0; i < kFrames; ++i) {
            if (!sameBits(out[c][i], expected[c][i])) {
                if (!mismatches) first = i;
                ++mismatches;
            }
            if (outF[c][i] != static_cast<float>(expected[c][i])) ++floatMismatches;
        }
        EXPECT_EQ(mismatches, 0u) << "channel " << c << ", first at frame " << first;
        EXPECT_EQ(floatMismatches, 0u) << "channel " << c;
    }
    EXPECT_EQ(f.getPeak(), peak);
    EXPECT_EQ(floats.getPeak(), peak);
    if (layout.inputs == 1 && layout.outputs == 2) {
        EXPECT_EQ(out[0], out[1]);
    }
    if (layout.inputs == 1) {
        // The right half of the section never ran.
        const VRAX::BiquadSection& s = f.getSection();
        EXPECT_EQ(s.x1R, 0.0);
        EXPECT_EQ(s.y1R, 0.0);
        EXPECT_EQ(s.outRight, 0.0);
    }
    EXPECT_EQ(f.getSection().lastCutOff, m.section.lastCutOff);
}

INSTANTIATE_TEST_SUITE_P(Layouts, ModelMatch,
                         ::testing::Values(Layout{1, 1}, Layout{2, 1}, Layout{1, 2}, Layout{2, 2}),
                         [](const auto& info) {
                             return std::to_string(info.param.inputs) + "in" + std::to_string(info.param.outputs) +
                                    "out";
                         });

class Filter : public ::testing::Test {
protected:
    ZFilter f{&hostCallback};
};

TEST_F(Filter, MonoOutputIsGainTimesTheHighPass) {
    f.setParameter(ZFilter::kGain, 0.75f);  // +6.0 dB
    f.setParameter(ZFilter::kCutOff, 0.5f);
    f.setParameter(ZFilter::kRes, 0.4f);
    f.suspend();
    f.resume();
    VRAX::BiquadSection reference;
    reference.setSampleRate(44100.0);
    reference.setHighPass(f.getRealValue(ZFilter::kCutOff), 0.4);
    const double gain = std::pow(10.0, 0.05 * 6.0);

    const Channels in = {noise(1000, 7)};
    Channels out = zeros(1, 1000);
    run(f, in, out, 0, 1000);
    for (size_t i = 0; i < 1000; ++i) {
        reference.processLeft(in[0][i]);
        ASSERT_EQ(out[0][i], gain * reference.outLeft) << "frame " << i;
    }
}

TEST_F(Filter, GainAtItsDefaultIsExactlyOne) {
    f.setParameter(ZFilter::kGain, 0.5f);
    f.setParameter(ZFilter::kCutOff, 0.3f);
    f.suspend();
    f.resume();
    EXPECT_EQ(f.getGainRamp().current, 1.0);
    VRAX::BiquadSection reference;
    reference.setSampleRate(44100.0);
    reference.setHighPass(f.getRealValue(ZFilter::kCutOff), 0.0);
    const Channels in = {noise(256, 3)};
    Channels out = zeros(1, 256);
    run(f, in, out, 0, 256);
    for (size_t i = 0; i < 256; ++i) {
        reference.processLeft(in[0][i]);
        ASSERT_EQ(out[0][i], reference.outLeft);
    }
}

TEST_F(Filter, BypassPassesTheInputWhileTheFilterFollowsIt) {
    ZFilter plain(&hostCallback);
    for (ZFilter* e : {&f, &plain}) {
        e->setParameter(ZFilter::kCutOff, 0.6f);
        e->setParameter(ZFilter::kRes, 0.7f);
        e->suspend();
        e->resume();
    }
    ASSERT_TRUE(f.setBypass(true));
    const Channels in = {noise(2000, 11, 0.8), noise(2000, 12, 0.3)};
    Channels out = zeros(2, 2000), plainOut = zeros(2, 2000);
    run(f, in, out, 0, 1000);
    EXPECT_TRUE(std::equal(in[0].begin(), in[0].begin() + 1000, out[0].begin()));
    EXPECT_TRUE(std::equal(in[1].begin(), in[1].begin() + 1000, out[1].begin()));
    double inputPeak = 0.0;
    for (size_t i = 0; i < 1000; ++i) inputPeak = std::max({inputPeak, std::fabs(in[0][i]), std::fabs(in[1][i])});
    EXPECT_EQ(f.getPeak(), inputPeak);

    // Switching bypass off continues from a state that followed the input.
    f.setBypass(false);
    run(f, in, out, 1000, 2000);
    run(plain, in, plainOut, 0, 2000);
    for (int c = 0; c < 2; ++c)
        EXPECT_TRUE(std::equal(out[c].begin() + 1000, out[c].end(), plainOut[c].begin() + 1000)) << c;
}

// 20 Hz to 20 kHz is the whole range: 882 factor steps of 1000^(1/882) and a
// final snap; the coefficients follow every 23 frames and once on arrival.
TEST_F(Filter, FullCutOffGlideRedesignsOnScheduleAndArrives) {
    f.setParameter(ZFilter::kCutOff, 0.0f);
    f.setParameter(ZFilter::kRes, 0.0f);
    f.suspend();
    f.resume();
    ASSERT_EQ(f.getInterval(), 23);
    ASSERT_EQ(f.getSection().lastCutOff, 20.0);
    f.setParameter(ZFilter::kCutOff, 1.0f);

    const Channels in = {noise(1000, 5)};
    Channels out = zeros(1, 1000);
    std::vector<int> designs;
    double last = f.getSection().lastCutOff;
    int arrival = 0;
    for (int frame = 1; frame <= 1000; ++frame) {
        run(f, in, out, frame - 1, frame);
        if (f.getSection().lastCutOff != last) {
            designs.push_back(frame);
            last = f.getSection().lastCutOff;
            // Designed from the ramp's value of this very frame.
            EXPECT_EQ(last, f.getCutOffRamp().current) << "frame " << frame;
        }
        if (!arrival && f.getCutOffRamp().settled) arrival = frame;
    }
    std::vector<int> expected;
    for (int frame = 23; frame < 883; frame += 23) expected.push_back(frame);
    expected.push_back(883);
    EXPECT_EQ(arrival, 883);
    EXPECT_EQ(designs, expected);
    EXPECT_EQ(f.getSection().lastCutOff, 20000.0);
    EXPECT_EQ(f.getCutOffRamp().current, 20000.0);
    EXPECT_FALSE(f.isRamping());
}

TEST_F(Filter, ProgramChangeGlidesIn) {
    f.setProgram(0);  // "All Pass": 0 dB, 20 Hz, 0 %
    f.suspend();
    f.resume();
    f.setProgram(2);  // "Res High": -1 dB, 900 Hz, 50 %
    const Channels in = {noise(900, 9)};
    Channels out = zeros(1, 900);
    run(f, in, out, 0, 1);
    EXPECT_GT(f.getCutOffRamp().current, 20.0);
    EXPECT_LT(f.getCutOffRamp().current, 900.0);
    EXPECT_GT(f.getResRamp().current, 0.0);
    EXPECT_LT(f.getResRamp().current, 0.5);
    EXPECT_LT(f.getGainRamp().current, 1.0);
    EXPECT_GT(f.getGainRamp().current, std::pow(10.0, -0.05));
    run(f, in, out, 1, 400);
    EXPECT_TRUE(f.isRamping());
    run(f, in, out, 400, 883);
    EXPECT_FALSE(f.isRamping());
    EXPECT_EQ(f.getSection().lastCutOff, 900.0);
    EXPECT_EQ(f.getSection().lastRes, 0.5);
    EXPECT_EQ(f.getGainRamp().current, std::pow(10.0, -0.05));
}

TEST_F(Filter, AfterSuspendAndResumeTheFilterStartsSilent) {
    ZFilter fresh(&hostCallback);
    for (ZFilter* e : {&f, &fresh}) {
        e->setParameter(ZFilter::kCutOff, 0.5f);
        e->setParameter(ZFilter::kRes, 0.9f);
        e->suspend();
        e->resume();
    }
    const Channels loud = {noise(3000, 21, 1.0), noise(3000, 22, 1.0)};
    Channels out = zeros(2, 3000);
    run(f, loud, out, 0, 3000);
    ASSERT_GT(f.getPeak(), 0.5);
    f.suspend();
    EXPECT_EQ(f.getPeak(), 0.0);
    f.resume();
    EXPECT_EQ(f.getPeak(), 0.0);

    Channels impulse = zeros(2, 200);
    impulse[0][0] = 0.25;
    impulse[1][3] = -0.125;
    Channels a = zeros(2, 200), b = zeros(2, 200);
    run(f, impulse, a, 0, 200);
    run(fresh, impulse, b, 0, 200);
    EXPECT_EQ(a, b);
    double peak = 0.0;
    for (const auto& c : a)
        for (double v : c) peak = std::max(peak, std::fabs(v));
    EXPECT_EQ(f.getPeak(), peak);
}

TEST_F(Filter, PeakResetThenSignalRaisesThePeakAndNotifies) {
    CountingEditor* editor = openEditor(f);
    const Channels in = stereoNoise(512);
    Channels out = zeros(2, 512);
    run(f, in, out, 0, 512);
    const double peak = f.getPeak();
    ASSERT_GT(peak, 0.0);
    f.executeCommand(ZFilter::kPeakReset, false, false);
    EXPECT_EQ(f.getPeak(), 0.0);
    const int before = editor->refreshes;
    run(f, in, out, 0, 512);
    EXPECT_GT(f.getPeak(), 0.0);
    EXPECT_EQ(editor->refreshes, before + 1);
}

// Float blocks the frame loop cannot take itself (a channel missing) still
// run, through ZEffect's conversion: a missing input is silence, a missing
// output is skipped.
TEST_F(Filter, AFloatBlockWithAMissingChannelStillRuns) {
    ZFilter whole(&hostCallback);
    for (ZFilter* e : {&f, &whole}) e->setParameter(ZFilter::kCutOff, 0.5f);
    const std::vector<double> noiseIn = noise(256, 3);
    std::vector<float> in(noiseIn.begin(), noiseIn.end()), silence(256, 0.0f);
    std::vector<float> left(256, 0.0f), expectedLeft(256, 0.0f), expectedRight(256, 0.0f);
    float* inputs[2] = {in.data(), nullptr};
    float* outputs[2] = {left.data(), nullptr};
    f.processBlockFloat(inputs, 2, outputs, 2, 256);
    float* wholeIn[2] = {in.data(), silence.data()};
    float* wholeOut[2] = {expectedLeft.data(), expectedRight.data()};
    whole.processBlockFloat(wholeIn, 2, wholeOut, 2, 256);
    EXPECT_NE(expectedLeft, silence);
    EXPECT_EQ(left, expectedLeft);
}

TEST_F(Filter, BlocksThatChangeNothingNotifyNobody) {
    CountingEditor* editor = openEditor(f);
    Channels in = {noise(256, 31, 0.9), noise(256, 32, 0.9)};
    Channels out = zeros(2, 256);
    run(f, in, out, 0, 256);
    // A quieter block leaves the peak where it is.
    Channels quiet = {noise(256, 33, 0.01), noise(256, 34, 0.01)};
    int before = editor->refreshes;
    run(f, quiet, out, 0, 256);
    EXPECT_EQ(editor->refreshes, before);

    // Empty and negative blocks, while a glide is pending, touch nothing.
    f.setParameter(ZFilter::kCutOff, 0.8f);
    before = editor->refreshes;
    const double peak = f.getPeak();
    const VRAX::BiquadSection section = f.getSection();
    const double cutOff = f.getCutOffRamp().current;
    double left[4] = {9, 9, 9, 9}, right[4] = {9, 9, 9, 9};
    float leftF[4] = {9, 9, 9, 9}, rightF[4] = {9, 9, 9, 9};
    double* io[] = {left, right};
    float* ioF[] = {leftF, rightF};
    for (int frames : {0, -1, -512}) {
        f.processDoubleReplacing(io, io, frames);
        f.processReplacing(ioF, ioF, frames);
        f.processBlock(io, 2, io, 2, frames);
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(left[i], 9.0);
        EXPECT_EQ(right[i], 9.0);
        EXPECT_EQ(leftF[i], 9.0f);
        EXPECT_EQ(rightF[i], 9.0f);
    }
    EXPECT_EQ(editor->refreshes, before);
    EXPECT_EQ(f.getPeak(), peak);
    EXPECT_EQ(f.getCutOffRamp().current, cutOff);
    EXPECT_TRUE(f.isRamping());
    EXPECT_EQ(f.getSection().y1L, section.y1L);
    EXPECT_EQ(f.getSection().x1R, section.x1R);
}

// An effect derived from ZFilter may route channels its own way around the
// frame loop, through the public processing entry; ZFilter's own mapping
// stays as it is.
class SwappingFilter : public ZFilter {
public:
    using ZFilter::ZFilter;
    bool swap = true;
    void processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                      int32_t frames) override {
        double* swapped[] = {outputs[numOutputs > 1 ? 1 : 0], outputs[0]};
        ZFilter::processBlock(inputs, numInputs, swap ? swapped : outputs, numOutputs, frames);
    }
    void processBlockFloat(float** inputs, int32_t numInputs, float** outputs, int32_t numOutputs,
                           int32_t frames) override {
        float* swapped[] = {outputs[numOutputs > 1 ? 1 : 0], outputs[0]};
        ZFilter::processBlockFloat(inputs, numInputs, swap ? swapped : outputs, numOutputs, frames);
    }
};

TEST_F(Filter, ASubclassMayRouteChannelsAroundTheFrameLoop) {
    for (int outputs : {1, 2}) {
        ZFilter plain(&hostCallback);
        SwappingFilter swapped(&hostCallback), same(&hostCallback);
        same.swap = false;
        const Channels in = stereoNoise(3000);
        Channels a = zeros(outputs, 3000), b = zeros(outputs, 3000), c = zeros(outputs, 3000);
        for (ZFilter* e : {&plain, static_cast<ZFilter*>(&swapped), static_cast<ZFilter*>(&same)}) {
            e->setParameter(ZFilter::kCutOff, 0.7f);
            e->setParameter(ZFilter::kRes, 0.5f);
        }
        run(plain, in, a, 0, 3000);
        run(swapped, in, b, 0, 3000);
        run(same, in, c, 0, 3000);
        EXPECT_EQ(a, c) << outputs << " outputs";
        if (outputs == 2) {
            EXPECT_EQ(a[0], b[1]);
            EXPECT_EQ(a[1], b[0]);
        } else {
            EXPECT_EQ(a[0], b[0]);  // an average does not care
        }
    }
    // Float blocks, routed the same way around their own entry.
    ZFilter plain(&hostCallback);
    SwappingFilter swapped(&hostCallback);
    std::vector<float> pulse(512, 0.0f), silence(512, 0.0f);
    pulse[0] = 1.0f;
    std::vector<std::vector<float>> a(2, std::vector<float>(512)), b = a;
    float* inputs[2] = {pulse.data(), silence.data()};
    float* outA[2] = {a[0].data(), a[1].data()};
    float* outB[2] = {b[0].data(), b[1].data()};
    plain.processBlockFloat(inputs, 2, outA, 2, 512);
    swapped.processBlockFloat(inputs, 2, outB, 2, 512);
    EXPECT_NE(a[0], a[1]);
    EXPECT_EQ(a[0], b[1]);
    EXPECT_EQ(a[1], b[0]);
}

}  // namespace
