#include "PngDecode.h"

#include "io/EmbeddedFile.h"

// Private to this file: the renderer carries its own copy. Being static,
// the parts of stb this file does not call would each warn.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace edtest {

namespace {

Picture decode(const unsigned char* bytes, int size) {
    Picture picture;
    if (!bytes || size <= 0) return picture;
    int w = 0, h = 0, channels = 0;
    unsigned char* rgba = stbi_load_from_memory(bytes, size, &w, &h, &channels, 4);
    if (!rgba) return picture;
    picture.width = w;
    picture.height = h;
    picture.pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        // Composited over black, as the skin paints black under its background.
        const unsigned a = rgba[i * 4 + 3];
        picture.pixels[i] = {static_cast<int>(rgba[i * 4] * a / 255), static_cast<int>(rgba[i * 4 + 1] * a / 255),
                             static_cast<int>(rgba[i * 4 + 2] * a / 255)};
    }
    stbi_image_free(rgba);
    return picture;
}

}  // namespace

Picture decodeEmbeddedPng(const char* name) {
    int32_t size = 0;
    const unsigned char* bytes = findEmbeddedFile(name, &size);
    return decode(bytes, size);
}

Picture decodePngFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        unsigned char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(file);
    }
    return decode(bytes.data(), static_cast<int>(bytes.size()));
}

Picture crop(const Picture& picture, int x, int y, int width, int height) {
    Picture part;
    if (x < 0 || y < 0 || x + width > picture.width || y + height > picture.height) return part;
    part.width = width;
    part.height = height;
    for (int row = y; row < y + height; ++row)
        for (int column = x; column < x + width; ++column) part.pixels.push_back(picture.at(column, row));
    return part;
}

}  // namespace edtest
