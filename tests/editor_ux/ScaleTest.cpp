// The editor at the desktop's scale: Xft.dpi set through xrdb (or GDK_SCALE)
// gives the size effEditGetRect reports and the window gets, a picture drawn
// at that density from the 2x artwork (not a 1x picture enlarged), pointer
// positions mapped back to the skin; at 96 DPI, or with neither setting,
// exactly the picture the main build's editor shows.
#include "UxFixture.h"

#include "editor/DisplayScale.h"

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace ux;

namespace {

// The share of the picture's pixels that show the same as `reference`.
double sameShare(const Picture& shown, const Picture& reference, int tolerance = 6) {
    if (shown.width != reference.width || shown.height != reference.height || shown.empty()) return 0.0;
    const int differing = differingPixels(shown, reference, tolerance);
    return 1.0 - static_cast<double>(differing) / static_cast<double>(shown.pixels.size());
}

// The left half of a two-frame strip (the main page's background).
Picture firstFrame(const Picture& strip) { return edtest::crop(strip, 0, 0, strip.width / 2, strip.height); }

// Every pixel repeated twice in each direction: what a 1x picture
// enlarged without new detail looks like.
Picture doubled(const Picture& small) {
    Picture big;
    big.width = small.width * 2;
    big.height = small.height * 2;
    big.pixels.resize(static_cast<size_t>(big.width) * big.height);
    for (int y = 0; y < big.height; ++y)
        for (int x = 0; x < big.width; ++x) big.pixels[static_cast<size_t>(y) * big.width + x] = small.at(x / 2, y / 2);
    return big;
}

// Aligned 2 x 2 blocks whose four pixels are not all alike: none in a
// picture that was drawn at 1x and doubled.
double detailedBlocks(const Picture& picture) {
    int detailed = 0;
    int blocks = 0;
    for (int y = 0; y + 1 < picture.height; y += 2)
        for (int x = 0; x + 1 < picture.width; x += 2) {
            const edtest::Rgb a = picture.at(x, y);
            ++blocks;
            detailed += !(edtest::near(a, picture.at(x + 1, y), 2) && edtest::near(a, picture.at(x, y + 1), 2) &&
                          edtest::near(a, picture.at(x + 1, y + 1), 2));
        }
    return blocks ? static_cast<double>(detailed) / blocks : 0.0;
}

}  // namespace

TEST(DesktopScale, XftDpiInQuarterStepsThenGdkScaleThenOne) {
    using VRAX::scaleFromSettings;
    EXPECT_EQ(scaleFromSettings("Xft.dpi:\t192\n", nullptr), 2.0);
    EXPECT_EQ(scaleFromSettings("Xft.dpi: 96\n", "2"), 1.0) << "Xft.dpi comes before GDK_SCALE";
    EXPECT_EQ(scaleFromSettings("Xft.dpi: 120\n", nullptr), 1.25);
    EXPECT_EQ(scaleFromSettings("Xft.dpi: 144\n", nullptr), 1.5);
    EXPECT_EQ(scaleFromSettings("Xft.dpi: 130\n", nullptr), 1.25) << "130 / 96 = 1.35 is nearest to 1.25";
    EXPECT_EQ(scaleFromSettings("Xft.antialias: 1\nXft.dpi: 400\n", nullptr), 3.0);
    EXPECT_EQ(scaleFromSettings("Xft.dpi: 72\n", nullptr), 1.0);
    EXPECT_EQ(scaleFromSettings("*.dpi: 192\n", nullptr), 2.0) << "as the resource database matches it";
    EXPECT_EQ(scaleFromSettings("Xft.dpi: none\n", "2"), 2.0);
    EXPECT_EQ(scaleFromSettings("Xcursor.size: 48\n", "2"), 2.0);
    EXPECT_EQ(scaleFromSettings(nullptr, "5"), 3.0);
    EXPECT_EQ(scaleFromSettings(nullptr, "x"), 1.0);
    EXPECT_EQ(scaleFromSettings(nullptr, nullptr), 1.0);
}

class ScaleTest : public UxTest {
protected:
    void SetUp() override {
        UxTest::SetUp();
        if (IsSkipped()) return;
        if (std::system("xrdb -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xrdb is not installed";
        unsetenv("GDK_SCALE");
        clearResources();
    }
    void TearDown() override {
        if (display) clearResources();
        UxTest::TearDown();
    }

    // What xrdb -merge makes of one line, on the test's X server.
    static void setResource(const char* line) {
        FILE* xrdb = popen("xrdb -merge", "w");
        ASSERT_NE(xrdb, nullptr);
        std::fputs(line, xrdb);
        std::fputs("\n", xrdb);
        ASSERT_EQ(pclose(xrdb), 0);
    }
    static void clearResources() { ASSERT_EQ(std::system("xrdb -remove"), 0); }

    // A started instance and the size its effEditGetRect gives now.
    EditorSession* startInstance(int* width, int* height) {
        auto session = std::make_unique<EditorSession>(display, background);
        if (!session->start()) return nullptr;
        ERect* rect = nullptr;
        if (session->host->dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect) return nullptr;
        *width = rect->right - rect->left;
        *height = rect->bottom - rect->top;
        sessions.push_back(std::move(session));
        return sessions.back().get();
    }

    // The picture of Qolm's main page taken by this build's host tool, as
    // the README's screenshots are taken.
    Picture toolScreenshot(const std::string& environment = "") {
        const std::string out = "/tmp/qolm-ux-" + std::to_string(getpid()) + ".png";
        const std::string command = "env " + environment + " ASAN_OPTIONS=detect_leaks=0 " + QOLM_HOST_TOOL +
                                    " screenshot --plugin " + QOLM_PLUGIN_PATH + " " + out + " >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) return {};
        Picture picture = edtest::decodePngFile(out);
        std::remove(out.c_str());
        return picture;
    }
};

TEST_F(ScaleTest, At192DpiTheEditorIsTwiceAsLargeDrawnAtThatScaleAndMapsThePointerBack) {
    setResource("Xft.dpi: 192");
    int width = 0, height = 0;
    EditorSession* s = startInstance(&width, &height);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(width, 570);
    EXPECT_EQ(height, 390);
    s->makeParent(0, 0, width, height);
    ASSERT_EQ(s->host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(s->parentWindow())), 1);
    ASSERT_TRUE(s->waitUntil([&] { return s->window() != 0; }));
    XWindowAttributes attributes{};
    ASSERT_TRUE(s->waitUntil([&] {
        return XGetWindowAttributes(display, s->window(), &attributes) && attributes.map_state == IsViewable;
    }));
    EXPECT_EQ(attributes.width, 570);
    EXPECT_EQ(attributes.height, 390);

    const Picture twin = firstFrame(edtest::decodeEmbeddedPng("Qolm@2x.png"));
    ASSERT_EQ(twin.width, 570);
    Picture shown;
    ASSERT_TRUE(s->waitUntil([&] {
        shown = edtest::grab(display, s->window(), width, height);
        return sameShare(shown, twin) > 0.6;
    })) << "the page does not show the 2x background: " << sameShare(shown, twin);
    // Drawn at 2x: the 2x artwork matches better than the 1x one enlarged,
    // and there is detail below the size of a 1x pixel.
    const Picture enlarged = doubled(firstFrame(background));
    // (Exact comparisons: the backgrounds are smooth, so near colours say little.)
    EXPECT_GT(sameShare(shown, twin, 1), sameShare(shown, enlarged, 1) + 0.04)
        << sameShare(shown, twin, 1) << " vs " << sameShare(shown, enlarged, 1);
    const double detail = detailedBlocks(shown);
    EXPECT_GT(detail, 0.15) << "looks like a 1x picture enlarged";
    EXPECT_EQ(detailedBlocks(doubled(edtest::crop(shown, 0, 0, 285, 195))), 0.0) << "the measure itself is broken";

    // 20 screen pixels up at 2x move Cut Off as 10 pixels do at 1x.
    s->host->clearCalls();
    const int ends = s->host->countCalls(audioMasterEndEdit);
    pointer->drag(s->window(), 2 * kCutOffKnob.centreX(), 2 * kCutOffKnob.centreY(), 0, -20, 2);
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > ends; }));
    EXPECT_NEAR(s->parameter(kCutOff), 0.10f, 1e-6f);
    EXPECT_TRUE(isOneGesture(edits(*s), kCutOff)) << describe(s->host->calls());
    // And the Info tab, where it is drawn at 2x, switches the page.
    pointer->click(s->window(), 2 * kInfoTab.centreX(), 2 * kInfoTab.centreY());
    const Picture infoTwin =
        edtest::crop(edtest::decodeEmbeddedPng("Qolm@2x.png"), 570, 0, 570, 390);
    EXPECT_TRUE(s->waitUntil([&] {
        return sameShare(edtest::grab(display, s->window(), width, height), infoTwin) > 0.6;
    })) << "the click at 2x did not reach the tab";
}

TEST_F(ScaleTest, TheScaleComesFromXftDpiOrGdkScaleAtEachOpen) {
    struct Case {
        const char* resource;
        const char* gdkScale;
        int width, height;
    };
    const Case cases[] = {{"Xft.dpi: 120", nullptr, 356, 244},
                          {"Xft.dpi: 288", "1", 855, 585},
                          {nullptr, "2", 570, 390},
                          {"Xft.dpi: 96", "2", 285, 195}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.resource ? c.resource : "no Xft.dpi") + ", GDK_SCALE " +
                     (c.gdkScale ? c.gdkScale : "unset"));
        clearResources();
        if (c.resource) setResource(c.resource);
        if (c.gdkScale)
            setenv("GDK_SCALE", c.gdkScale, 1);
        else
            unsetenv("GDK_SCALE");
        int width = 0, height = 0;
        ASSERT_NE(startInstance(&width, &height), nullptr);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
    }
    unsetenv("GDK_SCALE");
}

TEST_F(ScaleTest, At96DpiOrWithNeitherSettingTheEditorIsTodaysPixelForPixel) {
    const Picture today = edtest::decodePngFile(std::string(QOLM_SOURCE_DIR) + "/tests/editor_ux/data/main-page1.png");
    ASSERT_EQ(today.width, kWidth);
    const Picture plain = toolScreenshot();
    EXPECT_EQ(differingPixels(plain, today), 0) << "without any setting";
    setResource("Xft.dpi: 96");
    EXPECT_EQ(differingPixels(toolScreenshot("GDK_SCALE=2"), today), 0) << "at Xft.dpi 96";
    clearResources();
    EXPECT_EQ(differingPixels(toolScreenshot("GDK_SCALE=1"), today), 0) << "with GDK_SCALE 1";
}
