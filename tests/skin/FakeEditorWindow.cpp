// A stand-in for the editor window: no X connection and no thread, it only
// counts the redraw requests the skin sends. Linked instead of the real one.
#include "SkinTestSupport.h"

#include "editor/EditorWindow.h"
#include "skin/ZEditorSkin.h"

namespace skintest {

int& exposeRequests() {
    static int count = 0;
    return count;
}

}  // namespace skintest

namespace VRAX {

EditorWindow::EditorWindow(ZEditorSkin* owner) : skin(owner) {
    if (skin) skin->window = this;
}

EditorWindow::~EditorWindow() {
    if (skin && skin->window.load() == this) skin->window = nullptr;
}

bool EditorWindow::start(::Window parentWindow) {
    parent = parentWindow;
    return true;
}

void EditorWindow::stop() { parent = 0; }

void EditorWindow::requestExpose() { ++skintest::exposeRequests(); }

bool EditorWindow::postKey(int32_t, uint32_t) { return false; }

bool EditorWindow::isRunning() const { return false; }

}  // namespace VRAX
