#include "skin/ZFontResource.h"

#include <new>

namespace VRAX {

ZFontResource::ZFontResource(ZFont* font) : font(font) {}

ZFontResource::~ZFontResource() { delete font; }

ZFontResource* ZFontResource::create(const char* name, double size, const unsigned char* colour,
                                     const char* face) {
    // Written so that a NaN size fails too.
    if (!colour || !face || !(size > 0.0)) return nullptr;
    auto* font = new (std::nothrow) ZFont(size, colour, face);
    if (!font) return nullptr;
    auto* resource = new (std::nothrow) ZFontResource(font);
    if (!resource) {
        delete font;
        return nullptr;
    }
    resource->setName(name);
    return resource;
}

}  // namespace VRAX
