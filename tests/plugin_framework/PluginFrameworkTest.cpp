// The framework as a host meets it: the built plug-in loaded through its
// entry point and driven only through the dispatcher and the record.
#include "support/PluginHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using qtest::PluginHost;

namespace {

class Plugin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << "cannot load " << QOLM_PLUGIN_PATH;
        effect = host.create();
        ASSERT_NE(effect, nullptr);
    }

    std::string paramText(VstInt32 opcode, VstInt32 index) { return host.dispatchString(opcode, index, 64); }
    std::string programName() { return host.dispatchString(effGetProgramName, 0, 64); }
    std::string programNameAt(VstInt32 index) {
        std::vector<char> buffer(64, 'x');
        buffer.back() = 0;
        host.dispatch(effGetProgramNameIndexed, index, 0, buffer.data());
        return buffer.data();
    }
    void setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    float getParameter(VstInt32 index) { return effect->getParameter(effect, index); }

    std::vector<unsigned char> chunk(bool program) {
        void* data = nullptr;
        const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (!data || size <= 0) return {};
        auto* bytes = static_cast<unsigned char*>(data);
        return std::vector<unsigned char>(bytes, bytes + size);
    }
    VstIntPtr giveChunk(std::vector<unsigned char>& bytes, bool program, VstIntPtr size = -1) {
        return host.dispatch(effSetChunk, program ? 1 : 0, size < 0 ? static_cast<VstIntPtr>(bytes.size()) : size,
                             bytes.data());
    }

    // The path is given here: the support library is built without it.
    PluginHost host{QOLM_PLUGIN_PATH};
    AEffect* effect = nullptr;
};

// Little-endian double at an offset of a chunk.
double valueAt(const std::vector<unsigned char>& bytes, size_t offset) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[offset + static_cast<size_t>(i)];
    double value;
    std::memcpy(&value, &bits, 8);
    return value;
}

void putValue(std::vector<unsigned char>& bytes, size_t offset, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    for (int i = 0; i < 8; ++i) bytes[offset + static_cast<size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
}

TEST_F(Plugin, ParameterNamesLabelsAndDisplays) {
    const char* names[] = {"Gain", "Cut Off", "Res"};
    const char* labels[] = {"dB", "Hz", "%"};
    const char* displays[] = {"0.0", "20", "0"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(paramText(effGetParamName, i), names[i]);
        EXPECT_EQ(paramText(effGetParamLabel, i), labels[i]);
        EXPECT_EQ(paramText(effGetParamDisplay, i), displays[i]);
    }
    // Outside the parameters: nothing is written, nothing breaks.
    EXPECT_EQ(paramText(effGetParamName, 3), "");
    EXPECT_EQ(paramText(effGetParamDisplay, -1), "");
    EXPECT_EQ(host.dispatch(effGetParamName, 0, 0, nullptr), 0);
}

TEST_F(Plugin, SetAndGetParameter) {
    setParameter(0, 0.75f);
    EXPECT_EQ(getParameter(0), 0.75f);
    EXPECT_EQ(paramText(effGetParamDisplay, 0), "6.0");
    // Stored unclamped and unquantised.
    setParameter(1, 1.5f);
    EXPECT_EQ(getParameter(1), 1.5f);
    setParameter(2, 0.123f);
    EXPECT_EQ(getParameter(2), 0.123f);
    EXPECT_EQ(paramText(effGetParamDisplay, 2), "12");
    setParameter(5, 0.5f);
    EXPECT_EQ(getParameter(5), 0.0f);
    EXPECT_EQ(getParameter(-1), 0.0f);
}

TEST_F(Plugin, StringToParameter) {
    char text[] = "150";
    EXPECT_EQ(host.dispatch(effString2Parameter, 2, 0, text), 1);
    EXPECT_EQ(getParameter(2), 1.0f);
    char cut[] = "1000 Hz";
    EXPECT_EQ(host.dispatch(effString2Parameter, 1, 0, cut), 1);
    EXPECT_EQ(paramText(effGetParamDisplay, 1), "1000");
    char inf[] = "-inf";
    EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, inf), 1);
    EXPECT_EQ(paramText(effGetParamDisplay, 0), "-12.0");
    // Null text: only the question whether text is accepted.
    EXPECT_EQ(host.dispatch(effString2Parameter, 0, 0, nullptr), 1);
    EXPECT_EQ(host.dispatch(effString2Parameter, 3, 0, text), 0);
}

TEST_F(Plugin, DisplayIsLimitedToThirtyTwoBytes) {
    // About 2e30 %: 31 digits, which fit.
    setParameter(2, 2e28f);
    const std::string fits = paramText(effGetParamDisplay, 2);
    EXPECT_EQ(fits.size(), 31u);
    EXPECT_EQ(fits.find("..."), std::string::npos);
    // About 1e32 %: 33 digits, cut to 28 and "...".
    setParameter(2, 1e30f);
    std::vector<char> buffer(64, 'x');
    host.dispatch(effGetParamDisplay, 2, 0, buffer.data());
    const std::string cut = buffer.data();
    EXPECT_EQ(cut.size(), 31u);
    EXPECT_EQ(cut.substr(28), "...");
    EXPECT_EQ(cut.substr(0, 4), "1000");
    EXPECT_EQ(buffer[32], 'x');
}

TEST_F(Plugin, ProgramsAndNames) {
    EXPECT_EQ(programNameAt(0), "All Pass");
    EXPECT_EQ(programNameAt(1), "Cut Bass");
    EXPECT_EQ(programNameAt(2), "Res High");
    for (int p = 3; p < 10; ++p) EXPECT_EQ(programNameAt(p), "Defaults") << p;
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 9, 0, std::vector<char>(64).data()), 1);
    EXPECT_EQ(host.dispatch(effGetProgram), 0);
    EXPECT_EQ(programName(), "All Pass");

    host.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(host.dispatch(effGetProgram), 2);
    EXPECT_EQ(paramText(effGetParamDisplay, 0), "-1.0");
    EXPECT_EQ(paramText(effGetParamDisplay, 1), "900");
    EXPECT_EQ(paramText(effGetParamDisplay, 2), "50");
    host.dispatch(effSetProgram, 0, 10);
    host.dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(host.dispatch(effGetProgram), 2);

    char name[] = "My own setting with a long name";
    host.dispatch(effSetProgramName, 0, 0, name);
    EXPECT_EQ(programName(), "My own setting with a lo");
    char empty[] = "";
    host.dispatch(effSetProgramName, 0, 0, empty);
    EXPECT_EQ(programNameAt(2), "My own setting with a lo");
}

TEST_F(Plugin, IndexedNamesOutOfRange) {
    for (VstInt32 index : {10, -1, 1000000}) {
        EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, index, 0, std::vector<char>(64, 'x').data()), 0);
        EXPECT_EQ(programNameAt(index), "") << index;
    }
    EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
}

TEST_F(Plugin, BankChunkLayout) {
    const std::vector<unsigned char> bank = chunk(false);
    ASSERT_EQ(bank.size(), 490u);
    const double values[3][3] = {{0.5, 0.0, 0.0}, {0.5, std::log10(6.0) / 3, 0.0}, {11.0 / 24, std::log10(45.0) / 3, 0.5}};
    const char* names[] = {"All Pass", "Cut Bass", "Res High"};
    for (size_t p = 0; p < 10; ++p) {
        const size_t base = p * 49;
        const std::string name(reinterpret_cast<const char*>(&bank[base]), strnlen(reinterpret_cast<const char*>(&bank[base]), 25));
        EXPECT_EQ(name, p < 3 ? names[p] : "Defaults");
        for (size_t i = name.size(); i < 25; ++i) EXPECT_EQ(bank[base + i], 0) << p << "/" << i;
        for (size_t j = 0; j < 3; ++j) {
            const double expected = p < 3 ? values[p][j] : (j == 0 ? 0.5 : 0.0);
            EXPECT_DOUBLE_EQ(valueAt(bank, base + 25 + 8 * j), expected) << p << "/" << j;
        }
    }
    EXPECT_EQ(chunk(true).size(), 49u);
}

TEST_F(Plugin, BankChunkRoundTripsByteForByte) {
    std::vector<unsigned char> bank = chunk(false);
    ASSERT_EQ(bank.size(), 490u);
    for (size_t p = 0; p < 10; ++p) {
        std::memset(&bank[p * 49], 0, 25);
        std::snprintf(reinterpret_cast<char*>(&bank[p * 49]), 25, "Saved %zu", p);
        for (size_t j = 0; j < 3; ++j) putValue(bank, p * 49 + 25 + 8 * j, (p * 3 + j) / 40.0);
    }
    EXPECT_EQ(giveChunk(bank, false), 490);
    EXPECT_EQ(chunk(false), bank);
    EXPECT_EQ(programNameAt(7), "Saved 7");
    // The displays follow the restored values at once.
    EXPECT_EQ(paramText(effGetParamDisplay, 2), "5");  // 2 / 40 = 0.05
    host.dispatch(effSetProgram, 0, 9);
    EXPECT_EQ(paramText(effGetParamDisplay, 0), "4.2");  // 27 / 40 = 0.675
}

TEST_F(Plugin, ProgramChunkGoesToTheCurrentProgram) {
    host.dispatch(effSetProgram, 0, 3);
    setParameter(0, 0.25f);
    setParameter(2, 0.75f);
    char name[] = "Three";
    host.dispatch(effSetProgramName, 0, 0, name);
    std::vector<unsigned char> three = chunk(true);
    ASSERT_EQ(three.size(), 49u);
    EXPECT_EQ(valueAt(three, 25), 0.25);
    EXPECT_EQ(valueAt(three, 41), 0.75);

    host.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(giveChunk(three, true), 49);
    EXPECT_EQ(chunk(true), three);
    EXPECT_EQ(programNameAt(5), "Three");
    EXPECT_EQ(paramText(effGetParamDisplay, 2), "75");
    const std::vector<unsigned char> bank = chunk(false);
    EXPECT_TRUE(std::equal(three.begin(), three.end(), bank.begin() + 5 * 49));
    EXPECT_TRUE(std::equal(three.begin(), three.end(), bank.begin() + 3 * 49));
}

TEST_F(Plugin, ShortChunksAreRefused) {
    const std::vector<unsigned char> before = chunk(false);
    std::vector<unsigned char> junk(490, 0xab);
    EXPECT_EQ(giveChunk(junk, false, 489), 0);
    EXPECT_EQ(giveChunk(junk, true, 48), 0);
    EXPECT_EQ(giveChunk(junk, true, 0), 0);
    EXPECT_EQ(host.dispatch(effSetChunk, 0, 490, nullptr), 0);
    EXPECT_EQ(chunk(false), before);
    // A longer chunk is taken by its first bytes.
    std::vector<unsigned char> longer = before;
    longer.resize(1000, 0xcd);
    putValue(longer, 25, 1.0);
    EXPECT_EQ(giveChunk(longer, false), 490);
    EXPECT_EQ(paramText(effGetParamDisplay, 0), "12.0");
}

TEST_F(Plugin, EveryCapabilityAnswer) {
    struct Case {
        const char* text;
        VstIntPtr answer;
    } cases[] = {
        {"1in1out", 1},          {"1in2out", 1},           {"2in1out", 1},          {"2in2out", 1},
        {"2in4out", -1},         {"4in2out", -1},          {"4in4out", -1},         {"4in8out", -1},
        {"8in4out", -1},         {"8in8out", -1},          {"conformsToWindowRules", 0},
        {"sendVstEvents", -1},   {"sendVstMidiEvent", -1}, {"sendVstTimeInfo", -1}, {"receiveVstEvents", -1},
        {"receiveVstMidiEvent", -1}, {"receiveVstTimeInfo", -1}, {"offline", -1},   {"plugAsChannelInsert", 1},
        {"plugAsSend", 1},       {"midiProgramNames", -1}, {"bypass", 1},           {"bypass ", 0},
        {"noSuchCapability", 0}, {"", 0},
    };
    for (const Case& c : cases) {
        std::string s = c.text;
        EXPECT_EQ(host.dispatch(effCanDo, 0, 0, s.data()), c.answer) << '"' << c.text << '"';
    }
    EXPECT_EQ(host.dispatch(effCanDo, 0, 0, nullptr), 0);
    // "bypass" is claimed, so the host's soft bypass is accepted.
    EXPECT_EQ(host.dispatch(effSetBypass, 0, 1), 1);
    EXPECT_EQ(host.dispatch(effSetBypass, 0, 0), 1);
}

TEST_F(Plugin, IdentityStrings) {
    EXPECT_EQ(host.dispatchString(effGetEffectName, 0, 64), "Qolm");
    EXPECT_EQ(host.dispatchString(effGetVendorString, 0, 64), "VRAX");
    EXPECT_EQ(host.dispatchString(effGetProductString, 0, 64), "Qolm");
    EXPECT_EQ(host.dispatch(effGetVendorVersion), 3100);
    EXPECT_EQ(host.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(effect->version, 3100);
}

std::vector<unsigned char> arrangement(VstInt32 channels) {
    std::vector<unsigned char> bytes(8 + 112 * static_cast<size_t>(channels), 0);
    std::memcpy(bytes.data() + 4, &channels, 4);
    return bytes;
}

TEST_F(Plugin, SpeakerArrangements) {
    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);

    auto mono = arrangement(1);
    auto stereo = arrangement(2);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(mono.data()), stereo.data()), 1);
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_EQ(out->numChannels, 2);
    // The record a host sees is at least the published size: copying it is safe.
    VstSpeakerArrangement copy;
    std::memcpy(&copy, in, sizeof(copy));
    EXPECT_EQ(copy.numChannels, 1);

    auto four = arrangement(4);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(stereo.data()), four.data()), 0);
    EXPECT_EQ(host.dispatch(effSetSpeakerArrangement, 0, 0, stereo.data()), 0);
    ASSERT_EQ(host.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out), 1);
    EXPECT_EQ(in->numChannels, 1);
    EXPECT_EQ(out->numChannels, 2);
    // The record's counts stay what the effect declared.
    EXPECT_EQ(effect->numInputs, 2);

    // Mono in, stereo out: both outputs carry the same result, and only the
    // one input channel is read.
    std::vector<float> input(64), left(64, 9.0f), right(64, 7.0f);
    for (int i = 0; i < 64; ++i) input[i] = std::sin(i * 0.3f) * 0.5f;
    float* ins[] = {input.data(), nullptr};
    float* outs[] = {left.data(), right.data()};
    effect->processReplacing(effect, ins, outs, 64);
    EXPECT_EQ(left, right);
    EXPECT_GT(*std::max_element(left.begin(), left.end()), 0.1f);
}

TEST_F(Plugin, AudioPassesThroughBothPrecisions) {
    host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    host.dispatch(effSetBlockSize, 0, 256);
    host.dispatch(effMainsChanged, 0, 1);
    std::vector<float> l(256), r(256), ol(256, 9.0f), or_(256, 9.0f);
    for (int i = 0; i < 256; ++i) {
        l[i] = std::sin(i * 0.1f) * 0.5f;
        r[i] = -l[i];
    }
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {ol.data(), or_.data()};
    effect->processReplacing(effect, ins, outs, 256);
    float loudest = 0.0f;
    for (int i = 0; i < 256; ++i) {
        ASSERT_TRUE(std::isfinite(ol[i]) && std::isfinite(or_[i])) << i;
        loudest = std::max(loudest, std::fabs(ol[i]));
    }
    // A 760 Hz tone passes the factory program (a 20 Hz high-pass at 0 dB).
    EXPECT_GT(loudest, 0.3f);
    // A block longer than announced still works.
    std::vector<float> big(2048, 0.1f), bigOut(2048), bigOut2(2048);
    float* bigIns[] = {big.data(), big.data()};
    float* bigOuts[] = {bigOut.data(), bigOut2.data()};
    effect->processReplacing(effect, bigIns, bigOuts, 2048);
    EXPECT_TRUE(std::isfinite(bigOut[2047]));
    std::vector<double> dl(64, 0.5), dr(64, -0.5), dol(64), dor(64);
    double* dins[] = {dl.data(), dr.data()};
    double* douts[] = {dol.data(), dor.data()};
    effect->processDoubleReplacing(effect, dins, douts, 64);
    EXPECT_TRUE(std::isfinite(dol[63]));
    host.dispatch(effMainsChanged, 0, 0);
}

}  // namespace
