// Processing as hosts really call it: odd block lengths, channel layouts
// switched between blocks, poisoned input, unusual and missing sample rates,
// a block size announced while suspended, and an instance that never gets a
// sample rate at all.
#include "AbuseSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using abuse::Block;
using abuse::Channels;
using qtest::PluginHost;

namespace {

struct Layout {
    int32_t inputs, outputs;
};
const Layout kLayouts[] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}};
const size_t kFrameCounts[] = {0, 1, 7, 4096, 65536};

class Process : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << qtest::pluginPath();
        effect = abuse::start(host);
        ASSERT_NE(effect, nullptr);
        // Some resonance and a cut off in the audible range, so that the
        // filter has something to ring with.
        host.dispatch(effSetProgram, 0, 2);  // "Res High"
    }

    void setParam(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    void suspendResume() {
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effMainsChanged, 0, 1);
    }

    template <typename T>
    void blocksInEveryLayout() {
        uint32_t seed = 1;
        for (int pass = 0; pass < 2; ++pass)
            for (const Layout& layout : kLayouts) {
                ASSERT_TRUE(abuse::setLayout(host, layout.inputs, layout.outputs));
                for (size_t frames : kFrameCounts) {
                    SCOPED_TRACE(testing::Message() << layout.inputs << "x" << layout.outputs << " frames " << frames
                                                    << (sizeof(T) == 4 ? " float" : " double"));
                    Block<T> block(static_cast<size_t>(layout.inputs), static_cast<size_t>(layout.outputs), frames);
                    block.fill(abuse::noiseChannels(2, frames, seed++));
                    block.fillOutputs(static_cast<T>(7.0));
                    block.run(effect);
                    ASSERT_EQ(block.firstNonFinite(), -1);
                    if (frames == 0) continue;
                    if (frames >= 4096) {
                        EXPECT_LT(block.peak(), 4.0);
                    }
                    // Nothing left over from the sentinel: every sample written.
                    for (const auto& out : block.out) {
                        for (size_t i = 0; i < frames; ++i) ASSERT_NE(out[i], static_cast<T>(7.0)) << i;
                    }
                    if (layout.inputs == 1 && layout.outputs == 2) {
                        for (size_t i = 0; i < frames; ++i) ASSERT_EQ(block.out[0][i], block.out[1][i]) << i;
                    }
                }
            }
    }

    PluginHost host;
    AEffect* effect = nullptr;
};

TEST_F(Process, BlockLengthsAndLayoutsSwitchedBetweenBlocksFloat) { blocksInEveryLayout<float>(); }
TEST_F(Process, BlockLengthsAndLayoutsSwitchedBetweenBlocksDouble) { blocksInEveryLayout<double>(); }

TEST_F(Process, FloatAndDoubleCallsInterleaved) {
    for (int i = 0; i < 40; ++i) {
        const Layout& layout = kLayouts[static_cast<size_t>(i) % 4];
        ASSERT_TRUE(abuse::setLayout(host, layout.inputs, layout.outputs));
        const size_t frames = kFrameCounts[static_cast<size_t>(i * 3) % 5];
        if (i % 2) {
            Block<float> block(static_cast<size_t>(layout.inputs), static_cast<size_t>(layout.outputs), frames);
            block.fill(abuse::noiseChannels(2, frames, 100u + static_cast<uint32_t>(i)));
            block.run(effect);
            ASSERT_EQ(block.firstNonFinite(), -1) << i;
        } else {
            Block<double> block(static_cast<size_t>(layout.inputs), static_cast<size_t>(layout.outputs), frames);
            block.fill(abuse::noiseChannels(2, frames, 100u + static_cast<uint32_t>(i)));
            block.run(effect);
            ASSERT_EQ(block.firstNonFinite(), -1) << i;
        }
    }
}

TEST_F(Process, LayoutsThePlugInRefusesKeepThePreviousOne) {
    ASSERT_TRUE(abuse::setLayout(host, 1, 2));
    for (Layout bad : {Layout{0, 2}, Layout{3, 2}, Layout{2, 0}, Layout{2, 3}, Layout{8, 8}, Layout{-1, 1}})
        EXPECT_FALSE(abuse::setLayout(host, bad.inputs, bad.outputs)) << bad.inputs << "x" << bad.outputs;
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_EQ(out->numChannels, 2);
    // Buffers for the layout still in force (one input) are all it reads.
    Block<float> block(1, 2, 1024);
    block.fill(abuse::noiseChannels(1, 1024, 3));
    block.run(effect);
    EXPECT_EQ(block.firstNonFinite(), -1);
    EXPECT_GT(block.peak(), 0.0);
}

template <typename T>
void poisonAndRecover(PluginHost& host, AEffect* effect, T poison, bool expectRecoveryWithoutReset) {
    const size_t frames = 512;
    Block<T> block(2, 2, frames);
    Channels clean = abuse::noiseChannels(2, frames, 77);
    block.fill(clean);
    block.in[0][100] = poison;
    block.in[1][300] = poison;
    block.run(effect);
    // The next clean blocks: a poisoned filter state may keep ringing NaN.
    for (int i = 0; i < 4; ++i) {
        block.fill(clean);
        block.run(effect);
        if (expectRecoveryWithoutReset) {
            ASSERT_EQ(block.firstNonFinite(), -1);
        }
    }
    host.dispatch(effMainsChanged, 0, 0);
    host.dispatch(effMainsChanged, 0, 1);
    block.fill(clean);
    block.run(effect);
    EXPECT_EQ(block.firstNonFinite(), -1) << "no recovery after suspend and resume";
    EXPECT_GT(block.peak(), 0.0);
}

TEST_F(Process, NanAndInfinityInputRecoverAfterSuspendResume) {
    for (bool bypass : {false, true}) {
        SCOPED_TRACE(bypass ? "bypassed" : "active");
        host.dispatch(effSetBypass, 0, bypass ? 1 : 0);
        poisonAndRecover<float>(host, effect, std::numeric_limits<float>::quiet_NaN(), false);
        poisonAndRecover<float>(host, effect, std::numeric_limits<float>::infinity(), false);
        poisonAndRecover<float>(host, effect, -std::numeric_limits<float>::infinity(), false);
        poisonAndRecover<double>(host, effect, std::numeric_limits<double>::quiet_NaN(), false);
        poisonAndRecover<double>(host, effect, std::numeric_limits<double>::infinity(), false);
        poisonAndRecover<double>(host, effect, -std::numeric_limits<double>::infinity(), false);
        // Finite but extreme values may overflow the filter state as well.
        poisonAndRecover<double>(host, effect, 1e300, false);
        poisonAndRecover<float>(host, effect, std::numeric_limits<float>::max(), false);
    }
}

TEST_F(Process, DenormalInputGivesFiniteOutputAtOnce) {
    for (double tiny : {std::numeric_limits<double>::denorm_min(), 1e-310, -1e-320}) {
        poisonAndRecover<double>(host, effect, tiny, true);
        // A whole block of denormals, and silence after it.
        Block<double> block(2, 2, 4096);
        for (auto& c : block.in)
            for (size_t i = 0; i < 4096; ++i) c[i] = tiny;
        block.run(effect);
        EXPECT_EQ(block.firstNonFinite(), -1);
    }
    for (float tiny : {std::numeric_limits<float>::denorm_min(), 1e-40f}) {
        poisonAndRecover<float>(host, effect, tiny, true);
        Block<float> block(2, 2, 4096);
        for (auto& c : block.in)
            for (size_t i = 0; i < 4096; ++i) c[i] = tiny;
        block.run(effect);
        EXPECT_EQ(block.firstNonFinite(), -1);
    }
}

TEST_F(Process, SampleRatesIncludingZero) {
    setParam(2, 1.0f);
    for (float rate : {8000.0f, 44100.0f, 192000.0f, 0.0f, 8000.0f, 0.0f, -48000.0f, NAN, INFINITY}) {
        // The top of "Cut Off" lies above half of the lower rates; 0.5 is 632 Hz.
        for (float cutOff : {1.0f, 0.5f}) {
            SCOPED_TRACE(testing::Message() << "rate " << rate << " cut off " << cutOff);
            setParam(1, cutOff);
            host.dispatch(effMainsChanged, 0, 0);
            host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            host.dispatch(effMainsChanged, 0, 1);
            const Channels input = abuse::noiseChannels(2, 48000, 31);
            const Channels outFloat = abuse::bounce<float>(effect, input, 2, 1000);
            EXPECT_TRUE(abuse::allFinite(outFloat));
            const Channels outDouble = abuse::bounce<double>(effect, input, 2, 1000);
            EXPECT_TRUE(abuse::allFinite(outDouble));
            double level = 0;
            for (double x : outDouble[0]) level = std::fmax(level, std::fabs(x));
            EXPECT_LT(level, 100.0);
            if (cutOff < 1.0f) {
                EXPECT_GT(level, 1e-2) << "the filter passes nothing";
            }
        }
    }
    // Rate 0 without any usable rate before it: a fresh instance.
    PluginHost fresh;
    fresh.sampleRate = 0;
    AEffect* e = fresh.create();
    ASSERT_NE(e, nullptr);
    fresh.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f);
    fresh.dispatch(effMainsChanged, 0, 1);
    const Channels out = abuse::bounce<float>(e, abuse::noiseChannels(2, 8192, 5), 2, 512);
    EXPECT_TRUE(abuse::allFinite(out));
}

// A host that renders offline announces a large block size while the effect
// is suspended and then processes in blocks of that size. The result is the
// same as real-time blocks would give.
TEST_F(Process, OfflineBounceInLargeBlocksAfterSetBlockSizeWhileSuspended) {
    const Channels input = abuse::noiseChannels(2, 5 * 44100, 41);
    auto render = [&](PluginHost& h, AEffect* e, VstIntPtr block, bool inFloat) {
        h.dispatch(effMainsChanged, 0, 0);
        h.dispatch(effSetBlockSize, 0, block);
        h.dispatch(effMainsChanged, 0, 1);
        // A parameter glide under way through the first blocks.
        e->setParameter(e, 1, 0.8f);
        return inFloat ? abuse::bounce<float>(e, input, 2, static_cast<size_t>(block))
                       : abuse::bounce<double>(e, input, 2, static_cast<size_t>(block));
    };
    PluginHost reference;
    AEffect* r = abuse::start(reference);
    ASSERT_NE(r, nullptr);
    reference.dispatch(effSetProgram, 0, 2);
    for (bool inFloat : {true, false}) {
        SCOPED_TRACE(inFloat ? "float" : "double");
        const Channels large = render(host, effect, 8192, inFloat);
        ASSERT_TRUE(abuse::allFinite(large));
        const Channels small = render(reference, r, 512, inFloat);
        ASSERT_EQ(large.size(), small.size());
        for (size_t c = 0; c < large.size(); ++c)
            for (size_t i = 0; i < large[c].size(); ++i)
                ASSERT_EQ(large[c][i], small[c][i]) << "channel " << c << " frame " << i;
        effect->setParameter(effect, 1, 0.0f);
        r->setParameter(r, 1, 0.0f);
    }
}

TEST_F(Process, SecondInstanceWithoutASampleRateListsItsPrograms) {
    PluginHost second;
    second.sampleRate = 0;  // the host cannot tell yet
    AEffect* e = second.create();
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e, effect);
    const char* expected[] = {"All Pass", "Cut Bass", "Res High", "Defaults", "Defaults",
                              "Defaults", "Defaults", "Defaults", "Defaults", "Defaults"};
    for (VstInt32 p = 0; p < 10; ++p) {
        std::vector<char> name(64, 'x');
        EXPECT_EQ(second.dispatch(effGetProgramNameIndexed, p, -1, name.data()), 1) << p;
        EXPECT_EQ(std::string(name.data()), expected[p]) << p;
    }
    // Both instances process side by side, each with its own state.
    second.dispatch(effMainsChanged, 0, 1);
    Block<float> a(2, 2, 1024), b(2, 2, 1024);
    a.fill(abuse::noiseChannels(2, 1024, 1));
    b.fill(abuse::noiseChannels(2, 1024, 1));
    a.run(effect);
    b.run(e);
    EXPECT_EQ(a.firstNonFinite(), -1);
    EXPECT_EQ(b.firstNonFinite(), -1);
    EXPECT_EQ(second.dispatch(effGetProgram), 0);
    EXPECT_EQ(host.dispatch(effGetProgram), 2);
}

}  // namespace
