// A plain picture: frame 0 of an image, drawn when the skin draws the page
// and never asking to be drawn again by itself.
#pragma once

#include "controls/ZEditorControl.h"

namespace VRAX {

class ZImageResource;

class ZImg : public ZEditorControl {
public:
    ZImg(const ControlPlacement& placement, ZImageResource* image);

    void draw(ZCanvas* canvas) override;

    ZImageResource* image;
};

}  // namespace VRAX
