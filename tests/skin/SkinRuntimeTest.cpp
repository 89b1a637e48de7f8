// The run-time skin: drawing passes, visibility, hit tests, mouse routing
// and capture, cursors, redraw requests and ownership.
// gtest first: Xlib (through the window header) defines None and Bool.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "editor/EditorWindow.h"
#include "skin/ZCondition.h"
#include "skin/ZEditorCheck.h"
#include "skin/ZImageResource.h"

#include <memory>

using namespace VRAX;
using skintest::placement;
using skintest::TestControl;
using skintest::TestEffect;

namespace {

class SwitchCheck : public ZEditorCheck {
public:
    explicit SwitchCheck(bool* flag, std::vector<std::string>* log = nullptr) : flag(flag), log(log) {}
    ~SwitchCheck() override {
        if (log) log->push_back("check");
    }
    bool evaluate() const override { return *flag; }
    bool* flag;
    std::vector<std::string>* log;
};

class SkinTest : public ::testing::Test {
protected:
    SkinTest() : skin(&effect) {
        skin.width = 285;
        skin.height = 195;
        skin.pageCount = 2;
        canvas.init(nullptr, 285, 195);
    }

    TestControl* add(int32_t page, int32_t x, int32_t y, int32_t w, int32_t h, const std::string& label = {},
                     const ZConditionSet* conditions = nullptr) {
        auto* control = new TestControl(placement(&skin, page, x, y, w, h, conditions), &drawLog, label);
        skin.controls.add(control);
        return control;
    }

    ZImageResource* image(int32_t frames) {
        auto* resource = ZImageResource::create("img", "None.png", 285, 195, frames);
        skin.resources.add(resource);
        return resource;
    }

    ZEditorBg* background(int32_t page, ZImageResource* img, int32_t frame) {
        auto* record = new ZEditorBg;
        record->page = page;
        record->image = img;
        record->frame = frame;
        skin.backgrounds.add(record);
        return record;
    }

    TestEffect effect;
    ZEditorSkin skin;
    ZCanvas canvas;
    std::vector<std::string> drawLog;
};

}  // namespace

TEST_F(SkinTest, PressOnACapturingControlSendsMovesAndReleaseToItAnywhere) {
    TestControl* knob = add(1, 20, 30, 40, 40);
    TestControl* other = add(1, 100, 100, 50, 50);

    EXPECT_TRUE(skin.leftDown(false, true, 25, 35));
    EXPECT_EQ(skin.capturedControl, 0);
    skin.mouseMove(true, false, 120, 110);  // over the other control
    skin.mouseMove(false, false, -50, 500);  // outside the window
    EXPECT_TRUE(skin.leftUp(true, false, 130, 120));
    EXPECT_EQ(skin.capturedControl, -1);

    ASSERT_EQ(knob->events.size(), 4u);
    EXPECT_EQ(knob->events[0].what, "leftDown");
    EXPECT_EQ(knob->events[0].x, 5);
    EXPECT_EQ(knob->events[0].y, 5);
    EXPECT_TRUE(knob->events[0].ctrl);
    EXPECT_FALSE(knob->events[0].shift);
    EXPECT_EQ(knob->events[1].what, "mouseMove");
    EXPECT_EQ(knob->events[1].x, 100);
    EXPECT_EQ(knob->events[1].y, 80);
    EXPECT_TRUE(knob->events[1].shift);
    EXPECT_EQ(knob->events[2].x, -70);
    EXPECT_EQ(knob->events[2].y, 470);
    EXPECT_EQ(knob->events[3].what, "leftUp");
    EXPECT_EQ(knob->events[3].x, 110);
    EXPECT_TRUE(other->events.empty());

    // Without the capture the next move goes by position again.
    skin.mouseMove(false, false, 120, 110);
    ASSERT_EQ(other->events.size(), 1u);
    EXPECT_EQ(other->events[0].x, 20);
}

TEST_F(SkinTest, ARefusedPressOrAReleaseThatReturnsFalseLeavesTheCaptureAsItWas) {
    TestControl* first = add(1, 0, 0, 50, 50);
    TestControl* second = add(1, 60, 0, 50, 50);
    first->captures = false;
    EXPECT_FALSE(skin.leftDown(false, false, 10, 10));
    EXPECT_EQ(skin.capturedControl, -1);
    skin.leftUp(false, false, 70, 10);  // goes to what is under the pointer now
    ASSERT_EQ(second->events.size(), 1u);
    EXPECT_EQ(second->events[0].what, "leftUp");

    second->releases = false;
    EXPECT_TRUE(skin.rightDown(false, false, 70, 10));
    EXPECT_EQ(skin.capturedControl, 1);
    EXPECT_FALSE(skin.rightUp(false, false, 10, 10));
    EXPECT_EQ(skin.capturedControl, 1);
    EXPECT_EQ(second->events.back().what, "rightUp");
    EXPECT_EQ(first->events.size(), 1u);
}

TEST_F(SkinTest, PressesOnEmptyBackgroundOrHiddenControlsReachNothing) {
    TestControl* hidden = add(2, 0, 0, 50, 50);
    EXPECT_FALSE(skin.leftDown(false, false, 10, 10));
    EXPECT_FALSE(skin.rightDown(false, false, 200, 150));
    EXPECT_FALSE(skin.leftUp(false, false, 10, 10));
    skin.mouseMove(false, false, 10, 10);
    EXPECT_TRUE(hidden->events.empty());
    int32_t index = 5;
    EXPECT_EQ(skin.hitTest(10, 10, &index), nullptr);
    EXPECT_EQ(index, -1);
}

TEST_F(SkinTest, OverlapsGoToTheEarliestControlWhileTheLaterOneIsDrawnOnTop) {
    TestControl* under = add(1, 0, 0, 100, 100, "under");
    TestControl* over = add(1, 50, 50, 100, 100, "over");
    int32_t index = -1;
    EXPECT_EQ(skin.hitTest(75, 75, &index), under);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(skin.hitTest(120, 120, &index), over);
    EXPECT_EQ(index, 1);
    // Edges: left and top inside, right and bottom outside.
    EXPECT_EQ(skin.hitTest(0, 0, nullptr), under);
    EXPECT_EQ(skin.hitTest(149, 149, nullptr), over);
    EXPECT_EQ(skin.hitTest(150, 120, nullptr), nullptr);
    EXPECT_EQ(skin.hitTest(120, 150, nullptr), nullptr);

    skin.draw(&canvas);
    EXPECT_EQ(drawLog, (std::vector<std::string>{"under", "over"}));
    // Each control is drawn in its own region.
    EXPECT_EQ(over->regionX, 50);
    EXPECT_EQ(over->regionY, 50);
    EXPECT_EQ(canvas.getOriginX(), 0);
    EXPECT_EQ(canvas.getClipWidth(), 285);

    // The earlier control hides the later one from the hit test only while visible.
    under->page = 2;
    EXPECT_EQ(skin.hitTest(75, 75, nullptr), over);
}

TEST_F(SkinTest, PageZeroControlsAreOnEveryPageAndOthersOnlyOnTheirOwn) {
    TestControl* tabs = add(0, 0, 0, 50, 20);
    TestControl* main = add(1, 0, 30, 50, 50);
    TestControl* info = add(2, 0, 30, 50, 50);

    EXPECT_EQ(skin.hitTest(10, 10, nullptr), tabs);
    EXPECT_EQ(skin.hitTest(10, 40, nullptr), main);
    skin.draw(&canvas);
    EXPECT_EQ(tabs->draws, 1);
    EXPECT_EQ(main->draws, 1);
    EXPECT_EQ(info->draws, 0);

    skin.setPage(2);
    EXPECT_EQ(skin.getPage(), 2);
    EXPECT_EQ(skin.hitTest(10, 10, nullptr), tabs);
    EXPECT_EQ(skin.hitTest(10, 40, nullptr), info);
    skin.draw(&canvas);
    EXPECT_EQ(info->draws, 1);
    EXPECT_FALSE(main->drawn);

    // No range check: a page nobody has shows the page-0 controls only.
    skin.setPage(7);
    EXPECT_EQ(skin.hitTest(10, 40, nullptr), nullptr);
    EXPECT_EQ(skin.hitTest(10, 10, nullptr), tabs);
}

TEST_F(SkinTest, LeavingAPageWithASharedBackgroundErasesItsControlsOnce) {
    background(0, image(1), 0);
    TestControl* tabs = add(0, 0, 0, 50, 20);
    TestControl* info = add(2, 0, 30, 50, 50);
    skin.setPage(2);
    skin.draw(&canvas);
    ASSERT_TRUE(info->drawn);

    skin.setPage(1);
    skin.draw(&canvas);
    EXPECT_EQ(info->erases, 1);
    EXPECT_FALSE(info->drawn);
    EXPECT_TRUE(info->dirty);
    EXPECT_EQ(tabs->draws, 1);  // unchanged, not drawn again
    EXPECT_EQ(tabs->erases, 0);

    skin.draw(&canvas);
    EXPECT_EQ(info->erases, 1);  // nothing left to erase
}

TEST_F(SkinTest, ChangingToAPageWithAnotherBackgroundRepaintsEverythingWithoutErasing) {
    ZImageResource* img = image(2);
    ZEditorBg* first = background(1, img, 0);
    ZEditorBg* second = background(2, img, 1);
    TestControl* tabs = add(0, 0, 0, 50, 20);
    TestControl* main = add(1, 0, 30, 50, 50);
    TestControl* info = add(2, 0, 30, 50, 50);

    skin.draw(&canvas);
    EXPECT_EQ(skin.currentBackground, first);
    skin.setPage(2);
    skin.draw(&canvas);
    EXPECT_EQ(skin.currentBackground, second);
    EXPECT_EQ(main->erases, 0);  // invalidated, not erased
    EXPECT_FALSE(main->drawn);
    EXPECT_EQ(tabs->draws, 2);  // drawn again over the new background
    EXPECT_EQ(tabs->erases, 0);
    EXPECT_EQ(info->draws, 1);

    // The same background again changes nothing.
    skin.draw(&canvas);
    EXPECT_EQ(tabs->draws, 2);
}

TEST_F(SkinTest, FirstVisibleBackgroundRecordWinsAndNoneIsAlsoAChoice) {
    bool flag = true;
    auto* check = new SwitchCheck(&flag);
    skin.checks.add(check);
    auto* condition = new ZCondition(check, false);
    skin.conditions.add(condition);
    ZImageResource* img = image(2);
    ZEditorBg* conditional = background(0, img, 1);
    conditional->conditions.add(condition);
    ZEditorBg* fallback = background(1, img, 0);
    TestControl* control = add(1, 0, 0, 10, 10);

    skin.draw(&canvas);
    EXPECT_EQ(skin.currentBackground, conditional);
    flag = false;
    skin.draw(&canvas);
    EXPECT_EQ(skin.currentBackground, fallback);
    EXPECT_EQ(control->draws, 2);
    skin.setPage(2);
    skin.draw(&canvas);
    EXPECT_EQ(skin.currentBackground, nullptr);
    EXPECT_EQ(control->erases, 0);
}

TEST_F(SkinTest, RedrawAllRepaintsOnceAndAttachStartsAfresh) {
    background(0, image(1), 0);
    TestControl* control = add(0, 0, 0, 10, 10);
    skin.draw(&canvas);
    skin.draw(&canvas);
    EXPECT_EQ(control->draws, 1);

    skin.redrawAll();
    EXPECT_TRUE(skin.fullRedraw);
    skin.draw(&canvas);
    EXPECT_FALSE(skin.fullRedraw);
    EXPECT_EQ(control->draws, 2);
    EXPECT_EQ(control->erases, 0);

    skin.attach(&canvas);
    EXPECT_EQ(skin.currentBackground, nullptr);
    EXPECT_FALSE(control->drawn);
    skin.draw(&canvas);
    EXPECT_EQ(control->draws, 3);
    EXPECT_EQ(control->erases, 0);
    skin.detach(&canvas);
}

TEST_F(SkinTest, DirtyAndDrawnFollowPaintEraseInvalidateAndRedrawRequests) {
    TestControl* control = add(1, 0, 0, 10, 10);
    EXPECT_TRUE(control->dirty);
    EXPECT_FALSE(control->drawn);
    EXPECT_TRUE(control->needsRedraw());

    EXPECT_TRUE(control->paint(&canvas));
    EXPECT_FALSE(control->dirty);
    EXPECT_TRUE(control->drawn);
    EXPECT_FALSE(control->paint(&canvas));  // nothing changed
    EXPECT_EQ(control->draws, 1);

    control->requestRedraw();
    EXPECT_TRUE(control->dirty);
    EXPECT_TRUE(control->paint(&canvas));  // erased first, then drawn
    EXPECT_EQ(control->erases, 1);
    EXPECT_EQ(control->draws, 2);

    control->invalidate();
    EXPECT_FALSE(control->drawn);
    EXPECT_TRUE(control->paint(&canvas));  // drawn without erasing
    EXPECT_EQ(control->erases, 1);

    control->erase(&canvas);
    EXPECT_EQ(control->erases, 2);
    EXPECT_FALSE(control->drawn);
    EXPECT_TRUE(control->dirty);
    control->erase(&canvas);  // not drawn: nothing to do
    EXPECT_EQ(control->erases, 2);
}

TEST_F(SkinTest, InvertedConditionsShowTheControlExactlyWhenNotAllHold) {
    bool a = true, b = true;
    auto* checkA = new SwitchCheck(&a);
    auto* checkB = new SwitchCheck(&b);
    skin.checks.add(checkA);
    skin.checks.add(checkB);
    auto* condA = new ZCondition(checkA, false);
    auto* condB = new ZCondition(checkB, false);
    skin.conditions.add(condA);
    skin.conditions.add(condB);
    ZConditionSet set;
    set.add(condA);
    set.add(condB);
    set.inverted = true;
    TestControl* control = add(1, 0, 0, 10, 10, {}, &set);
    set.clear();  // the control holds its own copy

    EXPECT_EQ(control->conditions.size(), 2);
    EXPECT_TRUE(control->conditionsInverted);
    EXPECT_FALSE(skin.isVisible(control));
    b = false;
    EXPECT_TRUE(skin.isVisible(control));
    skin.draw(&canvas);
    EXPECT_EQ(control->draws, 1);
    b = true;
    skin.draw(&canvas);  // a changed check shows at the next pass
    EXPECT_EQ(control->erases, 1);
    EXPECT_EQ(skin.hitTest(5, 5, nullptr), nullptr);
}

TEST_F(SkinTest, RedrawRequestsReachTheWindowUnlessSuppressed) {
    skin.requestRedraw();  // no window yet: nothing to send to
    EditorWindow window(&skin);
    ASSERT_EQ(skin.window.load(), &window);
    int& exposes = skintest::exposeRequests();
    exposes = 0;

    skin.requestRedraw();
    EXPECT_EQ(exposes, 1);
    skin.setRedrawSuppressed(true);
    skin.requestRedraw();
    skin.redrawAll();
    skin.setPage(2);
    TestControl* control = add(0, 0, 0, 5, 5);
    control->requestRedraw();
    EXPECT_EQ(exposes, 1);
    skin.setRedrawSuppressed(false);
    EXPECT_EQ(exposes, 2);  // one request on release
    skin.setPage(1);
    control->requestRedraw();
    EXPECT_EQ(exposes, 4);
}

TEST_F(SkinTest, CursorComesFromTheCapturingControlOrTheOneUnderThePointer) {
    TestControl* knob = add(1, 0, 0, 50, 50);
    TestControl* plain = add(1, 100, 0, 50, 50);
    plain->cursor = 0;
    EXPECT_EQ(skin.cursorAt(200, 150), 1);
    EXPECT_EQ(skin.cursorAt(10, 10), 2);
    EXPECT_EQ(skin.cursorAt(110, 10), 0);

    skin.leftDown(false, false, 10, 10);
    EXPECT_EQ(skin.cursorAt(200, 150), 2);
    EXPECT_EQ(skin.cursorAt(110, 10), 2);
    skin.leftUp(false, false, 200, 150);
    EXPECT_EQ(skin.cursorAt(200, 150), 1);

    knob->page = 2;
    EXPECT_EQ(skin.cursorAt(10, 10), 1);
}

TEST_F(SkinTest, ACapturedControlThatDisappearsHasItsGestureCancelledAndItsReleaseDropped) {
    TestControl* tab = add(1, 0, 0, 50, 20);
    TestControl* page2 = add(2, 0, 0, 50, 20);
    for (const bool moveFirst : {false, true}) {
        SCOPED_TRACE(moveFirst ? "a move before the release" : "the release at once");
        skin.setPage(1);
        tab->events.clear();
        page2->events.clear();
        const int cancelsBefore = tab->cancels;
        EXPECT_TRUE(skin.leftDown(false, false, 10, 10));
        skin.setPage(2);  // as a page tab on its own page does

        // The hidden tab's gesture ends; moves go by position again, but the
        // release of that press reaches nothing: the control the new page
        // shows under the pointer (a link, say) was never pressed.
        if (moveFirst) skin.mouseMove(false, false, 12, 10);
        EXPECT_FALSE(skin.leftUp(false, false, 10, 10));
        EXPECT_EQ(tab->cancels, cancelsBefore + 1);
        EXPECT_EQ(tab->events.size(), 1u);
        EXPECT_EQ(page2->events.size(), moveFirst ? 1u : 0u);
        for (const auto& event : page2->events) EXPECT_NE(event.what, "leftUp");
        EXPECT_EQ(skin.capturedControl, -1);

        // Only that one release: the next click is the page's own.
        EXPECT_TRUE(skin.leftDown(false, false, 10, 10));
        EXPECT_EQ(skin.capturedControl, 1);
        EXPECT_TRUE(skin.leftUp(false, false, 10, 10));
        EXPECT_EQ(page2->events.back().what, "leftUp");
        EXPECT_EQ(tab->cancels, cancelsBefore + 1);
    }
}

namespace {

struct LoggedResource : ZEditorResource {
    LoggedResource(std::vector<std::string>* log, std::string label) : log(log), label(std::move(label)) {}
    ~LoggedResource() override { log->push_back("resource"); }
    void load(ZCanvas*) override { log->push_back("load " + label); }
    void unload(ZCanvas*) override { log->push_back("unload " + label); }
    std::vector<std::string>* log;
    std::string label;
};

struct LoggedControl : TestControl {
    LoggedControl(const ControlPlacement& p, std::vector<std::string>* log) : TestControl(p), log(log) {}
    ~LoggedControl() override { log->push_back("control"); }
    std::vector<std::string>* log;
};

struct LoggedCondition : ZCondition {
    LoggedCondition(const ZEditorCheck* check, std::vector<std::string>* log) : ZCondition(check, false), log(log) {}
    ~LoggedCondition() override { log->push_back("condition"); }
    std::vector<std::string>* log;
};

struct LoggedBackground : ZEditorBg {
    explicit LoggedBackground(std::vector<std::string>* log) : log(log) {}
    ~LoggedBackground() override { log->push_back("background"); }
    std::vector<std::string>* log;
};

}  // namespace

TEST(SkinOwnership, ResourcesLoadInOrderAndEverythingIsDestroyedPointersFirst) {
    TestEffect effect;
    std::vector<std::string> log;
    bool flag = true;
    {
        ZEditorSkin skin(&effect);
        skin.resources.add(new LoggedResource(&log, "a"));
        skin.resources.add(new LoggedResource(&log, "b"));
        auto* check = new SwitchCheck(&flag, &log);
        skin.checks.add(check);
        skin.conditions.add(new LoggedCondition(check, &log));
        skin.controls.add(new LoggedControl(placement(&skin, 0, 0, 0, 1, 1), &log));
        skin.backgrounds.add(new LoggedBackground(&log));
        ZCanvas canvas;
        canvas.init(nullptr, 10, 10);
        skin.attach(&canvas);
        skin.detach(&canvas);
        EXPECT_EQ(log, (std::vector<std::string>{"load a", "load b", "unload a", "unload b"}));
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"background", "control", "condition", "check", "resource", "resource"}));
}

TEST(SkinDefaults, AnEmptySkinOrNoCanvasIsHarmless) {
    ZEditorSkin skin(nullptr);
    skin.draw(nullptr);
    skin.eraseBackground(nullptr);
    ZCanvas canvas;
    canvas.init(nullptr, 0, 0);
    skin.draw(&canvas);
    EXPECT_EQ(skin.cursorAt(0, 0), 1);
    EXPECT_FALSE(skin.leftDown(false, false, 0, 0));
}

TEST_F(SkinTest, ControlsAtTheEdgesOfTheNumberRangeAreHitAndRoutedWithoutOverflow) {
    TestControl* far = add(1, INT32_MAX - 5, 0, 100, 10);
    TestControl* wide = add(1, INT32_MIN, 20, INT32_MAX, 10);
    EXPECT_EQ(skin.hitTest(INT32_MAX - 1, 5, nullptr), far);
    EXPECT_EQ(skin.hitTest(INT32_MAX - 6, 5, nullptr), nullptr);
    EXPECT_EQ(skin.hitTest(-2, 25, nullptr), wide);
    EXPECT_EQ(skin.hitTest(-1, 25, nullptr), nullptr);

    EXPECT_TRUE(skin.leftDown(false, false, -2, 25));
    skin.mouseMove(false, false, INT32_MAX, 25);
    ASSERT_EQ(wide->events.size(), 2u);
    EXPECT_EQ(wide->events[0].x, INT32_MAX - 1);
    EXPECT_EQ(wide->events[1].x, INT32_MAX);  // clamped, not wrapped
}
