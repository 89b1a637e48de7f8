#include "editor/GlLoader.h"

// glad's header must come first: it stands in for the system's GL/gl.h.
#include <glad/gl.h>

#include <GL/glx.h>

#include <mutex>

namespace VRAX {

namespace {

GLADapiproc lookUp(const char* name) {
    return reinterpret_cast<GLADapiproc>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool loadGlFunctions() {
    // The pointers are globals that every window thread calls through:
    // written by the first thread that finds a usable OpenGL, under the
    // lock, and never again while another thread may be drawing.
    static std::mutex mutex;
    static bool loaded = false;
    std::lock_guard<std::mutex> lock(mutex);
    if (!loaded) loaded = gladLoadGL(lookUp) != 0;
    return loaded;
}

}  // namespace VRAX
