#include "io/AsciiText.h"

#include <cmath>
#include <cstdlib>

namespace XP {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool equalsIgnoringCase(const char* a, const char* b, size_t limit) {
    if (!a || !b) return a == b;
    for (size_t i = 0; i < limit; ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
        if (a[i] == 0) return true;
    }
    // Only a bounded compare gets here.
    return limit == SIZE_MAX || b[limit] == 0;
}

void copyBounded(char* out, int32_t size, const char* text) {
    if (!out || size <= 0) return;
    int32_t i = 0;
    if (text)
        for (; i < size - 1 && text[i]; ++i) out[i] = text[i];
    out[i] = 0;
}

locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c;
}

double parseNumber(const char* text) {
    if (!text) return 0.0;
    if (equalsIgnoringCase(text, "-Inf")) return -INFINITY;
    if (equalsIgnoringCase(text, "Inf")) return INFINITY;
    const locale_t c = cLocale();
    return c ? strtod_l(text, nullptr, c) : std::strtod(text, nullptr);
}

}  // namespace XP
