// Reading the embedded source files as the plug-in will see them: PNG
// headers and pixels (stb_image), text lines and tokens, and text widths as
// NanoVG's font stash lays them out (stb_truetype).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace restest {

// Bytes of resources/<name>; empty when the file cannot be read.
std::vector<uint8_t> readResource(const std::string& name);
std::vector<uint8_t> readFile(const std::string& path);

struct PngChunk {
    std::string type;
    uint32_t length = 0;
    bool crcOk = false;
};

struct PngHeader {
    bool signatureOk = false;
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, compression = -1, filter = -1, interlace = -1;
    uint32_t paletteEntries = 0;   // PLTE length / 3
    uint32_t alphaEntries = 0;     // tRNS length
    std::vector<PngChunk> chunks;  // in file order
    bool truncated = false;        // a chunk ran past the end of the data
};

PngHeader readPngHeader(const std::vector<uint8_t>& bytes);

struct Rgba {
    uint8_t r, g, b, a;
};

// A decoded image, always four channels.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    Rgba at(int x, int y) const;
};

// stbi_info on the bytes (width, height, channels in the file); false when
// stb_image does not recognise them.
bool pngInfo(const std::vector<uint8_t>& bytes, int* width, int* height, int* channels);
bool decodePng(const std::vector<uint8_t>& bytes, Picture* out);

// WCAG relative luminance and contrast ratio (1 to 21), alpha ignored.
double luminance(Rgba c);
double contrast(Rgba a, Rgba b);

// Text lines split at CR LF (a lone CR or LF stays inside its line).
std::vector<std::string> crlfLines(const std::vector<uint8_t>& bytes);
// The skin's and preset file's token rules: "#" ends the line, spaces and
// tabs separate, double quotes group.
std::vector<std::string> tokens(const std::string& line);

// A TrueType font measured the way NanoVG's font stash advances its pen:
// scale from the pixel height (ascender - descender), each advance and each
// kerning step rounded to whole pixels.
class FontMeasure {
public:
    FontMeasure();
    ~FontMeasure();
    FontMeasure(const FontMeasure&) = delete;
    FontMeasure& operator=(const FontMeasure&) = delete;

    bool open(const std::string& path);
    int width(const std::string& text, float size) const;
    bool hasGlyph(int codepoint) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

}  // namespace restest
