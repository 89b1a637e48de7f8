// The dispatcher and the parameter entries under what careless hosts do:
// every opcode with stray indexes and values, out-of-range parameters and
// programs, editor opcodes with no editor open, and effClose at odd moments.
#include "AbuseSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <dlfcn.h>
#include <fstream>
#include <string>

using abuse::Block;
using qtest::PluginHost;

namespace {

constexpr size_t kBufferSize = 4096;
// No host string the plug-in fills is longer than this (vendor and product
// strings, 64 characters and the zero).
constexpr size_t kLongestString = 65;

const VstInt32 kIndexes[] = {-1, 0, 1, 10, 1000, INT_MAX};
const VstIntPtr kValues[] = {-1, 0, 1, 10, 1000, INT_MAX};

// Opcodes whose pointer argument is a place where the plug-in stores a pointer.
bool ptrIsPointerPlace(VstInt32 opcode) {
    return opcode == effEditGetRect || opcode == effGetChunk || opcode == effGetSpeakerArrangement;
}
// Opcodes whose value argument is itself a pointer: a host never passes a
// number there, so the sweep gives them a valid pointer (or null) instead.
bool valueIsPointer(VstInt32 opcode) {
    return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
}

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << qtest::pluginPath();
        effect = abuse::start(host);
        ASSERT_NE(effect, nullptr);
    }

    std::string text(VstInt32 opcode, VstInt32 index = 0) { return host.dispatchString(opcode, index, 256); }

    std::vector<unsigned char> bank() {
        void* data = nullptr;
        const VstIntPtr size = host.dispatch(effGetChunk, 0, 0, &data);
        if (!data || size <= 0) return {};
        return std::vector<unsigned char>(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    }

    // The instance still does its job: identity, program, finite audio.
    void expectStillWorking() {
        EXPECT_EQ(text(effGetVendorString), "VRAX");
        EXPECT_EQ(text(effGetEffectName), "Qolm");
        const VstIntPtr program = host.dispatch(effGetProgram);
        EXPECT_GE(program, 0);
        EXPECT_LT(program, 10);
        ASSERT_TRUE(abuse::setLayout(host, 2, 2));
        host.dispatch(effSetBypass, 0, 0);
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        host.dispatch(effMainsChanged, 0, 1);
        Block<float> block(2, 2, 512);
        block.fill(abuse::noiseChannels(2, 512, 5));
        block.run(effect);
        EXPECT_EQ(block.firstNonFinite(), -1);
        EXPECT_GT(block.peak(), 0.0);
    }

    PluginHost host;
    AEffect* effect = nullptr;
};

TEST_F(Dispatcher, EveryOpcodeWithStrayIndexesAndValuesIntoZeroedBuffers) {
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBufferSize]);
    std::unique_ptr<unsigned char[]> valueBuffer(new unsigned char[kBufferSize]);
    void* place = nullptr;
    void* valuePlace = nullptr;
    int calls = 0;
    for (VstInt32 opcode = -10; opcode <= 100; ++opcode) {
        if (opcode == effClose || opcode == effEditOpen) continue;
        for (VstInt32 index : kIndexes)
            for (VstIntPtr value : kValues) {
                std::memset(buffer.get(), 0, kBufferSize);
                std::memset(valueBuffer.get(), 0, kBufferSize);
                place = nullptr;
                valuePlace = nullptr;
                void* ptr = ptrIsPointerPlace(opcode) ? static_cast<void*>(&place) : buffer.get();
                if (valueIsPointer(opcode))
                    value = opcode == effGetSpeakerArrangement ? reinterpret_cast<VstIntPtr>(&valuePlace)
                                                               : reinterpret_cast<VstIntPtr>(valueBuffer.get());
                host.dispatch(opcode, index, value, ptr, 0.0f);
                ++calls;
                if (!ptrIsPointerPlace(opcode)) {
                    size_t written = kBufferSize;
                    while (written > 0 && buffer[written - 1] == 0) --written;
                    ASSERT_LE(written, kLongestString)
                        << "opcode " << opcode << " index " << index << " value " << value
                        << " wrote past any host string";
                }
            }
    }
    EXPECT_EQ(calls, 109 * 36);
    expectStillWorking();
}

TEST_F(Dispatcher, EveryOpcodeWithNullPointers) {
    for (VstInt32 opcode = -10; opcode <= 100; ++opcode) {
        if (opcode == effClose || opcode == effEditOpen) continue;
        for (VstInt32 index : kIndexes)
            for (VstIntPtr value : kValues)
                host.dispatch(opcode, index, valueIsPointer(opcode) ? 0 : value, nullptr, 0.0f);
    }
    expectStillWorking();
}

TEST_F(Dispatcher, EditorOpcodesWithoutAnOpenEditor) {
    ASSERT_TRUE(effect->flags & effFlagsHasEditor);
    const int threads = abuse::threadCount();
    for (int round = 0; round < 3; ++round) {
        host.dispatch(effEditClose);
        for (int i = 0; i < 20; ++i) host.dispatch(effEditIdle);
        ERect* rect = nullptr;
        ASSERT_EQ(host.dispatch(effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 285);
        EXPECT_EQ(rect->bottom - rect->top, 195);
        EXPECT_EQ(host.dispatch(effEditGetRect, 0, 0, nullptr), 0);
        // Key and knob-mode opcodes reach the closed editor too.
        EXPECT_EQ(host.dispatch(effEditKeyDown, 'a', 65, nullptr, 1.0f), 0);
        EXPECT_EQ(host.dispatch(effEditKeyUp, 'a', 65, nullptr, 1.0f), 0);
        EXPECT_EQ(host.dispatch(effSetEditKnobMode, 0, 2), 0);
    }
    EXPECT_EQ(abuse::threadCount(), threads) << "a closed editor started a thread";
    expectStillWorking();
}

TEST_F(Dispatcher, ParametersOutsideTheirRange) {
    const std::vector<unsigned char> before = bank();
    ASSERT_EQ(before.size(), 490u);
    const VstInt32 badIndexes[] = {-1, 3, 10, 1000, INT_MAX, INT_MIN};
    for (VstInt32 index : badIndexes) {
        SCOPED_TRACE(index);
        effect->setParameter(effect, index, 0.75f);
        EXPECT_EQ(effect->getParameter(effect, index), 0.0f);
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            std::vector<char> out(64, 'x');
            host.dispatch(opcode, index, 0, out.data());
            // Either untouched or emptied: never a parameter's text.
            EXPECT_TRUE(out[0] == 0 || out[0] == 'x') << opcode;
        }
        char number[] = "5";
        EXPECT_EQ(host.dispatch(effString2Parameter, index, 0, number), 0);
        EXPECT_EQ(host.dispatch(effString2Parameter, index, 0, nullptr), 0);
    }
    EXPECT_EQ(bank(), before) << "an out-of-range parameter changed the programs";

    // In range but not normalised values: whatever is stored, the audio
    // stays finite.
    const float oddValues[] = {NAN, INFINITY, -INFINITY, -1.0f, 2.0f, 1e30f, -1e30f, 1.0000001f, -0.0f};
    for (VstInt32 index = 0; index < 3; ++index)
        for (float value : oddValues) {
            SCOPED_TRACE(testing::Message() << "param " << index << " value " << value);
            effect->setParameter(effect, index, value);
            std::vector<char> display(64, 'x');
            host.dispatch(effGetParamDisplay, index, 0, display.data());
            EXPECT_LT(strnlen(display.data(), display.size()), 32u);
            // While gliding there, and once there (a resume jumps).
            for (int settle = 0; settle < 2; ++settle) {
                if (settle) {
                    host.dispatch(effMainsChanged, 0, 0);
                    host.dispatch(effMainsChanged, 0, 1);
                }
                Block<float> block(2, 2, 2048);
                block.fill(abuse::noiseChannels(2, 2048, 9));
                block.run(effect);
                EXPECT_EQ(block.firstNonFinite(), -1) << (settle ? "settled" : "gliding");
                Block<double> doubles(2, 2, 2048);
                doubles.fill(abuse::noiseChannels(2, 2048, 11));
                doubles.run(effect);
                EXPECT_EQ(doubles.firstNonFinite(), -1) << (settle ? "settled" : "gliding");
            }
            effect->setParameter(effect, index, index == 0 ? 0.5f : 0.0f);
        }
    expectStillWorking();
}

// A stored "Gain" far above 1 (a host sending 40.0, a damaged chunk) asks
// for a gain factor of 10^47 or more: finite in double, infinite in float.
// Disabled until the filter holds its gain within what it can deliver.
TEST_F(Dispatcher, GainFarOutsideItsRangeKeepsFloatOutputFinite) {
    for (float value : {40.0f, 100.0f, 250.0f}) {
        SCOPED_TRACE(value);
        effect->setParameter(effect, 0, value);
        host.dispatch(effMainsChanged, 0, 0);
        host.dispatch(effMainsChanged, 0, 1);
        Block<float> block(2, 2, 512);
        block.fill(abuse::noiseChannels(2, 512, 9));
        block.run(effect);
        EXPECT_EQ(block.firstNonFinite(), -1);
    }
}

TEST_F(Dispatcher, ProgramsOutsideTheirRange) {
    ASSERT_EQ(host.dispatch(effSetProgram, 0, 2), 0);
    ASSERT_EQ(host.dispatch(effGetProgram), 2);
    const std::vector<unsigned char> before = bank();
    for (VstIntPtr program : {VstIntPtr{-1}, VstIntPtr{10}, VstIntPtr{11}, VstIntPtr{1000}, VstIntPtr{INT_MAX},
                              VstIntPtr{INT_MIN}}) {
        host.dispatch(effSetProgram, 0, program);
        EXPECT_EQ(host.dispatch(effGetProgram), 2) << program;
    }
    for (VstInt32 index : {-1, 10, 1000, INT_MAX, INT_MIN}) {
        std::vector<char> name(64, 'x');
        EXPECT_EQ(host.dispatch(effGetProgramNameIndexed, index, 0, name.data()), 0) << index;
        EXPECT_EQ(name[0], 0) << index;
    }
    EXPECT_EQ(bank(), before);

    // A name far longer than a program name keeps to its field: the values
    // after it in the record do not change.
    std::string longName(300, 'N');
    host.dispatch(effSetProgramName, 0, 0, longName.data());
    std::vector<unsigned char> after = bank();
    const size_t record = 49, nameField = 25;
    ASSERT_EQ(after.size(), before.size());
    EXPECT_TRUE(std::equal(after.begin() + 2 * record + nameField, after.begin() + 3 * record,
                           before.begin() + 2 * record + nameField));
    EXPECT_EQ(text(effGetProgramName), std::string(24, 'N'));
    EXPECT_EQ(text(effGetProgramNameIndexed, 2), std::string(24, 'N'));
    expectStillWorking();
}

// --- effClose ---

TEST(Close, RightAfterCreationAndInEveryState) {
    abuse::RawLibrary library;
    ASSERT_TRUE(library.loaded()) << qtest::pluginPath();
    for (int state = 0; state < 5; ++state) {
        SCOPED_TRACE(state);
        AEffect* e = library.create();
        ASSERT_NE(e, nullptr);
        if (state >= 1) e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
        if (state >= 2) {
            e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
            e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.0f);
        }
        if (state >= 3) {
            Block<float> block(2, 2, 256);
            block.fill(abuse::noiseChannels(2, 256, 3));
            block.run(e);
        }
        if (state >= 4) e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
        // Odd arguments do not matter to effClose.
        EXPECT_EQ(e->dispatcher(e, effClose, INT_MAX, -1, nullptr, 1.0f), 1);
    }
}

TEST(Close, ManyInstancesClosedInAnotherOrder) {
    abuse::RawLibrary library;
    ASSERT_TRUE(library.loaded());
    const int threads = abuse::threadCount();
    std::vector<AEffect*> alive;
    for (int i = 0; i < 16; ++i) {
        AEffect* e = library.create();
        ASSERT_NE(e, nullptr);
        alive.push_back(e);
    }
    for (size_t i = 0; i < alive.size(); i += 2) EXPECT_EQ(alive[i]->dispatcher(alive[i], effClose, 0, 0, nullptr, 0), 1);
    for (size_t i = 1; i < alive.size(); i += 2) EXPECT_EQ(alive[i]->dispatcher(alive[i], effClose, 0, 0, nullptr, 0), 1);
    EXPECT_EQ(abuse::threadCount(), threads);
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

bool libraryMapped() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    const std::string path = qtest::pluginPath();
    const std::string name = path.substr(path.rfind('/') + 1);
    while (std::getline(maps, line))
        if (line.find(name) != std::string::npos) return true;
    return false;
}

// Hosts load and unload a plug-in many times (scanning, opening and closing
// projects): nothing of it may stay behind.
TEST(Close, LoadingAndUnloadingTheLibraryLeavesNothingBehind) {
    long warm = 0;
    bool unloaded = true;
    for (int cycle = 0; cycle < 300; ++cycle) {
        {
            abuse::RawLibrary library;
            ASSERT_TRUE(library.loaded());
            AEffect* e = library.create();
            ASSERT_NE(e, nullptr);
            ASSERT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
        }
        unloaded = unloaded && !libraryMapped();
        if (cycle == 19) warm = residentKb();
    }
    const long end = residentKb();
    std::printf("load and unload: VmRSS %ld kB after 20 cycles, %ld kB after 300%s\n", warm, end,
                unloaded ? "" : " (the library stayed mapped)");
    // About 19 kB per load were lost before; 280 loads would show 5 MB.
    if (abuse::residentSizeMeaningful()) {
        EXPECT_LT(end - warm, 1024);
    }
}

}  // namespace
