#include "controls/ZPageSel.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

// ---------------------------------------------------------------------------
// ZPageSel

ZPageSel::ZPageSel(const ControlPlacement& placement, int32_t targetPage)
    : ZEditorControl(placement), targetPage(targetPage) {}

int32_t ZPageSel::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZPageSel::isActive() const { return skin && skin->getPage() == targetPage; }

bool ZPageSel::leftDown(bool, bool, int32_t, int32_t) {
    held = true;
    // The skin asks for the redraw; a page with another background is
    // repainted whole by the next drawing pass.
    if (skin) skin->setPage(targetPage);
    dirty = true;
    return true;
}

bool ZPageSel::leftUp(bool, bool, int32_t, int32_t) {
    if (!held) return false;
    held = false;
    dirty = true;
    if (skin) skin->requestRedraw();
    return true;
}

void ZPageSel::cancelGesture() {
    if (!held) return;
    held = false;
    dirty = true;
    if (skin) skin->requestRedraw();
}

// ---------------------------------------------------------------------------
// ZImgPageSel

ZImgPageSel::ZImgPageSel(const ControlPlacement& placement, ZImageResource* image, int32_t targetPage)
    : ZPageSel(placement, targetPage), strip(image) {}

int32_t ZImgPageSel::frameIndex() {
    if (held && strip.frameCount() == 3) return 2;
    return isActive() ? 1 : 0;
}

bool ZImgPageSel::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgPageSel::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

// ---------------------------------------------------------------------------
// ZPageSelHlt

ZPageSelHlt::ZPageSelHlt(const ControlPlacement& placement, int32_t targetPage, const unsigned char* colour)
    : ZPageSel(placement, targetPage), colour(colour) {}

bool ZPageSelHlt::needsRedraw() { return dirty || !drawn || held != lastHeld; }

void ZPageSelHlt::draw(ZCanvas* canvas) {
    // Idle, the skin's background shows through.
    if (held && canvas && colour) canvas->fillRect(0, 0, width, height, colour);
    lastHeld = held;
}

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZImgPageSel(const ControlPlacement& placement, SkinArgs& args) {
    ZImageResource* image = args.image();
    const int32_t page = args.integer();
    if (page < 1) args.noteFailure("page less than 1");
    if (!image || page < 1) return nullptr;
    return new (std::nothrow) ZImgPageSel(placement, image, page);
}

ZEditorControl* makeZPageSelHlt(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t page = args.integer();
    const unsigned char* colour = args.colour();
    if (page < 1) args.noteFailure("page less than 1");
    if (!colour || page < 1) return nullptr;
    return new (std::nothrow) ZPageSelHlt(placement, page, colour);
}

}  // namespace VRAX
