#include "controls/ZDragControl.h"

namespace VRAX {

ZDragControl::ZDragControl(const ControlPlacement& placement, int32_t parameterIndex)
    : ZEditorControl(placement), parameterIndex(parameterIndex) {}

bool ZDragControl::grabsAt(int32_t, int32_t) const { return true; }

bool ZDragControl::leftDown(bool shift, bool ctrl, int32_t x, int32_t y) {
    if (!gesture.held && !grabsAt(x, y)) return false;
    // The press that started the gesture owns it; another one changes
    // nothing, and must not open a second edit that no release would close.
    if (!gesture.pressAt(shift, ctrl, x, y)) return true;
    // Ctrl and a double-click set the default; the moves after change nothing.
    dragging = !gesture.toDefault;
    lastX = x;
    lastY = y;
    return true;
}

bool ZDragControl::leftUp(bool, bool, int32_t, int32_t) {
    dragging = false;
    return gesture.release();
}

void ZDragControl::cancelGesture() { leftUp(false, false, 0, 0); }

bool ZDragControl::wheel(bool shift, bool, int32_t, int32_t, int32_t notches) {
    gesture.wheel(notches, shift);
    requestRedraw();
    return true;
}

int32_t ZDragControl::timerTick(bool finish) { return gesture.tick(finish); }

void ZDragControl::mouseMove(bool shift, bool, int32_t x, int32_t y) {
    gesture.pointerAt(x, y);
    if (!dragging) return;
    // Each step is relative to the last, so Shift can be pressed or released
    // mid-drag without a jump, and there is no dead zone past either end.
    const std::optional<double> delta =
        dragDelta(static_cast<double>(x) - lastX, static_cast<double>(y) - lastY);
    if (!delta) return;
    gesture.nudge(shift ? *delta * ZGesture::kFineFactor : *delta);
    lastX = x;
    lastY = y;
    requestRedraw();
}

}  // namespace VRAX
