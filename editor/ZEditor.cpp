#include "editor/ZEditor.h"

#include "editor/EditorWindow.h"
#include "framework/ZEffect.h"
#include "skin/ZEditorSkin.h"

#include <new>

namespace VRAX {

ZEditor::ZEditor(ZEffect* effect, ZEditorSkin* skin)
    : ZEditorBase(effect), skin(skin), window(new (std::nothrow) EditorWindow(skin)) {}

ZEditor::~ZEditor() {
    // The window first: its thread draws the skin until it is joined.
    delete window;
    window = nullptr;
    delete skin;
    skin = nullptr;
}

bool ZEditor::getRect(ERect** out) {
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(skin ? skin->height : 0);
    rect.right = static_cast<VstInt16>(skin ? skin->width : 0);
    if (out) *out = &rect;
    return true;
}

bool ZEditor::open(void* parentWindow) {
    // A second open without a close moves the editor into the new parent:
    // the first window and its thread go before the new ones come.
    if (isOpen()) close();
    if (!window || !parentWindow) return false;
    if (!window->start(reinterpret_cast<::Window>(parentWindow))) return false;
    systemWindow = parentWindow;
    if (ZEffect* owner = getOwnerEffect()) owner->editorOpened();
    return true;
}

void ZEditor::close() {
    if (window) window->stop();
    if (ZEffect* owner = getOwnerEffect()) owner->editorClosed();
    systemWindow = nullptr;
}

bool ZEditor::isOpen() { return systemWindow != nullptr; }

// The window thread keeps its own time and draws stamped changes itself:
// nothing is left over for the host's idle calls.
void ZEditor::idle() {}

ZEffect* ZEditor::getOwnerEffect() { return owner; }

void ZEditor::refresh() {
    if (window) window->noteChange();
}

}  // namespace VRAX
