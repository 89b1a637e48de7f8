// The parsed skin as the running editor uses it: resources, checks,
// conditions, backgrounds and controls; draws what changed, hit-tests and
// routes the mouse. Driven by the editor's window thread.
#pragma once

#include "controls/ZEditReports.h"
#include "framework/PtrList.h"
#include "skin/CursorKind.h"
#include "skin/ZCondition.h"

#include <atomic>
#include <cstdint>

namespace VRAX {

class EditorWindow;
class ZCanvas;
class ZEditorControl;
class ZEditorResource;
class ZEffect;
class ZImageResource;

// One page background: which image frame shows on which page, and when.
struct ZEditorBg {
    virtual ~ZEditorBg() = default;
    int32_t page = 0;  // 0: every page
    ZImageResource* image = nullptr;
    int32_t frame = 0;
    ZConditionSet conditions;
};

class ZEditorSkin {
public:
    explicit ZEditorSkin(ZEffect* effect);
    virtual ~ZEditorSkin();
    ZEditorSkin(const ZEditorSkin&) = delete;
    ZEditorSkin& operator=(const ZEditorSkin&) = delete;

    virtual void requestRedraw();
    virtual void redrawAll();
    virtual void setRedrawSuppressed(bool suppressed);
    virtual void setPage(int32_t page);
    virtual int32_t getPage() const { return currentPage; }

    // Window thread only.
    void attach(ZCanvas* canvas);
    void detach(ZCanvas* canvas);
    void draw(ZCanvas* canvas);
    ZEditorControl* hitTest(int32_t x, int32_t y, int32_t* index) const;
    bool leftDown(bool shift, bool ctrl, int32_t x, int32_t y);
    bool leftUp(bool shift, bool ctrl, int32_t x, int32_t y);
    bool rightDown(bool shift, bool ctrl, int32_t x, int32_t y);
    bool rightUp(bool shift, bool ctrl, int32_t x, int32_t y);
    void mouseMove(bool shift, bool ctrl, int32_t x, int32_t y);
    int32_t cursorAt(int32_t x, int32_t y) const;
    void eraseBackground(ZCanvas* canvas);
    // Wheel notches at (x, y), up positive: to the control holding the
    // mouse, else to the one under the pointer.
    bool wheel(bool shift, bool ctrl, int32_t x, int32_t y, int32_t notches);
    // The button that the captured control holds is up although no release
    // came (the window was hidden, the grab lost): the control ends its
    // gesture as a release would, and the capture ends.
    void endCapture();
    bool hasCapture() const { return capturedTarget() != nullptr; }
    // Lets the controls act on time; the milliseconds until one wants to
    // be called again, -1 for none.
    int32_t tickTimers();
    // One key for the control taking typed text; true when it used it.
    bool keyDown(int32_t key, uint32_t character);

    // Visibility of an item on the current page under its conditions.
    bool isVisible(int32_t page, const ZConditionSet& conditions) const;
    bool isVisible(const ZEditorControl* control) const;

    ZEffect* getEffect() const { return effect; }

    std::atomic<EditorWindow*> window{nullptr};
    PtrMgr<ZEditorResource> resources;
    PtrMgr<const ZEditorCheck> checks;
    PtrMgr<ZCondition> conditions;
    PtrMgr<ZEditorControl> controls;
    PtrMgr<ZEditorBg> backgrounds;
    ZEffect* effect;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pageCount = 0;
    // Kept from "StartPage" but not applied: the editor begins on page 1 and
    // keeps the page the user chose across close and open.
    int32_t startPage = 1;
    ZEditorBg* currentBackground = nullptr;
    uint32_t refreshThrottleMs = 40;
    int32_t capturedControl = -1;
    // A captured control was hidden and its gesture cancelled: the release
    // that ends that press is dropped, not routed to what lies under it.
    bool dropRelease = false;
    std::atomic<bool> redrawSuppressed{false};
    int32_t currentPage = 1;
    // Set by redrawAll, which any thread may call.
    std::atomic<bool> fullRedraw{false};
    // What the controls tell the host, on its way to the host's thread.
    ZEditReports reports{effect};
    // A control takes typed text: the window wants the keyboard. Read by
    // the host's thread to answer the keys it forwards.
    std::atomic<bool> typing{false};

private:
    // The control holding the mouse, or null.
    ZEditorControl* capturedTarget() const;
    // The control an event goes to: the visible captured control, else the
    // control under the pointer. A captured control that is no longer
    // visible has its gesture cancelled and loses the capture.
    ZEditorControl* eventTarget(int32_t x, int32_t y, int32_t* index);
    // Routes a press or a release: a press that is taken captures the mouse,
    // a release that is taken frees it.
    using ButtonHandler = bool (ZEditorControl::*)(bool shift, bool ctrl, int32_t x, int32_t y);
    bool routeButton(ButtonHandler handler, bool press, bool shift, bool ctrl, int32_t x, int32_t y);
    // Ends the typing of every control but `keep` (a click elsewhere) and
    // notes whether one still types.
    void stopTypingExcept(const ZEditorControl* keep);
    void noteTyping();
};

}  // namespace VRAX
