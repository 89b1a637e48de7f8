#include "skin/ZImageResource.h"

#include "editor/ZCanvas.h"
#include "io/EmbeddedFile.h"

#include <nanovg.h>

#include <cstdio>
#include <cstring>
#include <new>

namespace VRAX {

bool twinFileName(const char* file, char* out, size_t size) {
    if (!file || !out || size == 0) return false;
    const char* dot = std::strrchr(file, '.');
    const size_t stem = dot ? static_cast<size_t>(dot - file) : std::strlen(file);
    const int written = std::snprintf(out, size, "%.*s@2x%s", static_cast<int>(stem), file, dot ? dot : "");
    return written > 0 && static_cast<size_t>(written) < size;
}

ZImageResource::ZImageResource(const char* fileName, int32_t frameWidth, int32_t frameHeight, int32_t frameCount)
    : frameWidth(frameWidth), frameHeight(frameHeight), frameCount(frameCount) {
    copyText(file, sizeof(file), fileName);
}

ZImageResource* ZImageResource::create(const char* name, const char* fileName, int32_t frameWidth,
                                       int32_t frameHeight, int32_t frameCount) {
    if (!fileName || frameWidth <= 0 || frameHeight <= 0 || frameCount <= 0) return nullptr;
    auto* resource = new (std::nothrow) ZImageResource(fileName, frameWidth, frameHeight, frameCount);
    if (resource) resource->setName(name);
    return resource;
}

void ZImageResource::load(ZCanvas* canvas) {
    NVGcontext* context = canvas ? canvas->getContext() : nullptr;
    if (!context || image > 0) return;
    int32_t size = 0;
    const unsigned char* data = nullptr;
    pixelScale = 1;
    // A HiDPI canvas draws from the twin made at twice the size, when there
    // is one; otherwise the renderer enlarges the 1x image.
    if (canvas->getScale() > 1.0f) {
        char twin[sizeof(file) + 4] = {};
        if (twinFileName(file, twin, sizeof(twin))) data = findEmbeddedFile(twin, &size);
        if (data && size > 0) pixelScale = 2;
    }
    if (!data || size <= 0) data = findEmbeddedFile(file, &size);
    if (!data || size <= 0) return;
    // The renderer only reads the bytes; its interface just is not const.
    image = nvgCreateImageMem(context, 0, const_cast<unsigned char*>(data), size);
    if (image <= 0) return;
    int w = 0;
    int h = 0;
    nvgImageSize(context, image, &w, &h);
    imageWidth = w / pixelScale;
    imageHeight = h / pixelScale;
    columns = frameWidth > 0 ? imageWidth / frameWidth : 0;
    rows = frameHeight > 0 ? imageHeight / frameHeight : 0;
}

void ZImageResource::unload(ZCanvas* canvas) {
    NVGcontext* context = canvas ? canvas->getContext() : nullptr;
    if (!context || image <= 0) return;
    nvgDeleteImage(context, image);
    image = 0;
}

bool ZImageResource::isDrawable() const {
    return image > 0 && frameWidth > 0 && frameHeight > 0 && imageWidth > 0 && imageHeight > 0 &&
           static_cast<int64_t>(columns) * rows >= frameCount;
}

bool ZImageResource::frameRect(int32_t frame, ZRect* rect) const {
    // Frames past the declared count (or negative ones) would lie outside
    // the grid, and the renderer would smear the image's edge over them.
    if (!isDrawable() || frame < 0 || frame >= frameCount || columns <= 0) return false;
    rect->x = frameWidth * (frame % columns);
    rect->y = frameHeight * (frame / columns);
    rect->w = frameWidth;
    rect->h = frameHeight;
    return true;
}

void ZImageResource::drawFrame(ZCanvas* canvas, int32_t x, int32_t y, int32_t frame) const {
    ZRect source;
    if (!canvas || !frameRect(frame, &source)) return;
    const ZPoint destination{x, y};
    canvas->drawImage(image, &source, &destination, pixelScale);
}

void ZImageResource::drawFramePart(ZCanvas* canvas, int32_t frame, const ZRect& part,
                                   const ZPoint& destination) const {
    ZRect source;
    if (!canvas || !frameRect(frame, &source)) return;
    // Cut the part to the frame, moving the destination with its left and
    // top edges, so that only this frame's pixels are copied.
    int64_t left = part.x;
    int64_t top = part.y;
    int64_t right = left + part.w;
    int64_t bottom = top + part.h;
    int64_t destX = destination.x;
    int64_t destY = destination.y;
    if (left < 0) {
        destX -= left;
        left = 0;
    }
    if (top < 0) {
        destY -= top;
        top = 0;
    }
    if (right > frameWidth) right = frameWidth;
    if (bottom > frameHeight) bottom = frameHeight;
    if (right <= left || bottom <= top) return;
    const ZRect cut{source.x + static_cast<int32_t>(left), source.y + static_cast<int32_t>(top),
                    static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
    const ZPoint at{static_cast<int32_t>(destX), static_cast<int32_t>(destY)};
    canvas->drawImage(image, &cut, &at, pixelScale);
}

}  // namespace VRAX
