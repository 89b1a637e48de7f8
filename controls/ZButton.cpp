#include "controls/ZButton.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

ZButton::ZButton(const ControlPlacement& placement, int32_t parameterIndex)
    : ZEditorControl(placement), parameterIndex(parameterIndex) {}

int32_t ZButton::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZButton::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    gesture.press(shift, ctrl);
    gesture.set(1.0);
    requestRedraw();
    return true;
}

bool ZButton::leftUp(bool, bool, int32_t, int32_t) {
    if (!gesture.release()) return false;
    // Also when the release never comes: the parameter must not stay at 1.
    gesture.set(0.0);
    requestRedraw();
    return true;
}

void ZButton::cancelGesture() { leftUp(false, false, 0, 0); }

ZImgButton::ZImgButton(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image)
    : ZButton(placement, parameterIndex), strip(image) {}

int32_t ZImgButton::frameIndex() {
    const int32_t count = strip.frameCount();
    if (count > 1 && (storedValue(parameterIndex) >= 0.5 || gesture.held)) {
        if (count < 3) return 1;
        return gesture.held ? 2 : 1;
    }
    return 0;
}

bool ZImgButton::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgButton::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

ZEditorControl* makeZImgButton(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    if (parameter < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgButton(placement, parameter, image);
}

}  // namespace VRAX
