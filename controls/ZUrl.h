// Links: a release over the control opens its address in the desktop's
// browser. ZUrl draws nothing (the skin's background shows the link);
// ZImgUrl shows frame 0 of an image as well.
#pragma once

#include "controls/ZEditorControl.h"

#include <cstdint>

namespace VRAX {

class ZImageResource;

// Starts the desktop's opener ("xdg-open") for the address, without waiting
// for the browser. The address is measured up to kMeasureLimit characters;
// addresses of kMinLength - 1 characters or fewer do nothing, longer ones are
// cut to kMaxAddress. It reaches the opener as one argument, never through a
// shell. True when the opener was started.
bool openLink(const char* address);

class ZUrl : public ZEditorControl {
public:
    static constexpr int32_t kMeasureLimit = 256;
    static constexpr int32_t kMinLength = 8;
    // What fitted the 128-byte command line "xdg-open <address>" with its
    // terminating zero.
    static constexpr int32_t kMaxAddress = 118;

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
