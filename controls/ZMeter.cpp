#include "controls/ZMeter.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <atomic>
#include <cmath>
#include <new>

namespace VRAX {

namespace {

// A bar moves by at least a pixel only for changes of this size in
// controls of this system's sizes; smaller ones are not worth a redraw.
constexpr double kBarEpsilon = 0.0001;

template <typename T>
T loadWhole(T* value) {
    if (!value) return T{};
    // The effect keeps its published values aligned and writes them whole;
    // a value that is not aligned (not one of ours) is read plainly.
    if (reinterpret_cast<uintptr_t>(value) % std::atomic_ref<T>::required_alignment == 0)
        return std::atomic_ref<T>(*value).load(std::memory_order_relaxed);
    return *value;
}

}  // namespace

double loadFeature(double* value) { return loadWhole(value); }

int32_t loadFeature(int32_t* value) { return loadWhole(value); }

int32_t clampedFrame(double position, int32_t count) {
    const double k = std::trunc(position);
    if (!(k >= 0.0)) return 0;
    if (k >= count) return count - 1;
    return static_cast<int32_t>(k);
}

// ---------------------------------------------------------------------------
// ZBarFracMeter

ZBarFracMeter::ZBarFracMeter(const ControlPlacement& placement, double* value, int32_t orientation,
                             const unsigned char* colour)
    : ZMeter(placement), value(value), orientation(orientation), colour(colour) {}

double ZBarFracMeter::fraction() {
    if (!value) return 0.0;
    const double f = loadFeature(value);
    if (!(f >= 0.0)) return 0.0;
    return f > 1.0 ? 1.0 : f;
}

bool ZBarFracMeter::needsRedraw() {
    if (dirty || !drawn) return true;
    return !(std::fabs(fraction() - lastValue) < kBarEpsilon);
}

void ZBarFracMeter::draw(ZCanvas* canvas) {
    const double f = fraction();
    const int32_t w = width;
    const int32_t h = height;
    const int32_t n = static_cast<int32_t>(f * w + 0.5);
    const int32_t m = static_cast<int32_t>(f * h + 0.5);
    // An empty bar is not drawn at all: a fill of zero thickness still
    // leaves the renderer's antialiasing fringe on the screen.
    const bool empty = orientation == kLeftToRight || orientation == kRightToLeft ? n <= 0 : m <= 0;
    if (canvas && colour && !empty) {
        switch (orientation) {
            case kLeftToRight: canvas->fillRect(0, 0, n, h, colour); break;
            case kRightToLeft: canvas->fillRect(w - n, 0, n, h, colour); break;
            case kTopToBottom: canvas->fillRect(0, 0, w, m, colour); break;
            case kBottomToTop: canvas->fillRect(0, h - m, w, m, colour); break;
            default: break;
        }
    }
    lastValue = f;
}

// ---------------------------------------------------------------------------
// ZImgFracMeter

ZImgFracMeter::ZImgFracMeter(const ControlPlacement& placement, double* value, ZImageResource* image)
    : ZMeter(placement), value(value), strip(image) {}

int32_t ZImgFracMeter::frameIndex() {
    const int32_t count = strip.frameCount();
    if (!value) return frameWithoutValue(count);
    return clampedFrame((count - 1.0) * loadFeature(value), count);
}

bool ZImgFracMeter::needsRedraw() { return dirty || !drawn || strip.changed(frameIndex()); }

void ZImgFracMeter::draw(ZCanvas* canvas) { strip.draw(canvas, frameIndex()); }

// ---------------------------------------------------------------------------
// ZImgMeter

ZImgMeter::ZImgMeter(const ControlPlacement& placement, int32_t* value, double scale, double offset,
                     ZImageResource* image)
    : ZMeter(placement), value(value), scale(scale), offset(offset), strip(image) {}

int32_t ZImgMeter::currentFrame() const {
    const int32_t count = strip.frameCount();
    if (!value) return frameWithoutValue(count);
    return clampedFrame(loadFeature(value) * scale + offset + 0.5, count);
}

bool ZImgMeter::needsRedraw() { return dirty || !drawn || strip.changed(currentFrame()); }

void ZImgMeter::draw(ZCanvas* canvas) { strip.draw(canvas, currentFrame()); }

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZBarFracMeter(const ControlPlacement& placement, SkinArgs& args) {
    double* value = args.featureDouble();
    const int32_t orientation = args.orientation();
    const unsigned char* colour = args.colour();
    if (!value || !colour) return nullptr;
    return new (std::nothrow) ZBarFracMeter(placement, value, orientation, colour);
}

ZEditorControl* makeZImgFracMeter(const ControlPlacement& placement, SkinArgs& args) {
    double* value = args.featureDouble();
    ZImageResource* image = args.image();
    if (!value || !image) return nullptr;
    return new (std::nothrow) ZImgFracMeter(placement, value, image);
}

ZEditorControl* makeZImgMeter(const ControlPlacement& placement, SkinArgs& args) {
    int32_t* value = args.featureInt();
    const double scale = args.real();
    const double offset = args.real();
    ZImageResource* image = args.image();
    if (!(scale > 0.0)) args.noteFailure("scale not greater than 0");
    if (!value || !image || !(scale > 0.0)) return nullptr;
    return new (std::nothrow) ZImgMeter(placement, value, scale, offset, image);
}

}  // namespace VRAX
