// Rotary controls bound to one parameter. ZPot holds the whole mouse
// behaviour (drag up or right to raise, Shift for fine steps, Ctrl-click or
// a double-click for the default, the wheel in steps); the subclasses only draw the value: a dot on a circle, a dot
// over a dial image, a pointer line, or one frame of a strip image.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"
#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZPot : public ZEditorControl {
public:
    ZPot(const ControlPlacement& placement, int32_t parameterIndex);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void cancelGesture() override;
    bool wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches) override;
    int32_t timerTick(bool finish) override;

    // The bound parameter's value as it is drawn (stepped and rounded).
    double shownValue() const;

    // Where the pointer of a pot of radius r centred at (cx, cy) points for
    // the value v: 270 degrees clockwise from the lower left (v = 0) through
    // the top (v = 0.5) to the lower right (v = 1).
    static void pointerPoint(double v, double cx, double cy, double r, double* px, double* py);

    int32_t parameterIndex;
    ZGesture gesture{*this, parameterIndex};
    int32_t lastX = 0;
    int32_t lastY = 0;
    bool dragging = false;

protected:
    // The redraw test shared by the value-drawing pots.
    bool valueMovedFrom(double lastValue);
};

class ZPotDot : public ZPot {
public:
    ZPotDot(const ControlPlacement& placement, int32_t parameterIndex, const unsigned char* heldColour,
            double radius, const unsigned char* dotColour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    const unsigned char* heldColour;
    double radius;
    const unsigned char* dotColour;
    double lastValue = 0.0;
};

class ZBgPotDot : public ZPot {
public:
    ZBgPotDot(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image, double radius,
              const unsigned char* dotColour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    ZImageResource* image;
    double radius;
    const unsigned char* dotColour;
    double lastValue = 0.0;
};

class ZPotLine : public ZPot {
public:
    ZPotLine(const ControlPlacement& placement, int32_t parameterIndex, const unsigned char* heldColour,
             double radius, const unsigned char* lineColour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    const unsigned char* heldColour;
    double radius;
    const unsigned char* lineColour;
    double lastValue = 0.0;
};

class ZImgPot : public ZPot {
public:
    ZImgPot(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // The strip frame for the shown value, 0 to frame count - 1.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
};

}  // namespace VRAX
