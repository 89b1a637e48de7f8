// Number printing shared by parameter texts, text variables and the peak
// readout. It always uses the C conventions (a decimal point), whatever
// locale the host has switched its process to, so that a text we print
// reads back (XP::parseNumber) as the same number.
#pragma once

#include <cstdint>

namespace VRAX {

// x with `decimals` fixed decimals (clamped to 0..20) into out, at most size
// bytes with the terminating zero; minus and plus infinity print as "-Inf"
// and "Inf". A NaN prints as the C library prints it.
void formatFixed(char* out, int32_t size, double x, int32_t decimals);

}  // namespace VRAX
