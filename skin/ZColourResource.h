// A named colour: red, green, blue and alpha bytes. Controls and fonts keep a
// pointer to (or a copy of) the four bytes.
#pragma once

#include "skin/ZEditorResource.h"

namespace VRAX {

class ZColourResource : public ZEditorResource {
public:
    ZColourResource(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha = 255);
    int32_t typeId() const override { return typeIdOf<ZColourResource>(); }

    // The script's RGBColour and RGBAColour forms: each value keeps its low
    // 8 bits; RGBColour is opaque.
    static ZColourResource* createRgb(const char* name, int32_t red, int32_t green, int32_t blue);
    static ZColourResource* createRgba(const char* name, int32_t red, int32_t green, int32_t blue, int32_t alpha);

    const unsigned char* getColour() const { return colour; }

    unsigned char colour[4];
};

}  // namespace VRAX
