#include "framework/ZRangeParam.h"

#include <cmath>

namespace VRAX {

ZRangeParam::ZRangeParam(const char* name, double minimum, double maximum, int32_t steps, const char* unit,
                         int32_t decimals)
    : ZEffectParameter(name, minimum, maximum, unit, decimals), steps(steps) {}

double ZRangeParam::toReal(double normalised) const {
    // Not clamped: a stored number outside 0..1 gives a value outside the range.
    double q = normalised;
    if (steps > 0) q = std::floor(normalised * steps + 0.5) / steps;
    return minimum + q * (maximum - minimum);
}

double ZRangeParam::toNormalised(double real) const {
    const double span = maximum - minimum;
    if (span == 0.0) return 0.0;
    return clampUnit((real - minimum) / span);
}

}  // namespace VRAX
