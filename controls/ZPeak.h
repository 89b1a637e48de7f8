// The clip lamp and the peak readout: both follow a level the effect
// publishes as a feature, and a click on either runs a command (this
// system's "PeakReset") without capturing the mouse.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"

#include <cstdint>

namespace VRAX {

class ZFont;
class ZImageResource;

class ZImgPeak : public ZEditorControl {
public:
    ZImgPeak(const ControlPlacement& placement, double* value, int32_t commandIndex, ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // 1 (lit) from full scale up, else 0.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
    double* value;
    int32_t commandIndex;
};

class ZTextPeak : public ZEditorControl {
public:
    // Bytes of the number and of the whole readout.
    static constexpr int32_t kNumberSize = 16;
    static constexpr int32_t kTextSize = 32;

    ZTextPeak(const ControlPlacement& placement, double* value, int32_t commandIndex, ZFont* font,
              ZFont* clipFont);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // The level to show: 0 for silence (below 0.000001) or without a value.
    virtual double peakValue();

    // "Peak: <dB with one decimal> dB" for a level into out (kTextSize bytes);
    // true when the level is above full scale (the clip font's case).
    static bool formatPeak(char* out, int32_t size, double level);

    double* value;
    int32_t commandIndex;
    ZFont* font;
    ZFont* clipFont;
    double lastValue = 0.0;
};

}  // namespace VRAX
