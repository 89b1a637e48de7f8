#include "controls/ZSwitch.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace VRAX {

namespace {

constexpr double kValueEpsilon = 0.00001;
constexpr double kCrossWidth = 1.5;

}  // namespace

void drawHighlight(ZCanvas* canvas, const ZHighlightLook& look, int32_t controlWidth, int32_t controlHeight,
                   bool state, bool held) {
    if (!canvas) return;
    const double cx = look.boxX + look.boxWidth * 0.5;
    const double cy = look.boxY + look.boxHeight * 0.5;
    const double r = std::min(look.boxWidth, look.boxHeight) * 0.5;
    // An empty or inside-out box has no mark to show.
    if (r > 0.0) {
        if (state) {
            if (look.onColour) canvas->fillCircle(cx, cy, r, look.onColour);
        } else if (look.offColour) {
            const double d = r * 0.7;
            canvas->drawLine(cx - d, cy - d, cx + d, cy + d, kCrossWidth, look.offColour);
            canvas->drawLine(cx - d, cy + d, cx + d, cy - d, kCrossWidth, look.offColour);
        }
    }
    if (held && look.highlightColour) canvas->fillRect(0, 0, controlWidth, controlHeight, look.highlightColour);
}

// ---------------------------------------------------------------------------
// ZSwitch

ZSwitch::ZSwitch(const ControlPlacement& placement, int32_t parameterIndex)
    : ZEditorControl(placement), parameterIndex(parameterIndex) {}

int32_t ZSwitch::cursorAt(int32_t, int32_t) { return 2; }

bool ZSwitch::isOn() const { return shownValue(parameterIndex) >= 0.5; }

bool ZSwitch::leftDown(bool, bool ctrl, int32_t, int32_t) {
    // A second press before the release belongs to the gesture already
    // running; flipping again would open a second edit that never ends.
    if (held) return true;
    held = true;
    const int32_t i = parameterIndex;
    if (ctrl) {
        beginEdit(i);
        reportParameter(i);
        setParameterValue(i, defaultValue(i));
    } else {
        const double v = shownValue(i);
        beginEdit(i);
        reportParameter(i);
        setParameterValue(i, v >= 0.5 ? 0.0 : 1.0);
    }
    reportParameter(i);
    requestRedraw();
    return true;
}

bool ZSwitch::leftUp(bool, bool, int32_t, int32_t) {
    if (!held) return false;
    held = false;
    endEdit(parameterIndex);
    requestRedraw();
    return true;
}

void ZSwitch::cancelGesture() {
    if (!held) return;
    held = false;
    endEdit(parameterIndex);
    requestRedraw();
}

// ---------------------------------------------------------------------------
// ZImgSwitch

ZImgSwitch::ZImgSwitch(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image)
    : ZSwitch(placement, parameterIndex), image(image) {}

int32_t ZImgSwitch::frameIndex() {
    const int32_t on = isOn() ? 1 : 0;
    if (!held) return on;
    const int32_t count = image ? image->getFrameCount() : 0;
    if (count == 3) return 2;
    return count == 4 ? on + 2 : on;
}

bool ZImgSwitch::needsRedraw() { return dirty || !drawn || frameIndex() != lastFrame; }

void ZImgSwitch::draw(ZCanvas* canvas) {
    const int32_t frame = frameIndex();
    if (canvas && image) image->drawFrame(canvas, 0, 0, frame);
    lastFrame = frame;
}

// ---------------------------------------------------------------------------
// ZHlSwitch

ZHlSwitch::ZHlSwitch(const ControlPlacement& placement, int32_t parameterIndex, int32_t boxX, int32_t boxY,
                     int32_t boxWidth, int32_t boxHeight, const unsigned char* offColour,
                     const unsigned char* onColour, const unsigned char* highlightColour)
    : ZSwitch(placement, parameterIndex),
      boxX(boxX),
      boxY(boxY),
      boxWidth(boxWidth),
      boxHeight(boxHeight),
      offColour(offColour),
      onColour(onColour),
      highlightColour(highlightColour) {}

bool ZHlSwitch::needsRedraw() {
    if (dirty || !drawn) return true;
    // Compared with the value, not the state: a parameter resting between
    // 0 and 1 is drawn again at every pass.
    return !(std::fabs(shownValue(parameterIndex) - (lastOn ? 1.0 : 0.0)) < kValueEpsilon);
}

void ZHlSwitch::draw(ZCanvas* canvas) {
    const bool on = isOn();
    drawHighlight(canvas, {boxX, boxY, boxWidth, boxHeight, offColour, onColour, highlightColour}, width, height, on,
                  held);
    lastOn = on;
}

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZImgSwitch(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    if (parameter < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgSwitch(placement, parameter, image);
}

ZEditorControl* makeZHlSwitch(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const int32_t boxX = args.integer();
    const int32_t boxY = args.integer();
    const int32_t boxWidth = args.integer();
    const int32_t boxHeight = args.integer();
    const unsigned char* offColour = args.colour();
    const unsigned char* onColour = args.colour();
    const unsigned char* highlightColour = args.colour();
    if (parameter < 0 || !offColour || !onColour || !highlightColour) return nullptr;
    return new (std::nothrow)
        ZHlSwitch(placement, parameter, boxX, boxY, boxWidth, boxHeight, offColour, onColour, highlightColour);
}

}  // namespace VRAX
