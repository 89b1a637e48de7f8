#include "editor/ZEditor.h"

#include "controls/ZEditorControl.h"
#include "controls/ZValueEntry.h"
#include "editor/DisplayScale.h"
#include "editor/EditorWindow.h"
#include "framework/ZEffect.h"
#include "skin/ZEditorSkin.h"

#include <cmath>
#include <new>

namespace VRAX {

namespace {

// A forwarded key as the typing control knows keys: one of its editing keys,
// else a character.
void translateKey(const VstKeyCode& code, int32_t* key, uint32_t* character) {
    *key = kKeyNone;
    *character = 0;
    switch (code.virt) {
        case VKEY_BACK: *key = kKeyBackspace; return;
        case VKEY_DELETE: *key = kKeyDelete; return;
        case VKEY_LEFT: *key = kKeyLeft; return;
        case VKEY_RIGHT: *key = kKeyRight; return;
        case VKEY_HOME: *key = kKeyHome; return;
        case VKEY_END: *key = kKeyEnd; return;
        case VKEY_RETURN:
        case VKEY_ENTER: *key = kKeyEnter; return;
        case VKEY_ESCAPE: *key = kKeyEscape; return;
        case VKEY_SPACE: *character = ' '; return;
        default: break;
    }
    if (code.virt == 0 && code.character > 0) *character = static_cast<uint32_t>(code.character);
}

}  // namespace

ZEditor::ZEditor(ZEffect* effect, ZEditorSkin* skin)
    : ZEditorBase(effect), skin(skin), window(new (std::nothrow) EditorWindow(skin)) {}

ZEditor::~ZEditor() {
    // The window first: its thread draws the skin until it is joined. What
    // it ended on the way out still reaches the host.
    delete window;
    window = nullptr;
    if (skin) skin->reports.deliver();
    delete skin;
    skin = nullptr;
}

bool ZEditor::getRect(ERect** out) {
    // A closed editor follows the desktop; an open one keeps its size.
    if (!isOpen() || scale <= 0.0) scale = desktopScale();
    rect.top = 0;
    rect.left = 0;
    rect.bottom = static_cast<VstInt16>(skin ? std::lround(skin->height * scale) : 0);
    rect.right = static_cast<VstInt16>(skin ? std::lround(skin->width * scale) : 0);
    if (out) *out = &rect;
    return true;
}

bool ZEditor::open(void* parentWindow) {
    // A second open without a close moves the editor into the new parent:
    // the first window and its thread go before the new ones come.
    if (isOpen()) close();
    if (!window || !parentWindow) return false;
    if (skin) skin->reports.forgetIdles();
    // The size the host was given by getRect, else the desktop's now.
    if (scale <= 0.0) scale = desktopScale();
    window->scale = scale;
    if (!window->start(reinterpret_cast<::Window>(parentWindow))) return false;
    systemWindow = parentWindow;
    if (ZEffect* owner = getOwnerEffect()) owner->editorOpened();
    return true;
}

void ZEditor::close() {
    if (window) window->stop();
    // A gesture the window ended as it went: its end edit on this thread.
    if (skin) skin->reports.deliver();
    if (ZEffect* owner = getOwnerEffect()) owner->editorClosed();
    systemWindow = nullptr;
    scale = 0.0;
}

bool ZEditor::isOpen() { return systemWindow != nullptr; }

// The window thread keeps its own time and draws stamped changes itself;
// what the host's idle is for is the controls' reports, which belong on the
// host's thread.
void ZEditor::idle() {
    if (!skin) return;
    skin->reports.hostIdled();
    skin->reports.deliver(true);
}

bool ZEditor::onKeyDown(VstKeyCode& code) {
    if (!skin || !window || !skin->typing.load()) return false;
    int32_t key = kKeyNone;
    uint32_t character = 0;
    translateKey(code, &key, &character);
    return ZValueEntry::usesKey(key, character) && window->postKey(key, character);
}

bool ZEditor::onKeyUp(VstKeyCode& code) {
    if (!skin || !skin->typing.load()) return false;
    int32_t key = kKeyNone;
    uint32_t character = 0;
    translateKey(code, &key, &character);
    return ZValueEntry::usesKey(key, character);
}

ZEffect* ZEditor::getOwnerEffect() { return owner; }

void ZEditor::refresh() {
    if (window) window->noteChange();
}

}  // namespace VRAX
