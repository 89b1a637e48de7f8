// Text helpers shared by the readers and every layer above them. All of
// them follow ASCII and the C conventions, whatever locale the host has
// switched its process to, so that names match and numbers read the same
// everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <locale.h>

namespace XP {

// a and b are equal but for the case of ASCII letters. At most `limit`
// characters of a are compared: an a that fills them without a terminator
// (a fixed-width name field) matches a b that ends right there.
bool equalsIgnoringCase(const char* a, const char* b, size_t limit = SIZE_MAX);

// At most size - 1 characters of text and a terminating zero; a null text
// copies as empty. Nothing happens without room for the zero.
void copyBounded(char* out, int32_t size, const char* text);

// The "C" locale, for the _l variants of the number functions; null when it
// could not be made.
locale_t cLocale();

// "-Inf" and "Inf" (any case) are the infinities; anything else is read as a
// decimal number from its start, trailing characters ignored, 0 when the
// text does not begin with a number (or is null).
double parseNumber(const char* text);

}  // namespace XP
