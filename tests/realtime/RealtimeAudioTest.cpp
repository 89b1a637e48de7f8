// The audio thread's contract, through the built plug-in: while the editor
// is open and drawing, the peak moves and parameters are automated from the
// audio thread, the process callbacks, setParameter and getParameter make no
// system call and allocate nothing. The audio thread runs under a seccomp
// filter that stops it at every system call but its own paced sleeps and
// names each one; every allocation function of this executable counts the
// calls made on that thread.
// GoogleTest before Xlib, whose macros (None) clash with its names.
#include <gtest/gtest.h>

#include "editor/XTestSupport.h"
#include "support/AllocationCounter.h"
#include "support/PluginHost.h"
#include "tools/rtbench/SyscallWatch.h"

#include <set>
#include <vector>

namespace {

constexpr int kWidth = 285;
constexpr int kHeight = 195;

// What one watched audio thread saw.
struct Watched {
    bool watched = false;
    std::string why;
    long calls = 0;
    std::string names;
    long allocations = 0;
    long blocks = 0;
};

// Runs `work` on a thread of its own under the watch and the allocation
// counter; `work` returns false to end.
template <typename Work>
Watched watchThread(Work work) {
    Watched result;
    rtwatch::SyscallWatch watch;
    std::thread audio([&] {
        result.watched = watch.watchThisThread();
        result.allocations = qtest::alloc::countedDuring([&] {
            while (work()) ++result.blocks;
        });
        watch.stopCounting();
    });
    audio.join();
    watch.finish();
    result.why = watch.error();
    result.calls = watch.total();
    result.names = watch.summary();
    return result;
}

TEST(Watch, SeesAndNamesSystemCallsAndAllocations) {
    int round = 0;
    const Watched w = watchThread([&] {
        if (round++ > 0) return false;
        (void)syscall(SYS_getpid);
        void* volatile p = std::malloc(24);
        std::free(p);
        int* volatile q = new int(3);
        delete q;
        return true;
    });
    if (!w.watched) GTEST_SKIP() << "no seccomp here: " << w.why;
    EXPECT_GE(w.calls, 1);
    EXPECT_NE(w.names.find("getpid"), std::string::npos) << w.names;
    EXPECT_GE(w.allocations, QOLM_COUNT_MALLOC ? 2 : 1);
}

// A host with the editor open in a window of its own.
class AudioThread : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(edtest::quietErrors);
        ASSERT_TRUE(host.loaded()) << qtest::pluginPath();
        effect = host.create();
        ASSERT_NE(effect, nullptr);
        host.dispatch(effOpen);
        host.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        host.dispatch(effSetBlockSize, 0, kFrames);
        host.dispatch(effMainsChanged, 0, 1);
        parent = edtest::makeParent(display, kWidth, kHeight);
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
        ASSERT_TRUE(edtest::waitFor([&] { return editorWindow() != 0; }, 20000));
    }
    void TearDown() override {
        if (effect) {
            host.dispatch(effEditClose);
            host.close();
        }
        if (display) {
            if (parent) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }
    Window editorWindow() const {
        const std::vector<Window> kids = edtest::childrenOf(display, parent);
        return kids.size() == 1 ? kids[0] : 0;
    }
    // The pixels of the peak readout and its lamp, as one value.
    uint64_t peakArea() {
        const edtest::Picture p = edtest::grab(display, editorWindow(), kWidth, kHeight);
        if (p.empty()) return 0;
        uint64_t hash = 1469598103934665603ull;
        for (int y = 30; y < 56; ++y)
            for (int x = 130; x < 215; ++x) {
                const edtest::Rgb c = p.at(x, y);
                hash = (hash ^ static_cast<uint64_t>(c.r << 16 | c.g << 8 | c.b)) * 1099511628211ull;
            }
        return hash;
    }

    static constexpr int kFrames = 64;
    Display* display = nullptr;
    qtest::PluginHost host;
    AEffect* effect = nullptr;
    Window parent = 0;
};

TEST_F(AudioThread, MakesNoSystemCallAndAllocatesNothingWithTheEditorDrawing) {
    // Blocks of noise at real-time pace whose level keeps rising, so the
    // held peak moves; single and double precision; every parameter automated.
    std::vector<float> fin(2 * kFrames), fout(2 * kFrames);
    std::vector<double> din(2 * kFrames), dout(2 * kFrames);
    float* fi[2] = {fin.data(), fin.data() + kFrames};
    float* fo[2] = {fout.data(), fout.data() + kFrames};
    double* di[2] = {din.data(), din.data() + kFrames};
    double* dop[2] = {dout.data(), dout.data() + kFrames};
    constexpr long kBlocks = 48000 / kFrames * 4;  // four seconds
    const int64_t period = 1000000000LL * kFrames / 48000;
    std::atomic<bool> running{true};
    std::atomic<long> done{0};
    uint32_t seed = 7;
    long n = 0;
    rtwatch::Time64 next = rtwatch::nowMonotonic();

    std::set<uint64_t> pictures;
    std::thread watcher([&] {
        while (running.load()) {
            host.dispatch(effEditIdle);
            pictures.insert(peakArea());
            edtest::sleepMs(100);
        }
    });
    const Watched w = watchThread([&] {
        if (n >= kBlocks) return false;
        const double level = 0.01 + 0.98 * static_cast<double>(n) / kBlocks;
        for (int i = 0; i < 2 * kFrames; ++i) {
            seed = seed * 1664525u + 1013904223u;
            din[static_cast<size_t>(i)] = level * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
            fin[static_cast<size_t>(i)] = static_cast<float>(din[static_cast<size_t>(i)]);
        }
        if (n % 2 == 0)
            effect->processReplacing(effect, fi, fo, kFrames);
        else
            effect->processDoubleReplacing(effect, di, dop, kFrames);
        if (n % 4 == 0) {
            const auto index = static_cast<VstInt32>((n / 4) % 3);
            const float v = effect->getParameter(effect, index);
            effect->setParameter(effect, index, v < 0.9f ? v + 0.01f : 0.05f);
        }
        ++n;
        done = n;
        next = rtwatch::later(next, period);
        rtwatch::sleepUntil(next);
        return true;
    });
    running = false;
    watcher.join();

    EXPECT_EQ(w.blocks, kBlocks);
    EXPECT_EQ(w.allocations, 0) << "allocations on the audio thread";
    if (!w.watched) GTEST_SKIP() << "no seccomp here: " << w.why;
    EXPECT_EQ(w.calls, 0) << "system calls on the audio thread: " << w.names;
    // The editor drew all along: the peak readout showed several values.
    pictures.erase(0);
    EXPECT_GE(pictures.size(), 3u) << "the editor did not follow the peak";
}

}  // namespace
