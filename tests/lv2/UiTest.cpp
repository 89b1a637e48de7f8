// The editor in a real LV2 host: jalv.gtk3 (Debian's jalv) on a JACK server
// of its own with the dummy driver, under Xvfb. A knob dragged with XTEST
// pointer events must reach the host's control: jalv saves its state, and
// the saved port value is what the editor shows. Skips without a display,
// jalv.gtk3 or jackd, and in the 32-bit build (jalv is 64-bit).
// gtest first: Xlib's macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "editor/XTestSupport.h"
#include "lv2/Lv2Support.h"
#include "plugin_editor/Pointer.h"

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cmath>
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
        if (!edtest::waitFor([&] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 5000)) {
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
    return edtest::savePng(edtest::grab(display, window, attributes.width, attributes.height), path);
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
    ASSERT_TRUE(edtest::waitFor(
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
    ASSERT_TRUE(edtest::waitFor([&] { return fs::exists(statePath) && fs::file_size(statePath) > 0; }, 10000))
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

// The UI in this process, as a host with instance-access runs it: every
// build, the sanitizer one included.
class Lv2UiInProcess : public ::testing::Test {
protected:
    struct Written {
        uint32_t port;
        float value;
    };

    void SetUp() override {
        display = edtest::openDisplay();
        if (!display) GTEST_SKIP() << "no X display";
        pointer = std::make_unique<e2e::Pointer>(display);
        if (!pointer->available()) GTEST_SKIP() << "no XTEST";
        edtest::pinGlDriver(display);
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(library.symbol("lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        descriptor = entry(0);
        plugin = std::make_unique<Instance>(library, kStereoUri, 48000.0);
        ASSERT_TRUE(plugin->valid());
        plugin->activate();
        runBlock();
        parent = edtest::makeParent(display, 285, 195, 40, 40);
    }
    void TearDown() override {
        if (handle) descriptor->cleanup(handle);
        plugin.reset();
        pointer.reset();
        if (parent) XDestroyWindow(display, parent);
        if (display) XCloseDisplay(display);
    }

    void open() {
        static LV2UI_Touch touchFeature{this, [](LV2UI_Feature_Handle self, uint32_t port, bool grabbed) {
                                            static_cast<Lv2UiInProcess*>(self)->touches.push_back({port, grabbed ? 1.0f : 0.0f});
                                        }};
        touchFeature.handle = this;
        const LV2_Feature access{LV2_INSTANCE_ACCESS_URI, plugin->raw()};
        const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
        const LV2_Feature touch{LV2_UI__touch, &touchFeature};
        const LV2_Feature* features[] = {&access, &parentFeature, &touch, nullptr};
        LV2UI_Widget widget = nullptr;
        handle = descriptor->instantiate(
            descriptor, kStereoUri, bundlePath().c_str(),
            [](LV2UI_Controller self, uint32_t port, uint32_t size, uint32_t protocol, const void* data) {
                if (size == sizeof(float) && protocol == 0)
                    static_cast<Lv2UiInProcess*>(self)->writes.push_back({port, *static_cast<const float*>(data)});
            },
            this, &widget, features);
        ASSERT_NE(handle, nullptr);
        idle = static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idle, nullptr);
        container = reinterpret_cast<Window>(widget);
        // The window thread makes and maps its window on its own time: a
        // picture can be taken only once it is viewable.
        ASSERT_TRUE(edtest::waitFor([&] {
            idle->idle(handle);
            const auto children = edtest::childrenOf(display, container);
            editor = children.empty() ? 0 : children.front();
            XWindowAttributes attributes{};
            return editor != 0 && XGetWindowAttributes(display, editor, &attributes) &&
                   attributes.map_state == IsViewable;
        }));
        settledPicture();
    }
    // The host's UI thread between events, with the audio thread beside it.
    void idleFor(int ms) {
        for (int t = 0; t < ms; t += 20) {
            idle->idle(handle);
            runBlock();
            edtest::sleepMs(20);
        }
    }
    // Idles until the condition holds; false when it did not within the time.
    bool idleUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
        for (int t = 0; t < timeoutMs; t += 20) {
            if (condition()) return true;
            idleFor(20);
        }
        return condition();
    }
    void runBlock() {
        const Channels in(2, std::vector<float>(480, 0.0f));
        Channels out;
        plugin->process(in, out, 480);
    }
    // What the editor shows once it has stopped changing (slow builds draw
    // the first frames late).
    edtest::Picture settledPicture() {
        edtest::Picture last = edtest::grab(display, editor, 285, 195);
        for (int attempt = 0; attempt < 100; ++attempt) {
            idleFor(100);
            edtest::Picture now = edtest::grab(display, editor, 285, 195);
            bool same = now.pixels.size() == last.pixels.size(), drawn = false;
            for (size_t i = 0; same && i < now.pixels.size(); ++i) {
                same = edtest::near(now.pixels[i], last.pixels[i], 0);
                drawn = drawn || !edtest::near(now.pixels[i], now.pixels[0], 8);
            }
            if (same && drawn) return now;
            last = now;
        }
        return last;
    }

    Library library;
    Display* display = nullptr;
    std::unique_ptr<e2e::Pointer> pointer;
    std::unique_ptr<Instance> plugin;
    const LV2UI_Descriptor* descriptor = nullptr;
    LV2UI_Handle handle = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    Window parent = 0, container = 0, editor = 0;
    std::vector<Written> writes, touches;
};

TEST_F(Lv2UiInProcess, KnobDragIsWrittenFromIdleAsAGesture) {
    open();
    writes.clear();
    pointer->drag(editor, 150, 125, 0, -40, 8);
    // Nothing reaches the host between idle calls.
    edtest::sleepMs(100);
    EXPECT_TRUE(writes.empty());
    const double first = 20.0 * std::pow(1000.0, 0.4);
    EXPECT_TRUE(idleUntil([&] { return !writes.empty() && std::fabs(writes.back().value - first) < 1.0; }));
    // The release may follow some time after the last move under qemu-user.
    EXPECT_TRUE(idleUntil([&] { return touches.size() >= 2; }));
    idleFor(100);
    ASSERT_FALSE(writes.empty());
    for (const Written& w : writes) EXPECT_EQ(w.port, static_cast<uint32_t>(kCutOff));
    EXPECT_NEAR(writes.back().value, first, 1.0);
    ASSERT_GE(touches.size(), 2u);
    EXPECT_EQ(touches.front().port, static_cast<uint32_t>(kCutOff));
    EXPECT_EQ(touches.front().value, 1.0f);
    EXPECT_EQ(touches.back().value, 0.0f);

    // A stale value from the host while it catches up does not pull the
    // knob back: the next drag goes on from where the first one ended.
    plugin->controls[kCutOff] = 100.0f;
    runBlock();
    writes.clear();
    pointer->drag(editor, 150, 125, 0, -10, 2);
    const double second = 20.0 * std::pow(1000.0, 0.5);
    idleUntil([&] { return !writes.empty() && std::fabs(writes.back().value - second) < 1.0; });
    ASSERT_FALSE(writes.empty());
    EXPECT_NEAR(writes.back().value, second, 1.0);
}

TEST_F(Lv2UiInProcess, HostChangesShowInTheEditor) {
    open();
    const edtest::Picture before = settledPicture();
    edtest::Picture after = before;
    // Pixels of an area that differ from the picture before the change.
    auto differing = [&](int x0, int y0, int w, int h) {
        int count = 0;
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) count += !edtest::near(before.at(x, y), after.at(x, y), 8);
        return count;
    };
    plugin->controls[kCutOff] = 5000.0f;
    // The Cut Off knob and its value field change; the Gain knob does not.
    EXPECT_TRUE(idleUntil([&] {
        after = edtest::grab(display, editor, 285, 195);
        return differing(120, 95, 60, 75) > 50;
    }));
    after = settledPicture();
    EXPECT_GT(differing(120, 95, 60, 75), 50);
    EXPECT_EQ(differing(25, 95, 60, 75), 0);
    EXPECT_TRUE(writes.empty());
}

}  // namespace
}  // namespace lv2test
