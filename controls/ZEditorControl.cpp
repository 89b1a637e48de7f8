#include "controls/ZEditorControl.h"

#include "framework/ZEffect.h"
#include "skin/ZEditorSkin.h"

#include <ctime>

namespace VRAX {

ZEditorControl::ZEditorControl(const ControlPlacement& placement)
    : x(placement.x),
      y(placement.y),
      width(placement.width),
      height(placement.height),
      page(placement.page),
      conditionsInverted(placement.conditions ? placement.conditions->inverted : false),
      effect(placement.effect),
      skin(placement.skin) {
    // The list is copied; the conditions stay in the skin's pool.
    if (placement.conditions) conditions.copyFrom(*placement.conditions);
}

bool ZEditorControl::conditionsHold() const { return allConditionsTrue(conditions) != conditionsInverted; }

void ZEditorControl::invalidate() {
    drawn = false;
    dirty = true;
}

void ZEditorControl::erase(ZCanvas* canvas) {
    if (!drawn) return;
    if (skin) skin->eraseBackground(canvas);
    drawn = false;
    dirty = true;
}

bool ZEditorControl::paint(ZCanvas* canvas) {
    if (!needsRedraw()) return false;
    if (drawn) erase(canvas);
    draw(canvas);
    dirty = false;
    drawn = true;
    return true;
}

bool ZEditorControl::needsRedraw() { return dirty || !drawn; }

void ZEditorControl::draw(ZCanvas* canvas) { (void)canvas; }

void ZEditorControl::requestRedraw() {
    dirty = true;
    if (skin) skin->requestRedraw();
}

int32_t ZEditorControl::cursorAt(int32_t, int32_t) { return kCursorAny; }

bool ZEditorControl::leftDown(bool, bool, int32_t, int32_t) { return false; }

bool ZEditorControl::leftUp(bool, bool, int32_t, int32_t) { return false; }

bool ZEditorControl::rightDown(bool, bool, int32_t, int32_t) { return false; }

bool ZEditorControl::rightUp(bool, bool, int32_t, int32_t) { return false; }

void ZEditorControl::mouseMove(bool, bool, int32_t, int32_t) {}

void ZEditorControl::cancelGesture() {}

// The effect's accessors check the index against its parameters and the
// bank, so a control bound to -1 (a name that did not resolve) reads zeros.
double ZEditorControl::storedValue(int32_t i) const { return effect ? effect->getStoredValue(i) : 0.0; }

double ZEditorControl::shownValue(int32_t i) const { return effect ? effect->getNormalisedValue(i) : 0.0; }

double ZEditorControl::defaultValue(int32_t i) const {
    const ZEffectParameter* parameter = effect ? effect->getParameterObject(i) : nullptr;
    return parameter ? parameter->getDefault() : 0.0;
}

const char* ZEditorControl::displayText(int32_t i) const {
    textCopy[0] = 0;
    if (effect) effect->copyDisplayText(i, textCopy, ProgramBank::kDisplayTextSize);
    return textCopy;
}

void ZEditorControl::reportParameter(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return;
    audioMasterCallback host = effect->getHostCallback();
    if (!host) return;
    host(effect->getAeffect(), audioMasterAutomate, i, 0, nullptr, effect->getParameter(i));
}

void ZEditorControl::setParameterValue(int32_t i, double value) {
    if (effect) effect->setParameterValue(i, value);
}

bool ZEditorControl::beginEdit(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return false;
    return effect->beginEdit(i);
}

bool ZEditorControl::endEdit(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return false;
    return effect->endEdit(i);
}

void ZEditorControl::executeCommand(int32_t command, bool shift, bool ctrl) {
    if (effect) effect->executeCommand(command, shift, ctrl);
}

int32_t ZEditorControl::nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Unsigned arithmetic wraps instead of overflowing.
    const uint32_t ms = static_cast<uint32_t>(now.tv_sec) * 1000u + static_cast<uint32_t>(now.tv_nsec / 1000000);
    return static_cast<int32_t>(ms);
}

}  // namespace VRAX
