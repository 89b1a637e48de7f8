// The framework effect called directly, as the editor and the skin call it:
// parameter and program operations, chunks, capabilities, arrangements,
// text variables, the editor link and the float processing path.
#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using fwtest::FakeEditor;
using fwtest::FakeHost;
using fwtest::TestEffect;

namespace {

TEST(EffectParameters, SettingStoresUnclampedRebuildsTextsAndApplies) {
    TestEffect effect;
    effect.setParameter(0, 0.75f);
    EXPECT_EQ(effect.getParameter(0), 0.75f);
    EXPECT_STREQ(effect.getDisplayText(0), "6.0 dB");
    effect.setParameter(1, 1.5f);
    EXPECT_EQ(effect.getParameter(1), 1.5f);
    // The editor's double is not narrowed to float.
    effect.setParameterValue(2, 0.1234567890123);
    EXPECT_EQ(effect.getStoredValue(2), 0.1234567890123);
    EXPECT_DOUBLE_EQ(effect.getNormalisedValue(2), 0.12);
    EXPECT_EQ(effect.changed, (std::vector<int32_t>{0, 1, 2}));
    EXPECT_EQ(effect.applies, 3);
    EXPECT_FALSE(effect.lastJump);
}

TEST(EffectParameters, OutOfRangeIndexesAndNullPointersAreHarmless) {
    TestEffect effect;
    char buffer[64];
    std::memset(buffer, 'x', sizeof(buffer));
    for (int index : {-1, 3, 1000}) {
        effect.setParameter(index, 0.5f);
        effect.setParameterValue(index, 0.5);
        EXPECT_EQ(effect.getParameter(index), 0.0f);
        effect.getParameterName(index, buffer);
        EXPECT_EQ(buffer[0], 0);
        buffer[0] = 'x';
        effect.getParameterLabel(index, buffer);
        EXPECT_EQ(buffer[0], 0);
        buffer[0] = 'x';
        effect.getParameterDisplay(index, buffer);
        EXPECT_EQ(buffer[0], 0);
        EXPECT_FALSE(effect.string2parameter(index, buffer));
    }
    effect.getParameterName(0, nullptr);
    effect.getParameterDisplay(0, nullptr);
    effect.getProgramName(nullptr);
    effect.setProgramName(nullptr);
    EXPECT_FALSE(effect.getProgramNameIndexed(0, 0, nullptr));
    EXPECT_EQ(effect.applies, 0);
    EXPECT_TRUE(effect.changed.empty());
}

TEST(EffectParameters, StringToParameterWithoutTextOnlyAsks) {
    TestEffect effect;
    EXPECT_TRUE(effect.string2parameter(2, nullptr));
    EXPECT_EQ(effect.applies, 0);
    char text[] = "150";
    EXPECT_TRUE(effect.string2parameter(2, text));
    EXPECT_STREQ(effect.getDisplayText(2), "100 %");
    EXPECT_EQ(effect.changed, std::vector<int32_t>{2});
    EXPECT_EQ(effect.applies, 1);
}

TEST(EffectPrograms, SelectionKeepsOutOfRangeButAlwaysApplies) {
    TestEffect effect;
    effect.setProgram(4);
    effect.setProgram(10);
    effect.setProgram(-1);
    EXPECT_EQ(effect.getProgram(), 4);
    EXPECT_EQ(effect.applies, 3);
}

TEST(EffectPrograms, NamesAreTwentyFourCharacters) {
    TestEffect effect;
    char out[40];
    char longName[] = "Twenty-five characters!!!";
    effect.setProgramName(longName);
    std::memset(out, 'x', sizeof(out));
    effect.getProgramName(out);
    // Cut to 24 and still terminated: a host never reads on past the name.
    EXPECT_STREQ(out, "Twenty-five characters!!");
    EXPECT_EQ(out[25], 'x');
    char empty[] = "";
    effect.setProgramName(empty);
    EXPECT_STREQ(effect.getPrograms().programName(0), "Twenty-five characters!!");
    // A shorter name fills the 24-byte field with zeros and writes no more.
    char shortName[] = "Abc";
    effect.setProgramName(shortName);
    std::memset(out, 'x', sizeof(out));
    effect.getProgramName(out);
    const std::string expected = "Abc" + std::string(21, '\0') + "x";
    EXPECT_EQ(std::memcmp(out, expected.data(), 25), 0);
    // Indexed names outside the bank: false and an empty name.
    for (int index : {-1, 10, 1 << 30}) {
        out[0] = 'x';
        EXPECT_FALSE(effect.getProgramNameIndexed(0, index, out));
        EXPECT_EQ(out[0], 0);
    }
}

TEST(EffectChunks, ChunksHoldStillUntilTheNextGetChunkAndShortOnesAreRefused) {
    TestEffect effect;
    void* data = nullptr;
    void* program = nullptr;
    EXPECT_EQ(effect.getChunk(nullptr, false), 0);
    EXPECT_EQ(effect.getChunk(&data, false), 490);
    EXPECT_EQ(effect.getChunk(&program, true), 49);
    const std::vector<unsigned char> held(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + 490);
    // The host may still be writing the bank chunk to disk while values move.
    effect.setParameter(0, 0.875f);
    EXPECT_EQ(std::memcmp(data, held.data(), 490), 0);
    EXPECT_EQ(std::memcmp(program, held.data(), 49), 0);
    void* again = nullptr;
    EXPECT_EQ(effect.getChunk(&again, false), 490);
    EXPECT_EQ(fwtest::recordValue(static_cast<unsigned char*>(again), 25), 0.875);
    const int applies = effect.applies;
    std::vector<unsigned char> junk(600, 0xee);
    EXPECT_EQ(effect.setChunk(junk.data(), 48, true), 0);
    EXPECT_EQ(effect.setChunk(junk.data(), -490, false), 0);
    EXPECT_EQ(effect.applies, applies);
    EXPECT_STREQ(effect.getPrograms().programName(0), "Defaults");
}

TEST(EffectChunks, OwnBytesGivenBackChangeNothing) {
    TestEffect effect;
    effect.setParameter(1, 0.4f);
    const unsigned char* saved = effect.getPrograms().saveBank();
    const std::vector<unsigned char> before(saved, saved + 490);
    void* data = nullptr;
    const VstInt32 bankSize = effect.getChunk(&data, false);
    EXPECT_EQ(effect.setChunk(data, bankSize, false), 490);
    const VstInt32 programSize = effect.getChunk(&data, true);
    EXPECT_EQ(effect.setChunk(data, programSize, true), 49);
    EXPECT_EQ(std::memcmp(effect.getPrograms().saveBank(), before.data(), 490), 0);
    EXPECT_EQ(effect.applies, 3);
}

TEST(EffectChunks, NonFiniteValuesLoadAndShow) {
    TestEffect effect;
    std::vector<unsigned char> record(49, 0);
    const double values[] = {INFINITY, NAN, -INFINITY};
    for (int j = 0; j < 3; ++j) std::memcpy(record.data() + 25 + 8 * j, &values[j], 8);
    EXPECT_EQ(effect.setChunk(record.data(), 49, true), 49);
    EXPECT_STREQ(effect.getValueText(0), "Inf");
    EXPECT_STREQ(effect.getValueText(2), "-Inf");
    char out[40];
    effect.getParameterDisplay(1, out);
    EXPECT_LT(strnlen(out, 32), 32u);
}

TEST(EffectIdentity, FrameworkAloneKnowsOnlyConfigurations) {
    TestEffect effect;
    char out[64] = "unchanged";
    EXPECT_FALSE(effect.getEffectName(out));
    EXPECT_FALSE(effect.getVendorString(out));
    EXPECT_FALSE(effect.getProductString(out));
    EXPECT_STREQ(out, "unchanged");
    struct Case {
        const char* text;
        VstInt32 answer;
    } cases[] = {{"1in2out", 1}, {"2in1out", 1},      {"2in4out", -1},         {"8in8out", -1},
                 {"bypass", 0},  {"midiProgramNames", 0}, {"conformsToWindowRules", 0},
                 {"3in3out", 0}, {"2in2out ", 0},     {"2In2Out", 0}};
    for (const Case& c : cases) {
        std::string s = c.text;
        EXPECT_EQ(effect.canDo(s.data()), c.answer) << c.text;
    }
    EXPECT_EQ(effect.canDo(nullptr), 0);
    EXPECT_FALSE(effect.setBypass(true));  // not claimed, so refused
    EXPECT_FALSE(effect.isBypassed());
}

std::vector<unsigned char> arrangement(int channels, VstInt32 type = 0) {
    std::vector<unsigned char> bytes(8 + 112 * static_cast<size_t>(channels), 0);
    std::memcpy(bytes.data(), &type, 4);
    std::memcpy(bytes.data() + 4, &channels, 4);
    for (int c = 0; c < channels; ++c) {
        auto* speaker = reinterpret_cast<VstSpeakerProperties*>(bytes.data() + 8 + 112 * c);
        speaker->azimuth = 0.5f * c;
        std::memset(speaker->name, 'N', sizeof(speaker->name));  // no terminator
        speaker->type = 100 + c;
        speaker->future[27] = 9;
    }
    return bytes;
}

VstSpeakerArrangement* as(std::vector<unsigned char>& bytes) {
    return reinterpret_cast<VstSpeakerArrangement*>(bytes.data());
}

TEST(EffectArrangements, CopiedInFullAndRefusedWhole) {
    TestEffect effect;
    // Exactly-sized host records: copying must not read past them.
    auto in = arrangement(1, 7);
    auto out = arrangement(2, 8);
    ASSERT_TRUE(effect.setSpeakerArrangement(as(in), as(out)));
    VstSpeakerArrangement* ownIn = nullptr;
    VstSpeakerArrangement* ownOut = nullptr;
    EXPECT_TRUE(effect.getSpeakerArrangement(&ownIn, &ownOut));
    EXPECT_EQ(ownIn->type, 7);
    EXPECT_EQ(ownOut->numChannels, 2);
    EXPECT_EQ(ownOut->speakers[1].azimuth, 0.5f);
    EXPECT_EQ(ownOut->speakers[1].type, 101);
    EXPECT_EQ(ownOut->speakers[1].future[27], 9);
    EXPECT_EQ(strnlen(ownOut->speakers[1].name, 64), 63u);
    // A host may copy the whole published record: all of it is ours to read.
    VstSpeakerArrangement copy;
    std::memcpy(&copy, ownIn, sizeof(copy));
    EXPECT_EQ(copy.speakers[7].type, 0);

    auto four = arrangement(4);
    auto none = arrangement(0);
    EXPECT_FALSE(effect.setSpeakerArrangement(as(in), as(four)));
    EXPECT_FALSE(effect.setSpeakerArrangement(as(none), as(out)));
    EXPECT_FALSE(effect.setSpeakerArrangement(nullptr, as(out)));
    char expanded[32];
    effect.expandVariables(expanded, sizeof(expanded), "${Inputs}x${Outputs}");
    EXPECT_STREQ(expanded, "1x2");
    EXPECT_EQ(effect.getAeffect()->numInputs, 2);
}

std::string expand(VRAX::ZEffect& effect, const char* source, int size = 256) {
    std::string out(static_cast<size_t>(size) + 8, '\x7f');
    effect.expandVariables(out.data(), size, source);
    EXPECT_EQ(out[static_cast<size_t>(size)], '\x7f') << "wrote past the buffer";
    return out.c_str();
}

class Variables : public ::testing::Test {
protected:
    FakeHost host;
    TestEffect effect{&FakeHost::callback};
};

TEST_F(Variables, ExampleLineAndHostStrings) {
    effect.updateSampleRate();
    EXPECT_EQ(expand(effect, "${SRate} Hz ~ ${Inputs}x${Outputs} ~ ${HostName}"), "48000 Hz ~ 2x2 ~ Host");
    EXPECT_EQ(expand(effect, "${HostVend}"), "Vendor");
    host.product = "";
    EXPECT_EQ(expand(effect, "${HostName}"), "Unknown");
}

TEST_F(Variables, UnknownNamesAndStrayCharacters) {
    EXPECT_EQ(expand(effect, "a${Nope}b${srate}c"), "abc");  // names are case-sensitive
    EXPECT_EQ(expand(effect, "cost $5 } {x} $"), "cost $5 } {x} $");
    // Without a closing brace the name runs to the end of the text.
    EXPECT_EQ(expand(effect, "rate ${SRate"), "rate 44100");
}

TEST_F(Variables, NamesAreCutToSixtyThreeCharacters) {
    effect.names.clear();
    EXPECT_EQ(expand(effect, ("<${" + std::string(70, 'v') + "}>").c_str()), "<>");
    ASSERT_EQ(effect.names.size(), 1u);
    EXPECT_EQ(effect.names[0], std::string(63, 'v'));
}

TEST_F(Variables, OutputIsBoundedToItsBuffer) {
    EXPECT_EQ(expand(effect, "0123456789abcdef", 10), "012345678");
    EXPECT_EQ(expand(effect, "${Inputs}${Inputs}${Inputs}${Inputs}${Inputs}", 4), "222");
    EXPECT_EQ(expand(effect, "abc", 1), "");
    EXPECT_EQ(expand(effect, nullptr, 8), "");
    char untouched = 'q';
    effect.expandVariables(&untouched, 0, "abc");
    EXPECT_EQ(untouched, 'q');
    // The host fills 255 characters: our buffer takes them, and the value is
    // cut to its 128-byte variable buffer.
    host.writeBytes = 256;
    EXPECT_EQ(expand(effect, "[${HostName}]", 384), "[" + std::string(127, 'h') + "]");
}

TEST(VariablesWithoutHost, HostStringsUnknownPluginTextsEmpty) {
    TestEffect effect;
    EXPECT_EQ(expand(effect, "${HostName}|${HostVend}|${PlugVer}|${Platform}|${BuildDate}|${PlugBuild}"),
              "Unknown|Unknown||||");
    effect.setSampleRate(INFINITY);
    EXPECT_EQ(expand(effect, "${SRate}"), "Inf");
}

TEST(EditorLink, RefreshOnlyWhileOpenAndEditorDestroyedOnce) {
    int destroyed = 0;
    {
        TestEffect effect;
        auto* editor = new FakeEditor(&effect, &destroyed);
        effect.setEditor(editor);
        EXPECT_EQ(editor->getOwnerEffect(), &effect);
        effect.notifyEditor();
        effect.editorOpened();
        effect.notifyEditor();
        effect.editorClosed();
        effect.notifyEditor();
        EXPECT_EQ(editor->refreshes, 1);
        effect.editorOpened();
        effect.releaseEditor();
        EXPECT_EQ(destroyed, 1);
        EXPECT_FALSE(effect.isEditorOpen());
        effect.notifyEditor();
        effect.setEditor(new FakeEditor(&effect, &destroyed));
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(EditorLink, PlainEditorsAreNeverRefreshed) {
    TestEffect effect;
    AEffEditor plain(&effect);
    effect.setEditor(&plain);
    EXPECT_EQ(effect.getEditorLink(), nullptr);
    effect.editorOpened();
    effect.notifyEditor();
    effect.setEditor(nullptr);
}

TEST(FloatPath, ConvertsThroughTheScratchArea) {
    TestEffect effect;
    std::vector<float> left(64), right(64), outL(64, 9.0f), outR(64, 9.0f);
    for (int i = 0; i < 64; ++i) right[i] = -(left[i] = 0.25f * static_cast<float>(i) / 64);
    float* in[] = {left.data(), right.data()};
    float* out[] = {outL.data(), outR.data()};
    effect.processReplacing(in, out, 64);
    EXPECT_EQ(effect.shape, (std::vector<int32_t>{2, 2, 64}));
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(outL[i], 2 * left[i]);
        EXPECT_EQ(outR[i], 2 * right[i]);
    }
    // Input channel c at c * frames, the outputs after all the inputs.
    EXPECT_EQ(effect.lastInputs[1] - effect.lastInputs[0], 64);
    EXPECT_EQ(effect.lastOutputs[1] - effect.lastInputs[0], 192);
}

TEST(FloatPath, ScratchIsPresizedByTheBlockSizeAndNeverShrinks) {
    TestEffect effect;
    EXPECT_EQ(effect.getScratchCapacity(), 1024 * 4);
    effect.setBlockSize(4096);
    EXPECT_EQ(effect.getScratchCapacity(), 4096 * 4);
    std::vector<float> a(5000, 0.5f), c(5000), d(5000);
    float* in[] = {a.data(), a.data()};
    float* out[] = {c.data(), d.data()};
    effect.processReplacing(in, out, 16);
    effect.setBlockSize(64);
    EXPECT_EQ(effect.getScratchCapacity(), 4096 * 4);
    EXPECT_EQ(effect.shape, (std::vector<int32_t>{2, 2, 16}));
    effect.processReplacing(in, out, 5000);
    EXPECT_EQ(effect.getScratchCapacity(), 5000 * 4);
    EXPECT_EQ(c[4999], 1.0f);
    effect.setBlockSize(0x7fffffff);  // absurd: refused quietly
    EXPECT_EQ(effect.getScratchCapacity(), 5000 * 4);
}

TEST(FloatPath, CountsFollowTheArrangementsAndEmptyBlocksDoNothing) {
    TestEffect effect;
    auto in = arrangement(1);
    auto out = arrangement(2);
    ASSERT_TRUE(effect.setSpeakerArrangement(as(in), as(out)));
    std::vector<float> mono(32, 0.25f), l(32), r(32);
    float* ins[] = {mono.data()};
    float* outs[] = {l.data(), r.data()};
    effect.processReplacing(ins, outs, 32);
    EXPECT_EQ(effect.shape, (std::vector<int32_t>{1, 2, 32}));
    EXPECT_EQ(r[31], 0.5f);
    effect.processReplacing(ins, outs, 0);
    effect.processReplacing(nullptr, outs, 8);
    effect.processReplacing(ins, nullptr, 8);
    effect.processDoubleReplacing(nullptr, nullptr, 8);
    EXPECT_EQ(effect.blocks, 1);
}

TEST(ChannelMapping, DefaultMapping) {
    TestEffect effect;
    double left = 9, right = 9;
    effect.mapChannels(true, false, 0.5, 0.25, &left, &right);
    EXPECT_EQ(left, 0.375);
    EXPECT_EQ(right, 9);
    effect.mapChannels(false, true, 0.5, 0.25, &left, &right);
    EXPECT_EQ(right, 0.5);
    effect.mapChannels(true, true, 0.5, 0.25, &left, &right);
    EXPECT_EQ(right, 0.25);
}

TEST(EffectLookups, ParametersIgnoreCaseFeaturesAndCommandsDoNot) {
    TestEffect effect;
    EXPECT_EQ(effect.findParameter("cut off"), 1);
    EXPECT_EQ(effect.findParameter("CutOff"), -1);
    EXPECT_EQ(effect.findParameter(nullptr), -1);
    EXPECT_EQ(effect.findFeature("Peak"), nullptr);
    EXPECT_EQ(effect.findCommand("PeakReset"), nullptr);
    effect.suspend();
    effect.resume();
    EXPECT_EQ(effect.resets, 2);
}

}  // namespace
