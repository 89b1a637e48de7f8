// The X11 child window with its own thread, display connection, GLX
// context, renderer and offscreen frame buffer. Only the window thread
// talks to the X server, on a connection it opens for itself and closes
// before it ends, so an editor that is not open holds no connection. Other
// threads reach it through atomics alone (a change stamp, a redraw flag, a
// stop flag), plus an event descriptor with which the host's editor thread
// wakes it to stop: the audio thread never makes a system call for it.
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <thread>

namespace VRAX {

class ZEditorSkin;

class EditorWindow {
public:
    // The name every window thread carries (at most 15 characters), and the
    // one it carries while it makes its window and GL context, which the GL
    // driver's helper threads started then inherit.
    static constexpr const char* kThreadName = "qolm-editor";
    static constexpr const char* kSetupThreadName = "qolm-editor-gl";

    explicit EditorWindow(ZEditorSkin* skin);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Starts the window thread for a child of the parent window. A thread
    // still there from an earlier start is stopped and joined first, so there
    // is never more than one. False (and no thread) when no thread can be had.
    bool start(::Window parentWindow);
    // Tells the thread to end and joins it, whatever stage it is in; does
    // nothing at all when no thread was started.
    void stop();
    // Asks for a drawing pass as soon as the window thread is free: at once
    // when called on that thread (a control that changed), otherwise at its
    // next wake-up. Never waits and makes no system call.
    void requestExpose();
    // Something the editor shows has changed (a parameter, the peak): the
    // window thread draws it within the skin's refresh throttle, at most
    // once per throttle period. One atomic increment; for the audio thread.
    void noteChange() { changeStamp.fetch_add(1, std::memory_order_release); }
    // A key the host forwarded (effEditKeyDown) for the control that takes
    // typed text: handed to the window thread, which wakes for it. The
    // host's editor thread only; false when it cannot be queued.
    bool postKey(int32_t key, uint32_t character);

    // A window thread has been started and has not ended yet.
    bool isRunning() const;
    // Drawing passes presented so far, over every window this object had.
    uint32_t drawPasses() const { return passes.load(); }

    ZEditorSkin* skin;
    // Screen pixels per skin pixel for the next start (1 at 96 DPI): the
    // window is that much larger and everything is drawn at that density.
    double scale = 1.0;
    std::atomic<int32_t> cursorKind{0};
    std::atomic<::Window> parent{0};
    std::atomic<::Window> window{0};

private:
    class Session;

    static void threadMain(EditorWindow* self);
    // Serves the session's events and redraws until it is told to stop or
    // its window goes.
    void eventLoop(Session& session);
    // Waits up to timeoutMs for X input on the connection or a stop signal.
    void waitForInput(Display* connection, int timeoutMs);

    std::thread thread;
    int wakeFd = -1;  // eventfd: written by stop, read by the window thread
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> threadEnded{true};
    std::atomic<bool> redrawWanted{false};
    std::atomic<uint32_t> changeStamp{0};
    std::atomic<uint32_t> passes{0};
    // Forwarded keys, from the host's editor thread to the window thread.
    struct Key {
        int32_t key;
        uint32_t character;
    };
    static constexpr uint32_t kKeyCapacity = 64;
    Key keys[kKeyCapacity] = {};
    std::atomic<uint32_t> keysWritten{0};
    std::atomic<uint32_t> keysRead{0};
};

}  // namespace VRAX
