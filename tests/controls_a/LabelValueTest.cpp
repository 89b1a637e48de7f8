// Labels (fixed texts and texts with variables refreshed by period) and the
// parameter value displays' redraw rule.
#include "controls/ZLabel.h"
#include "controls/ZValue.h"
#include "support/ControlFixture.h"
#include "skin/ZFont.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace {

using VRAX::ZFilter;

// Counts how often a label has its text expanded.
class CountingFilter : public ZFilter {
public:
    using ZFilter::ZFilter;
    void expandVariables(char* out, int32_t size, const char* text) override {
        ++expansions;
        ZFilter::expandVariables(out, size, text);
    }
    int expansions = 0;
};

// The clock's count a while before or after another, wrapping as it does.
int32_t shifted(int32_t ms, int64_t by) {
    return static_cast<int32_t>(static_cast<uint32_t>(ms) + static_cast<uint32_t>(by));
}

// Gives the tests the label's clock.
struct Label : VRAX::ZLabel {
    using VRAX::ZLabel::ZLabel;
    using VRAX::ZEditorControl::nowMs;
};

class LabelTest : public ::testing::Test {
protected:
    VRAX::ControlPlacement place() {
        VRAX::ControlPlacement p;
        p.width = 245;
        p.height = 20;
        p.page = 2;
        p.effect = &effect;
        return p;
    }
    // A label that a drawing pass has just shown.
    static void show(Label& label) {
        label.invalidate();
        ASSERT_TRUE(label.paint(nullptr));
    }

    CountingFilter effect{&qtest::HostStub::callback};
    VRAX::ZFont font;
};

TEST_F(LabelTest, VariablesWithoutPeriodAreExpandedOnceAndNeverAskAgain) {
    Label label(place(), 0, "Build ~ ${PlugBuild} ~ ${Platform} ~ ${BuildDate}", &font, 0);
    EXPECT_EQ(effect.expansions, 1);
    EXPECT_TRUE(label.fixed);
    const std::string expected = std::string("Build ~ 3.1 ~ ") + effect.platformText() + " ~ 09 Sep 2024";
    EXPECT_EQ(label.getDisplay(), expected);
    EXPECT_STREQ(label.getSource(), "Build ~ ${PlugBuild} ~ ${Platform} ~ ${BuildDate}");

    show(label);
    label.lastDrawn = shifted(label.nowMs(), -1000000);  // long ago
    EXPECT_FALSE(label.needsRedraw());
    EXPECT_FALSE(label.paint(nullptr));
    // A page change draws it again, with the text it already has.
    show(label);
    EXPECT_EQ(effect.expansions, 1);
}

TEST_F(LabelTest, PeriodicLabelAsksOnlyAfterThePeriodHasPassed) {
    Label label(place(), 0, "${SRate} Hz", &font, 15000);
    EXPECT_FALSE(label.fixed);
    EXPECT_EQ(label.refreshPeriod, 15000);
    EXPECT_EQ(effect.expansions, 1);
    show(label);
    EXPECT_EQ(effect.expansions, 2);  // every draw reads the variables again
    EXPECT_NEAR(label.lastDrawn, label.nowMs(), 1000);
    EXPECT_FALSE(label.needsRedraw());

    const int32_t now = label.nowMs();
    label.lastDrawn = shifted(now, -14000);
    EXPECT_FALSE(label.needsRedraw());
    label.lastDrawn = shifted(now, -16000);
    EXPECT_TRUE(label.needsRedraw());
    // A clock behind the last draw has wrapped round: due at once.
    label.lastDrawn = shifted(now, 60000);
    EXPECT_TRUE(label.needsRedraw());
    // Far apart in 32 bits (the difference does not fit): still due, no overflow.
    label.lastDrawn = INT32_MIN;
    EXPECT_TRUE(label.needsRedraw());

    effect.setSampleRate(48000.0f);
    ASSERT_TRUE(label.paint(nullptr));
    EXPECT_STREQ(label.getDisplay(), "48000 Hz");
    EXPECT_FALSE(label.needsRedraw());
}

TEST_F(LabelTest, TextWithoutDollarIgnoresItsPeriod) {
    Label label(place(), 1, "Cut Off", &font, 15000);
    EXPECT_TRUE(label.fixed);
    EXPECT_EQ(label.refreshPeriod, 0);
    EXPECT_EQ(effect.expansions, 0);
    EXPECT_STREQ(label.getDisplay(), "Cut Off");
    show(label);
    label.lastDrawn = shifted(label.nowMs(), -20000);
    EXPECT_FALSE(label.needsRedraw());
    EXPECT_EQ(effect.expansions, 0);
}

TEST_F(LabelTest, ExpansionStaysInsideItsBuffer) {
    std::string text(600, 'x');
    text += "${SRate}";
    Label label(place(), 0, text.c_str(), &font, 0);
    EXPECT_EQ(std::strlen(label.getDisplay()), static_cast<size_t>(VRAX::ZLabel::kExpandedSize - 1));
    EXPECT_EQ(label.getSource(), text);
}

// ---------------------------------------------------------------------------
// ZValue, ZBgValue

class ValueTest : public ctl::ControlTest {
protected:
    double cutOffAt(double hertz) const { return effect->getParameterObject(ZFilter::kCutOff)->toNormalised(hertz); }
    VRAX::ZFont font;
};

TEST_F(ValueTest, ShownChangeBelowTheThresholdIsNotRedrawn) {
    VRAX::ZValue value(place(0, 0, 60, 15), ZFilter::kCutOff, &font);
    VRAX::ZBgValue bgValue(place(0, 20, 60, 15), ZFilter::kCutOff, nullptr, &font);
    // Near the top of "Cut Off" one hertz is about 0.0000072 of the range.
    setValue(ZFilter::kCutOff, cutOffAt(19999.0));
    ASSERT_TRUE(value.paint(nullptr));
    ASSERT_TRUE(bgValue.paint(nullptr));
    EXPECT_EQ(value.lastValue, shown(ZFilter::kCutOff));
    EXPECT_FALSE(value.needsRedraw());

    setValue(ZFilter::kCutOff, cutOffAt(19998.0));
    EXPECT_STREQ(effect->getDisplayText(ZFilter::kCutOff), "19998 Hz");
    // The text changed, the shown value by less than 0.00001: left as it is.
    EXPECT_FALSE(value.needsRedraw());
    EXPECT_FALSE(bgValue.needsRedraw());

    setValue(ZFilter::kCutOff, cutOffAt(19997.0));
    EXPECT_TRUE(value.needsRedraw());
    EXPECT_TRUE(bgValue.needsRedraw());
    // Back where it was drawn: nothing to do again.
    setValue(ZFilter::kCutOff, cutOffAt(19999.0));
    EXPECT_FALSE(value.needsRedraw());
}

}  // namespace
