// The editor the host opens and closes: owns the parsed skin and the window.
#pragma once

#include "framework/ZEditorBase.h"

#include <atomic>
#include <cstdint>

namespace VRAX {

class EditorWindow;
class ZEditorSkin;
class ZEffect;

class ZEditor : public ZEditorBase {
public:
    ZEditor(ZEffect* effect, ZEditorSkin* skin);
    ~ZEditor() override;

    bool getRect(ERect** out) override;
    bool open(void* parentWindow) override;
    void close() override;
    bool isOpen() override;
    void idle() override;
    bool onKeyDown(VstKeyCode&) override { return false; }
    bool onKeyUp(VstKeyCode&) override { return false; }
    bool onWheel(float) override { return false; }
    bool setKnobMode(VstInt32) override { return false; }

    ZEffect* getOwnerEffect() override;
    // Throttled redraw request; safe on the audio thread (never waits,
    // allocates nothing; reads the clock, try-locks the connection).
    void refresh() override;
    // The same with the clock already read (milliseconds, wrapping in 32
    // bits): at most one request per the skin's refreshThrottleMs goes out,
    // the rest are left to the next idle.
    void refreshAt(uint32_t nowMs);
    // The monotonic clock in milliseconds, kept in 32 bits so that it wraps.
    static uint32_t clockMs();

    ZEditorSkin* getSkin() const { return skin; }
    EditorWindow* getWindow() const { return window; }

    ZEditorSkin* skin;
    EditorWindow* window;
    ERect rect{};
    std::atomic<bool> refreshPending{false};
    std::atomic<uint32_t> lastRefreshMs{0};
};

}  // namespace VRAX
