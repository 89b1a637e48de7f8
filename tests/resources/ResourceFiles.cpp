#include "ResourceFiles.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

// The decoders come from Debian's libstb-dev, kept private to this unit.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STBTT_STATIC
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>
#pragma GCC diagnostic pop

namespace restest {

std::vector<uint8_t> readFile(const std::string& path) {
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    uint8_t buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
    std::fclose(f);
    return out;
}

std::vector<uint8_t> readResource(const std::string& name) {
    return readFile(std::string(QOLM_SOURCE_DIR) + "/resources/" + name);
}

namespace {

uint32_t be32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint32_t crc32(const uint8_t* data, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) {
        c ^= data[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return c ^ 0xFFFFFFFFu;
}

}  // namespace

PngHeader readPngHeader(const std::vector<uint8_t>& bytes) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PngHeader h;
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return h;
    h.signatureOk = true;
    size_t pos = 8;
    while (pos + 12 <= bytes.size()) {
        const uint32_t len = be32(&bytes[pos]);
        if (len > bytes.size() - pos - 12) {
            h.truncated = true;
            break;
        }
        PngChunk c;
        c.type.assign(reinterpret_cast<const char*>(&bytes[pos + 4]), 4);
        c.length = len;
        c.crcOk = crc32(&bytes[pos + 4], len + 4) == be32(&bytes[pos + 8 + len]);
        const uint8_t* body = &bytes[pos + 8];
        if (c.type == "IHDR" && len == 13) {
            h.width = be32(body);
            h.height = be32(body + 4);
            h.bitDepth = body[8];
            h.colourType = body[9];
            h.compression = body[10];
            h.filter = body[11];
            h.interlace = body[12];
        } else if (c.type == "PLTE") {
            h.paletteEntries = len / 3;
        } else if (c.type == "tRNS") {
            h.alphaEntries = len;
        }
        h.chunks.push_back(c);
        pos += 12 + len;
        if (c.type == "IEND") break;
    }
    if (pos != bytes.size()) h.truncated = true;
    return h;
}

Rgba Picture::at(int x, int y) const {
    const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

bool pngInfo(const std::vector<uint8_t>& bytes, int* width, int* height, int* channels) {
    return stbi_info_from_memory(bytes.data(), int(bytes.size()), width, height, channels) != 0;
}

bool decodePng(const std::vector<uint8_t>& bytes, Picture* out) {
    int w = 0, h = 0, n = 0;
    unsigned char* data = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &n, 4);
    if (!data) return false;
    out->width = w;
    out->height = h;
    out->pixels.assign(data, data + size_t(w) * size_t(h) * 4);
    stbi_image_free(data);
    return true;
}

double luminance(Rgba c) {
    auto lin = [](uint8_t v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double contrast(Rgba a, Rgba b) {
    double la = luminance(a), lb = luminance(b);
    if (la < lb) std::swap(la, lb);
    return (la + 0.05) / (lb + 0.05);
}

std::vector<std::string> crlfLines(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> lines;
    std::string cur;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            lines.push_back(cur);
            cur.clear();
            ++i;
        } else {
            cur.push_back(char(bytes[i]));
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

std::vector<std::string> tokens(const std::string& line) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '#') break;
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        std::string t;
        if (c == '"') {
            ++i;
            while (i < line.size() && line[i] != '"') t.push_back(line[i++]);
            if (i < line.size()) ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '#') t.push_back(line[i++]);
        }
        out.push_back(t);
    }
    return out;
}

struct FontMeasure::Impl {
    std::vector<uint8_t> data;
    stbtt_fontinfo info{};
};

FontMeasure::FontMeasure() : impl(new Impl) {}
FontMeasure::~FontMeasure() = default;

bool FontMeasure::open(const std::string& path) {
    impl->data = readFile(path);
    if (impl->data.empty()) return false;
    const int offset = stbtt_GetFontOffsetForIndex(impl->data.data(), 0);
    return offset >= 0 && stbtt_InitFont(&impl->info, impl->data.data(), offset) != 0;
}

int FontMeasure::width(const std::string& text, float size) const {
    // The font stash keys sizes in tenths of a pixel.
    const short isize = short(size * 10.0f);
    const float scale = stbtt_ScaleForPixelHeight(&impl->info, float(isize) / 10.0f);
    float x = 0.0f;
    int prev = -1;
    for (unsigned char ch : text) {
        const int glyph = stbtt_FindGlyphIndex(&impl->info, ch);
        if (prev != -1) x += float(int(float(stbtt_GetGlyphKernAdvance(&impl->info, prev, glyph)) * scale + 0.5f));
        int advance = 0, bearing = 0;
        stbtt_GetGlyphHMetrics(&impl->info, glyph, &advance, &bearing);
        const short xadv = short(scale * float(advance) * 10.0f);
        x += float(int(float(xadv) / 10.0f + 0.5f));
        prev = glyph;
    }
    return int(x);
}

bool FontMeasure::hasGlyph(int codepoint) const {
    return stbtt_FindGlyphIndex(&impl->info, codepoint) != 0;
}

}  // namespace restest
