// The factories of these control families as the skin builder calls them:
// which lines make a control, and with which bindings and numbers.
#include "controls/ZLabel.h"
#include "controls/ZMeter.h"
#include "controls/ZPeak.h"
#include "controls/ZPot.h"
#include "controls/ZSlide.h"
#include "support/ControlFixture.h"
#include "framework/ZEffectFeature.h"
#include "io/MemoryReader.h"
#include "skin/ResourceLookup.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZEditorSkinBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using VRAX::ZFilter;

// ZFilter publishes only doubles; the integer image meter needs an int.
class CountingEffect : public ZFilter {
public:
    explicit CountingEffect(audioMasterCallback host) : ZFilter(host) {
        features.add(new VRAX::ZTypedFeature<int32_t>("Count", &count));
    }
    int32_t count = 0;
};

class FactoryTest : public ::testing::Test {
protected:
    // Runs a few resource lines and one control line; the control it made.
    VRAX::ZEditorControl* build(const std::string& line) {
        MemoryReader input(
            "AddResource dotcol RGBColour 40 40 50\n"
            "AddResource valfont DefFont 12.4 dotcol ZSans\n"
            "AddResource dial060 PngResource Dial060.png 60 60 2\n"
            "Init 285 195 2\n"
            "AddControl 1 20 30 60 100 " +
            line + "\n");
        VRAX::ZEditorSkinBuilder builder(&effect);
        builder.setSkipReporter([](void* out, int, const char*, const char* why) { *static_cast<std::string*>(out) = why; },
                                &skipped);
        skipped.clear();
        skin.reset(builder.runScript(input));
        return skin && skin->controls.size() == 1 ? skin->controls.get(0) : nullptr;
    }

    CountingEffect effect{&qtest::HostStub::callback};
    std::unique_ptr<VRAX::ZEditorSkin> skin;
    std::string skipped;
};

TEST_F(FactoryTest, CreationRulesOfEachType) {
    const struct {
        const char* line;
        bool made;
    } cases[] = {
        {"ZBgPotDot \"cut off\" dial060 15 dotcol", true},  // parameter names ignore case
        {"ZBgPotDot Gain DIAL060 15 dotcol", false},        // resource names do not
        {"ZBgPotDot Gain dial060 0 dotcol", false},
        {"ZBgPotDot Volume dial060 15 dotcol", false},
        {"ZPotDot Res dotcol 12.5 dotcol", true},
        {"ZPotDot Gain Null 15 dotcol", false},
        {"ZPotDot Gain dotcol -3 dotcol", false},
        {"ZPotLine Gain dotcol 0 dotcol", true},  // its radius is not tested
        {"ZPotLine Gain dotcol 5 Null", false},
        {"ZImgPot res dial060", true},
        {"ZImgPot Res Null", false},
        {"ZSlide Gain dial060 dotcol 1 2 30 4", true},
        {"ZSlide Gain dial060 Null 1 2 30 4", false},
        {"ZLabel Centre \"x\" valfont 0", true},
        {"ZLabel Centre Gain Null 0", false},
        {"ZLabel Centre \"\" valfont 0", true},  // an empty text is a label too
        {"ZValue GAIN valfont", true},
        {"ZValue Gain Null", false},
        {"ZBgValue Res dial060 valfont", true},
        {"ZBgValue Res Null valfont", false},
        {"ZBarFracMeter Peak Sideways dotcol", true},  // an unknown orientation draws nothing
        {"ZBarFracMeter peak LeftToRight dotcol", false},  // feature names keep their case
        {"ZBarFracMeter Peak LeftToRight Null", false},
        {"ZImgFracMeter Peak dial060", true},
        {"ZImgFracMeter Count dial060", false},  // not a double
        {"ZImgMeter Count 0.5 -1 dial060", true},
        {"ZImgMeter Count 0 1 dial060", false},
        {"ZImgMeter Peak 1 0 dial060", false},  // not an int
        {"ZImgPeak Peak PeakReset dial060", true},
        {"ZImgPeak Peak peakreset dial060", false},
        {"ZImgPeak Peak PeakReset Null", false},
        {"ZTextPeak Peak PeakReset valfont valfont", true},
        {"ZTextPeak Peak PeakReset valfont Null", false},
        {"ZTextPeak Null PeakReset valfont valfont", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(build(c.line) != nullptr, c.made) << skipped;
    }
    build("ZPotDot Gain dotcol 0 dotcol");
    EXPECT_EQ(skipped, "radius not greater than 0");
    build("ZImgMeter Count -2 1 dial060");
    EXPECT_EQ(skipped, "scale not greater than 0");
}

TEST_F(FactoryTest, ArgumentsReachTheControl) {
    auto* pot = dynamic_cast<VRAX::ZBgPotDot*>(build("ZBgPotDot \"cut off\" dial060 15 dotcol"));
    ASSERT_NE(pot, nullptr);
    EXPECT_EQ(pot->parameterIndex, ZFilter::kCutOff);
    EXPECT_EQ(pot->image, VRAX::findImage(skin->resources, "dial060"));
    EXPECT_EQ(pot->radius, 15.0);
    EXPECT_EQ(pot->dotColour, VRAX::findColour(skin->resources, "dotcol"));
    EXPECT_EQ(pot->y, 30);
    EXPECT_EQ(pot->effect, &effect);

    auto* slide = dynamic_cast<VRAX::ZSlide*>(build("ZSlide Gain dial060 dotcol 1 2 30 4"));
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->travel, 40);
    EXPECT_EQ(slide->highlightY, 2);
    EXPECT_EQ(slide->highlightHeight, 4);

    auto* label = dynamic_cast<VRAX::ZLabel*>(build("ZLabel right \"VRAX Qolm ${PlugVer}\" valfont 15000"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->alignment, 2);
    EXPECT_STREQ(label->getDisplay(), "VRAX Qolm 3.1");
    EXPECT_EQ(label->refreshPeriod, 15000);

    auto* empty = dynamic_cast<VRAX::ZLabel*>(build("ZLabel Left \"\" valfont 0"));
    ASSERT_NE(empty, nullptr) << skipped;
    EXPECT_STREQ(empty->getDisplay(), "");
    EXPECT_TRUE(empty->fixed);

    auto* bar = dynamic_cast<VRAX::ZBarFracMeter*>(build("ZBarFracMeter Peak bottomtotop dotcol"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->value, effect.findFeatureValue<double>("Peak"));
    EXPECT_EQ(bar->orientation, 4);

    auto* meter = dynamic_cast<VRAX::ZImgMeter*>(build("ZImgMeter Count 0.5 -1 dial060"));
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(meter->value, &effect.count);
    EXPECT_EQ(meter->offset, -1.0);

    auto* lamp = dynamic_cast<VRAX::ZImgPeak*>(build("ZImgPeak Peak PeakReset dial060"));
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->commandIndex, ZFilter::kPeakReset);
}

}  // namespace
