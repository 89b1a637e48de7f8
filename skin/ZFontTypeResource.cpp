#include "skin/ZFontTypeResource.h"

#include "editor/ZCanvas.h"
#include "io/EmbeddedFile.h"

#include <nanovg.h>

#include <new>

namespace VRAX {

ZFontTypeResource::ZFontTypeResource(const char* faceName, const char* fileName) {
    copyText(file, sizeof(file), fileName);
    copyText(face, sizeof(face), faceName);
    setName(face);
}

ZFontTypeResource* ZFontTypeResource::create(const char* faceName, const char* fileName) {
    if (!faceName || !fileName) return nullptr;
    return new (std::nothrow) ZFontTypeResource(faceName, fileName);
}

void ZFontTypeResource::load(ZCanvas* canvas) {
    fontId = -1;
    NVGcontext* context = canvas ? canvas->getContext() : nullptr;
    if (!context || !file[0] || !face[0]) return;
    int32_t size = 0;
    const unsigned char* data = findEmbeddedFile(file, &size);
    if (!data || size <= 0) return;
    // The renderer only reads the bytes; its interface just is not const.
    fontId = nvgCreateFontMem(context, face, const_cast<unsigned char*>(data), size, 0);
}

}  // namespace VRAX
