#include "controls/ZLabel.h"

#include "controls/ControlFactories.h"
#include "editor/ZCanvas.h"
#include "framework/ZEffect.h"
#include "skin/SkinArgs.h"

#include <cstring>
#include <new>

namespace VRAX {

namespace {

// A copy that the label owns; null only when memory ran out.
std::unique_ptr<char[]> copyOf(const char* text, int32_t* size) {
    const size_t length = text ? std::strlen(text) : 0;
    std::unique_ptr<char[]> copy(new (std::nothrow) char[length + 1]);
    if (copy) {
        if (length) std::memcpy(copy.get(), text, length);
        copy[length] = 0;
    }
    if (size) *size = copy ? static_cast<int32_t>(length + 1) : 0;
    return copy;
}

}  // namespace

ZLabel::ZLabel(const ControlPlacement& placement, int32_t alignment, const char* text, ZFont* font,
               int32_t refreshPeriodMs)
    : ZEditorControl(placement), font(font), alignment(alignment) {
    source = copyOf(text, nullptr);
    if (text && std::strchr(text, '$')) {
        display.reset(new (std::nothrow) char[kExpandedSize]);
        if (display) {
            displaySize = kExpandedSize;
            display[0] = 0;
        }
        refreshPeriod = refreshPeriodMs;
        fixed = refreshPeriodMs == 0;
        expand();
    } else {
        // Nothing to fill in: the text never changes, whatever the period says.
        display = copyOf(text, &displaySize);
    }
}

void ZLabel::expand() {
    if (!display || displaySize <= 0) return;
    if (effect) {
        effect->expandVariables(display.get(), displaySize, getSource());
    } else {
        std::strncpy(display.get(), getSource(), static_cast<size_t>(displaySize) - 1);
        display[displaySize - 1] = 0;
    }
}

bool ZLabel::needsRedraw() {
    if (dirty || !drawn) return true;
    if (fixed) return false;
    // The millisecond count is 32 bits: a clock behind the last draw has
    // wrapped, and the text is due.
    const int64_t now = nowMs();
    return now - lastDrawn > refreshPeriod || now < lastDrawn;
}

void ZLabel::draw(ZCanvas* canvas) {
    if (!fixed) expand();
    if (canvas && font && display) canvas->drawText(display.get(), 0, 0, width, height, font, alignment);
    lastDrawn = nowMs();
}

ZEditorControl* makeZLabel(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t alignment = args.alignment();
    const char* text = args.text();
    ZFont* font = args.font();
    const int32_t period = args.integer();
    // An empty text ("") is a label too: a placeholder a skin may keep.
    if (!text || !font) return nullptr;
    return new (std::nothrow) ZLabel(placement, alignment, text, font, period);
}

}  // namespace VRAX
