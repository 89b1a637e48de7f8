#include "controls/ZWave.h"

#include "controls/ControlFactories.h"
#include "controls/ZMeter.h"
#include "editor/ZCanvas.h"
#include "framework/ZHistory.h"
#include "skin/SkinArgs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

namespace VRAX {

namespace {

constexpr double kLevelEpsilon = 0.00001;
constexpr double kZoomLevelEpsilon = 0.001;
constexpr double kLog2OfE = 1.4426950408889634;
constexpr double kLog2Of10 = 3.3219280948873626;
constexpr double kLog2Of100 = 6.643856189774725;

// Row of a column value; rounded half away from zero and kept inside
// [0, limit] while still a double, so that no value turns into an
// out-of-range integer.
int32_t rowOf(int32_t middle, double scaled, int32_t limit) {
    double y = middle - std::round(scaled);
    if (std::isnan(y)) y = middle;
    const double top = limit > 0 ? limit : 0;
    if (y < 0.0) y = 0.0;
    if (y > top) y = top;
    return static_cast<int32_t>(y);
}

// The envelope, newest column at the right edge; signal 2 over signal 1.
void drawColumns(ZCanvas* canvas, const ZHistory* history, int32_t width, int32_t height, int32_t middle,
                 double scale, double zoom, const unsigned char* colour1, const unsigned char* colour2) {
    if (!history) return;
    const int32_t n = std::min(width, history->getCapacity());
    for (int32_t i = 0; i < n; ++i) {
        const ZHistory::Column column = history->getColumn(i);
        const int32_t x = width - 1 - i;
        if (colour1) {
            canvas->drawVLine(x, rowOf(middle, scale * (zoom * column.min1), height),
                              rowOf(middle, scale * (zoom * column.max1), height), colour1);
        }
        if (colour2) {
            canvas->drawVLine(x, rowOf(middle, scale * (zoom * column.min2), height),
                              rowOf(middle, scale * (zoom * column.max2), height), colour2);
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// ZWave

ZWave::ZWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
             const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour)
    : ZWave(placement, history, level1, level2, colour1, colour2, lineColour, placement.height) {}

ZWave::ZWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
             const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour,
             int32_t waveHeight)
    : ZEditorControl(placement),
      history(history),
      level1(level1),
      level2(level2),
      colour1(colour1),
      colour2(colour2),
      lineColour(lineColour),
      middle(waveHeight / 2),
      scale(middle - 1.0) {}

bool ZWave::levelMoved(double now, double last) const { return !(std::fabs(now - last) < kLevelEpsilon); }

bool ZWave::needsRedraw() {
    if (dirty || !drawn) return true;
    if (history && history->getVersion() != lastVersion) return true;
    return levelMoved(loadFeature(level1), lastLevel1) || levelMoved(loadFeature(level2), lastLevel2);
}

void ZWave::drawLevelMarks(ZCanvas* canvas, double l1, double l2) {
    const double* levels[2] = {level1, level2};
    const double values[2] = {l1, l2};
    for (int32_t j = 0; j < 2; ++j) {
        // Marks only for levels inside the wave's range.
        if (!levels[j] || !(values[j] >= 0.0 && values[j] <= 1.0)) continue;
        const int32_t k = static_cast<int32_t>(std::round(values[j] * scale));
        canvas->drawHLine(0, middle - k, width, lineColour);
        canvas->drawHLine(0, middle + k, width, lineColour);
    }
}

void ZWave::draw(ZCanvas* canvas) {
    const double l1 = loadFeature(level1);
    const double l2 = loadFeature(level2);
    const int32_t version = history ? history->getVersion() : 0;
    // An empty control has nothing to show.
    if (canvas && width > 0 && height > 0) {
        drawColumns(canvas, history, width, height, middle, scale, zoomFactor(), colour1, colour2);
        if (lineColour) {
            canvas->drawHLine(0, middle, width, lineColour);
            drawLevelMarks(canvas, l1, l2);
        }
        drawOverlay(canvas);
    }
    lastVersion = version;
    lastLevel1 = l1;
    lastLevel2 = l2;
}

// ---------------------------------------------------------------------------
// ZZoomWave

ZZoomWave::ZZoomWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
                     const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour,
                     const unsigned char* barColour, const unsigned char* knobColour,
                     const unsigned char* knobHeldColour, const ZFont* font)
    : ZWave(placement, history, level1, level2, colour1, colour2, lineColour,
            static_cast<int32_t>(std::max<int64_t>(static_cast<int64_t>(placement.height) - kBarHeight, INT32_MIN))),
      barColour(barColour),
      knobColour(knobColour),
      knobHeldColour(knobHeldColour),
      font(font) {
    resetZoom();
}

void ZZoomWave::resetZoom() {
    // 1x sits in the middle of the track: log2(10) of log2(100).
    const int32_t track = std::max(trackLength(), 0);
    zoom = 1.0f;
    knobX = 1 + static_cast<int32_t>(std::round(track * kLog2Of10 / kLog2Of100));
    std::snprintf(zoomText, sizeof(zoomText), "%.2fx", 1.0);
}

void ZZoomWave::setZoomFromX(int32_t px) {
    const int32_t track = trackLength();
    float t;
    if (track > 0) {
        t = static_cast<float>(static_cast<int64_t>(px) - kKnobHalf) / static_cast<float>(track);
    } else {
        // No track to slide along: either end, by the side of the knob's centre.
        t = px > kKnobHalf ? 1.0f : 0.0f;
    }
    float z = kMinZoom * powf(100.0f, t);
    float ratio;
    if (!(z > kMinZoom)) {
        z = kMinZoom;
        ratio = 1.0f;
    } else if (z < kMaxZoom) {
        ratio = z / kMinZoom;
    } else {
        z = kMaxZoom;
        ratio = 100.0f;
    }
    zoom = z;
    const double travel = std::max(track, 0);
    knobX = 1 + static_cast<int32_t>(std::round(std::log(static_cast<double>(ratio)) * kLog2OfE * travel / kLog2Of100));
    std::snprintf(zoomText, sizeof(zoomText), "%.2fx", static_cast<double>(zoom));
    requestRedraw();
}

bool ZZoomWave::inZoomBar(int32_t px, int32_t py) const {
    return px >= 0 && px < width && static_cast<int64_t>(py) >= static_cast<int64_t>(height) - kBarHeight &&
           py < height;
}

bool ZZoomWave::levelMoved(double now, double last) const { return std::fabs(now - last) > kZoomLevelEpsilon; }

void ZZoomWave::drawLevelMarks(ZCanvas* canvas, double l1, double l2) {
    // Any level counts here, as far as its marks stay inside the control.
    for (const double v : {l1, l2}) {
        const double k = std::round(scale * (zoom * v));
        if (!(k > 0.0)) continue;
        const double above = middle - k;
        const double below = middle + k;
        if (above >= 0.0 && above < height) canvas->drawHLine(0, static_cast<int32_t>(above), width, lineColour);
        if (below >= 0.0 && below < height) canvas->drawHLine(0, static_cast<int32_t>(below), width, lineColour);
    }
}

void ZZoomWave::drawOverlay(ZCanvas* canvas) {
    if (barColour) canvas->fillRect(0, height - kBarHeight, width, kBarHeight, barColour);
    const unsigned char* knob = zoomDrag != 0 ? knobHeldColour : knobColour;
    const int32_t knobY = height - (kBarHeight - 1);  // a pixel inside the bar
    if (knob) canvas->fillRect(knobX, knobY, kKnobWidth, kKnobHeight, knob);
    if (font) canvas->drawText(zoomText, knobX, knobY, kKnobWidth, kKnobHeight, font, kAlignCentre);
}

int32_t ZZoomWave::cursorAt(int32_t px, int32_t py) { return zoomDrag != 0 || inZoomBar(px, py) ? kCursorHand : kCursorAny; }

bool ZZoomWave::leftDown(bool, bool ctrl, int32_t px, int32_t py) {
    if (!inZoomBar(px, py)) return false;
    if (ctrl) {
        resetZoom();
        zoomDrag = 2;
    } else {
        setZoomFromX(px);
        zoomDrag = 1;
    }
    requestRedraw();
    return true;
}

void ZZoomWave::mouseMove(bool, bool, int32_t px, int32_t) {
    // After a Ctrl-click the zoom stays at 1x until the next press.
    if (zoomDrag == 1) setZoomFromX(px);
}

bool ZZoomWave::leftUp(bool, bool, int32_t, int32_t) {
    if (zoomDrag == 0) return false;
    zoomDrag = 0;
    requestRedraw();
    return true;
}

// Otherwise a drag cut short (the editor closed, a condition hid the wave)
// would go on zooming on hover with no button held.
void ZZoomWave::cancelGesture() { leftUp(false, false, 0, 0); }

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZWave(const ControlPlacement& placement, SkinArgs& args) {
    ZHistory* history = args.featureHistory();
    double* level1 = args.featureDouble();
    double* level2 = args.featureDouble();
    const unsigned char* colour1 = args.colour();
    const unsigned char* colour2 = args.colour();
    const unsigned char* lineColour = args.colour();
    if (!history || !colour1 || !colour2 || !lineColour) return nullptr;
    return new (std::nothrow) ZWave(placement, history, level1, level2, colour1, colour2, lineColour);
}

ZEditorControl* makeZZoomWave(const ControlPlacement& placement, SkinArgs& args) {
    ZHistory* history = args.featureHistory();
    double* level1 = args.featureDouble();
    double* level2 = args.featureDouble();
    const unsigned char* colour1 = args.colour();
    const unsigned char* colour2 = args.colour();
    const unsigned char* lineColour = args.colour();
    const unsigned char* barColour = args.colour();
    const unsigned char* knobColour = args.colour();
    const unsigned char* knobHeldColour = args.colour();
    const ZFont* font = args.font();
    if (!history || !colour1 || !colour2 || !lineColour || !barColour || !knobColour || !knobHeldColour || !font)
        return nullptr;
    return new (std::nothrow) ZZoomWave(placement, history, level1, level2, colour1, colour2, lineColour, barColour,
                                        knobColour, knobHeldColour, font);
}

}  // namespace VRAX
