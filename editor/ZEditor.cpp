#include "editor/ZEditor.h"

#include "editor/EditorWindow.h"
#include "framework/Clock.h"
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

void ZEditor::idle() {
    if (refreshPending.load()) refresh();
}

ZEffect* ZEditor::getOwnerEffect() { return owner; }

uint32_t ZEditor::clockMs() { return monotonicMs(); }

void ZEditor::refresh() { refreshAt(clockMs()); }

void ZEditor::refreshAt(uint32_t nowMs) {
    if (!skin) return;
    uint32_t last = lastRefreshMs.load();
    // Unsigned difference: correct across the 2^32 ms wrap.
    if (nowMs - last < skin->refreshThrottleMs || !lastRefreshMs.compare_exchange_strong(last, nowMs)) {
        // Too soon, or another thread let one through just now.
        refreshPending = true;
        return;
    }
    // Cleared before sending, so a refusal racing with this send is either
    // covered by it or stays pending.
    refreshPending = false;
    if (skin->redrawSuppressed.load() || !window) return;
    // The connection may be busy with the host's editor thread; the audio
    // thread never waits for it, and idle tries again.
    if (!window->tryRequestExpose()) refreshPending = true;
}

}  // namespace VRAX
