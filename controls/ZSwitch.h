// On/off switches: a click flips the parameter between 0 and 1 (Ctrl-click
// restores its default) inside one begin/end edit that lasts while the
// button is held. Drawn from a strip image or as a dot / cross mark.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"
#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class SkinArgs;
class ZImageResource;

// The vector look of the highlight switch and radio: a dot in the box when
// the state is true, a cross when false, and a tint over the whole control
// while it is held.
struct ZHighlightLook {
    int32_t boxX, boxY, boxWidth, boxHeight;
    const unsigned char* offColour;
    const unsigned char* onColour;
    const unsigned char* highlightColour;
};
void drawHighlight(ZCanvas* canvas, const ZHighlightLook& look, int32_t controlWidth, int32_t controlHeight,
                   bool state, bool held);
// The script's box x, y, width, height and off, on and highlight colours.
ZHighlightLook readHighlightLook(SkinArgs& args);

class ZSwitch : public ZEditorControl {
public:
    ZSwitch(const ControlPlacement& placement, int32_t parameterIndex);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // Ends the edit that the press began when the release will never come.
    void cancelGesture() override;

    // On when the shown value is 0.5 or above.
    bool isOn() const;

    int32_t parameterIndex;
    ZGesture gesture{*this, parameterIndex};
};

class ZImgSwitch : public ZSwitch {
public:
    ZImgSwitch(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // 0 off, 1 on; while held 2 on a three-frame strip, 2 or 3 (off, on) on
    // a four-frame strip.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
};

class ZHlSwitch : public ZSwitch {
public:
    ZHlSwitch(const ControlPlacement& placement, int32_t parameterIndex, const ZHighlightLook& look);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    ZHighlightLook look;
    bool lastOn = false;
};

}  // namespace VRAX
