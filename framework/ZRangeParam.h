// Linear parameter, optionally in equal steps of the normalised range.
#pragma once

#include "framework/ZEffectParameter.h"

namespace VRAX {

class ZRangeParam : public ZEffectParameter {
public:
    // steps <= 0 means continuous.
    ZRangeParam(const char* name, double minimum, double maximum, int32_t steps, const char* unit,
                int32_t decimals);

    int32_t typeId() const override { return typeIdOf<ZRangeParam>(); }
    double toReal(double normalised) const override;
    double toNormalised(double real) const override;

    int32_t getSteps() const { return steps; }

protected:
    int32_t steps;
};

}  // namespace VRAX
