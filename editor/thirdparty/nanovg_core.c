/* NanoVG's core, font stash, stb_image (PNG only) and stb_truetype, all from
   Debian's packages. stb is kept static so that nothing of it leaks out. */
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBTT_STATIC

#include "nanovg.h"

/* This NanoVG uses the enum's tag without `enum` in one definition. */
typedef enum NVGtexture NVGtexture;

#include "nanovg.c"
