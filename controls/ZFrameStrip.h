// The strip image of a control that shows its state as one frame, and the
// frame it showed last: the redraw test and the drawing such controls share.
#pragma once

#include <cstdint>

namespace VRAX {

class ZCanvas;
class ZImageResource;

struct ZFrameStrip {
    explicit ZFrameStrip(ZImageResource* image) : image(image) {}

    int32_t frameCount() const;
    bool changed(int32_t frame) const { return frame != lastFrame; }
    // Draws the frame at the control's origin and remembers it. A strip with
    // fewer frames than the control has states shows its last frame for the
    // states beyond it, so that a one-frame lamp or tab does not vanish.
    void draw(ZCanvas* canvas, int32_t frame);

    // The frame of a two-state control (a switch, a radio item): 0 off, 1 on;
    // while held, 2 on a three-frame strip, 2 off and 3 on on a four-frame one.
    int32_t heldFrame(bool on, bool held) const;

    ZImageResource* image;
    int32_t lastFrame = -1;
};

}  // namespace VRAX
