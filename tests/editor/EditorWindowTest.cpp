// The editor and its window thread on a real X server with real GLX (run
// under xvfb-run -a): a skin made in code, hosted in a parent window the way
// a host does it.
// gtest before Xlib: Xlib's macros (None, Bool) break gtest's names.
#include <gtest/gtest.h>

#include "PngDecode.h"
#include "XTestSupport.h"
#include "support/RunEnvironment.h"

#include "controls/ZEditorControl.h"
#include "editor/EditorWindow.h"
#include "editor/ZCanvas.h"
#include "editor/ZEditor.h"
#include "framework/ZEffect.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <atomic>
#include <chrono>
#include <memory>

using namespace VRAX;
using namespace edtest;

namespace {

constexpr int kWidth = 285;
constexpr int kHeight = 195;

class TestEffect : public ZEffect {
public:
    TestEffect() : ZEffect(nullptr, 1, 0, 2, 2) {}
    void resetState() override {}
    bool isIoConfigSupported(int32_t, int32_t) override { return true; }
    void applyParameters(bool) override {}
};

// A control that fills its rectangle and records what reaches it.
class ProbeControl : public ZEditorControl {
public:
    ProbeControl(const ControlPlacement& placement, Rgb colour, int32_t cursor)
        : ZEditorControl(placement), cursor(cursor) {
        rgb[0] = static_cast<unsigned char>(colour.r);
        rgb[1] = static_cast<unsigned char>(colour.g);
        rgb[2] = static_cast<unsigned char>(colour.b);
    }
    void draw(ZCanvas* canvas) override {
        canvas->fillRectRgb(0, 0, width, height, rgb);
        ++draws;
    }
    int32_t cursorAt(int32_t, int32_t) override { return cursor; }
    bool leftDown(bool shift, bool ctrl, int32_t px, int32_t py) override {
        note(shift, ctrl, px, py);
        ++leftDowns;
        return false;
    }
    bool leftUp(bool shift, bool ctrl, int32_t px, int32_t py) override {
        note(shift, ctrl, px, py);
        ++leftUps;
        return false;
    }
    bool rightDown(bool shift, bool ctrl, int32_t px, int32_t py) override {
        note(shift, ctrl, px, py);
        ++rightDowns;
        return false;
    }
    bool rightUp(bool shift, bool ctrl, int32_t px, int32_t py) override {
        note(shift, ctrl, px, py);
        ++rightUps;
        return false;
    }
    void mouseMove(bool, bool, int32_t, int32_t) override { ++moves; }

    int calls() const { return leftDowns + leftUps + rightDowns + rightUps; }

    unsigned char rgb[3];
    int32_t cursor;
    std::atomic<int> draws{0}, leftDowns{0}, leftUps{0}, rightDowns{0}, rightUps{0}, moves{0};
    std::atomic<bool> lastShift{false}, lastCtrl{false};
    std::atomic<int> lastX{-1}, lastY{-1};

private:
    void note(bool shift, bool ctrl, int32_t px, int32_t py) {
        lastShift = shift;
        lastCtrl = ctrl;
        lastX = px;
        lastY = py;
    }
};

const Rgb kRed{230, 20, 30};
const Rgb kGreen{20, 200, 60};
// Where the probes sit: a hand control and one with no cursor preference.
constexpr int kHandX = 20, kHandY = 20, kHandW = 40, kHandH = 30;
constexpr int kPlainX = 100, kPlainY = 120, kPlainW = 30, kPlainH = 30;

bool insideProbe(int x, int y) {
    return (x >= kHandX && x < kHandX + kHandW && y >= kHandY && y < kHandY + kHandH) ||
           (x >= kPlainX && x < kPlainX + kPlainW && y >= kPlainY && y < kPlainY + kPlainH);
}

struct SkinParts {
    ZEditorSkin* skin;
    ProbeControl* hand;
    ProbeControl* plain;
};

SkinParts makeSkin(ZEffect* effect) {
    auto* skin = new ZEditorSkin(effect);
    skin->width = kWidth;
    skin->height = kHeight;
    skin->pageCount = 1;
    ZImageResource* image = ZImageResource::create("bg", "Qolm.png", kWidth, kHeight, 2);
    skin->resources.add(image);
    auto* background = new ZEditorBg;
    background->image = image;
    skin->backgrounds.add(background);
    ControlPlacement hand{kHandX, kHandY, kHandW, kHandH, 0, nullptr, effect, skin};
    ControlPlacement plain{kPlainX, kPlainY, kPlainW, kPlainH, 0, nullptr, effect, skin};
    auto* handProbe = new ProbeControl(hand, kRed, 2);
    auto* plainProbe = new ProbeControl(plain, kGreen, 0);
    skin->controls.add(handProbe);
    skin->controls.add(plainProbe);
    return {skin, handProbe, plainProbe};
}

// Share of the background pixels (outside the probes) that show frame 0 of
// the background image, and whether both probes show their colours.
struct Check {
    double backgroundShare = 0;
    bool probes = false;
};

Check checkPicture(const Picture& shown, const Picture& image) {
    Check check;
    if (shown.empty() || image.empty()) return check;
    int total = 0, matching = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (insideProbe(x, y)) continue;
            ++total;
            if (near(shown.at(x, y), image.at(x, y))) ++matching;
        }
    check.backgroundShare = static_cast<double>(matching) / total;
    check.probes = near(shown.at(kHandX + 5, kHandY + 5), kRed) &&
                   near(shown.at(kHandX + kHandW - 1, kHandY + kHandH - 1), kRed) &&
                   near(shown.at(kPlainX + 3, kPlainY + 3), kGreen);
    return check;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        XInitThreads();  // as a threaded host does before anything else
        display = openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(quietErrors);
        pinGlDriver(display);
        backgroundImage = decodeEmbeddedPng("Qolm.png");
        ASSERT_EQ(backgroundImage.width, 2 * kWidth);
        baseThreads = editorThreads();
        effect = std::make_unique<TestEffect>();
        parts = makeSkin(effect.get());
        editor = new ZEditor(effect.get(), parts.skin);
        ASSERT_NE(editor->window, nullptr);
        parent = makeParent(display, kWidth, kHeight);
    }

    void TearDown() override {
        delete editor;
        editor = nullptr;
        effect.reset();
        if (display) {
            if (parent) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    void* parentHandle(Window w = 0) { return reinterpret_cast<void*>(w ? w : parent); }
    uint32_t passes() const { return editor->window->drawPasses(); }
    Window child() const { return editor->window->window.load(); }

    // Opens and waits until the window shows the skin.
    void openAndWaitForPicture() {
        const uint32_t before = passes();
        ASSERT_TRUE(editor->open(parentHandle()));
        ASSERT_TRUE(waitFor([&] { return passes() > before; })) << "no drawing pass";
        ASSERT_TRUE(waitForPicture()) << "the window does not show the skin";
    }

    bool waitForPicture() {
        return waitFor([&] {
            Window w = child();
            if (!w) return false;
            Check c = checkPicture(grab(display, w, kWidth, kHeight), backgroundImage);
            return c.backgroundShare > 0.99 && c.probes;
        });
    }

    // Sends a button event to the editor's window as the server would.
    void sendButton(int type, unsigned button, unsigned state, int x, int y) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.window = child();
        event.xbutton.root = DefaultRootWindow(display);
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.state = state;
        event.xbutton.button = button;
        event.xbutton.same_screen = True;
        XSendEvent(display, child(), False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
        XFlush(display);
    }

    // Waits until nothing has been drawn for a while.
    // Until no pass has been counted for a while: longer than a pass takes,
    // which under qemu-user is ten times as long.
    void settle() {
        uint32_t last = passes();
        for (int i = 0; i < 50; ++i) {
            sleepMs(qtest::emulated() ? 600 : 60);
            if (passes() == last) return;
            last = passes();
        }
    }

    Display* display = nullptr;
    Window parent = 0;
    Picture backgroundImage;
    int baseThreads = 0;
    std::unique_ptr<TestEffect> effect;
    SkinParts parts{};
    ZEditor* editor = nullptr;
};

}  // namespace

TEST(EditorRect, IsTheSkinSizeAtTheOrigin) {
    TestEffect effect;
    ZEditor editor(&effect, makeSkin(&effect).skin);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor.getRect(&rect));
    ASSERT_EQ(rect, &editor.rect);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, kHeight);
    EXPECT_EQ(rect->right, kWidth);
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(editor.getOwnerEffect(), &effect);
}

TEST_F(EditorTest, OpenDrawsTheSkinAndReopeningDrawsItAfresh) {
    openAndWaitForPicture();
    EXPECT_TRUE(editor->isOpen());
    EXPECT_TRUE(effect->isEditorOpen());
    const std::vector<Window> kids = childrenOf(display, parent);
    ASSERT_EQ(kids.size(), 1u);
    EXPECT_EQ(kids[0], child());
    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(display, child(), &attributes));
    EXPECT_EQ(attributes.x, 0);
    EXPECT_EQ(attributes.y, 0);
    EXPECT_EQ(attributes.width, kWidth);
    EXPECT_EQ(attributes.height, kHeight);
    EXPECT_EQ(attributes.map_state, IsViewable);
    EXPECT_EQ(attributes.your_event_mask, 0);  // this connection selected nothing
    EXPECT_EQ(attributes.all_event_masks & 0x42807C, 0x42807C);
    EXPECT_EQ(attributes.all_event_masks & (KeyPressMask | KeyReleaseMask), 0);
    const int drawsBefore = parts.hand->draws;

    editor->close();
    EXPECT_FALSE(editor->isOpen());
    EXPECT_FALSE(effect->isEditorOpen());
    EXPECT_EQ(child(), 0u);
    EXPECT_TRUE(childrenOf(display, parent).empty());
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";

    openAndWaitForPicture();
    EXPECT_GT(parts.hand->draws, drawsBefore);
    editor->close();
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
}

TEST_F(EditorTest, ParentDestroyedFirstEndsTheThreadAndCloseStillJoins) {
    openAndWaitForPicture();
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    ASSERT_TRUE(waitFor([&] { return !editor->window->isRunning(); })) << "the thread did not end by itself";
    EXPECT_EQ(child(), 0u);
    const auto start = std::chrono::steady_clock::now();
    editor->close();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(effect->isEditorOpen());
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";

    // The editor still works in a new parent.
    parent = makeParent(display, kWidth, kHeight);
    openAndWaitForPicture();
    editor->close();
}

TEST_F(EditorTest, CloseRightAfterOpenInAnyStageLeavesNoThread) {
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(editor->open(parentHandle()));
        if (i % 4 == 1) sleepMs(1);
        if (i % 4 == 2) sleepMs(15);
        editor->close();
        ASSERT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads" << "cycle " << i;
        ASSERT_FALSE(editor->window->isRunning());
        ASSERT_EQ(child(), 0u);
    }
    EXPECT_TRUE(childrenOf(display, parent).empty());
    openAndWaitForPicture();
    editor->close();
}

TEST_F(EditorTest, CloseOnANeverOpenedEditorSendsNothingAndWaitsForNothing) {
    const auto start = std::chrono::steady_clock::now();
    editor->close();
    editor->close();
    editor->refresh();
    editor->idle();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    EXPECT_EQ(passes(), 0u);
}

TEST_F(EditorTest, SecondOpenMovesTheEditorToTheNewParent) {
    openAndWaitForPicture();
    // The window thread and whatever threads the GL driver keeps per window.
    const int openThreads = editorThreads();
    EXPECT_GT(openThreads, baseThreads);
    Window second = makeParent(display, kWidth, kHeight, 300, 0);
    const uint32_t before = passes();
    ASSERT_TRUE(editor->open(parentHandle(second)));
    ASSERT_TRUE(waitFor([&] { return passes() > before; }));
    ASSERT_EQ(childrenOf(display, second).size(), 1u);
    EXPECT_EQ(childrenOf(display, second)[0], child());
    EXPECT_TRUE(childrenOf(display, parent).empty());
    EXPECT_TRUE(editorThreadsAre(openThreads)) << editorThreads() << " window threads" << "a second window thread runs";
    EXPECT_TRUE(effect->isEditorOpen());
    editor->close();
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    EXPECT_TRUE(childrenOf(display, second).empty());
    XDestroyWindow(display, second);
}

TEST_F(EditorTest, OpenOnAWindowThatDoesNotExistStaysBlankAndCloses) {
    // An id from a range no client of a fresh server uses.
    ASSERT_TRUE(editor->open(reinterpret_cast<void*>(static_cast<uintptr_t>(0x3fff0001))));
    ASSERT_TRUE(waitFor([&] { return !editor->window->isRunning(); }));
    EXPECT_EQ(passes(), 0u);
    editor->close();
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    EXPECT_FALSE(editor->open(nullptr));
    EXPECT_FALSE(editor->isOpen());
}

// refresh only stamps the change; the window thread draws it within the
// throttle period, once for any number of refreshes in that period, and
// draws nothing while nothing changes.
TEST_F(EditorTest, RefreshesAreDrawnWithinTheThrottleAtMostOncePerPeriod) {
    openAndWaitForPicture();
    settle();
    const uint32_t start = passes();
    sleepMs(300);
    EXPECT_EQ(passes(), start) << "an idle editor drew";

    auto begin = std::chrono::steady_clock::now();
    editor->refresh();
    ASSERT_TRUE(waitFor([&] { return passes() > start; }));
    // 40 ms of throttle, one drawing pass and the scheduler of a busy
    // machine (a pass takes ten times as long under qemu-user).
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::milliseconds(qtest::emulated() ? 2000 : 200));

    settle();
    const uint32_t burst = passes();
    begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i) {
        editor->refresh();
        sleepMs(4);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                               begin).count();
    settle();
    const uint32_t drawn = passes() - burst;
    EXPECT_GE(drawn, 2u);
    EXPECT_LE(drawn, static_cast<uint32_t>(elapsed / 40 + 2)) << "over " << elapsed << " ms";
    editor->idle();  // nothing is left for the host's idle
    sleepMs(200);
    EXPECT_EQ(passes(), burst + drawn);

    // While redraws are held back a refresh draws nothing.
    parts.skin->redrawSuppressed = true;
    const uint32_t held = passes();
    editor->refresh();
    sleepMs(200);
    EXPECT_EQ(passes(), held);
    parts.skin->redrawSuppressed = false;
    editor->close();
}

TEST_F(EditorTest, AClientMessageOfAnotherKindDoesNotEndTheThread) {
    openAndWaitForPicture();
    settle();
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_TAKE_FOCUS", False));
    XSendEvent(display, child(), False, StructureNotifyMask, &event);
    event.xclient.format = 8;  // the right atom in the wrong format is no stop either
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, child(), False, StructureNotifyMask, &event);
    XFlush(display);
    const uint32_t before = passes();
    sleepMs(100);
    editor->window->requestExpose();  // answered only by a live thread
    ASSERT_TRUE(waitFor([&] { return passes() == before + 1; }));
    EXPECT_TRUE(editor->window->isRunning());
    EXPECT_NE(child(), 0u);
    editor->close();
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
}

TEST_F(EditorTest, ButtonsReachControlsByButtonWithTheirModifiers) {
    openAndWaitForPicture();
    ProbeControl& hand = *parts.hand;
    // Middle and wheel buttons call no control.
    for (unsigned button : {Button2, Button4, Button5}) {
        sendButton(ButtonPress, button, 0, kHandX + 3, kHandY + 4);
        sendButton(ButtonRelease, button, 0, kHandX + 3, kHandY + 4);
    }
    sendButton(ButtonPress, Button1, ShiftMask | ControlMask, kHandX + 3, kHandY + 4);
    ASSERT_TRUE(waitFor([&] { return hand.leftDowns == 1; }));
    EXPECT_EQ(hand.calls(), 1) << "a middle or wheel button reached the control";
    EXPECT_TRUE(hand.lastShift);
    EXPECT_TRUE(hand.lastCtrl);
    EXPECT_EQ(hand.lastX, 3);
    EXPECT_EQ(hand.lastY, 4);

    sendButton(ButtonRelease, Button1, ShiftMask, kHandX + 1, kHandY + 1);
    ASSERT_TRUE(waitFor([&] { return hand.leftUps == 1; }));
    EXPECT_TRUE(hand.lastShift);
    EXPECT_FALSE(hand.lastCtrl);

    sendButton(ButtonPress, Button3, ControlMask, kHandX + 2, kHandY + 2);
    sendButton(ButtonRelease, Button3, 0, kHandX + 2, kHandY + 2);
    ASSERT_TRUE(waitFor([&] { return hand.rightUps == 1; }));
    EXPECT_EQ(hand.rightDowns, 1);
    EXPECT_FALSE(hand.lastCtrl);
    EXPECT_EQ(hand.calls(), 4);
    EXPECT_EQ(parts.plain->calls(), 0);
    // The pointer was over the hand control each time.
    EXPECT_EQ(editor->window->cursorKind, 2);
    editor->close();
}

TEST_F(EditorTest, CursorChangesOnceWhenLeavingAHandControl) {
    int fixesEvent = 0, fixesError = 0, testEvent = 0, testError = 0, major = 0, minor = 0;
    if (!XFixesQueryExtension(display, &fixesEvent, &fixesError) ||
        !XTestQueryExtension(display, &testEvent, &testError, &major, &minor))
        GTEST_SKIP() << "the X server lacks XFIXES or XTEST";
    openAndWaitForPicture();
    Window root = DefaultRootWindow(display);
    XFixesSelectCursorInput(display, root, XFixesDisplayCursorNotifyMask);
    auto move = [&](int x, int y) {
        // Over a window of some other client the pointer would not reach ours.
        XRaiseWindow(display, parent);
        XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
        XSync(display, False);
    };
    auto cursorChanges = [&] {
        sleepMs(150);
        XSync(display, False);
        int changes = 0;
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == fixesEvent + XFixesCursorNotify) ++changes;
        }
        return changes;
    };
    const int movesBefore = parts.hand->moves;
    move(200, 180);  // background
    ASSERT_TRUE(waitFor([&] { return editor->window->cursorKind == 1; }));
    cursorChanges();

    move(kHandX + 5, kHandY + 5);
    ASSERT_TRUE(waitFor([&] { return editor->window->cursorKind == 2; }));
    EXPECT_EQ(cursorChanges(), 1) << "the hand cursor did not show";
    move(kHandX + 8, kHandY + 6);
    move(kHandX + 9, kHandY + 7);
    EXPECT_EQ(cursorChanges(), 0);
    EXPECT_GT(parts.hand->moves, movesBefore);

    move(210, 170);
    ASSERT_TRUE(waitFor([&] { return editor->window->cursorKind == 1; }));
    EXPECT_EQ(cursorChanges(), 1) << "leaving the control did not restore the parent's cursor";
    for (int i = 0; i < 10; ++i) move(211 + i, 171);
    EXPECT_EQ(cursorChanges(), 0) << "the cursor was set again on every motion";

    // A control without a preference shows the parent's cursor too.
    move(kPlainX + 4, kPlainY + 4);
    ASSERT_TRUE(waitFor([&] { return editor->window->cursorKind == 0; }));
    EXPECT_EQ(cursorChanges(), 0);
    editor->close();
    // The next window starts with the parent's cursor, and so does the kind.
    EXPECT_EQ(editor->window->cursorKind, 0);
}

TEST_F(EditorTest, SeveralEditorsRunAtOnce) {
    TestEffect otherEffect;
    SkinParts otherParts = makeSkin(&otherEffect);
    auto* other = new ZEditor(&otherEffect, otherParts.skin);
    Window otherParent = makeParent(display, kWidth, kHeight, 300, 0);
    openAndWaitForPicture();
    const int oneOpen = editorThreads();
    ASSERT_TRUE(other->open(reinterpret_cast<void*>(otherParent)));
    ASSERT_TRUE(waitFor([&] { return other->window->drawPasses() > 0; }));
    EXPECT_EQ(editorThreads() - oneOpen, oneOpen - baseThreads);
    const uint32_t before = passes();
    editor->window->requestExpose();
    other->window->requestExpose();
    ASSERT_TRUE(waitFor([&] { return passes() > before; }));
    other->close();
    // The first keeps running when the second ends (the error handler count).
    const uint32_t again = passes();
    editor->window->requestExpose();
    ASSERT_TRUE(waitFor([&] { return passes() > again; }));
    EXPECT_TRUE(waitForPicture());
    editor->close();
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    delete other;
    XDestroyWindow(display, otherParent);
}

TEST_F(EditorTest, HundredOpenCloseCyclesLeaveNoThreadsAndNoGrowingMemory) {
    // A few cycles first, so that one-time costs (driver, fonts) are paid.
    for (int i = 0; i < 10; ++i) {
        const uint32_t before = passes();
        ASSERT_TRUE(editor->open(parentHandle()));
        ASSERT_TRUE(waitFor([&] { return passes() > before; }));
        editor->close();
    }
    const long startKb = residentKb();
    int maxThreads = 0;
    for (int i = 0; i < 100; ++i) {
        const uint32_t before = passes();
        ASSERT_TRUE(editor->open(parentHandle()));
        ASSERT_TRUE(waitFor([&] { return passes() > before; })) << "cycle " << i;
        maxThreads = std::max(maxThreads, editorThreads());
        editor->close();
        ASSERT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads" << "cycle " << i;
    }
    const long endKb = residentKb();
    std::printf("100 cycles: threads %d before, at most %d while open, %d after; VmRSS %ld kB -> %ld kB (%+ld kB)\n",
                baseThreads, maxThreads, editorThreads(), startKb, endKb, endKb - startKb);
    if (qtest::residentSizeMeaningful()) {
        EXPECT_LT(endKb - startKb, 2 * 1024) << "memory grows with every open and close";
    }
}
