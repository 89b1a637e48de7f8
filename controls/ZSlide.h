// A vertical slider: an image handle moved along the control's height by
// dragging it, with the pots' model (Shift for fine steps, Ctrl-click for
// the default) measured along its travel. The wheel works over the whole
// control, the track as well as the handle.
#pragma once

#include "controls/ZDragControl.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZSlide : public ZDragControl {
public:
    ZSlide(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* handle,
           const unsigned char* highlightColour, int32_t highlightX, int32_t highlightY, int32_t highlightWidth,
           int32_t highlightHeight);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    int32_t cursorAt(int32_t x, int32_t y) override;
    // The handle's top edge for the shown value: travel at 0, 1 at 1.
    virtual int32_t handlePosition();

    // Whether (x, y) lies on the handle as it was last drawn.
    bool isOnHandle(int32_t x, int32_t y) const;

    ZImageResource* handle;
    const unsigned char* highlightColour;
    int32_t highlightX;
    int32_t highlightY;
    int32_t highlightWidth;
    int32_t highlightHeight;
    int32_t lastPosition = -1;
    int32_t travel;

protected:
    // The track does not jump the handle to a press.
    bool grabsAt(int32_t x, int32_t y) const override;
    std::optional<double> dragDelta(double dx, double dy) const override;

private:
    int32_t handleWidth() const;
    int32_t handleHeight() const;
};

}  // namespace VRAX
