#include "controls/ZButton.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

ZButton::ZButton(const ControlPlacement& placement, int32_t parameterIndex)
    : ZEditorControl(placement), parameterIndex(parameterIndex) {}

int32_t ZButton::cursorAt(int32_t, int32_t) { return 2; }

void ZButton::sendValue(double value) {
    reportParameter(parameterIndex);
    setParameterValue(parameterIndex, value);
    reportParameter(parameterIndex);
}

bool ZButton::leftDown(bool, bool, int32_t, int32_t) {
    held = true;
    sendValue(1.0);
    requestRedraw();
    return true;
}

bool ZButton::leftUp(bool, bool, int32_t, int32_t) {
    if (!held) return false;
    held = false;
    sendValue(0.0);
    requestRedraw();
    return true;
}

void ZButton::cancelGesture() {
    if (!held) return;
    // A button that lost its release must not leave the parameter at 1.
    sendValue(0.0);
    held = false;
    requestRedraw();
}

ZImgButton::ZImgButton(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image)
    : ZButton(placement, parameterIndex), image(image) {}

int32_t ZImgButton::frameIndex() {
    const int32_t count = image ? image->getFrameCount() : 0;
    if (count > 1 && (storedValue(parameterIndex) >= 0.5 || held)) {
        if (count < 3) return 1;
        return held ? 2 : 1;
    }
    return 0;
}

bool ZImgButton::needsRedraw() { return dirty || !drawn || frameIndex() != lastFrame; }

void ZImgButton::draw(ZCanvas* canvas) {
    const int32_t frame = frameIndex();
    if (canvas && image) image->drawFrame(canvas, 0, 0, frame);
    lastFrame = frame;
}

ZEditorControl* makeZImgButton(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    if (parameter < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgButton(placement, parameter, image);
}

}  // namespace VRAX
