#include "Pointer.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace e2e {

Pointer::Pointer(Display* display) : display(display) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    usable = display && XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

Pointer::~Pointer() {
    if (!usable) return;
    if (buttonDown) release();
    key(XK_Shift_L, false);
    key(XK_Control_L, false);
    sync();
}

void Pointer::sync() { XSync(display, False); }

void Pointer::key(unsigned long keysym, bool down) {
    const KeyCode code = XKeysymToKeycode(display, keysym);
    if (code) XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
}

void Pointer::moveTo(Window window, int x, int y) {
    if (!usable) return;
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    sync();
}

void Pointer::hold(Keys keys) {
    if (!usable) return;
    if (keys.shift != held.shift) key(XK_Shift_L, keys.shift);
    if (keys.ctrl != held.ctrl) key(XK_Control_L, keys.ctrl);
    held = keys;
    sync();
}

void Pointer::press(Keys keys) {
    if (!usable) return;
    hold(keys);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    buttonDown = true;
    sync();
}

void Pointer::release() {
    if (!usable) return;
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    buttonDown = false;
    hold(Keys{});
}

void Pointer::click(Window window, int x, int y, Keys keys) {
    moveTo(window, x, y);
    press(keys);
    release();
}

void Pointer::drag(Window window, int x, int y, int dx, int dy, int steps, Keys keys) {
    if (steps < 1) steps = 1;
    moveTo(window, x, y);
    press(keys);
    for (int i = 1; i <= steps; ++i) moveTo(window, x + dx * i / steps, y + dy * i / steps);
    release();
}

void Pointer::doubleClick(Window window, int x, int y) {
    click(window, x, y);
    press();
    release();
}

void Pointer::wheel(int notches, Keys keys) {
    if (!usable) return;
    hold(keys);
    const unsigned button = notches > 0 ? 4 : 5;
    for (int n = notches > 0 ? notches : -notches; n > 0; --n) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    sync();
    hold(Keys{});
}

void Pointer::tap(unsigned long keysym) {
    if (!usable) return;
    key(keysym, true);
    key(keysym, false);
    sync();
}

void Pointer::type(const char* text) {
    for (; text && *text; ++text) {
        const char c = *text;
        if (c == '-')
            tap(XK_minus);
        else if (c == '.')
            tap(XK_period);
        else
            tap(static_cast<unsigned char>(c));
    }
}

}  // namespace e2e
