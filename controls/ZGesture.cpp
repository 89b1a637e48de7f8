#include "controls/ZGesture.h"

#include "controls/ZEditorControl.h"

namespace VRAX {

ZGesture::ZGesture(ZEditorControl& owner, int32_t parameterIndex, Kind kind)
    : owner(owner), parameterIndex(parameterIndex), kind(kind) {}

bool ZGesture::press(bool pressShift, bool pressCtrl) {
    if (held && kind == Kind::edit) return false;
    held = true;
    shift = pressShift;
    ctrl = pressCtrl;
    if (kind == Kind::none) return true;
    if (kind == Kind::edit) owner.beginEdit(parameterIndex);
    owner.reportParameter(parameterIndex);
    if (kind == Kind::edit && pressCtrl) set(owner.defaultValue(parameterIndex));
    return true;
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
    return true;
}

}  // namespace VRAX
