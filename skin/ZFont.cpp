#include "skin/ZFont.h"

#include <cstring>

namespace VRAX {

ZFont::ZFont(double size, const unsigned char* rgba, const char* faceName) : size(size) {
    setColour(rgba);
    setFace(faceName);
}

void ZFont::setColour(const unsigned char* rgba) {
    if (rgba) std::memcpy(colour, rgba, sizeof(colour));
}

void ZFont::setFace(const char* faceName) {
    face.clear();
    if (faceName) face.assign(faceName, strnlen(faceName, kMaxFaceLength));
}

}  // namespace VRAX
