// Momentary buttons and command buttons: what the host and the effect see
// for a press and a release, modifiers carried from the press, and gestures
// that are cancelled.
#include "controls/ZButton.h"
#include "controls/ZCommand.h"
#include "support/ControlFixture.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

namespace {

using ctl::automate;
using ctl::CommandRun;
using ctl::hostCalls;
using ctl::HostCall;
using ctl::TestEffect;
using VRAX::ZFilter;
using Calls = std::vector<HostCall>;

class ButtonTest : public ctl::ControlTest {};

TEST_F(ButtonTest, MomentaryButtonSendsOneWhileHeldAndZeroOnRelease) {
    VRAX::ZImageResource image("Button.png", 20, 20, 2);
    VRAX::ZImgButton button(place(0, 0, 20, 20), ZFilter::kRes, &image);
    setValue(ZFilter::kRes, 0.3f);
    hostCalls().clear();

    EXPECT_EQ(button.cursorAt(5, 5), 2);
    ASSERT_TRUE(button.leftDown(false, false, 5, 5));
    EXPECT_EQ(stored(ZFilter::kRes), 1.0);
    EXPECT_EQ(hostCalls(), (Calls{automate(ZFilter::kRes, 0.3f), automate(ZFilter::kRes, 1.0f)}));

    hostCalls().clear();
    ASSERT_TRUE(button.leftUp(false, false, 50, 50));
    EXPECT_EQ(stored(ZFilter::kRes), 0.0);
    EXPECT_EQ(hostCalls(), (Calls{automate(ZFilter::kRes, 1.0f), automate(ZFilter::kRes, 0.0f)}));

    // A release without a press is not the button's.
    hostCalls().clear();
    EXPECT_FALSE(button.leftUp(false, false, 5, 5));
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(ButtonTest, CancelledButtonFallsBackToZeroOnce) {
    VRAX::ZImageResource image("Button.png", 20, 20, 2);
    VRAX::ZImgButton button(place(0, 0, 20, 20), ZFilter::kGain, &image);
    button.leftDown(false, false, 1, 1);
    hostCalls().clear();
    button.cancelGesture();
    EXPECT_FALSE(button.gesture.held);
    EXPECT_EQ(stored(ZFilter::kGain), 0.0);
    EXPECT_EQ(hostCalls(), (Calls{automate(ZFilter::kGain, 1.0f), automate(ZFilter::kGain, 0.0f)}));
    hostCalls().clear();
    button.cancelGesture();
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(ButtonTest, ImageButtonFrames) {
    const struct {
        int frames;
        double value;
        bool held;
        int expected;
    } cases[] = {
        {2, 0.0, false, 0}, {2, 0.0, true, 1}, {2, 0.5, false, 1}, {2, 0.49, false, 0},
        {3, 0.0, true, 2},  {3, 0.7, false, 1}, {4, 1.0, true, 2}, {1, 1.0, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames, value " << c.value << ", held " << c.held);
        VRAX::ZImageResource image("Button.png", 20, 20, c.frames);
        VRAX::ZImgButton button(place(0, 0, 20, 20), ZFilter::kRes, &image);
        setValue(ZFilter::kRes, c.value);
        button.gesture.held = c.held;
        EXPECT_EQ(button.frameIndex(), c.expected);
    }
}

TEST_F(ButtonTest, CommandKeepsTheModifiersOfThePress) {
    VRAX::ZImageResource image("Cmd.png", 20, 20, 2);
    VRAX::ZImgCommand command(place(0, 0, 20, 20), TestEffect::kBlink, &image);
    EXPECT_EQ(command.cursorAt(0, 0), 2);

    ASSERT_TRUE(command.leftDown(true, false, 3, 3));
    EXPECT_TRUE(effect->runs.empty()) << "runs on release, not on press";
    ASSERT_TRUE(command.leftUp(false, false, 3, 3));
    ASSERT_TRUE(command.leftDown(false, false, 3, 3));
    ASSERT_TRUE(command.leftUp(false, true, 3, 3));
    ASSERT_TRUE(command.leftDown(false, false, 3, 3));
    ASSERT_TRUE(command.leftUp(false, false, 3, 3));
    EXPECT_EQ(effect->runs, (std::vector<CommandRun>{{TestEffect::kBlink, true, false},
                                                     {TestEffect::kBlink, false, true},
                                                     {TestEffect::kBlink, false, false}}));
    EXPECT_FALSE(command.gesture.shift);
    EXPECT_FALSE(command.leftUp(true, true, 3, 3));
    EXPECT_EQ(effect->runs.size(), 3u);
}

TEST_F(ButtonTest, CancelledCommandDoesNotRun) {
    VRAX::ZImageResource image("Cmd.png", 20, 20, 2);
    VRAX::ZImgCommand command(place(0, 0, 20, 20), TestEffect::kBlink, &image);
    command.leftDown(true, true, 3, 3);
    command.cancelGesture();
    EXPECT_FALSE(command.gesture.held);
    EXPECT_FALSE(command.gesture.shift);
    EXPECT_FALSE(command.gesture.ctrl);
    EXPECT_FALSE(command.leftUp(false, false, 3, 3));
    EXPECT_TRUE(effect->runs.empty());
}

TEST_F(ButtonTest, CommandRunsOnAReleaseAwayFromItAndRedrawsOnlyWhenMadeDirty) {
    VRAX::ZEditorSkin skin(effect.get());
    VRAX::ControlPlacement p = place(10, 10, 20, 20);
    p.skin = &skin;
    VRAX::ZImageResource image("Cmd.png", 20, 20, 2);
    auto* command = new VRAX::ZImgCommand(p, ZFilter::kPeakReset, &image);
    skin.controls.add(command);
    EXPECT_TRUE(command->paint(nullptr));
    EXPECT_FALSE(command->needsRedraw());

    ASSERT_TRUE(skin.leftDown(false, false, 15, 15));
    EXPECT_TRUE(command->needsRedraw());
    EXPECT_TRUE(skin.leftUp(false, false, 200, 200));  // the press captured the mouse
    EXPECT_EQ(effect->runs, (std::vector<CommandRun>{{ZFilter::kPeakReset, false, false}}));
    EXPECT_EQ(skin.capturedControl, -1);
}

}  // namespace
