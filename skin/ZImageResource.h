// A PNG strip image carried inside the library: frames of equal size on a
// grid read row by row. Decoded into the renderer while an editor window is
// open; drawn frame by frame through the canvas.
#pragma once

#include "editor/ZCanvas.h"
#include "skin/ZEditorResource.h"

#include <cstddef>

namespace VRAX {

// The name of an image's HiDPI twin: "Dial060.png" gives "Dial060@2x.png".
// False when it does not fit into out.
bool twinFileName(const char* file, char* out, size_t size);

class ZImageResource : public ZEditorResource {
public:
    ZImageResource(const char* file, int32_t frameWidth, int32_t frameHeight, int32_t frameCount);
    ~ZImageResource() override = default;
    int32_t typeId() const override { return typeIdOf<ZImageResource>(); }

    // The script's PngResource form: the file name is cut to 63 characters;
    // null when a frame size or the count is 0 or less.
    static ZImageResource* create(const char* name, const char* file, int32_t frameWidth, int32_t frameHeight,
                                  int32_t frameCount);

    // Decodes the embedded PNG into the renderer (once; a handle already held
    // is kept) and derives the grid from the decoded size.
    void load(ZCanvas* canvas) override;
    // Deletes the renderer's image; the sizes stay.
    void unload(ZCanvas* canvas) override;

    // Loaded, with sizes that make sense and room for every declared frame.
    bool isDrawable() const;
    // Frame n (0 to frameCount - 1) with its top-left corner at (x, y) of the
    // canvas region. A frame outside that range draws nothing.
    void drawFrame(ZCanvas* canvas, int32_t x, int32_t y, int32_t frame) const;
    // The part of a frame that starts at (part.x, part.y) inside it,
    // part.w x part.h pixels, at the destination. The part is cut to the
    // frame, so neighbouring frames never show.
    void drawFramePart(ZCanvas* canvas, int32_t frame, const ZRect& part, const ZPoint& destination) const;
    // Source rectangle of a frame inside the image; false outside the range
    // or when the image is not drawable.
    bool frameRect(int32_t frame, ZRect* rect) const;

    const char* getFile() const { return file; }
    int32_t getImage() const { return image; }
    int32_t getFrameWidth() const { return frameWidth; }
    int32_t getFrameHeight() const { return frameHeight; }
    int32_t getFrameCount() const { return frameCount; }
    int32_t getImageWidth() const { return imageWidth; }
    int32_t getImageHeight() const { return imageHeight; }
    int32_t getRows() const { return rows; }
    int32_t getColumns() const { return columns; }

private:
    char file[kFileNameLength + 1];
    int32_t image = 0;
    int32_t frameWidth;
    int32_t frameHeight;
    int32_t frameCount;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    int32_t rows = 0;
    int32_t columns = 0;
    // Image pixels per editor pixel: 2 when the @2x twin of the file was
    // loaded for a HiDPI canvas. Sizes above are in editor pixels.
    int32_t pixelScale = 1;
};

}  // namespace VRAX
