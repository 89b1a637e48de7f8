// One automatable control of an effect: name, range, unit, decimals and the
// mapping between normalised values (what hosts automate and programs store)
// and real values in the unit. A parameter holds no current value; every
// value operation is handed the address of a stored value in a program.
#pragma once

#include "framework/Named.h"

#include <cstdint>

namespace VRAX {

class ZEffectParameter : public ZIdBase {
public:
    static constexpr int kExtraTextSize = 65;
    static constexpr int kUnitSize = 9;

    ZEffectParameter(const char* name, double minimum, double maximum, const char* unit, int32_t decimals);
    ~ZEffectParameter() override = default;

    virtual void setDefault(double normalised) { defaultValue = normalised; }
    virtual void setDefaultReal(double real) { defaultValue = toNormalised(real); }
    virtual double getDefault() const { return defaultValue; }
    virtual void setDecimals(int32_t count) { decimals = count; }
    virtual bool acceptsText() const { return true; }
    virtual int32_t storageSize() const { return 8; }
    virtual double getStored(const void* stored) const;
    virtual double getNormalised(const void* stored) const { return quantise(getStored(stored)); }
    virtual double getReal(const void* stored) const { return toReal(getStored(stored)); }
    virtual void valueText(char* out, int32_t size, const void* stored) const;
    virtual void displayText(char* out, int32_t size, const void* stored) const;
    virtual void setStored(void* stored, double normalised) const;
    virtual void setReal(void* stored, double real) const { setStored(stored, toNormalised(real)); }
    virtual void setFromText(void* stored, const char* text) const;
    virtual void setToDefault(void* stored) const { setStored(stored, defaultValue); }
    virtual double toReal(double normalised) const = 0;
    // Always within 0 to 1; a NaN maps to 0.
    virtual double toNormalised(double real) const = 0;
    virtual double quantise(double normalised) const { return toNormalised(toReal(normalised)); }

    const char* getUnit() const { return unit; }
    const char* getExtraText() const { return extraText; }
    int32_t getDecimals() const { return decimals; }
    double getMinimum() const { return minimum; }
    double getMaximum() const { return maximum; }

protected:
    static double clampUnit(double n);

    char extraText[kExtraTextSize];
    char unit[kUnitSize];
    int32_t decimals;
    double defaultValue = 0.0;
    double minimum;
    double maximum;
};

}  // namespace VRAX
