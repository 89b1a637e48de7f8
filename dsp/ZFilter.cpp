#include "dsp/ZFilter.h"

#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"

#include <atomic>
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
    ZEffect::setSampleRate(rate);
    // filter processing goes here: gain, cut off and res ramps over 0.02 s,
    // the section's sample rate, and the coefficient update interval.
    resetState();
}

void ZFilter::resetState() {
    // filter processing goes here: clear the section and the update counter.
    storePeak(peak, 0.0);
    applyParameters(true);
}

void ZFilter::applyParameters(bool jump) {
    (void)jump;
    const double gainDb = getRealValue(kGain);
    const double cutOffHz = getRealValue(kCutOff);
    const double res = getRealValue(kRes) * 0.01;
    // filter processing goes here: these become the ramps' targets.
    (void)gainDb;
    (void)cutOffHz;
    (void)res;
    notifyEditor();
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
    const double before = loadPeak(peak);
    double level = before;
    for (int32_t i = 0; i < frames; ++i) {
        // Both inputs are read before anything is written: hosts may process in place.
        const double xL = inLeft[i];
        const double xR = stereoIn ? inRight[i] : xL;
        // filter processing goes here: ramps, the biquad section and the gain;
        // until then every result passes through at unity gain.
        const double yL = xL;
        const double yR = stereoIn ? xR : yL;
        mapChannels(stereoIn, stereoOut, yL, yR, &outLeft[i], &outRight[i]);
        const double absLeft = std::fabs(outLeft[i]);
        if (absLeft > level) level = absLeft;
        if (stereoOut) {
            const double absRight = std::fabs(outRight[i]);
            if (absRight > level) level = absRight;
        }
    }
    // A PeakReset from the window thread during the block may be overwritten
    // by this block's level; the next reset clears it again.
    if (level != before) {
        storePeak(peak, level);
        notifyEditor();
    }
}

}  // namespace VRAX
