#include "gfx/GlContext.h"

#include "editor/GlLoader.h"

// glad stands in for GL/gl.h, so it comes before GLX.
#include <glad/gl.h>
#define NANOVG_GL2
#include <nanovg.h>
#include <nanovg_gl.h>
extern "C" {
#include <nanovg_gl_utils.h>
}

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <stb/stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <thread>

namespace qolm_test {

std::ostream& operator<<(std::ostream& out, const Rgba& pixel) {
    return out << "(" << int(pixel.r) << ", " << int(pixel.g) << ", " << int(pixel.b) << ", " << int(pixel.a)
               << ")";
}

Pixels::Pixels(int width, int height, std::vector<uint8_t> rgba) : w(width), h(height), data(std::move(rgba)) {}

Rgba Pixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return Rgba{0, 0, 0, 0};
    const uint8_t* p = &data[(static_cast<size_t>(y) * w + x) * 4];
    return Rgba{p[0], p[1], p[2], p[3]};
}

Pixels::Box Pixels::inkBox(Rgba background, int threshold) const {
    int left = w, top = h, right = -1, bottom = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgba p = at(x, y);
            const int d = std::max({std::abs(p.r - background.r), std::abs(p.g - background.g),
                                    std::abs(p.b - background.b), std::abs(p.a - background.a)});
            if (d > threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0) return Box{};
    return Box{left, top, right - left + 1, bottom - top + 1};
}

int Pixels::count(int x, int y, int width, int height, Rgba colour) const {
    int n = 0;
    for (int j = y; j < y + height; ++j) {
        for (int i = x; i < x + width; ++i) n += at(i, j) == colour ? 1 : 0;
    }
    return n;
}

bool Pixels::savePng(const std::string& path) const {
    if (w <= 0 || h <= 0) return false;
    return stbi_write_png(path.c_str(), w, h, 4, data.data(), w * 4) != 0;
}

namespace {

// One connection for the whole run: an X server resets itself when its last
// client goes, and a connection asked for during that reset is refused. Test
// processes running side by side still meet such resets, so retry for a
// while before giving up.
Display* sharedDisplay() {
    static Display* display = nullptr;
    static bool givenUp = false;
    for (int attempt = 0; !display && !givenUp && attempt < 50; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        display = XOpenDisplay(nullptr);
    }
    givenUp = !display;
    return display;
}

}  // namespace

GlContext::~GlContext() { close(); }

GlContext::Outcome GlContext::open(int width, int height, int nvgFlags) {
    close();
    w = width;
    h = height;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) {
        reason = "DISPLAY is not set: run the tests under xvfb-run -a";
        return Outcome::NoDisplay;
    }
    Display* x = sharedDisplay();
    if (!x) {
        reason = std::string("cannot open the X display ") + name;
        return Outcome::NoDisplay;
    }
    display = x;
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(x, &errorBase, &eventBase)) {
        reason = "the X display offers no GLX";
        return Outcome::NoGl;
    }
    // The editor window's attributes, so that tests draw as it does.
    int attributes[] = {GLX_RGBA,         GLX_DOUBLEBUFFER,  GLX_RED_SIZE,     8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE,    8,                 GLX_ALPHA_SIZE,   8, GLX_DEPTH_SIZE, 24,
                        GLX_STENCIL_SIZE, 8,                 0};
    XVisualInfo* info = glXChooseVisual(x, DefaultScreen(x), attributes);
    if (!info) {
        reason = "no GLX visual with RGBA 8 bits, depth 24 and stencil 8";
        return Outcome::NoGl;
    }
    visual = info;
    const Window root = RootWindow(x, info->screen);
    colormap = XCreateColormap(x, root, info->visual, AllocNone);
    XSetWindowAttributes set = {};
    set.colormap = colormap;
    set.border_pixel = 0;
    // Never mapped: all drawing goes to the frame buffer.
    window = XCreateWindow(x, root, 0, 0, static_cast<unsigned>(std::max(width, 1)),
                           static_cast<unsigned>(std::max(height, 1)), 0, info->depth, InputOutput, info->visual,
                           CWColormap | CWBorderPixel, &set);
    if (!window) {
        reason = "cannot create a window";
        return Outcome::NoGl;
    }
    GLXContext context = glXCreateContext(x, info, nullptr, True);
    if (!context) {
        reason = "cannot create a GLX context";
        return Outcome::NoGl;
    }
    glx = context;
    if (!glXMakeCurrent(x, window, context)) {
        reason = "cannot make the GLX context current";
        return Outcome::NoGl;
    }
    if (!VRAX::loadGlFunctions()) {
        reason = "the OpenGL loader found no usable OpenGL";
        return Outcome::Broken;
    }
    renderer = nvgCreateGL2(nvgFlags < 0 ? NVG_ANTIALIAS : nvgFlags);
    if (!renderer) {
        reason = "nvgCreateGL2 failed";
        return Outcome::Broken;
    }
    target = nvgluCreateFramebuffer(renderer, width, height, 0);
    if (!target) {
        reason = "nvgluCreateFramebuffer failed";
        return Outcome::Broken;
    }
    bind();
    clear(Rgba{0, 0, 0, 0});
    reason.clear();
    return Outcome::Ready;
}

void GlContext::bind() {
    if (!target) return;
    nvgluBindFramebuffer(target);
    glViewport(0, 0, w, h);
}

void GlContext::clear(Rgba colour) {
    if (!target) return;
    bind();
    glClearColor(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, colour.a / 255.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
}

Pixels GlContext::readPixels() {
    if (!target) return Pixels();
    bind();
    std::vector<uint8_t> raw(static_cast<size_t>(w) * h * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, raw.data());
    // OpenGL's row 0 is the bottom one.
    std::vector<uint8_t> rows(raw.size());
    const size_t stride = static_cast<size_t>(w) * 4;
    for (int y = 0; y < h; ++y) {
        std::copy_n(&raw[static_cast<size_t>(h - 1 - y) * stride], stride, &rows[static_cast<size_t>(y) * stride]);
    }
    return Pixels(w, h, std::move(rows));
}

void GlContext::close() {
    Display* x = static_cast<Display*>(display);
    if (target) nvgluDeleteFramebuffer(target);
    target = nullptr;
    if (renderer) nvgDeleteGL2(renderer);
    renderer = nullptr;
    if (x && glx) {
        glXMakeCurrent(x, None, nullptr);
        glXDestroyContext(x, static_cast<GLXContext>(glx));
    }
    glx = nullptr;
    if (x && window) XDestroyWindow(x, window);
    window = 0;
    if (x && colormap) XFreeColormap(x, colormap);
    colormap = 0;
    if (visual) XFree(visual);
    visual = nullptr;
    if (x) XSync(x, False);
    display = nullptr;
}

void GlTest::SetUp() {
    switch (gl.open(surfaceWidth(), surfaceHeight())) {
        case GlContext::Outcome::Ready:
            break;
        case GlContext::Outcome::NoDisplay:
        case GlContext::Outcome::NoGl:
            GTEST_SKIP() << "no OpenGL to draw with: " << gl.why();
        case GlContext::Outcome::Broken:
            FAIL() << gl.why();
    }
}

std::string outputPath(const std::string& fileName) {
    std::filesystem::path dir = std::filesystem::path(QOLM_BINARY_DIR) / "test-output";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return (dir / fileName).string();
}

}  // namespace qolm_test
