// The wheel, the double-click to the default and typed values, with real
// X input, and the keys a host that keeps the keyboard forwards.
#include "UxFixture.h"

#include <X11/keysym.h>

using namespace ux;

namespace {

constexpr float kTolerance = 1e-6f;

}  // namespace

TEST_F(UxTest, WheelNotchesStepTheValueAndABurstIsOneEdit) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Window w = s->window();
    s->host->clearCalls();

    pointer->moveTo(w, kCutOffKnob.centreX(), kCutOffKnob.centreY());
    pointer->wheel(3);
    ASSERT_TRUE(waitForEnds(*s, 1));
    EXPECT_NEAR(s->parameter(kCutOff), 0.03f, kTolerance);
    std::vector<qtest::HostCall> burst = edits(*s);
    EXPECT_TRUE(isOneGesture(burst, kCutOff)) << describe(burst);
    EXPECT_EQ(countOf(burst, audioMasterAutomate), 3) << describe(burst);

    // Shift: a tenth of the step; down lowers.
    pointer->wheel(-2, Keys{true, false});
    ASSERT_TRUE(waitForEnds(*s, 2));
    EXPECT_NEAR(s->parameter(kCutOff), 0.028f, kTolerance);

    // Held at the ends of the range: Res starts at 0.
    s->host->clearCalls();
    pointer->moveTo(w, kResKnob.centreX(), kResKnob.centreY());
    pointer->wheel(-1);
    ASSERT_TRUE(waitForEnds(*s, 1));
    EXPECT_FLOAT_EQ(s->parameter(kRes), 0.0f);
    burst = edits(*s);
    ASSERT_TRUE(isOneGesture(burst, kRes)) << describe(burst);
    EXPECT_FLOAT_EQ(burst[1].opt, 0.0f);

    // Over no control the wheel does nothing.
    s->host->clearCalls();
    pointer->moveTo(w, 5, 185);
    pointer->wheel(2);
    edtest::sleepMs(700);
    EXPECT_TRUE(edits(*s).empty()) << describe(s->host->calls());
}

TEST_F(UxTest, DoubleClickReturnsAKnobToItsDefaultAsOneEdit) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    dragKnob(*s, kGainKnob, 0, -20);
    ASSERT_NEAR(s->parameter(kGain), 0.7f, kTolerance);

    // A press that dragged and a click right after it: no double-click.
    s->host->clearCalls();
    pointer->click(s->window(), kGainKnob.centreX(), kGainKnob.centreY());
    ASSERT_TRUE(waitForEnds(*s, 1));
    EXPECT_NEAR(s->parameter(kGain), 0.7f, kTolerance);

    // Two clicks too far apart in time: no default either.
    edtest::sleepMs(450);
    s->host->clearCalls();
    pointer->click(s->window(), kGainKnob.centreX(), kGainKnob.centreY());
    ASSERT_TRUE(waitForEnds(*s, 1));
    EXPECT_NEAR(s->parameter(kGain), 0.7f, kTolerance);

    edtest::sleepMs(450);
    s->host->clearCalls();
    pointer->doubleClick(s->window(), kGainKnob.centreX(), kGainKnob.centreY());
    ASSERT_TRUE(waitForEnds(*s, 2));
    EXPECT_FLOAT_EQ(s->parameter(kGain), 0.5f);
    // The first click is a click; the second is the edit to the default.
    const std::vector<qtest::HostCall> all = edits(*s);
    ASSERT_GE(all.size(), 2u);
    size_t second = 1;
    while (second < all.size() && all[second - 1].opcode != audioMasterEndEdit) ++second;
    const std::vector<qtest::HostCall> reset(all.begin() + static_cast<long>(second), all.end());
    EXPECT_TRUE(isOneGesture(reset, kGain)) << describe(all);
    ASSERT_EQ(reset.size(), 4u) << describe(reset);
    EXPECT_NEAR(reset[1].opt, 0.7f, kTolerance);
    EXPECT_FLOAT_EQ(reset[2].opt, 0.5f);
}

TEST_F(UxTest, TypedValuesSetTheParameterAsTheHostsTextWould) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Window w = s->window();
    // Where the keyboard was before: the field must give it back.
    XSetInputFocus(display, s->parentWindow(), RevertToParent, CurrentTime);
    XSync(display, False);
    const Picture closed = s->shot(kCutOffValue);

    pointer->doubleClick(w, kCutOffValue.centreX(), kCutOffValue.centreY());
    ASSERT_TRUE(s->waitForChange(kCutOffValue, closed)) << "no field opened";
    Window focus = 0;
    int revert = 0;
    ASSERT_TRUE(edtest::waitFor([&] {
        XGetInputFocus(display, &focus, &revert);
        return focus == w;
    })) << "the field did not take the keyboard";
    s->host->clearCalls();
    // The value text is selected: typing replaces it.
    pointer->type("1000");
    pointer->tap(XK_Return);
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    EXPECT_EQ(shownText(*s, kCutOff), "1000");
    EXPECT_TRUE(isOneGesture(edits(*s), kCutOff)) << describe(s->host->calls());
    EXPECT_TRUE(edtest::waitFor([&] {
        XGetInputFocus(display, &focus, &revert);
        return focus == s->parentWindow();
    })) << "the keyboard was not given back";

    // The editing keys, on Gain's "0.0": Right ends the selection, three
    // Backspaces empty it, then "3", Left, "x-", Home, Delete make "-3".
    const Picture gainClosed = s->shot(kGainValue);
    pointer->doubleClick(w, kGainValue.centreX(), kGainValue.centreY());
    ASSERT_TRUE(s->waitForChange(kGainValue, gainClosed));
    for (unsigned long k : {XK_Right, XK_BackSpace, XK_BackSpace, XK_BackSpace}) pointer->tap(k);
    pointer->type("3");
    pointer->tap(XK_Left);
    pointer->type("x-");
    pointer->tap(XK_Home);
    pointer->tap(XK_Delete);
    pointer->tap(XK_End);
    s->host->clearCalls();
    pointer->tap(XK_Return);
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    EXPECT_EQ(shownText(*s, kGain), "-3.0");

    // No number: nothing changes and the host hears nothing. Escape and a
    // click elsewhere cancel.
    s->host->clearCalls();
    const Picture shown = s->shot(kCutOffValue);
    pointer->doubleClick(w, kCutOffValue.centreX(), kCutOffValue.centreY());
    ASSERT_TRUE(s->waitForChange(kCutOffValue, shown));
    pointer->type("abc");
    pointer->tap(XK_Return);
    ASSERT_TRUE(s->waitForPicture(kCutOffValue, shown)) << "the field did not close";
    pointer->doubleClick(w, kCutOffValue.centreX(), kCutOffValue.centreY());
    ASSERT_TRUE(s->waitForChange(kCutOffValue, shown));
    pointer->type("50");
    pointer->tap(XK_Escape);
    ASSERT_TRUE(s->waitForPicture(kCutOffValue, shown));
    pointer->doubleClick(w, kCutOffValue.centreX(), kCutOffValue.centreY());
    ASSERT_TRUE(s->waitForChange(kCutOffValue, shown));
    pointer->type("50");
    pointer->click(w, 5, 185);
    ASSERT_TRUE(s->waitForPicture(kCutOffValue, shown));
    pointer->tap(XK_Return);
    edtest::sleepMs(200);
    s->idle();
    EXPECT_EQ(shownText(*s, kCutOff), "1000");
    EXPECT_TRUE(edits(*s).empty()) << describe(s->host->calls());
}

TEST_F(UxTest, ForwardedKeysEditAnOpenFieldAndAreRefusedOtherwise) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const auto key = [&](int character, int virt) {
        return s->host->dispatch(effEditKeyDown, character, virt, nullptr, 0.0f);
    };
    // No field: every key stays with the host (its Space starts the transport).
    EXPECT_EQ(key(' ', VKEY_SPACE), 0);
    EXPECT_EQ(key('1', 0), 0);
    EXPECT_EQ(key(0, VKEY_RETURN), 0);

    const Picture shown = s->shot(kCutOffValue);
    pointer->doubleClick(s->window(), kCutOffValue.centreX(), kCutOffValue.centreY());
    ASSERT_TRUE(s->waitForChange(kCutOffValue, shown));
    // The arrow up is no key of the field: the host keeps it.
    EXPECT_EQ(key(0, VKEY_UP), 0);
    for (const char* c = "1200"; *c; ++c) {
        EXPECT_EQ(key(*c, 0), 1) << *c;
        EXPECT_EQ(s->host->dispatch(effEditKeyUp, *c, 0, nullptr, 0.0f), 1) << *c;
    }
    s->host->clearCalls();
    EXPECT_EQ(key(0, VKEY_RETURN), 1);
    ASSERT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    EXPECT_EQ(shownText(*s, kCutOff), "1200");
    EXPECT_TRUE(isOneGesture(edits(*s), kCutOff)) << describe(s->host->calls());
    EXPECT_TRUE(s->waitUntil([&] { return key('1', 0) == 0; })) << "keys still taken after the field closed";
}
