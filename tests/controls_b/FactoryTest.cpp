// The factories of these control families as the skin builder calls them:
// which lines make a control, and what the control is given.
#include "controls/ZCommand.h"
#include "controls/ZPageSel.h"
#include "controls/ZRadio.h"
#include "controls/ZUrl.h"
#include "controls/ZWave.h"
#include "support/ControlFixture.h"
#include "io/MemoryReader.h"
#include "skin/ResourceLookup.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZEditorSkinBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using VRAX::ZFilter;

class FactoryTest : public ctl::ControlTest {
protected:
    // A few resource lines and one control line; the control it made.
    VRAX::ZEditorControl* build(const std::string& line) {
        MemoryReader input(
            "AddResource red RGBColour 255 0 0\n"
            "AddResource green RGBColour 0 255 0\n"
            "AddResource tint RGBAColour 255 255 255 64\n"
            "AddResource valfont DefFont 12.4 red ZSans\n"
            "AddResource tab PngResource TabTopMain50x20.png 50 20 3\n"
            "Init 285 195 2\n"
            "AddControl 0 20 30 60 40 " +
            line + "\n");
        VRAX::ZEditorSkinBuilder builder(effect.get());
        builder.setSkipReporter(
            [](void* out, int, const char*, const char* why) { *static_cast<std::string*>(out) = why; }, &skipped);
        skipped.clear();
        skin.reset(builder.runScript(input));
        return skin && skin->controls.size() == 1 ? skin->controls.get(0) : nullptr;
    }
    void TearDown() override {
        skin.reset();
        ControlTest::TearDown();
    }

    std::unique_ptr<VRAX::ZEditorSkin> skin;
    std::string skipped;
};

TEST_F(FactoryTest, CreationRulesOfEachType) {
    const struct {
        const char* line;
        bool made;
    } cases[] = {
        {"ZImgButton gain tab", true},
        {"ZImgButton Volume tab", false},
        {"ZImgButton Gain Null", false},
        {"ZImgCommand Blink tab", true},
        {"ZImgCommand blink tab", false},  // command names keep their case
        {"ZImgCommand PeakReset Null", false},
        {"ZImgSwitch Res tab", true},
        {"ZImgSwitch Res TAB", false},
        {"ZHlSwitch Res 1 2 10 10 red green tint", true},
        {"ZHlSwitch Res 1 2 10 10 red green Null", false},
        {"ZHlSwitch Nope 1 2 10 10 red green tint", false},
        {"ZImgRadio Res 0 2 tab", true},
        {"ZImgRadio Res 2 2 tab", true},
        {"ZImgRadio Res 2 1 tab", false},
        {"ZImgRadio Res -1 2 tab", false},
        {"ZImgRadio Res 0 2 Null", false},
        {"ZHlRadio Res 2 1 0 0 10 10 red green tint", true},  // item numbers are not checked
        {"ZHlRadio Res 0 -1 0 0 10 10 red green tint", true},
        {"ZHlRadio Res 0 2 0 0 10 10 red Null tint", false},
        {"ZImgPageSel tab 1", true},
        {"ZImgPageSel tab 0", false},
        {"ZImgPageSel Null 2", false},
        {"ZPageSelHlt 2 tint", true},
        {"ZPageSelHlt 0 tint", false},
        {"ZPageSelHlt 1 Null", false},
        {"ZImg tab", true},
        {"ZImg Null", false},
        {"ZUrl https://example.org/", true},
        {"ZImgUrl tab https://example.org/", true},
        {"ZImgUrl Null https://example.org/", false},
        {"ZWave Scope Null Null red green tint", true},
        {"ZWave Scope Level null red green tint", true},
        {"ZWave Level Null Null red green tint", false},  // not a history
        {"ZWave Scope Null Null red green Null", false},
        {"ZZoomWave Scope Null Null red green tint red green tint valfont", true},
        {"ZZoomWave Scope Null Null red green tint red green tint Null", false},
        {"ZZoomWave Scope Null Null red green tint red Null tint valfont", false},
        // Base classes are not control types.
        {"ZButton Gain tab", false},
        {"ZSwitch Res tab", false},
        {"ZRadio Res 0 1 tab", false},
        {"ZCommand Blink tab", false},
        {"ZPageSel tab 1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(build(c.line) != nullptr, c.made) << skipped;
    }
    build("ZImgRadio Res 2 1 tab");
    EXPECT_EQ(skipped, "last item less than item");
    build("ZImgRadio Res -1 2 tab");
    EXPECT_EQ(skipped, "item less than 0");
    build("ZImgPageSel tab 0");
    EXPECT_EQ(skipped, "page less than 1");
}

TEST_F(FactoryTest, ArgumentsReachTheControl) {
    auto* radio = dynamic_cast<VRAX::ZImgRadio*>(build("ZImgRadio res 1 3 tab"));
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->parameterIndex, ZFilter::kRes);
    EXPECT_EQ(radio->item, 1);
    EXPECT_EQ(radio->lastItem, 3);
    EXPECT_EQ(radio->centre, 3.0 / 8.0);
    EXPECT_EQ(radio->strip.image, VRAX::findImage(skin->resources, "tab"));

    auto* wave = dynamic_cast<VRAX::ZWave*>(build("ZWave Scope Null Level red green tint"));
    ASSERT_NE(wave, nullptr);
    EXPECT_EQ(wave->history, &effect->scope);
    EXPECT_EQ(wave->level1, nullptr);
    EXPECT_EQ(wave->level2, &effect->level);
    EXPECT_EQ(wave->middle, 20);

    auto* zoomed = dynamic_cast<VRAX::ZZoomWave*>(build("ZZoomWave Scope Level Null red green tint red green tint valfont"));
    ASSERT_NE(zoomed, nullptr);
    EXPECT_EQ(zoomed->level1, &effect->level);
    EXPECT_EQ(zoomed->font, VRAX::findFont(skin->resources, "valfont"));
    EXPECT_EQ(zoomed->knobX, 1 + 10);  // track 19, middle rounded
    EXPECT_EQ(zoomed->middle, 12);
}

}  // namespace
