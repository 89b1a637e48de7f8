// A whole editor-sized picture drawn the way the skin draws: background,
// then each control in its own region. Saved for a human to look at.
#include "editor/ZCanvas.h"
#include "gfx/GlContext.h"
#include "skin/ZFont.h"
#include "skin/ZFontTypeResource.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using qolm_test::Pixels;
using qolm_test::Rgba;
using namespace VRAX;

class SceneTest : public qolm_test::GlTest {
protected:
    int surfaceWidth() const override { return 285; }
    int surfaceHeight() const override { return 195; }
};

TEST_F(SceneTest, EditorSizedPictureWithEveryKindOfPrimitive) {
    ZCanvas canvas;
    canvas.init(gl.nvg(), gl.width(), gl.height());
    std::unique_ptr<ZImageResource> dial(ZImageResource::create("dial060", "Dial060.png", 60, 60, 2));
    std::unique_ptr<ZFontTypeResource> face(ZFontTypeResource::create("ZSans", "ZSans.ttf"));
    dial->load(&canvas);
    face->load(&canvas);
    ASSERT_TRUE(dial->isDrawable());

    const unsigned char background[3] = {30, 34, 40};
    const unsigned char panel[4] = {60, 70, 90, 255};
    const unsigned char amber[4] = {255, 180, 40, 255};
    const unsigned char glass[4] = {255, 255, 255, 96};
    const unsigned char white[4] = {255, 255, 255, 255};
    const unsigned char cyan[4] = {60, 220, 230, 255};
    canvas.fillRectRgb(0, 0, 285, 195, background);
    canvas.fillRect(5, 5, 275, 24, panel);

    // Three knobs in their regions, frames 0, 1, 0.
    for (int i = 0; i < 3; ++i) {
        canvas.setRegion(15 + i * 90, 40, 60, 60);
        dial->drawFrame(&canvas, 0, 0, i % 2);
        canvas.resetRegion();
    }

    ZFont font(14.0, white, "ZSans");
    const char* names[3] = {"Left", "Centre", "Right"};
    for (int i = 0; i < 3; ++i) {
        canvas.setRegion(15 + i * 90, 105, 60, 16);
        canvas.strokeRect(0, 0, 60, 16, glass);
        canvas.drawText(names[i], 0, 0, 60, 16, &font, alignFromName(names[i]));
        canvas.resetRegion();
    }
    ZFont title(17.0, amber, "ZSans");
    canvas.drawText("Qolm canvas", 5, 5, 275, 24, &title, 1);

    // A clipped region: the circle and the bar are cut at its edges.
    canvas.setRegion(15, 130, 120, 55);
    canvas.fillRect(0, 0, 120, 55, glass);
    canvas.fillCircle(110.0, 27.0, 25.0, amber);
    canvas.fillRect(-10, 20, 60, 10, cyan);
    canvas.resetRegion();

    const ZPointF wave[] = {{150, 160}, {170, 140}, {190, 175}, {210, 135}, {230, 170}, {250, 150}, {270, 160}};
    canvas.drawPolyline(wave, 7, 2.0, cyan);
    canvas.drawHLine(150, 185, 270, white);
    canvas.drawVLine(145, 130, 190, white);
    canvas.drawLine(150.0, 130.0, 270.0, 190.0, 3.0, glass);

    const Pixels pixels = gl.readPixels();
    EXPECT_TRUE(pixels.savePng(qolm_test::outputPath("canvas-test.png")));
    // The bar stops at the region's left edge, the circle at its right one.
    EXPECT_EQ(pixels.at(14, 155), (Rgba{30, 34, 40, 255}));
    EXPECT_NE(pixels.at(15, 155), (Rgba{30, 34, 40, 255}));
    EXPECT_EQ(pixels.at(136, 157), (Rgba{30, 34, 40, 255}));
    dial->unload(&canvas);
}

}  // namespace
