// Command buttons: run one of the effect's commands when the button is let
// go. The modifier keys count if they were down at the press or at the
// release, so a Shift-click still counts after Shift is let go first.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"
#include "controls/ZGesture.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZCommand : public ZEditorControl {
public:
    ZCommand(const ControlPlacement& placement, int32_t commandIndex);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    void cancelGesture() override;

    int32_t commandIndex;
    // Edits no parameter: the held state and the press's modifiers.
    ZGesture gesture{*this, -1, ZGesture::Kind::none};
};

class ZImgCommand : public ZCommand {
public:
    ZImgCommand(const ControlPlacement& placement, int32_t commandIndex, ZImageResource* image);

    // Frame 1 while held, else 0; redrawn only when made dirty.
    void draw(ZCanvas* canvas) override;

    ZFrameStrip strip;
};

}  // namespace VRAX
