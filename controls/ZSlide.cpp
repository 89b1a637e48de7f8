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
    : ZDragControl(placement, parameterIndex),
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

bool ZSlide::grabsAt(int32_t px, int32_t py) const { return isOnHandle(px, py); }

// A drag over the whole travel covers the whole range; sideways movement
// does nothing. Without travel there is no distance to measure it against.
std::optional<double> ZSlide::dragDelta(double, double dy) const {
    if (travel < 1) return std::nullopt;
    return -dy * (1.0 / travel);
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
