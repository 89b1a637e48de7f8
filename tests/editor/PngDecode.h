// Decodes an embedded PNG to RGB pixels, for comparing what a window shows
// with the picture the skin draws.
#pragma once

#include "XTestSupport.h"

namespace edtest {

// An empty picture when the file is missing or not a PNG.
Picture decodeEmbeddedPng(const char* name);
// The same for a PNG file.
Picture decodePngFile(const std::string& path);
// A part of a picture, as a new one.
Picture crop(const Picture& picture, int x, int y, int width, int height);

}  // namespace edtest
