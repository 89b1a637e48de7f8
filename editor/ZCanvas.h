// The one way skin resources and controls draw: a NanoVG context, the window
// size and a current region (origin and clip) in which coordinates are given.
// Every drawing operation is a whole NanoVG frame of its own, so controls can
// be drawn one at a time, in any order, into the target bound by the caller.
#pragma once

#include <cstdint>

struct NVGcontext;

namespace VRAX {

class ZFont;

struct ZRect {
    int32_t x, y, w, h;
};

struct ZPoint {
    int32_t x, y;
};

struct ZPointF {
    double x, y;
};

enum ZTextAlign : int32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Alignment code from a keyword: first letter C or c gives centre, R or r
// right, anything else (or no text) left.
int32_t alignFromName(const char* text);

class ZCanvas {
public:
    ZCanvas() = default;
    ZCanvas(const ZCanvas&) = delete;
    ZCanvas& operator=(const ZCanvas&) = delete;
    virtual ~ZCanvas() = default;

    // The size is in editor pixels; scale is the screen pixels per editor
    // pixel (1 at 96 DPI): everything is drawn at that resolution.
    void init(NVGcontext* context, int32_t width, int32_t height, float scale = 1.0f);

    // Region in window pixels; the origin is clamped into the window and the
    // clip cut at the window's right and bottom edges.
    void setRegion(int32_t x, int32_t y, int32_t w, int32_t h);
    void resetRegion();

    // Colours are red, green, blue, alpha bytes; fillRectRgb reads only three
    // and draws opaque. Coordinates are relative to the region's origin.
    void fillRectRgb(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgb);
    void fillRect(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgba);
    void strokeRect(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgba);
    void drawHLine(int32_t x1, int32_t y, int32_t x2, const unsigned char* rgba);
    void drawVLine(int32_t x, int32_t y1, int32_t y2, const unsigned char* rgba);
    void drawPixelLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const unsigned char* rgba);
    void drawLine(double x1, double y1, double x2, double y2, double width, const unsigned char* rgba);
    void fillCircle(double cx, double cy, double r, const unsigned char* rgba);
    void drawPolyline(const ZPointF* points, int32_t count, double width, const unsigned char* rgba);
    // Copies the source rectangle of the image, unscaled, to the destination.
    // An image made at imageScale pixels per editor pixel (a HiDPI twin) is
    // given in editor pixels like any other.
    void drawImage(int32_t image, const ZRect* source, const ZPoint* destination, int32_t imageScale = 1);
    // One line of text placed in the box by the alignment code; not clipped
    // to the box, only to the region.
    void drawText(const char* text, int32_t x, int32_t y, int32_t w, int32_t h, const ZFont* font,
                  int32_t alignment);

    // Width of the text as drawText would draw it with the font.
    double textWidth(const char* text, const ZFont* font);

    NVGcontext* getContext() const { return context; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    float getScale() const { return scale; }
    int32_t getOriginX() const { return originX; }
    int32_t getOriginY() const { return originY; }
    int32_t getClipWidth() const { return clipWidth; }
    int32_t getClipHeight() const { return clipHeight; }

private:
    void beginFrame();
    void endFrame();
    void strokeSegment(float x1, float y1, float x2, float y2, float strokeWidth, const unsigned char* rgba);

    NVGcontext* context = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t originX = 0;
    int32_t originY = 0;
    int32_t clipWidth = 0;
    int32_t clipHeight = 0;
    float scale = 1.0f;
};

}  // namespace VRAX
