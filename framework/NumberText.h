// Number printing and parsing shared by parameter texts and text variables.
// Both always use the C conventions (a decimal point), whatever locale the
// host has switched its process to, so that a text we print reads back as
// the same number.
#pragma once

#include <cstdint>

namespace VRAX {

// x with `decimals` fixed decimals (clamped to 0..20) into out, at most size
// bytes with the terminating zero; minus and plus infinity print as "-Inf"
// and "Inf". A NaN prints as the C library prints it.
void formatFixed(char* out, int32_t size, double x, int32_t decimals);

// "-Inf" and "Inf" (any case) are the infinities; anything else is read as
// a decimal number from its start, trailing characters ignored, 0 when the
// text does not begin with a number.
double parseNumber(const char* text);

}  // namespace VRAX
