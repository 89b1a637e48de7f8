#include "skin/ZColourResource.h"

#include <new>

namespace VRAX {

namespace {

unsigned char lowByte(int32_t value) { return static_cast<unsigned char>(static_cast<uint32_t>(value) & 0xFFu); }

}  // namespace

ZColourResource::ZColourResource(unsigned char red, unsigned char green, unsigned char blue, unsigned char alpha)
    : colour{red, green, blue, alpha} {}

ZColourResource* ZColourResource::createRgb(const char* name, int32_t red, int32_t green, int32_t blue) {
    return createRgba(name, red, green, blue, 255);
}

ZColourResource* ZColourResource::createRgba(const char* name, int32_t red, int32_t green, int32_t blue,
                                             int32_t alpha) {
    auto* resource =
        new (std::nothrow) ZColourResource(lowByte(red), lowByte(green), lowByte(blue), lowByte(alpha));
    if (resource) resource->setName(name);
    return resource;
}

}  // namespace VRAX
