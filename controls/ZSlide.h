// A vertical slider: an image handle moved along the control's height by
// dragging it, with the pots' model (Shift for fine steps, Ctrl-click for
// the default) measured along its travel.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZSlide : public ZEditorControl {
public:
    ZSlide(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* handle,
           const unsigned char* highlightColour, int32_t highlightX, int32_t highlightY, int32_t highlightWidth,
           int32_t highlightHeight);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void cancelGesture() override;
    bool wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches) override;
    int32_t timerTick(bool finish) override;
    // The handle's top edge for the shown value: travel at 0, 1 at 1.
    virtual int32_t handlePosition();

    // Whether (x, y) lies on the handle as it was last drawn.
    bool isOnHandle(int32_t x, int32_t y) const;

    int32_t parameterIndex;
    ZGesture gesture{*this, parameterIndex};
    ZImageResource* handle;
    const unsigned char* highlightColour;
    int32_t highlightX;
    int32_t highlightY;
    int32_t highlightWidth;
    int32_t highlightHeight;
    int32_t lastPosition = -1;
    int32_t travel;
    int32_t lastX = 0;
    int32_t lastY = 0;
    bool dragging = false;

private:
    int32_t handleWidth() const;
    int32_t handleHeight() const;
};

}  // namespace VRAX
