/* NanoVG's OpenGL 2 back end and its frame-buffer utility, calling OpenGL
   through the glad loader. The frame-buffer code is enabled explicitly: on
   Linux the header only enables it for GL3 and GLES. */
#include <glad/gl.h>

#include "nanovg.h"

#define NANOVG_GL2_IMPLEMENTATION
#define NANOVG_FBO_VALID 1
#include "nanovg_gl.h"
#include "nanovg_gl_utils.h"
