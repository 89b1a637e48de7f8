// Shared by the filter tests: a host callback with a settable sample rate,
// an editor that counts refreshes, a noise source, and a reference model of
// the effect's per-frame processing built from the sections and ramps.
#pragma once

#include "dsp/BiquadSection.h"
#include "dsp/LinearRamp.h"
#include "dsp/RatioRamp.h"
#include "dsp/ZFilter.h"
#include "framework/ZEditorBase.h"
#include "support/HostStub.h"

#include <atomic>
#include <cmath>
#include <cstdint>
#include <vector>

namespace filtertest {

// The host of every filter these tests make, for the whole run.
inline qtest::HostStub processHost;
// What audioMasterGetSampleRate answers (0: "don't know").
inline std::atomic<VstIntPtr>& hostRate() { return processHost.sampleRate; }
inline constexpr auto& hostCallback = qtest::HostStub::callback;

class CountingEditor : public VRAX::ZEditorBase {
public:
    explicit CountingEditor(VRAX::ZEffect* owner) : ZEditorBase(owner) {}
    void refresh() override { refreshes.fetch_add(1); }
    std::atomic<int> refreshes{0};
};

// Attaches and opens a counting editor; the effect owns it.
inline CountingEditor* openEditor(VRAX::ZEffect& effect) {
    auto* editor = new CountingEditor(&effect);
    effect.setEditor(editor);
    effect.editorOpened();
    return editor;
}

// Uniform noise in -amplitude..amplitude from a fixed LCG.
inline std::vector<double> noise(size_t n, uint32_t seed, double amplitude = 0.5) {
    std::vector<double> v(n);
    for (double& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = amplitude * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
    }
    return v;
}

// The effect's processing written out plainly, one frame at a time, from the
// building blocks, in the effect's order: ramps, counter and coefficient
// update, left half, right half, channel mapping.
struct Model {
    VRAX::RatioRamp gain;
    VRAX::RatioRamp cutOff;
    VRAX::LinearRamp res;
    VRAX::BiquadSection section;
    bool ramping = false;
    int counter = 0;
    int interval = 0;
    bool bypass = false;

    // Targets as the effect derives them from its current program.
    static void targets(const VRAX::ZFilter& f, double& g, double& c, double& r) {
        g = std::pow(10.0, 0.05 * f.getRealValue(VRAX::ZFilter::kGain));
        c = f.getRealValue(VRAX::ZFilter::kCutOff);
        r = f.getRealValue(VRAX::ZFilter::kRes) * 0.01;
    }

    void configure(double fs, const VRAX::ZFilter& f) {
        double g, c, r;
        targets(f, g, c, r);
        gain.setSampleRate(fs, 15.848931924611142, 0.02, g);
        cutOff.setSampleRate(fs, 1000.0, 0.02, c);
        res.setSampleRate(fs, 1.0, 0.02, r);
        section.setSampleRate(fs);
        interval = static_cast<int>(fs * 0.0005) + 1;
        reset(f);
    }
    void reset(const VRAX::ZFilter& f) {
        double g, c, r;
        targets(f, g, c, r);
        section.clear();
        counter = 0;
        gain.setTarget(g, true);
        cutOff.setTarget(c, true);
        res.setTarget(r, true);
        section.setHighPass(cutOff.current, res.current);
        ramping = true;
    }
    void follow(const VRAX::ZFilter& f) {
        double g, c, r;
        targets(f, g, c, r);
        gain.setTarget(g, false);
        cutOff.setTarget(c, false);
        res.setTarget(r, false);
        ramping = true;
    }

    void frame(const double* in, int numIn, double* out, int numOut) {
        const bool stereoIn = numIn >= 2, stereoOut = numOut >= 2;
        const double xL = in[0];
        const double xR = stereoIn ? in[1] : xL;
        if (ramping) {
            gain.step();
            cutOff.step();
            res.step();
            ++counter;
            if (gain.settled && cutOff.settled && res.settled) {
                section.setHighPass(cutOff.current, res.current);
                counter = 0;
                ramping = false;
            } else if (counter == interval) {
                section.setHighPass(cutOff.current, res.current);
                counter = 0;
            }
        }
        section.processLeft(xL);
        const double yL = bypass ? xL : gain.current * section.outLeft;
        double yR = yL;
        if (stereoIn) {
            section.processRight(xR);
            yR = bypass ? xR : gain.current * section.outRight;
        }
        if (stereoIn && !stereoOut) {
            out[0] = (yL + yR) * 0.5;
        } else {
            out[0] = yL;
            if (stereoOut) out[1] = yR;
        }
    }
};

}  // namespace filtertest
