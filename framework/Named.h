// Fixed-width names and type identities: the base of everything the skin and
// the editor look up by name.
#pragma once

#include <cstdint>
#include <typeinfo>

namespace VRAX {

// Run-time identity of a type: one fixed value per type within a run.
template <typename T>
int32_t typeIdOf() {
    return static_cast<int32_t>(typeid(T).hash_code());
}

class Named {
public:
    static constexpr int kNameLength = 35;

    Named();
    explicit Named(const char* text);
    virtual ~Named() = default;

    // At most kNameLength characters; not terminated when the name is full.
    virtual const char* getName() const { return name; }
    virtual bool nameIs(const char* text) const;
    virtual int32_t typeId() const;
    virtual void setName(const char* text);

    // Whole-name comparison ignoring ASCII case (parameters, keywords);
    // reads at most kNameLength characters of the name.
    bool nameEqualsIgnoringCase(const char* text) const;

protected:
    char name[kNameLength];
};

class ZIdBase : public Named {
public:
    using Named::Named;
    int32_t typeId() const override { return typeIdOf<ZIdBase>(); }
    virtual bool isType(int32_t identity) const { return typeId() == identity; }
    virtual bool matches(const char* text, int32_t identity) const { return nameIs(text) && isType(identity); }
};

}  // namespace VRAX
