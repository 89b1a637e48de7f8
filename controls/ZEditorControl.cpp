#include "controls/ZEditorControl.h"

#include "controls/ZEditReports.h"
#include "framework/Clock.h"
#include "io/AsciiText.h"
#include "framework/NumberText.h"
#include "framework/ZEffect.h"
#include "skin/ZEditorSkin.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace VRAX {

namespace {

// parseNumber reads any text, as 0 when it holds no number; a typed value
// that is not a number must leave the parameter alone instead.
bool textHoldsNumber(const char* text) {
    while (std::isspace(static_cast<unsigned char>(*text))) ++text;
    const char* number = (*text == '-' || *text == '+') ? text + 1 : text;
    if ((number[0] == 'i' || number[0] == 'I') && (number[1] == 'n' || number[1] == 'N') &&
        (number[2] == 'f' || number[2] == 'F'))
        return true;
    char* end = nullptr;
    std::strtod(text, &end);
    return end != text;
}

}  // namespace

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

bool ZEditorControl::wheel(bool, bool, int32_t, int32_t, int32_t) { return false; }

int32_t ZEditorControl::timerTick(bool) { return -1; }

bool ZEditorControl::keyDown(int32_t, uint32_t) { return false; }

bool ZEditorControl::isTyping() const { return false; }

void ZEditorControl::stopTyping() {}

// The effect's accessors check the index against its parameters and the
// bank, so a control bound to -1 (a name that did not resolve) reads zeros.
double ZEditorControl::storedValue(int32_t i) const { return effect ? effect->getStoredValue(i) : 0.0; }

double ZEditorControl::shownValue(int32_t i) const { return effect ? effect->getNormalisedValue(i) : 0.0; }

double ZEditorControl::defaultValue(int32_t i) const {
    const ZEffectParameter* parameter = effect ? effect->getParameterObject(i) : nullptr;
    return parameter ? parameter->getDefault() : 0.0;
}

bool ZEditorControl::valueFromText(int32_t i, const char* text, double* out) const {
    const ZEffectParameter* parameter = effect ? effect->getParameterObject(i) : nullptr;
    if (!parameter || !parameter->acceptsText() || !text || !textHoldsNumber(text)) return false;
    *out = parameter->toNormalised(XP::parseNumber(text));
    return true;
}

const char* ZEditorControl::valueText(int32_t i) const {
    textCopy[0] = 0;
    if (effect) effect->getPrograms().copyValueText(effect->getProgram(), i, textCopy, ProgramBank::kDisplayTextSize);
    return textCopy;
}

const char* ZEditorControl::displayText(int32_t i) const {
    textCopy[0] = 0;
    if (effect) effect->copyDisplayText(i, textCopy, ProgramBank::kDisplayTextSize);
    return textCopy;
}

ZEditReports* ZEditorControl::queuedReports() const {
    return skin && ZEditReports::onWindowThread() ? &skin->reports : nullptr;
}

void ZEditorControl::reportParameter(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return;
    audioMasterCallback host = effect->getHostCallback();
    if (!host) return;
    // The value is taken now: the report says what this step set.
    if (ZEditReports* queue = queuedReports())
        queue->post(audioMasterAutomate, i, effect->getParameter(i));
    else
        host(effect->getAeffect(), audioMasterAutomate, i, 0, nullptr, effect->getParameter(i));
}

void ZEditorControl::setParameterValue(int32_t i, double value) {
    if (effect) effect->setParameterValue(i, value);
}

bool ZEditorControl::beginEdit(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return false;
    if (ZEditReports* queue = queuedReports()) {
        queue->post(audioMasterBeginEdit, i);
        return true;
    }
    return effect->beginEdit(i);
}

bool ZEditorControl::endEdit(int32_t i) {
    if (!effect || !effect->getParameterObject(i)) return false;
    if (ZEditReports* queue = queuedReports()) {
        queue->post(audioMasterEndEdit, i);
        return true;
    }
    return effect->endEdit(i);
}

void ZEditorControl::executeCommand(int32_t command, bool shift, bool ctrl) {
    if (effect) effect->executeCommand(command, shift, ctrl);
}

int32_t ZEditorControl::nowMs() { return static_cast<int32_t>(monotonicMs()); }

bool ZEditorControl::movedVisibly(double now, double last) { return !(std::fabs(now - last) < 0.00001); }

}  // namespace VRAX
