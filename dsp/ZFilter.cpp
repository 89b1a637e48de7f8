#include "dsp/ZFilter.h"

#include "framework/DetMath.h"
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>

namespace VRAX {

namespace {

double loadPeak(const double& value) {
    return std::atomic_ref<double>(const_cast<double&>(value)).load(std::memory_order_relaxed);
}

void storePeak(double& value, double level) {
    std::atomic_ref<double>(value).store(level, std::memory_order_relaxed);
}

struct CapabilityAnswer {
    const char* text;
    VstInt32 answer;
};

const CapabilityAnswer kCapabilities[] = {
    {"sendVstEvents", -1},      {"sendVstMidiEvent", -1},   {"sendVstTimeInfo", -1},
    {"receiveVstEvents", -1},   {"receiveVstMidiEvent", -1}, {"receiveVstTimeInfo", -1},
    {"offline", -1},            {"plugAsChannelInsert", 1}, {"plugAsSend", 1},
    {"midiProgramNames", -1},   {"bypass", 1},
};

// Ratio ramps move by factors: they need a positive finite value.
double usableRatio(double value, double previous, double fallback) {
    if (std::isfinite(value) && value > 0.0) return value;
    if (std::isfinite(previous) && previous > 0.0) return previous;
    return fallback;
}

double usableRes(double value, double previous) {
    if (!std::isfinite(value)) return std::isfinite(previous) ? previous : 0.0;
    // Only a stored value outside 0..1 gets here out of range; past about
    // 1.16 the section's damping turns negative and the output runs away.
    return std::clamp(value, 0.0, 1.0);
}

// A stored Gain far outside 0..1 (a host's setParameter(0, 40), a damaged
// chunk) would ask for factors beyond what float output can hold: the filter
// keeps to the parameter's own range. Values that are not finite pass
// through, so that usableRatio keeps the previous target for them.
double gainFactor(double decibels) {
    if (std::isfinite(decibels)) decibels = std::clamp(decibels, -12.0, 12.0);
    return detmath::pow(10.0, 0.05 * decibels);
}

}  // namespace

ZFilter::ZFilter(audioMasterCallback audioMaster) : ZEffect(audioMaster, kNumPrograms, kNumParams, 2, 2) {
    setUniqueID(vstFourCC('K', 'p', '4', 'w'));
    canProcessReplacing(true);
    canDoubleReplacing(true);

    parameters.resize(kNumParams);
    auto* gain = new ZRangeParam("Gain", -12.0, 12.0, 240, "dB", 1);
    gain->setDefault(0.5);
    parameters.set(kGain, gain);
    auto* cutOff = new ZLogRangeParam("Cut Off", 20.0, 20000.0, "Hz", 0);
    cutOff->setDefaultReal(20.0);
    parameters.set(kCutOff, cutOff);
    auto* res = new ZRangeParam("Res", 0.0, 100.0, 100, "%", 0);
    res->setDefault(0.0);
    parameters.set(kRes, res);

    programs.setUp(kNumPrograms, &parameters);
    loadPresetFile("QolmPreset.txt");

    features.add(new ZTypedFeature<double>("Peak", &peak));
    commands.add(new ZEffectCommand("PeakReset", kPeakReset));

    updateSampleRate();
    setSampleRate(getSampleRate());
}

ZFilter::~ZFilter() {
    // The editor's window thread may still be using our parameters and the
    // peak: stop it while the whole effect is alive.
    releaseEditor();
}

const char* ZFilter::platformText() {
#if defined(QOLM_PLATFORM_BITS) && QOLM_PLATFORM_BITS == 32
    return "Linux32";
#else
    return "Linux64";
#endif
}

VstInt32 ZFilter::canDo(char* text) {
    if (!text) return 0;
    for (const CapabilityAnswer& entry : kCapabilities)
        if (std::strcmp(text, entry.text) == 0) return entry.answer;
    return ZEffect::canDo(text);
}

bool ZFilter::isIoConfigSupported(int32_t inputs, int32_t outputs) {
    return inputs >= 1 && inputs <= 2 && outputs >= 1 && outputs <= 2;
}

void ZFilter::executeCommand(int32_t index, bool, bool) {
    if (index == kPeakReset) storePeak(peak, 0.0);
}

double ZFilter::getPeak() const { return loadPeak(peak); }

void ZFilter::setSampleRate(float rate) {
    double fs = rate;
    if (!(std::isfinite(fs) && fs > 0.0)) fs = section.sampleRate > 0.0 ? section.sampleRate : kFallbackRate;
    ZEffect::setSampleRate(static_cast<float>(fs));
    fs = getSampleRate();

    gainRamp.setSampleRate(fs, kGainRatio, kGlideTime,
                           usableRatio(gainFactor(getRealValue(kGain)), gainRamp.target.load(), 1.0));
    cutOffRamp.setSampleRate(fs, kCutOffRatio, kGlideTime,
                             usableRatio(getRealValue(kCutOff), cutOffRamp.target.load(), 20.0));
    resRamp.setSampleRate(fs, kResSpan, kGlideTime, usableRes(getRealValue(kRes) * 0.01, resRamp.target.load()));
    section.setSampleRate(fs);
    // Saturates for absurd rates rather than overflowing.
    const double updateFrames = fs * kUpdateTime;
    interval = updateFrames < 2147483646.0 ? static_cast<int32_t>(updateFrames) + 1 : INT32_MAX;
    resetState();
}

void ZFilter::resetState() {
    section.clear();
    counter = 0;
    storePeak(peak, 0.0);
    applyParameters(true);
}

void ZFilter::applyParameters(bool jump) {
    const double gain = usableRatio(gainFactor(getRealValue(kGain)), gainRamp.target.load(), 1.0);
    const double cutOff = usableRatio(getRealValue(kCutOff), cutOffRamp.target.load(), 20.0);
    const double res = usableRes(getRealValue(kRes) * 0.01, resRamp.target.load());
    gainRamp.setTarget(gain, jump);
    cutOffRamp.setTarget(cutOff, jump);
    resRamp.setTarget(res, jump);
    if (jump) section.setHighPass(cutOffRamp.current, resRamp.current);
    // After the targets: the audio thread re-checks the settled flags when it
    // clears this, so the two orders together never lose a change.
    ramping.store(true);
    notifyEditor();
}

inline bool ZFilter::moveRamps() {
    gainRamp.step();
    cutOffRamp.step();
    resRamp.step();
    ++counter;
    if (gainRamp.settled.load(std::memory_order_acquire) && cutOffRamp.settled.load(std::memory_order_acquire) &&
        resRamp.settled.load(std::memory_order_acquire)) {
        section.setHighPass(cutOffRamp.current, resRamp.current);
        counter = 0;
        ramping.store(false);
        // Another thread may have given new targets since the flags were
        // read; it raised `ramping` before or after our store, and in the
        // first case its unsettled flag shows here.
        if (!gainRamp.settled.load() || !cutOffRamp.settled.load() || !resRamp.settled.load()) ramping.store(true);
        return true;
    }
    if (counter >= interval) {
        section.setHighPass(cutOffRamp.current, resRamp.current);
        counter = 0;
        return true;
    }
    return false;
}

template <bool kStereoIn, bool kStereoOut>
double ZFilter::runFrames(const double* inLeft, const double* inRight, double* outLeft, double* outRight,
                          int32_t frames, double level) {
    // The host's buffers might, as far as the compiler knows, overlap our
    // members: with the recurrence's state in locals it stays in registers.
    BiquadSection::Coefficients k = section.coefficients();
    double x1L = section.x1L, x2L = section.x2L, y1L = section.y1L, y2L = section.y2L;
    double x1R = section.x1R, x2R = section.x2R, y1R = section.y1R, y2R = section.y2R;
    for (int32_t i = 0; i < frames; ++i) {
        const double xL = inLeft[i];
        const double xR = kStereoIn ? inRight[i] : xL;
        if (ramping.load(std::memory_order_acquire) && moveRamps()) k = section.coefficients();
        const bool bypass = bypassed.load(std::memory_order_relaxed);
        const double gain = gainRamp.current;

        const double yL = BiquadSection::tick(k, xL, x1L, x2L, y1L, y2L);
        const double left = bypass ? xL : gain * yL;
        double right = left;
        if constexpr (kStereoIn) {
            const double yR = BiquadSection::tick(k, xR, x1R, x2R, y1R, y2R);
            right = bypass ? xR : gain * yR;
        }

        // ZEffect's mapChannels, which ZFilter keeps (it is final here).
        if constexpr (kStereoIn && !kStereoOut) {
            outLeft[i] = (left + right) * 0.5;
        } else {
            outLeft[i] = left;
            if constexpr (kStereoOut) outRight[i] = right;
        }
        // Measured from what the outputs now hold.
        const double absLeft = std::fabs(outLeft[i]);
        if (absLeft > level) level = absLeft;
        if constexpr (kStereoOut) {
            const double absRight = std::fabs(outRight[i]);
            if (absRight > level) level = absRight;
        }
    }
    section.x1L = x1L, section.x2L = x2L, section.y1L = y1L, section.y2L = y2L;
    section.outLeft = y1L;
    if constexpr (kStereoIn) {
        section.x1R = x1R, section.x2R = x2R, section.y1R = y1R, section.y2R = y2R;
        section.outRight = y1R;
    }
    return level;
}

void ZFilter::processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                           int32_t frames) {
    if (frames <= 0 || numInputs < 1 || numOutputs < 1 || !inputs || !outputs) return;
    const bool stereoIn = numInputs >= 2;
    const bool stereoOut = numOutputs >= 2;
    const double* inLeft = inputs[0];
    const double* inRight = stereoIn ? inputs[1] : inputs[0];
    double* outLeft = outputs[0];
    double* outRight = stereoOut ? outputs[1] : outputs[0];
    if (!inLeft || !inRight || !outLeft || !outRight) return;

    const double before = loadPeak(peak);
    double level = before;
    if (stereoIn && stereoOut)
        level = runFrames<true, true>(inLeft, inRight, outLeft, outRight, frames, level);
    else if (stereoIn)
        level = runFrames<true, false>(inLeft, inRight, outLeft, outRight, frames, level);
    else if (stereoOut)
        level = runFrames<false, true>(inLeft, inRight, outLeft, outRight, frames, level);
    else
        level = runFrames<false, false>(inLeft, inRight, outLeft, outRight, frames, level);
    // A PeakReset from the window thread during the block may be overwritten
    // by this block's level; the next reset clears it again. A NaN peak
    // compares unequal and is reported.
    if (!(level == before)) {
        storePeak(peak, level);
        notifyEditor();
    }
}

}  // namespace VRAX
