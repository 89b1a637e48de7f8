// Links: a release over the control opens its address in the desktop's
// browser. ZUrl draws nothing (the skin's background shows the link);
// ZImgUrl shows frame 0 of an image as well.
#pragma once

#include "controls/ZEditorControl.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

class ZUrl : public ZEditorControl {
public:
    ZUrl(const ControlPlacement& placement, const char* address);
    ~ZUrl() override;
    ZUrl(const ZUrl&) = delete;
    ZUrl& operator=(const ZUrl&) = delete;

    int32_t cursorAt(int32_t x, int32_t y) override;
    // Opens the link and returns false: the press was never captured, so the
    // release that opens it may follow a press anywhere.
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y) override;

    const char* getAddress() const { return address ? address : ""; }

    char* address = nullptr;  // owned copy
};

class ZImgUrl : public ZUrl {
public:
    ZImgUrl(const ControlPlacement& placement, ZImageResource* image, const char* address);

    void draw(ZCanvas* canvas) override;

    ZImageResource* image;
};

}  // namespace VRAX
