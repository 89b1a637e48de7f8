#include "gfx/GfxHelpers.h"

#include "io/EmbeddedFile.h"

#include <nanovg.h>
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <deque>
#include <string>

namespace qolm_test {

namespace {

struct StoredFile {
    std::string name;
    std::vector<unsigned char> bytes;
    EmbeddedFile record;
};

// The table keeps pointers to the records, so they never move or go.
std::deque<StoredFile>& storedFiles() {
    static auto* files = new std::deque<StoredFile>();
    return *files;
}

void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<unsigned char> encodePng(const Image& image) {
    std::vector<unsigned char> png;
    stbi_write_png_to_func(appendBytes, &png, image.width, image.height, 4, image.rgba.data(), image.width * 4);
    return png;
}

Image decodePng(const unsigned char* data, int32_t size) {
    Image image;
    int channels = 0;
    unsigned char* pixels = stbi_load_from_memory(data, size, &image.width, &image.height, &channels, 4);
    if (!pixels) return Image{};
    image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
    stbi_image_free(pixels);
    return image;
}

const char* embedTestFile(const char* name, std::vector<unsigned char> bytes) {
    StoredFile& file = storedFiles().emplace_back();
    file.name = name;
    file.bytes = std::move(bytes);
    file.record = EmbeddedFile{file.name.c_str(), static_cast<int32_t>(file.bytes.size()), file.bytes.data()};
    registerEmbeddedFile(&file.record);
    return file.name.c_str();
}

bool registerTestFont(NVGcontext* nvg, const char* face) {
    int32_t size = 0;
    const unsigned char* data = findEmbeddedFile("ZSans.ttf", &size);
    if (!data || size <= 0) return false;
    return nvgCreateFontMem(nvg, face, const_cast<unsigned char*>(data), size, 0) >= 0;
}

}  // namespace qolm_test
