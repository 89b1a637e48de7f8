// A host with an X error handler of its own, as GTK, Qt or wxWidgets
// install: it provokes errors on its own connection (mapping a window that
// does not exist) before, while and after Qolm's editors are open, and
// while window threads start and stop, and must hear every one of them.
// The editor's own errors (its window destroyed under it) must not reach it.
#include <gtest/gtest.h>

#include "editor/XTestSupport.h"
#include "support/PluginHost.h"

#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 285;
constexpr int kHeight = 195;
// What the host's handlers answer, to see it come back through a chain.
constexpr int kHostAnswer = 7;

std::atomic<int> gHeard{0};
std::atomic<int> gHeardByNewer{0};
std::atomic<Display*> gHostDisplay{nullptr};
std::atomic<int> gForeign{0};  // errors of a connection that is not the host's

int hostHandler(Display* display, XErrorEvent*) {
    if (display == gHostDisplay.load())
        ++gHeard;
    else
        ++gForeign;
    return kHostAnswer;
}

int newerHostHandler(Display* display, XErrorEvent*) {
    if (display == gHostDisplay.load())
        ++gHeardByNewer;
    else
        ++gForeign;
    return kHostAnswer;
}

// The handler now in place (Xlib only tells when one is set).
XErrorHandler currentHandler() {
    const XErrorHandler current = XSetErrorHandler(hostHandler);
    XSetErrorHandler(current);
    return current;
}

struct Editor {
    Editor(Display* display, int x) : display(display) {
        effect = host.create();
        if (effect) parent = edtest::makeParent(display, kWidth, kHeight, x, 0);
    }
    ~Editor() {
        if (effect) host.close();
        if (parent) XDestroyWindow(display, parent);
        XSync(display, False);
    }
    bool open() { return host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) == 1; }
    void close() { host.dispatch(effEditClose); }
    bool shown() const { return edtest::childrenOf(display, parent).size() == 1; }
    // Open and drawn: the software GL driver's own handler is in place for
    // an instant while a window's first frame is shown, and drops every
    // error of the process then (see HeardWhileWindowThreadsStartAndStop).
    bool openAndWait() { return open() && edtest::waitFor([&] { return drawn(); }, 60000); }
    // The skin is on the screen: a blank or cleared window has a colour or two.
    bool drawn() const {
        const std::vector<Window> children = edtest::childrenOf(display, parent);
        if (children.size() != 1) return false;
        // A grab of a window not yet shown fails, and the host would hear it.
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display, children[0], &attributes) || attributes.map_state != IsViewable)
            return false;
        const edtest::Picture picture = edtest::grab(display, children[0], kWidth, kHeight);
        std::set<int> colours;
        for (const edtest::Rgb& p : picture.pixels) colours.insert(p.r << 16 | p.g << 8 | p.b);
        return colours.size() > 8;
    }

    Display* display;
    qtest::PluginHost host;
    AEffect* effect = nullptr;
    Window parent = 0;
};

class HostErrors : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        gHostDisplay = display;
        gHeard = gHeardByNewer = gForeign = 0;
        previous = XSetErrorHandler(hostHandler);
    }
    void TearDown() override {
        if (!display) return;
        XSetErrorHandler(previous);
        XCloseDisplay(display);
        gHostDisplay = nullptr;
    }
    // One failing request on the host's connection, waited for; true when
    // the host's handler heard it.
    bool provoke(std::atomic<int>& counter = gHeard) {
        const int before = counter.load();
        XMapWindow(display, 0x3fff0003);  // an id no client of a fresh server has
        XSync(display, False);
        return counter.load() == before + 1;
    }
    int provokeMany(int times) {
        int heard = 0;
        for (int i = 0; i < times; ++i) heard += provoke() ? 1 : 0;
        return heard;
    }

    Display* display = nullptr;
    XErrorHandler previous = nullptr;
};

TEST_F(HostErrors, HeardBeforeWithOneAndSeveralEditorsAndAfter) {
    EXPECT_EQ(provokeMany(3), 3) << "before any editor";
    std::vector<std::unique_ptr<Editor>> editors;
    for (int i = 0; i < 3; ++i) {
        editors.push_back(std::make_unique<Editor>(display, i * 300));
        ASSERT_NE(editors.back()->effect, nullptr);
    }
    ASSERT_TRUE(editors[0]->openAndWait());
    EXPECT_EQ(provokeMany(5), 5) << "with one editor open";
    ASSERT_TRUE(editors[1]->openAndWait());
    ASSERT_TRUE(editors[2]->openAndWait());
    EXPECT_EQ(provokeMany(5), 5) << "with three editors open";
    editors[1]->close();
    EXPECT_EQ(provokeMany(3), 3) << "with two left open";
    editors[0]->close();
    editors[2]->close();
    EXPECT_EQ(provokeMany(3), 3) << "after every editor closed";
    EXPECT_EQ(currentHandler(), hostHandler);
    editors.clear();
    EXPECT_EQ(provokeMany(3), 3) << "after the instances went";
    EXPECT_EQ(gForeign.load(), 0);
}

// Editors that open together draw their first frames at the same moment,
// where the software GL driver swaps the process's handler: the host's must
// come back every time, and hear its errors once they have drawn.
TEST_F(HostErrors, EditorsOpeningTogetherGiveTheHostsHandlerBack) {
    constexpr int kEditors = 4;
    edtest::pinGlDriver(display);
    for (int round = 0; round < 8; ++round) {
        std::vector<std::unique_ptr<Editor>> editors;
        for (int i = 0; i < kEditors; ++i) {
            editors.push_back(std::make_unique<Editor>(display, i * 300));
            ASSERT_NE(editors.back()->effect, nullptr);
        }
        for (auto& editor : editors) ASSERT_TRUE(editor->open());
        for (auto& editor : editors) ASSERT_TRUE(edtest::waitFor([&] { return editor->drawn(); }, 60000)) << "round " << round;
        EXPECT_EQ(provokeMany(3), 3) << "round " << round << ", editors open";
        for (auto& editor : editors) editor->close();
        EXPECT_EQ(currentHandler(), hostHandler) << "round " << round;
        EXPECT_EQ(provokeMany(3), 3) << "round " << round << ", editors closed";
    }
    EXPECT_EQ(gForeign.load(), 0);
}

TEST_F(HostErrors, HeardWhileWindowThreadsStartAndStop) {
    Editor a(display, 0), b(display, 300);
    ASSERT_NE(a.effect, nullptr);
    ASSERT_NE(b.effect, nullptr);
    std::atomic<bool> running{true};
    // The host's editor thread opens and closes two editors at random
    // moments of their start-up and end, while its other thread works.
    std::thread cycling([&] {
        for (int i = 0; running.load() && i < 60; ++i) {
            Editor& e = i % 2 ? a : b;
            e.open();
            edtest::sleepMs(i % 7);
            e.close();
        }
        running = false;
    });
    int provoked = 0, heard = 0;
    while (running.load() || provoked < 50) {
        ++provoked;
        heard += provoke() ? 1 : 0;
    }
    cycling.join();
    EXPECT_EQ(gHeard.load(), heard);
    int major = 0, event = 0, error = 0;
    if (XQueryExtension(display, "MIT-SHM", &major, &event, &error)) {
        // Mesa's software renderer swaps in a handler of its own that drops
        // every error while it attaches shared memory to a new window's
        // first frame (any GL client in the process does that), so errors
        // the host makes in that instant are lost whatever we do.
        EXPECT_LT(provoked - heard, provoked / 20) << provoked - heard << " of " << provoked << " lost";
    } else {
        EXPECT_EQ(heard, provoked);
    }
    EXPECT_EQ(currentHandler(), hostHandler);
    EXPECT_EQ(gForeign.load(), 0);
}

// GTK installs its handler when its display opens, which may be after an
// editor has opened: closing the editor must not take it away.
TEST_F(HostErrors, AHandlerInstalledWhileTheEditorIsOpenStaysAfterClose) {
    Editor editor(display, 0);
    ASSERT_NE(editor.effect, nullptr);
    ASSERT_TRUE(editor.openAndWait());
    // Through the chain: our handler answers with the host's answer.
    const XErrorHandler chained = currentHandler();
    ASSERT_NE(chained, hostHandler) << "the editor installed no handler";
    XErrorEvent fake{};
    fake.type = 0;
    fake.display = display;
    fake.error_code = BadWindow;
    EXPECT_EQ(chained(display, &fake), kHostAnswer);
    EXPECT_EQ(gHeard.load(), 1);

    XSetErrorHandler(newerHostHandler);
    EXPECT_TRUE(provoke(gHeardByNewer));
    editor.close();
    EXPECT_EQ(currentHandler(), newerHostHandler);
    EXPECT_TRUE(provoke(gHeardByNewer));
    // Opening again chains to the newer one.
    ASSERT_TRUE(editor.openAndWait());
    EXPECT_TRUE(provoke(gHeardByNewer));
    editor.close();
    EXPECT_EQ(currentHandler(), newerHostHandler);
    EXPECT_EQ(gHeard.load(), 1);
    EXPECT_EQ(gForeign.load(), 0);
}

// An editor opened on a window id that does not exist: the window thread's
// requests on it fail on its own connection, which it must swallow rather
// than pass to the host (whose default handler would end the process).
TEST_F(HostErrors, TheEditorsOwnErrorsStayWithIt) {
    qtest::PluginHost host;
    ASSERT_NE(host.create(), nullptr);
    for (int round = 0; round < 3; ++round) {
        ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(0x3fff0001))), 1);
        edtest::sleepMs(100);
        host.dispatch(effEditClose);
        EXPECT_TRUE(provoke()) << "round " << round;
    }
    EXPECT_EQ(gForeign.load(), 0) << "the editor's own errors reached the host";
    EXPECT_EQ(gHeard.load(), 3);
}

}  // namespace
