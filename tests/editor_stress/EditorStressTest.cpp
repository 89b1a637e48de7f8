// The editor of the built plug-in under what hosts do to it, with audio
// running all the while: hundreds of open and close cycles, eight editors at
// once, the host's window destroyed first, close at once after open, and
// open twice. Needs an X server (run under xvfb-run -a); without one the
// tests skip.
#include <gtest/gtest.h>

#include "StressSupport.h"

#include <cstdio>

using namespace stress;

namespace {

class EditorStress : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        XInitThreads();
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(edtest::quietErrors);
        edtest::pinGlDriver(display);
        // A sanitizer starts a helper thread of its own with the first
        // thread the process makes: let it come before anything is counted.
        std::thread([] {}).join();
    }
    void TearDown() override {
        instances.clear();
        if (display) XCloseDisplay(display);
    }

    Instance& add(int x = 0, int y = 0) {
        instances.push_back(std::make_unique<Instance>(display, x, y));
        Instance& instance = *instances.back();
        EXPECT_NE(instance.effect, nullptr) << qtest::pluginPath();
        return instance;
    }

    Display* display = nullptr;
    std::vector<std::unique_ptr<Instance>> instances;
};

TEST_F(EditorStress, TwoHundredOpenCloseCyclesLeaveNoThreadOrMemoryBehind) {
    Instance& plugin = add();
    ASSERT_NE(plugin.effect, nullptr);
    plugin.audio.start(plugin.effect, 1);
    ASSERT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads";
    long warmRss = 0;
    const long startRss = edtest::residentKb();
    const int total = cycles(200);
    for (int cycle = 0; cycle < total; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(plugin.open());
        ASSERT_TRUE(plugin.waitDrawn()) << "the editor did not draw";
        if (cycle % 10 == 0) dragKnob(display, plugin.editorWindow(), kKnobs[cycle / 10 % 3], 20);
        if (cycle % 25 == 0) click(display, plugin.editorWindow(), cycle % 50 ? kMainTab : kInfoTab);
        plugin.close();
        ASSERT_EQ(plugin.editorWindow(), 0u) << "the editor's window outlived close";
        ASSERT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads after close";
        if (cycle == 9) warmRss = edtest::residentKb();
    }
    const long endRss = edtest::residentKb();
    std::printf("%d cycles; VmRSS: %ld kB at start, %ld kB after 10 cycles, %ld kB at the end (growth %ld kB)\n",
                total, startRss, warmRss, endRss, endRss - warmRss);
    RecordProperty("rss_after_warmup_kb", static_cast<int>(warmRss));
    RecordProperty("rss_at_end_kb", static_cast<int>(endRss));
    if (abuse::residentSizeMeaningful()) {
        EXPECT_LT(endRss - warmRss, kRssToleranceKb) << "memory grows with every open and close";
    }
    plugin.audio.stop();
    EXPECT_GT(plugin.audio.blocks(), 100);
    EXPECT_EQ(plugin.audio.badBlocks(), 0);
}

TEST_F(EditorStress, EightEditorsOpenWhileEightAudioThreadsProcess) {
    // Under qemu-user the GL driver compiles every shader of every editor
    // under emulation: several software-rendered editors drawing beside
    // their audio threads take longer than the suite's time. The native run
    // covers this; the emulated one the single-editor stress below.
    if (abuse::emulated()) GTEST_SKIP() << "eight software-rendered editors do not fit under qemu-user";
    const int count = 8;
    for (int i = 0; i < count; ++i) {
        Instance& plugin = add(10 + (i % 4) * 300, 10 + (i / 4) * 220);
        ASSERT_NE(plugin.effect, nullptr);
        plugin.audio.start(plugin.effect, 100u + static_cast<uint32_t>(i));
    }
    for (auto& plugin : instances) ASSERT_TRUE(plugin->open());
    for (auto& plugin : instances) ASSERT_TRUE(plugin->waitDrawn()) << "an editor did not draw";
    EXPECT_TRUE(edtest::editorThreadsAre(count)) << edtest::editorThreads() << " window threads";

    // The user works the editors while the audio runs and the host idles them.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(abuse::emulated() ? 6 : 3);
    for (int round = 0; std::chrono::steady_clock::now() < end; ++round) {
        for (size_t i = 0; i < instances.size(); ++i) {
            Instance& plugin = *instances[i];
            plugin.host.dispatch(effEditIdle);
            const Window w = plugin.editorWindow();
            ASSERT_NE(w, 0u) << "editor " << i << " lost its window";
            if ((round + static_cast<int>(i)) % 3 == 0) dragKnob(display, w, kKnobs[(round + i) % 3], round % 2 ? 15 : -15);
            if (round % 7 == static_cast<int>(i % 7)) click(display, w, kPeak);
        }
        edtest::sleepMs(20);
    }
    for (auto& plugin : instances) EXPECT_TRUE(plugin->waitDrawn()) << "an editor stopped drawing";
    // Closing while the audio goes on.
    for (auto& plugin : instances) plugin->close();
    EXPECT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads after closing all";
    for (auto& plugin : instances) {
        plugin->audio.stop();
        EXPECT_GT(plugin->audio.blocks(), 50);
        EXPECT_EQ(plugin->audio.badBlocks(), 0);
    }
    instances.clear();
    EXPECT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads";
}

TEST_F(EditorStress, HostDestroysTheParentWindowBeforeClose) {
    Instance& plugin = add();
    ASSERT_NE(plugin.effect, nullptr);
    plugin.audio.start(plugin.effect, 7);
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(plugin.open());
        ASSERT_TRUE(plugin.waitDrawn());
        dragKnob(display, plugin.editorWindow(), kKnobs[round % 3], 10);
        // The drag shown first: the software GL driver cannot survive a
        // window destroyed in the middle of its drawing (a driver fault that
        // no client can fence off completely).
        ASSERT_TRUE(plugin.waitDrawn());
        edtest::sleepMs(50);
        XDestroyWindow(display, plugin.parent);
        XSync(display, False);
        plugin.parent = 0;
        // The window thread ends by itself; idle and close after that are harmless.
        EXPECT_TRUE(edtest::editorThreadsAre(0)) << "the window thread outlived its window";
        plugin.host.dispatch(effEditIdle);
        plugin.close();
        plugin.close();
        EXPECT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads";
        plugin.parent = edtest::makeParent(display, kWidth, kHeight);
    }
    // The editor still opens and draws in a new window.
    ASSERT_TRUE(plugin.open());
    EXPECT_TRUE(plugin.waitDrawn());
    plugin.close();
    EXPECT_TRUE(edtest::editorThreadsAre(0));
    // And the host may also destroy its window and then the plug-in, never closing the editor.
    ASSERT_TRUE(plugin.open());
    ASSERT_TRUE(plugin.waitDrawn());
    XDestroyWindow(display, plugin.parent);
    XSync(display, False);
    plugin.parent = 0;
    plugin.audio.stop();
    EXPECT_EQ(plugin.host.close(), 1);
    plugin.effect = nullptr;
    EXPECT_TRUE(edtest::editorThreadsAre(0));
}

TEST_F(EditorStress, CloseRightAfterOpen) {
    Instance& plugin = add();
    ASSERT_NE(plugin.effect, nullptr);
    plugin.audio.start(plugin.effect, 9);
    // One whole cycle first, so that the GL driver's first-use memory is in
    // before anything is measured.
    ASSERT_TRUE(plugin.open());
    ASSERT_TRUE(plugin.waitDrawn());
    plugin.close();
    ASSERT_TRUE(edtest::editorThreadsAre(0));
    long warmRss = 0;
    const int total = cycles(100);
    for (int cycle = 0; cycle < total; ++cycle) {
        SCOPED_TRACE(cycle);
        ASSERT_TRUE(plugin.open());
        // Now and then the host's idle and a redraw request get in between.
        if (cycle % 3 == 1) plugin.host.dispatch(effEditIdle);
        if (cycle % 5 == 2) edtest::sleepMs(cycle % 20);
        plugin.close();
        // Close joins the window thread: none may be left the moment it returns.
        ASSERT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads" << "close left a window thread running";
        XSync(display, False);
        ASSERT_EQ(plugin.editorWindow(), 0u) << "close left the editor's window behind";
        if (cycle == 19) warmRss = edtest::residentKb();
    }
    const long endRss = edtest::residentKb();
    std::printf("close right after open: VmRSS %ld kB after 20 cycles, %ld kB after %d\n", warmRss, endRss, total);
    if (abuse::residentSizeMeaningful()) {
        EXPECT_LT(endRss - warmRss, kRssToleranceKb);
    }
    ASSERT_TRUE(plugin.open());
    EXPECT_TRUE(plugin.waitDrawn()) << "the editor no longer draws";
    plugin.close();
    EXPECT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads";
    plugin.audio.stop();
    EXPECT_EQ(plugin.audio.badBlocks(), 0);
}

TEST_F(EditorStress, OpenTwiceWithoutCloseKeepsOneWindowThread) {
    Instance& plugin = add();
    ASSERT_NE(plugin.effect, nullptr);
    plugin.audio.start(plugin.effect, 11);
    ASSERT_TRUE(plugin.open());
    ASSERT_TRUE(plugin.waitDrawn());
    EXPECT_TRUE(edtest::editorThreadsAre(1)) << edtest::editorThreads() << " window threads";
    const Window firstParent = plugin.parent;
    const Window otherParent = edtest::makeParent(display, kWidth, kHeight, 300, 0);
    long warmRss = 0;
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        // Into the same window again, then into another one.
        ASSERT_TRUE(plugin.open());
        ASSERT_TRUE(plugin.waitDrawn());
        EXPECT_TRUE(edtest::editorThreadsAre(1)) << edtest::editorThreads() << " window threads with one editor open";
        plugin.parent = round % 2 ? firstParent : otherParent;
        ASSERT_TRUE(plugin.open());
        ASSERT_TRUE(plugin.waitDrawn());
        const Window previous = round % 2 ? otherParent : firstParent;
        EXPECT_TRUE(edtest::childrenOf(display, previous).empty()) << "the first window stayed";
        EXPECT_TRUE(edtest::editorThreadsAre(1)) << edtest::editorThreads() << " window threads after moving the editor";
        if (round == 4) warmRss = edtest::residentKb();
    }
    const long endRss = edtest::residentKb();
    std::printf("open twice: VmRSS %ld kB after 5 rounds, %ld kB after 20\n", warmRss, endRss);
    if (abuse::residentSizeMeaningful()) {
        EXPECT_LT(endRss - warmRss, kRssToleranceKb);
    }
    plugin.close();
    EXPECT_TRUE(edtest::editorThreadsAre(0)) << edtest::editorThreads() << " window threads";
    plugin.parent = firstParent;
    XDestroyWindow(display, otherParent);
}

}  // namespace
