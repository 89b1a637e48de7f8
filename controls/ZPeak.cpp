#include "controls/ZPeak.h"

#include "controls/ControlFactories.h"
#include "controls/ZMeter.h"
#include "editor/ZCanvas.h"
#include "framework/NumberText.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <new>

namespace VRAX {

namespace {

// Levels below this are silence: the lamp stays dark, the readout "-Inf".
constexpr double kSilence = 0.000001;
constexpr double kValueEpsilon = 0.00001;

}  // namespace

// ---------------------------------------------------------------------------
// ZImgPeak

ZImgPeak::ZImgPeak(const ControlPlacement& placement, double* value, int32_t commandIndex, ZImageResource* image)
    : ZEditorControl(placement), strip(image), value(value), commandIndex(commandIndex) {}

int32_t ZImgPeak::frameIndex() {
    if (!value) return 0;
    const double level = loadFeature(value);
    return level >= 1.0 ? 1 : 0;
}

bool ZImgPeak::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgPeak::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

int32_t ZImgPeak::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZImgPeak::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    if (!value) return false;
    executeCommand(commandIndex, shift, ctrl);
    requestRedraw();
    // Never capture: the click is done when the command has run.
    return false;
}

// ---------------------------------------------------------------------------
// ZTextPeak

ZTextPeak::ZTextPeak(const ControlPlacement& placement, double* value, int32_t commandIndex, ZFont* font,
                     ZFont* clipFont)
    : ZEditorControl(placement), value(value), commandIndex(commandIndex), font(font), clipFont(clipFont) {}

double ZTextPeak::peakValue() {
    if (!value) return 0.0;
    const double level = loadFeature(value);
    // (A level that is not a number shows as silence too.)
    return level >= kSilence ? level : 0.0;
}

bool ZTextPeak::formatPeak(char* out, int32_t size, double level) {
    if (!out || size <= 0) return false;
    const double dB = level > 0.0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
    char number[kNumberSize];
    formatFixed(number, kNumberSize, dB, 1);
    std::snprintf(out, static_cast<size_t>(size), "Peak: %s dB", number);
    return dB > 0.0;
}

bool ZTextPeak::needsRedraw() {
    if (dirty || !drawn) return true;
    return !(std::fabs(peakValue() - lastValue) < kValueEpsilon);
}

void ZTextPeak::draw(ZCanvas* canvas) {
    const double level = peakValue();
    char text[kTextSize];
    const bool clipped = formatPeak(text, kTextSize, level);
    const ZFont* shown = clipped ? clipFont : font;
    if (canvas && shown) canvas->drawText(text, 0, 0, width, height, shown, kAlignCentre);
    lastValue = level;
}

int32_t ZTextPeak::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZTextPeak::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    if (!value) return false;
    executeCommand(commandIndex, shift, ctrl);
    requestRedraw();
    return false;
}

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZImgPeak(const ControlPlacement& placement, SkinArgs& args) {
    double* value = args.featureDouble();
    const int32_t command = args.command();
    ZImageResource* image = args.image();
    if (!value || command < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgPeak(placement, value, command, image);
}

ZEditorControl* makeZTextPeak(const ControlPlacement& placement, SkinArgs& args) {
    double* value = args.featureDouble();
    const int32_t command = args.command();
    ZFont* font = args.font();
    ZFont* clipFont = args.font();
    if (!value || command < 0 || !font || !clipFont) return nullptr;
    return new (std::nothrow) ZTextPeak(placement, value, command, font, clipFont);
}

}  // namespace VRAX
