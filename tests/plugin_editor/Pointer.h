// The user's hand: pointer moves, button 1 and the Shift and Ctrl keys,
// injected through the X server's XTEST extension. The editor's window
// thread receives them exactly as it would real input, modifier state in
// the events included.
#pragma once

#include <X11/Xlib.h>

namespace e2e {

struct Keys {
    bool shift = false;
    bool ctrl = false;
};

class Pointer {
public:
    explicit Pointer(Display* display);
    // Lets go of whatever is still held: the X server outlives this test
    // process, and a stuck button or Shift would spoil the next test.
    ~Pointer();
    Pointer(const Pointer&) = delete;
    Pointer& operator=(const Pointer&) = delete;

    // False when the server has no XTEST extension.
    bool available() const { return usable; }

    // Positions are relative to `window`'s top-left corner. Every call
    // returns once the server has turned the request into events.
    void moveTo(Window window, int x, int y);
    void press(Keys keys = {});  // the modifiers go down first
    void release();              // and come up after the button
    // Puts the modifier keys into this state, button held or not.
    void hold(Keys keys);
    void click(Window window, int x, int y, Keys keys = {});
    // Press at (x, y), move by (dx, dy) in `steps` equal steps, release.
    void drag(Window window, int x, int y, int dx, int dy, int steps = 1, Keys keys = {});
    // Two clicks at (x, y) with nothing between.
    void doubleClick(Window window, int x, int y);
    // Wheel notches where the pointer is: up positive (button 4), down
    // negative (button 5), with the modifiers held meanwhile.
    void wheel(int notches, Keys keys = {});
    // One key pressed and released (an X keysym), and a text typed key by key.
    void tap(unsigned long keysym);
    void type(const char* text);

private:
    void key(unsigned long keysym, bool down);
    void sync();

    Display* display;
    bool usable = false;
    bool buttonDown = false;
    Keys held;
};

}  // namespace e2e
