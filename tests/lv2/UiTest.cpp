// The editor in a real LV2 host: jalv.gtk3 (Debian's jalv) on a JACK server
// of its own with the dummy driver, under Xvfb. A knob dragged with XTEST
// pointer events must reach the host's control: jalv saves its state, and
// the saved port value is what the editor shows. Skips without a display,
// jalv.gtk3 or jackd, and in the 32-bit build (jalv is 64-bit).
// gtest first: Xlib's macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "lv2/Lv2Support.h"
#include "plugin_editor/Pointer.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lv2test {
namespace {

namespace fs = std::filesystem;

bool waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// A child process with extra environment, output into a file, ended by its
// id when the test is done with it.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv, const std::string& log,
          const std::string& folder) {
        std::vector<std::string> env(extraEnv);
        for (char** e = environ; *e; ++e) env.emplace_back(*e);
        std::vector<char*> args, envp;
        for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Child() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        if (!waitUntil([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 5000)) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    bool running() const { return pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0; }

private:
    pid_t pid = -1;
};

bool onPath(const char* tool) { return runWithBundle(std::string("command -v ") + tool).status == 0; }

Window findNamed(Display* display, Window window, const char* name) {
    char* title = nullptr;
    if (XFetchName(display, window, &title) && title) {
        const bool match = std::string(title) == name;
        XFree(title);
        if (match) return window;
    }
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) found = findNamed(display, children[i], name);
    if (children) XFree(children);
    return found;
}

// The deepest window of the editor's size under `window`: the editor's own.
Window findEditor(Display* display, Window window) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count && !found; ++i) found = findEditor(display, children[i]);
        if (children) XFree(children);
    }
    if (found) return found;
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.width == 285 && attributes.height == 195 &&
        attributes.map_state == IsViewable)
        return window;
    return 0;
}

void key(Display* display, KeySym symbol, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
    XSync(display, False);
}

void tap(Display* display, KeySym symbol) {
    key(display, symbol, true);
    key(display, symbol, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

bool saveScreenshot(Display* display, Window window, const std::string& path) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes)) return false;
    XImage* image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) return false;
    std::vector<unsigned char> rgb(static_cast<size_t>(attributes.width * attributes.height * 3));
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            unsigned char* out = &rgb[static_cast<size_t>((y * attributes.width + x) * 3)];
            out[0] = static_cast<unsigned char>((pixel >> 16) & 0xff);
            out[1] = static_cast<unsigned char>((pixel >> 8) & 0xff);
            out[2] = static_cast<unsigned char>(pixel & 0xff);
        }
    XDestroyImage(image);
    return stbi_write_png(path.c_str(), attributes.width, attributes.height, 3, rgb.data(), attributes.width * 3) != 0;
}

// The value of one port in a saved jalv state, NaN when absent.
double savedValue(const std::string& state, const std::string& symbol) {
    std::smatch match;
    const std::regex pattern("lv2:symbol \"" + symbol + "\" ;\\s*pset:value ([-0-9.eE+]+)");
    return std::regex_search(state, match, pattern) ? std::stod(match[1]) : std::nan("");
}

TEST(Lv2Ui, KnobDragInJalvReachesTheHostControl) {
    if (is32Bit()) GTEST_SKIP() << "jalv is 64-bit and cannot load the 32-bit binary";
    if (underSanitizer()) GTEST_SKIP() << "jalv.gtk3 does not start under the AddressSanitizer run-time";
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    if (!onPath("jalv.gtk3") || !onPath("jackd") || !onPath("jack_wait"))
        GTEST_SKIP() << "jalv.gtk3 or jackd is not installed (Debian: jalv, jackd2)";
    // Closed after everything that uses it.
    std::unique_ptr<Display, int (*)(Display*)> connection(XOpenDisplay(nullptr), XCloseDisplay);
    Display* display = connection.get();
    ASSERT_NE(display, nullptr);
    e2e::Pointer pointer(display);
    if (!pointer.available()) GTEST_SKIP() << "no XTEST";

    const std::string folder = workFolder() + "/jalv";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string server = "qolm-lv2-" + std::to_string(getpid());
    const std::vector<std::string> env = {"JACK_DEFAULT_SERVER=" + server, "JACK_NO_AUDIO_RESERVATION=1",
                                          "LV2_PATH=" + workFolder() + "/bundles", "NO_AT_BRIDGE=1"};
    std::vector<std::string> jalvEnv = env;
    for (const std::string& entry : toolEnvironment()) jalvEnv.push_back(entry);
    Child jack({"jackd", "-n", server, "-d", "dummy", "-r", "48000", "-p", "512"}, env, folder + "/../jackd.log",
               folder);
    ASSERT_EQ(runWithBundle("JACK_DEFAULT_SERVER=" + server + " timeout 10 jack_wait -w").status, 0);
    Child jalv({"jalv.gtk3", kStereoUri}, jalvEnv, folder + "/../jalv.log", folder);

    Window top = 0, editor = 0;
    ASSERT_TRUE(waitUntil(
        [&] {
            top = findNamed(display, DefaultRootWindow(display), "Qolm");
            editor = top ? findEditor(display, top) : 0;
            return editor != 0;
        },
        20000))
        << "jalv.gtk3 showed no editor";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // first drawing pass
    EXPECT_TRUE(saveScreenshot(display, top, std::string(QOLM_BINARY_DIR) + "/lv2-jalv.png"));

    // The Cut Off knob, upwards by 40 pixels.
    pointer.drag(editor, 150, 125, 0, -40, 8);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));

    // jalv saves its state (Ctrl+S, a name, Return) into its folder.
    pointer.moveTo(editor, 140, 60);
    key(display, XK_Control_L, true);
    tap(display, XK_s);
    key(display, XK_Control_L, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    for (const char* c = "state"; *c; ++c) tap(display, XStringToKeysym(std::string(1, *c).c_str()));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    tap(display, XK_Return);
    const std::string statePath = folder + "/state/state.ttl";
    ASSERT_TRUE(waitUntil([&] { return fs::exists(statePath) && fs::file_size(statePath) > 0; }, 10000))
        << "jalv saved no state";
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::ifstream file(statePath);
    std::stringstream text;
    text << file.rdbuf();
    const double cutOff = savedValue(text.str(), "cut_off");
    // 40 pixels of 100 for the whole knob: 20 Hz * 1000^0.4, about 318 Hz.
    EXPECT_NEAR(cutOff, 20.0 * std::pow(1000.0, 0.4), 1.0) << text.str();
    EXPECT_EQ(savedValue(text.str(), "gain"), 0.0);
    EXPECT_TRUE(jalv.running());
}

}  // namespace
}  // namespace lv2test
