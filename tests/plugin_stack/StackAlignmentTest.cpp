// The built plug-in driven by a host whose stack is only 4-byte aligned, as
// i386 hosts built by other compilers (or with -mpreferred-stack-boundary=2)
// leave it: every call into the library, from loading it to unloading it, is
// made with the stack pointer 4, 8 or 12 bytes past a 16-byte boundary, and
// everything the host can observe must match an aligned run exactly.
#include "plugin_stack/ShiftedCall.h"

// Before Xlib, whose None macro would break it.
#include <gtest/gtest.h>

#include "editor/XTestSupport.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

using qtest::PluginHost;

namespace {

constexpr int kBlocksPerPrecision = 200;
constexpr int kMaxFrames = 512;

// What a host sees of one session: answers and texts in call order, and
// every output sample.
struct Observed {
    std::vector<std::string> answers;
    std::vector<float> floatOut;
    std::vector<double> doubleOut;
    bool editorShown = false;
    bool completed = false;

    template <typename T>
    std::vector<T>& samples() {
        if constexpr (std::is_same_v<T, float>)
            return floatOut;
        else
            return doubleOut;
    }

    template <typename... Values>
    void note(const char* format, Values... values) {
        char text[256];
        std::snprintf(text, sizeof(text), format, values...);
        answers.emplace_back(text);
    }
};

uint32_t nextNoise(uint32_t& seed) { return seed = seed * 1664525u + 1013904223u; }
double noiseSample(uint32_t& seed) { return static_cast<double>(nextNoise(seed) >> 8) / 8388608.0 - 1.0; }

template <typename T>
struct StereoBlock {
    T in[2][kMaxFrames];
    T out[2][kMaxFrames];
    T* inPtr[2] = {in[0], in[1]};
    T* outPtr[2] = {out[0], out[1]};

    void fill(uint32_t& seed, int frames) {
        for (auto& channel : in)
            for (int n = 0; n < frames; ++n) channel[n] = static_cast<T>(0.5 * noiseSample(seed));
        for (auto& channel : out)
            for (int n = 0; n < frames; ++n) channel[n] = static_cast<T>(9.0);
    }
};

// One host session; every call into the plug-in is made `shift` bytes off
// alignment. Returns early (completed stays false) when the plug-in refuses.
class Session {
public:
    Session(unsigned shift, const char* entryName, Display* display)
        : shift(shift), entryName(entryName), display(display) {}

    Observed run() {
        // The host's own dlopen runs the library's initialisers, and its
        // dlclose the finalisers; the test host's load only adds a reference.
        void* handle = qtest::shiftedDlopen(shift, qtest::pluginPath(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) return seen;
        {
            PluginHost host;
            if (host.loaded()) drive(host);
        }
        seen.note("unload %d", qtest::shiftedDlclose(shift, handle));
        return seen;
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return qtest::shiftedDispatch(shift, effect, opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0) {
        char buffer[256] = {};
        dispatch(opcode, index, value, buffer);
        buffer[sizeof(buffer) - 1] = 0;
        return buffer;
    }
    float get(VstInt32 index) { return qtest::shiftedGetParameter(shift, effect, index); }
    void set(VstInt32 index, float value) { qtest::shiftedSetParameter(shift, effect, index, value); }

    void drive(PluginHost& host) {
        effect = host.create(entryName, [this](PluginHost::EntryProc entry, audioMasterCallback callback) {
            return qtest::shiftedEntry(shift, entry, callback);
        });
        if (!effect) return;
        seen.note("flags %d version %d id %d", effect->flags, effect->version, effect->uniqueID);
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        dispatch(effSetBlockSize, 0, kMaxFrames);
        dispatch(effMainsChanged, 0, 1);
        seen.note("%s %s %d canDo %d", text(effGetEffectName).c_str(), text(effGetVendorString).c_str(),
                  static_cast<int>(dispatch(effGetVendorVersion)),
                  static_cast<int>(dispatch(effCanDo, 0, 0, const_cast<char*>("bypass"))));

        programs();
        parameters();
        chunks();
        const bool editorOpen = openEditor();
        // Processing with the editor open also runs its refresh from here.
        process<float>();
        process<double>();
        if (editorOpen) closeEditor();
        dispatch(effMainsChanged, 0, 0);
        seen.note("close %d", static_cast<int>(host.close([this](AEffect* e) {
            return qtest::shiftedDispatch(shift, e, effClose);
        })));
        seen.completed = true;
    }

    void programs() {
        for (int p = 0; p < effect->numPrograms; ++p)
            seen.note("program %d %s", p, text(effGetProgramNameIndexed, p, -1).c_str());
        dispatch(effSetProgram, 0, 2);
        dispatch(effSetProgramName, 0, 0, const_cast<char*>("Shifted"));
        seen.note("current %d %s", static_cast<int>(dispatch(effGetProgram)), text(effGetProgramName).c_str());
    }

    void noteParameters() {
        for (int i = 0; i < effect->numParams; ++i)
            seen.note("%s = %.9g (%s %s)", text(effGetParamName, i).c_str(), get(i),
                      text(effGetParamDisplay, i).c_str(), text(effGetParamLabel, i).c_str());
    }

    void parameters() {
        noteParameters();
        const float values[] = {0.3f, 0.72f, 0.55f};
        for (int i = 0; i < effect->numParams; ++i) set(i, values[i % 3]);
        noteParameters();
        seen.note("string2parameter %d", static_cast<int>(dispatch(effString2Parameter, 1, 0, const_cast<char*>("1000"))));
        noteParameters();
    }

    std::vector<unsigned char> chunk(bool program) {
        void* data = nullptr;
        const VstIntPtr size = dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (size <= 0 || !data) return {};
        const auto* bytes = static_cast<const unsigned char*>(data);
        return std::vector<unsigned char>(bytes, bytes + size);
    }

    void noteChunk(const char* what, const std::vector<unsigned char>& bytes) {
        std::string hex;
        char pair[3];
        for (unsigned char b : bytes) {
            std::snprintf(pair, sizeof(pair), "%02x", b);
            hex += pair;
        }
        seen.note("%s %u %s", what, static_cast<unsigned>(bytes.size()), hex.c_str());
    }

    void chunks() {
        std::vector<unsigned char> bank = chunk(false);
        std::vector<unsigned char> program = chunk(true);
        noteChunk("bank", bank);
        noteChunk("program", program);
        // Move everything, then restore: the bank, then the program on top.
        for (int i = 0; i < effect->numParams; ++i) set(i, 0.0f);
        seen.note("setChunk bank %d", static_cast<int>(dispatch(effSetChunk, 0, static_cast<VstIntPtr>(bank.size()),
                                                                bank.data())));
        seen.note("setChunk program %d",
                  static_cast<int>(dispatch(effSetChunk, 1, static_cast<VstIntPtr>(program.size()), program.data())));
        noteParameters();
        noteChunk("bank again", chunk(false));
    }

    bool openEditor() {
        if (!display || !(effect->flags & effFlagsHasEditor)) return false;
        ERect* rect = nullptr;
        if (dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect) return false;
        seen.note("rect %d %d %d %d", rect->top, rect->left, rect->bottom, rect->right);
        parent = edtest::makeParent(display, rect->right - rect->left, rect->bottom - rect->top);
        seen.note("editor open %d", static_cast<int>(dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent))));
        // Wait for the window thread to map its window, idling as a host does;
        // generous for a loaded machine or an emulated one.
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!seen.editorShown && std::chrono::steady_clock::now() < until) {
            dispatch(effEditIdle);
            for (Window child : edtest::childrenOf(display, parent)) {
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, child, &attributes) && attributes.map_state == IsViewable)
                    seen.editorShown = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        for (int i = 0; i < 10; ++i) {
            dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }

    void closeEditor() {
        dispatch(effEditClose);
        dispatch(effEditIdle);
        XSync(display, False);
        seen.note("children after close %u", static_cast<unsigned>(edtest::childrenOf(display, parent).size()));
        XDestroyWindow(display, parent);
        XSync(display, False);
    }

    // A few hundred blocks of varying length, with automation and the
    // accumulating call of old hosts in between.
    template <typename T>
    void process() {
        auto block = std::make_unique<StereoBlock<T>>();
        uint32_t seed = sizeof(T);
        for (int b = 0; b < kBlocksPerPrecision; ++b) {
            const int frames = 1 + (b * 97) % kMaxFrames;
            if (b % 20 == 10) set(b % effect->numParams, static_cast<float>((b * 37) % 100) / 100.0f);
            block->fill(seed, frames);
            if constexpr (std::is_same_v<T, float>) {
                qtest::shiftedProcess(shift, effect->processReplacing, effect, block->inPtr, block->outPtr, frames);
            } else {
                qtest::shiftedProcessDouble(shift, effect, block->inPtr, block->outPtr, frames);
            }
            std::vector<T>& out = seen.samples<T>();
            for (auto& channel : block->out) out.insert(out.end(), channel, channel + frames);
            if constexpr (std::is_same_v<T, float>) {
                if (b % 50 == 0) {
                    // The accumulating call must leave the outputs as they are.
                    qtest::shiftedProcess(shift, effect->process, effect, block->inPtr, block->outPtr, frames);
                    seen.note("accumulating call kept outputs %d",
                              std::memcmp(block->out[0], &out[out.size() - 2 * frames], frames * sizeof(T)) == 0 &&
                                  std::memcmp(block->out[1], &out[out.size() - frames], frames * sizeof(T)) == 0);
                }
            }
            if (b % 40 == 39) seen.note("after block %d: %.9g", b, get(b % effect->numParams));
        }
    }

    const unsigned shift;
    const char* const entryName;
    Display* const display;
    AEffect* effect = nullptr;
    Window parent = 0;
    Observed seen;
};

template <typename T>
void expectSameSamples(const std::vector<T>& reference, const std::vector<T>& shifted, const char* precision) {
    ASSERT_EQ(reference.size(), shifted.size()) << precision;
    for (size_t i = 0; i < reference.size(); ++i)
        if (std::memcmp(&reference[i], &shifted[i], sizeof(T)) != 0) {
            ADD_FAILURE() << precision << " sample " << i << " of " << reference.size() << ": " << shifted[i]
                          << " where the aligned run gave " << reference[i];
            return;
        }
}

// The X display the editor opens on, shared by every session of the process.
Display* testDisplay() {
    static Display* display = [] {
        const char* name = std::getenv("DISPLAY");
        return name && *name ? XOpenDisplay(nullptr) : nullptr;
    }();
    return display;
}

struct Case {
    unsigned shift;
    const char* entry;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.entry << " off " << c.shift; }

std::string caseName(const testing::TestParamInfo<Case>& info) {
    return std::string(info.param.entry) + "_off" + std::to_string(info.param.shift);
}

class MisalignedHost : public testing::TestWithParam<Case> {
protected:
    // The aligned run every misaligned one is compared with, once per entry name.
    static const Observed& alignedRun(const char* entry) {
        static std::vector<std::pair<std::string, Observed>> runs;
        for (const auto& run : runs)
            if (run.first == entry) return run.second;
        runs.emplace_back(entry, Session(0, entry, testDisplay()).run());
        return runs.back().second;
    }
};

TEST(ShiftedCall, LeavesTheStackWhereAsked) {
    if (!qtest::kCanShiftStack) GTEST_SKIP() << "the x86_64 convention always aligns the stack; nothing to shift";
    for (unsigned shift : {0u, 4u, 8u, 12u}) EXPECT_EQ(qtest::measuredShift(shift), shift);
}

TEST(AlignedHost, SessionRunsAndProducesAudio) {
    const Observed seen = Session(0, "VSTPluginMain", testDisplay()).run();
    ASSERT_TRUE(seen.completed);
    if (testDisplay()) {
        EXPECT_TRUE(seen.editorShown) << "the editor's window never appeared";
    }
    ASSERT_EQ(seen.floatOut.size(), seen.doubleOut.size());
    double energy = 0.0;
    for (float s : seen.floatOut) {
        ASSERT_TRUE(std::isfinite(s));
        energy += static_cast<double>(s) * s;
    }
    EXPECT_GT(energy, 1.0);
    for (const std::string& answer : seen.answers)
        if (answer.rfind("accumulating", 0) == 0) {
            EXPECT_EQ(answer.back(), '1') << answer;
        }
}

TEST_P(MisalignedHost, SessionMatchesTheAlignedRun) {
    if (!qtest::kCanShiftStack)
        GTEST_SKIP() << "the x86_64 convention always aligns the stack: no host can call off alignment";
    if (!testDisplay()) std::fprintf(stderr, "no X display: the editor is not opened\n");
    const Observed& reference = alignedRun(GetParam().entry);
    ASSERT_TRUE(reference.completed);
    const Observed shifted = Session(GetParam().shift, GetParam().entry, testDisplay()).run();
    ASSERT_TRUE(shifted.completed);
    EXPECT_EQ(shifted.editorShown, reference.editorShown);
    ASSERT_EQ(shifted.answers.size(), reference.answers.size());
    for (size_t i = 0; i < reference.answers.size(); ++i) EXPECT_EQ(shifted.answers[i], reference.answers[i]);
    expectSameSamples(reference.floatOut, shifted.floatOut, "float");
    expectSameSamples(reference.doubleOut, shifted.doubleOut, "double");
}

INSTANTIATE_TEST_SUITE_P(Entries, MisalignedHost,
                         testing::Values(Case{4, "VSTPluginMain"}, Case{8, "VSTPluginMain"}, Case{12, "VSTPluginMain"},
                                         Case{4, "main"}, Case{8, "main"}, Case{12, "main"}),
                         caseName);

// The editor's window thread, like every thread started with std::thread,
// must begin on an aligned stack: nothing in it realigns.
TEST(PluginThreads, StartAligned) {
    if (!qtest::kCanShiftStack) GTEST_SKIP() << "the x86_64 convention always aligns the stack";
    unsigned shift = 99;
    std::thread([&shift] { shift = qtest::stackShiftHere(); }).join();
    EXPECT_EQ(shift, 0u);
}

}  // namespace
