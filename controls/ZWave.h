// Wave displays: a scrolling envelope of two signals read from a history
// feature, newest column at the right edge, with a centre line and marks for
// two levels. ZZoomWave adds a zoom bar under the wave: drag its knob to
// scale the envelope from 0.1x to 10x, Ctrl-click to return to 1x.
#pragma once

#include "controls/ZEditorControl.h"

#include <cstdint>

namespace VRAX {

class ZFont;
class ZHistory;

class ZWave : public ZEditorControl {
public:
    ZWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
          const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    ZHistory* history;
    double* level1;  // may be null
    double* level2;  // may be null
    const unsigned char* colour1;
    const unsigned char* colour2;
    const unsigned char* lineColour;
    int32_t middle;
    double scale;
    int32_t lastVersion = 0;
    double lastLevel1 = 0.0;
    double lastLevel2 = 0.0;

protected:
    // A wave over the top waveHeight rows of the control.
    ZWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
          const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour,
          int32_t waveHeight);
    // What a derived display changes: the factor on every value, whether a
    // level moved enough to redraw, the level marks and what it draws over
    // the wave.
    virtual double zoomFactor() const { return 1.0; }
    virtual bool levelMoved(double now, double last) const;
    virtual void drawLevelMarks(ZCanvas* canvas, double l1, double l2);
    virtual void drawOverlay(ZCanvas* canvas) { (void)canvas; }
};

class ZZoomWave : public ZWave {
public:
    static constexpr int32_t kBarHeight = 16;
    static constexpr int32_t kKnobWidth = 40;
    static constexpr int32_t kKnobHeight = 14;
    // The knob's centre follows the pointer.
    static constexpr int32_t kKnobHalf = kKnobWidth / 2;
    static constexpr float kMinZoom = 0.1f;
    static constexpr float kMaxZoom = 10.0f;

    ZZoomWave(const ControlPlacement& placement, ZHistory* history, double* level1, double* level2,
              const unsigned char* colour1, const unsigned char* colour2, const unsigned char* lineColour,
              const unsigned char* barColour, const unsigned char* knobColour, const unsigned char* knobHeldColour,
              const ZFont* font);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // Drops the drag when the release will never come.
    void cancelGesture() override;

    // Zoom, knob and text for the pointer at x: the knob's centre follows
    // the pointer along the track, 0.1x at its left end, 10x at its right.
    void setZoomFromX(int32_t x);
    bool inZoomBar(int32_t x, int32_t y) const;
    // Length of the knob's track (the width less the knob and a pixel);
    // -1 when the control is too narrow to have one.
    int32_t trackLength() const {
        const int64_t track = static_cast<int64_t>(width) - (kKnobWidth + 1);
        return track < 0 ? -1 : static_cast<int32_t>(track);
    }

    const unsigned char* barColour;
    const unsigned char* knobColour;
    const unsigned char* knobHeldColour;
    const ZFont* font;
    float zoom = 1.0f;
    int32_t knobX = 1;
    char zoomText[8] = "1.00x";
    int32_t zoomDrag = 0;  // 0 idle, 1 dragging the knob, 2 reset by Ctrl-click

protected:
    double zoomFactor() const override { return zoom; }
    bool levelMoved(double now, double last) const override;
    void drawLevelMarks(ZCanvas* canvas, double l1, double l2) override;
    void drawOverlay(ZCanvas* canvas) override;

private:
    void resetZoom();
};

}  // namespace VRAX
