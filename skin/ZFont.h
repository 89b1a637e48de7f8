// A text style: colour, size in pixels and the face name under which a
// TrueType font was registered with the renderer.
#pragma once

#include <string>

namespace VRAX {

class ZFont {
public:
    // Longest face name kept, the same limit the renderer applies to the
    // names it registers.
    static constexpr int kMaxFaceLength = 63;

    ZFont() = default;
    ZFont(double size, const unsigned char* rgba, const char* faceName);
    virtual ~ZFont() = default;

    virtual double getSize() const { return size; }

    void setColour(const unsigned char* rgba);
    void setFace(const char* faceName);
    const char* getFace() const { return face.c_str(); }

    unsigned char colour[4] = {0, 0, 0, 255};
    double size = 0.0;
    std::string face;
};

}  // namespace VRAX
