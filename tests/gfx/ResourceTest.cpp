// Skin resources: creation rules, lookups by name, and images and faces
// loaded into a real renderer and drawn through the canvas.
#include "editor/ZCanvas.h"
#include "framework/PtrList.h"
#include "gfx/GfxHelpers.h"
#include "gfx/GlContext.h"
#include "io/EmbeddedFile.h"
#include "skin/ResourceLookup.h"
#include "skin/ZColourResource.h"
#include "skin/ZFontResource.h"
#include "skin/ZFontTypeResource.h"
#include "skin/ZImageResource.h"

#include <nanovg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <string>

namespace {

using qolm_test::Image;
using qolm_test::Pixels;
using qolm_test::Rgba;
using namespace VRAX;

const Rgba kBlack{0, 0, 0, 255};

void expectColour(const unsigned char* c, int r, int g, int b, int a) {
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c[0], r);
    EXPECT_EQ(c[1], g);
    EXPECT_EQ(c[2], b);
    EXPECT_EQ(c[3], a);
}

TEST(ColourResource, ValuesKeepTheirLowEightBits) {
    std::unique_ptr<ZColourResource> valcol(ZColourResource::createRgb("valcol", 220, 240, 255));
    ASSERT_NE(valcol, nullptr);
    expectColour(valcol->getColour(), 220, 240, 255, 255);
    EXPECT_TRUE(valcol->nameIs("valcol"));

    std::unique_ptr<ZColourResource> wrapped(ZColourResource::createRgb("w", 300, -1, 256));
    expectColour(wrapped->getColour(), 44, 255, 0, 255);

    std::unique_ptr<ZColourResource> rgba(ZColourResource::createRgba("a", 1, 2, 3, 0x180));
    expectColour(rgba->getColour(), 1, 2, 3, 0x80);
}

TEST(FontResource, CopiesColourSizeAndFace) {
    unsigned char prmcol[4] = {10, 20, 30, 255};
    std::unique_ptr<ZFontResource> prmfont(ZFontResource::create("prmfont", 17.0, prmcol, "ZFont1"));
    ASSERT_NE(prmfont, nullptr);
    const ZFont* font = prmfont->getFont();
    EXPECT_EQ(font->getSize(), 17.0);
    EXPECT_STREQ(font->getFace(), "ZFont1");
    // The colour is the one at the moment of creation.
    prmcol[0] = 99;
    expectColour(font->colour, 10, 20, 30, 255);

    std::unique_ptr<ZFontResource> huge(
        ZFontResource::create("inf", std::numeric_limits<double>::infinity(), prmcol, "x"));
    EXPECT_NE(huge, nullptr);

    const std::string longFace(80, 'f');
    std::unique_ptr<ZFontResource> cut(ZFontResource::create("cut", 9.0, prmcol, longFace.c_str()));
    EXPECT_EQ(std::string(cut->getFont()->getFace()), longFace.substr(0, 63));
}

TEST(FontResource, RefusesSizesNotAboveZeroAndMissingColours) {
    const unsigned char colour[4] = {1, 2, 3, 4};
    EXPECT_EQ(ZFontResource::create("f", 0.0, colour, "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", -3.0, colour, "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", std::nan(""), colour, "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", 12.0, nullptr, "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", 12.0, colour, nullptr), nullptr);
}

TEST(FontTypeResource, NamedByItsFaceWithNamesCut) {
    std::unique_ptr<ZFontTypeResource> ttf(ZFontTypeResource::create("ZFont1", "ZFont1.ttf"));
    ASSERT_NE(ttf, nullptr);
    EXPECT_TRUE(ttf->nameIs("ZFont1"));
    EXPECT_STREQ(ttf->getFile(), "ZFont1.ttf");

    const std::string longName(70, 'n');
    std::unique_ptr<ZFontTypeResource> cut(ZFontTypeResource::create(longName.c_str(), longName.c_str()));
    EXPECT_EQ(std::string(cut->getFace()), longName.substr(0, 63));
    EXPECT_EQ(std::string(cut->getFile()), longName.substr(0, 63));
    EXPECT_EQ(std::string(cut->getName(), 35), longName.substr(0, 35));
    EXPECT_EQ(ZFontTypeResource::create(nullptr, "a.ttf"), nullptr);
    EXPECT_EQ(ZFontTypeResource::create("a", nullptr), nullptr);
}

TEST(ImageResource, NeedsPositiveFrameSizesAndCount) {
    EXPECT_EQ(ZImageResource::create("i", "Dial060.png", 0, 60, 2), nullptr);
    EXPECT_EQ(ZImageResource::create("i", "Dial060.png", 60, -1, 2), nullptr);
    EXPECT_EQ(ZImageResource::create("i", "Dial060.png", 60, 60, 0), nullptr);
    EXPECT_EQ(ZImageResource::create("i", nullptr, 60, 60, 2), nullptr);

    const std::string longFile(100, 'p');
    std::unique_ptr<ZImageResource> image(ZImageResource::create("dial060", longFile.c_str(), 60, 60, 2));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(std::string(image->getFile()), longFile.substr(0, 63));
    EXPECT_EQ(image->getImage(), 0);
    EXPECT_FALSE(image->isDrawable());
    // Without a renderer nothing happens.
    image->load(nullptr);
    ZCanvas noRenderer;
    noRenderer.init(nullptr, 10, 10);
    image->load(&noRenderer);
    EXPECT_EQ(image->getImage(), 0);
}

class ResourceListTest : public ::testing::Test {
protected:
    void SetUp() override {
        resources.add(ZColourResource::createRgb("prmcol", 200, 100, 50));
        resources.add(ZImageResource::create("dial060", "Dial060.png", 60, 60, 2));
        resources.add(ZFontResource::create("prmfont", 17.0, findColour(resources, "prmcol"), "ZFont1"));
        resources.add(ZColourResource::createRgb("Null", 1, 1, 1));
        resources.add(ZColourResource::createRgb("twice", 1, 1, 1));
        resources.add(ZImageResource::create("twice", "Dial060.png", 60, 60, 2));
        resources.add(nullptr);
        resources.add(ZColourResource::createRgb("abcdefghijklmnopqrstuvwxyz0123456789", 5, 6, 7));
    }

    PtrMgr<ZEditorResource> resources;
};

TEST_F(ResourceListTest, FindsByExactNameAndKind) {
    expectColour(findColour(resources, "prmcol"), 200, 100, 50, 255);
    EXPECT_EQ(findImage(resources, "dial060"), resources.get(1));
    ZFont* font = findFont(resources, "prmfont");
    ASSERT_NE(font, nullptr);
    expectColour(font->colour, 200, 100, 50, 255);

    // Resource names are case-sensitive.
    EXPECT_EQ(findImage(resources, "DIAL060"), nullptr);
    EXPECT_EQ(findImage(resources, "Dial060"), nullptr);
    // Of the wrong kind.
    EXPECT_EQ(findColour(resources, "dial060"), nullptr);
    EXPECT_EQ(findFont(resources, "prmcol"), nullptr);
    EXPECT_EQ(findImage(resources, "nothing"), nullptr);
    EXPECT_EQ(findImage(resources, nullptr), nullptr);
}

TEST_F(ResourceListTest, NullInAnyCaseMeansNone) {
    EXPECT_EQ(findColour(resources, "Null"), nullptr);
    EXPECT_EQ(findColour(resources, "NULL"), nullptr);
    EXPECT_EQ(findColour(resources, "nuLL"), nullptr);
    EXPECT_NE(findColour(resources, "Nul"), findColour(resources, "prmcol"));
    EXPECT_FALSE(isNullName("Nullx"));
    EXPECT_FALSE(isNullName(""));
}

TEST_F(ResourceListTest, OnlyTheFirstOfANameCounts) {
    EXPECT_NE(findColour(resources, "twice"), nullptr);
    // The image of the same name comes later and is never considered.
    EXPECT_EQ(findImage(resources, "twice"), nullptr);
}

TEST_F(ResourceListTest, NamesCompareOnTheirFirst35Characters) {
    expectColour(findColour(resources, "abcdefghijklmnopqrstuvwxyz012345678"), 5, 6, 7, 255);
    expectColour(findColour(resources, "abcdefghijklmnopqrstuvwxyz012345678-anything"), 5, 6, 7, 255);
    EXPECT_EQ(findColour(resources, "abcdefghijklmnopqrstuvwxyz01234567"), nullptr);
}

TEST_F(ResourceListTest, DefFontRulesThroughTheLookup) {
    EXPECT_EQ(ZFontResource::create("f", 12.0, findColour(resources, "Null"), "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", 12.0, findColour(resources, "dial060"), "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", 12.0, findColour(resources, "missing"), "ZFont1"), nullptr);
    EXPECT_EQ(ZFontResource::create("f", 0.0, findColour(resources, "prmcol"), "ZFont1"), nullptr);
    std::unique_ptr<ZFontResource> ok(ZFontResource::create("f", 12.0, findColour(resources, "prmcol"), "Z"));
    EXPECT_NE(ok, nullptr);
}

// Opaque pixel art in two frames, one above the other, so that a wrong frame
// or a shifted copy shows in every pixel.
Image stackedFrames() {
    Image image;
    image.width = 6;
    image.height = 8;
    image.rgba.resize(6 * 8 * 4);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 6; ++x) {
            unsigned char* p = &image.rgba[(y * 6 + x) * 4];
            p[0] = static_cast<unsigned char>(20 + x * 30);
            p[1] = static_cast<unsigned char>(10 + y * 25);
            p[2] = y < 4 ? 40 : 220;
            p[3] = 255;
        }
    }
    return image;
}

const char* stackedFile() {
    static const char* name = qolm_test::embedTestFile("GfxStacked6x8.png", qolm_test::encodePng(stackedFrames()));
    return name;
}

class ImageDrawTest : public qolm_test::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        canvas.init(gl.nvg(), gl.width(), gl.height());
        gl.clear(kBlack);
    }

    // The frame buffer at (x, y) against the image at (ix, iy), w x h.
    // Pixels are drawn over opaque black, so alpha darkens the colour.
    void expectCopied(const Pixels& pixels, int x, int y, const Image& image, int ix, int iy, int w, int h,
                      int tolerance) {
        int bad = 0;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const unsigned char* p = image.at(ix + i, iy + j);
                const Rgba got = pixels.at(x + i, y + j);
                const int want[3] = {p[0] * p[3] / 255, p[1] * p[3] / 255, p[2] * p[3] / 255};
                if (std::abs(got.r - want[0]) > tolerance || std::abs(got.g - want[1]) > tolerance ||
                    std::abs(got.b - want[2]) > tolerance || got.a != 255) {
                    if (++bad <= 3) {
                        ADD_FAILURE() << "pixel " << i << ", " << j << ": " << got << " instead of (" << want[0]
                                      << ", " << want[1] << ", " << want[2] << ", 255)";
                    }
                }
            }
        }
        EXPECT_EQ(bad, 0);
    }

    ZCanvas canvas;
};

TEST_F(ImageDrawTest, DialFrameOneIsTheRightHalfCopiedUnscaled) {
    int32_t size = 0;
    const unsigned char* png = findEmbeddedFile("Dial060.png", &size);
    ASSERT_NE(png, nullptr);
    const Image decoded = qolm_test::decodePng(png, size);
    ASSERT_EQ(decoded.width, 120);
    ASSERT_EQ(decoded.height, 60);

    std::unique_ptr<ZImageResource> dial(ZImageResource::create("dial060", "dial060.PNG", 60, 60, 2));
    dial->load(&canvas);
    ASSERT_GT(dial->getImage(), 0);
    EXPECT_EQ(dial->getImageWidth(), 120);
    EXPECT_EQ(dial->getImageHeight(), 60);
    EXPECT_EQ(dial->getColumns(), 2);
    EXPECT_EQ(dial->getRows(), 1);
    EXPECT_TRUE(dial->isDrawable());

    canvas.setRegion(30, 20, 60, 60);
    dial->drawFrame(&canvas, 0, 0, 1);
    canvas.resetRegion();
    const Pixels pixels = gl.readPixels();
    expectCopied(pixels, 30, 20, decoded, 60, 0, 60, 60, 2);
    // Nothing outside the frame's rectangle.
    const Pixels::Box ink = pixels.inkBox(kBlack, 0);
    EXPECT_GE(ink.x, 30);
    EXPECT_GE(ink.y, 20);
    EXPECT_LE(ink.x + ink.w, 90);
    EXPECT_LE(ink.y + ink.h, 80);
    dial->unload(&canvas);
}

TEST_F(ImageDrawTest, FramesStackedInAColumn) {
    const Image source = stackedFrames();
    std::unique_ptr<ZImageResource> strip(ZImageResource::create("s", stackedFile(), 6, 4, 2));
    strip->load(&canvas);
    ASSERT_TRUE(strip->isDrawable());
    EXPECT_EQ(strip->getColumns(), 1);
    EXPECT_EQ(strip->getRows(), 2);

    strip->drawFrame(&canvas, 10, 10, 0);
    strip->drawFrame(&canvas, 30, 10, 1);
    const Pixels pixels = gl.readPixels();
    expectCopied(pixels, 10, 10, source, 0, 0, 6, 4, 0);
    expectCopied(pixels, 30, 10, source, 0, 4, 6, 4, 0);
    strip->unload(&canvas);
}

TEST_F(ImageDrawTest, FramesOutsideTheDeclaredCountDrawNothing) {
    std::unique_ptr<ZImageResource> one(ZImageResource::create("one", stackedFile(), 6, 4, 1));
    one->load(&canvas);
    ASSERT_TRUE(one->isDrawable());
    one->drawFrame(&canvas, 10, 10, 1);
    one->drawFrame(&canvas, 10, 10, -1);
    one->drawFrame(&canvas, 10, 10, 1000000);
    one->drawFramePart(&canvas, 1, ZRect{0, 0, 6, 4}, ZPoint{10, 10});
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);
    one->drawFrame(&canvas, 10, 10, 0);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 6);
    one->unload(&canvas);
}

TEST_F(ImageDrawTest, TooFewFramesInTheImageIsLoadedButNeverDrawn) {
    std::unique_ptr<ZImageResource> three(ZImageResource::create("three", stackedFile(), 6, 4, 3));
    three->load(&canvas);
    EXPECT_GT(three->getImage(), 0);
    EXPECT_EQ(three->getRows(), 2);
    EXPECT_FALSE(three->isDrawable());
    three->drawFrame(&canvas, 0, 0, 0);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);
    three->unload(&canvas);

    // Frames wider than the image give no columns at all.
    std::unique_ptr<ZImageResource> wide(ZImageResource::create("wide", stackedFile(), 7, 4, 1));
    wide->load(&canvas);
    EXPECT_EQ(wide->getColumns(), 0);
    EXPECT_FALSE(wide->isDrawable());
    wide->unload(&canvas);
}

TEST_F(ImageDrawTest, MissingOrUndecodableFilesStayUnloaded) {
    std::unique_ptr<ZImageResource> missing(ZImageResource::create("m", "NoSuchFile.png", 6, 4, 1));
    missing->load(&canvas);
    EXPECT_EQ(missing->getImage(), 0);
    EXPECT_FALSE(missing->isDrawable());

    static const char* garbage = qolm_test::embedTestFile("GfxGarbage.png", {1, 2, 3, 4, 5, 6, 7, 8});
    std::unique_ptr<ZImageResource> broken(ZImageResource::create("b", garbage, 6, 4, 1));
    broken->load(&canvas);
    EXPECT_LE(broken->getImage(), 0);
    broken->drawFrame(&canvas, 0, 0, 0);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);
}

TEST_F(ImageDrawTest, FramePartIsCutToItsFrame) {
    const Image source = stackedFrames();
    std::unique_ptr<ZImageResource> strip(ZImageResource::create("s", stackedFile(), 6, 4, 2));
    strip->load(&canvas);

    canvas.setRegion(40, 40, 20, 20);
    strip->drawFramePart(&canvas, 1, ZRect{2, 1, 3, 2}, ZPoint{5, 6});
    canvas.resetRegion();
    Pixels pixels = gl.readPixels();
    expectCopied(pixels, 45, 46, source, 2, 5, 3, 2, 0);
    EXPECT_EQ(pixels.inkBox(kBlack, 0).w, 3);
    EXPECT_EQ(pixels.inkBox(kBlack, 0).h, 2);

    // Asking for more than frame 0 holds must not show frame 1 below it, and
    // a part starting above the frame moves the picture down accordingly.
    gl.clear(kBlack);
    strip->drawFramePart(&canvas, 0, ZRect{0, -2, 6, 20}, ZPoint{10, 10});
    pixels = gl.readPixels();
    const Pixels::Box ink = pixels.inkBox(kBlack, 0);
    EXPECT_EQ(ink.x, 10);
    EXPECT_EQ(ink.y, 12);
    EXPECT_EQ(ink.w, 6);
    EXPECT_EQ(ink.h, 4);
    expectCopied(pixels, 10, 12, source, 0, 0, 6, 4, 0);
    strip->unload(&canvas);
}

TEST_F(ImageDrawTest, UnloadDeletesTheHandleAndReloadDrawsAgain) {
    std::unique_ptr<ZImageResource> strip(ZImageResource::create("s", stackedFile(), 6, 4, 2));
    strip->load(&canvas);
    const int first = strip->getImage();
    ASSERT_GT(first, 0);
    strip->load(&canvas);
    EXPECT_EQ(strip->getImage(), first);

    strip->unload(&canvas);
    EXPECT_EQ(strip->getImage(), 0);
    EXPECT_EQ(strip->getImageWidth(), 6);
    EXPECT_FALSE(strip->isDrawable());
    int w = -1, h = -1;
    nvgImageSize(gl.nvg(), first, &w, &h);
    EXPECT_EQ(w, -1);  // the renderer no longer knows the handle
    strip->drawFrame(&canvas, 0, 0, 0);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 0);

    strip->load(&canvas);
    EXPECT_GT(strip->getImage(), 0);
    strip->drawFrame(&canvas, 0, 0, 0);
    EXPECT_EQ(gl.readPixels().inkBox(kBlack, 0).w, 6);
    strip->unload(&canvas);
}

TEST_F(ImageDrawTest, FontTypeRegistersTheEmbeddedFace) {
    std::unique_ptr<ZFontTypeResource> ttf(ZFontTypeResource::create("GfxFace", "zsans.ttf"));
    ttf->load(&canvas);
    EXPECT_GE(ttf->getFontId(), 0);
    EXPECT_EQ(nvgFindFont(gl.nvg(), "GfxFace"), ttf->getFontId());

    const unsigned char white[4] = {255, 255, 255, 255};
    ZFont font(20.0, white, "GfxFace");
    canvas.drawText("Qolm", 0, 0, 100, 40, &font, 1);
    EXPECT_GT(gl.readPixels().inkBox(kBlack, 64).w, 20);

    std::unique_ptr<ZFontTypeResource> missing(ZFontTypeResource::create("GfxMissing", "NoSuch.ttf"));
    missing->load(&canvas);
    EXPECT_LT(missing->getFontId(), 0);
    EXPECT_LT(nvgFindFont(gl.nvg(), "GfxMissing"), 0);
    std::unique_ptr<ZFontTypeResource> empty(ZFontTypeResource::create("", "ZSans.ttf"));
    empty->load(&canvas);
    EXPECT_LT(empty->getFontId(), 0);
}

}  // namespace
