// Resolves the OpenGL entry points for the context current on this thread.
#pragma once

namespace VRAX {

// Call once a GLX context is current. The loaded pointers are process-wide
// and every context of this process runs on the same driver, so they are
// loaded once, by the first thread whose context offers a usable OpenGL;
// later calls only wait for that and answer the same. False when no context
// so far offered one.
bool loadGlFunctions();

}  // namespace VRAX
