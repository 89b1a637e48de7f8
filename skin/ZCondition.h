// Checks named in a condition block, and the sets of them that decide
// whether a background or control is shown.
#pragma once

#include "framework/PtrList.h"
#include "skin/ZEditorCheck.h"

namespace VRAX {

class ZCondition {
public:
    ZCondition(const ZEditorCheck* check, bool negate) : check(check), negate(negate) {}
    virtual ~ZCondition() = default;

    // A condition without a check counts as true before the negation.
    bool value() const { return (check ? check->evaluate() : true) != negate; }

    const ZEditorCheck* check;
    bool negate;
};

// The logical and of the conditions' values; true for an empty list. A null
// entry counts as true.
bool allConditionsTrue(const PtrList<ZCondition>& conditions);

class ZConditionSet : public PtrList<ZCondition> {
public:
    ZConditionSet() = default;
    void clear() override {
        PtrList<ZCondition>::clear();
        inverted = false;
    }
    virtual void copySet(const ZConditionSet& other) {
        copyFrom(other);
        inverted = other.inverted;
    }
    // The logical and of the conditions (true when empty), differing from `inverted`.
    bool holds() const;

    bool inverted = false;
};

}  // namespace VRAX
