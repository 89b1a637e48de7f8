#include "framework/Named.h"

#include "io/AsciiText.h"

#include <cstring>

namespace VRAX {

Named::Named() { std::memset(name, 0, sizeof(name)); }

Named::Named(const char* text) : Named() { setName(text); }

bool Named::nameIs(const char* text) const {
    if (!text) return false;
    for (int i = 0; i < kNameLength; ++i) {
        if (name[i] != text[i]) return false;
        if (name[i] == 0) return true;
    }
    return true;
}

bool Named::nameEqualsIgnoringCase(const char* text) const {
    // A full name has no terminator: the text must end right there too.
    return text && XP::equalsIgnoringCase(name, text, kNameLength);
}

int32_t Named::typeId() const { return typeIdOf<Named>(); }

void Named::setName(const char* text) {
    std::memset(name, 0, sizeof(name));
    if (!text) return;
    for (int i = 0; i < kNameLength && text[i]; ++i) name[i] = text[i];
}

}  // namespace VRAX
