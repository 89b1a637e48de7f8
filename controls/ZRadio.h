// Radio items: item a of b + 1 owns the slice [a / (b + 1), (a + 1) / (b + 1))
// of a parameter's range (the last item also owns 1 itself) and a click sets
// the slice's centre. Drawn from a strip image or as a dot / cross mark.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"
#include "controls/ZGesture.h"
#include "controls/ZSwitch.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZRadio : public ZEditorControl {
public:
    ZRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // Ends the edit that the press began when the release will never come.
    void cancelGesture() override;

    // The shown value lies in this item's slice.
    bool isSelected() const;

    int32_t parameterIndex;
    int32_t item;
    int32_t lastItem;
    double centre = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    ZGesture gesture{*this, parameterIndex};
};

class ZImgRadio : public ZRadio {
public:
    ZImgRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
              ZImageResource* image);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // As a switch's frames, with on meaning selected.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
};

class ZHlRadio : public ZRadio {
public:
    ZHlRadio(const ControlPlacement& placement, int32_t parameterIndex, int32_t item, int32_t lastItem,
             const ZHighlightLook& look);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    ZHighlightLook look;
    bool lastSelected = false;
};

}  // namespace VRAX
