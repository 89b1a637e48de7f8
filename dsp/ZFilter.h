// The high-pass effect: "Gain", "Cut Off" and "Res" over ten programs, a
// running output peak published as the "Peak" feature and cleared by the
// "PeakReset" command. Every parameter change glides: a sweep across a
// parameter's whole range takes 0.02 s, a smaller change proportionally less.
#pragma once

#include "dsp/BiquadSection.h"
#include "dsp/LinearRamp.h"
#include "dsp/RatioRamp.h"
#include "framework/ZEffect.h"

#include <atomic>
#include <cstdint>

namespace VRAX {

class ZFilter : public ZEffect {
public:
    static constexpr int32_t kNumPrograms = 10;
    static constexpr int32_t kNumParams = 3;
    enum ParameterIndex : int32_t { kGain = 0, kCutOff = 1, kRes = 2 };
    enum CommandIndex : int32_t { kPeakReset = 0 };

    // Glide ranges and time: a change by these factors (or span) takes kGlideTime.
    static constexpr double kGainRatio = 15.848931924611142;  // 10^1.2, the whole 24 dB
    static constexpr double kCutOffRatio = 1000.0;            // 20000 Hz / 20 Hz
    static constexpr double kResSpan = 1.0;
    static constexpr double kGlideTime = 0.02;
    // Coefficients follow a glide about every half millisecond.
    static constexpr double kUpdateTime = 0.0005;
    // The rate used until a host gives a usable one.
    static constexpr double kFallbackRate = 44100.0;

    explicit ZFilter(audioMasterCallback audioMaster);
    ~ZFilter() override;

    // A rate that is not a positive finite number (hosts send 0 before they
    // are configured) keeps the previous rate, 44100 Hz at first; the filter
    // is reset as for any other rate.
    void setSampleRate(float rate) override;
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }
    VstInt32 canDo(char* text) override;

    const char* platformText() override;

    void executeCommand(int32_t index, bool shift, bool ctrl) override;
    void resetState() override;
    bool isIoConfigSupported(int32_t inputs, int32_t outputs) override;
    // Takes the current program's values as the glides' targets. A value the
    // filter cannot use (not finite, or not positive for gain and cut off)
    // keeps the glide's previous target; Res is held within 0 to 100 %,
    // beyond which the section would turn unstable.
    void applyParameters(bool jump) override;
    void processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                      int32_t frames) override;
    // Runs the frame loop on the host's floats directly: the same results as
    // through ZEffect's double work area, without its passes over the block.
    // An effect derived from ZFilter that routes channels around
    // processBlock does the same around this one.
    void processBlockFloat(float** inputs, int32_t numInputs, float** outputs, int32_t numOutputs,
                           int32_t frames) override;
    // The frame loop has ZEffect's mapping inlined, so it cannot be changed
    // here; an effect built on ZFilter that routes channels otherwise does so
    // around processBlock.
    void mapChannels(bool stereoIn, bool stereoOut, double left, double right, double* leftOut,
                     double* rightOut) final {
        ZEffect::mapChannels(stereoIn, stereoOut, left, right, leftOut, rightOut);
    }

    double getPeak() const;

    // Read-only views for inspection; the audio thread owns what they show.
    const BiquadSection& getSection() const { return section; }
    const RatioRamp& getGainRamp() const { return gainRamp; }
    const RatioRamp& getCutOffRamp() const { return cutOffRamp; }
    const LinearRamp& getResRamp() const { return resRamp; }
    bool isRamping() const { return ramping.load(); }
    int32_t getInterval() const { return interval; }

protected:
    RatioRamp gainRamp;    // linear gain factor, 10^(dB/20)
    RatioRamp cutOffRamp;  // Hz
    LinearRamp resRamp;    // 0 to 1
    // True while a glide may still move or a final coefficient update is due.
    // Set by whichever thread changes a parameter, cleared by the audio thread.
    std::atomic<bool> ramping{false};
    BiquadSection section;
    // Largest absolute output sample since the last reset (linear). The audio
    // thread raises it while the editor's window thread reads it through the
    // "Peak" feature and clears it with "PeakReset": it is a plain double so
    // that the feature publishes a double, aligned to 8 bytes (also in the
    // 32-bit build, where a double member would otherwise be 4-aligned) and
    // always read and written whole through std::atomic_ref.
    alignas(8) double peak = 0.0;
    int32_t counter = 0;   // frames since the last coefficient update while ramping
    int32_t interval = 1;  // frames between coefficient updates while ramping

private:
    // Frames from..frames with the section's state in locals and ZEffect's
    // own channel mapping inlined; with kGlides, stepping the glides and
    // redesigning as they move, up to the frame on which they all arrive.
    // Returns the frame after the last one run; raises level to the peak.
    template <typename Sample, bool kStereoIn, bool kStereoOut, bool kGlides>
    int32_t runFrames(const Sample* inLeft, const Sample* inRight, Sample* outLeft, Sample* outRight, int32_t from,
                      int32_t frames, double& level);
    template <typename Sample, bool kStereoIn, bool kStereoOut>
    double runBlock(const Sample* inLeft, const Sample* inRight, Sample* outLeft, Sample* outRight, int32_t frames,
                    double level);
    // processBlock for either sample type; false, having done nothing, when
    // the block has no frames or lacks a channel it would use.
    template <typename Sample>
    bool runChannels(Sample** inputs, int32_t numInputs, Sample** outputs, int32_t numOutputs, int32_t frames);
};

}  // namespace VRAX
