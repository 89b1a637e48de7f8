// A line of text: fixed, or with variables ("${SRate}", "${HostName}", ...)
// that the effect fills in, once when the label is made or again whenever
// the refresh period has run out at a drawing pass.
#pragma once

#include "controls/ZEditorControl.h"

#include <cstdint>
#include <memory>

namespace VRAX {

class ZFont;

class ZLabel : public ZEditorControl {
public:
    // Room for a text with its variables expanded.
    static constexpr int32_t kExpandedSize = 384;

    ZLabel(const ControlPlacement& placement, int32_t alignment, const char* text, ZFont* font,
           int32_t refreshPeriodMs);

    bool needsRedraw() override;
    void draw(ZCanvas* canvas) override;

    const char* getSource() const { return source ? source.get() : ""; }
    const char* getDisplay() const { return display ? display.get() : ""; }

    std::unique_ptr<char[]> source;
    std::unique_ptr<char[]> display;
    int32_t displaySize = 0;
    ZFont* font;
    int32_t alignment;
    int32_t refreshPeriod = 0;
    int32_t lastDrawn = 0;
    bool fixed = true;

private:
    void expand();
};

}  // namespace VRAX
