// A named text style. Owns its font; controls keep a pointer to it.
#pragma once

#include "skin/ZEditorResource.h"
#include "skin/ZFont.h"

namespace VRAX {

class ZFontResource : public ZEditorResource {
public:
    explicit ZFontResource(ZFont* font);
    ~ZFontResource() override;
    ZFontResource(const ZFontResource&) = delete;
    ZFontResource& operator=(const ZFontResource&) = delete;
    int32_t typeId() const override { return typeIdOf<ZFontResource>(); }

    // The script's DefFont form. The colour bytes are copied now (later
    // changes to the colour resource do not reach the font). Null when there
    // is no colour or the size is not greater than 0.
    static ZFontResource* create(const char* name, double size, const unsigned char* colour, const char* face);

    ZFont* getFont() const { return font; }

private:
    ZFont* font;
};

}  // namespace VRAX
