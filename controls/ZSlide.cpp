#include "controls/ZSlide.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cstdint>
#include <new>

namespace VRAX {

namespace {

// The box offset comes from the script unchecked; keep the sum in range.
int32_t saturatedSum(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(sum);
}

}  // namespace

ZSlide::ZSlide(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* handle,
               const unsigned char* highlightColour, int32_t highlightX, int32_t highlightY, int32_t highlightWidth,
               int32_t highlightHeight)
    : ZEditorControl(placement),
      parameterIndex(parameterIndex),
      handle(handle),
      highlightColour(highlightColour),
      highlightX(highlightX),
      highlightY(highlightY),
      highlightWidth(highlightWidth),
      highlightHeight(highlightHeight),
      travel(static_cast<int32_t>(static_cast<int64_t>(placement.height) - (handle ? handle->getFrameHeight() : 0))) {}

int32_t ZSlide::handleWidth() const { return handle ? handle->getFrameWidth() : 0; }

int32_t ZSlide::handleHeight() const { return handle ? handle->getFrameHeight() : 0; }

int32_t ZSlide::handlePosition() {
    // A handle as tall as the control, or taller, has nowhere to go.
    if (travel < 1) return 0;
    double v = shownValue(parameterIndex);
    if (!(v >= 0.0)) v = 0.0;  // also a value that is not a number
    if (v > 1.0) v = 1.0;
    return travel - static_cast<int32_t>(v * (travel - 1.0) + 0.5);
}

bool ZSlide::needsRedraw() { return dirty || !drawn || handlePosition() != lastPosition; }

void ZSlide::draw(ZCanvas* canvas) {
    const int32_t position = handlePosition();
    if (canvas) {
        if (handle) handle->drawFrame(canvas, 0, position, 0);
        if (gesture.held && highlightColour)
            canvas->fillRect(highlightX, saturatedSum(position, highlightY), highlightWidth, highlightHeight,
                             highlightColour);
    }
    lastPosition = position;
}

bool ZSlide::isOnHandle(int32_t px, int32_t py) const {
    const int64_t top = lastPosition;
    return px >= 0 && px < handleWidth() && py >= top && py < top + handleHeight();
}

int32_t ZSlide::cursorAt(int32_t px, int32_t py) { return gesture.held || isOnHandle(px, py) ? kCursorHand : kCursorAny; }

bool ZSlide::leftDown(bool shift, bool ctrl, int32_t px, int32_t py) {
    // The track does not jump the handle to the click; and a press while
    // held must not open a second edit that no release would close.
    if (gesture.held || !isOnHandle(px, py)) return gesture.held;
    gesture.pressAt(shift, ctrl, px, py);
    dragging = !gesture.toDefault;
    lastX = px;
    lastY = py;
    return true;
}

bool ZSlide::leftUp(bool, bool, int32_t, int32_t) {
    dragging = false;
    return gesture.release();
}

void ZSlide::cancelGesture() { leftUp(false, false, 0, 0); }

// The whole control takes the wheel, the track as well as the handle.
bool ZSlide::wheel(bool shift, bool, int32_t, int32_t, int32_t notches) {
    gesture.wheel(notches, shift);
    requestRedraw();
    return true;
}

int32_t ZSlide::timerTick(bool finish) { return gesture.tick(finish); }

void ZSlide::mouseMove(bool shift, bool, int32_t px, int32_t py) {
    gesture.pointerAt(px, py);
    // Without travel there is no distance to measure the drag against.
    if (!dragging || travel < 1) return;
    // A drag over the whole travel covers the whole range; sideways
    // movement does nothing.
    double delta = (static_cast<double>(lastY) - py) * (1.0 / travel);
    if (shift) delta *= 0.1;
    gesture.nudge(delta);
    lastX = px;
    lastY = py;
    requestRedraw();
}

ZEditorControl* makeZSlide(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* handle = args.image();
    const unsigned char* colour = args.colour();
    const int32_t hx = args.integer();
    const int32_t hy = args.integer();
    const int32_t hw = args.integer();
    const int32_t hh = args.integer();
    if (parameter < 0 || !handle || !colour) return nullptr;
    return new (std::nothrow) ZSlide(placement, parameter, handle, colour, hx, hy, hw, hh);
}

}  // namespace VRAX
