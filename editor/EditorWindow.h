// The X11 child window with its own thread, GLX context, renderer and
// offscreen frame buffer. The host side only sends it X events, on a display
// connection of its own that a mutex serialises between the host's editor
// thread, the audio thread (which only ever try-locks it) and the window
// thread (which drains it once when its window goes away).
#pragma once

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace VRAX {

class ZEditorSkin;

class EditorWindow {
public:
    // The name every window thread carries (at most 15 characters).
    static constexpr const char* kThreadName = "qolm-editor";

    explicit EditorWindow(ZEditorSkin* skin);
    ~EditorWindow();
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // Starts the window thread for a child of the parent window. A thread
    // still there from an earlier start is stopped and joined first, so there
    // is never more than one. False (and no thread) without a host-side
    // connection, since such a thread could never be told to stop.
    bool start(::Window parentWindow);
    // Tells the thread to end and joins it, whatever stage it is in; does
    // nothing at all when no thread was started.
    void stop();
    // Asks the window thread for a drawing pass; never waits for it.
    void requestExpose();
    // As requestExpose, but gives up instead of waiting for the connection
    // (for the audio thread): false only when the connection was busy.
    bool tryRequestExpose();

    // A window thread has been started and has not ended yet.
    bool isRunning() const;
    // Drawing passes presented so far, over every window this object had.
    uint32_t drawPasses() const { return passes.load(); }

    ZEditorSkin* skin;
    std::atomic<int32_t> cursorKind{0};
    Display* display = nullptr;
    std::atomic<::Window> parent{0};
    std::atomic<::Window> window{0};

private:
    static void threadMain(EditorWindow* self);
    void run(Display* connection);
    void sendExpose();
    void updateCursor(Display* connection, int32_t x, int32_t y);
    // Called by the thread as its window goes away: no host-side send can
    // reach the window after this returns.
    void forgetWindow();

    std::thread thread;
    std::mutex connectionLock;  // serialises the host-side connection
    Atom deleteAtom = 0;        // "WM_DELETE_WINDOW" (server-wide value)
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> threadEnded{true};
    std::atomic<uint32_t> passes{0};
    bool glxReady = false;  // GLX set up on the host-side connection
    // Font cursors of the running thread's connection, made on first use.
    ::Cursor handCursor = 0;
    ::Cursor textCursor = 0;
};

}  // namespace VRAX
