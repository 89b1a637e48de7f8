#include "framework/NumberText.h"

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>

namespace VRAX {

namespace {

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(const char* a, const char* b) {
    for (;; ++a, ++b) {
        if (lowerAscii(*a) != lowerAscii(*b)) return false;
        if (*a == 0) return true;
    }
}

void copyBounded(char* out, int32_t size, const char* text) {
    int32_t i = 0;
    for (; i < size - 1 && text[i]; ++i) out[i] = text[i];
    out[i] = 0;
}

}  // namespace

void formatFixed(char* out, int32_t size, double x, int32_t decimals) {
    if (!out || size <= 0) return;
    if (x < -DBL_MAX) {
        copyBounded(out, size, "-Inf");
        return;
    }
    if (x > DBL_MAX) {
        copyBounded(out, size, "Inf");
        return;
    }
    if (decimals < 0) decimals = 0;
    if (decimals > 20) decimals = 20;
    char format[8];
    std::snprintf(format, sizeof(format), "%%.%df", static_cast<int>(decimals));
    // uselocale only swaps this thread's locale pointer: no lock, no copy.
    const locale_t c = cLocale();
    const locale_t previous = c ? uselocale(c) : static_cast<locale_t>(nullptr);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(out, static_cast<size_t>(size), format, x);
#pragma GCC diagnostic pop
    if (c) uselocale(previous);
}

double parseNumber(const char* text) {
    if (!text) return 0.0;
    if (equalsIgnoringCase(text, "-Inf")) return -INFINITY;
    if (equalsIgnoringCase(text, "Inf")) return INFINITY;
    const locale_t c = cLocale();
    return c ? strtod_l(text, nullptr, c) : std::strtod(text, nullptr);
}

}  // namespace VRAX
