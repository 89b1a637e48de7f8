// The parameter side of one press-to-release gesture, written once and owned
// by every control that edits a parameter (and, without a parameter, by the
// command button for its held state and modifiers). A control decides what
// its press and drag mean; the gesture keeps the host's view consistent:
// one begin edit per gesture, every change reported, one end edit, also when
// the release never comes. Wheel steps and a double-click to the default
// belong here too, so that every control gets them from this one place.
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

    // Opens the gesture and keeps the modifiers. An edit gesture begins the
    // edit and reports, then with Ctrl returns the parameter to its default.
    // False, changing nothing, when an edit gesture is open already: that
    // second press belongs to it, and a second begin edit would never end.
    bool press(bool shift, bool ctrl);
    // Sets the parameter and reports the new value.
    void set(double value);
    // Moves the stored value by delta, held within 0 to 1.
    void nudge(double delta);
    // Closes the gesture (end edit, or the closing report of a momentary
    // one). False when none was open.
    bool release();
    // The release will never come: closed as a release would close it.
    bool cancel() { return release(); }

    int32_t parameter() const { return parameterIndex; }
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
