// Pictures the tests save for a person to look at.
#pragma once

#include <string>

namespace qtest {

// Writes 8-bit RGB rows, the top row first; false when the file could not
// be written.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgb);

}  // namespace qtest
