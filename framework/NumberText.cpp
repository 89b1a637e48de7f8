#include "framework/NumberText.h"

#include "io/AsciiText.h"

#include <cfloat>
#include <cstdio>
#include <locale.h>

namespace VRAX {

using XP::copyBounded;

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
    const locale_t c = XP::cLocale();
    const locale_t previous = c ? uselocale(c) : static_cast<locale_t>(nullptr);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(out, static_cast<size_t>(size), format, x);
#pragma GCC diagnostic pop
    if (c) uselocale(previous);
}

}  // namespace VRAX
