// What the skin builder hands to every control's constructor.
#pragma once

#include <cstdint>

namespace VRAX {

class ZConditionSet;
class ZEffect;
class ZEditorSkin;

struct ControlPlacement {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t page = 0;  // 0: every page
    const ZConditionSet* conditions = nullptr;  // copied by the control
    ZEffect* effect = nullptr;
    ZEditorSkin* skin = nullptr;
};

}  // namespace VRAX
