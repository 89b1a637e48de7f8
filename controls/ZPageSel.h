// Page selectors: a press shows the selector's page at once; the release
// only redraws the selector itself. Drawn as a tab from a strip image or as
// a tint while held.
#pragma once

#include "controls/ZEditorControl.h"
#include "controls/ZFrameStrip.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZPageSel : public ZEditorControl {
public:
    ZPageSel(const ControlPlacement& placement, int32_t targetPage);

    int32_t cursorAt(int32_t x, int32_t y) override;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y) override;
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;
    // Drops the held look when the release will never come.
    void cancelGesture() override;

    // The skin shows this selector's page now.
    bool isActive() const;

    int32_t targetPage;
    bool held = false;
};

class ZImgPageSel : public ZPageSel {
public:
    ZImgPageSel(const ControlPlacement& placement, ZImageResource* image, int32_t targetPage);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;
    // 1 on the selector's page, else 0; 2 while held on a three-frame strip.
    virtual int32_t frameIndex();

    ZFrameStrip strip;
};

class ZPageSelHlt : public ZPageSel {
public:
    ZPageSelHlt(const ControlPlacement& placement, int32_t targetPage, const unsigned char* colour);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    const unsigned char* colour;
    bool lastHeld = false;
};

}  // namespace VRAX
