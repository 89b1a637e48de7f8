#include "skin/SkinArgs.h"

#include "editor/ZCanvas.h"
#include "framework/ZEffect.h"
#include "framework/ZHistory.h"
#include "io/AsciiText.h"
#include "io/TokenReader.h"
#include "skin/ResourceLookup.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <cstdio>

namespace VRAX {

int32_t SkinArgs::remaining() const {
    const int32_t left = reader.tokenCount - reader.cursor;
    return left > 0 ? left : 0;
}

const char* SkinArgs::take() {
    const char* token = reader.token(reader.cursor);
    if (reader.cursor < reader.tokenCount) ++reader.cursor;
    return token;
}

void SkinArgs::noteFailure(const char* reason) {
    if (failed || !reason) return;
    std::snprintf(failureText, sizeof(failureText), "%s", reason);
    failed = true;
}

void SkinArgs::noteUnresolved(const char* what, const char* name) {
    if (isNullName(name)) {
        if (nullFailed) return;
        std::snprintf(nullFailureText, sizeof(nullFailureText), "%s '%s'", what, name ? name : "");
        nullFailed = true;
        return;
    }
    if (failed) return;
    std::snprintf(failureText, sizeof(failureText), "%s '%s'", what, name);
    failed = true;
}

const char* SkinArgs::text() { return take(); }

int32_t SkinArgs::integer() {
    const int32_t value = reader.integer(reader.cursor);
    take();
    return value;
}

double SkinArgs::real() {
    const double value = reader.number(reader.cursor);
    take();
    return value;
}

int32_t SkinArgs::parameter() {
    const char* name = take();
    const int32_t index = effect ? effect->findParameter(name) : -1;
    if (index < 0) noteUnresolved("unknown parameter", name);
    return index;
}

template <typename T>
T* SkinArgs::feature() {
    const char* name = take();
    T* value = effect ? effect->findFeatureValue<T>(name) : nullptr;
    if (!value) noteUnresolved("unknown feature", name);
    return value;
}

double* SkinArgs::featureDouble() { return feature<double>(); }

int32_t* SkinArgs::featureInt() { return feature<int32_t>(); }

ZHistory* SkinArgs::featureHistory() { return feature<ZHistory>(); }

int32_t SkinArgs::command() {
    const char* name = take();
    const ZEffectCommand* found = effect ? effect->findCommand(name) : nullptr;
    if (!found) noteUnresolved("unknown command name", name);
    return found ? found->index : -1;
}

ZImageResource* SkinArgs::image() {
    const char* name = take();
    ZImageResource* found = skin ? findImage(skin->resources, name) : nullptr;
    if (!found) noteUnresolved("unresolved resource", name);
    return found;
}

ZFont* SkinArgs::font() {
    const char* name = take();
    ZFont* found = skin ? findFont(skin->resources, name) : nullptr;
    if (!found) noteUnresolved("unresolved resource", name);
    return found;
}

const unsigned char* SkinArgs::colour() {
    const char* name = take();
    const unsigned char* found = skin ? findColour(skin->resources, name) : nullptr;
    if (!found) noteUnresolved("unresolved resource", name);
    return found;
}

int32_t SkinArgs::orientation() {
    static const char* const kNames[] = {"LeftToRight", "RightToLeft", "TopToBottom", "BottomToTop"};
    const char* name = take();
    for (int32_t i = 0; i < 4; ++i) {
        if (XP::equalsIgnoringCase(name, kNames[i])) return i + 1;
    }
    return 0;
}

int32_t SkinArgs::alignment() { return alignFromName(take()); }

}  // namespace VRAX
