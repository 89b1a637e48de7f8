#include "controls/ZCommand.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <new>

namespace VRAX {

ZCommand::ZCommand(const ControlPlacement& placement, int32_t commandIndex)
    : ZEditorControl(placement), commandIndex(commandIndex) {}

int32_t ZCommand::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZCommand::leftDown(bool shift, bool ctrl, int32_t, int32_t) {
    gesture.press(shift, ctrl);
    requestRedraw();
    return true;
}

bool ZCommand::leftUp(bool shift, bool ctrl, int32_t, int32_t) {
    if (!gesture.held) return false;
    // Runs wherever the pointer is now: the press captured the mouse.
    executeCommand(commandIndex, shift || gesture.shift, ctrl || gesture.ctrl);
    gesture.release();
    requestRedraw();
    return true;
}

void ZCommand::cancelGesture() {
    // The command runs only on a release.
    if (gesture.cancel()) requestRedraw();
}

ZImgCommand::ZImgCommand(const ControlPlacement& placement, int32_t commandIndex, ZImageResource* image)
    : ZCommand(placement, commandIndex), strip(image) {}

void ZImgCommand::draw(ZCanvas* canvas) { strip.draw(canvas, gesture.held ? 1 : 0); }

ZEditorControl* makeZImgCommand(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t command = args.command();
    ZImageResource* image = args.image();
    if (command < 0 || !image) return nullptr;
    return new (std::nothrow) ZImgCommand(placement, command, image);
}

}  // namespace VRAX
