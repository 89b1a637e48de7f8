// The plug-in as a host sees it: entry point, record and dispatcher.
#include "support/PluginHost.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using qtest::PluginHost;

namespace {
constexpr VstInt32 fourCC(const char (&s)[5]) { return vstFourCC(s[0], s[1], s[2], s[3]); }

class Entry : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << "cannot load " << qtest::pluginPath();
        ASSERT_NE(host.create(), nullptr);
    }
    PluginHost host;
};
}  // namespace

TEST(EntryPoint, HostAnsweringVersionZeroGetsNothing) {
    PluginHost old(nullptr, 0);
    ASSERT_TRUE(old.loaded());
    EXPECT_EQ(old.create(), nullptr);
    // Only the version query was made: nothing was created to ask more.
    ASSERT_EQ(old.calls().size(), 1u);
    EXPECT_EQ(old.calls()[0].opcode, audioMasterVersion);
}

TEST(EntryPoint, MainIsASecondNameForTheEntry) {
    PluginHost host;
    AEffect* e = host.create("main");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, fourCC("Kp4w"));
}

TEST_F(Entry, RecordCarriesTheIdentity) {
    AEffect* e = host.effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->numPrograms, 10);
    EXPECT_EQ(e->numParams, 3);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(e->uniqueID, fourCC("Kp4w"));
    EXPECT_EQ(e->version, 3100);
    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_TRUE(e->flags & effFlagsCanDoubleReplacing);
    EXPECT_FALSE(e->flags & effFlagsProgramChunks);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_FLOAT_EQ(e->ioRatio, 1.0f);
    EXPECT_NE(e->object, nullptr);
    EXPECT_EQ(e->user, nullptr);
    EXPECT_NE(e->dispatcher, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
    EXPECT_NE(e->setParameter, nullptr);
    EXPECT_NE(e->getParameter, nullptr);
    for (char c : e->future) EXPECT_EQ(c, 0);
}

TEST_F(Entry, FixedAnswersOfTheDispatcher) {
    EXPECT_EQ(host.dispatch(effIdentify), fourCC("NvEf"));
    EXPECT_EQ(host.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 3100);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(host.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(host.dispatch(effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(host.dispatch(effOpen), 0);
    for (VstInt32 i : {-1, 0, 1, 2, 3, 99}) EXPECT_EQ(host.dispatch(effCanBeAutomated, i), 1) << i;
}

TEST_F(Entry, NamesOfTheEffect) {
    char text[256];
    std::memset(text, 'x', sizeof(text));
    EXPECT_EQ(host.dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_STREQ(text, "Qolm");
    EXPECT_EQ(host.dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, "VRAX");
    EXPECT_EQ(host.dispatch(effGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "Qolm");
}

TEST_F(Entry, ProgramSelectionIgnoresValuesBeyondTheBank) {
    host.dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(host.dispatch(effGetProgram), 4);
    host.dispatch(effSetProgram, 0, 10);
    EXPECT_EQ(host.dispatch(effGetProgram), 4);
    host.dispatch(effSetProgram, 0, 1000);
    EXPECT_EQ(host.dispatch(effGetProgram), 4);
    host.dispatch(effSetProgram, 0, 9);
    EXPECT_EQ(host.dispatch(effGetProgram), 9);
}

TEST_F(Entry, OpcodesWithoutAnAnswerReturnZero) {
    // Deprecated and unimplemented opcodes, negative and beyond the table.
    const std::vector<VstInt32> silent = {9,  16, 17, 18, 20, 21, 25, 28, 30, 31, 32, 33, 34, 36, 37, 38, 39,
                                          40, 41, 43, 46, 50, 52, 53, 54, 55, 56, 57, 62, 64, 65, 66, 67, 68,
                                          70, 71, 72, 74, 75, 76, 77, 78, 79, 80, 81, 100, 1000, -1, -2, -100,
                                          INT_MAX, INT_MIN};
    std::vector<char> buffer(4096, 0);
    for (VstInt32 op : silent) {
        EXPECT_EQ(host.dispatch(op, 0, 0, buffer.data()), 0) << "opcode " << op;
        EXPECT_EQ(host.dispatch(op, 1, 1, nullptr), 0) << "opcode " << op;
    }
    for (char c : buffer) ASSERT_EQ(c, 0);
}

TEST_F(Entry, NullPointersAndStrayIndexesAreHarmless) {
    // Every opcode that writes through its pointer, given none.
    for (VstInt32 op : {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName, effEditGetRect,
                        effGetChunk, effSetChunk, effGetEffectName, effGetVendorString, effGetProductString,
                        effGetProgramNameIndexed, effCanDo, effGetSpeakerArrangement, effSetProgramName,
                        effSetSpeakerArrangement})
        EXPECT_EQ(host.dispatch(op, 0, 0, nullptr), 0) << "opcode " << op;
    char text[256];
    for (VstInt32 index : {-1, 3, 1000, INT_MAX}) {
        std::memset(text, 0x55, sizeof(text));
        EXPECT_EQ(host.dispatch(effGetParamName, index, 0, text), 0);
        EXPECT_EQ(host.dispatch(effGetParamLabel, index, 0, text), 0);
        EXPECT_EQ(host.dispatch(effGetParamDisplay, index, 0, text), 0);
        EXPECT_EQ(text[0], 0x55) << "index " << index << " was written";
        AEffect* e = host.effect();
        e->setParameter(e, index, 0.25f);
        EXPECT_EQ(e->getParameter(e, index), 0.0f);
    }
    for (VstInt32 program : {-1, 10, 1000, INT_MAX, INT_MIN}) {
        std::memset(text, 0x55, sizeof(text));
        EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, program, 0, text), 0) << program;
        EXPECT_EQ(text[0], 0) << "an out-of-range program gets an empty name";
    }
}

TEST_F(Entry, AccumulatingProcessLeavesOutputUntouched) {
    std::vector<float> in(64, 0.5f), outL(64, 0.125f), outR(64, -0.25f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {outL.data(), outR.data()};
    AEffect* e = host.effect();
    e->process(e, ins, outs, 64);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(outL[i], 0.125f);
        ASSERT_EQ(outR[i], -0.25f);
    }
}

TEST(EntryPoint, CloseAnswersOneAndInstancesAreIndependent) {
    PluginHost a, b;
    AEffect* ea = a.create();
    AEffect* eb = b.create();
    ASSERT_NE(ea, nullptr);
    ASSERT_NE(eb, nullptr);
    EXPECT_NE(ea, eb);
    a.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(b.dispatch(effGetProgram), 0);
    EXPECT_EQ(a.close(), 1);
    EXPECT_EQ(b.dispatch(effIdentify), fourCC("NvEf"));
    EXPECT_EQ(b.close(), 1);
}
