#include "support/PngFile.h"

// Static, so that a test that also links stb's writer keeps its own.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace qtest {

bool writePng(const std::string& path, int width, int height, const unsigned char* rgb) {
    if (width <= 0 || height <= 0 || !rgb) return false;
    return stbi_write_png(path.c_str(), width, height, 3, rgb, width * 3) != 0;
}

}  // namespace qtest
