// A TrueType font carried inside the library, registered with the renderer
// under its face name while an editor window is open. Named by its face.
#pragma once

#include "skin/ZEditorResource.h"

namespace VRAX {

class ZFontTypeResource : public ZEditorResource {
public:
    ZFontTypeResource(const char* face, const char* file);
    int32_t typeId() const override { return typeIdOf<ZFontTypeResource>(); }

    // The script's InstallTTF form; both names are cut to 63 characters.
    // Null when either is missing.
    static ZFontTypeResource* create(const char* face, const char* file);

    // Registers the embedded bytes under the face name. The renderer must
    // not free them: they live as long as the library. The renderer's fonts
    // go away with it, so unload has nothing to do.
    void load(ZCanvas* canvas) override;

    const char* getFile() const { return file; }
    const char* getFace() const { return face; }
    // The renderer's font id from the last load; -1 when not registered.
    int getFontId() const { return fontId; }

private:
    char file[kFileNameLength + 1];
    char face[kFileNameLength + 1];
    int fontId = -1;
};

}  // namespace VRAX
