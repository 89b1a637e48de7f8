// One plug-in instance with its editor open, as a host runs it: Qolm.so
// loaded through its entry point, configured and resumed, a top-level
// window of the size effEditGetRect gives, effEditOpen with that window's
// id, and effEditIdle called while the test waits. Plus the places of the
// embedded skin that the tests press and look at.
#pragma once

#include "editor/PngDecode.h"
#include "editor/XTestSupport.h"
#include "support/PluginHost.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

using edtest::Picture;

struct Area {
    int x, y, w, h;
    int centreX() const { return x + w / 2; }
    int centreY() const { return y + h / 2; }
};

constexpr int kWidth = 285;
constexpr int kHeight = 195;

// Parameter indexes as the host sees them.
constexpr int kGain = 0;
constexpr int kCutOff = 1;
constexpr int kRes = 2;

// The embedded skin's controls.
constexpr Area kMainTab{175, 0, 50, 20};
constexpr Area kInfoTab{230, 0, 50, 20};
constexpr Area kGainKnob{25, 95, 60, 60};
constexpr Area kGainValue{25, 155, 60, 15};
constexpr Area kCutOffKnob{120, 95, 60, 60};
constexpr Area kCutOffValue{120, 155, 60, 15};
constexpr Area kResKnob{195, 95, 60, 60};
constexpr Area kResValue{195, 155, 60, 15};
constexpr Area kClipLamp{165, 35, 15, 15};
constexpr Area kPeakReadout{185, 35, 75, 15};
constexpr Area kTitleLink{0, 0, 150, 55};
constexpr Area kDonateLink{180, 40, 85, 30};
// The four text lines of the information page, top to bottom.
constexpr Area kInfoLines[4] = {{20, 75, 245, 20}, {20, 95, 245, 20}, {20, 120, 215, 20}, {20, 150, 215, 20}};

// Bounded wait: polls every few milliseconds, calling `idle` (if any) before
// each look, until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& condition, const std::function<void()>& idle, int timeoutMs);

// Pictures.
Picture crop(const Picture& picture, const Area& area);
// Pixels whose channels differ by more than `tolerance`; every pixel when the sizes differ.
int differingPixels(const Picture& a, const Picture& b, int tolerance = 0);
// Pixels of the area that stand out from the page's background frame: text and other ink.
int inkPixels(const Picture& shown, const Picture& background, int frame, const Area& area);
// Right-most column of the area with ink, -1 when none.
int inkRightEdge(const Picture& shown, const Picture& background, int frame, const Area& area);
// Share of the parts where no control sits on either page that show the frame.
double freeAreaShare(const Picture& shown, const Picture& background, int frame);
// Bright red pixels: the lit clip lamp.
int redPixels(const Picture& picture);

// The editor of any plug-in on the screen: its parent, its child window,
// what it shows. Used for Qolm.so and for the reference editor the tests
// build in-process.
class ScreenEditor {
public:
    ScreenEditor(Display* display, const Picture& background) : display(display), background(background) {}
    virtual ~ScreenEditor();

    // The top-level window the host gives the editor, at (x, y) of the screen.
    void makeParent(int x, int y, int width = kWidth, int height = kHeight);
    void destroyParent();
    Window parentWindow() const { return parent; }
    // The editor's own window (the parent's only child), 0 while there is none.
    Window window() const;
    // The whole editor window; empty while it is not there.
    Picture shot() const;
    Picture shot(const Area& area) const;
    // Until the window shows the page's background and not the other page's.
    bool waitForPage(int page, int timeoutMs = 10000);
    // Until the condition holds, idling the editor meanwhile.
    bool waitUntil(const std::function<bool()>& condition, int timeoutMs = 10000);
    // Until the area's pixels differ from (or equal) the given picture.
    bool waitForChange(const Area& area, const Picture& from, int timeoutMs = 10000);
    bool waitForPicture(const Area& area, const Picture& expected, int timeoutMs = 10000);
    // Until the window has shown the same picture for a few polls in a row:
    // a pass the window thread has presented may reach the server a moment later.
    bool waitForStill(int timeoutMs = 10000);

    virtual void idle() {}

    Display* const display;
    const Picture& background;

protected:
    Window parent = 0;
};

// Qolm.so, one instance, with the editor opened by the host interface.
class EditorSession : public ScreenEditor {
public:
    EditorSession(Display* display, const Picture& background, const std::string& product = "Host");
    ~EditorSession() override;

    // Loads and creates the plug-in, sets rate and block size and resumes it.
    bool start(double sampleRate = 44100.0);
    // effEditGetRect, a parent of that size at (x, y), effEditOpen with its id.
    // Returns an empty string, or what went wrong.
    std::string open(int x = 0, int y = 0);
    void closeEditor();

    void idle() override;
    float parameter(int index) const;
    void setParameter(int index, float value) const;
    AEffect* effect() const { return host->effect(); }

    std::unique_ptr<qtest::PluginHost> host;
};

// The parameter-edit messages among the host calls (begin edit, automate,
// end edit), in order.
std::vector<qtest::HostCall> editCalls(const std::vector<qtest::HostCall>& calls);
// "begin(1) automate(1)=0.1 end(1)" for a failure message.
std::string describe(const std::vector<qtest::HostCall>& calls);
// True when the calls are one begin edit, one or more automates and one end
// edit, in that order, all for the index.
bool isOneGesture(const std::vector<qtest::HostCall>& edits, int index);

}  // namespace e2e
