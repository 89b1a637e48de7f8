// qolm-host screenshot: opens a plug-in's editor in a real top-level X
// window, the way a host does, and saves what it shows as a PNG. Without a
// DISPLAY it runs its own Xvfb for the time it needs one.
#include "Commands.h"
#include "HostLoader.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qhost {

namespace {

constexpr const char* kName = "qolm-host screenshot";
// What the top-level window shows until the editor has drawn over it.
constexpr unsigned long kInitialColour = 0xFF00FF;

void screenshotUsage(FILE* out) {
    std::fprintf(out,
                 "usage: qolm-host screenshot [options] OUT.png\n"
                 "  --plugin PATH    the plug-in to load (default: the Qolm.so built beside this tool)\n"
                 "  --click X,Y      a left click at X,Y of the editor before the picture is taken\n"
                 "                   (repeatable; clicks are sent in order)\n"
                 "  --page N         Qolm's editor: show page N (clicks its page tab; repeatable)\n"
                 "  --timeout SEC    longest wait for the editor to draw (default 10)\n"
                 "Without a DISPLAY a private Xvfb is started for the run.\n");
}

using Clock = std::chrono::steady_clock;

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A private X server for the run: started on the first free display number,
// killed (and waited for) when this goes.
class PrivateXvfb {
public:
    ~PrivateXvfb() { stop(); }

    bool start(std::string* error) {
        for (int number = 97; number < 160; ++number) {
            char lock[64];
            std::snprintf(lock, sizeof(lock), "/tmp/.X%d-lock", number);
            char socket[64];
            std::snprintf(socket, sizeof(socket), "/tmp/.X11-unix/X%d", number);
            if (access(lock, F_OK) == 0 || access(socket, F_OK) == 0) continue;
            switch (tryNumber(number)) {
                case Outcome::Ready:
                    name = displayOf(number);
                    return true;
                case Outcome::Taken:
                    continue;
                case Outcome::Failed:
                    *error = "cannot start Xvfb (is the xvfb package installed?)";
                    return false;
            }
        }
        *error = "found no free display number for Xvfb";
        return false;
    }

    void stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i) sleepMs(10);
        if (waitpid(pid, &status, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
        pid = -1;
    }

    const std::string& displayName() const { return name; }

private:
    enum class Outcome { Ready, Taken, Failed };

    static std::string displayOf(int number) {
        char text[16];
        std::snprintf(text, sizeof(text), ":%d", number);
        return text;
    }

    // Xvfb writes the display number to the pipe once it accepts clients.
    Outcome tryNumber(int number) {
        int ready[2];
        if (pipe(ready) != 0) return Outcome::Failed;
        const std::string display = displayOf(number);
        char fd[16];
        std::snprintf(fd, sizeof(fd), "%d", ready[1]);
        pid_t child = fork();
        if (child < 0) {
            close(ready[0]);
            close(ready[1]);
            return Outcome::Failed;
        }
        if (child == 0) {
            close(ready[0]);
            int quiet = open("/dev/null", O_RDWR);
            if (quiet >= 0) {
                dup2(quiet, 0);
                dup2(quiet, 1);
                dup2(quiet, 2);
            }
            execlp("Xvfb", "Xvfb", display.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   "-displayfd", fd, static_cast<char*>(nullptr));
            _exit(127);
        }
        close(ready[1]);
        char answer[32] = {};
        size_t got = 0;
        const auto end = Clock::now() + std::chrono::seconds(15);
        while (Clock::now() < end) {
            pollfd p{ready[0], POLLIN, 0};
            if (poll(&p, 1, 50) > 0) {
                ssize_t n = read(ready[0], answer + got, sizeof(answer) - 1 - got);
                if (n > 0) {
                    got += static_cast<size_t>(n);
                    if (std::strchr(answer, '\n')) break;
                    continue;
                }
                break;  // closed: Xvfb gave up
            }
            int status = 0;
            if (waitpid(child, &status, WNOHANG) == child) {
                close(ready[0]);
                return WIFEXITED(status) && WEXITSTATUS(status) == 127 ? Outcome::Failed : Outcome::Taken;
            }
        }
        close(ready[0]);
        if (got > 0 && std::atoi(answer) == number) {
            pid = child;
            return Outcome::Ready;
        }
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return Outcome::Taken;
    }

    pid_t pid = -1;
    std::string name;
};

int quietErrors(Display*, XErrorEvent*) { return 0; }

struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
    bool operator==(const Image&) const = default;
};

int channel(unsigned long pixel, unsigned long mask) {
    if (!mask) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// Copies the window's pixels into the picture at (ox, oy), then those of its
// mapped children over them: a child of another depth than its parent (a GL
// visual, say) is not part of the parent's own image.
void compose(Display* display, Window window, int ox, int oy, Image& picture) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable) return;
    const int x0 = std::max(0, ox), y0 = std::max(0, oy);
    const int x1 = std::min(picture.width, ox + attributes.width);
    const int y1 = std::min(picture.height, oy + attributes.height);
    if (x1 <= x0 || y1 <= y0) return;
    XImage* image = XGetImage(display, window, x0 - ox, y0 - oy, static_cast<unsigned>(x1 - x0),
                              static_cast<unsigned>(y1 - y0), AllPlanes, ZPixmap);
    if (image) {
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const unsigned long p = XGetPixel(image, x - x0, y - y0);
                unsigned char* out = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
                out[0] = static_cast<unsigned char>(channel(p, image->red_mask));
                out[1] = static_cast<unsigned char>(channel(p, image->green_mask));
                out[2] = static_cast<unsigned char>(channel(p, image->blue_mask));
            }
        XDestroyImage(image);
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return;
    for (unsigned i = 0; i < count; ++i) {  // bottom to top
        XWindowAttributes child{};
        if (XGetWindowAttributes(display, children[i], &child))
            compose(display, children[i], ox + child.x + child.border_width, oy + child.y + child.border_width,
                    picture);
    }
    if (children) XFree(children);
}

Image grab(Display* display, Window window, int width, int height) {
    Image picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    XSync(display, False);
    compose(display, window, 0, 0, picture);
    XSync(display, False);
    return picture;
}

bool allInitialColour(const Image& picture) {
    const unsigned char r = (kInitialColour >> 16) & 0xff, g = (kInitialColour >> 8) & 0xff, b = kInitialColour & 0xff;
    for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3)
        if (picture.rgb[i] != r || picture.rgb[i + 1] != g || picture.rgb[i + 2] != b) return false;
    return true;
}

struct Click {
    int x, y;
};

bool parseClick(const std::string& text, Click* click) {
    int x = 0, y = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d,%d%c", &x, &y, &extra) != 2) return false;
    *click = {x, y};
    return true;
}

bool parseInt(const std::string& text, int* value) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno || end == text.c_str() || *end || v < 1 || v > 1000) return false;
    *value = static_cast<int>(v);
    return true;
}

// Runs the editor's idle while waiting, as a host's user interface does.
class Session {
public:
    Session(HostLoader& host, Display* display, Window window, int width, int height, int timeoutMs)
        : host(host), display(display), window(window), width(width), height(height), timeoutMs(timeoutMs) {}

    void idleFor(int ms) {
        const auto end = Clock::now() + std::chrono::milliseconds(ms);
        while (Clock::now() < end) {
            host.dispatch(effEditIdle);
            sleepMs(15);
        }
    }

    // Waits until the picture is no longer `before` (or, without one, no
    // longer the window's own colour); false when that never happens.
    bool waitForChange(const Image* before) {
        const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (Clock::now() < end) {
            Image now = grab(display, window, width, height);
            if (before ? !(now == *before) : !allInitialColour(now)) return true;
            idleFor(20);
        }
        return false;
    }

    // The picture once two grabs a while apart agree (a pass may still be
    // on its way), or the last one when it keeps changing.
    Image settled() {
        Image last = grab(display, window, width, height);
        for (int i = 0; i < 20; ++i) {
            idleFor(100);
            Image now = grab(display, window, width, height);
            if (now == last) return now;
            last = std::move(now);
        }
        return last;
    }

    void click(const Click& at) {
        int rootX = 0, rootY = 0;
        Window ignored = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), at.x, at.y, &rootX, &rootY, &ignored);
        XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XSync(display, False);
    }

    void movePointerAway() {
        int rootX = 0, rootY = 0;
        Window ignored = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), width + 8, height + 8, &rootX, &rootY,
                              &ignored);
        XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
        XSync(display, False);
    }

private:
    HostLoader& host;
    Display* display;
    Window window;
    int width, height, timeoutMs;
};

// Writes beside the target and renames, so a failure leaves no partial file.
bool writePng(const std::string& path, const Image& picture, std::string* error) {
    std::string temporary = path + ".partial-XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back(0);
    int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    close(fd);
    const bool written = stbi_write_png(name.data(), picture.width, picture.height, 3, picture.rgb.data(),
                                        picture.width * 3) != 0;
    if (!written || chmod(name.data(), 0644) != 0 || rename(name.data(), path.c_str()) != 0) {
        *error = "cannot write " + path + (written ? std::string(": ") + std::strerror(errno) : std::string());
        unlink(name.data());
        return false;
    }
    return true;
}

}  // namespace

int runScreenshot(const Args& args) {
    std::string pluginPath = defaultPluginPath();
    std::string output;
    std::vector<Click> clicks;
    int timeoutSeconds = 10;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* option) -> const std::string* {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "%s: %s needs a value\n", kName, option);
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "-h" || a == "--help") {
            screenshotUsage(stdout);
            return 0;
        } else if (a == "--plugin") {
            const std::string* v = value("--plugin");
            if (!v) return 2;
            pluginPath = *v;
        } else if (a == "--click") {
            const std::string* v = value("--click");
            if (!v) return 2;
            Click click{};
            if (!parseClick(*v, &click)) {
                std::fprintf(stderr, "%s: --click wants X,Y (pixels of the editor), not '%s'\n", kName, v->c_str());
                return 2;
            }
            clicks.push_back(click);
        } else if (a == "--page") {
            const std::string* v = value("--page");
            if (!v) return 2;
            int page = 0;
            if (!parseInt(*v, &page) || page > 8) {
                std::fprintf(stderr, "%s: --page wants a page number from 1, not '%s'\n", kName, v->c_str());
                return 2;
            }
            // Qolm's page tabs: 50 x 20 pixels, the first at x 175, 55 apart.
            clicks.push_back({175 + 55 * (page - 1) + 25, 10});
        } else if (a == "--timeout") {
            const std::string* v = value("--timeout");
            if (!v) return 2;
            if (!parseInt(*v, &timeoutSeconds)) {
                std::fprintf(stderr, "%s: --timeout wants whole seconds, not '%s'\n", kName, v->c_str());
                return 2;
            }
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "%s: unknown option %s\n", kName, a.c_str());
            screenshotUsage(stderr);
            return 2;
        } else if (output.empty()) {
            output = a;
        } else {
            std::fprintf(stderr, "%s: more than one output file given ('%s', '%s')\n", kName, output.c_str(),
                         a.c_str());
            return 2;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "%s: no output file given\n", kName);
        screenshotUsage(stderr);
        return 2;
    }

    // The display must be there before the plug-in loads: its editor may
    // connect as the effect is created.
    PrivateXvfb xvfb;
    const char* given = std::getenv("DISPLAY");
    if (!given || !*given) {
        std::string error;
        if (!xvfb.start(&error)) {
            std::fprintf(stderr, "%s: no DISPLAY and %s\n", kName, error.c_str());
            return 1;
        }
        setenv("DISPLAY", xvfb.displayName().c_str(), 1);
    }
    XInitThreads();
    // A server whose last client has just left resets and refuses
    // connections for a moment.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 40 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display) sleepMs(50);
    }
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the X display %s\n", kName, std::getenv("DISPLAY"));
        return 1;
    }
    XSetErrorHandler(quietErrors);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    const bool canClick = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);

    int status = 1;
    Window window = 0;
    {
        HostLoader host;
        bool editorOpen = false;
        auto fail = [&](const std::string& message) {
            std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
            return 1;
        };
        [&] {
            if (!host.load(pluginPath)) {
                status = fail(host.error());
                return;
            }
            if (!(host.effect()->flags & effFlagsHasEditor)) {
                status = fail(pluginPath + " has no editor");
                return;
            }
            if (!clicks.empty() && !canClick) {
                status = fail("the X server has no XTEST extension, so --click and --page cannot work");
                return;
            }
            ERect* rect = nullptr;
            host.dispatch(effEditGetRect, 0, 0, &rect);
            const int width = rect ? rect->right - rect->left : 0;
            const int height = rect ? rect->bottom - rect->top : 0;
            if (width <= 0 || height <= 0 || width > 8192 || height > 8192) {
                status = fail("the editor reports no usable size");
                return;
            }
            for (const Click& c : clicks)
                if (c.x < 0 || c.y < 0 || c.x >= width || c.y >= height) {
                    status = fail("click " + std::to_string(c.x) + "," + std::to_string(c.y) +
                                  " lies outside the editor (" + std::to_string(width) + " x " +
                                  std::to_string(height) + ")");
                    return;
                }
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                                         static_cast<unsigned>(height), 0, 0, kInitialColour);
            XStoreName(display, window, "qolm-host screenshot");
            XSelectInput(display, window, StructureNotifyMask);
            XMapWindow(display, window);
            for (const auto end = Clock::now() + std::chrono::seconds(5); Clock::now() < end;) {
                XEvent event;
                if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) break;
                sleepMs(5);
            }
            XSync(display, False);

            if (!host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window))) {
                status = fail("the plug-in refused to open its editor");
                return;
            }
            editorOpen = true;
            Session session(host, display, window, width, height, timeoutSeconds * 1000);
            if (!session.waitForChange(nullptr)) {
                status = fail("the editor drew nothing within " + std::to_string(timeoutSeconds) + " s");
                return;
            }
            Image picture = session.settled();
            for (const Click& c : clicks) {
                session.click(c);
                // A click may change nothing; then there is nothing to wait for.
                if (session.waitForChange(&picture)) picture = session.settled();
            }
            if (!clicks.empty()) {
                session.movePointerAway();
                picture = session.settled();
            }
            std::string error;
            if (!writePng(output, picture, &error)) {
                status = fail(error);
                return;
            }
            std::printf("%s: %d x %d\n", output.c_str(), width, height);
            status = 0;
        }();
        if (editorOpen) host.dispatch(effEditClose);
        host.unload();
    }
    if (window) XDestroyWindow(display, window);
    XCloseDisplay(display);
    return status;
}

}  // namespace qhost
