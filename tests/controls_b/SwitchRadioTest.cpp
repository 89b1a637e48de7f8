// Switches and radio items: which way a click moves the parameter, the
// begin/end edit around it, which item owns which value, and the frames
// shown while held.
#include "controls/ZRadio.h"
#include "controls/ZSwitch.h"
#include "support/ControlFixture.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

using ctl::automate;
using ctl::begin;
using ctl::end;
using ctl::hostCalls;
using ctl::HostCall;
using VRAX::ZFilter;
using Calls = std::vector<HostCall>;

const unsigned char kOff[4] = {200, 0, 0, 255};
const unsigned char kOn[4] = {0, 200, 0, 255};
const unsigned char kTint[4] = {255, 255, 255, 64};

class SwitchTest : public ctl::ControlTest {};

TEST_F(SwitchTest, ClickFlipsAroundTheMiddleInsideOneEdit) {
    const struct {
        double before;
        double after;
    } cases[] = {{0.7, 0.0}, {0.3, 1.0}, {0.5, 0.0}, {0.49, 1.0}, {1.0, 0.0}, {0.0, 1.0}};
    VRAX::ZImageResource image("Switch.png", 20, 20, 2);
    VRAX::ZImgSwitch toggle(place(0, 0, 20, 20), ZFilter::kRes, &image);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        setValue(ZFilter::kRes, c.before);
        hostCalls().clear();
        ASSERT_TRUE(toggle.leftDown(false, false, 2, 2));
        EXPECT_EQ(stored(ZFilter::kRes), c.after);
        ASSERT_TRUE(toggle.leftUp(false, false, 2, 2));
        EXPECT_EQ(hostCalls(), (Calls{begin(ZFilter::kRes), automate(ZFilter::kRes, static_cast<float>(c.before)),
                                      automate(ZFilter::kRes, static_cast<float>(c.after)), end(ZFilter::kRes)}));
    }
}

TEST_F(SwitchTest, CtrlClickRestoresTheDefault) {
    VRAX::ZImageResource image("Switch.png", 20, 20, 2);
    VRAX::ZImgSwitch toggle(place(0, 0, 20, 20), ZFilter::kGain, &image);
    setValue(ZFilter::kGain, 1.0);
    toggle.leftDown(false, true, 2, 2);
    EXPECT_EQ(stored(ZFilter::kGain), 0.5);  // 0 dB
    toggle.leftUp(false, false, 2, 2);
}

TEST_F(SwitchTest, EveryBeginEditIsEnded) {
    VRAX::ZImageResource image("Switch.png", 20, 20, 2);
    VRAX::ZImgSwitch toggle(place(0, 0, 20, 20), ZFilter::kRes, &image);
    // A second press inside the gesture neither flips again nor opens a
    // second edit.
    toggle.leftDown(false, false, 2, 2);
    EXPECT_TRUE(toggle.leftDown(false, false, 2, 2));
    EXPECT_EQ(stored(ZFilter::kRes), 1.0);
    toggle.leftUp(false, false, 2, 2);
    EXPECT_FALSE(toggle.leftUp(false, false, 2, 2));
    // A gesture the skin cancels (the switch was hidden while held).
    toggle.leftDown(false, false, 2, 2);
    toggle.cancelGesture();
    EXPECT_FALSE(toggle.gesture.held);
    int begins = 0, ends = 0;
    for (const HostCall& call : hostCalls()) {
        begins += call.opcode == audioMasterBeginEdit;
        ends += call.opcode == audioMasterEndEdit;
    }
    EXPECT_EQ(begins, 2);
    EXPECT_EQ(ends, 2);
}

TEST_F(SwitchTest, FramesWhileHeld) {
    const struct {
        int frames;
        double before;  // the press flips it
        int held;
        int released;
    } cases[] = {
        {4, 0.0, 3, 1},  // on while held
        {4, 1.0, 2, 0},  // off while held
        {3, 0.0, 2, 1}, {3, 1.0, 2, 0}, {2, 0.0, 1, 1}, {2, 1.0, 0, 0}, {1, 0.0, 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.frames << " frames from " << c.before);
        VRAX::ZImageResource image("Switch.png", 20, 20, c.frames);
        VRAX::ZImgSwitch toggle(place(0, 0, 20, 20), ZFilter::kRes, &image);
        setValue(ZFilter::kRes, c.before);
        EXPECT_EQ(toggle.frameIndex(), c.before >= 0.5 ? 1 : 0);
        toggle.paint(nullptr);
        toggle.leftDown(false, false, 1, 1);
        EXPECT_EQ(toggle.frameIndex(), c.held);
        EXPECT_TRUE(toggle.needsRedraw());
        toggle.paint(nullptr);
        toggle.leftUp(false, false, 1, 1);
        EXPECT_EQ(toggle.frameIndex(), c.released);
    }
}

class RadioTest : public ctl::ControlTest {};

TEST_F(RadioTest, ThreeItemsShareTheRangeAndTheLastOwnsTheTop) {
    VRAX::ZImageResource image("Radio.png", 20, 20, 2);
    VRAX::ZImgRadio items[3] = {{place(0, 0, 20, 20), ZFilter::kGain, 0, 2, &image},
                                {place(20, 0, 20, 20), ZFilter::kGain, 1, 2, &image},
                                {place(40, 0, 20, 20), ZFilter::kGain, 2, 2, &image}};
    EXPECT_DOUBLE_EQ(items[1].lower, 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(items[1].upper, 2.0 / 3.0);
    EXPECT_EQ(items[2].upper, 1.0);
    const struct {
        double value;
        int owner;
    } cases[] = {{0.0, 0}, {1.0 / 6.0, 0}, {0.5, 1}, {5.0 / 6.0, 2}, {0.999, 2}, {1.0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        setValue(ZFilter::kGain, c.value);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(items[i].isSelected(), i == c.owner) << "item " << i;
            EXPECT_EQ(items[i].frameIndex(), i == c.owner ? 1 : 0) << "item " << i;
        }
    }
}

TEST_F(RadioTest, ClickSetsTheCentreOfTheSliceInsideOneEdit) {
    VRAX::ZImageResource image("Radio.png", 20, 20, 2);
    const double centres[3] = {1.0 / 6.0, 0.5, 5.0 / 6.0};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        VRAX::ZImgRadio item(place(0, 0, 20, 20), ZFilter::kRes, i, 2, &image);
        setValue(ZFilter::kRes, 0.0);
        hostCalls().clear();
        ASSERT_TRUE(item.leftDown(false, false, 1, 1));
        EXPECT_DOUBLE_EQ(stored(ZFilter::kRes), centres[i]);
        ASSERT_TRUE(item.leftUp(false, false, 1, 1));
        EXPECT_EQ(hostCalls(), (Calls{begin(ZFilter::kRes), automate(ZFilter::kRes, 0.0f),
                                      automate(ZFilter::kRes, static_cast<float>(centres[i])), end(ZFilter::kRes)}));
        EXPECT_TRUE(item.isSelected());
    }
    VRAX::ZImgRadio item(place(0, 0, 20, 20), ZFilter::kGain, 2, 2, &image);
    item.leftDown(false, true, 1, 1);
    EXPECT_EQ(stored(ZFilter::kGain), 0.5);  // the default
    item.cancelGesture();
    EXPECT_EQ(hostCalls().back(), end(ZFilter::kGain));
}

TEST_F(RadioTest, FramesWhileHeld) {
    const struct {
        int frames;
        int held;
    } cases[] = {{4, 3}, {3, 2}, {2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frames);
        VRAX::ZImageResource image("Radio.png", 20, 20, c.frames);
        VRAX::ZImgRadio item(place(0, 0, 20, 20), ZFilter::kRes, 0, 1, &image);
        setValue(ZFilter::kRes, 1.0);
        item.leftDown(false, false, 1, 1);  // now selected
        EXPECT_EQ(item.frameIndex(), c.held);
        item.leftUp(false, false, 1, 1);
    }
    // Held but not selected (Ctrl-click to a default outside the slice).
    VRAX::ZImageResource image("Radio.png", 20, 20, 4);
    VRAX::ZImgRadio item(place(0, 0, 20, 20), ZFilter::kRes, 1, 1, &image);
    item.leftDown(false, true, 1, 1);
    EXPECT_EQ(item.frameIndex(), 2);
}

TEST_F(RadioTest, UncheckedHighlightNumbersStayInsideTheRange) {
    // Item 2 of last item 1: the skin does not refuse it; its slice lies
    // above the range, and a click must not store more than 1.
    VRAX::ZHlRadio beyond(place(0, 0, 20, 20), ZFilter::kRes, 2, 1, {0, 0, 20, 20, kOff, kOn, kTint});
    EXPECT_EQ(beyond.lower, 1.0);
    EXPECT_EQ(beyond.centre, 1.25);
    beyond.leftDown(false, false, 1, 1);
    EXPECT_EQ(stored(ZFilter::kRes), 1.0);
    EXPECT_TRUE(beyond.isSelected());
    beyond.leftUp(false, false, 1, 1);

    // A last item of -1 or below is one item, not a division by zero.
    for (int last : {-1, -2, INT_MIN}) {
        SCOPED_TRACE(last);
        VRAX::ZHlRadio odd(place(0, 0, 20, 20), ZFilter::kRes, 0, last, {0, 0, 20, 20, kOff, kOn, kTint});
        EXPECT_EQ(odd.lower, 0.0);
        EXPECT_EQ(odd.upper, 1.0);
        EXPECT_EQ(odd.centre, 0.5);
    }
    VRAX::ZHlRadio huge(place(0, 0, 20, 20), ZFilter::kRes, INT_MAX, INT_MAX, {0, 0, 20, 20, kOff, kOn, kTint});
    EXPECT_EQ(huge.upper, 1.0);
    EXPECT_TRUE(std::isfinite(huge.centre));
    EXPECT_LT(huge.centre, 1.0);
}

}  // namespace
