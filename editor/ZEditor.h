// The editor the host opens and closes: owns the parsed skin and the window.
#pragma once

#include "framework/ZEditorBase.h"


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
    // Keys a host forwards because it keeps the keyboard: taken (true) only
    // while a value is being typed and only those the field uses, so that
    // every other key still runs the host's shortcuts.
    bool onKeyDown(VstKeyCode& key) override;
    bool onKeyUp(VstKeyCode& key) override;
    bool onWheel(float) override { return false; }
    bool setKnobMode(VstInt32) override { return false; }

    ZEffect* getOwnerEffect() override;
    // Throttled redraw request, for the audio thread: only stamps the
    // change; the window thread draws it within the skin's
    // refreshThrottleMs, at most once per period.
    void refresh() override;

    ZEditorSkin* getSkin() const { return skin; }
    EditorWindow* getWindow() const { return window; }

    ZEditorSkin* skin;
    EditorWindow* window;
    ERect rect{};
    // Screen pixels per skin pixel, taken from the desktop by getRect or
    // open (whichever comes first) and kept while the editor is open.
    double scale = 0.0;
};

}  // namespace VRAX
