// The plug-ins loaded from the bundle's binary as an LV2 host loads them,
// against the VST library driven with the same input and settings.
#include "lv2/Lv2Support.h"

#include <lv2/ui/ui.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lv2test {
namespace {

constexpr double kRate = 48000.0;

class Lv2Plugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(library.plugin(kStereoUri), nullptr) << binaryPath(); }

    static void expectSame(const Channels& a, const Channels& b, size_t from, size_t to) {
        ASSERT_EQ(a.size(), b.size());
        for (size_t c = 0; c < a.size(); ++c)
            for (size_t i = from; i < to; ++i) ASSERT_EQ(a[c][i], b[c][i]) << "channel " << c << " frame " << i;
    }

    Library library;
};

// Settings, a step in a control port while running, and blocks longer than
// the layer's slices: the same samples as the VST's float path.
TEST_F(Lv2Plugin, GivesTheVstSamplesForTheSameInputAndSettings) {
    for (const char* uri : {kStereoUri, kMonoUri}) {
        SCOPED_TRACE(uri);
        Instance lv2(library, uri, kRate);
        ASSERT_TRUE(lv2.valid());
        VstReference vst(kRate, static_cast<int>(lv2.channels()));
        ASSERT_NE(vst.effect(), nullptr);
        const Channels in = noise(static_cast<int>(lv2.channels()), 24000, 7);

        lv2.controls[kGain] = -1.0f;
        lv2.controls[kCutOff] = 900.0f;
        lv2.controls[kRes] = 50.0f;
        lv2.activate();
        vst.set(0, -1.0f);
        vst.set(1, 900.0f);
        vst.set(2, 50.0f);
        vst.resume();

        Channels a, b;
        lv2.process(in, a, 1500, 0, 6000);
        vst.process(in, b, 1500, 0, 6000);
        // A step from the host: both glide from here.
        lv2.controls[kCutOff] = 4000.0f;
        lv2.controls[kGain] = 6.5f;
        vst.set(1, 4000.0f);
        vst.set(0, 6.5f);
        lv2.process(in, a, 1500, 6000);
        vst.process(in, b, 1500, 6000);
        expectSame(a, b, 0, in[0].size());
    }
}

TEST_F(Lv2Plugin, AStepInAControlPortGlidesForTwentyMilliseconds) {
    // Cut Off from 20 Hz to 20 kHz: stepped against an instance that was at
    // 20 kHz all along. Mid-glide they differ; once the glide is over the
    // filter forgets the difference within a few samples.
    Instance stepped(library, kStereoUri, kRate), settled(library, kStereoUri, kRate);
    settled.controls[kCutOff] = 20000.0f;
    stepped.activate();
    settled.activate();
    const Channels in = noise(2, 9600, 3);
    Channels a, b;
    stepped.process(in, a, 480, 0, 2400);
    settled.process(in, b, 480, 0, 2400);
    stepped.controls[kCutOff] = 20000.0f;
    stepped.process(in, a, 480, 2400);
    settled.process(in, b, 480, 2400);

    auto largestDifference = [&](size_t from, size_t to) {
        double largest = 0.0;
        for (size_t i = from; i < to; ++i) largest = std::max(largest, double(std::fabs(a[0][i] - b[0][i])));
        return largest;
    };
    const size_t step = 2400, glide = static_cast<size_t>(0.02 * kRate);
    EXPECT_GT(largestDifference(step + glide / 2, step + glide / 2 + 48), 0.05);
    EXPECT_GT(largestDifference(step + glide - 96, step + glide - 48), 1e-4);
    EXPECT_LT(largestDifference(step + glide + 96, in[0].size()), 1e-5);
}

TEST_F(Lv2Plugin, EnabledPortFadesToTheExactInputAndBack) {
    // A constant input, which the high-pass removes entirely: the output is
    // the input's share in the fade.
    Instance lv2(library, kStereoUri, kRate);
    lv2.controls[kCutOff] = 2000.0f;
    lv2.activate();
    const Channels in(2, std::vector<float>(9600, 0.5f));
    Channels out;
    lv2.process(in, out, 256, 0, 2400);
    EXPECT_LT(std::fabs(out[0][2399]), 1e-4f);
    lv2.controls[kEnabled] = 0.0f;
    lv2.process(in, out, 256, 2400, 7200);
    const size_t fade = static_cast<size_t>(0.02 * kRate);
    EXPECT_NEAR(out[0][2400 + fade / 4] / 0.5, 0.25, 0.01);
    EXPECT_NEAR(out[1][2400 + fade / 2] / 0.5, 0.5, 0.01);
    for (size_t i = 2400 + fade; i < 7200; ++i) ASSERT_EQ(out[0][i], in[0][i]) << i;

    lv2.controls[kEnabled] = 1.0f;
    lv2.process(in, out, 256, 7200);
    EXPECT_NEAR(out[0][7200 + fade / 2] / 0.5, 0.5, 0.01);
    EXPECT_LT(std::fabs(out[0][7200 + fade + 96]), 1e-4f);
}

TEST_F(Lv2Plugin, ReportsOutputPeakInDecibelsAndZeroLatency) {
    Instance lv2(library, kStereoUri, kRate);
    lv2.controls[kGain] = 6.0f;
    lv2.activate();
    const Channels in = tones(2, 4800, kRate, {{1000.0, 0.25}});
    Channels out;
    lv2.process(in, out, 4800);
    float largest = 0.0f;
    for (const auto& channel : out)
        for (float x : channel) largest = std::max(largest, std::fabs(x));
    EXPECT_NEAR(largest, 0.5f, 0.02f);
    EXPECT_NEAR(lv2.controls[kPeak], toDb(largest), 1e-3);
    EXPECT_EQ(lv2.controls[kLatency], 0.0f);
    const Channels quiet(2, std::vector<float>(48000, 0.0f));
    lv2.process(quiet, out, 4800);
    EXPECT_LT(lv2.controls[kPeak], -100.0f);
}

TEST_F(Lv2Plugin, BadHostInputNeverCrashesAndStaysFinite) {
    // Nothing connected at all, a rate of 0, blocks of every size.
    {
        Instance bare(library, kStereoUri, 0.0, false);
        ASSERT_TRUE(bare.valid());
        bare.activate();
        for (uint32_t frames : {0u, 1u, 511u, 512u, 513u, 5000u}) bare.run(frames);
    }
    // Unconnected inputs are silence; NaN and infinities in control ports
    // change nothing; a value far outside the range is held to it.
    Instance lv2(library, kStereoUri, 0.0), reference(library, kStereoUri, 0.0);
    lv2.activate();
    reference.activate();
    std::vector<float> left(1024, 1.0f), right(1024, 1.0f);
    for (Instance* instance : {&lv2, &reference}) {
        instance->connect(kFirstAudio + 2, left.data());
        instance->connect(kFirstAudio + 3, right.data());
        instance->run(1024);
        for (size_t i = 0; i < left.size(); ++i) ASSERT_LT(std::fabs(left[i]) + std::fabs(right[i]), 1e-6f) << i;
    }

    const Channels in = noise(2, 8192, 11);
    Channels a, b;
    lv2.process(in, a, 1024, 0, 2048);
    reference.process(in, b, 1024, 0, 2048);
    size_t from = 2048;
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        lv2.controls[kGain] = lv2.controls[kCutOff] = lv2.controls[kRes] = lv2.controls[kEnabled] = bad;
        lv2.process(in, a, 1024, from, from + 512);
        from += 512;
    }
    lv2.process(in, a, 1024, from, 4096);
    reference.process(in, b, 1024, 2048, 4096);
    expectSame(a, b, 0, 4096);

    lv2.controls[kGain] = 1e9f;
    lv2.controls[kCutOff] = -5.0f;
    lv2.controls[kRes] = 1e30f;
    lv2.controls[kEnabled] = 1.0f;
    lv2.process(in, a, 1024, 4096);
    for (const auto& channel : a)
        for (float x : channel) ASSERT_TRUE(std::isfinite(x));
}

TEST_F(Lv2Plugin, ProcessesInPlace) {
    Instance separate(library, kStereoUri, kRate), inPlace(library, kStereoUri, kRate);
    separate.controls[kCutOff] = inPlace.controls[kCutOff] = 300.0f;
    separate.activate();
    inPlace.activate();
    const Channels in = noise(2, 2048, 5);
    Channels expected;
    separate.process(in, expected, 700);
    Channels buffer = in;
    for (size_t pos = 0; pos < 2048; pos += 700) {
        const auto n = static_cast<uint32_t>(std::min<size_t>(700, 2048 - pos));
        for (uint32_t c = 0; c < 2; ++c) {
            inPlace.connect(kFirstAudio + c, buffer[c].data() + pos);
            inPlace.connect(kFirstAudio + 2 + c, buffer[c].data() + pos);
        }
        inPlace.run(n);
    }
    expectSame(buffer, expected, 0, 2048);
}

TEST_F(Lv2Plugin, UiNeedsTheInstanceAndAParentWindow) {
    auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(library.symbol("lv2ui_descriptor"));
    ASSERT_NE(entry, nullptr);
    const LV2UI_Descriptor* ui = entry(0);
    ASSERT_NE(ui, nullptr);
    EXPECT_STREQ(ui->URI, "https://vrax.example/plugins/qolm#ui");
    EXPECT_EQ(entry(1), nullptr);
    auto write = [](LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
    LV2UI_Widget widget = nullptr;
    // A host without instance-access, and one handing over a foreign handle.
    const LV2_Feature* none[] = {nullptr};
    EXPECT_EQ(ui->instantiate(ui, kStereoUri, bundlePath().c_str(), write, nullptr, &widget, none), nullptr);
    int foreign = 0;
    const LV2_Feature access{"http://lv2plug.in/ns/ext/instance-access", &foreign};
    const LV2_Feature parent{LV2_UI__parent, reinterpret_cast<void*>(1)};
    const LV2_Feature* wrong[] = {&access, &parent, nullptr};
    EXPECT_EQ(ui->instantiate(ui, kStereoUri, bundlePath().c_str(), write, nullptr, &widget, wrong), nullptr);
    const void* idle = ui->extension_data(LV2_UI__idleInterface);
    EXPECT_NE(idle, nullptr);
}

}  // namespace
}  // namespace lv2test
