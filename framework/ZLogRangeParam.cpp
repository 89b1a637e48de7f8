#include "framework/ZLogRangeParam.h"

#include "framework/DetMath.h"

#include <cfloat>
#include <cmath>

namespace VRAX {

ZLogRangeParam::ZLogRangeParam(const char* name, double minimum, double maximum, const char* unit,
                               int32_t decimals)
    : ZEffectParameter(name, minimum, maximum, unit, decimals) {}

double ZLogRangeParam::toReal(double normalised) const {
    const double r = minimum * detmath::pow(maximum / minimum, normalised);
    if (!(std::fabs(r) <= DBL_MAX)) return r;
    double k = 1.0;
    for (int32_t i = 0; i < decimals; ++i) k *= 10.0;
    double v = r * k;
    v = v >= 0.0 ? v + 0.5 : v - 0.5;
    // Cut towards zero as a 32-bit integer would; a value beyond that range
    // (a stored number far outside 0..1, or many decimals) is cut in double
    // precision instead of wrapping to a meaningless integer.
    if (v > -2147483649.0 && v < 2147483648.0) return static_cast<int32_t>(v) / k;
    return std::trunc(v) / k;
}

double ZLogRangeParam::toNormalised(double real) const {
    if (real == 0.0) return 0.0;
    return clampUnit(detmath::log10(real / minimum) / detmath::log10(maximum / minimum));
}

}  // namespace VRAX
