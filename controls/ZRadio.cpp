#include "controls/ZRadio.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

namespace {

double clampUnit(double v) {
    if (v < 0.0) return 0.0;
    if (v > 1.0) return 1.0;
    return v;
}

}  // namespace

// ---------------------------------------------------------------------------
// ZRadio

ZRadio::ZRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem)
    : ZEditorControl(placement), parameterIndex(parameterIndex), item(item), lastItem(lastItem) {
    // In doubles, so that no item number overflows. A highlight radio's
    // numbers are not checked by the skin; a last item below 0 counts as a
    // single item rather than dividing by zero or by a negative count.
    const double a = item;
    const double items = lastItem >= 0 ? lastItem + 1.0 : 1.0;
    lower = (2.0 * a) / (2.0 * items);
    upper = (2.0 * a + 2.0) / (2.0 * items);
    centre = (2.0 * a + 1.0) / (2.0 * items);
}

int32_t ZRadio::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZRadio::isSelected() const {
    const double v = shownValue(parameterIndex);
    if (lower <= v && v < upper) return true;
    // The last item owns the top of the range.
    return v == 1.0 && upper == 1.0;
}

bool ZRadio::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    // A second press before the release belongs to the gesture already
    // running (one begin edit, one end edit).
    if (!gesture.press(shift, ctrl)) return true;
    // An item beyond the last one (a highlight radio's numbers are not
    // checked) would otherwise push the parameter out of its range.
    if (!ctrl) gesture.set(clampUnit(centre));
    requestRedraw();
    return true;
}

bool ZRadio::leftUp(bool, bool, int32_t, int32_t) {
    if (!gesture.release()) return false;
    requestRedraw();
    return true;
}

void ZRadio::cancelGesture() { leftUp(false, false, 0, 0); }

// ---------------------------------------------------------------------------
// ZImgRadio

ZImgRadio::ZImgRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
                     ZImageResource* image)
    : ZRadio(placement, parameterIndex, item, lastItem), strip(image) {}

int32_t ZImgRadio::frameIndex() { return strip.heldFrame(isSelected(), gesture.held); }

bool ZImgRadio::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgRadio::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

// ---------------------------------------------------------------------------
// ZHlRadio

ZHlRadio::ZHlRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
                   const ZHighlightLook& look)
    : ZRadio(placement, parameterIndex, item, lastItem), look(look) {}

bool ZHlRadio::needsRedraw() { return dirty || !drawn || isSelected() != lastSelected; }

void ZHlRadio::draw(ZCanvas* canvas) {
    const bool selected = isSelected();
    drawHighlight(canvas, look, width, height, selected, gesture.held);
    lastSelected = selected;
}

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZImgRadio(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const int32_t item = args.integer();
    const int32_t lastItem = args.integer();
    ZImageResource* image = args.image();
    if (item < 0) {
        args.noteFailure("item less than 0");
    } else if (lastItem < item) {
        args.noteFailure("last item less than item");
    }
    if (parameter < 0 || !image || item < 0 || lastItem < item) return nullptr;
    return new (std::nothrow) ZImgRadio(placement, parameter, item, lastItem, image);
}

ZEditorControl* makeZHlRadio(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const int32_t item = args.integer();
    const int32_t lastItem = args.integer();
    const ZHighlightLook look = readHighlightLook(args);
    if (parameter < 0 || !look.offColour || !look.onColour || !look.highlightColour) return nullptr;
    return new (std::nothrow) ZHlRadio(placement, parameter, item, lastItem, look);
}

}  // namespace VRAX
