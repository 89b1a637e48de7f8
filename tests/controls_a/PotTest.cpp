// Pots and the slider: the drag model, the edit calls the host sees, and the
// value each one shows. No pixels here; drawing without a canvas still
// records what would have been drawn.
#include "controls/ZPot.h"
#include "controls/ZSlide.h"
#include "support/ControlFixture.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using ctl::automate;
using ctl::begin;
using ctl::end;
using ctl::hostCalls;
using ctl::HostCall;
using VRAX::ZFilter;

const unsigned char kColour[4] = {10, 20, 30, 255};

class PotTest : public ctl::ControlTest {
protected:
    VRAX::ZPotDot makePot(int index) { return VRAX::ZPotDot(place(10, 10, 60, 60), index, kColour, 15.0, kColour); }
};

TEST_F(PotTest, DragStepAddsUpAndRightMovementWithShiftTenTimesFiner) {
    VRAX::ZPotDot pot = makePot(ZFilter::kRes);
    setValue(ZFilter::kRes, 0.5);
    ASSERT_TRUE(pot.leftDown(false, false, 30, 30));
    pot.mouseMove(false, false, 38, 20);  // 10 up, 8 right
    // Kept as a double: a float on the way would be off by about 1e-8.
    EXPECT_NEAR(stored(ZFilter::kRes), 0.62, 1e-12);
    pot.leftUp(false, false, 38, 20);

    setValue(ZFilter::kRes, 0.5);
    pot.leftDown(false, false, 30, 30);
    pot.mouseMove(true, false, 38, 20);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.512, 1e-12);
    // Releasing Shift affects only the steps after it: measured from the
    // last position, not from where the press was.
    pot.mouseMove(false, false, 38, 10);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.612, 1e-12);
    // Down and left lower the value.
    pot.mouseMove(false, false, 30, 15);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.542, 1e-12);
}

TEST_F(PotTest, DragPastEitherEndClampsAndTurnsBackAtOnce) {
    VRAX::ZPotDot pot = makePot(ZFilter::kGain);
    setValue(ZFilter::kGain, 0.9);
    pot.leftDown(false, false, 30, 30);
    pot.mouseMove(false, false, 30, -70);  // 100 up: far past the top
    EXPECT_EQ(stored(ZFilter::kGain), 1.0);
    pot.mouseMove(false, false, 30, -90);
    EXPECT_EQ(stored(ZFilter::kGain), 1.0);
    pot.mouseMove(false, false, 30, -85);  // no dead zone on the way back
    EXPECT_NEAR(stored(ZFilter::kGain), 0.95, 1e-12);

    pot.mouseMove(false, false, 30, 200);
    EXPECT_EQ(stored(ZFilter::kGain), 0.0);
    pot.mouseMove(false, false, 30, 199);
    EXPECT_NEAR(stored(ZFilter::kGain), 0.01, 1e-12);
}

TEST_F(PotTest, DragTellsTheHostBeginAutomateEachStepAndEnd) {
    VRAX::ZPotDot pot = makePot(ZFilter::kRes);
    setValue(ZFilter::kRes, 0.25);
    EXPECT_EQ(pot.cursorAt(0, 0), 2);
    EXPECT_TRUE(pot.leftDown(false, false, 5, 5));
    EXPECT_TRUE(pot.gesture.held);
    EXPECT_TRUE(pot.dragging);
    pot.mouseMove(false, false, 5, 0);
    pot.mouseMove(false, false, 5, -5);
    EXPECT_TRUE(pot.leftUp(false, false, 100, 100));  // released anywhere: the pot has the mouse
    EXPECT_FALSE(pot.gesture.held);
    const std::vector<HostCall> expected{begin(2), automate(2, 0.25f), automate(2, 0.30f), automate(2, 0.35f),
                                         end(2)};
    EXPECT_EQ(hostCalls(), expected);

    // A release without a press belongs to someone else; a cancelled
    // gesture ends its edit once.
    hostCalls().clear();
    EXPECT_FALSE(pot.leftUp(false, false, 5, 5));
    pot.mouseMove(false, false, 5, -50);
    EXPECT_TRUE(hostCalls().empty());
    pot.leftDown(false, false, 5, 5);
    pot.cancelGesture();
    pot.cancelGesture();
    EXPECT_FALSE(pot.gesture.held);
    pot.mouseMove(false, false, 5, -50);
    EXPECT_EQ(hostCalls().size(), 3u);
    EXPECT_EQ(hostCalls().back(), end(2));
    EXPECT_NEAR(stored(ZFilter::kRes), 0.35, 1e-12);
}

TEST_F(PotTest, CtrlClickSetsTheDefaultAndHoldsTheEditUntilRelease) {
    VRAX::ZPotDot pot = makePot(ZFilter::kGain);  // default 0.5
    setValue(ZFilter::kGain, 0.75);
    pot.dirty = false;
    pot.drawn = true;
    ASSERT_TRUE(pot.leftDown(false, true, 30, 30));
    EXPECT_TRUE(pot.gesture.held);
    EXPECT_FALSE(pot.dragging);
    EXPECT_TRUE(pot.dirty);
    EXPECT_EQ(stored(ZFilter::kGain), 0.5);
    std::vector<HostCall> expected{begin(0), automate(0, 0.75f), automate(0, 0.5f)};
    EXPECT_EQ(hostCalls(), expected);

    pot.mouseMove(false, false, 30, 0);
    pot.mouseMove(true, false, 90, 90);
    EXPECT_EQ(stored(ZFilter::kGain), 0.5);
    EXPECT_EQ(hostCalls(), expected);

    EXPECT_TRUE(pot.leftUp(false, true, 30, 0));
    expected.push_back(end(0));
    EXPECT_EQ(hostCalls(), expected);
}

TEST_F(PotTest, SecondPressWhileHeldChangesNothing) {
    VRAX::ZPotDot pot = makePot(ZFilter::kRes);
    setValue(ZFilter::kRes, 0.4);
    pot.leftDown(false, false, 30, 30);
    hostCalls().clear();
    EXPECT_TRUE(pot.leftDown(false, true, 0, 0));  // even a Ctrl-press: no reset, no new edit
    EXPECT_TRUE(pot.leftDown(false, false, 0, 0));
    EXPECT_TRUE(hostCalls().empty());
    EXPECT_EQ(stored(ZFilter::kRes), 0.4);
    EXPECT_TRUE(pot.dragging);
    // Still measured from the first press.
    pot.mouseMove(false, false, 30, 20);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.5, 1e-12);
    pot.leftUp(false, false, 30, 20);
    const std::vector<HostCall> expected{automate(2, 0.5f), end(2)};
    EXPECT_EQ(hostCalls(), expected);
}

TEST_F(PotTest, UnboundPotTellsTheHostNothing) {
    // A name that did not resolve gives -1; a stale index may be too large.
    for (int index : {-1, 3, 1000}) {
        VRAX::ZPotDot pot = makePot(index);
        EXPECT_TRUE(pot.leftDown(false, false, 0, 0));
        pot.mouseMove(false, false, 0, -50);
        pot.leftUp(false, false, 0, 0);
        pot.leftDown(false, true, 0, 0);
        pot.leftUp(false, false, 0, 0);
        pot.paint(nullptr);
        EXPECT_EQ(pot.lastValue, 0.0);
    }
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(PotTest, DotPotRedrawsOnlyForAShownChange) {
    VRAX::ZPotDot pot = makePot(ZFilter::kRes);
    setValue(ZFilter::kRes, 0.3);
    EXPECT_TRUE(pot.paint(nullptr));
    EXPECT_NEAR(pot.lastValue, 0.3, 1e-12);
    EXPECT_FALSE(pot.needsRedraw());
    // "Res" moves in steps of 0.01: a smaller change is not shown.
    setValue(ZFilter::kRes, 0.302);
    EXPECT_FALSE(pot.needsRedraw());
    setValue(ZFilter::kRes, 0.31);
    EXPECT_TRUE(pot.needsRedraw());
    EXPECT_TRUE(pot.paint(nullptr));
    EXPECT_FALSE(pot.paint(nullptr));
}

TEST_F(PotTest, ImagePotPicksTheNearestFrame) {
    VRAX::ZImageResource strip("Strip.png", 20, 20, 61);
    VRAX::ZImgPot pot(place(0, 0, 20, 20), ZFilter::kRes, &strip);
    setValue(ZFilter::kRes, 0.5);
    EXPECT_EQ(pot.frameIndex(), 30);
    setValue(ZFilter::kRes, 1.0);
    EXPECT_EQ(pot.frameIndex(), 60);
    setValue(ZFilter::kRes, 0.0);
    EXPECT_EQ(pot.frameIndex(), 0);
    setValue(ZFilter::kRes, 0.01);  // 0.6 of a frame rounds up
    EXPECT_EQ(pot.frameIndex(), 1);

    EXPECT_TRUE(pot.paint(nullptr));
    EXPECT_EQ(pot.strip.lastFrame, 1);
    EXPECT_FALSE(pot.needsRedraw());
    setValue(ZFilter::kRes, 0.02);  // 1.2: still frame 1
    EXPECT_FALSE(pot.needsRedraw());
    setValue(ZFilter::kRes, 0.03);
    EXPECT_TRUE(pot.needsRedraw());

    VRAX::ZImgPot bare(place(0, 0, 20, 20), ZFilter::kRes, nullptr);
    EXPECT_EQ(bare.frameIndex(), 0);
    EXPECT_TRUE(bare.paint(nullptr));
}

// ---------------------------------------------------------------------------
// ZSlide

class SlideTest : public ctl::ControlTest {
protected:
    // A 10 x 20 handle in a control 100 high: travel 80.
    VRAX::ZImageResource handle{"Handle.png", 10, 20, 1};
    VRAX::ZSlide makeSlide(int height = 100) {
        return VRAX::ZSlide(place(0, 0, 10, height), ZFilter::kRes, &handle, kColour, 1, 2, 8, 16);
    }
    // Draws it (without a canvas) so that its handle is where the value says.
    static void show(VRAX::ZSlide& slide) {
        slide.dirty = true;
        slide.paint(nullptr);
    }
};

TEST_F(SlideTest, HandleTravelsFromTheBottomAtZeroToOneAtFull) {
    VRAX::ZSlide slide = makeSlide();
    EXPECT_EQ(slide.travel, 80);
    setValue(ZFilter::kRes, 0.0);
    EXPECT_EQ(slide.handlePosition(), 80);
    setValue(ZFilter::kRes, 1.0);
    EXPECT_EQ(slide.handlePosition(), 1);
    setValue(ZFilter::kRes, 0.5);
    EXPECT_EQ(slide.handlePosition(), 80 - 40);  // 0.5 * 79 + 0.5 = 40
    show(slide);
    EXPECT_EQ(slide.lastPosition, 40);
    EXPECT_FALSE(slide.needsRedraw());
    setValue(ZFilter::kRes, 0.51);  // 40.79 + 0.5: the same pixel row
    EXPECT_FALSE(slide.needsRedraw());
    setValue(ZFilter::kRes, 0.52);
    EXPECT_TRUE(slide.needsRedraw());
}

TEST_F(SlideTest, DragAlongTheTravelCoversTheRange) {
    VRAX::ZSlide slide = makeSlide();
    setValue(ZFilter::kRes, 0.5);
    show(slide);
    ASSERT_TRUE(slide.leftDown(false, false, 5, 50));
    EXPECT_TRUE(slide.gesture.held);
    EXPECT_EQ(slide.cursorAt(0, 0), 2);  // held: a hand anywhere
    slide.mouseMove(false, false, 9, 42);  // 8 up; sideways does nothing
    EXPECT_NEAR(stored(ZFilter::kRes), 0.6, 1e-12);
    slide.mouseMove(true, false, 0, 34);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.61, 1e-12);
    slide.mouseMove(false, false, 0, -500);
    EXPECT_EQ(stored(ZFilter::kRes), 1.0);
    slide.mouseMove(false, false, 0, -492);
    EXPECT_NEAR(stored(ZFilter::kRes), 0.9, 1e-12);
    EXPECT_TRUE(slide.leftUp(false, false, 0, 0));
    ASSERT_GE(hostCalls().size(), 2u);
    EXPECT_EQ(hostCalls().front(), begin(2));
    EXPECT_EQ(hostCalls().back(), end(2));
}

TEST_F(SlideTest, ClickOnTheTrackNeitherCapturesNorMoves) {
    VRAX::ZSlide slide = makeSlide();
    setValue(ZFilter::kRes, 0.5);
    show(slide);  // handle rows 40..59
    EXPECT_EQ(slide.cursorAt(5, 39), 0);
    EXPECT_EQ(slide.cursorAt(5, 40), 2);
    EXPECT_EQ(slide.cursorAt(5, 59), 2);
    EXPECT_EQ(slide.cursorAt(5, 60), 0);
    EXPECT_EQ(slide.cursorAt(10, 45), 0);  // right of the handle image
    EXPECT_FALSE(slide.leftDown(false, false, 5, 10));
    EXPECT_FALSE(slide.leftDown(false, true, 5, 90));
    EXPECT_FALSE(slide.gesture.held);
    slide.mouseMove(false, false, 5, 0);
    EXPECT_EQ(stored(ZFilter::kRes), 0.5);
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(SlideTest, CtrlClickOnTheHandleResetsAndSecondPressOpensNoSecondEdit) {
    VRAX::ZSlide slide = makeSlide();
    setValue(ZFilter::kRes, 0.7);
    show(slide);
    const int onHandle = slide.lastPosition + 5;
    ASSERT_TRUE(slide.leftDown(false, true, 5, onHandle));
    EXPECT_FALSE(slide.dragging);
    EXPECT_EQ(stored(ZFilter::kRes), 0.0);
    EXPECT_TRUE(slide.leftDown(false, false, 5, onHandle));
    slide.mouseMove(false, false, 5, 0);
    EXPECT_EQ(stored(ZFilter::kRes), 0.0);
    slide.cancelGesture();
    const std::vector<HostCall> expected{begin(2), automate(2, 0.7f), automate(2, 0.0f), end(2)};
    EXPECT_EQ(hostCalls(), expected);
}

TEST_F(SlideTest, HandleAsTallAsTheControlHasNoTravelAndItsDragDoesNothing) {
    for (int height : {20, 12}) {
        VRAX::ZSlide slide = makeSlide(height);
        EXPECT_LE(slide.travel, 0);
        setValue(ZFilter::kRes, 0.3);
        EXPECT_EQ(slide.handlePosition(), 0);
        show(slide);
        ASSERT_TRUE(slide.leftDown(false, false, 5, 5));
        slide.mouseMove(false, false, 5, 0);
        slide.mouseMove(true, false, 5, -100);
        EXPECT_EQ(stored(ZFilter::kRes), 0.3);
        EXPECT_TRUE(slide.leftUp(false, false, 5, 0));
        const std::vector<HostCall> expected{begin(2), automate(2, 0.3f), end(2)};
        EXPECT_EQ(hostCalls(), expected);
        hostCalls().clear();
    }
}

}  // namespace
