// The mouse behaviour shared by the controls whose value follows a relative
// drag (pots and slides): a press opens the gesture (Ctrl or a double-click
// sets the default instead of dragging), each move nudges the value by what
// the control makes of it (Shift for a tenth), the wheel steps it, and the
// release or a cancel closes the edit. Subclasses say where a press may
// start and how far a move goes; they only draw.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZGesture.h"

#include <cstdint>
#include <optional>

namespace VRAX {

class ZDragControl : public ZEditorControl {
public:
    ZDragControl(const ControlPlacement& placement, int32_t parameterIndex);

    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void cancelGesture() override;
    bool wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches) override;
    int32_t timerTick(bool finish) override;

    int32_t parameterIndex;
    ZGesture gesture{*this, parameterIndex};
    int32_t lastX = 0;
    int32_t lastY = 0;
    bool dragging = false;

protected:
    // Whether a press at (x, y) may open a gesture.
    virtual bool grabsAt(int32_t x, int32_t y) const;
    // The change of normalised value for a move of (dx, dy) pixels, y
    // growing downwards; none when the control cannot be dragged now.
    virtual std::optional<double> dragDelta(double dx, double dy) const = 0;
};

}  // namespace VRAX
