#include "skin/ZEditorCheck.h"

#include "framework/ZEffect.h"

#include <cstring>

namespace VRAX {

int32_t compareOpFromToken(const char* token) {
    if (!token) return kOpInvalid;
    static const char* const kTokens[] = {"==", "!=", ">", "<", ">=", "<="};
    for (int32_t op = kOpEqual; op < kOpInvalid; ++op) {
        if (std::strcmp(token, kTokens[op]) == 0) return op;
    }
    return kOpInvalid;
}

namespace {

// Built-in comparisons give IEEE answers for NaN: "==" and the orderings
// false, "!=" true.
template <typename T>
bool compareValues(T current, int32_t op, T value) {
    switch (op) {
        case kOpEqual:
            return current == value;
        case kOpNotEqual:
            return current != value;
        case kOpGreater:
            return current > value;
        case kOpLess:
            return current < value;
        case kOpGreaterEqual:
            return current >= value;
        case kOpLessEqual:
            return current <= value;
        default:
            // Unknown codes never hide anything.
            return true;
    }
}

}  // namespace

bool compareInts(int32_t current, int32_t op, int32_t value) { return compareValues(current, op, value); }

bool compareDoubles(double current, int32_t op, double value) { return compareValues(current, op, value); }

bool ZParamCheck::evaluate() const {
    if (op < kOpEqual || op >= kOpInvalid) return true;
    if (!effect || !effect->getParameterObject(param)) return false;
    return compareDoubles(effect->getRealValue(param), op, value);
}

bool ZInOutCheck::evaluate() const {
    if (!effect) return compareInts(0, inOp, inCount) && compareInts(0, outOp, outCount);
    // The output count is not looked at when the inputs already fail.
    return compareInts(effect->getInputChannels(), inOp, inCount) &&
           compareInts(effect->getOutputChannels(), outOp, outCount);
}

bool ZInputCheck::evaluate() const { return compareInts(effect ? effect->getInputChannels() : 0, op, count); }

bool ZOutputCheck::evaluate() const { return compareInts(effect ? effect->getOutputChannels() : 0, op, count); }

}  // namespace VRAX
