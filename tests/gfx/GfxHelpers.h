// Helpers for pixel tests: PNG bytes made and decoded in memory, test files
// put into the embedded file table, and a TrueType face for text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct NVGcontext;

namespace qolm_test {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;  // row 0 at the top, not premultiplied
    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

std::vector<unsigned char> encodePng(const Image& image);
// Empty image when the bytes are no PNG.
Image decodePng(const unsigned char* data, int32_t size);

// Adds a file to the embedded file table for the rest of the run; the bytes
// are kept alive here. Returns the name.
const char* embedTestFile(const char* name, std::vector<unsigned char> bytes);

// Registers the embedded "ZSans.ttf" with the renderer under the face name.
bool registerTestFont(NVGcontext* nvg, const char* face);

}  // namespace qolm_test
