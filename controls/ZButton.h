// Momentary parameter buttons: the parameter is 1 while the button is held
// and 0 otherwise. The host sees each change reported on both sides, without
// begin or end edit, as for a key that is pressed and let go.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"
#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZButton : public ZEditorControl {
public:
    ZButton(const ControlPlacement& placement, int32_t parameterIndex);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void cancelGesture() override;

    int32_t parameterIndex;
    ZGesture gesture{*this, parameterIndex, ZGesture::Kind::momentary};
};

class ZImgButton : public ZButton {
public:
    ZImgButton(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // Frame 0 up; the down frame (1, or 2 on a strip with a held look)
    // while held or while the parameter stands at 0.5 or above.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
};

}  // namespace VRAX
