// An offscreen OpenGL context for pixel tests: a GLX context current on a
// hidden window of the X display named by DISPLAY, the OpenGL entry points
// loaded, a NanoVG renderer made as the editor makes it, and a frame buffer
// of the requested size bound as the drawing target. All contexts of a test
// run share one display connection, kept open to the end of the run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

struct NVGcontext;
struct NVGLUframebuffer;

namespace qolm_test {

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& pixel);

// Read-back pixels, row 0 at the top.
class Pixels {
public:
    Pixels() = default;
    Pixels(int width, int height, std::vector<uint8_t> rgba);

    int width() const { return w; }
    int height() const { return h; }
    const std::vector<uint8_t>& bytes() const { return data; }
    Rgba at(int x, int y) const;

    // Smallest rectangle holding every pixel that differs from the
    // background by more than the threshold in any channel; empty
    // (w == 0) when there is none.
    struct Box {
        int x = 0, y = 0, w = 0, h = 0;
    };
    Box inkBox(Rgba background, int threshold = 32) const;
    // Number of pixels in the rectangle equal to the colour.
    int count(int x, int y, int width, int height, Rgba colour) const;

    bool savePng(const std::string& path) const;

private:
    int w = 0;
    int h = 0;
    std::vector<uint8_t> data;
};

class GlContext {
public:
    // (Not called Status: Xlib defines that as a macro.)
    enum class Outcome { Ready, NoDisplay, NoGl, Broken };

    GlContext() = default;
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;
    ~GlContext();

    // Everything up to a bound frame buffer of width x height. A missing
    // display or GLX is NoDisplay / NoGl (the test should skip); a failure
    // after that (loader, renderer, frame buffer) is Broken. why() tells.
    // nvgFlags -1 means NVG_ANTIALIAS, as the editor creates its renderer.
    Outcome open(int width, int height, int nvgFlags = -1);
    const std::string& why() const { return reason; }

    NVGcontext* nvg() const { return renderer; }
    int width() const { return w; }
    int height() const { return h; }

    // Binds the frame buffer and sets the viewport to it.
    void bind();
    // Fills the whole frame buffer with one colour (bytes 0 to 255).
    void clear(Rgba colour);
    Pixels readPixels();

private:
    void close();

    void* display = nullptr;  // Display*
    unsigned long window = 0;
    void* visual = nullptr;   // XVisualInfo*
    void* glx = nullptr;      // GLXContext
    unsigned long colormap = 0;
    NVGcontext* renderer = nullptr;
    NVGLUframebuffer* target = nullptr;
    int w = 0;
    int h = 0;
    std::string reason;
};

// Fixture: a ready context of surfaceWidth() x surfaceHeight() in every test, or the test is
// skipped when there is no display with GLX.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    virtual int surfaceWidth() const { return 100; }
    virtual int surfaceHeight() const { return 100; }

    GlContext gl;
};

// Where a test may write pictures for a human to look at.
std::string outputPath(const std::string& fileName);

}  // namespace qolm_test
