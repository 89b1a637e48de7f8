// What the pointer should look like: controls answer it for a point, the skin
// for the window, and the editor window shows it.
#pragma once

#include <cstdint>

namespace VRAX {

enum CursorKind : int32_t {
    kCursorAny = 0,      // the control has no preference
    kCursorNothing = 1,  // no control under the pointer
    kCursorHand = 2,
    kCursorText = 3,
};

}  // namespace VRAX
