#include "skin/ZEditorSkin.h"

#include "controls/ZEditorControl.h"
#include "editor/EditorWindow.h"
#include "editor/ZCanvas.h"
#include "skin/ZEditorResource.h"
#include "skin/ZImageResource.h"

#include <cstdint>

namespace VRAX {

namespace {

const unsigned char kBlack[4] = {0, 0, 0, 255};

// Pointer position relative to a control's corner; a script may place a
// control anywhere in the 32-bit range, so the difference is clamped.
int32_t relative(int32_t position, int32_t origin) {
    const int64_t d = static_cast<int64_t>(position) - origin;
    return d > INT32_MAX ? INT32_MAX : (d < INT32_MIN ? INT32_MIN : static_cast<int32_t>(d));
}

}  // namespace

ZEditorSkin::ZEditorSkin(ZEffect* effect) : effect(effect) {}

ZEditorSkin::~ZEditorSkin() {
    // Whatever points at something is destroyed before what it points at.
    currentBackground = nullptr;
    backgrounds.clear();
    controls.clear();
    conditions.clear();
    checks.clear();
    resources.clear();
}

void ZEditorSkin::requestRedraw() {
    if (redrawSuppressed.load()) return;
    if (EditorWindow* target = window.load()) target->requestExpose();
}

void ZEditorSkin::redrawAll() {
    fullRedraw = true;
    requestRedraw();
}

void ZEditorSkin::setRedrawSuppressed(bool suppressed) {
    redrawSuppressed.store(suppressed);
    if (suppressed) return;
    if (EditorWindow* target = window.load()) target->requestExpose();
}

void ZEditorSkin::setPage(int32_t page) {
    currentPage = page;
    requestRedraw();
}

bool ZEditorSkin::isVisible(int32_t page, const ZConditionSet& set) const {
    return (page == 0 || page == currentPage) && set.holds();
}

bool ZEditorSkin::isVisible(const ZEditorControl* control) const {
    return control && (control->page == 0 || control->page == currentPage) && control->conditionsHold();
}

void ZEditorSkin::attach(ZCanvas* canvas) {
    currentBackground = nullptr;
    for (int32_t i = 0; i < controls.size(); ++i) {
        if (ZEditorControl* control = controls.get(i)) control->invalidate();
    }
    for (int32_t i = 0; i < resources.size(); ++i) {
        if (ZEditorResource* resource = resources.get(i)) resource->load(canvas);
    }
}

void ZEditorSkin::detach(ZCanvas* canvas) {
    // A gesture still held when the window goes (the host closed the editor
    // with the button down) never sees its release: end it now, so the host
    // hears the end of the edit and the next window starts with a free mouse.
    if (ZEditorControl* captured = capturedTarget()) captured->cancelGesture();
    capturedControl = -1;
    dropRelease = false;
    // Typing and wheel bursts end with the window too.
    stopTypingExcept(nullptr);
    for (int32_t i = 0; i < controls.size(); ++i) {
        if (ZEditorControl* control = controls.get(i)) control->timerTick(true);
    }
    for (int32_t i = 0; i < resources.size(); ++i) {
        if (ZEditorResource* resource = resources.get(i)) resource->unload(canvas);
    }
}

void ZEditorSkin::draw(ZCanvas* canvas) {
    if (!canvas) return;
    canvas->resetRegion();

    ZEditorBg* chosen = nullptr;
    for (int32_t i = 0; i < backgrounds.size() && !chosen; ++i) {
        ZEditorBg* background = backgrounds.get(i);
        if (background && isVisible(background->page, background->conditions)) chosen = background;
    }

    // A new background repaints the whole window, so nothing needs erasing:
    // every control just draws afresh.
    // Taken in one step, so a redrawAll from another thread is never lost.
    const bool full = fullRedraw.exchange(false);
    if (chosen != currentBackground || full) {
        currentBackground = chosen;
        canvas->fillRectRgb(0, 0, width, height, kBlack);
        if (chosen && chosen->image) chosen->image->drawFrame(canvas, 0, 0, chosen->frame);
        for (int32_t i = 0; i < controls.size(); ++i) {
            if (ZEditorControl* control = controls.get(i)) control->invalidate();
        }
    }

    for (int32_t i = 0; i < controls.size(); ++i) {
        ZEditorControl* control = controls.get(i);
        if (!control) continue;
        canvas->setRegion(control->x, control->y, control->width, control->height);
        if (isVisible(control)) {
            control->paint(canvas);
        } else {
            control->erase(canvas);
        }
        canvas->resetRegion();
    }
}

void ZEditorSkin::eraseBackground(ZCanvas* canvas) {
    if (!canvas) return;
    const int32_t x = canvas->getOriginX();
    const int32_t y = canvas->getOriginY();
    const int32_t w = canvas->getClipWidth();
    const int32_t h = canvas->getClipHeight();
    canvas->fillRectRgb(0, 0, w, h, kBlack);
    if (currentBackground && currentBackground->image) {
        currentBackground->image->drawFramePart(canvas, currentBackground->frame, ZRect{x, y, w, h}, ZPoint{0, 0});
    }
}

ZEditorControl* ZEditorSkin::hitTest(int32_t x, int32_t y, int32_t* index) const {
    for (int32_t i = 0; i < controls.size(); ++i) {
        ZEditorControl* control = controls.get(i);
        if (control && control->contains(x, y) && isVisible(control)) {
            if (index) *index = i;
            return control;
        }
    }
    if (index) *index = -1;
    return nullptr;
}

ZEditorControl* ZEditorSkin::capturedTarget() const {
    if (capturedControl < 0 || capturedControl >= controls.size()) return nullptr;
    return controls.get(capturedControl);
}

ZEditorControl* ZEditorSkin::eventTarget(int32_t x, int32_t y, int32_t* index) {
    if (ZEditorControl* captured = capturedTarget()) {
        if (isVisible(captured)) {
            *index = capturedControl;
            return captured;
        }
        // Its page went away or a condition hid it: it would never see the
        // release, and holding on would leave every later event with an
        // invisible target. End its gesture and route by position again,
        // all but the release of that press.
        capturedControl = -1;
        captured->cancelGesture();
        dropRelease = true;
    } else {
        capturedControl = -1;
    }
    return hitTest(x, y, index);
}

bool ZEditorSkin::routeButton(ButtonHandler handler, bool press, bool shift, bool ctrl, int32_t x, int32_t y) {
    int32_t index = -1;
    ZEditorControl* target = eventTarget(x, y, &index);
    // A new press means that the release of any earlier one has come or
    // never will: there is nothing left to drop.
    if (press) dropRelease = false;
    // With the tab of another page under the pointer, that release would
    // otherwise click whatever the new page shows there.
    const bool dropped = !press && dropRelease;
    if (!press) dropRelease = false;
    if (!target || dropped) return false;
    const bool result = (target->*handler)(shift, ctrl, relative(x, target->x), relative(y, target->y));
    if (result) capturedControl = press ? index : -1;
    return result;
}

bool ZEditorSkin::leftDown(bool shift, bool ctrl, int32_t x, int32_t y) {
    // A press anywhere but on the field that is open closes it unset.
    if (typing.load()) stopTypingExcept(capturedTarget() ? capturedTarget() : hitTest(x, y, nullptr));
    const bool taken = routeButton(&ZEditorControl::leftDown, true, shift, ctrl, x, y);
    noteTyping();
    return taken;
}

bool ZEditorSkin::leftUp(bool shift, bool ctrl, int32_t x, int32_t y) {
    return routeButton(&ZEditorControl::leftUp, false, shift, ctrl, x, y);
}

bool ZEditorSkin::rightDown(bool shift, bool ctrl, int32_t x, int32_t y) {
    return routeButton(&ZEditorControl::rightDown, true, shift, ctrl, x, y);
}

bool ZEditorSkin::rightUp(bool shift, bool ctrl, int32_t x, int32_t y) {
    return routeButton(&ZEditorControl::rightUp, false, shift, ctrl, x, y);
}

void ZEditorSkin::mouseMove(bool shift, bool ctrl, int32_t x, int32_t y) {
    int32_t index = -1;
    ZEditorControl* target = eventTarget(x, y, &index);
    if (target) target->mouseMove(shift, ctrl, relative(x, target->x), relative(y, target->y));
}

int32_t ZEditorSkin::cursorAt(int32_t x, int32_t y) const {
    ZEditorControl* target = capturedTarget();
    if (!target) target = hitTest(x, y, nullptr);
    if (!target || !isVisible(target)) return kCursorNothing;
    return target->cursorAt(relative(x, target->x), relative(y, target->y));
}

bool ZEditorSkin::wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches) {
    int32_t index = -1;
    ZEditorControl* target = eventTarget(x, y, &index);
    if (!target) return false;
    return target->wheel(shift, ctrl, relative(x, target->x), relative(y, target->y), notches);
}

void ZEditorSkin::endCapture() {
    ZEditorControl* captured = capturedTarget();
    capturedControl = -1;
    // No button is down: no release is on its way to be dropped.
    dropRelease = false;
    if (captured) captured->cancelGesture();
}

int32_t ZEditorSkin::tickTimers() {
    int32_t soonest = -1;
    for (int32_t i = 0; i < controls.size(); ++i) {
        ZEditorControl* control = controls.get(i);
        const int32_t due = control ? control->timerTick(false) : -1;
        if (due >= 0 && (soonest < 0 || due < soonest)) soonest = due;
    }
    return soonest;
}

bool ZEditorSkin::keyDown(int32_t key, uint32_t character) {
    bool used = false;
    for (int32_t i = 0; i < controls.size() && !used; ++i) {
        ZEditorControl* control = controls.get(i);
        if (control && control->isTyping()) used = control->keyDown(key, character);
    }
    noteTyping();
    return used;
}

void ZEditorSkin::stopTypingExcept(const ZEditorControl* keep) {
    for (int32_t i = 0; i < controls.size(); ++i) {
        ZEditorControl* control = controls.get(i);
        if (control && control != keep && control->isTyping()) control->stopTyping();
    }
    noteTyping();
}

void ZEditorSkin::noteTyping() {
    bool any = false;
    for (int32_t i = 0; i < controls.size() && !any; ++i) {
        const ZEditorControl* control = controls.get(i);
        any = control && control->isTyping();
    }
    typing.store(any);
}

}  // namespace VRAX
