#include "controls/ZCommand.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

ZCommand::ZCommand(const ControlPlacement& placement, int32_t commandIndex)
    : ZEditorControl(placement), commandIndex(commandIndex) {}

int32_t ZCommand::cursorAt(int32_t, int32_t) { return 2; }

bool ZCommand::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    held = true;
    heldShift = shift;
    heldCtrl = ctrl;
    requestRedraw();
    return true;
}

bool ZCommand::leftUp(bool shift, bool ctrl, int32_t, int32_t) {
    if (!held) return false;
    // Runs wherever the pointer is now: the press captured the mouse.
    executeCommand(commandIndex, shift || heldShift, ctrl || heldCtrl);
    held = false;
    heldShift = false;
    heldCtrl = false;
    requestRedraw();
    return true;
}

void ZCommand::cancelGesture() {
    if (!held) return;
    held = false;
    heldShift = false;
    heldCtrl = false;
    requestRedraw();
}

ZImgCommand::ZImgCommand(const ControlPlacement& placement, int32_t commandIndex, ZImageResource* image)
    : ZCommand(placement, commandIndex), image(image) {}

void ZImgCommand::draw(ZCanvas* canvas) {
    if (!canvas || !image) return;
    image->drawFrame(canvas, 0, 0, held && image->getFrameCount() > 0 ? 1 : 0);
}

ZEditorControl* makeZImgCommand(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t command = args.command();
    ZImageResource* image = args.image();
    if (command < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgCommand(placement, command, image);
}

}  // namespace VRAX
