#include "controls/ZValue.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

// ---------------------------------------------------------------------------
// ZValue

ZValue::ZValue(const ControlPlacement& placement, int32_t parameterIndex, ZFont* font)
    : ZEditorControl(placement), parameterIndex(parameterIndex), font(font) {}

// The text is not compared: it follows the value.
bool ZValue::needsRedraw() { return dirty || !drawn || movedVisibly(shownValue(parameterIndex), lastValue); }

void ZValue::draw(ZCanvas* canvas) {
    if (entry.isOpen()) {
        entry.draw(canvas, width, height, font);
    } else {
        const char* text = displayText(parameterIndex);
        if (canvas && font && text) canvas->drawText(text, 0, 0, width, height, font, kAlignCentre);
    }
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
    : ZValue(placement, parameterIndex, font), image(image) {}

void ZBgValue::draw(ZCanvas* canvas) {
    if (canvas && image) image->drawFrame(canvas, 0, 0, 0);
    ZValue::draw(canvas);
}

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
