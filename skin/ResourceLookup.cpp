#include "skin/ResourceLookup.h"

#include "skin/ZColourResource.h"
#include "skin/ZFontResource.h"
#include "skin/ZImageResource.h"

namespace VRAX {

bool isNullName(const char* name) {
    if (!name) return true;
    static const char kNull[] = "null";
    for (int i = 0; i < 4; ++i) {
        char c = name[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != kNull[i]) return false;
    }
    return name[4] == 0;
}

ZEditorResource* findResource(const PtrList<ZEditorResource>& resources, const char* name, int32_t typeId) {
    if (isNullName(name)) return nullptr;
    for (int32_t i = 0; i < resources.size(); ++i) {
        ZEditorResource* resource = resources.get(i);
        if (!resource || !resource->nameIs(name)) continue;
        // Only the first of a name counts, even when a later one would fit.
        return resource->isType(typeId) ? resource : nullptr;
    }
    return nullptr;
}

ZImageResource* findImage(const PtrList<ZEditorResource>& resources, const char* name) {
    return static_cast<ZImageResource*>(findResource(resources, name, typeIdOf<ZImageResource>()));
}

ZFont* findFont(const PtrList<ZEditorResource>& resources, const char* name) {
    auto* resource = static_cast<ZFontResource*>(findResource(resources, name, typeIdOf<ZFontResource>()));
    return resource ? resource->getFont() : nullptr;
}

const unsigned char* findColour(const PtrList<ZEditorResource>& resources, const char* name) {
    auto* resource = static_cast<ZColourResource*>(findResource(resources, name, typeIdOf<ZColourResource>()));
    return resource ? resource->getColour() : nullptr;
}

}  // namespace VRAX
