#include "controls/ZPot.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cmath>
#include <new>

namespace VRAX {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kQuarterPi = 0.7853981633974483;
constexpr double kDotRadius = 2.0;
constexpr double kLineWidth = 1.5;

}  // namespace

// ---------------------------------------------------------------------------
// ZPot

int32_t ZPot::cursorAt(int32_t, int32_t) { return kCursorHand; }

// Up and right raise the value: 100 pixels up or 400 to the right cover the
// range.
std::optional<double> ZPot::dragDelta(double dx, double dy) const { return (-dy + dx * 0.25) * 0.01; }

double ZPot::shownValue() const { return ZEditorControl::shownValue(parameterIndex); }

void ZPot::pointerPoint(double v, double cx, double cy, double r, double* px, double* py) {
    const double theta = v * 1.5f * kPi + kQuarterPi;
    *px = cx - r * std::sin(theta);
    *py = cy + r * std::cos(theta);
}

bool ZPot::valueMovedFrom(double lastValue) {
    if (dirty || !drawn) return true;
    return movedVisibly(shownValue(), lastValue);
}

// ---------------------------------------------------------------------------
// The vector pots

ZPointerPot::ZPointerPot(const ControlPlacement& placement, int32_t parameterIndex,
                         const unsigned char* heldColour, double radius, const unsigned char* pointerColour)
    : ZPot(placement, parameterIndex), heldColour(heldColour), radius(radius), pointerColour(pointerColour) {}

bool ZPointerPot::needsRedraw() { return valueMovedFrom(lastValue); }

void ZPointerPot::draw(ZCanvas* canvas) {
    const double v = shownValue();
    if (canvas) {
        const double cx = width * 0.5;
        const double cy = height * 0.5;
        drawBackdrop(canvas, cx, cy);
        double px = 0.0;
        double py = 0.0;
        pointerPoint(v, cx, cy, radius, &px, &py);
        if (pointerColour) drawPointer(canvas, cx, cy, px, py);
    }
    lastValue = v;
}

void ZPointerPot::drawBackdrop(ZCanvas* canvas, double cx, double cy) {
    if (gesture.held && heldColour) canvas->fillCircle(cx, cy, (width - 1) * 0.5, heldColour);
}

void ZPotDot::drawPointer(ZCanvas* canvas, double, double, double px, double py) {
    canvas->fillCircle(px, py, kDotRadius, pointerColour);
}

ZBgPotDot::ZBgPotDot(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image,
                     double radius, const unsigned char* dotColour)
    : ZPotDot(placement, parameterIndex, nullptr, radius, dotColour), image(image) {}

void ZBgPotDot::drawBackdrop(ZCanvas* canvas, double, double) {
    // A one-frame dial has no held look.
    if (image) image->drawFrame(canvas, 0, 0, gesture.held && image->getFrameCount() > 1 ? 1 : 0);
}

void ZPotLine::drawPointer(ZCanvas* canvas, double cx, double cy, double px, double py) {
    canvas->drawLine(cx, cy, px, py, kLineWidth, pointerColour);
}

// ---------------------------------------------------------------------------
// ZImgPot

ZImgPot::ZImgPot(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image)
    : ZPot(placement, parameterIndex), strip(image) {}

int32_t ZImgPot::frameIndex() {
    const int32_t count = strip.frameCount();
    if (count <= 1) return 0;
    const double f = std::floor(shownValue() * (count - 1.0) + 0.5);
    // A value outside 0..1 (or not a number) must not pick a frame that is not there.
    if (!(f >= 0.0)) return 0;
    if (f > count - 1.0) return count - 1;
    return static_cast<int32_t>(f);
}

bool ZImgPot::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgPot::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZPotDot(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const unsigned char* heldColour = args.colour();
    const double radius = args.real();
    const unsigned char* dotColour = args.colour();
    if (!(radius > 0.0)) args.noteFailure("radius not greater than 0");
    if (parameter < 0 || !heldColour || !dotColour || !(radius > 0.0)) return nullptr;
    return new (std::nothrow) ZPotDot(placement, parameter, heldColour, radius, dotColour);
}

ZEditorControl* makeZBgPotDot(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    const double radius = args.real();
    const unsigned char* dotColour = args.colour();
    if (!(radius > 0.0)) args.noteFailure("radius not greater than 0");
    if (parameter < 0 || !image || !dotColour || !(radius > 0.0)) return nullptr;
    return new (std::nothrow) ZBgPotDot(placement, parameter, image, radius, dotColour);
}

ZEditorControl* makeZPotLine(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    const unsigned char* heldColour = args.colour();
    const double radius = args.real();
    const unsigned char* lineColour = args.colour();
    if (parameter < 0 || !heldColour || !lineColour) return nullptr;
    return new (std::nothrow) ZPotLine(placement, parameter, heldColour, radius, lineColour);
}

ZEditorControl* makeZImgPot(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    if (parameter < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgPot(placement, parameter, image);
}

}  // namespace VRAX
