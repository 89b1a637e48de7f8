// A value the effect computes and the editor shows (a peak level, a meter,
// a history). The skin builder resolves a feature by name to the address of
// its value once; controls then read through that address.
#pragma once

#include "framework/Named.h"

namespace VRAX {

class ZEffectFeature : public ZIdBase {
public:
    using ZIdBase::ZIdBase;
    ~ZEffectFeature() override = default;

    int32_t typeId() const override { return typeIdOf<ZEffectFeature>(); }
    virtual void* valueAddress() const { return nullptr; }
};

// Publishes a T that belongs to the effect. Its identity is that of T, so
// isType(typeIdOf<double>()) tells whether the feature publishes a double.
template <typename T>
class ZTypedFeature : public ZEffectFeature {
public:
    ZTypedFeature(const char* name, T* value) : ZEffectFeature(name), value(value) {}

    int32_t typeId() const override { return typeIdOf<T>(); }
    void* valueAddress() const override { return static_cast<void*>(value); }

protected:
    T* value;
};

}  // namespace VRAX
