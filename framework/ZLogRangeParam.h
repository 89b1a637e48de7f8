// Logarithmic parameter over a positive range; real values are rounded to
// the parameter's decimals.
#pragma once

#include "framework/ZEffectParameter.h"

namespace VRAX {

class ZLogRangeParam : public ZEffectParameter {
public:
    // minimum and maximum must both be positive.
    ZLogRangeParam(const char* name, double minimum, double maximum, const char* unit, int32_t decimals);

    int32_t typeId() const override { return typeIdOf<ZLogRangeParam>(); }
    double toReal(double normalised) const override;
    // Zero and negative values map to 0.
    double toNormalised(double real) const override;
};

}  // namespace VRAX
