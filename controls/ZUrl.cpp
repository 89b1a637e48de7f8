#include "controls/ZUrl.h"

#include "controls/ControlFactories.h"
#include "io/LinkOpener.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cstring>
#include <new>

namespace VRAX {

// ---------------------------------------------------------------------------
// ZUrl

ZUrl::ZUrl(const ControlPlacement& placement, const char* text) : ZEditorControl(placement) {
    const char* source = text ? text : "";
    const size_t length = std::strlen(source);
    address = new (std::nothrow) char[length + 1];
    if (address) std::memcpy(address, source, length + 1);
}

ZUrl::~ZUrl() { delete[] address; }

int32_t ZUrl::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZUrl::leftUp(bool, bool, int32_t, int32_t) {
    XP::openLink(address);
    return false;
}

// ---------------------------------------------------------------------------
// ZImgUrl

ZImgUrl::ZImgUrl(const ControlPlacement& placement, ZImageResource* image, const char* text)
    : ZUrl(placement, text), image(image) {}

void ZImgUrl::draw(ZCanvas* canvas) {
    if (canvas && image) image->drawFrame(canvas, 0, 0, 0);
}

// ---------------------------------------------------------------------------
// Factories

namespace {

// A link whose address could not be copied is no link.
ZEditorControl* withAddress(ZUrl* url) {
    if (url && !url->address) {
        delete url;
        return nullptr;
    }
    return url;
}

}  // namespace

ZEditorControl* makeZUrl(const ControlPlacement& placement, SkinArgs& args) {
    const char* text = args.text();
    return text ? withAddress(new (std::nothrow) ZUrl(placement, text)) : nullptr;
}

ZEditorControl* makeZImgUrl(const ControlPlacement& placement, SkinArgs& args) {
    ZImageResource* image = args.image();
    const char* text = args.text();
    return image && text ? withAddress(new (std::nothrow) ZImgUrl(placement, image, text)) : nullptr;
}

}  // namespace VRAX
