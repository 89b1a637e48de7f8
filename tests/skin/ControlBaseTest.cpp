// The control base: what it copies from its placement and how it reaches
// the effect's parameters, commands and host.
#include "SkinTestSupport.h"

#include "skin/ZCondition.h"
#include "skin/ZEditorCheck.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace VRAX;
using skintest::placement;
using skintest::RecordingHost;
using skintest::TestControl;
using skintest::TestEffect;

TEST(ControlBase, TakesItsRectanglePageAndAPrivateCopyOfTheConditions) {
    TestEffect effect;
    ZEditorSkin skin(&effect);
    ZOSCheck check(true);
    ZCondition condition(&check, true);
    ZConditionSet set;
    set.add(&condition);
    set.inverted = true;
    TestControl control(placement(&skin, 2, -5, 7, 30, 0, &set));
    EXPECT_EQ(control.x, -5);
    EXPECT_EQ(control.y, 7);
    EXPECT_EQ(control.width, 30);
    EXPECT_EQ(control.height, 0);
    EXPECT_EQ(control.page, 2);
    EXPECT_EQ(control.effect, &effect);
    EXPECT_EQ(control.skin, &skin);
    EXPECT_TRUE(control.dirty);
    EXPECT_FALSE(control.drawn);
    EXPECT_EQ(control.getName()[0], 0);
    ASSERT_EQ(control.conditions.size(), 1);
    EXPECT_EQ(control.conditions.get(0), &condition);
    EXPECT_TRUE(control.conditionsInverted);
    // The condition is false (negated true), so the inverted set holds.
    EXPECT_TRUE(control.conditionsHold());

    set.clear();
    set.add(nullptr);
    EXPECT_EQ(control.conditions.size(), 1);
    EXPECT_EQ(control.conditions.get(0), &condition);

    TestControl plain(placement(nullptr, 0, 0, 0, 1, 1));
    EXPECT_TRUE(plain.conditions.isEmpty());
    EXPECT_FALSE(plain.conditionsInverted);
    EXPECT_TRUE(plain.conditionsHold());
    // Without a skin the redraw and erase paths only change the flags.
    plain.drawn = true;
    plain.erase(nullptr);
    plain.requestRedraw();
    EXPECT_TRUE(plain.dirty);
}

TEST(ControlBase, ReadsTheCurrentProgramsValuesAndTexts) {
    TestEffect effect;
    ZEditorSkin skin(&effect);
    TestControl control(placement(&skin, 1, 0, 0, 10, 10));
    effect.setParameterValue(0, 0.7512);
    EXPECT_DOUBLE_EQ(control.storedValue(0), 0.7512);
    // Gain moves in steps of 0.1 dB: the shown value is the stepped one.
    EXPECT_NEAR(control.shownValue(0), 0.75, 1e-12);
    EXPECT_STREQ(control.displayText(0), "6.0 dB");
    EXPECT_DOUBLE_EQ(control.defaultValue(0), 0.5);
    EXPECT_DOUBLE_EQ(control.defaultValue(1), 0.0);

    effect.setProgram(3);
    EXPECT_DOUBLE_EQ(control.storedValue(0), 0.5);
    EXPECT_STREQ(control.displayText(0), "0.0 dB");
}

TEST(ControlBase, UnboundOrOutOfRangeIndexesReadNothingAndSendNothing) {
    RecordingHost host;
    TestEffect effect(&RecordingHost::callback);
    ZEditorSkin skin(&effect);
    TestControl control(placement(&skin, 1, 0, 0, 10, 10));
    for (int32_t index : {-1, 3, 1000, -2147483647 - 1}) {
        EXPECT_EQ(control.storedValue(index), 0.0);
        EXPECT_EQ(control.shownValue(index), 0.0);
        EXPECT_EQ(control.defaultValue(index), 0.0);
        ASSERT_NE(control.displayText(index), nullptr);
        EXPECT_STREQ(control.displayText(index), "");
        control.reportParameter(index);
        control.setParameterValue(index, 0.3);
        EXPECT_FALSE(control.beginEdit(index));
        EXPECT_FALSE(control.endEdit(index));
    }
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(effect.changed.empty());
    EXPECT_EQ(effect.applies, 0);

    TestControl detached(placement(nullptr, 1, 0, 0, 10, 10));
    EXPECT_EQ(detached.storedValue(0), 0.0);
    EXPECT_STREQ(detached.displayText(0), "");
    detached.reportParameter(0);
    detached.setParameterValue(0, 0.5);
    detached.executeCommand(3, true, true);
    EXPECT_FALSE(detached.beginEdit(0));
}

TEST(ControlBase, SettingAValueRunsTheEffectsStepsWithTheFullDouble) {
    TestEffect effect;
    ZEditorSkin skin(&effect);
    TestControl control(placement(&skin, 1, 0, 0, 10, 10));
    const double value = 0.1 + 1e-12;  // not representable as a float
    control.setParameterValue(2, value);
    EXPECT_EQ(effect.getStoredValue(2), value);
    EXPECT_NE(static_cast<double>(static_cast<float>(value)), value);
    EXPECT_STREQ(control.displayText(2), "10 %");
    EXPECT_EQ(effect.changed, (std::vector<int32_t>{2}));
    EXPECT_EQ(effect.applies, 1);
    EXPECT_FALSE(effect.lastJump);
}

TEST(ControlBase, ReportsAndEditsGoToTheHost) {
    RecordingHost host;
    TestEffect effect(&RecordingHost::callback);
    ZEditorSkin skin(&effect);
    TestControl control(placement(&skin, 1, 0, 0, 10, 10));
    host.calls.clear();

    effect.setParameterValue(1, 0.25);
    EXPECT_TRUE(control.beginEdit(1));
    control.reportParameter(1);
    EXPECT_TRUE(control.endEdit(1));
    ASSERT_EQ(host.calls.size(), 3u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(host.calls[0].index, 1);
    EXPECT_EQ(host.calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(host.calls[1].index, 1);
    EXPECT_EQ(host.calls[1].value, 0.25f);
    EXPECT_EQ(host.calls[2].opcode, audioMasterEndEdit);

    // The report carries the float the host would read back.
    effect.setParameterValue(0, 1.0 / 3.0);
    control.reportParameter(0);
    EXPECT_EQ(host.calls.back().value, effect.getParameter(0));

    // No host: nothing to report to, and nothing breaks.
    TestEffect alone;
    ZEditorSkin otherSkin(&alone);
    TestControl lonely(placement(&otherSkin, 1, 0, 0, 10, 10));
    lonely.reportParameter(0);
    EXPECT_EQ(host.calls.size(), 4u);
}

TEST(ControlBase, CommandsReachTheEffectWithTheirFlags) {
    TestEffect effect;
    ZEditorSkin skin(&effect);
    TestControl control(placement(&skin, 1, 0, 0, 10, 10));
    control.executeCommand(3, true, false);
    EXPECT_EQ(effect.commandsRun, (std::vector<int32_t>{3}));
    EXPECT_TRUE(effect.lastShift);
    EXPECT_FALSE(effect.lastCtrl);
}

TEST(ControlBase, ClockMovesForwardInMilliseconds) {
    const uint32_t before = static_cast<uint32_t>(TestControl::nowMs());
    timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
    const uint32_t elapsed = static_cast<uint32_t>(TestControl::nowMs()) - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 2000u);
}
