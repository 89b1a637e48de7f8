// Resolves the OpenGL entry points for the context current on this thread.
#pragma once

namespace VRAX {

// Call once a GLX context is current. The loaded pointers are process-wide;
// every context of this process runs on the same driver, so loading again
// from another window thread only writes the same values. False when the
// context offers no usable OpenGL.
bool loadGlFunctions();

}  // namespace VRAX
