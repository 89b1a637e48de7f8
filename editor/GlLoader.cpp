#include "editor/GlLoader.h"

// glad's header must come first: it stands in for the system's GL/gl.h.
#include <glad/gl.h>

#include <GL/glx.h>

namespace VRAX {

namespace {

GLADapiproc lookUp(const char* name) {
    return reinterpret_cast<GLADapiproc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool loadGlFunctions() { return gladLoadGL(lookUp) != 0; }

}  // namespace VRAX
