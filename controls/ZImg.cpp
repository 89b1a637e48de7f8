#include "controls/ZImg.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

ZImg::ZImg(const ControlPlacement& placement, ZImageResource* image) : ZEditorControl(placement), image(image) {}

void ZImg::draw(ZCanvas* canvas) {
    if (canvas && image) image->drawFrame(canvas, 0, 0, 0);
}

ZEditorControl* makeZImg(const ControlPlacement& placement, SkinArgs& args) {
    ZImageResource* image = args.image();
    if (!image) return nullptr;
    return new (std::nothrow) ZImg(placement, image);
}

}  // namespace VRAX
