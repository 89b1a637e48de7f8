// What the editor tests need of a real X server: a parent window as a host
// makes one, pixel grabs, process thread and memory figures, and a wait.
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/PngFile.h"
#include "tools/rtbench/ProcessCounts.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace edtest {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

inline bool near(const Rgb& a, const Rgb& b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// A picture read back from the server, row 0 at the top.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;
    bool empty() const { return pixels.empty(); }
    Rgb at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Errors from the test's own requests (a grab of a window that is not
// viewable, one that is gone) must not end the test process.
inline int quietErrors(Display*, XErrorEvent*) { return 0; }

inline int channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    unsigned long value = (pixel & mask) >> shift;
    unsigned long max = mask >> shift;
    return static_cast<int>(value * 255 / max);
}

inline Picture grab(Display* display, Window window, int width, int height) {
    Picture picture;
    XSync(display, False);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height),
                              AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = width;
    picture.height = height;
    picture.pixels.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned long p = XGetPixel(image, x, y);
            picture.pixels[static_cast<size_t>(y) * width + x] = {channel(p, image->red_mask),
                                                                  channel(p, image->green_mask),
                                                                  channel(p, image->blue_mask)};
        }
    XDestroyImage(image);
    return picture;
}

inline bool savePng(const Picture& picture, const std::string& path) {
    std::vector<unsigned char> rgb;
    rgb.reserve(picture.pixels.size() * 3);
    for (const Rgb& p : picture.pixels) {
        rgb.push_back(static_cast<unsigned char>(p.r));
        rgb.push_back(static_cast<unsigned char>(p.g));
        rgb.push_back(static_cast<unsigned char>(p.b));
    }
    return qtest::writePng(path, picture.width, picture.height, rgb.data());
}

// The host's side of an editor: a mapped top-level window. (A window that
// another one covers gets no Expose, so overlapping parents draw nothing.)
inline Window makeParent(Display* display, int width, int height, int x = 0, int y = 0,
                         unsigned long background = 0x203040) {
    Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, 0, background);
    XMapWindow(display, parent);
    XSync(display, False);
    return parent;
}

inline std::vector<Window> childrenOf(Display* display, Window window) {
    std::vector<Window> result;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        result.assign(children, children + count);
        if (children) XFree(children);
    }
    return result;
}

// The editor's window threads in this process. The plug-in names them; the
// GL driver's helper threads, which come and go as they please, and the
// test's own threads stay out of the count.
inline int editorThreads() { return rtwatch::threadCount("qolm-editor"); }

// Resident set in kilobytes.
inline long residentKb() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof(line), status))
        if (std::strncmp(line, "VmRSS:", 6) == 0) kb = std::strtol(line + 6, nullptr, 10);
    std::fclose(status);
    return kb;
}

// Mesa unloads its GL driver with the last display connection that used
// GLX and loses memory inside it when it does; the leak checker would blame
// that on whichever test ran last. Keeping the driver loaded for the life of
// the test process leaves only our own allocations to check.
inline void pinGlDriver(Display* display) {
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
    if (XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes)) XFree(visual);
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            const std::string name = info->dlpi_name ? info->dlpi_name : "";
            if (name.size() > 7 && name.compare(name.size() - 7, 7, "_dri.so") == 0)
                dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
}

// Polls until the condition holds or the time is up; true when it held.
// Generous by default: a loaded two-core machine with a software renderer is
// slow, and the wait ends as soon as the condition holds.
// Between checks it sleeps at least as long as a check took, so that a
// costly one (a picture grabbed, slow under qemu-user) leaves the editor's
// threads the time to do what it waits for.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 30000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto began = std::chrono::steady_clock::now();
        if (condition()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now > end) return false;
        std::this_thread::sleep_for(std::max<std::chrono::steady_clock::duration>(now - began,
                                                                                  std::chrono::milliseconds(2)));
    }
}

// A window thread that close has joined may still be listed for a moment
// (the kernel, or qemu-user, tidies it after the join returns): counts are
// awaited, and a thread that really stays still fails after the wait.
inline bool editorThreadsAre(int expected, int timeoutMs = 30000) {
    return waitFor([&] { return editorThreads() == expected; }, timeoutMs);
}

inline void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A server whose last client has just gone (the previous test) resets and
// refuses connections for a moment.
inline Display* openDisplay() {
    for (int attempt = 0; attempt < 40; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr)) return display;
        sleepMs(50);
    }
    return nullptr;
}

}  // namespace edtest
