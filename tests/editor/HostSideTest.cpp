// The editor as a host drives it: a built plug-in loaded with dlopen, the
// editor opcodes, a parent window of the host's own; and the host tool's
// screenshot command. Needs an X server (run under xvfb-run -a).
#include <gtest/gtest.h>

#include "PngDecode.h"
#include "XTestSupport.h"
#include "support/PluginHost.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace edtest;

namespace {

constexpr int kWidth = 285;
constexpr int kHeight = 195;
// The probe's page switch: a red square at (20, 20), 40 x 30, on page 1.
constexpr int kSquareX = 20, kSquareY = 20, kSquareW = 40, kSquareH = 30;
const Rgb kRed{230, 20, 30};

bool inSquare(int x, int y) {
    return x >= kSquareX && x < kSquareX + kSquareW && y >= kSquareY && y < kSquareY + kSquareH;
}

// Share of the pixels outside the square that show the given frame.
double frameShare(const Picture& shown, const Picture& image, int frame) {
    if (shown.width != kWidth || shown.height != kHeight || image.width < (frame + 1) * kWidth) return 0;
    int total = 0, matching = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (inSquare(x, y)) continue;
            ++total;
            if (near(shown.at(x, y), image.at(frame * kWidth + x, y))) ++matching;
        }
    return static_cast<double>(matching) / total;
}

bool squareShown(const Picture& shown) {
    return shown.width == kWidth && near(shown.at(kSquareX + 2, kSquareY + 2), kRed) &&
           near(shown.at(kSquareX + kSquareW - 1, kSquareY + kSquareH - 1), kRed);
}

bool exists(const std::string& path) {
    struct stat s{};
    return stat(path.c_str(), &s) == 0;
}

struct Outcome {
    int status = -1;
    std::string out;
};

Outcome run(const std::string& command) {
    Outcome r;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class HostSide : public ::testing::Test {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        XInitThreads();
        display = openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(quietErrors);
        pinGlDriver(display);
        background = decodeEmbeddedPng("Qolm.png");
        ASSERT_EQ(background.width, 2 * kWidth);
        baseThreads = editorThreads();
        host = std::make_unique<qtest::PluginHost>(EDITOR_PROBE_PATH);
        ASSERT_TRUE(host->loaded()) << EDITOR_PROBE_PATH;
        ASSERT_NE(host->create(), nullptr);
        parent = makeParent(display, kWidth, kHeight);
    }

    void TearDown() override {
        host.reset();
        if (display) {
            if (parent) XDestroyWindow(display, parent);
            XCloseDisplay(display);
        }
    }

    Window editorWindow() {
        std::vector<Window> kids = childrenOf(display, parent);
        return kids.size() == 1 ? kids[0] : 0;
    }

    // Waits (running the editor's idle, as a host does) until the editor's
    // window shows the frame, with the square or without it.
    bool waitForFrame(int frame, bool square) {
        return waitFor([&] {
            host->dispatch(effEditIdle);
            Window w = editorWindow();
            if (!w) return false;
            Picture shown = grab(display, w, kWidth, kHeight);
            return frameShare(shown, background, frame) > 0.99 && squareShown(shown) == square;
        });
    }

    Display* display = nullptr;
    Window parent = 0;
    Picture background;
    int baseThreads = 0;
    std::unique_ptr<qtest::PluginHost> host;
};

}  // namespace

TEST_F(HostSide, EditorRectAndFlagAsTheHostReadsThem) {
    EXPECT_TRUE(host->effect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    EXPECT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, kHeight);
    EXPECT_EQ(rect->right, kWidth);
}

TEST_F(HostSide, OpenShowsTheEditorAndReopeningShowsItAgain) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForFrame(0, true)) << "the editor did not show page 1";
    host->dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), 0u);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForFrame(0, true)) << "the reopened editor did not show page 1";
    host->dispatch(effEditClose);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
}

TEST_F(HostSide, AClickReachesTheControlAndThePageSurvivesAReopen) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForFrame(0, true));
    XEvent event{};
    event.xbutton.type = ButtonPress;
    event.xbutton.window = editorWindow();
    event.xbutton.x = kSquareX + 5;
    event.xbutton.y = kSquareY + 5;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    XSendEvent(display, editorWindow(), False, ButtonPressMask, &event);
    XFlush(display);
    ASSERT_TRUE(waitForFrame(1, false)) << "the click did not switch to page 2";
    host->dispatch(effEditClose);
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    EXPECT_TRUE(waitForFrame(1, false)) << "the skin's page was lost on close";
    host->dispatch(effEditClose);
}

TEST_F(HostSide, HostDestroysItsWindowFirstThenClosesTheEditor) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForFrame(0, true));
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    ASSERT_TRUE(waitFor([&] { return editorThreads() == baseThreads; })) << "the window thread did not end";
    host->dispatch(effEditIdle);
    host->dispatch(effEditClose);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    EXPECT_EQ(host->close(), 1);
}

TEST_F(HostSide, ClosingThePlugInWithItsEditorOpenStopsTheWindowThread) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForFrame(0, true));
    EXPECT_GT(editorThreads(), baseThreads);
    EXPECT_EQ(host->close(), 1);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    EXPECT_EQ(editorWindow(), 0u);
}

// --- qolm-host screenshot ---

class Screenshot : public HostSide {
protected:
    void SetUp() override {
        HostSide::SetUp();
        if (IsSkipped()) return;
        char pattern[] = "/tmp/qolm-shot-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        if (!dir.empty()) run("rm -rf " + dir);
        HostSide::TearDown();
    }
    // The tool's own process unloads the GL driver at its end, which a
    // sanitizer build would report as the driver's leak. A loaded or
    // emulating machine may take longer than the tool's usual wait to draw.
    static std::string tool(const std::string& environment = "") {
        return "env " + environment + " ASAN_OPTIONS=detect_leaks=0 " + QOLM_HOST_TOOL + " screenshot --timeout 120 ";
    }
    static std::string shoot(const std::string& options, const std::string& environment = "") {
        return tool(environment) + "--plugin " + EDITOR_PROBE_PATH + " " + options;
    }
    std::string dir;
};

TEST_F(Screenshot, SavesWhatTheEditorShows) {
    const std::string out = dir + "/main.png";
    Outcome r = run(shoot(out));
    ASSERT_EQ(r.status, 0) << r.out;
    Picture shot = decodePngFile(out);
    ASSERT_EQ(shot.width, kWidth);
    ASSERT_EQ(shot.height, kHeight);
    EXPECT_GT(frameShare(shot, background, 0), 0.99);
    EXPECT_TRUE(squareShown(shot));
}

TEST_F(Screenshot, AClickIsSentBeforeThePictureIsTaken) {
    const std::string out = dir + "/page2.png";
    Outcome r = run(shoot("--click 30,30 " + out));
    ASSERT_EQ(r.status, 0) << r.out;
    Picture shot = decodePngFile(out);
    ASSERT_EQ(shot.width, kWidth);
    EXPECT_GT(frameShare(shot, background, 1), 0.99);
    EXPECT_FALSE(squareShown(shot));
}

TEST_F(Screenshot, RunsItsOwnXServerWithoutADisplay) {
    const std::string before = run("ls /tmp/.X11-unix").out;
    const std::string out = dir + "/private.png";
    Outcome r = run(shoot(out, "-u DISPLAY"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(decodePngFile(out).width, kWidth);
    EXPECT_EQ(run("ls /tmp/.X11-unix").out, before) << "the private X server was left running";
}

TEST_F(Screenshot, FailuresSayWhyAndLeaveNoFile) {
    const std::string out = dir + "/none.png";
    struct Case {
        std::string command;
        const char* says;
    } cases[] = {
        {tool() + "--plugin /nonexistent/x.so " + out, "cannot load"},
        {shoot("--click 300,10 " + out), "outside the editor"},
        {shoot("--click 3x4 " + out), "--click wants X,Y"},
        {shoot("--page 0 " + out), "--page wants"},
        {shoot("--bogus " + out), "unknown option"},
        {shoot(""), "no output file"},
        {shoot(dir + "/missing/dir/x.png"), "cannot write"},
    };
    for (const Case& c : cases) {
        Outcome r = run(c.command);
        EXPECT_NE(r.status, 0) << c.command << "\n" << r.out;
        EXPECT_NE(r.out.find(c.says), std::string::npos) << c.command << "\n" << r.out;
        EXPECT_FALSE(exists(out)) << c.command;
    }
    EXPECT_EQ(run("ls " + dir).out, "") << "a partial file was left behind";
}

// --- The product: Qolm.so with its embedded skin ---

namespace {

struct Area {
    int x, y, w, h;
};
// Parts of the window where the skin puts no control on either page, so
// that only the page's background shows there.
const Area kFreeAreas[] = {{0, 172, 285, 23}, {0, 60, 20, 112}, {266, 75, 19, 97}};

double freeAreaShare(const Picture& shown, const Picture& image, int frame) {
    if (shown.width != kWidth || shown.height != kHeight || image.width < (frame + 1) * kWidth) return 0;
    int total = 0, matching = 0;
    for (const Area& a : kFreeAreas)
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x) {
                ++total;
                if (near(shown.at(x, y), image.at(frame * kWidth + x, y))) ++matching;
            }
    return static_cast<double>(matching) / total;
}

class QolmEditor : public HostSide {
protected:
    void SetUp() override {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name) GTEST_SKIP() << "no X display: run under xvfb-run -a";
        XInitThreads();
        display = openDisplay();
        if (!display) GTEST_SKIP() << "cannot open the X display " << name;
        XSetErrorHandler(quietErrors);
        pinGlDriver(display);
        background = decodeEmbeddedPng("Qolm.png");
        ASSERT_EQ(background.width, 2 * kWidth);
        baseThreads = editorThreads();
        host = std::make_unique<qtest::PluginHost>(qtest::pluginPath());
        ASSERT_TRUE(host->loaded()) << qtest::pluginPath();
        ASSERT_NE(host->create(), nullptr);
        parent = makeParent(display, kWidth, kHeight);
    }

    // Waits until the window shows the background of the page (frame
    // page - 1) and not that of the other one.
    bool waitForPage(int page) {
        return waitFor([&] {
            host->dispatch(effEditIdle);
            Window w = editorWindow();
            if (!w) return false;
            Picture shown = grab(display, w, kWidth, kHeight);
            return freeAreaShare(shown, background, page - 1) > 0.99 &&
                   freeAreaShare(shown, background, 2 - page) < 0.9;
        });
    }

    void click(int x, int y) {
        for (int type : {ButtonPress, ButtonRelease}) {
            XEvent event{};
            event.xbutton.type = type;
            event.xbutton.window = editorWindow();
            event.xbutton.x = x;
            event.xbutton.y = y;
            event.xbutton.button = Button1;
            event.xbutton.same_screen = True;
            XSendEvent(display, editorWindow(), False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
                       &event);
        }
        XFlush(display);
    }
};

}  // namespace

TEST_F(QolmEditor, RectIsTheEmbeddedSkinsSize) {
    EXPECT_TRUE(host->effect()->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(host->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 195);
    EXPECT_EQ(rect->right, 285);
}

TEST_F(QolmEditor, ShowsTheMainPageTheInfoTabAndAgainAfterReopening) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForPage(1)) << "the main page's background is not shown";
    click(255, 10);  // the INFO tab
    ASSERT_TRUE(waitForPage(2)) << "the INFO tab did not switch pages";
    host->dispatch(effEditClose);
    EXPECT_EQ(editorWindow(), 0u);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForPage(2)) << "the reopened editor lost its page";
    click(200, 10);  // the MAIN tab
    ASSERT_TRUE(waitForPage(1));
    host->dispatch(effEditClose);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
}

TEST_F(QolmEditor, HostDestroysItsWindowFirst) {
    ASSERT_EQ(host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)), 1);
    ASSERT_TRUE(waitForPage(1));
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
    ASSERT_TRUE(waitFor([&] { return editorThreads() == baseThreads; }));
    host->dispatch(effEditClose);
    EXPECT_EQ(host->close(), 1);
    EXPECT_TRUE(editorThreadsAre(baseThreads)) << editorThreads() << " window threads";
}
