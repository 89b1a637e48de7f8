#include "editor/ZCanvas.h"

#include "skin/ZFont.h"

#include <nanovg.h>

#include <cmath>

namespace VRAX {

namespace {

NVGcolor toColour(const unsigned char* rgba) {
    return nvgRGBAf(rgba[0] / 255.0f, rgba[1] / 255.0f, rgba[2] / 255.0f, rgba[3] / 255.0f);
}

int32_t clampTo(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

// The region's extent along one axis: cut at the window's edge, otherwise as
// asked (a negative size stays negative and draws nothing).
int32_t clipExtent(int32_t origin, int32_t size, int32_t limit) {
    return static_cast<int64_t>(origin) + size > limit ? limit - origin : size;
}

}  // namespace

int32_t alignFromName(const char* text) {
    if (!text) return kAlignLeft;
    switch (text[0]) {
        case 'C':
        case 'c':
            return kAlignCentre;
        case 'R':
        case 'r':
            return kAlignRight;
        default:
            return kAlignLeft;
    }
}

void ZCanvas::init(NVGcontext* nvg, int32_t windowWidth, int32_t windowHeight, float pixelScale) {
    context = nvg;
    scale = pixelScale > 0.0f ? pixelScale : 1.0f;
    width = windowWidth;
    height = windowHeight;
    resetRegion();
}

void ZCanvas::setRegion(int32_t x, int32_t y, int32_t w, int32_t h) {
    originX = clampTo(x, 0, width < 0 ? 0 : width);
    originY = clampTo(y, 0, height < 0 ? 0 : height);
    clipWidth = clipExtent(originX, w, width);
    clipHeight = clipExtent(originY, h, height);
}

void ZCanvas::resetRegion() {
    originX = 0;
    originY = 0;
    clipWidth = width;
    clipHeight = height;
}

void ZCanvas::beginFrame() {
    // The frame is in editor pixels; the bound target has scale times as
    // many, and the ratio makes NanoVG draw paths and glyphs at that density.
    nvgBeginFrame(context, static_cast<float>(width), static_cast<float>(height), scale);
    // A scissor costs a shader branch per fragment; the whole window needs none.
    if (clipWidth < width || clipHeight < height) {
        nvgScissor(context, static_cast<float>(originX), static_cast<float>(originY),
                   static_cast<float>(clipWidth), static_cast<float>(clipHeight));
    }
    nvgBeginPath(context);
}

void ZCanvas::endFrame() { nvgEndFrame(context); }

void ZCanvas::fillRectRgb(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgb) {
    if (!context || !rgb) return;
    beginFrame();
    nvgRect(context, static_cast<float>(originX + x), static_cast<float>(originY + y),
            static_cast<float>(w), static_cast<float>(h));
    nvgFillColor(context, nvgRGBf(rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f));
    nvgFill(context);
    endFrame();
}

void ZCanvas::fillRect(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgba) {
    if (!context || !rgba) return;
    beginFrame();
    nvgRect(context, static_cast<float>(originX + x), static_cast<float>(originY + y),
            static_cast<float>(w), static_cast<float>(h));
    nvgFillColor(context, toColour(rgba));
    nvgFill(context);
    endFrame();
}

void ZCanvas::strokeRect(int32_t x, int32_t y, int32_t w, int32_t h, const unsigned char* rgba) {
    if (!context || !rgba) return;
    beginFrame();
    nvgRect(context, static_cast<float>(originX + x), static_cast<float>(originY + y),
            static_cast<float>(w), static_cast<float>(h));
    nvgStrokeWidth(context, 1.0f);
    nvgStrokeColor(context, toColour(rgba));
    nvgStroke(context);
    endFrame();
}

void ZCanvas::strokeSegment(float x1, float y1, float x2, float y2, float strokeWidth,
                            const unsigned char* rgba) {
    if (!context || !rgba) return;
    beginFrame();
    nvgMoveTo(context, static_cast<float>(originX) + x1, static_cast<float>(originY) + y1);
    nvgLineTo(context, static_cast<float>(originX) + x2, static_cast<float>(originY) + y2);
    nvgStrokeWidth(context, strokeWidth);
    nvgStrokeColor(context, toColour(rgba));
    nvgStroke(context);
    endFrame();
}

void ZCanvas::drawHLine(int32_t x1, int32_t y, int32_t x2, const unsigned char* rgba) {
    strokeSegment(static_cast<float>(x1), static_cast<float>(y), static_cast<float>(x2),
                  static_cast<float>(y), 1.0f, rgba);
}

void ZCanvas::drawVLine(int32_t x, int32_t y1, int32_t y2, const unsigned char* rgba) {
    strokeSegment(static_cast<float>(x), static_cast<float>(y1), static_cast<float>(x),
                  static_cast<float>(y2), 1.0f, rgba);
}

void ZCanvas::drawPixelLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, const unsigned char* rgba) {
    strokeSegment(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                  static_cast<float>(y2), 1.0f, rgba);
}

void ZCanvas::drawLine(double x1, double y1, double x2, double y2, double strokeWidth,
                       const unsigned char* rgba) {
    strokeSegment(static_cast<float>(x1), static_cast<float>(y1), static_cast<float>(x2),
                  static_cast<float>(y2), static_cast<float>(strokeWidth), rgba);
}

void ZCanvas::fillCircle(double cx, double cy, double r, const unsigned char* rgba) {
    if (!context || !rgba) return;
    beginFrame();
    nvgCircle(context, static_cast<float>(originX) + static_cast<float>(cx),
              static_cast<float>(originY) + static_cast<float>(cy), static_cast<float>(r));
    nvgFillColor(context, toColour(rgba));
    nvgFill(context);
    endFrame();
}

void ZCanvas::drawPolyline(const ZPointF* points, int32_t count, double strokeWidth,
                           const unsigned char* rgba) {
    if (!context || !rgba || !points || count <= 0) return;
    if (count == 1) {
        fillCircle(points[0].x, points[0].y, strokeWidth / 2.0, rgba);
        return;
    }
    const float ox = static_cast<float>(originX);
    const float oy = static_cast<float>(originY);
    beginFrame();
    nvgMoveTo(context, ox + static_cast<float>(points[0].x), oy + static_cast<float>(points[0].y));
    for (int32_t i = 1; i < count; ++i) {
        nvgLineTo(context, ox + static_cast<float>(points[i].x), oy + static_cast<float>(points[i].y));
    }
    nvgStrokeWidth(context, static_cast<float>(strokeWidth));
    nvgStrokeColor(context, toColour(rgba));
    nvgStroke(context);
    endFrame();
}

void ZCanvas::drawImage(int32_t image, const ZRect* source, const ZPoint* destination, int32_t imageScale) {
    if (!context || !source || !destination || image <= 0) return;
    int imageW = 0;
    int imageH = 0;
    nvgImageSize(context, image, &imageW, &imageH);
    if (imageW < 1 || imageH < 1) return;
    if (imageScale > 1) {
        imageW /= imageScale;
        imageH /= imageScale;
    }

    const float x = static_cast<float>(originX + destination->x);
    const float y = static_cast<float>(originY + destination->y);
    // The whole image, placed so that the source rectangle's corner lands on
    // (x, y): one image pixel is one window pixel.
    const NVGpaint paint = nvgImagePattern(context, x - static_cast<float>(source->x),
                                           y - static_cast<float>(source->y), static_cast<float>(imageW),
                                           static_cast<float>(imageH), 0.0f, image, 1.0f);
    beginFrame();
    nvgRect(context, x, y, static_cast<float>(source->w), static_cast<float>(source->h));
    nvgFillPaint(context, paint);
    nvgFill(context);
    endFrame();
}

void ZCanvas::drawText(const char* text, int32_t x, int32_t y, int32_t w, int32_t h, const ZFont* font,
                       int32_t alignment) {
    if (!context || !text || !font) return;
    beginFrame();
    nvgFontBlur(context, 0.0f);
    nvgFontSize(context, static_cast<float>(font->getSize()));
    nvgFontFace(context, font->getFace());

    float anchor;
    int align;
    if (alignment == kAlignLeft) {
        anchor = static_cast<float>(x);
        align = NVG_ALIGN_LEFT | NVG_ALIGN_MIDDLE;
    } else if (alignment == kAlignRight) {
        anchor = static_cast<float>(x + w);
        align = NVG_ALIGN_RIGHT | NVG_ALIGN_MIDDLE;
    } else {
        anchor = static_cast<float>(x) + static_cast<float>(w) * 0.5f;
        align = NVG_ALIGN_CENTER | NVG_ALIGN_MIDDLE;
    }
    // Whole pixels keep glyphs crisp; the middle sits a little below the box's.
    const float textX = std::round(anchor + static_cast<float>(originX));
    const float textY =
        std::round(static_cast<float>(h) * 0.55f + static_cast<float>(y) + static_cast<float>(originY) + 0.5f);

    nvgTextAlign(context, align);
    nvgFillColor(context, toColour(font->colour));
    nvgText(context, textX, textY, text, nullptr);
    endFrame();
}

}  // namespace VRAX

namespace VRAX {

double ZCanvas::textWidth(const char* text, const ZFont* font) {
    if (!context || !text || !font || !*text) return 0.0;
    nvgFontBlur(context, 0.0f);
    nvgFontSize(context, static_cast<float>(font->getSize()));
    nvgFontFace(context, font->getFace());
    nvgTextAlign(context, NVG_ALIGN_LEFT | NVG_ALIGN_MIDDLE);
    return nvgTextBounds(context, 0.0f, 0.0f, text, nullptr, nullptr);
}

}  // namespace VRAX
