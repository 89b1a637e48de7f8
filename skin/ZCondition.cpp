#include "skin/ZCondition.h"

namespace VRAX {

bool allConditionsTrue(const PtrList<ZCondition>& conditions) {
    for (int32_t i = 0; i < conditions.size(); ++i) {
        const ZCondition* condition = conditions.get(i);
        if (condition && !condition->value()) return false;
    }
    return true;
}

bool ZConditionSet::holds() const { return allConditionsTrue(*this) != inverted; }

}  // namespace VRAX
