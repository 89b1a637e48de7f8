// What these controls put on the screen, read back from a real OpenGL frame
// buffer: strip frames while held, the highlight marks, where the wave's
// columns land and which level marks are drawn. Runs under Xvfb; skipped
// without a display.
#include "controls/ZCommand.h"
#include "controls/ZImg.h"
#include "controls/ZPageSel.h"
#include "controls/ZPeak.h"
#include "controls/ZRadio.h"
#include "controls/ZSwitch.h"
#include "controls/ZUrl.h"
#include "controls/ZWave.h"
#include "support/ControlFixture.h"
#include "editor/ZCanvas.h"
#include "gfx/GfxHelpers.h"
#include "gfx/GlContext.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZFont.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using qolm_test::Pixels;
using qolm_test::Rgba;
using VRAX::ZFilter;

const Rgba kBlack{0, 0, 0, 255};
// Frame colours of the test strips, frame 0 to 3.
const Rgba kFrameColours[4] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}};
const unsigned char kWhite[4] = {255, 255, 255, 255};
const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kGreen[4] = {0, 255, 0, 255};
const unsigned char kTint[4] = {255, 255, 255, 128};
const unsigned char kClear[4] = {0, 0, 0, 0};

// A horizontal strip of 20 x 20 frames, each filled with its colour.
const char* stripFile(int frames) {
    static const char* names[5] = {};
    static const char* const fileNames[5] = {"", "CtlbStrip1.png", "CtlbStrip2.png", "CtlbStrip3.png",
                                             "CtlbStrip4.png"};
    if (!names[frames]) {
        qolm_test::Image image;
        image.width = 20 * frames;
        image.height = 20;
        image.rgba.resize(static_cast<size_t>(image.width) * image.height * 4);
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const Rgba c = kFrameColours[x / 20];
                unsigned char* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
                p[3] = c.a;
            }
        names[frames] = qolm_test::embedTestFile(fileNames[frames], qolm_test::encodePng(image));
    }
    return names[frames];
}

bool inked(Rgba p, int threshold = 64) { return p.r > threshold || p.g > threshold || p.b > threshold; }

class DrawTest : public qolm_test::GlTest, public ctl::ControlRig {
protected:
    int surfaceWidth() const override { return 240; }
    int surfaceHeight() const override { return 120; }

    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        canvas.init(gl.nvg(), gl.width(), gl.height());
        ownSkin = std::make_unique<VRAX::ZEditorSkin>(effect.get());
        ownSkin->pageCount = 2;
        skin = ownSkin.get();
        page = 0;
    }
    void TearDown() override {
        for (auto& strip : strips)
            if (strip) strip->unload(&canvas);
        skin = nullptr;
        ownSkin.reset();
    }

    VRAX::ZImageResource* strip(int frames) {
        auto& slot = strips[frames];
        if (!slot) {
            slot = std::make_unique<VRAX::ZImageResource>(stripFile(frames), 20, 20, frames);
            slot->load(&canvas);
            EXPECT_TRUE(slot->isDrawable());
        }
        return slot.get();
    }
    // Clears the surface and lets a drawing pass paint one control.
    Pixels paintAlone(VRAX::ZEditorControl& control) {
        gl.clear(kBlack);
        control.invalidate();
        canvas.setRegion(control.x, control.y, control.width, control.height);
        EXPECT_TRUE(control.paint(&canvas));
        canvas.resetRegion();
        return gl.readPixels();
    }
    // The colour in the middle of a 20 x 20 control at (10, 10).
    Rgba middleOf(VRAX::ZEditorControl& control) { return paintAlone(control).at(20, 20); }

    VRAX::ZCanvas canvas;
    std::unique_ptr<VRAX::ZEditorSkin> ownSkin;
    std::unique_ptr<VRAX::ZImageResource> strips[5];
};

TEST_F(DrawTest, TabShowsItsFrames) {
    VRAX::ZImgPageSel info(place(10, 10, 20, 20), strip(3), 2);
    VRAX::ZImgPageSel main(place(10, 10, 20, 20), strip(3), 1);
    EXPECT_EQ(middleOf(info), kFrameColours[0]);
    EXPECT_EQ(middleOf(main), kFrameColours[1]);
    info.leftDown(false, false, 1, 1);
    EXPECT_EQ(middleOf(info), kFrameColours[2]);
    info.leftUp(false, false, 1, 1);
    EXPECT_EQ(middleOf(info), kFrameColours[1]);
    EXPECT_EQ(middleOf(main), kFrameColours[0]);
}

TEST_F(DrawTest, FourFrameSwitchShowsItsHeldFrames) {
    VRAX::ZImgSwitch toggle(place(10, 10, 20, 20), ZFilter::kRes, strip(4));
    effect->setParameterValue(ZFilter::kRes, 0.0);
    EXPECT_EQ(middleOf(toggle), kFrameColours[0]);
    toggle.leftDown(false, false, 1, 1);  // on, held
    EXPECT_EQ(middleOf(toggle), kFrameColours[3]);
    toggle.leftUp(false, false, 1, 1);
    EXPECT_EQ(middleOf(toggle), kFrameColours[1]);
    toggle.leftDown(false, false, 1, 1);  // off, held
    EXPECT_EQ(middleOf(toggle), kFrameColours[2]);
    toggle.leftUp(false, false, 1, 1);

    // A one-frame strip has no on frame: its last frame stands in for it
    // rather than the switch vanishing.
    VRAX::ZImgSwitch single(place(10, 10, 20, 20), ZFilter::kRes, strip(1));
    EXPECT_EQ(middleOf(single), kFrameColours[0]);
    effect->setParameterValue(ZFilter::kRes, 1.0);
    EXPECT_EQ(single.frameIndex(), 1);
    EXPECT_EQ(middleOf(single), kFrameColours[0]);
}

TEST_F(DrawTest, OneFrameStripsShowTheirFrameInEveryState) {
    // Active, selected, held or lit ask for frames beyond a one-frame strip.
    VRAX::ZImgPageSel tab(place(10, 10, 20, 20), strip(1), 1);
    EXPECT_EQ(tab.frameIndex(), 1);
    EXPECT_EQ(middleOf(tab), kFrameColours[0]);
    tab.leftDown(false, false, 1, 1);
    EXPECT_EQ(middleOf(tab), kFrameColours[0]);

    effect->setParameterValue(ZFilter::kRes, 0.0);
    VRAX::ZImgRadio item(place(10, 10, 20, 20), ZFilter::kRes, 0, 1, strip(1));
    item.leftDown(false, false, 1, 1);
    EXPECT_EQ(item.frameIndex(), 1);
    EXPECT_EQ(middleOf(item), kFrameColours[0]);
    item.leftUp(false, false, 1, 1);

    VRAX::ZImgCommand command(place(10, 10, 20, 20), ZFilter::kPeakReset, strip(1));
    command.leftDown(false, false, 1, 1);
    EXPECT_EQ(middleOf(command), kFrameColours[0]);
    command.leftUp(false, false, 1, 1);

    effect->level = 1.0;
    VRAX::ZImgPeak lamp(place(10, 10, 20, 20), &effect->level, ZFilter::kPeakReset, strip(1));
    EXPECT_EQ(lamp.frameIndex(), 1);
    EXPECT_EQ(middleOf(lamp), kFrameColours[0]);
}

TEST_F(DrawTest, PicturesAndCommandsShowTheirFrames) {
    VRAX::ZImg picture(place(10, 10, 20, 20), strip(3));
    EXPECT_EQ(middleOf(picture), kFrameColours[0]);
    VRAX::ZImgUrl link(place(10, 10, 20, 20), strip(2), "https://example.org/");
    EXPECT_EQ(middleOf(link), kFrameColours[0]);
    VRAX::ZUrl bare(place(10, 10, 20, 20), "https://example.org/");
    EXPECT_EQ(middleOf(bare), kBlack);
    VRAX::ZImgCommand command(place(10, 10, 20, 20), ZFilter::kPeakReset, strip(2));
    EXPECT_EQ(middleOf(command), kFrameColours[0]);
    command.leftDown(false, false, 1, 1);
    EXPECT_EQ(middleOf(command), kFrameColours[1]);
    command.leftUp(false, false, 1, 1);
    EXPECT_EQ(middleOf(command), kFrameColours[0]);
}

TEST_F(DrawTest, HighlightMarks) {
    // A 40 x 40 control at (10, 10) with a 20 x 20 box at (10, 10) inside:
    // the box's centre is at (30, 30) of the surface, the mark's radius 10.
    VRAX::ZHlSwitch toggle(place(10, 10, 40, 40), ZFilter::kRes, {10, 10, 20, 20, kRed, kGreen, kTint});
    effect->setParameterValue(ZFilter::kRes, 1.0);
    Pixels on = paintAlone(toggle);
    EXPECT_EQ(on.at(30, 30), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(on.at(37, 30), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(on.at(42, 30), kBlack);
    EXPECT_EQ(on.at(12, 12), kBlack);

    effect->setParameterValue(ZFilter::kRes, 0.0);
    Pixels off = paintAlone(toggle);
    // Pixels whose centres lie on the two diagonals of the cross.
    EXPECT_GT(off.at(26, 26).r, 128);
    EXPECT_GT(off.at(33, 26).r, 128);
    EXPECT_EQ(off.at(37, 30), kBlack) << "no dot when off";
    EXPECT_EQ(off.at(30, 24), kBlack);
    EXPECT_EQ(off.at(26, 26).g, 0);

    toggle.gesture.held = true;
    Pixels held = paintAlone(toggle);
    const Rgba corner = held.at(12, 12);  // outside the box: only the tint
    EXPECT_GT(corner.r, 100);
    EXPECT_LT(corner.r, 160);
    EXPECT_EQ(held.at(52, 52), kBlack) << "nothing outside the control";

    VRAX::ZPageSelHlt tab(place(10, 10, 20, 20), 2, kTint);
    EXPECT_EQ(middleOf(tab), kBlack);
    tab.leftDown(false, false, 1, 1);
    EXPECT_GT(middleOf(tab).r, 100);
}

class WaveDrawTest : public DrawTest {
protected:
    void fill(int columns, int written) {
        // Two samples per column: -0.5 and 0.5 of signal 1.
        ASSERT_TRUE(effect->scope.setSize(columns, 2.0 * columns, 1.0));
        ASSERT_EQ(effect->scope.getSamplesPerColumn(), 2);
        for (int i = 0; i < written; ++i) {
            effect->scope.write(-0.5, 0.0);
            effect->scope.write(0.5, 0.0);
        }
    }
    // First and last surface column with ink between rows top and bottom.
    static std::pair<int, int> inkedColumns(const Pixels& pixels, int top, int bottom) {
        int first = -1, last = -1;
        for (int x = 0; x < pixels.width(); ++x)
            for (int y = top; y <= bottom; ++y)
                if (inked(pixels.at(x, y))) {
                    if (first < 0) first = x;
                    last = x;
                    break;
                }
        return {first, last};
    }
    // Rows with ink in one surface column.
    static std::vector<int> inkedRows(const Pixels& pixels, int x) {
        std::vector<int> rows;
        for (int y = 0; y < pixels.height(); ++y)
            if (inked(pixels.at(x, y))) rows.push_back(y);
        return rows;
    }
};

TEST_F(WaveDrawTest, NewestColumnsFillTheRightEdge) {
    fill(100, 100);
    // 200 wide at x = 10, 50 high: middle 25, scale 24, so each column runs
    // from row 13 to row 37 of the control.
    VRAX::ZWave wave(place(10, 10, 200, 50), &effect->scope, nullptr, nullptr, kWhite, kClear, kClear);
    const Pixels pixels = paintAlone(wave);
    const auto [first, last] = inkedColumns(pixels, 10 + 15, 10 + 35);
    // A line at x covers half of the pixels x - 1 and x.
    EXPECT_GE(first, 10 + 99);
    EXPECT_LE(first, 10 + 100);
    EXPECT_EQ(last, 10 + 199);
    const std::vector<int> rows = inkedRows(pixels, 10 + 150);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.front(), 10 + 13, 1);
    EXPECT_NEAR(rows.back(), 10 + 37, 1);
}

TEST_F(WaveDrawTest, LevelMarksInsideTheRangeOnlyUnlessZoomed) {
    alignas(8) double level = 1.5;
    VRAX::ZWave wave(place(10, 10, 100, 50), &effect->scope, &level, nullptr, kClear, kClear, kWhite);
    // Only the centre line at row 25 of the control.
    for (int row : inkedRows(paintAlone(wave), 60)) EXPECT_NEAR(row, 10 + 25, 1);
    level = 0.5;  // marks at 25 -+ 12
    const std::vector<int> rows = inkedRows(paintAlone(wave), 60);
    EXPECT_NEAR(rows.front(), 10 + 13, 1);
    EXPECT_NEAR(rows.back(), 10 + 37, 1);

    // 66 high: the same wave area above a 16-pixel bar; the bar and knob are
    // clear, so the mark at 25 + 36 shows where the bar would be.
    level = 1.5;
    VRAX::ZFont font(10.0, kWhite, "NotRegistered");
    VRAX::ZZoomWave zoomed(place(10, 10, 100, 66), &effect->scope, &level, nullptr, kClear, kClear, kWhite, kClear,
                           kClear, kClear, &font);
    const std::vector<int> zoomedRows = inkedRows(paintAlone(zoomed), 60);
    ASSERT_FALSE(zoomedRows.empty());
    EXPECT_NEAR(zoomedRows.front(), 10 + 25, 1);
    EXPECT_NEAR(zoomedRows.back(), 10 + 61, 1);
}

TEST_F(WaveDrawTest, ZoomScalesTheColumns) {
    fill(100, 100);
    VRAX::ZFont font(10.0, kWhite, "NotRegistered");
    VRAX::ZZoomWave zoomed(place(10, 10, 201, 66), &effect->scope, nullptr, nullptr, kWhite, kClear, kClear, kClear,
                           kClear, kClear, &font);
    std::vector<int> rows = inkedRows(paintAlone(zoomed), 10 + 150);
    ASSERT_FALSE(rows.empty());
    EXPECT_NEAR(rows.front(), 10 + 13, 1);
    EXPECT_NEAR(rows.back(), 10 + 37, 1);
    zoomed.leftDown(false, false, 180, 60);  // 10x: clamped to the control
    rows = inkedRows(paintAlone(zoomed), 10 + 150);
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.front(), 10 + 1);
    EXPECT_GE(rows.back(), 10 + 64);
}

}  // namespace
