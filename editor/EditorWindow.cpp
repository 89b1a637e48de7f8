#include "editor/EditorWindow.h"

#include "editor/GlLoader.h"
#include "editor/ZCanvas.h"
#include "skin/ZEditorSkin.h"

// glad stands in for the system's GL headers, so it comes first.
#include <glad/gl.h>

#include <GL/glx.h>
#include <X11/cursorfont.h>

#define NANOVG_GL2
#include "nanovg.h"
#include "nanovg_gl.h"
extern "C" {
#include "nanovg_gl_utils.h"
}

#include <pthread.h>
#include <new>

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

// Every window thread, the hosts' own code and each host-side connection
// call Xlib from different threads.
std::once_flag xThreadsOnce;

// The error handler is process-wide while window threads overlap: the first
// thread to start installs ours, the last to end puts back what was there.
std::mutex handlerMutex;
int handlerUsers = 0;
XErrorHandler previousHandler = nullptr;
// Errors seen by the handler on this thread (it runs on the thread that
// reads the failing connection), so a thread can tell its own requests failed.
thread_local unsigned long threadErrors = 0;

int visualAttributes[] = {GLX_RGBA,         GLX_DOUBLEBUFFER, GLX_RED_SIZE,   8, GLX_GREEN_SIZE, 8,
                          GLX_BLUE_SIZE,    8,                GLX_ALPHA_SIZE, 8, GLX_DEPTH_SIZE, 24,
                          GLX_STENCIL_SIZE, 8,                None};

int ignoreError(Display*, XErrorEvent*) {
    ++threadErrors;
    return 0;
}

void acquireErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (handlerUsers++ == 0) previousHandler = XSetErrorHandler(ignoreError);
}

void releaseErrorHandler() {
    std::lock_guard<std::mutex> lock(handlerMutex);
    if (--handlerUsers == 0) {
        XSetErrorHandler(previousHandler);
        previousHandler = nullptr;
    }
}

}  // namespace

EditorWindow::EditorWindow(ZEditorSkin* skin) : skin(skin) {
    std::call_once(xThreadsOnce, [] { XInitThreads(); });
    if (skin) skin->window = this;
    display = XOpenDisplay(nullptr);
    // Atoms are the server's, so the value interned here matches the one the
    // window thread interns on its own connection.
    if (display) deleteAtom = XInternAtom(display, "WM_DELETE_WINDOW", False);
}

EditorWindow::~EditorWindow() {
    stop();
    if (skin && skin->window.load() == this) skin->window = nullptr;
    if (display) XCloseDisplay(display);
    display = nullptr;
}

bool EditorWindow::start(::Window parentWindow) {
    if (thread.joinable()) stop();
    if (!display) return false;
    if (!glxReady) {
        // GLX on this long-lived connection keeps the GL driver loaded for
        // as long as the editor exists. Otherwise the driver is loaded and
        // unloaded with every window thread's connection, which is slow
        // and loses memory inside the driver on every unload.
        std::lock_guard<std::mutex> lock(connectionLock);
        if (XVisualInfo* visual = glXChooseVisual(display, 0, visualAttributes)) XFree(visual);
        glxReady = true;
    }
    parent = parentWindow;
    stopRequested = false;
    threadEnded = false;
    try {
        thread = std::thread(&EditorWindow::threadMain, this);
    } catch (...) {
        // No thread to be had (resources exhausted): the editor stays shut.
        threadEnded = true;
        parent = 0;
        return false;
    }
    return true;
}

void EditorWindow::stop() {
    if (!thread.joinable()) {
        parent = 0;
        return;
    }
    {
        // Under the lock the thread either has published its window (and so
        // will read this message) or will see the flag before it does.
        std::lock_guard<std::mutex> lock(connectionLock);
        stopRequested = true;
        ::Window target = window.load();
        if (display && target) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.format = 32;
            event.xclient.message_type = None;
            event.xclient.window = 0;
            event.xclient.data.l[0] = static_cast<long>(deleteAtom);
            XSendEvent(display, target, False, StructureNotifyMask, &event);
            XFlush(display);
        }
    }
    thread.join();
    window = 0;
    parent = 0;
}

void EditorWindow::sendExpose() {
    ::Window target = window.load();
    if (!display || !target) return;
    XEvent event{};
    event.xexpose.type = Expose;
    event.xexpose.window = target;
    XSendEvent(display, target, False, ExposureMask, &event);
    XFlush(display);
}

void EditorWindow::requestExpose() {
    std::lock_guard<std::mutex> lock(connectionLock);
    sendExpose();
}

bool EditorWindow::tryRequestExpose() {
    std::unique_lock<std::mutex> lock(connectionLock, std::try_to_lock);
    if (!lock.owns_lock()) return false;
    sendExpose();
    return true;
}

bool EditorWindow::isRunning() const { return thread.joinable() && !threadEnded.load(); }

void EditorWindow::forgetWindow() {
    std::lock_guard<std::mutex> lock(connectionLock);
    window = 0;
    // Whatever the host side sent before is handled by the server now,
    // while the window still exists and our error handler is still in place.
    if (display) XSync(display, False);
}

void EditorWindow::threadMain(EditorWindow* self) {
    if (!self) return;
    // A name of its own lets tools and tests tell this thread from the GL
    // driver's helpers in the same process.
    pthread_setname_np(pthread_self(), kThreadName);
    if (self->parent.load() && self->skin) {
        if (Display* connection = XOpenDisplay(nullptr)) self->run(connection);
    }
    self->cursorKind = 0;  // a later window starts with the parent's cursor
    self->threadEnded = true;
}

void EditorWindow::run(Display* connection) {
    acquireErrorHandler();
    const ::Window parentId = parent.load();
    const int w = skin->width;
    const int h = skin->height;
    const Atom closeAtom = XInternAtom(connection, "WM_DELETE_WINDOW", False);

    XVisualInfo* visual = glXChooseVisual(connection, 0, visualAttributes);
    Colormap colormap = 0;
    ::Window own = 0;
    if (visual && w > 0 && h > 0) {
        const unsigned long errorsBefore = threadErrors;
        colormap = XCreateColormap(connection, parentId, visual->visual, AllocNone);
        XSetWindowAttributes set{};
        set.colormap = colormap;
        set.event_mask = kEventMask;
        // A GL visual may differ from the parent's; the border must then be
        // given, and no background keeps the server from painting over GL.
        set.border_pixel = 0;
        set.background_pixmap = None;
        own = XCreateWindow(connection, parentId, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                            visual->depth, InputOutput, visual->visual,
                            CWColormap | CWEventMask | CWBorderPixel | CWBackPixmap, &set);
        // Creation errors only show after a round trip (a bad parent, say).
        XSync(connection, False);
        if (threadErrors != errorsBefore) own = 0;
    }

    bool published = false;
    GLXContext context = nullptr;
    NVGcontext* renderer = nullptr;
    NVGLUframebuffer* frameBuffer = nullptr;
    ZCanvas* canvas = nullptr;
    if (own) {
        {
            std::lock_guard<std::mutex> lock(connectionLock);
            if (!stopRequested.load()) {
                window = own;
                published = true;
            }
        }
        if (published) {
            XMapWindow(connection, own);
            context = glXCreateContext(connection, visual, nullptr, True);
            if (context && glXMakeCurrent(connection, own, context) && loadGlFunctions())
                renderer = nvgCreateGL2(NVG_ANTIALIAS);
            if (renderer) {
                glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
                glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
                frameBuffer = nvgluCreateFramebuffer(renderer, w, h, 0);
            }
            if (frameBuffer) {
                // The frame buffer keeps its picture between passes; start it
                // from a known state rather than whatever the driver left.
                nvgluBindFramebuffer(frameBuffer);
                glViewport(0, 0, w, h);
                glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
                nvgluBindFramebuffer(nullptr);
                canvas = new (std::nothrow) ZCanvas;
            }
        }
    }

    if (canvas) {
        canvas->init(renderer, w, h);
        skin->attach(canvas);
        bool running = true;
        while (running) {
            XEvent event;
            XNextEvent(connection, &event);
            switch (event.type) {
                case ButtonPress:
                case ButtonRelease: {
                    const XButtonEvent& b = event.xbutton;
                    const bool shift = (b.state & ShiftMask) != 0;
                    const bool control = (b.state & ControlMask) != 0;
                    const bool press = event.type == ButtonPress;
                    if (b.button == Button1) {
                        if (press)
                            skin->leftDown(shift, control, b.x, b.y);
                        else
                            skin->leftUp(shift, control, b.x, b.y);
                    } else if (b.button == Button3) {
                        if (press)
                            skin->rightDown(shift, control, b.x, b.y);
                        else
                            skin->rightUp(shift, control, b.x, b.y);
                    }
                    updateCursor(connection, b.x, b.y);
                    break;
                }
                case MotionNotify: {
                    const XMotionEvent& m = event.xmotion;
                    skin->mouseMove((m.state & ShiftMask) != 0, (m.state & ControlMask) != 0, m.x, m.y);
                    updateCursor(connection, m.x, m.y);
                    break;
                }
                case Expose: {
                    nvgluBindFramebuffer(frameBuffer);
                    glViewport(0, 0, w, h);
                    skin->draw(canvas);
                    nvgluBindFramebuffer(nullptr);
                    glViewport(0, 0, w, h);
                    glClear(GL_COLOR_BUFFER_BIT);
                    nvgBeginFrame(renderer, static_cast<float>(w), static_cast<float>(h), 1.0f);
                    nvgBeginPath(renderer);
                    nvgRect(renderer, 0, 0, static_cast<float>(w), static_cast<float>(h));
                    nvgFillPaint(renderer, nvgImagePattern(renderer, 0, 0, static_cast<float>(w),
                                                           static_cast<float>(h), 0, frameBuffer->image, 1.0f));
                    nvgFill(renderer);
                    nvgEndFrame(renderer);
                    glXSwapBuffers(connection, own);
                    passes.fetch_add(1);
                    break;
                }
                case DestroyNotify:
                    if (event.xdestroywindow.window == own) running = false;
                    break;
                case ClientMessage:
                    if (event.xclient.format == 32 && static_cast<Atom>(event.xclient.data.l[0]) == closeAtom)
                        running = false;
                    break;
                default:
                    break;
            }
        }
    }

    // End sequence. After DestroyNotify the window is already gone; the
    // requests below that name it fail harmlessly under our handler.
    if (published) {
        XUndefineCursor(connection, own);
        forgetWindow();
    }
    if (canvas) {
        skin->detach(canvas);
        delete canvas;
    }
    if (frameBuffer) nvgluDeleteFramebuffer(frameBuffer);
    if (renderer) nvgDeleteGL2(renderer);
    if (context) {
        glXMakeCurrent(connection, None, nullptr);
        glXDestroyContext(connection, context);
    }
    if (own) XDestroyWindow(connection, own);
    if (handCursor) XFreeCursor(connection, handCursor);
    if (textCursor) XFreeCursor(connection, textCursor);
    handCursor = textCursor = 0;
    if (colormap) XFreeColormap(connection, colormap);
    // A sync, not only a flush: the errors these may raise must reach our
    // handler before the previous one is back.
    XSync(connection, False);
    if (visual) XFree(visual);
    releaseErrorHandler();
    XCloseDisplay(connection);
}

void EditorWindow::updateCursor(Display* connection, int32_t x, int32_t y) {
    const int32_t kind = skin->cursorAt(x, y);
    if (kind == cursorKind.load()) return;
    const ::Window own = window.load();
    if (!own) return;
    if (kind == kCursorHand) {
        if (!handCursor) handCursor = XCreateFontCursor(connection, kHandShape);
        XDefineCursor(connection, own, handCursor);
    } else if (kind == kCursorText) {
        if (!textCursor) textCursor = XCreateFontCursor(connection, kTextShape);
        XDefineCursor(connection, own, textCursor);
    } else {
        XUndefineCursor(connection, own);
    }
    cursorKind = kind;
}

}  // namespace VRAX
