#include "controls/ZValue.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cmath>
#include <new>

namespace VRAX {

namespace {

// Smallest change of the shown value that is worth drawing again. The text
// is not compared: it follows the value.
constexpr double kValueEpsilon = 0.00001;

bool valueMoved(double now, double last) { return !(std::fabs(now - last) < kValueEpsilon); }

void drawCentred(ZCanvas* canvas, const char* text, int32_t width, int32_t height, const ZFont* font) {
    if (canvas && font && text) canvas->drawText(text, 0, 0, width, height, font, kAlignCentre);
}

}  // namespace

// ---------------------------------------------------------------------------
// ZValue

ZValue::ZValue(const ControlPlacement& placement, int32_t parameterIndex, ZFont* font)
    : ZEditorControl(placement), parameterIndex(parameterIndex), font(font) {}

bool ZValue::needsRedraw() {
    return dirty || !drawn || valueMoved(shownValue(parameterIndex), lastValue);
}

void ZValue::draw(ZCanvas* canvas) {
    if (entry.isOpen())
        entry.draw(canvas, width, height, font);
    else
        drawCentred(canvas, displayText(parameterIndex), width, height, font);
    lastValue = shownValue(parameterIndex);
}

int32_t ZValue::cursorAt(int32_t, int32_t) { return entry.isOpen() ? kCursorText : kCursorAny; }

// Never captures: a press only counts towards the double-click that opens
// the field, and a press elsewhere closes it.
bool ZValue::leftDown(bool, bool, int32_t px, int32_t py) {
    entry.press(px, py);
    return false;
}

bool ZValue::keyDown(int32_t key, uint32_t character) { return entry.key(key, character); }

bool ZValue::isTyping() const { return entry.isOpen(); }

void ZValue::stopTyping() { entry.cancel(); }

// ---------------------------------------------------------------------------
// ZBgValue

ZBgValue::ZBgValue(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image, ZFont* font)
    : ZEditorControl(placement), parameterIndex(parameterIndex), image(image), font(font) {}

bool ZBgValue::needsRedraw() {
    return dirty || !drawn || valueMoved(shownValue(parameterIndex), lastValue);
}

void ZBgValue::draw(ZCanvas* canvas) {
    if (canvas && image) image->drawFrame(canvas, 0, 0, 0);
    if (entry.isOpen())
        entry.draw(canvas, width, height, font);
    else
        drawCentred(canvas, displayText(parameterIndex), width, height, font);
    lastValue = shownValue(parameterIndex);
}

int32_t ZBgValue::cursorAt(int32_t, int32_t) { return entry.isOpen() ? kCursorText : kCursorAny; }

bool ZBgValue::leftDown(bool, bool, int32_t px, int32_t py) {
    entry.press(px, py);
    return false;
}

bool ZBgValue::keyDown(int32_t key, uint32_t character) { return entry.key(key, character); }

bool ZBgValue::isTyping() const { return entry.isOpen(); }

void ZBgValue::stopTyping() { entry.cancel(); }

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZValue(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZFont* font = args.font();
    if (parameter < 0 || !font) return nullptr;
    return new (std::nothrow) ZValue(placement, parameter, font);
}

ZEditorControl* makeZBgValue(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    ZFont* font = args.font();
    if (parameter < 0 || !image || !font) return nullptr;
    return new (std::nothrow) ZBgValue(placement, parameter, image, font);
}

}  // namespace VRAX
