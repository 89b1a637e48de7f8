// Base of everything a skin declares to draw with: colours, fonts, TrueType
// faces and strip images. Images and faces also live inside the renderer, and
// only while an editor window is open: load and unload move them in and out.
#pragma once

#include "framework/Named.h"

#include <cstddef>

namespace VRAX {

class ZCanvas;

class ZEditorResource : public ZIdBase {
public:
    // Longest file or face name kept (in a field of 64 bytes).
    static constexpr int kFileNameLength = 63;

    using ZIdBase::ZIdBase;
    int32_t typeId() const override { return typeIdOf<ZEditorResource>(); }

    // On the window thread, with the canvas over its renderer; both do
    // nothing when there is no renderer.
    virtual void load(ZCanvas* canvas) { (void)canvas; }
    virtual void unload(ZCanvas* canvas) { (void)canvas; }

protected:
    // Copies at most capacity - 1 characters and always terminates.
    static void copyText(char* target, size_t capacity, const char* text) {
        size_t n = 0;
        if (text) {
            while (n + 1 < capacity && text[n]) {
                target[n] = text[n];
                ++n;
            }
        }
        while (n < capacity) target[n++] = 0;
    }
};

}  // namespace VRAX
