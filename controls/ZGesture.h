// The parameter side of one press-to-release gesture, written once and owned
// by every control that edits a parameter (and by the command button, for
// its held state and modifiers). The control decides what its press and drag
// mean; the gesture keeps the host's view whole: one begin edit, every change
// reported, one end edit, also when the release never comes. Wheel steps and
// a double-click to the default belong here too, so every control gets them.
#pragma once

#include <cstdint>

namespace VRAX {

class ZEditorControl;

class ZGesture {
public:
    enum class Kind : int32_t {
        edit,       // begin edit at the press, end edit at the release; Ctrl-press sets the default
        momentary,  // no begin or end edit: reports on both sides of each change
        none,       // no parameter: only the held state and the modifiers
    };

    ZGesture(ZEditorControl& owner, int32_t parameterIndex, Kind kind = Kind::edit);
    ZGesture(const ZGesture&) = delete;
    ZGesture& operator=(const ZGesture&) = delete;

    // Opens the gesture and keeps the modifiers; an edit gesture begins the
    // edit, reports, and with Ctrl returns the parameter to its default.
    // Opening and closing ask for the control to be redrawn.
    // False, changing nothing, while an edit gesture is open: that press
    // belongs to it, and a second begin edit would never end.
    bool press(bool shift, bool ctrl);
    // Sets the parameter and reports the new value.
    void set(double value);
    // Moves the stored value by delta, held within 0 to 1.
    void nudge(double delta);
    // Closes the gesture (end edit, or a momentary one's closing report);
    // false when none was open. Cancelling closes it the same way.
    bool release();
    bool cancel() { return release(); }

    // Open, and the modifiers of the press that opened it.
    bool held = false;
    bool shift = false;
    bool ctrl = false;

private:
    ZEditorControl& owner;
    int32_t parameterIndex;
    Kind kind;
};

}  // namespace VRAX
