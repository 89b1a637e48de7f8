// Rotary controls bound to one parameter. ZPot is dragged up or right to
// raise its value (the rest of the mouse behaviour is ZDragControl's); the
// subclasses only draw the value: a dot on a circle, a dot over a dial
// image, a pointer line, or one frame of a strip image.
#pragma once

#include "controls/ZDragControl.h"
#include "controls/ZFrameStrip.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZPot : public ZDragControl {
public:
    using ZDragControl::ZDragControl;

    int32_t cursorAt(int32_t x, int32_t y) override;

    // The bound parameter's value as it is drawn (stepped and rounded).
    double shownValue() const;

    // Where the pointer of a pot of radius r centred at (cx, cy) points for
    // the value v: 270 degrees clockwise from the lower left (v = 0) through
    // the top (v = 0.5) to the lower right (v = 1).
    static void pointerPoint(double v, double cx, double cy, double r, double* px, double* py);

protected:
    std::optional<double> dragDelta(double dx, double dy) const override;
    // The redraw test shared by the value-drawing pots.
    bool valueMovedFrom(double lastValue);
};

// The pots drawn as vectors: a backdrop (by default a disc in the held
// colour while held), then a pointer at the value's angle, `radius` from the
// centre, in the pointer colour.
class ZPointerPot : public ZPot {
public:
    ZPointerPot(const ControlPlacement& placement, int32_t parameterIndex, const unsigned char* heldColour,
                double radius, const unsigned char* pointerColour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    const unsigned char* heldColour;
    double radius;
    const unsigned char* pointerColour;
    double lastValue = 0.0;

protected:
    virtual void drawBackdrop(ZCanvas* canvas, double cx, double cy);
    virtual void drawPointer(ZCanvas* canvas, double cx, double cy, double px, double py) = 0;
};

// A dot.
class ZPotDot : public ZPointerPot {
public:
    using ZPointerPot::ZPointerPot;

protected:
    void drawPointer(ZCanvas* canvas, double cx, double cy, double px, double py) override;
};

// A dot over a dial image, whose second frame (if any) is its held look.
class ZBgPotDot : public ZPotDot {
public:
    ZBgPotDot(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image, double radius,
              const unsigned char* dotColour);

    ZImageResource* image;

protected:
    void drawBackdrop(ZCanvas* canvas, double cx, double cy) override;
};

// A line from the centre.
class ZPotLine : public ZPointerPot {
public:
    using ZPointerPot::ZPointerPot;

protected:
    void drawPointer(ZCanvas* canvas, double cx, double cy, double px, double py) override;
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
