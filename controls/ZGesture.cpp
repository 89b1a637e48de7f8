#include "controls/ZGesture.h"

#include "controls/ZEditorControl.h"

#include <cstdlib>

namespace VRAX {

bool ZDoubleClick::press(int32_t x, int32_t y, int32_t nowMs) {
    // The clock wraps in 32 bits: the difference is taken unsigned.
    const uint32_t elapsed = static_cast<uint32_t>(nowMs) - static_cast<uint32_t>(firstMs);
    const bool second = armed && elapsed <= static_cast<uint32_t>(kIntervalMs) &&
                        std::abs(static_cast<int64_t>(x) - firstX) <= kDistance &&
                        std::abs(static_cast<int64_t>(y) - firstY) <= kDistance;
    armed = !second;
    firstX = x;
    firstY = y;
    firstMs = nowMs;
    return second;
}

void ZDoubleClick::moved(int32_t x, int32_t y) {
    if (std::abs(static_cast<int64_t>(x) - firstX) > kDistance || std::abs(static_cast<int64_t>(y) - firstY) > kDistance)
        armed = false;
}

ZGesture::ZGesture(ZEditorControl& owner, int32_t parameterIndex, Kind kind)
    : owner(owner), parameterIndex(parameterIndex), kind(kind) {}

bool ZGesture::press(bool pressShift, bool pressCtrl) {
    if (held && kind == Kind::edit) return false;
    // A press is an edit of its own: a wheel burst still open ends first.
    tick(true);
    held = true;
    shift = pressShift;
    ctrl = pressCtrl;
    toDefault = kind == Kind::edit && pressCtrl;
    if (kind != Kind::none) {
        if (kind == Kind::edit) owner.beginEdit(parameterIndex);
        owner.reportParameter(parameterIndex);
        if (toDefault) set(owner.defaultValue(parameterIndex));
    }
    owner.requestRedraw();
    return true;
}

bool ZGesture::pressAt(bool pressShift, bool pressCtrl, int32_t x, int32_t y) {
    if (held && kind == Kind::edit) return false;
    const bool second = clicks.press(x, y, ZEditorControl::nowMs());
    return press(pressShift, pressCtrl || (second && kind == Kind::edit));
}

void ZGesture::set(double value) {
    owner.setParameterValue(parameterIndex, value);
    owner.reportParameter(parameterIndex);
}

void ZGesture::nudge(double delta) {
    double v = owner.storedValue(parameterIndex) + delta;
    if (v < 0.0) v = 0.0;
    if (v > 1.0) v = 1.0;
    set(v);
}

bool ZGesture::release() {
    if (!held) return false;
    held = false;
    shift = false;
    ctrl = false;
    if (kind == Kind::edit) owner.endEdit(parameterIndex);
    if (kind == Kind::momentary) owner.reportParameter(parameterIndex);
    owner.requestRedraw();
    return true;
}

void ZGesture::wheel(int32_t notches, bool fine) {
    if (kind != Kind::edit || notches == 0) return;
    if (!held && !wheeling) {
        owner.beginEdit(parameterIndex);
        wheeling = true;
    }
    // One step per notch, each reported, as a drag reports each move.
    const double step = notches > 0 ? kWheelStep : -kWheelStep;
    for (int32_t n = notches > 0 ? notches : -notches; n > 0; --n) nudge(fine ? step * kFineFactor : step);
    if (wheeling) wheelEndsMs = static_cast<int32_t>(static_cast<uint32_t>(ZEditorControl::nowMs()) + kWheelBurstMs);
    // A wheel turn is no click: it breaks a double-click in the making.
    clicks.forget();
}

int32_t ZGesture::tick(bool finish) {
    if (!wheeling) return -1;
    const int32_t left = static_cast<int32_t>(static_cast<uint32_t>(wheelEndsMs) -
                                              static_cast<uint32_t>(ZEditorControl::nowMs()));
    if (!finish && left > 0) return left;
    wheeling = false;
    owner.endEdit(parameterIndex);
    return -1;
}

}  // namespace VRAX
