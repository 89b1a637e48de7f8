#include "EditorSession.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

namespace e2e {

bool waitFor(const std::function<bool()>& condition, const std::function<void()>& idle, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (idle) idle();
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

Picture crop(const Picture& picture, const Area& area) { return edtest::crop(picture, area.x, area.y, area.w, area.h); }

int differingPixels(const Picture& a, const Picture& b, int tolerance) {
    // A missing picture (the window is gone) never matches anything.
    if (a.width != b.width || a.height != b.height || a.empty() || b.empty())
        return static_cast<int>(std::max({a.pixels.size(), b.pixels.size(), size_t{1}}));
    int count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i)
        if (!edtest::near(a.pixels[i], b.pixels[i], tolerance)) ++count;
    return count;
}

namespace {
bool isInk(const Picture& shown, const Picture& background, int frame, int x, int y) {
    const edtest::Rgb s = shown.at(x, y);
    const edtest::Rgb b = background.at(frame * kWidth + x, y);
    return std::abs(s.r - b.r) + std::abs(s.g - b.g) + std::abs(s.b - b.b) > 60;
}
bool fits(const Picture& shown, const Picture& background, int frame) {
    return shown.width == kWidth && shown.height == kHeight && background.width >= (frame + 1) * kWidth &&
           background.height == kHeight;
}
}  // namespace

int inkPixels(const Picture& shown, const Picture& background, int frame, const Area& area) {
    if (!fits(shown, background, frame)) return 0;
    int count = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            if (isInk(shown, background, frame, x, y)) ++count;
    return count;
}

int inkRightEdge(const Picture& shown, const Picture& background, int frame, const Area& area) {
    if (!fits(shown, background, frame)) return -1;
    for (int x = area.x + area.w - 1; x >= area.x; --x)
        for (int y = area.y; y < area.y + area.h; ++y)
            if (isInk(shown, background, frame, x, y)) return x;
    return -1;
}

double freeAreaShare(const Picture& shown, const Picture& background, int frame) {
    // Where the skin puts nothing on either page, only the background shows.
    static const Area kFree[] = {{0, 172, 285, 23}, {0, 60, 20, 112}, {266, 75, 19, 97}};
    if (!fits(shown, background, frame)) return 0;
    int total = 0, matching = 0;
    for (const Area& a : kFree)
        for (int y = a.y; y < a.y + a.h; ++y)
            for (int x = a.x; x < a.x + a.w; ++x) {
                ++total;
                if (edtest::near(shown.at(x, y), background.at(frame * kWidth + x, y))) ++matching;
            }
    return static_cast<double>(matching) / total;
}

int redPixels(const Picture& picture) {
    int count = 0;
    for (const edtest::Rgb& p : picture.pixels)
        if (p.r >= 200 && p.g <= 110 && p.b <= 110) ++count;
    return count;
}

// ---------------------------------------------------------------------------

ScreenEditor::~ScreenEditor() { destroyParent(); }

void ScreenEditor::makeParent(int x, int y, int width, int height) {
    destroyParent();
    parent = edtest::makeParent(display, width, height, x, y);
    // A window of another client over ours would take the pointer.
    XRaiseWindow(display, parent);
    XSync(display, False);
}

void ScreenEditor::destroyParent() {
    if (!parent) return;
    XDestroyWindow(display, parent);
    XSync(display, False);
    parent = 0;
}

Window ScreenEditor::window() const {
    if (!parent) return 0;
    std::vector<Window> children = edtest::childrenOf(display, parent);
    return children.size() == 1 ? children[0] : 0;
}

Picture ScreenEditor::shot() const {
    const Window w = window();
    if (!w) return {};
    return edtest::grab(display, w, kWidth, kHeight);
}

Picture ScreenEditor::shot(const Area& area) const { return crop(shot(), area); }

bool ScreenEditor::waitUntil(const std::function<bool()>& condition, int timeoutMs) {
    return waitFor(
        condition, [this] { idle(); }, timeoutMs);
}

bool ScreenEditor::waitForPage(int page, int timeoutMs) {
    return waitUntil(
        [&] {
            const Picture shown = shot();
            return freeAreaShare(shown, background, page - 1) > 0.99 &&
                   freeAreaShare(shown, background, 2 - page) < 0.9;
        },
        timeoutMs);
}

bool ScreenEditor::waitForChange(const Area& area, const Picture& from, int timeoutMs) {
    return waitUntil([&] { return differingPixels(shot(area), from) > 0; }, timeoutMs);
}

bool ScreenEditor::waitForPicture(const Area& area, const Picture& expected, int timeoutMs) {
    return waitUntil([&] { return differingPixels(shot(area), expected) == 0; }, timeoutMs);
}

bool ScreenEditor::waitForStill(int timeoutMs) {
    Picture last;
    int same = 0;
    return waitUntil(
        [&] {
            Picture now = shot();
            same = (!now.empty() && differingPixels(now, last) == 0) ? same + 1 : 0;
            last = std::move(now);
            return same >= 4;
        },
        timeoutMs);
}

// ---------------------------------------------------------------------------

EditorSession::EditorSession(Display* display, const Picture& background, const std::string& product)
    : ScreenEditor(display, background), host(std::make_unique<qtest::PluginHost>(qtest::pluginPath())) {
    host->product = product;
}

EditorSession::~EditorSession() {
    if (host && host->effect()) {
        closeEditor();
        host->close();
    }
    host.reset();
}

bool EditorSession::start(double sampleRate) {
    if (!host->loaded()) return false;
    host->sampleRate = sampleRate;
    if (!host->create()) return false;
    host->dispatch(effOpen);
    host->dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    host->dispatch(effSetBlockSize, 0, 512);
    host->dispatch(effMainsChanged, 0, 1);
    return true;
}

std::string EditorSession::open(int x, int y) {
    if (!host->effect()) return "the plug-in was not created";
    if (!(host->effect()->flags & effFlagsHasEditor)) return "the plug-in has no editor";
    ERect* rect = nullptr;
    if (host->dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect) return "effEditGetRect failed";
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    if (rect->top != 0 || rect->left != 0 || width != kWidth || height != kHeight) {
        char text[96];
        std::snprintf(text, sizeof(text), "effEditGetRect gave %d,%d,%d,%d", rect->top, rect->left, rect->bottom,
                      rect->right);
        return text;
    }
    makeParent(x, y, width, height);
    if (host->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 1) return "effEditOpen refused";
    return "";
}

void EditorSession::closeEditor() {
    if (host && host->effect()) host->dispatch(effEditClose);
}

void EditorSession::idle() {
    if (host && host->effect()) host->dispatch(effEditIdle);
}

float EditorSession::parameter(int index) const {
    AEffect* e = host->effect();
    return e->getParameter(e, index);
}

void EditorSession::setParameter(int index, float value) const {
    AEffect* e = host->effect();
    e->setParameter(e, index, value);
}

// ---------------------------------------------------------------------------

std::vector<qtest::HostCall> editCalls(const std::vector<qtest::HostCall>& calls) {
    std::vector<qtest::HostCall> edits;
    for (const qtest::HostCall& c : calls)
        if (c.opcode == audioMasterAutomate || c.opcode == audioMasterBeginEdit || c.opcode == audioMasterEndEdit)
            edits.push_back(c);
    return edits;
}

std::string describe(const std::vector<qtest::HostCall>& calls) {
    std::string text;
    char item[64];
    for (const qtest::HostCall& c : calls) {
        if (c.opcode == audioMasterBeginEdit)
            std::snprintf(item, sizeof(item), "begin(%d) ", c.index);
        else if (c.opcode == audioMasterEndEdit)
            std::snprintf(item, sizeof(item), "end(%d) ", c.index);
        else if (c.opcode == audioMasterAutomate)
            std::snprintf(item, sizeof(item), "automate(%d)=%g ", c.index, c.opt);
        else
            std::snprintf(item, sizeof(item), "op%d(%d) ", c.opcode, c.index);
        text += item;
    }
    return text.empty() ? "(none)" : text;
}

bool isOneGesture(const std::vector<qtest::HostCall>& edits, int index) {
    if (edits.size() < 3) return false;
    if (edits.front().opcode != audioMasterBeginEdit || edits.back().opcode != audioMasterEndEdit) return false;
    for (size_t i = 1; i + 1 < edits.size(); ++i)
        if (edits[i].opcode != audioMasterAutomate) return false;
    for (const qtest::HostCall& c : edits)
        if (c.index != index) return false;
    return true;
}

}  // namespace e2e
