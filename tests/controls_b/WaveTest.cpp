// Wave displays without pixels: geometry, the redraw test, and the zoom
// bar's knob, zoom and text under the mouse.
#include "controls/ZWave.h"
#include "support/ControlFixture.h"
#include "skin/ZFont.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kGreen[4] = {0, 255, 0, 255};
const unsigned char kBlue[4] = {0, 0, 255, 255};

class WaveTest : public ctl::ControlTest {
protected:
    std::unique_ptr<VRAX::ZZoomWave> zoomWave(int w, int h) {
        return std::make_unique<VRAX::ZZoomWave>(place(0, 0, w, h), &effect->scope, &effect->level, nullptr, kRed,
                                                 kGreen, kBlue, kRed, kGreen, kBlue, &font);
    }
    VRAX::ZFont font{10.0, kRed, "Nothing"};
};

TEST_F(WaveTest, RedrawsWhenAColumnIsCompletedOrALevelMoves) {
    ASSERT_TRUE(effect->scope.setSize(10, 10.0, 1.0));  // one sample per column
    alignas(8) double second = 0.5;
    VRAX::ZWave wave(place(0, 0, 50, 40), &effect->scope, &effect->level, &second, kRed, kGreen, kBlue);
    wave.paint(nullptr);
    EXPECT_FALSE(wave.needsRedraw());
    effect->scope.write(0.1, 0.2);
    EXPECT_TRUE(wave.needsRedraw());
    wave.paint(nullptr);
    EXPECT_FALSE(wave.needsRedraw());
    second += 0.000005;
    EXPECT_FALSE(wave.needsRedraw());
    second += 0.00001;
    EXPECT_TRUE(wave.needsRedraw());

    auto zoomed = zoomWave(100, 60);
    zoomed->paint(nullptr);
    effect->level += 0.0009;  // the zoomed wave is less eager
    EXPECT_FALSE(zoomed->needsRedraw());
    effect->level += 0.0009;
    EXPECT_TRUE(zoomed->needsRedraw());
    zoomed->paint(nullptr);
    effect->scope.write(0.0, 0.0);
    EXPECT_TRUE(zoomed->needsRedraw());
}

TEST_F(WaveTest, KnobFollowsThePointerBetweenTheZoomLimits) {
    auto wave = zoomWave(201, 66);
    EXPECT_EQ(wave->knobX, 81) << "the middle of a 160-pixel track at 1x";
    EXPECT_STREQ(wave->zoomText, "1.00x");
    EXPECT_EQ(wave->cursorAt(100, 10), 0);
    EXPECT_EQ(wave->cursorAt(100, 55), 2);
    EXPECT_FALSE(wave->leftDown(false, false, 100, 49)) << "above the bar";
    EXPECT_EQ(wave->zoomDrag, 0);

    ASSERT_TRUE(wave->leftDown(false, false, 20, 60));
    EXPECT_EQ(wave->zoomDrag, 1);
    EXPECT_EQ(wave->zoom, 0.1f);
    EXPECT_STREQ(wave->zoomText, "0.10x");
    EXPECT_EQ(wave->knobX, 1);
    const struct {
        int x;
        const char* text;
        int knob;
    } moves[] = {{180, "10.00x", 161}, {500, "10.00x", 161}, {100, "1.00x", 81}, {-40, "0.10x", 1},
                 {INT_MIN, "0.10x", 1}, {INT_MAX, "10.00x", 161}, {20, "0.10x", 1}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.x);
        wave->mouseMove(false, false, m.x, 0);  // y does not matter while dragging
        EXPECT_STREQ(wave->zoomText, m.text);
        EXPECT_EQ(wave->knobX, m.knob);
    }
    wave->mouseMove(false, false, 180, 0);
    EXPECT_EQ(wave->zoom, 10.0f);
    EXPECT_EQ(wave->cursorAt(100, 10), 2) << "while dragging";
    EXPECT_TRUE(wave->leftUp(false, false, 0, 0));
    EXPECT_EQ(wave->zoomDrag, 0);
    EXPECT_FALSE(wave->leftUp(false, false, 0, 0));
    wave->mouseMove(false, false, 20, 60);  // not dragging any more
    EXPECT_STREQ(wave->zoomText, "10.00x");
}

TEST_F(WaveTest, ACancelledDragStopsFollowingThePointer) {
    auto wave = zoomWave(201, 66);
    ASSERT_TRUE(wave->leftDown(false, false, 180, 60));
    wave->cancelGesture();  // the editor closed, or a condition hid the wave
    EXPECT_EQ(wave->zoomDrag, 0);
    EXPECT_EQ(wave->cursorAt(100, 10), 0);
    wave->mouseMove(false, false, 20, 60);  // hovering with no button held
    EXPECT_STREQ(wave->zoomText, "10.00x");
    EXPECT_FALSE(wave->leftUp(false, false, 20, 60));
}

TEST_F(WaveTest, CtrlClickResetsAndHoldsUntilTheNextPress) {
    auto wave = zoomWave(201, 66);
    wave->leftDown(false, false, 180, 60);
    wave->leftUp(false, false, 180, 60);
    ASSERT_STREQ(wave->zoomText, "10.00x");

    ASSERT_TRUE(wave->leftDown(false, true, 30, 60));
    EXPECT_EQ(wave->zoomDrag, 2);
    EXPECT_EQ(wave->zoom, 1.0f);
    EXPECT_STREQ(wave->zoomText, "1.00x");
    EXPECT_EQ(wave->knobX, 81);
    wave->mouseMove(false, false, 20, 60);
    wave->mouseMove(true, true, 180, 60);
    EXPECT_STREQ(wave->zoomText, "1.00x");
    EXPECT_TRUE(wave->leftUp(false, false, 180, 60));
    wave->mouseMove(false, false, 20, 60);
    EXPECT_STREQ(wave->zoomText, "1.00x");
    ASSERT_TRUE(wave->leftDown(false, false, 20, 60));
    EXPECT_STREQ(wave->zoomText, "0.10x");
}

TEST_F(WaveTest, NarrowOrEmptyControlsStayUsable) {
    for (int w : {41, 40, 1, 0, -5, INT_MIN}) {
        SCOPED_TRACE(w);
        auto wave = zoomWave(w, 20);
        EXPECT_EQ(wave->knobX, 1);
        wave->setZoomFromX(100);
        EXPECT_STREQ(wave->zoomText, "10.00x");
        EXPECT_EQ(wave->knobX, 1);
        wave->setZoomFromX(0);
        EXPECT_STREQ(wave->zoomText, "0.10x");
        wave->paint(nullptr);
    }
    auto shallow = zoomWave(100, 5);  // shorter than the bar
    EXPECT_TRUE(shallow->leftDown(false, false, 50, 0));
    shallow->paint(nullptr);
}

}  // namespace
