// What the editor stress tests share: a plug-in instance with a parent
// window of the host's and an audio thread of its own, and gestures sent to
// the editor's window as the X server would deliver them.
#pragma once

#include "editor/XTestSupport.h"
#include "plugin_abuse/AbuseSupport.h"

#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

namespace stress {

// Growth of the resident size allowed over many cycles after a warm-up: a
// leak of a few kilobytes per cycle shows as more.
constexpr long kRssToleranceKb = 1024;

// Longest wait for an editor to show its picture: generous, since a loaded
// two-core machine drawing eight editors with a software renderer is slow,
// and the wait ends as soon as the picture is there.
constexpr int kDrawMs = 60000;

// Under qemu-user everything, the GL driver included, runs ten to twenty
// times slower: the cycle counts of the stress tests shrink there, the
// assertions stay.
inline int cycles(int native) { return abuse::emulated() ? native / 10 : native; }


constexpr int kWidth = 285;
constexpr int kHeight = 195;

// Processes stereo noise in 256-frame blocks at about real-time pace, as a
// host's audio thread does, and automates the parameters between blocks.
class AudioThread {
public:
    ~AudioThread() { stop(); }

    void start(AEffect* effect, uint32_t seed) {
        stop();
        running = true;
        worker = std::thread([this, effect, seed] { loop(effect, seed); });
    }
    void stop() {
        running = false;
        if (worker.joinable()) worker.join();
    }
    long blocks() const { return processed.load(); }
    long badBlocks() const { return nonFinite.load(); }

private:
    void loop(AEffect* effect, uint32_t seed) {
        constexpr size_t kFrames = 256;
        const abuse::Channels noise = abuse::noiseChannels(2, kFrames * 8, seed);
        abuse::Block<float> block(2, 2, kFrames);
        abuse::Block<double> doubles(2, 2, kFrames);
        for (long n = 0; running.load(); ++n) {
            const size_t offset = static_cast<size_t>(n % 8) * kFrames;
            if (n % 5 == 4) {
                doubles.fill(noise, offset);
                doubles.run(effect);
                if (doubles.firstNonFinite() >= 0) ++nonFinite;
            } else {
                block.fill(noise, offset);
                block.run(effect);
                if (block.firstNonFinite() >= 0) ++nonFinite;
            }
            if (n % 16 == 0) {
                const VstInt32 index = static_cast<VstInt32>((n / 16) % 3);
                effect->setParameter(effect, index, static_cast<float>((n / 48) % 11) / 10.0f);
            }
            ++processed;
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
    }

    std::thread worker;
    std::atomic<bool> running{false};
    std::atomic<long> processed{0};
    std::atomic<long> nonFinite{0};
};

// One plug-in as a host holds it: the library's instance, the window the
// host gives the editor, and the audio thread.
struct Instance {
    Instance(Display* display, int x, int y) : display(display) {
        effect = abuse::start(host);
        if (effect) parent = edtest::makeParent(display, kWidth, kHeight, x, y);
    }
    ~Instance() {
        audio.stop();
        if (effect) host.close();
        if (parent) XDestroyWindow(display, parent);
        XSync(display, False);
    }
    bool open() { return host.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) == 1; }
    void close() { host.dispatch(effEditClose); }
    Window editorWindow() const {
        std::vector<Window> kids = edtest::childrenOf(display, parent);
        return kids.size() == 1 ? kids[0] : 0;
    }
    // The editor's window shows a picture: a black or blank window has one
    // colour, the skin dozens.
    bool drawn() {
        host.dispatch(effEditIdle);
        const Window w = editorWindow();
        if (!w) return false;
        const edtest::Picture shown = edtest::grab(display, w, kWidth, kHeight);
        if (shown.empty()) return false;
        int distinct = 0;
        edtest::Rgb last{-1, -1, -1};
        for (int x = 0; x < kWidth && distinct < 8; ++x) {
            const edtest::Rgb c = shown.at(x, 125);
            if (c.r != last.r || c.g != last.g || c.b != last.b) ++distinct;
            last = c;
        }
        return distinct >= 8;
    }
    bool waitDrawn(int timeoutMs = kDrawMs) {
        return edtest::waitFor([&] { return drawn(); }, timeoutMs);
    }

    Display* display;
    qtest::PluginHost host;
    AEffect* effect = nullptr;
    Window parent = 0;
    AudioThread audio;
};

// Button and motion events sent to the editor's window.
inline void sendButton(Display* display, Window window, int type, int x, int y, unsigned state = 0) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.window = window;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.state = state;
    event.xbutton.button = Button1;
    event.xbutton.same_screen = True;
    XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
}

inline void sendMotion(Display* display, Window window, int x, int y) {
    XEvent event{};
    event.xmotion.type = MotionNotify;
    event.xmotion.window = window;
    event.xmotion.x = x;
    event.xmotion.y = y;
    event.xmotion.state = Button1Mask;
    event.xmotion.same_screen = True;
    XSendEvent(display, window, False, PointerMotionMask, &event);
}

// Page 1's knobs, the peak display (a click resets the peak) and the page
// tabs. Nothing here touches page 2's links, which would start a browser.
struct Point {
    int x, y;
};
constexpr Point kKnobs[] = {{55, 125}, {150, 125}, {225, 125}};
constexpr Point kPeak{172, 42};
constexpr Point kMainTab{200, 10};
constexpr Point kInfoTab{255, 10};

inline void click(Display* display, Window window, Point p) {
    sendButton(display, window, ButtonPress, p.x, p.y);
    sendButton(display, window, ButtonRelease, p.x, p.y);
    XFlush(display);
}

// Drags a knob by dy pixels in a few steps, as a user turns it.
inline void dragKnob(Display* display, Window window, Point knob, int dy) {
    sendButton(display, window, ButtonPress, knob.x, knob.y);
    for (int step = 1; step <= 4; ++step) sendMotion(display, window, knob.x, knob.y - dy * step / 4);
    sendButton(display, window, ButtonRelease, knob.x, knob.y - dy);
    XFlush(display);
}

}  // namespace stress
