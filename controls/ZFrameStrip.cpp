#include "controls/ZFrameStrip.h"

#include "skin/ZImageResource.h"

namespace VRAX {

int32_t ZFrameStrip::frameCount() const { return image ? image->getFrameCount() : 0; }

void ZFrameStrip::draw(ZCanvas* canvas, int32_t frame) {
    lastFrame = frame;
    const int32_t count = frameCount();
    if (!canvas || count < 1) return;
    image->drawFrame(canvas, 0, 0, frame < count ? frame : count - 1);
}

int32_t ZFrameStrip::heldFrame(bool on, bool held) const {
    const int32_t state = on ? 1 : 0;
    if (!held) return state;
    const int32_t count = frameCount();
    if (count == 3) return 2;
    return count == 4 ? state + 2 : state;
}

}  // namespace VRAX
