// Which thread tells the host about an edit. The value a control sets takes
// effect at once; begin edit, automate and end edit reach a host that idles
// from its GUI thread, in order, on that thread (Audacity drops them from
// any other); a host that never idles hears them from the window thread.
#include "UxFixture.h"

using namespace ux;

TEST_F(UxTest, AnIdlingHostHearsDragsAndWheelTurnsOnItsGuiThreadInOrder) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    s->host->clearCalls();
    GuiThread gui(*s);

    pointer->drag(s->window(), kCutOffKnob.centreX(), kCutOffKnob.centreY(), 0, -10, 2);
    ASSERT_TRUE(waitForEnds(*s, 1)) << describe(s->host->calls());
    EXPECT_NEAR(s->parameter(kCutOff), 0.10f, 1e-6f) << "the drag did not take effect";
    pointer->moveTo(s->window(), kGainKnob.centreX(), kGainKnob.centreY());
    pointer->wheel(2);
    ASSERT_TRUE(waitForEnds(*s, 2)) << describe(s->host->calls());
    gui.stop();

    const std::vector<qtest::HostCall> all = edits(*s);
    ASSERT_EQ(countOf(all, audioMasterBeginEdit), 2) << describe(all);
    size_t split = 0;
    while (split < all.size() && all[split].opcode != audioMasterEndEdit) ++split;
    const std::vector<qtest::HostCall> drag(all.begin(), all.begin() + static_cast<long>(split) + 1);
    const std::vector<qtest::HostCall> wheel(all.begin() + static_cast<long>(split) + 1, all.end());
    EXPECT_TRUE(isOneGesture(drag, kCutOff)) << describe(drag);
    EXPECT_TRUE(isOneGesture(wheel, kGain)) << describe(wheel);
    // One report per notch, except that an idle tells only the newest value
    // of the notches it collects.
    EXPECT_GE(countOf(wheel, audioMasterAutomate), 1) << describe(wheel);
    EXPECT_LE(countOf(wheel, audioMasterAutomate), 2) << describe(wheel);
    EXPECT_FLOAT_EQ(wheel[wheel.size() - 2].opt, s->parameter(kGain));
    EXPECT_FLOAT_EQ(drag[drag.size() - 2].opt, s->parameter(kCutOff));
    for (const qtest::HostCall& c : all) EXPECT_EQ(c.thread, gui.id()) << "a report from " << c.threadName;
}

TEST_F(UxTest, AHostThatNeverIdlesHearsThemFromTheWindowThread) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    // This host never dispatches effEditIdle again: only waits that do not idle.
    s->host->clearCalls();
    pointer->drag(s->window(), kResKnob.centreX(), kResKnob.centreY(), 0, -20, 4);
    ASSERT_TRUE(waitForEnds(*s, 1)) << describe(s->host->calls());
    const std::vector<qtest::HostCall> gesture = edits(*s);
    EXPECT_TRUE(isOneGesture(gesture, kRes)) << describe(gesture);
    EXPECT_NEAR(s->parameter(kRes), 0.20f, 1e-6f);
    for (const qtest::HostCall& c : gesture) EXPECT_EQ(c.threadName, "qolm-editor");
}

TEST_F(UxTest, ClosingMidDragEndsTheEditOnTheClosingThread) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    s->host->clearCalls();
    GuiThread gui(*s);
    const Window w = s->window();
    pointer->moveTo(w, kGainKnob.centreX(), kGainKnob.centreY());
    pointer->press();
    pointer->moveTo(w, kGainKnob.centreX(), kGainKnob.centreY() - 10);
    ASSERT_TRUE(edtest::waitFor([&] { return s->parameter(kGain) > 0.55f; }));
    gui.stop();
    s->closeEditor();
    pointer->release();

    const std::vector<qtest::HostCall> gesture = edits(*s);
    EXPECT_TRUE(isOneGesture(gesture, kGain)) << describe(gesture);
    ASSERT_FALSE(gesture.empty());
    EXPECT_EQ(gesture.back().thread, std::this_thread::get_id()) << "end edit from " << gesture.back().threadName;
}
