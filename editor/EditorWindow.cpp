#include "editor/EditorWindow.h"

#include "controls/ZEditReports.h"
#include "controls/ZEditorControl.h"
#include "editor/GlLoader.h"
#include "editor/ZCanvas.h"
#include "skin/ZEditorSkin.h"

// glad stands in for the system's GL headers, so it comes first.
#include <glad/gl.h>

#include <GL/glx.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#define NANOVG_GL2
#include "nanovg.h"
#include "nanovg_gl.h"
extern "C" {
#include "nanovg_gl_utils.h"
}

#include <dlfcn.h>
#include <link.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>
#include <utility>

namespace VRAX {

namespace {

// ButtonPress | ButtonRelease | EnterWindow | LeaveWindow | PointerMotion |
// Exposure | StructureNotify | PropertyChange; no keyboard.
constexpr long kEventMask = ButtonPressMask | ButtonReleaseMask | EnterWindowMask | LeaveWindowMask |
                            PointerMotionMask | ExposureMask | StructureNotifyMask | PropertyChangeMask;
static_assert(kEventMask == 0x42807C);

constexpr unsigned kHandShape = XC_hand1;  // 58
constexpr unsigned kTextShape = XC_xterm;  // 152
static_assert(kHandShape == 58 && kTextShape == 152);

// Longest sleep of an idle window thread: a change stamped meanwhile is
// drawn at the next wake-up, so this bounds the delay when the skin does
// not throttle at all.
constexpr int64_t kMinimumWaitMs = 5;

int visualAttributes[] = {GLX_RGBA,         GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                          GLX_BLUE_SIZE,    8,                GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24,
                          GLX_STENCIL_SIZE, 8,                None};

int64_t monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// --- X error handling, shared with the host ---------------------------------
//
// The handler is process-wide. Ours ignores the errors of the window
// threads' own connections (the window may vanish under them, and that must
// never end the host) and hands every other error to the handler that was
// there before, as if we were not. The first window thread installs it, the
// last one puts the previous handler back, unless the host has installed a
// newer one meanwhile, which then stays.

std::mutex handlerMutex;
int handlerUsers = 0;
std::atomic<XErrorHandler> previousHandler{nullptr};
// Set while ours is installed and the handler it replaced not yet recorded.
std::atomic<bool> installing{false};
// The handler runs on the thread that reads the failing connection, and a
// window thread's connection is read by that thread alone.
thread_local Display* tOwnConnection = nullptr;
thread_local unsigned long tOwnErrors = 0;
thread_local bool tChaining = false;

int chainErrors(Display* display, XErrorEvent* error) {
    if (display && display == tOwnConnection) {
        ++tOwnErrors;
        return 0;
    }
    // Xlib only says which handler it replaced once ours is in: an error
    // of the host's in that instant waits for the answer.
    while (installing.load()) std::this_thread::yield();
    const XErrorHandler previous = previousHandler.load();
    // A host handler that calls back into ours must not loop.
    if (!previous || tChaining) return 0;
    tChaining = true;
    const int result = previous(display, error);
    tChaining = false;
    return result;
}

void acquireErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (handlerUsers++ > 0) return;
    installing = true;
    const XErrorHandler old = XSetErrorHandler(chainErrors);
    if (old != chainErrors) previousHandler = old;
    installing = false;
}

void releaseErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (--handlerUsers > 0) return;
    const XErrorHandler current = XSetErrorHandler(previousHandler.load());
    // The host installed its own since ours: that one stays. Ours keeps
    // chaining to the previous one for whoever still calls it.
    if (current != chainErrors) XSetErrorHandler(current);
}

// Mesa's software renderer puts a handler of its own in while it attaches
// shared memory to a window's first frame, and then puts back the one it
// found. Two window threads doing that at once leave Mesa's in place for
// good: the host would never hear an X error again, and would call into a
// driver that may be unloaded. Our window threads take turns where that can
// happen: wherever the window itself (not our frame buffer) is drawn to.
std::mutex glxTurnMutex;

// Mesa unloads its GL driver with the last connection that used GLX, and
// loses memory inside it each time; in a host without GL of its own that is
// every editor close. Loaded once, the driver stays for the process.
void keepGlDriverLoaded() {
    static std::once_flag once;
    std::call_once(once, [] {
        dl_iterate_phdr(
            [](dl_phdr_info* info, size_t, void*) {
                const std::string_view name = info->dlpi_name ? info->dlpi_name : "";
                if (name.ends_with("_dri.so")) dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
                return 0;
            },
            nullptr);
    });
}

// The window thread's own connection, with our error handler in place for
// as long as it is open.
class OwnConnection {
public:
    OwnConnection() : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        tOwnConnection = display;
        acquireErrorHandler();
    }
    ~OwnConnection() {
        if (!display) return;
        // Closing syncs: errors of the last requests still reach our handler.
        XCloseDisplay(display);
        tOwnConnection = nullptr;
        releaseErrorHandler();
    }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;
    Display* get() const { return display; }

private:
    Display* const display;
};

// One X or GL resource of the window thread, released when it goes.
template <typename T>
class Held {
public:
    using Release = void (*)(Display*, T);
    Held() = default;
    Held(Display* connection, T value, Release release) : connection(connection), value(value), release(release) {}
    ~Held() { reset(); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    Held& operator=(Held&& other) noexcept {
        if (this != &other) {
            reset();
            connection = other.connection;
            value = std::exchange(other.value, T{});
            release = other.release;
        }
        return *this;
    }
    T get() const { return value; }
    explicit operator bool() const { return value != T{}; }
    void reset() {
        if (value != T{} && release) release(connection, value);
        value = T{};
    }

private:
    Display* connection = nullptr;
    T value{};
    Release release = nullptr;
};

}  // namespace

// --- The window of one open editor ------------------------------------------

// Everything one window thread creates, in creation order; the members
// release themselves in the reverse order when the session ends.
class EditorWindow::Session {
public:
    Session(EditorWindow& owner, Display* connection);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The window is up and the skin attached: events can be served.
    bool ready() const { return attached; }
    Display* connection() const { return display; }
    // Acts on one event; false when the loop must end.
    // True when the server has already told of our window's destruction.
    bool doomed();
    bool handle(const XEvent& event);
    // One drawing pass into the frame buffer, copied to the window.
    void draw();
    // Takes the keyboard while a control takes typed text, and gives it
    // back to whoever had it when the typing ends.
    void followTyping();

private:
    // A window position in the skin's pixels.
    int32_t toSkin(int screen) const;
    void updateCursor(int32_t x, int32_t y);
    // A pointer event shows no button down although a control holds the
    // mouse: the release was lost (hidden window, lost grab).
    void checkButtons(unsigned int state);
    void keyPress(XKeyEvent key);

    EditorWindow& owner;
    ZEditorSkin& skin;
    Display* const display;
    // The skin's size, and the window's in screen pixels.
    const int width;
    const int height;
    const float scale;
    const int pixelWidth;
    const int pixelHeight;
    const Atom closeAtom;
    Held<XVisualInfo*> visual;
    Held<Colormap> colormap;
    Held<::Window> window;
    Held<::Cursor> handCursor;
    Held<::Cursor> textCursor;
    Held<GLXContext> context;
    Held<NVGcontext*> renderer;
    Held<NVGLUframebuffer*> frameBuffer;
    std::unique_ptr<ZCanvas> canvas;
    bool attached = false;
    bool keyboardTaken = false;
    ::Window focusBefore = None;
    int revertBefore = RevertToParent;
};

EditorWindow::Session::Session(EditorWindow& owner, Display* connection)
    : owner(owner),
      skin(*owner.skin),
      display(connection),
      width(owner.skin->width),
      height(owner.skin->height),
      scale(owner.scale > 1.0 ? static_cast<float>(owner.scale) : 1.0f),
      pixelWidth(static_cast<int>(std::lround(width * static_cast<double>(scale)))),
      pixelHeight(static_cast<int>(std::lround(height * static_cast<double>(scale)))),
      closeAtom(XInternAtom(connection, "WM_DELETE_WINDOW", False)) {
    visual = Held<XVisualInfo*>(display, glXChooseVisual(display, 0, visualAttributes),
                                [](Display*, XVisualInfo* v) { XFree(v); });
    if (!visual || width <= 0 || height <= 0) return;

    const ::Window parentId = owner.parent.load();
    const unsigned long errorsBefore = tOwnErrors;
    XVisualInfo* chosen = visual.get();
    colormap = Held<Colormap>(display, XCreateColormap(display, parentId, chosen->visual, AllocNone),
                              [](Display* d, Colormap c) { XFreeColormap(d, c); });
    XSetWindowAttributes set{};
    set.colormap = colormap.get();
    set.event_mask = kEventMask;
    // A GL visual may differ from the parent's; the border must then be
    // given, and no background keeps the server from painting over GL.
    set.border_pixel = 0;
    set.background_pixmap = None;
    const ::Window id = XCreateWindow(display, parentId, 0, 0, static_cast<unsigned>(pixelWidth),
                                      static_cast<unsigned>(pixelHeight), 0, chosen->depth, InputOutput, chosen->visual,
                                      CWColormap | CWEventMask | CWBorderPixel | CWBackPixmap, &set);
    // Creation errors only show after a round trip (a bad parent, say).
    XSync(display, False);
    if (!id || tOwnErrors != errorsBefore) return;
    window = Held<::Window>(display, id, [](Display* d, ::Window w) { XDestroyWindow(d, w); });
    owner.window = id;
    XMapWindow(display, id);

    context = Held<GLXContext>(display, glXCreateContext(display, chosen, nullptr, True), [](Display* d, GLXContext c) {
        glXMakeCurrent(d, None, nullptr);
        glXDestroyContext(d, c);
    });
    if (!context) return;
    {
        const std::lock_guard<std::mutex> turn(glxTurnMutex);
        if (!glXMakeCurrent(display, id, context.get())) return;
    }
    if (!loadGlFunctions()) return;
    keepGlDriverLoaded();
    renderer = Held<NVGcontext*>(display, nvgCreateGL2(NVG_ANTIALIAS), [](Display*, NVGcontext* r) { nvgDeleteGL2(r); });
    if (!renderer) return;
    {
        // The window's first use.
        const std::lock_guard<std::mutex> turn(glxTurnMutex);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }
    frameBuffer = Held<NVGLUframebuffer*>(display, nvgluCreateFramebuffer(renderer.get(), pixelWidth, pixelHeight, 0),
                                          [](Display*, NVGLUframebuffer* f) { nvgluDeleteFramebuffer(f); });
    if (!frameBuffer) return;
    // The frame buffer keeps its picture between passes; start it from a
    // known state rather than whatever the driver left.
    nvgluBindFramebuffer(frameBuffer.get());
    glViewport(0, 0, pixelWidth, pixelHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    nvgluBindFramebuffer(nullptr);
    canvas.reset(new (std::nothrow) ZCanvas);
    if (!canvas) return;
    canvas->init(renderer.get(), width, height, scale);
    skin.attach(canvas.get());
    attached = true;
}

EditorWindow::Session::~Session() {
    if (attached) skin.detach(canvas.get());
    followTyping();
    if (window) {
        XUndefineCursor(display, window.get());
        owner.window = 0;
    }
    // The members go now, last made first: canvas, frame buffer, renderer,
    // context, cursors, window (already gone after DestroyNotify: the error
    // that raises is ours and ignored), colormap, visual.
}

int32_t EditorWindow::Session::toSkin(int screen) const {
    if (scale == 1.0f) return screen;
    return static_cast<int32_t>(std::floor(static_cast<double>(screen) / scale));
}

bool EditorWindow::Session::handle(const XEvent& event) {
    switch (event.type) {
        case ButtonPress:
        case ButtonRelease: {
            XButtonEvent b = event.xbutton;
            b.x = toSkin(b.x);
            b.y = toSkin(b.y);
            const bool shift = (b.state & ShiftMask) != 0;
            const bool control = (b.state & ControlMask) != 0;
            const bool press = event.type == ButtonPress;
            // Wheel notches come as presses of buttons 4 (up) and 5 (down).
            if (b.button == Button4 || b.button == Button5) {
                if (press) skin.wheel(shift, control, b.x, b.y, b.button == Button4 ? 1 : -1);
            } else if (b.button == Button1) {
                if (press)
                    skin.leftDown(shift, control, b.x, b.y);
                else
                    skin.leftUp(shift, control, b.x, b.y);
            } else if (b.button == Button3) {
                if (press)
                    skin.rightDown(shift, control, b.x, b.y);
                else
                    skin.rightUp(shift, control, b.x, b.y);
            }
            updateCursor(b.x, b.y);
            return true;
        }
        case MotionNotify: {
            XMotionEvent m = event.xmotion;
            m.x = toSkin(m.x);
            m.y = toSkin(m.y);
            checkButtons(m.state);
            skin.mouseMove((m.state & ShiftMask) != 0, (m.state & ControlMask) != 0, m.x, m.y);
            updateCursor(m.x, m.y);
            return true;
        }
        case EnterNotify:
        case LeaveNotify: {
            const XCrossingEvent& c = event.xcrossing;
            // Our implicit grab ended without a release (the window became
            // unviewable) or another client took the pointer.
            if (c.mode == NotifyGrab || (c.mode == NotifyUngrab && skin.hasCapture() && event.type == LeaveNotify))
                skin.endCapture();
            else
                checkButtons(c.state);
            updateCursor(toSkin(c.x), toSkin(c.y));
            return true;
        }
        case UnmapNotify:
            // Hidden: no release will reach a control that holds the mouse.
            if (event.xunmap.window == window.get()) skin.endCapture();
            return true;
        case KeyPress:
            keyPress(event.xkey);
            return true;
        case Expose:
            draw();
            return true;
        case DestroyNotify:
            return event.xdestroywindow.window != window.get();
        case ClientMessage:
            return !(event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == closeAtom);
        default:
            return true;
    }
}

void EditorWindow::Session::draw() {
    // The copy to the window is pixel for pixel, at the window's size.
    const float w = static_cast<float>(pixelWidth);
    const float h = static_cast<float>(pixelHeight);
    NVGcontext* vg = renderer.get();
    nvgluBindFramebuffer(frameBuffer.get());
    glViewport(0, 0, pixelWidth, pixelHeight);
    skin.draw(canvas.get());
    // From here on the window itself is drawn to and shown.
    const std::lock_guard<std::mutex> turn(glxTurnMutex);
    nvgluBindFramebuffer(nullptr);
    glViewport(0, 0, pixelWidth, pixelHeight);
    glClear(GL_COLOR_BUFFER_BIT);
    nvgBeginFrame(vg, w, h, 1.0f);
    nvgBeginPath(vg);
    nvgRect(vg, 0, 0, w, h);
    nvgFillPaint(vg, nvgImagePattern(vg, 0, 0, w, h, 0, frameBuffer.get()->image, 1.0f));
    nvgFill(vg);
    nvgEndFrame(vg);
    glXSwapBuffers(display, window.get());
    owner.passes.fetch_add(1);
}

bool EditorWindow::Session::doomed() {
    XEvent gone;
    return XCheckTypedWindowEvent(display, window.get(), DestroyNotify, &gone) == True;
}

void EditorWindow::Session::checkButtons(unsigned int state) {
    if (!(state & (Button1Mask | Button3Mask)) && skin.hasCapture()) skin.endCapture();
}

void EditorWindow::Session::keyPress(XKeyEvent key) {
    char text[8] = {};
    KeySym symbol = NoSymbol;
    const int length = XLookupString(&key, text, sizeof(text) - 1, &symbol, nullptr);
    int32_t code = kKeyNone;
    switch (symbol) {
        case XK_BackSpace: code = kKeyBackspace; break;
        case XK_Delete: case XK_KP_Delete: code = kKeyDelete; break;
        case XK_Left: case XK_KP_Left: code = kKeyLeft; break;
        case XK_Right: case XK_KP_Right: code = kKeyRight; break;
        case XK_Home: case XK_KP_Home: code = kKeyHome; break;
        case XK_End: case XK_KP_End: code = kKeyEnd; break;
        case XK_Return: case XK_KP_Enter: code = kKeyEnter; break;
        case XK_Escape: code = kKeyEscape; break;
        default: break;
    }
    const uint32_t character = code == kKeyNone && length == 1 ? static_cast<unsigned char>(text[0]) : 0;
    skin.keyDown(code, character);
}

void EditorWindow::Session::followTyping() {
    const ::Window own = window.get();
    const bool wanted = own && skin.typing.load() && attached;
    if (wanted == keyboardTaken) return;
    keyboardTaken = wanted;
    if (wanted) {
        // Keys only while typing: otherwise they stay with the host and
        // its shortcuts.
        XGetInputFocus(display, &focusBefore, &revertBefore);
        XSelectInput(display, own, kEventMask | KeyPressMask);
        XSetInputFocus(display, own, RevertToParent, CurrentTime);
    } else {
        if (own) XSelectInput(display, own, kEventMask);
        // Back to where it was, if that window is still there (an error
        // for a vanished one is ours and ignored).
        if (focusBefore != None && focusBefore != own) XSetInputFocus(display, focusBefore, revertBefore, CurrentTime);
        focusBefore = None;
    }
    XFlush(display);
}

void EditorWindow::Session::updateCursor(int32_t x, int32_t y) {
    const int32_t kind = skin.cursorAt(x, y);
    if (kind == owner.cursorKind.load()) return;
    const ::Window own = window.get();
    if (!own) return;
    const auto freeCursor = [](Display* d, ::Cursor c) { XFreeCursor(d, c); };
    if (kind == kCursorHand) {
        if (!handCursor) handCursor = Held<::Cursor>(display, XCreateFontCursor(display, kHandShape), freeCursor);
        XDefineCursor(display, own, handCursor.get());
    } else if (kind == kCursorText) {
        if (!textCursor) textCursor = Held<::Cursor>(display, XCreateFontCursor(display, kTextShape), freeCursor);
        XDefineCursor(display, own, textCursor.get());
    } else {
        XUndefineCursor(display, own);
    }
    owner.cursorKind = kind;
}

// --- The object the editor owns ---------------------------------------------

EditorWindow::EditorWindow(ZEditorSkin* skin) : skin(skin) {
    if (skin) skin->window = this;
}

EditorWindow::~EditorWindow() {
    stop();
    if (skin && skin->window.load() == this) skin->window = nullptr;
}

bool EditorWindow::start(::Window parentWindow) {
    if (thread.joinable()) stop();
    wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) return false;
    parent = parentWindow;
    stopRequested = false;
    redrawWanted = false;
    threadEnded = false;
    try {
        thread = std::thread(&EditorWindow::threadMain, this);
    } catch (...) {
        // No thread to be had (resources exhausted): the editor stays shut.
        threadEnded = true;
        parent = 0;
        close(wakeFd);
        wakeFd = -1;
        return false;
    }
    return true;
}

void EditorWindow::stop() {
    if (!thread.joinable()) {
        parent = 0;
        return;
    }
    stopRequested = true;
    const uint64_t one = 1;
    if (write(wakeFd, &one, sizeof(one)) < 0) {
        // Cannot fail for an eventfd below its maximum; the thread would
        // still see the flag at its next wake-up.
    }
    thread.join();
    close(wakeFd);
    wakeFd = -1;
    window = 0;
    parent = 0;
}

void EditorWindow::requestExpose() { redrawWanted.store(true, std::memory_order_release); }

bool EditorWindow::postKey(int32_t key, uint32_t character) {
    if (!isRunning() || wakeFd < 0) return false;
    const uint32_t at = keysWritten.load(std::memory_order_relaxed);
    if (at - keysRead.load(std::memory_order_acquire) >= kKeyCapacity) return false;
    keys[at % kKeyCapacity] = Key{key, character};
    keysWritten.store(at + 1, std::memory_order_release);
    const uint64_t one = 1;
    if (write(wakeFd, &one, sizeof(one)) < 0) {
        // The window thread still finds the key at its next wake-up.
    }
    return true;
}

bool EditorWindow::isRunning() const { return thread.joinable() && !threadEnded.load(); }

void EditorWindow::threadMain(EditorWindow* self) {
    if (!self) return;
    // A name of its own lets tools and tests tell this thread from the GL
    // driver's helpers in the same process. Threads inherit their creator's
    // name, and the driver starts its helpers while the window and its
    // context are made: they get another name.
    pthread_setname_np(pthread_self(), kSetupThreadName);
    // The controls' reports made here wait for the host's own thread.
    ZEditReports::setWindowThread(true);
    if (self->parent.load() && self->skin && !self->stopRequested.load()) {
        OwnConnection connection;
        if (connection.get()) {
            Session session(*self, connection.get());
            pthread_setname_np(pthread_self(), kThreadName);
            if (session.ready()) self->eventLoop(session);
        }
    }
    pthread_setname_np(pthread_self(), kThreadName);
    self->cursorKind = 0;  // a later window starts with the parent's cursor
    self->threadEnded = true;
}

void EditorWindow::eventLoop(Session& session) {
    Display* connection = session.connection();
    uint32_t drawnStamp = changeStamp.load(std::memory_order_acquire);
    int64_t lastChangeDraw = 0;
    // A pass shows every change stamped before it starts.
    const auto drawAll = [&] {
        drawnStamp = changeStamp.load(std::memory_order_acquire);
        session.draw();
    };
    for (;;) {
        while (XPending(connection)) {
            XEvent event;
            XNextEvent(connection, &event);
            if (!session.handle(event)) return;
            // A window the host is destroying must not be drawn into: the
            // software GL driver reads a failed size query as a size.
            if (session.doomed()) return;
            // A control that changed asked for a pass: not throttled, one
            // per event, as a press and its release each show a picture.
            if (redrawWanted.exchange(false, std::memory_order_acq_rel)) drawAll();
        }
        if (stopRequested.load()) return;
        for (uint32_t at = keysRead.load(std::memory_order_relaxed); at != keysWritten.load(std::memory_order_acquire);
             ++at) {
            const Key forwarded = keys[at % kKeyCapacity];
            keysRead.store(at + 1, std::memory_order_release);
            skin->keyDown(forwarded.key, forwarded.character);
        }
        session.followTyping();
        const int64_t timerDue = skin->tickTimers();
        if (redrawWanted.exchange(false, std::memory_order_acq_rel)) {
            // Asked from another thread, or by a forwarded key or a timer.
            drawAll();
            continue;
        }
        const int64_t throttle = skin->refreshThrottleMs;
        const int64_t now = monotonicMs();
        // A host that does not idle gets its reports from here.
        int64_t reportDue = skin->reports.windowThreadDue(now);
        if (reportDue == 0) {
            skin->reports.deliver();
            reportDue = skin->reports.windowThreadDue(now);
        }
        const uint32_t stamp = changeStamp.load(std::memory_order_acquire);
        if (stamp != drawnStamp) {
            if (skin->redrawSuppressed.load()) {
                drawnStamp = stamp;
            } else if (now - lastChangeDraw >= throttle) {
                lastChangeDraw = now;
                drawAll();
                continue;
            }
        }
        const int64_t idleWait = std::max(throttle, kMinimumWaitMs);
        int64_t wait = stamp != drawnStamp ? throttle - (now - lastChangeDraw) : idleWait;
        for (const int64_t due : {timerDue, reportDue})
            if (due >= 0) wait = std::min(wait, due);
        waitForInput(connection, static_cast<int>(std::clamp<int64_t>(wait, 1, idleWait)));
    }
}

void EditorWindow::waitForInput(Display* connection, int timeoutMs) {
    pollfd fds[2] = {{ConnectionNumber(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    poll(fds, 2, timeoutMs);
    if (fds[1].revents & POLLIN) {
        uint64_t count = 0;
        if (read(wakeFd, &count, sizeof(count)) < 0) count = 0;
    }
}

}  // namespace VRAX
