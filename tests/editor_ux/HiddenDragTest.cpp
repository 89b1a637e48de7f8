// Drags whose release never comes: a host that hides its plug-in window
// instead of closing it (Ardour), a pointer grab lost with the window. The
// gesture ends as a release would end it, once; hovering afterwards with no
// button held changes nothing, and the knob loses its held look.
#include "UxFixture.h"

using namespace ux;

namespace {

// Of the pixels in which the dial's two frames differ (its held look), how
// many more the knob shows as in the idle frame than as in the held one.
int idleLook(const Picture& knob, const Picture& dial) {
    int score = 0;
    for (int y = 0; y < knob.height; ++y)
        for (int x = 0; x < knob.width; ++x) {
            const edtest::Rgb idle = dial.at(x, y);
            const edtest::Rgb held = dial.at(knob.width + x, y);
            if (edtest::near(idle, held, 24)) continue;
            score += edtest::near(knob.at(x, y), idle, 12) - edtest::near(knob.at(x, y), held, 12);
        }
    return score;
}

}  // namespace

class HiddenDragTest : public UxTest {
protected:
    // Presses on Cut Off, drags 10 pixels up, then does what `hide` does
    // while the button is down, lets go of the button where the editor no
    // longer is, shows the editor again (`show`) and hovers over it.
    void dragThenHide(const std::function<void(EditorSession&)>& hide,
                      const std::function<void(EditorSession&)>& show) {
        EditorSession* s = openEditor();
        ASSERT_NE(s, nullptr);
        const Picture dial = edtest::decodeEmbeddedPng("Dial060.png");
        ASSERT_EQ(dial.width, 2 * kCutOffKnob.w);
        const Window w = s->window();
        const int x = kCutOffKnob.centreX();
        const int y = kCutOffKnob.centreY();
        const int idleScore = idleLook(s->shot(kCutOffKnob), dial);
        s->host->clearCalls();
        pointer->moveTo(w, x, y);
        pointer->press();
        pointer->moveTo(w, x, y - 10);
        ASSERT_TRUE(s->waitUntil([&] { return s->parameter(kCutOff) > 0.05f; }));
        ASSERT_TRUE(s->waitForStill());
        const int heldScore = idleLook(s->shot(kCutOffKnob), dial);
        ASSERT_LT(heldScore, idleScore) << "the held look did not show";
        hide(*s);
        pointer->moveTo(s->parentWindow(), x, y - 200);
        pointer->release();
        const float reached = s->parameter(kCutOff);
        show(*s);
        ASSERT_TRUE(s->waitForPage(1));

        for (int i = 1; i <= 6; ++i) pointer->moveTo(w, x + i, y - 20 * i);
        ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
        ASSERT_TRUE(s->waitForStill());
        EXPECT_FLOAT_EQ(s->parameter(kCutOff), reached) << "hovering moved the knob";
        const std::vector<qtest::HostCall> gesture = edits(*s);
        EXPECT_EQ(countOf(gesture, audioMasterBeginEdit), 1) << describe(gesture);
        EXPECT_EQ(countOf(gesture, audioMasterEndEdit), 1) << describe(gesture);
        EXPECT_TRUE(isOneGesture(gesture, kCutOff)) << describe(gesture);
        // The look goes with the next picture, which may come after the
        // window has been still for a moment under qemu-user.
        int score = heldScore;
        EXPECT_TRUE(s->waitUntil([&] {
            score = idleLook(s->shot(kCutOffKnob), dial);
            return std::abs(score - idleScore) < std::abs(score - heldScore);
        })) << "the knob still looks held: " << score << " (idle " << idleScore << ", held " << heldScore << ")";
    }
};

TEST_F(HiddenDragTest, AHostHidingItsWindowMidDragEndsTheGesture) {
    dragThenHide([this](EditorSession& s) { XUnmapWindow(display, s.parentWindow()); XSync(display, False); },
                 [this](EditorSession& s) { XMapWindow(display, s.parentWindow()); XSync(display, False); });
}

TEST_F(HiddenDragTest, AGrabLostWithTheEditorsWindowEndsTheGesture) {
    // Unmapping the editor's own window takes the implicit grab from it.
    dragThenHide([this](EditorSession& s) { XUnmapWindow(display, s.window()); XSync(display, False); },
                 [this](EditorSession& s) { XMapWindow(display, s.window()); XSync(display, False); });
}
