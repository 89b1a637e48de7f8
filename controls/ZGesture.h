// The parameter side of one press-to-release gesture, written once and owned
// by every control that edits a parameter (and, without a parameter, by the
// command button for its held state and modifiers). A control decides what
// its press and drag mean; the gesture keeps the host's view consistent:
// one begin edit per gesture, every change reported, one end edit, also when
// the release never comes. Wheel steps and a double-click to the default
// belong here too, so that every control gets them from this one place.
//
// Window thread only.
#pragma once

#include <cstdint>

namespace VRAX {

class ZEditorControl;

// Two left presses close together in time and place, with no drag between.
class ZDoubleClick {
public:
    static constexpr int32_t kIntervalMs = 400;
    static constexpr int32_t kDistance = 4;

    // A press at (x, y) at the time nowMs (milliseconds, wrapping): true
    // when it is the second of a pair, which is then used up.
    bool press(int32_t x, int32_t y, int32_t nowMs);
    // The pointer is at (x, y): further than kDistance from the first press
    // the pair is broken.
    void moved(int32_t x, int32_t y);
    void forget() { armed = false; }

private:
    bool armed = false;
    int32_t firstX = 0;
    int32_t firstY = 0;
    int32_t firstMs = 0;
};

class ZGesture {
public:
    enum class Kind : int32_t {
        edit,       // begin edit at the press, end edit at the release; Ctrl-press sets the default
        momentary,  // no begin or end edit: reports on both sides of each change
        none,       // no parameter: only the held state and the modifiers
    };

    // One wheel notch moves the normalised value this far (Shift: a tenth),
    // and a burst of notches is one edit that ends this long after the last.
    static constexpr double kWheelStep = 0.01;
    static constexpr double kFineFactor = 0.1;
    static constexpr int32_t kWheelBurstMs = 500;

    ZGesture(ZEditorControl& owner, int32_t parameterIndex, Kind kind = Kind::edit);
    ZGesture(const ZGesture&) = delete;
    ZGesture& operator=(const ZGesture&) = delete;

    // Opens the gesture and keeps the modifiers; an edit gesture begins the
    // edit, reports, and with Ctrl returns the parameter to its default.
    // Opening and closing ask for the control to be redrawn.
    // False, changing nothing, while an edit gesture is open: that press
    // belongs to it, and a second begin edit would never end.
    bool press(bool shift, bool ctrl);
    // press for a left press at (x, y) in the control: the second press of a
    // double-click returns to the default as Ctrl does. toDefault tells
    // afterwards whether this press did.
    bool pressAt(bool shift, bool ctrl, int32_t x, int32_t y);
    // The pointer moved to (x, y) in the control.
    void pointerAt(int32_t x, int32_t y) { clicks.moved(x, y); }
    // Sets the parameter and reports the new value.
    void set(double value);
    // Moves the stored value by delta, held within 0 to 1.
    void nudge(double delta);
    // Closes the gesture (end edit, or a momentary one's closing report);
    // false when none was open. Cancelling closes it the same way.
    bool release();
    bool cancel() { return release(); }

    // Wheel notches (up positive) of an edit gesture: the first notch of a
    // burst begins an edit, each one moves the value and reports it; tick
    // ends the burst once it has been quiet for kWheelBurstMs. During a
    // press the notches belong to the press's edit.
    void wheel(int32_t notches, bool fine);
    // Ends a quiet wheel burst, or any open one when finishing. Returns the
    // milliseconds until the open burst is due to end, -1 when none is open.
    int32_t tick(bool finish);

    int32_t parameter() const { return parameterIndex; }
    // Open, and the modifiers of the press that opened it.
    bool held = false;
    bool shift = false;
    bool ctrl = false;
    // The last press set the default (Ctrl or a double-click).
    bool toDefault = false;

private:
    ZEditorControl& owner;
    int32_t parameterIndex;
    Kind kind;
    ZDoubleClick clicks;
    bool wheeling = false;
    int32_t wheelEndsMs = 0;
};

}  // namespace VRAX
