// What the controls put on the screen, read back from a real OpenGL frame
// buffer: the knob's dot on the real dial image, the dial's held frame, the
// bar meter's rectangle, text alignment and the clip font. Runs under Xvfb;
// skipped without a display.
#include "controls/ZLabel.h"
#include "controls/ZMeter.h"
#include "controls/ZPeak.h"
#include "controls/ZPot.h"
#include "support/ControlFixture.h"
#include "editor/ZCanvas.h"
#include "gfx/GfxHelpers.h"
#include "gfx/GlContext.h"
#include "skin/ZFont.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

using qolm_test::Pixels;
using qolm_test::Rgba;
using VRAX::ZFilter;

const Rgba kBlack{0, 0, 0, 255};
const unsigned char kDotColour[4] = {40, 40, 50, 255};  // the skin's dot colour
const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kRed[4] = {255, 0, 0, 255};

// Pixels of the picture that are mostly white, and mostly red.
int whitish(const Pixels& pixels) {
    int n = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const Rgba p = pixels.at(x, y);
            if (p.r > 128 && p.g > 128 && p.b > 128) ++n;
        }
    return n;
}

int reddish(const Pixels& pixels) {
    int n = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) {
            const Rgba p = pixels.at(x, y);
            if (p.r > 128 && p.g < 64 && p.b < 64) ++n;
        }
    return n;
}

// Smallest box holding every pixel where two pictures differ by more than
// the threshold in some channel.
Pixels::Box differenceBox(const Pixels& a, const Pixels& b, int threshold) {
    int left = a.width(), top = a.height(), right = -1, bottom = -1;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const Rgba p = a.at(x, y);
            const Rgba q = b.at(x, y);
            if (std::abs(p.r - q.r) > threshold || std::abs(p.g - q.g) > threshold ||
                std::abs(p.b - q.b) > threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) return {};
    return {left, top, right - left + 1, bottom - top + 1};
}

class DrawTest : public qolm_test::GlTest, public ctl::ControlRig {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        canvas.init(gl.nvg(), gl.width(), gl.height());
        gl.clear(kBlack);
    }
    // Clears the surface and lets the skin's drawing pass paint one control.
    Pixels paintAlone(VRAX::ZEditorControl& control) {
        gl.clear(kBlack);
        control.invalidate();
        canvas.setRegion(control.x, control.y, control.width, control.height);
        EXPECT_TRUE(control.paint(&canvas));
        canvas.resetRegion();
        return gl.readPixels();
    }
    Pixels frameAlone(const VRAX::ZImageResource& image, int x, int y, int frame) {
        gl.clear(kBlack);
        canvas.setRegion(x, y, image.getFrameWidth(), image.getFrameHeight());
        image.drawFrame(&canvas, 0, 0, frame);
        canvas.resetRegion();
        return gl.readPixels();
    }

    VRAX::ZCanvas canvas;
};

TEST_F(DrawTest, DialDotSitsAtTheValuesAngle) {
    VRAX::ZImageResource dial("Dial060.png", 60, 60, 2);
    dial.load(&canvas);
    ASSERT_TRUE(dial.isDrawable());
    VRAX::ZBgPotDot pot(place(20, 20, 60, 60), ZFilter::kRes, &dial, 15.0, kDotColour);
    const Pixels bare = frameAlone(dial, 20, 20, 0);
    const double d = 15.0 * std::sqrt(0.5);
    const struct {
        double v, x, y;
    } cases[] = {{0.0, 30 - d, 30 + d}, {0.5, 30, 15}, {1.0, 30 + d, 30 + d}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.v);
        effect->setParameterValue(ZFilter::kRes, c.v);
        const Pixels::Box dot = differenceBox(paintAlone(pot), bare, 48);
        ASSERT_GT(dot.w, 0);
        EXPECT_LE(dot.w, 6);
        EXPECT_LE(dot.h, 6);
        EXPECT_NEAR(dot.x + dot.w / 2.0, 20 + c.x, 1.0);
        EXPECT_NEAR(dot.y + dot.h / 2.0, 20 + c.y, 1.0);
    }
    dial.unload(&canvas);
}

TEST_F(DrawTest, HeldDialShowsItsSecondFrameUnlessItHasOnlyOne) {
    VRAX::ZImageResource dial("Dial060.png", 60, 60, 2);
    VRAX::ZImageResource single("Dial060.png", 60, 60, 1);
    dial.load(&canvas);
    single.load(&canvas);
    ASSERT_TRUE(dial.isDrawable());
    ASSERT_TRUE(single.isDrawable());
    effect->setParameterValue(ZFilter::kRes, 0.5);  // dot near (30, 15)
    const Pixels idle = frameAlone(dial, 0, 0, 0);
    const Pixels lit = frameAlone(dial, 0, 0, 1);
    ASSERT_GT(differenceBox(idle, lit, 48).w, 30) << "the dial's two frames should differ";

    for (VRAX::ZImageResource* image : {&dial, &single}) {
        SCOPED_TRACE(image->getFrameCount());
        VRAX::ZBgPotDot pot(place(0, 0, 60, 60), ZFilter::kRes, image, 15.0, kDotColour);
        const Pixels& expected = image == &dial ? lit : idle;
        EXPECT_GT(differenceBox(paintAlone(pot), idle, 48).w, 0);  // the dot
        EXPECT_LE(differenceBox(paintAlone(pot), idle, 48).w, 6);  // not held yet: frame 0
        ASSERT_TRUE(pot.leftDown(false, false, 30, 30));
        // Apart from the dot, the picture is the expected frame.
        const Pixels::Box change = differenceBox(paintAlone(pot), expected, 48);
        EXPECT_LE(change.w, 6);
        EXPECT_LE(change.h, 6);
        EXPECT_NEAR(change.y + change.h / 2.0, 15, 1.5);
        pot.leftUp(false, false, 30, 30);
    }
}

TEST_F(DrawTest, BarMeterFillsFromItsOrientationsEdge) {
    alignas(8) double level = 0.5;
    const struct {
        int orientation;
        Pixels::Box box;
    } cases[] = {{1, {10, 20, 38, 15}}, {2, {10 + 37, 20, 38, 15}}, {3, {10, 20, 75, 8}}, {4, {10, 20 + 7, 75, 8}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.orientation);
        VRAX::ZBarFracMeter bar(place(10, 20, 75, 15), &level, c.orientation, kWhite);
        const Pixels::Box ink = paintAlone(bar).inkBox(kBlack, 0);
        EXPECT_EQ(ink.x, c.box.x);
        EXPECT_EQ(ink.y, c.box.y);
        EXPECT_EQ(ink.w, c.box.w);
        EXPECT_EQ(ink.h, c.box.h);
    }
    VRAX::ZBarFracMeter none(place(10, 20, 75, 15), &level, 0, kWhite);
    EXPECT_EQ(paintAlone(none).inkBox(kBlack, 0).w, 0);
    level = 0.0;
    VRAX::ZBarFracMeter empty(place(10, 20, 75, 15), &level, 4, kWhite);
    EXPECT_EQ(paintAlone(empty).inkBox(kBlack, 0).w, 0);
}

class TextDrawTest : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(qolm_test::registerTestFont(gl.nvg(), "CtlSans")) << "no test font";
        font = VRAX::ZFont(16.0, kWhite, "CtlSans");
        clipFont = VRAX::ZFont(16.0, kRed, "CtlSans");
    }
    VRAX::ZFont font;
    VRAX::ZFont clipFont;
};

TEST_F(TextDrawTest, LabelAlignedRightEndsAtTheRightEdge) {
    VRAX::ZLabel right(place(0, 40, 100, 20), VRAX::alignFromName("Right"), "Qolm", &font, 0);
    VRAX::ZLabel left(place(0, 40, 100, 20), VRAX::alignFromName("Left"), "Qolm", &font, 0);
    const Pixels::Box r = paintAlone(right).inkBox(kBlack, 64);
    const Pixels::Box l = paintAlone(left).inkBox(kBlack, 64);
    ASSERT_GT(r.w, 20);
    EXPECT_NEAR(r.x + r.w, 100, 2);
    EXPECT_NEAR(l.x, 0, 2);
    EXPECT_NEAR(r.w, l.w, 1);
    EXPECT_GE(r.y, 40);
    EXPECT_LE(r.y + r.h, 60);
}

TEST_F(TextDrawTest, ReadoutTurnsToTheClipFontAboveFullScale) {
    double* level = effect->findFeatureValue<double>("Peak");
    ASSERT_NE(level, nullptr);
    VRAX::ZTextPeak readout(place(0, 40, 100, 20), level, 0, &font, &clipFont);

    *level = 1.0;
    Pixels pixels = paintAlone(readout);
    const Pixels::Box ink = pixels.inkBox(kBlack, 64);
    EXPECT_GT(whitish(pixels), 20);
    EXPECT_EQ(reddish(pixels), 0);
    // Centred in the control.
    EXPECT_NEAR(ink.x + ink.w / 2.0, 50, 1.5);

    *level = 1.5;
    pixels = paintAlone(readout);
    EXPECT_EQ(whitish(pixels), 0);
    EXPECT_GT(reddish(pixels), 20);
}

}  // namespace
