// A parameter's display text (value and unit), centred in the control;
// ZBgValue draws it over a background image. A double-click on either opens
// a field in which the value can be typed (ZValueEntry).
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZValueEntry.h"

#include <cstdint>

namespace VRAX {

class ZFont;
class ZImageResource;

class ZValue : public ZEditorControl {
public:
    ZValue(const ControlPlacement& placement, int32_t parameterIndex, ZFont* font);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool keyDown(int32_t key, uint32_t character) override;
    bool isTyping() const override;
    void stopTyping() override;

    int32_t parameterIndex;
    ZFont* font;
    double lastValue = 0.0;
    ZValueEntry entry{*this, parameterIndex};
};

class ZBgValue : public ZValue {
public:
    ZBgValue(const ControlPlacement& placement, int32_t parameterIndex, ZImageResource* image, ZFont* font);

    void draw(ZCanvas* canvas) override;

    ZImageResource* image;
};

}  // namespace VRAX
