#include "framework/ZEffectParameter.h"

#include "framework/NumberText.h"
#include "io/AsciiText.h"
#include "framework/StoredValue.h"

#include <cstring>

namespace VRAX {

ZEffectParameter::ZEffectParameter(const char* name, double minimum, double maximum, const char* unitText,
                                   int32_t decimals)
    : ZIdBase(name), decimals(decimals), minimum(minimum), maximum(maximum) {
    std::memset(extraText, 0, sizeof(extraText));
    std::memset(unit, 0, sizeof(unit));
    if (unitText) std::strncpy(unit, unitText, kUnitSize - 1);
}

double ZEffectParameter::clampUnit(double n) {
    // Written so that a NaN fails the first test and lands on 0.
    if (!(n >= 0.0)) return 0.0;
    if (n > 1.0) return 1.0;
    return n;
}

double ZEffectParameter::getStored(const void* stored) const {
    return stored ? loadStoredValue(stored) : 0.0;
}

void ZEffectParameter::setStored(void* stored, double normalised) const {
    if (stored) storeStoredValue(stored, normalised);
}

void ZEffectParameter::valueText(char* out, int32_t size, const void* stored) const {
    if (!out || size <= 0) return;
    formatFixed(out, size, getReal(stored), decimals);
}

void ZEffectParameter::displayText(char* out, int32_t size, const void* stored) const {
    if (!out || size <= 0) return;
    valueText(out, size, stored);
    if (!unit[0]) return;
    size_t length = std::strlen(out);
    for (const char* p = " "; *p && length + 1 < static_cast<size_t>(size); ++p) out[length++] = *p;
    for (const char* p = unit; *p && length + 1 < static_cast<size_t>(size); ++p) out[length++] = *p;
    out[length] = 0;
}

void ZEffectParameter::setFromText(void* stored, const char* text) const {
    if (!text) return;
    setReal(stored, XP::parseNumber(text));
}

}  // namespace VRAX
