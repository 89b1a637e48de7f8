#include "controls/ZRadio.h"

#include "controls/ControlFactories.h"
#include "controls/ZSwitch.h"
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

int32_t ZRadio::cursorAt(int32_t, int32_t) { return 2; }

bool ZRadio::isSelected() const {
    const double v = shownValue(parameterIndex);
    if (lower <= v && v < upper) return true;
    // The last item owns the top of the range.
    return v == 1.0 && upper == 1.0;
}

bool ZRadio::leftDown(bool, bool ctrl, int32_t, int32_t) {
    // A second press before the release belongs to the gesture already
    // running (one begin edit, one end edit).
    if (held) return true;
    held = true;
    const int32_t i = parameterIndex;
    beginEdit(i);
    reportParameter(i);
    // An item beyond the last one (a highlight radio's numbers are not
    // checked) would otherwise push the parameter out of its range.
    setParameterValue(i, ctrl ? defaultValue(i) : clampUnit(centre));
    reportParameter(i);
    requestRedraw();
    return true;
}

bool ZRadio::leftUp(bool, bool, int32_t, int32_t) {
    if (!held) return false;
    held = false;
    endEdit(parameterIndex);
    requestRedraw();
    return true;
}

void ZRadio::cancelGesture() {
    if (!held) return;
    held = false;
    endEdit(parameterIndex);
    requestRedraw();
}

// ---------------------------------------------------------------------------
// ZImgRadio

ZImgRadio::ZImgRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
                     ZImageResource* image)
    : ZRadio(placement, parameterIndex, item, lastItem), image(image) {}

int32_t ZImgRadio::frameIndex() {
    const int32_t on = isSelected() ? 1 : 0;
    if (!held) return on;
    const int32_t count = image ? image->getFrameCount() : 0;
    if (count == 3) return 2;
    return count == 4 ? on + 2 : on;
}

bool ZImgRadio::needsRedraw() { return dirty || !drawn || frameIndex() != lastFrame; }

void ZImgRadio::draw(ZCanvas* canvas) {
    const int32_t frame = frameIndex();
    if (canvas && image) image->drawFrame(canvas, 0, 0, frame);
    lastFrame = frame;
}

// ---------------------------------------------------------------------------
// ZHlRadio

ZHlRadio::ZHlRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
                   int32_t boxX, int32_t boxY, int32_t boxWidth, int32_t boxHeight, const unsigned char* offColour,
                   const unsigned char* onColour, const unsigned char* highlightColour)
    : ZRadio(placement, parameterIndex, item, lastItem),
      boxX(boxX),
      boxY(boxY),
      boxWidth(boxWidth),
      boxHeight(boxHeight),
      offColour(offColour),
      onColour(onColour),
      highlightColour(highlightColour) {}

bool ZHlRadio::needsRedraw() { return dirty || !drawn || isSelected() != lastSelected; }

void ZHlRadio::draw(ZCanvas* canvas) {
    const bool selected = isSelected();
    drawHighlight(canvas, {boxX, boxY, boxWidth, boxHeight, offColour, onColour, highlightColour}, width, height,
                  selected, held);
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
    const int32_t boxX = args.integer();
    const int32_t boxY = args.integer();
    const int32_t boxWidth = args.integer();
    const int32_t boxHeight = args.integer();
    const unsigned char* offColour = args.colour();
    const unsigned char* onColour = args.colour();
    const unsigned char* highlightColour = args.colour();
    if (parameter < 0 || !offColour || !onColour || !highlightColour) return nullptr;
    return new (std::nothrow) ZHlRadio(placement, parameter, item, lastItem, boxX, boxY, boxWidth, boxHeight,
                                       offColour, onColour, highlightColour);
}

}  // namespace VRAX
