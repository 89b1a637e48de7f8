// The editor artwork: file format, sizes and frame layout as the skin
// declares them, and the few properties of the pictures that the controls
// drawn over them depend on (a light knob face under the dark dot, dark
// ground under light text, distinct frames).

#include "ResourceFiles.h"
#include "SkinScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>

using namespace restest;

namespace {

struct ImageSpec {
    const char* file;
    uint32_t width, height;
    int bits;
    int frameWidth, frames;
};

const ImageSpec kImages[] = {
    {"Qolm.png", 570, 195, 8, 285, 2},
    {"QolmTitle.png", 150, 55, 8, 150, 1},
    {"Dial060.png", 120, 60, 8, 60, 2},
    {"RedLed.png", 30, 15, 8, 15, 2},
    {"ValBg60x15.png", 60, 15, 4, 60, 1},
    {"TabTopMain50x20.png", 150, 20, 8, 50, 3},
    {"TabTopInfo50x20.png", 150, 20, 8, 50, 3},
    {"Donate85x30.png", 85, 30, 8, 85, 1},
};

Picture load(const std::string& file) {
    Picture p;
    EXPECT_TRUE(decodePng(readResource(file), &p)) << file;
    return p;
}

// Mean over a frame of the per-channel difference between two frames.
double frameDifference(const Picture& p, int frameWidth, int a, int b) {
    double sum = 0.0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < frameWidth; ++x) {
            const Rgba u = p.at(a * frameWidth + x, y), v = p.at(b * frameWidth + x, y);
            sum += std::abs(u.r - v.r) + std::abs(u.g - v.g) + std::abs(u.b - v.b) + std::abs(u.a - v.a);
        }
    return sum / (4.0 * frameWidth * p.height);
}

}  // namespace

TEST(ResourceImages, AreNonInterlacedPalettePngsWithValidChunks) {
    for (const ImageSpec& image : kImages) {
        SCOPED_TRACE(image.file);
        const std::vector<uint8_t> bytes = readResource(image.file);
        ASSERT_FALSE(bytes.empty());
        const PngHeader h = readPngHeader(bytes);
        ASSERT_TRUE(h.signatureOk);
        EXPECT_FALSE(h.truncated);
        ASSERT_FALSE(h.chunks.empty());
        EXPECT_EQ(h.chunks.front().type, "IHDR");
        EXPECT_EQ(h.chunks.front().length, 13u);
        EXPECT_EQ(h.chunks.back().type, "IEND");
        EXPECT_EQ(h.width, image.width);
        EXPECT_EQ(h.height, image.height);
        EXPECT_EQ(h.bitDepth, image.bits);
        EXPECT_EQ(h.colourType, 3);
        EXPECT_EQ(h.compression, 0);
        EXPECT_EQ(h.filter, 0);
        EXPECT_EQ(h.interlace, 0);
        EXPECT_GE(h.paletteEntries, 1u);
        EXPECT_LE(h.paletteEntries, 1u << image.bits);
        EXPECT_LE(h.alphaEntries, h.paletteEntries);
        // PLTE and tRNS must precede the image data, tRNS after PLTE.
        int plte = -1, trns = -1, idat = -1;
        for (size_t i = 0; i < h.chunks.size(); ++i) {
            EXPECT_TRUE(h.chunks[i].crcOk) << h.chunks[i].type;
            if (h.chunks[i].type == "PLTE" && plte < 0) plte = int(i);
            if (h.chunks[i].type == "tRNS" && trns < 0) trns = int(i);
            if (h.chunks[i].type == "IDAT" && idat < 0) idat = int(i);
        }
        ASSERT_GE(plte, 0);
        ASSERT_GE(idat, 0);
        EXPECT_LT(plte, idat);
        if (trns >= 0) {
            EXPECT_GT(trns, plte);
            EXPECT_LT(trns, idat);
        }
    }
}

TEST(ResourceImages, DecodeWithStbImageAtTheirSize) {
    for (const ImageSpec& image : kImages) {
        SCOPED_TRACE(image.file);
        const std::vector<uint8_t> bytes = readResource(image.file);
        int w = 0, h = 0, n = 0;
        ASSERT_TRUE(pngInfo(bytes, &w, &h, &n));
        EXPECT_EQ(uint32_t(w), image.width);
        EXPECT_EQ(uint32_t(h), image.height);
        Picture p;
        ASSERT_TRUE(decodePng(bytes, &p));
        EXPECT_EQ(uint32_t(p.width), image.width);
        EXPECT_EQ(uint32_t(p.height), image.height);
        EXPECT_EQ(p.width, image.frameWidth * image.frames);
    }
}

TEST(ResourceImages, SkinDeclarationsTileEachImageInOneRow) {
    const SkinScript skin = SkinScript::load();
    std::set<std::string> declared;
    for (const auto& [name, img] : skin.images) {
        SCOPED_TRACE(name);
        declared.insert(img.file);
        int w = 0, h = 0, n = 0;
        ASSERT_TRUE(pngInfo(readResource(img.file), &w, &h, &n)) << img.file;
        EXPECT_EQ(w, img.frameWidth * img.frames);
        EXPECT_EQ(h, img.frameHeight);
    }
    std::set<std::string> expected;
    for (const ImageSpec& image : kImages) expected.insert(image.file);
    EXPECT_EQ(declared, expected);
}

TEST(ResourceImages, PageBackgroundsAreOpaque) {
    // The skin clears to black before it draws a page; any see-through pixel
    // would show that black.
    const Picture bg = load("Qolm.png");
    int seeThrough = 0;
    for (int y = 0; y < bg.height; ++y)
        for (int x = 0; x < bg.width; ++x) seeThrough += bg.at(x, y).a != 255;
    EXPECT_EQ(seeThrough, 0);
}

TEST(ResourceImages, KnobFaceIsLightWhereverTheDotCanBe) {
    // The pot draws a dot of radius 2 at distance 15 from the centre along a
    // 270 degree arc, in the skin's dotcol, over either frame.
    const SkinScript skin = SkinScript::load();
    ASSERT_TRUE(skin.colours.count("dotcol"));
    const Rgba dot = skin.colours.at("dotcol");
    const Picture dial = load("Dial060.png");
    ASSERT_EQ(dial.width, 120);
    double worst = 21.0;
    for (int frame = 0; frame < 2; ++frame) {
        for (int step = 0; step <= 100; ++step) {
            const double theta = step / 100.0 * 1.5 * 3.141592653589793 + 0.7853981633974483;
            const double cx = 30.0 - 15.0 * std::sin(theta), cy = 30.0 + 15.0 * std::cos(theta);
            for (int y = int(cy) - 3; y <= int(cy) + 3; ++y)
                for (int x = int(cx) - 3; x <= int(cx) + 3; ++x) {
                    if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > 2.5) continue;
                    const Rgba p = dial.at(frame * 60 + x, y);
                    EXPECT_EQ(p.a, 255) << "frame " << frame << " at " << x << "," << y;
                    worst = std::min(worst, contrast(p, dot));
                }
        }
    }
    EXPECT_GE(worst, 4.5);
    std::printf("knob face against the dot: contrast at least %.2f\n", worst);
}

TEST(ResourceImages, TextSitsOnGroundDarkEnoughForIt) {
    // Every text control of the skin: what lies under its rectangle (the
    // page background, or its own field image) against its font's colour.
    const SkinScript skin = SkinScript::load();
    const Picture bg = load("Qolm.png");
    int checked = 0;
    for (const SkinControl& c : skin.controls) {
        std::string fontName;
        const Picture* ground = &bg;
        Picture field;
        int originX = (c.page - 1) * 285 + c.x, originY = c.y;
        if (c.type == "ZLabel" && c.args.size() >= 3) {
            fontName = c.args[2];
        } else if (c.type == "ZTextPeak" && c.args.size() >= 3) {
            fontName = c.args[2];
        } else if (c.type == "ZBgValue" && c.args.size() >= 3) {
            fontName = c.args[2];
            ASSERT_TRUE(skin.images.count(c.args[1]));
            field = load(skin.images.at(c.args[1]).file);
            ground = &field;
            originX = 0;
            originY = 0;
        } else {
            continue;
        }
        SCOPED_TRACE(c.type + " at " + std::to_string(c.x) + "," + std::to_string(c.y));
        ASSERT_GE(c.page, 1);
        ASSERT_TRUE(skin.fonts.count(fontName));
        const Rgba ink = skin.colours.at(skin.fonts.at(fontName).colour);
        double worst = 21.0;
        // The field's outer pixel ring is its frame; text never reaches it.
        const int inset = ground == &field ? 1 : 0;
        for (int y = inset; y < c.height - inset; ++y)
            for (int x = inset; x < c.width - inset; ++x) {
                const Rgba p = ground->at(originX + x, originY + y);
                if (p.a < 255) continue;
                worst = std::min(worst, contrast(p, ink));
            }
        EXPECT_GE(worst, 4.5);
        ++checked;
    }
    EXPECT_EQ(checked, 11);  // 3 captions, 3 values, 1 peak readout, 4 information lines
}

TEST(ResourceImages, HeldKnobFrameShowsTheHold) {
    const Picture dial = load("Dial060.png");
    EXPECT_GT(frameDifference(dial, 60, 0, 1), 2.0);
}

TEST(ResourceImages, ClipLampIsDarkThenLitRed) {
    const Picture led = load("RedLed.png");
    const Rgba off = led.at(7, 7), on = led.at(15 + 7, 7);
    EXPECT_EQ(off.a, 255);
    EXPECT_EQ(on.a, 255);
    EXPECT_LT(luminance(off), 0.05);
    EXPECT_GT(on.r, 200);
    EXPECT_GT(luminance(on), 4.0 * luminance(off));
    // Lit means red: the lens ring around the hot centre.
    const Rgba ring = led.at(15 + 7, 10);
    EXPECT_GT(ring.r, 2 * ring.g);
    EXPECT_GT(ring.r, 2 * ring.b);
}

TEST(ResourceImages, TabFramesShowThreeDistinctStates) {
    for (const char* file : {"TabTopMain50x20.png", "TabTopInfo50x20.png"}) {
        SCOPED_TRACE(file);
        const Picture tab = load(file);
        EXPECT_GT(frameDifference(tab, 50, 0, 1), 3.0);
        EXPECT_GT(frameDifference(tab, 50, 0, 2), 3.0);
        EXPECT_GT(frameDifference(tab, 50, 1, 2), 3.0);
    }
    // The two strips carry different words.
    const Picture a = load("TabTopMain50x20.png"), b = load("TabTopInfo50x20.png");
    double diff = 0.0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 150; ++x) diff += std::abs(a.at(x, y).g - b.at(x, y).g);
    EXPECT_GT(diff / 3000.0, 2.0);
}

TEST(ResourceImages, SupportButtonIsOrange) {
    const Picture btn = load("Donate85x30.png");
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = 4; y < 26; ++y)
        for (int x = 4; x < 81; ++x) {
            const Rgba p = btn.at(x, y);
            if (p.a < 255) continue;
            r += p.r;
            g += p.g;
            b += p.b;
            ++n;
        }
    ASSERT_GT(n, 1000);
    r /= n;
    g /= n;
    b /= n;
    EXPECT_GT(r, 200.0);
    EXPECT_GT(r, g + 40.0);
    EXPECT_GT(g, b + 40.0);
}
