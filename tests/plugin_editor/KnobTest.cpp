// The three knobs of the main page under real pointer events: how far a
// drag moves a parameter, what the host hears about it, and what the value
// field under the knob shows afterwards.
#include "Fixture.h"

using namespace e2e;

namespace {

// Parameter steps of a knob are whole pixels times 0.01 (0.001 with Shift),
// applied to a double and handed to the host as a float.
constexpr float kStepTolerance = 1e-6f;

}  // namespace

TEST_F(EditorE2E, DraggingCutOffTenPixelsUpRaisesItByATenthAndTellsTheHost) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const float before = s->parameter(kCutOff);
    EXPECT_FLOAT_EQ(before, 0.0f) << "the first program starts at 20 Hz";
    const Picture valueBefore = s->shot(kCutOffValue);
    const Picture knobBefore = s->shot(kCutOffKnob);
    const Picture gainValue = s->shot(kGainValue);
    const Picture resValue = s->shot(kResValue);
    s->host->clearCalls();

    dragKnob(*s, kCutOffKnob, 0, -10);

    const float after = s->parameter(kCutOff);
    EXPECT_NEAR(after - before, 0.10f, kStepTolerance);
    EXPECT_FLOAT_EQ(s->parameter(kGain), 0.5f);
    EXPECT_FLOAT_EQ(s->parameter(kRes), 0.0f);

    const std::vector<qtest::HostCall> calls = s->host->calls();
    const std::vector<qtest::HostCall> edits = editCalls(calls);
    EXPECT_TRUE(isOneGesture(edits, kCutOff)) << describe(edits);
    ASSERT_GE(edits.size(), 3u);
    EXPECT_FLOAT_EQ(edits[edits.size() - 2].opt, after) << "the last report is not the value reached";
    EXPECT_EQ(calls.size(), edits.size()) << "host calls besides the edit: " << describe(calls);

    EXPECT_TRUE(s->waitForChange(kCutOffValue, valueBefore)) << "the value field still shows the old value";
    EXPECT_TRUE(s->waitForChange(kCutOffKnob, knobBefore)) << "the knob's dot did not move";
    EXPECT_EQ(differingPixels(s->shot(kGainValue), gainValue), 0);
    EXPECT_EQ(differingPixels(s->shot(kResValue), resValue), 0);
}

TEST_F(EditorE2E, ShiftDragMovesTenTimesLess) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Picture valueBefore = s->shot(kCutOffValue);
    const float before = s->parameter(kCutOff);
    s->host->clearCalls();

    dragKnob(*s, kCutOffKnob, 0, -10, 1, Keys{true, false});

    EXPECT_NEAR(s->parameter(kCutOff) - before, 0.01f, kStepTolerance);
    EXPECT_TRUE(isOneGesture(editCalls(s->host->calls()), kCutOff)) << describe(s->host->calls());
    // 20 Hz up by 0.01 of three decades is 21.4 Hz: a new text.
    EXPECT_TRUE(s->waitForChange(kCutOffValue, valueBefore));

    // Shift let go in mid-drag changes only the steps that follow.
    const float start = s->parameter(kCutOff);
    const Window w = s->window();
    const int x = kCutOffKnob.centreX();
    const int y = kCutOffKnob.centreY();
    s->host->clearCalls();
    pointer->moveTo(w, x, y);
    pointer->press(Keys{true, false});
    pointer->moveTo(w, x, y - 10);
    ASSERT_TRUE(s->waitUntil([&] { return s->parameter(kCutOff) > start + 0.005f; }));
    EXPECT_NEAR(s->parameter(kCutOff) - start, 0.01f, kStepTolerance);
    pointer->hold(Keys{});
    pointer->moveTo(w, x, y - 20);
    pointer->release();
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    EXPECT_NEAR(s->parameter(kCutOff) - start, 0.01f + 0.10f, kStepTolerance);
    EXPECT_TRUE(isOneGesture(editCalls(s->host->calls()), kCutOff)) << describe(s->host->calls());
}

TEST_F(EditorE2E, DragDirectionsAndTheEndsOfTheRange) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Window w = s->window();
    const int x = kResKnob.centreX();
    const int y = kResKnob.centreY();

    // 400 pixels to the right cover the range, so 40 give a tenth.
    dragKnob(*s, kResKnob, 40, 0);
    EXPECT_NEAR(s->parameter(kRes), 0.10f, kStepTolerance);

    // Down past the bottom holds at 0, and the way back counts at once.
    const int ends = s->host->countCalls(audioMasterEndEdit);
    pointer->moveTo(w, x, y);
    pointer->press();
    pointer->moveTo(w, x, y + 30);
    ASSERT_TRUE(s->waitUntil([&] { return s->parameter(kRes) == 0.0f; }));
    pointer->moveTo(w, x, y + 25);
    pointer->release();
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > ends; }));
    EXPECT_NEAR(s->parameter(kRes), 0.05f, kStepTolerance);

    // Far up holds at 1.
    dragKnob(*s, kResKnob, 0, -120, 3);
    EXPECT_FLOAT_EQ(s->parameter(kRes), 1.0f);

    // A drag that starts on a knob keeps it beyond the knob's edges, over
    // its neighbour too: the knob holds the mouse until the release.
    const float gain = s->parameter(kGain);
    dragKnob(*s, kGainKnob, 0, -5, 1);
    const float raised = s->parameter(kGain);
    EXPECT_NEAR(raised - gain, 0.05f, kStepTolerance);
    dragKnob(*s, kGainKnob, 95, 20, 2);  // ends over the Cut Off knob
    EXPECT_NEAR(s->parameter(kGain), raised + (95 * 0.25f - 20) * 0.01f, kStepTolerance);
    EXPECT_FLOAT_EQ(s->parameter(kCutOff), 0.0f);
    // Even beyond the window's bottom edge, where the release comes too.
    dragKnob(*s, kGainKnob, 0, 80, 2);
    EXPECT_FLOAT_EQ(s->parameter(kGain), 0.0f);
}

TEST_F(EditorE2E, CtrlClickReturnsAKnobToItsDefault) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);

    // Gain, moved by the host, back to its default of 0 dB.
    const Picture gainAtDefault = s->shot(kGainValue);
    s->setParameter(kGain, 0.8f);
    ASSERT_TRUE(s->waitForChange(kGainValue, gainAtDefault)) << "host automation did not reach the value field";
    s->host->clearCalls();
    clickAt(*s, kGainKnob.centreX(), kGainKnob.centreY(), Keys{false, true});
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    EXPECT_FLOAT_EQ(s->parameter(kGain), 0.5f);
    const std::vector<qtest::HostCall> edits = editCalls(s->host->calls());
    ASSERT_TRUE(isOneGesture(edits, kGain)) << describe(edits);
    // The press reports the old value, then the default; a host that idles
    // (as this one does while it waits) hears the newest value of each idle
    // only, so the old one only when an idle fell between the two.
    ASSERT_GE(edits.size(), 3u) << describe(edits);
    ASSERT_LE(edits.size(), 4u) << describe(edits);
    EXPECT_FLOAT_EQ(edits[edits.size() - 2].opt, 0.5f);
    if (edits.size() == 4) {
        EXPECT_FLOAT_EQ(edits[1].opt, 0.8f);
    }
    EXPECT_TRUE(s->waitForPicture(kGainValue, gainAtDefault)) << "the value field does not show 0 dB again";

    // Cut Off, moved by a drag, back to 20 Hz.
    const Picture cutOffAtDefault = s->shot(kCutOffValue);
    dragKnob(*s, kCutOffKnob, 0, -10);
    ASSERT_NEAR(s->parameter(kCutOff), 0.10f, kStepTolerance);
    ASSERT_TRUE(s->waitForChange(kCutOffValue, cutOffAtDefault));
    const int ends = s->host->countCalls(audioMasterEndEdit);
    clickAt(*s, kCutOffKnob.centreX(), kCutOffKnob.centreY(), Keys{false, true});
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > ends; }));
    EXPECT_FLOAT_EQ(s->parameter(kCutOff), 0.0f);
    EXPECT_TRUE(s->waitForPicture(kCutOffValue, cutOffAtDefault)) << "the value field does not show 20 Hz again";

    // With Ctrl the press resets and the moves that follow change nothing.
    dragKnob(*s, kCutOffKnob, 0, -30, 3, Keys{false, true});
    EXPECT_FLOAT_EQ(s->parameter(kCutOff), 0.0f);
}

TEST_F(EditorE2E, ClosingTheEditorInMidDragEndsTheEditAndFreesTheMouse) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    s->host->clearCalls();
    const Window w = s->window();
    pointer->moveTo(w, kCutOffKnob.centreX(), kCutOffKnob.centreY());
    pointer->press();
    pointer->moveTo(w, kCutOffKnob.centreX(), kCutOffKnob.centreY() - 10);
    ASSERT_TRUE(s->waitUntil([&] { return s->parameter(kCutOff) > 0.05f; }));

    // The host closes the editor while the button is still down.
    s->closeEditor();
    pointer->release();
    EXPECT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) == 1; }, 3000))
        << "the host was never told the edit ended: " << describe(editCalls(s->host->calls()));
    const float cutOff = s->parameter(kCutOff);

    // Opened again, the editor must not treat the knob as still held: moving
    // the pointer changes nothing, and a drag moves the knob under it.
    ASSERT_EQ(s->open(), "");
    ASSERT_TRUE(s->waitForPage(1));
    const Window again = s->window();
    pointer->moveTo(again, kCutOffKnob.centreX(), kCutOffKnob.centreY() - 40);
    pointer->moveTo(again, kResKnob.centreX(), kResKnob.centreY());
    dragKnob(*s, kResKnob, 0, -10);
    EXPECT_NEAR(s->parameter(kRes), 0.10f, 1e-6f) << "the drag did not reach the knob under the pointer";
    EXPECT_FLOAT_EQ(s->parameter(kCutOff), cutOff) << "the knob held before the close still follows the pointer";

    // The same when the host destroys its window under a held knob first.
    s->host->clearCalls();
    pointer->moveTo(again, kGainKnob.centreX(), kGainKnob.centreY());
    pointer->press();
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterBeginEdit) == 1; }));
    s->destroyParent();
    pointer->release();
    EXPECT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) == 1; }, 3000))
        << "the host was never told the edit ended: " << describe(editCalls(s->host->calls()));
    s->closeEditor();
    ASSERT_EQ(s->open(), "");
    ASSERT_TRUE(s->waitForPage(1));
    dragKnob(*s, kResKnob, 0, -10);
    EXPECT_NEAR(s->parameter(kRes), 0.20f, 1e-6f);
    EXPECT_FLOAT_EQ(s->parameter(kGain), 0.5f);
}
