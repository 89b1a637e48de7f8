// The canvas drawing into a real OpenGL frame buffer through NanoVG.
#include "editor/ZCanvas.h"
#include "gfx/GfxHelpers.h"
#include "gfx/GlContext.h"
#include "skin/ZFont.h"

#include <nanovg.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

using qolm_test::Pixels;
using qolm_test::Rgba;
using VRAX::ZCanvas;

const unsigned char kRed[4] = {255, 0, 0, 255};
const unsigned char kBlue[4] = {0, 0, 255, 255};
const unsigned char kWhite[4] = {255, 255, 255, 255};
const Rgba kBlack{0, 0, 0, 255};

class CanvasTest : public qolm_test::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        canvas.init(gl.nvg(), gl.width(), gl.height());
        gl.clear(kBlack);
    }

    ZCanvas canvas;
};

void expectBox(const Pixels::Box& box, int x, int y, int w, int h) {
    EXPECT_EQ(box.x, x);
    EXPECT_EQ(box.y, y);
    EXPECT_EQ(box.w, w);
    EXPECT_EQ(box.h, h);
}

TEST(CanvasRegion, SetRegionClampsOriginAndCutsClipAtTheWindowEdge) {
    ZCanvas canvas;
    canvas.init(nullptr, 100, 100);
    EXPECT_EQ(canvas.getClipWidth(), 100);
    EXPECT_EQ(canvas.getClipHeight(), 100);

    canvas.setRegion(-5, 10, 20, 20);
    EXPECT_EQ(canvas.getOriginX(), 0);
    EXPECT_EQ(canvas.getOriginY(), 10);
    EXPECT_EQ(canvas.getClipWidth(), 20);
    EXPECT_EQ(canvas.getClipHeight(), 20);

    canvas.setRegion(90, 0, 20, 20);
    EXPECT_EQ(canvas.getOriginX(), 90);
    EXPECT_EQ(canvas.getClipWidth(), 10);
    EXPECT_EQ(canvas.getClipHeight(), 20);

    canvas.setRegion(150, 0, 20, 20);
    EXPECT_EQ(canvas.getOriginX(), 100);
    EXPECT_EQ(canvas.getClipWidth(), 0);

    canvas.setRegion(0, 95, 10, 20);
    EXPECT_EQ(canvas.getOriginY(), 95);
    EXPECT_EQ(canvas.getClipHeight(), 5);

    canvas.setRegion(0, -30, 10, 2000000000);
    EXPECT_EQ(canvas.getOriginY(), 0);
    EXPECT_EQ(canvas.getClipHeight(), 100);

    canvas.resetRegion();
    EXPECT_EQ(canvas.getOriginX(), 0);
    EXPECT_EQ(canvas.getOriginY(), 0);
    EXPECT_EQ(canvas.getClipWidth(), 100);
    EXPECT_EQ(canvas.getClipHeight(), 100);
}

TEST(CanvasAlign, FirstLetterDecides) {
    EXPECT_EQ(VRAX::alignFromName("Centre"), 1);
    EXPECT_EQ(VRAX::alignFromName("center"), 1);
    EXPECT_EQ(VRAX::alignFromName("Cx"), 1);
    EXPECT_EQ(VRAX::alignFromName("Right"), 2);
    EXPECT_EQ(VRAX::alignFromName("rubbish"), 2);
    EXPECT_EQ(VRAX::alignFromName("Left"), 0);
    EXPECT_EQ(VRAX::alignFromName("Middle"), 0);
    EXPECT_EQ(VRAX::alignFromName(""), 0);
    EXPECT_EQ(VRAX::alignFromName(nullptr), 0);
}

TEST_F(CanvasTest, FilledRectangleCoversExactlyItsPixels) {
    canvas.fillRect(10, 20, 30, 15, kRed);
    const Pixels pixels = gl.readPixels();
    expectBox(pixels.inkBox(kBlack, 0), 10, 20, 30, 15);
    EXPECT_EQ(pixels.count(10, 20, 30, 15, Rgba{255, 0, 0, 255}), 30 * 15);
}

TEST_F(CanvasTest, FillRectBlendsItsAlphaOverWhatIsThere) {
    gl.clear(Rgba{255, 255, 255, 255});
    const unsigned char halfBlue[4] = {0, 0, 255, 128};
    canvas.fillRect(0, 0, 10, 10, halfBlue);
    const Rgba p = gl.readPixels().at(5, 5);
    EXPECT_NEAR(p.r, 127, 1);
    EXPECT_NEAR(p.g, 127, 1);
    EXPECT_EQ(p.b, 255);
    EXPECT_EQ(p.a, 255);
}

TEST_F(CanvasTest, FillRectRgbIsOpaqueWhateverTheFourthByte) {
    gl.clear(Rgba{255, 255, 255, 255});
    const unsigned char green[4] = {0, 200, 0, 0};
    canvas.fillRectRgb(0, 0, 10, 10, green);
    EXPECT_EQ(gl.readPixels().at(5, 5), (Rgba{0, 200, 0, 255}));
}

TEST_F(CanvasTest, RegionMovesTheOriginAndClipsToTheRegion) {
    canvas.setRegion(20, 30, 10, 12);
    canvas.fillRect(-5, -5, 40, 40, kBlue);
    canvas.resetRegion();
    const Pixels pixels = gl.readPixels();
    expectBox(pixels.inkBox(kBlack, 0), 20, 30, 10, 12);

    gl.clear(kBlack);
    canvas.setRegion(20, 30, 50, 50);
    canvas.fillRect(1, 2, 3, 4, kBlue);
    expectBox(gl.readPixels().inkBox(kBlack, 0), 21, 32, 3, 4);
}

TEST_F(CanvasTest, ClampedRegionsClipWhatIsDrawn) {
    struct Case {
        int x, y, w, h;
        Pixels::Box ink;
    } cases[] = {
        {-5, 10, 20, 20, {0, 10, 20, 20}},
        {90, 0, 20, 20, {90, 0, 10, 20}},
        {150, 0, 20, 20, {}},
        {10, 10, -5, 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "region " << c.x << ", " << c.y << ", " << c.w << ", " << c.h);
        gl.clear(kBlack);
        canvas.setRegion(c.x, c.y, c.w, c.h);
        canvas.fillRect(-200, -200, 400, 400, kRed);
        canvas.resetRegion();
        expectBox(gl.readPixels().inkBox(kBlack, 0), c.ink.x, c.ink.y, c.ink.w, c.ink.h);
    }
}

TEST_F(CanvasTest, WholeWindowRegionIsNotClippedButANarrowerOneIs) {
    canvas.setRegion(0, 0, 100, 100);
    canvas.fillRect(0, 0, 100, 100, kRed);
    Pixels pixels = gl.readPixels();
    EXPECT_EQ(pixels.count(0, 0, 100, 100, Rgba{255, 0, 0, 255}), 100 * 100);

    gl.clear(kBlack);
    canvas.setRegion(0, 0, 99, 100);
    canvas.fillRect(0, 0, 100, 100, kRed);
    pixels = gl.readPixels();
    expectBox(pixels.inkBox(kBlack, 0), 0, 0, 99, 100);
}

TEST_F(CanvasTest, OneByOneLineAtIntegerRowStraddlesTwoRows) {
    canvas.drawHLine(10, 50, 60, kWhite);
    const Pixels pixels = gl.readPixels();
    const Pixels::Box ink = pixels.inkBox(kBlack, 8);
    EXPECT_EQ(ink.y, 49);
    EXPECT_EQ(ink.h, 2);
    EXPECT_NEAR(ink.x, 10, 1);
    EXPECT_NEAR(ink.x + ink.w, 60, 1);
    // Centred on the boundary: both rows get about the same share.
    EXPECT_NEAR(pixels.at(30, 49).r, pixels.at(30, 50).r, 2);
    EXPECT_GT(pixels.at(30, 49).r, 64);
    EXPECT_LT(pixels.at(30, 49).r, 192);
}

TEST_F(CanvasTest, VerticalAndWideLines) {
    canvas.setRegion(10, 10, 80, 80);
    canvas.drawVLine(20, 5, 45, kWhite);
    canvas.resetRegion();
    Pixels::Box ink = gl.readPixels().inkBox(kBlack, 8);
    EXPECT_EQ(ink.x, 29);
    EXPECT_EQ(ink.w, 2);
    EXPECT_NEAR(ink.y, 15, 1);
    EXPECT_NEAR(ink.y + ink.h, 55, 1);

    gl.clear(kBlack);
    canvas.drawLine(10.0, 50.0, 90.0, 50.0, 4.0, kWhite);
    const Pixels pixels = gl.readPixels();
    ink = pixels.inkBox(kBlack, 8);
    EXPECT_NEAR(ink.y, 48, 1);
    EXPECT_NEAR(ink.h, 4, 1);
    EXPECT_EQ(pixels.at(50, 49), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixels.at(50, 50), (Rgba{255, 255, 255, 255}));

    gl.clear(kBlack);
    canvas.drawPixelLine(10, 10, 90, 90, kWhite);
    const Pixels diagonal = gl.readPixels();
    EXPECT_GT(diagonal.at(50, 50).r, 100);
    EXPECT_EQ(diagonal.at(80, 20), kBlack);
}

TEST_F(CanvasTest, StrokedRectangleLeavesItsInsideAlone) {
    canvas.strokeRect(20, 20, 40, 30, kWhite);
    const Pixels pixels = gl.readPixels();
    const Pixels::Box ink = pixels.inkBox(kBlack, 8);
    EXPECT_NEAR(ink.x, 19, 1);
    EXPECT_NEAR(ink.x + ink.w, 61, 1);
    EXPECT_EQ(pixels.at(40, 35), kBlack);
    EXPECT_GT(pixels.at(40, 20).r, 64);
}

TEST_F(CanvasTest, CircleAndPolylineDot) {
    canvas.fillCircle(50.0, 50.0, 10.0, kWhite);
    Pixels::Box ink = gl.readPixels().inkBox(kBlack, 128);
    EXPECT_NEAR(ink.x, 40, 1);
    EXPECT_NEAR(ink.w, 20, 1);
    EXPECT_NEAR(ink.h, 20, 1);

    gl.clear(kBlack);
    const VRAX::ZPointF dot[] = {{30.0, 30.0}};
    canvas.drawPolyline(dot, 1, 8.0, kWhite);
    ink = gl.readPixels().inkBox(kBlack, 128);
    EXPECT_NEAR(ink.w, 8, 1);
    EXPECT_NEAR(ink.h, 8, 1);
    EXPECT_NEAR(ink.x, 26, 1);
}

TEST_F(CanvasTest, PolylineStrokesThroughEveryPointAndNothingForNoPoints) {
    const VRAX::ZPointF points[] = {{10.0, 10.0}, {90.0, 10.0}, {90.0, 90.0}};
    canvas.drawPolyline(points, 0, 2.0, kWhite);
    canvas.drawPolyline(points, -3, 2.0, kWhite);
    canvas.drawPolyline(nullptr, 3, 2.0, kWhite);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);

    canvas.drawPolyline(points, 3, 2.0, kWhite);
    const Pixels pixels = gl.readPixels();
    EXPECT_GT(pixels.at(50, 10).r, 200);
    EXPECT_GT(pixels.at(90, 50).r, 200);
    EXPECT_EQ(pixels.at(50, 50), kBlack);
}

// An image whose every pixel is different, so a shifted or scaled copy shows.
std::vector<unsigned char> patternImage(int w, int h) {
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            unsigned char* p = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<unsigned char>(x * 16);
            p[1] = static_cast<unsigned char>(y * 16);
            p[2] = static_cast<unsigned char>(100 + x + y);
            p[3] = 255;
        }
    }
    return rgba;
}

TEST_F(CanvasTest, ImageSourceRectangleIsCopiedUnscaled) {
    const std::vector<unsigned char> rgba = patternImage(12, 10);
    const int image = nvgCreateImageRGBA(gl.nvg(), 12, 10, 0, rgba.data());
    ASSERT_GT(image, 0);
    canvas.setRegion(10, 20, 50, 50);
    const VRAX::ZRect source{3, 2, 5, 4};
    const VRAX::ZPoint destination{7, 8};
    canvas.drawImage(image, &source, &destination);
    canvas.resetRegion();
    const Pixels pixels = gl.readPixels();
    expectBox(pixels.inkBox(kBlack, 0), 17, 28, 5, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            const unsigned char* p = &rgba[((2 + y) * 12 + 3 + x) * 4];
            ASSERT_EQ(pixels.at(17 + x, 28 + y), (Rgba{p[0], p[1], p[2], 255})) << x << ", " << y;
        }
    }
    nvgDeleteImage(gl.nvg(), image);
}

TEST_F(CanvasTest, ImageWithoutHandleSizeOrRectanglesDrawsNothing) {
    const std::vector<unsigned char> rgba = patternImage(4, 4);
    const int image = nvgCreateImageRGBA(gl.nvg(), 4, 4, 0, rgba.data());
    const VRAX::ZRect source{0, 0, 4, 4};
    const VRAX::ZPoint destination{10, 10};
    canvas.drawImage(0, &source, &destination);
    canvas.drawImage(-1, &source, &destination);
    // A handle the renderer does not know reports a size of 0 x 0.
    canvas.drawImage(image + 100, &source, &destination);
    canvas.drawImage(image, nullptr, &destination);
    canvas.drawImage(image, &source, nullptr);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);
    canvas.drawImage(image, &source, &destination);
    expectBox(gl.readPixels().inkBox(kBlack, 0), 10, 10, 4, 4);
}

class CanvasTextTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(qolm_test::registerTestFont(gl.nvg(), "TestSans")) << "no test font";
        font.setFace("TestSans");
        font.size = 16.0;
        const unsigned char white[4] = {255, 255, 255, 255};
        font.setColour(white);
    }

    Pixels::Box inkOf(const char* text, int x, int y, int w, int h, int align) {
        gl.clear(kBlack);
        canvas.drawText(text, x, y, w, h, &font, align);
        return gl.readPixels().inkBox(kBlack, 64);
    }

    VRAX::ZFont font;
};

TEST_F(CanvasTextTest, AnchoredLeftCentreAndRight) {
    const Pixels::Box left = inkOf("HIH", 10, 30, 60, 20, 0);
    const Pixels::Box centre = inkOf("HIH", 10, 30, 60, 20, 1);
    const Pixels::Box right = inkOf("HIH", 10, 30, 60, 20, 2);
    ASSERT_GT(left.w, 10);
    EXPECT_NEAR(left.x, 10, 2);
    EXPECT_NEAR(right.x + right.w, 70, 2);
    EXPECT_NEAR(centre.x + centre.w / 2.0, 40, 1.5);
    EXPECT_EQ(left.w, right.w);
    EXPECT_EQ(left.y, right.y);
    // An unknown alignment code centres.
    const Pixels::Box other = inkOf("HIH", 10, 30, 60, 20, 7);
    EXPECT_EQ(other.x, centre.x);
    // The middle of the text sits a little below the box's middle (40).
    EXPECT_NEAR(left.y + left.h / 2.0, 41.5, 2.0);
}

TEST_F(CanvasTextTest, PositionIsRoundedToWholePixels) {
    // The centre anchor 40.5 rounds away from zero to 41, as 41 itself does.
    const Pixels::Box half = inkOf("H", 10, 0, 61, 20, 1);
    const Pixels::Box whole = inkOf("H", 10, 0, 62, 20, 1);
    const Pixels::Box below = inkOf("H", 10, 0, 60, 20, 1);
    EXPECT_EQ(half.x, whole.x);
    EXPECT_EQ(below.x, whole.x - 1);
    // Heights 9 and 8 both give a middle of 5 (4.95 + 0.5 and 4.4 + 0.5
    // rounded); 10 gives 6.
    const Pixels::Box h9 = inkOf("H", 0, 20, 50, 9, 0);
    const Pixels::Box h8 = inkOf("H", 0, 20, 50, 8, 0);
    const Pixels::Box h10 = inkOf("H", 0, 20, 50, 10, 0);
    EXPECT_EQ(h9.y, h8.y);
    EXPECT_EQ(h10.y, h9.y + 1);
    // 18 gives 10.4 and 20 gives 11.5: 10 and 12.
    const Pixels::Box h18 = inkOf("H", 0, 20, 50, 18, 0);
    const Pixels::Box h20 = inkOf("H", 0, 20, 50, 20, 0);
    EXPECT_EQ(h20.y, h18.y + 2);
}

TEST_F(CanvasTextTest, RegionOriginShiftsTextAndOnlyTheRegionClipsIt) {
    const Pixels::Box plain = inkOf("HIH", 0, 0, 60, 20, 0);
    canvas.setRegion(13, 27, 60, 20);
    const Pixels::Box moved = inkOf("HIH", 0, 0, 60, 20, 0);
    EXPECT_EQ(moved.x, plain.x + 13);
    EXPECT_EQ(moved.y, plain.y + 27);

    // A box narrower than the text does not cut it.
    const Pixels::Box narrowBox = inkOf("HIH", 0, 0, 4, 20, 0);
    EXPECT_EQ(narrowBox.w, moved.w);
    ASSERT_GT(moved.w, 10);

    canvas.setRegion(13, 27, 8, 20);
    const Pixels::Box cut = inkOf("HIH", 0, 0, 60, 20, 0);
    EXPECT_EQ(cut.x, moved.x);
    EXPECT_EQ(cut.x + cut.w, 21);
    canvas.resetRegion();
}

TEST_F(CanvasTextTest, DrawnInTheFontColour) {
    const unsigned char red[4] = {255, 0, 0, 255};
    font.setColour(red);
    gl.clear(kBlack);
    font.size = 30.0;
    canvas.drawText("I", 0, 0, 100, 100, &font, 1);
    const Pixels pixels = gl.readPixels();
    const Pixels::Box ink = pixels.inkBox(kBlack, 64);
    ASSERT_GT(ink.h, 10);
    const Rgba middle = pixels.at(ink.x + ink.w / 2, ink.y + ink.h / 2);
    EXPECT_GT(middle.r, 200);
    EXPECT_LT(middle.g, 30);
    EXPECT_LT(middle.b, 30);
}

}  // namespace
