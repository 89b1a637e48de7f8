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

int32_t ZSwitch::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZSwitch::isOn() const { return shownValue(parameterIndex) >= 0.5; }

bool ZSwitch::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    // A second press before the release belongs to the gesture already
    // running; flipping again would open a second edit that never ends.
    const bool wasOn = isOn();
    if (!gesture.press(shift, ctrl)) return true;
    if (!ctrl) gesture.set(wasOn ? 0.0 : 1.0);
    requestRedraw();
    return true;
}

bool ZSwitch::leftUp(bool, bool, int32_t, int32_t) {
    if (!gesture.release()) return false;
    requestRedraw();
    return true;
}

void ZSwitch::cancelGesture() { leftUp(false, false, 0, 0); }

// ---------------------------------------------------------------------------
// ZImgSwitch

ZImgSwitch::ZImgSwitch(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image)
    : ZSwitch(placement, parameterIndex), strip(image) {}

int32_t ZImgSwitch::frameIndex() { return strip.heldFrame(isOn(), gesture.held); }

bool ZImgSwitch::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgSwitch::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

// ---------------------------------------------------------------------------
// ZHlSwitch

ZHlSwitch::ZHlSwitch(const ControlPlacement& placement, int32_t parameterIndex, const ZHighlightLook& look)
    : ZSwitch(placement, parameterIndex), look(look) {}

bool ZHlSwitch::needsRedraw() {
    if (dirty || !drawn) return true;
    // Compared with the value, not the state: a parameter resting between
    // 0 and 1 is drawn again at every pass.
    return !(std::fabs(shownValue(parameterIndex) - (lastOn ? 1.0 : 0.0)) < kValueEpsilon);
}

void ZHlSwitch::draw(ZCanvas* canvas) {
    const bool on = isOn();
    drawHighlight(canvas, look, width, height, on, gesture.held);
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

ZHighlightLook readHighlightLook(SkinArgs& args) {
    ZHighlightLook look{};
    look.boxX = args.integer();
    look.boxY = args.integer();
    look.boxWidth = args.integer();
    look.boxHeight = args.integer();
    look.offColour = args.colour();
    look.onColour = args.colour();
    look.highlightColour = args.colour();
    return look;
}

ZEditorControl* makeZHlSwitch(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const ZHighlightLook look = readHighlightLook(args);
    if (parameter < 0 || !look.offColour || !look.onColour || !look.highlightColour) return nullptr;
    return new (std::nothrow) ZHlSwitch(placement, parameter, look);
}

}  // namespace VRAX
