#include "dsp/ZFilter.h"

#include "framework/DetMath.h"
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

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

namespace {

// A ramp's value and target in locals while the frame loop steps it, so that
// nothing goes through memory (or the atomics) frame by frame.
template <typename Ramp>
struct Follower {
    Ramp& ramp;
    const typename Ramp::Move move;
    double value;
    double aim = 0.0;
    bool moves = false;

    explicit Follower(Ramp& r) : ramp(r), move(r.mover()), value(r.current) { look(); }
    // Takes up targets set since the last look.
    void look() {
        moves = ramp.moving();
        if (moves) aim = ramp.aim();
    }
    // One frame, exactly as Ramp::step.
    void step() {
        if (moves && !move(aim, value)) {
            value = aim;
            moves = ramp.arrive(aim);
            if (moves) aim = ramp.aim();
        }
    }
    // One frame into next, unless this one lands (false): landing is step's.
    bool stepsTo(double& next) const {
        next = value;
        return !moves || move(aim, next);
    }
    void store() { ramp.current = value; }
};

}  // namespace

template <typename Sample, bool kStereoIn, bool kStereoOut, bool kGlides>
int32_t ZFilter::runFrames(const Sample* inLeft, const Sample* inRight, Sample* outLeft, Sample* outRight,
                           int32_t from, int32_t frames, double& level) {
    // The host's buffers might, as far as the compiler knows, overlap our
    // members: with the recurrence's state, the glides and the peak in locals
    // they stay in registers. Two channels run side by side in the halves of
    // SSE2 registers, one instruction for both.
    using Pair = BiquadSection::Pair;
    using Bits = std::uint64_t __attribute__((vector_size(16)));
    BiquadSection::Coefficients k = section.coefficients();
    Pair x1 = {section.x1L, section.x1R}, x2 = {section.x2L, section.x2R};
    Pair y1 = {section.y1L, section.y1R}, y2 = {section.y2L, section.y2R};
    double x1L = section.x1L, x2L = section.x2L, y1L = section.y1L, y2L = section.y2L;
    // The peak of each output channel, joined at the end.
    Pair peakLevel = {level, level};
    const Bits magnitude = {~(1ULL << 63), ~(1ULL << 63)};

    const auto frame = [&](int32_t i, double gain) {
        const bool bypass = bypassed.load(std::memory_order_relaxed);
        double left, right;
        if constexpr (kStereoIn) {
            const Pair x = {static_cast<double>(inLeft[i]), static_cast<double>(inRight[i])};
            const Pair y = BiquadSection::tick(k, x, x1, x2, y1, y2);
            const Pair out = bypass ? x : gain * y;
            left = out[0];
            right = out[1];
        } else {
            const double x = inLeft[i];
            // The filter follows the input also while bypassed.
            const double y = BiquadSection::tick(k, x, x1L, x2L, y1L, y2L);
            left = bypass ? x : gain * y;
            right = left;
        }

        // ZEffect's mapChannels, which ZFilter keeps (it is final here).
        if constexpr (kStereoIn && !kStereoOut) left = (left + right) * 0.5;
        outLeft[i] = static_cast<Sample>(left);
        if constexpr (kStereoOut) outRight[i] = static_cast<Sample>(right);
        // Measured from the outputs in double: those the host's buffers now
        // hold (one buffer may serve both), or those that float outputs are
        // rounded from.
        Pair held = {left, kStereoOut ? right : left};
        if constexpr (std::is_same_v<Sample, double>) held = Pair{outLeft[i], outRight[i]};
        const Pair size = std::bit_cast<Pair>(std::bit_cast<Bits>(held) & magnitude);
        peakLevel = size > peakLevel ? size : peakLevel;
    };

    int32_t i = from;
    if constexpr (!kGlides) {
        const double gain = gainRamp.current;
        for (; i < frames; ++i) frame(i, gain);
    } else {
        // Every frame steps the glides; every interval-th, and the one on
        // which the last of them arrives, redesigns the section for itself
        // and the frames after it.
        Follower<RatioRamp> gain(gainRamp);
        Follower<RatioRamp> cutOff(cutOffRamp);
        Follower<LinearRamp> res(resRamp);
        const int32_t every = interval;
        int32_t sinceUpdate = counter;
        while (i < frames) {
            // The frames before the next redesign, as long as no glide
            // lands: the loop without a call keeps everything in registers.
            int32_t plain = every - sinceUpdate - 1;
            if (plain > frames - i) plain = frames - i;
            if (!gain.moves && !cutOff.moves && !res.moves) plain = 0;
            const int32_t plainEnd = i + plain;
            for (; i < plainEnd; ++i) {
                double g, c, r;
                if (!gain.stepsTo(g) || !cutOff.stepsTo(c) || !res.stepsTo(r)) break;
                gain.value = g;
                cutOff.value = c;
                res.value = r;
                frame(i, g);
            }
            sinceUpdate += plain - (plainEnd - i);
            if (i >= frames) break;

            // A frame that redesigns, or on which a glide lands.
            gain.step();
            cutOff.step();
            res.step();
            ++sinceUpdate;
            const bool arrived = !gain.moves && !cutOff.moves && !res.moves;
            bool last = false;
            if (arrived || sinceUpdate >= every) {
                section.setHighPass(cutOff.value, res.value);
                k = section.coefficients();
                sinceUpdate = 0;
                if (arrived) {
                    ramping.store(false);
                    // Another thread may have given new targets since the
                    // flags were read; it raised `ramping` before or after our
                    // store, and in the first case its unsettled flag shows here.
                    if (!gainRamp.settled.load() || !cutOffRamp.settled.load() || !resRamp.settled.load())
                        ramping.store(true);
                    else
                        last = true;
                }
                gain.look();
                cutOff.look();
                res.look();
            }
            frame(i, gain.value);
            ++i;
            if (last) break;
        }
        gain.store();
        cutOff.store();
        res.store();
        counter = sinceUpdate;
    }

    if constexpr (kStereoIn) {
        section.x1L = x1[0], section.x2L = x2[0], section.y1L = y1[0], section.y2L = y2[0];
        section.x1R = x1[1], section.x2R = x2[1], section.y1R = y1[1], section.y2R = y2[1];
        section.outLeft = y1[0];
        section.outRight = y1[1];
    } else {
        section.x1L = x1L, section.x2L = x2L, section.y1L = y1L, section.y2L = y2L;
        section.outLeft = y1L;
    }
    // In frame order the right channel's values came after the left's.
    level = peakLevel[1] > peakLevel[0] ? peakLevel[1] : peakLevel[0];
    return i;
}

template <typename Sample, bool kStereoIn, bool kStereoOut>
double ZFilter::runBlock(const Sample* inLeft, const Sample* inRight, Sample* outLeft, Sample* outRight,
                         int32_t frames, double level) {
    // `ramping` is read once a block: a change from another thread while the
    // block runs is taken up by the next. Once the glides have arrived, the
    // rest of the block runs without them.
    int32_t done = 0;
    if (ramping.load(std::memory_order_acquire))
        done = runFrames<Sample, kStereoIn, kStereoOut, true>(inLeft, inRight, outLeft, outRight, 0, frames, level);
    if (done < frames)
        runFrames<Sample, kStereoIn, kStereoOut, false>(inLeft, inRight, outLeft, outRight, done, frames, level);
    return level;
}

template <typename Sample>
bool ZFilter::runChannels(Sample** inputs, int32_t numInputs, Sample** outputs, int32_t numOutputs,
                          int32_t frames) {
    if (frames <= 0 || numInputs < 1 || numOutputs < 1 || !inputs || !outputs) return false;
    const bool stereoIn = numInputs >= 2;
    const bool stereoOut = numOutputs >= 2;
    const Sample* inLeft = inputs[0];
    const Sample* inRight = stereoIn ? inputs[1] : inputs[0];
    Sample* outLeft = outputs[0];
    Sample* outRight = stereoOut ? outputs[1] : outputs[0];
    if (!inLeft || !inRight || !outLeft || !outRight) return false;

    const double before = loadPeak(peak);
    double level = before;
    if (stereoIn && stereoOut)
        level = runBlock<Sample, true, true>(inLeft, inRight, outLeft, outRight, frames, level);
    else if (stereoIn)
        level = runBlock<Sample, true, false>(inLeft, inRight, outLeft, outRight, frames, level);
    else if (stereoOut)
        level = runBlock<Sample, false, true>(inLeft, inRight, outLeft, outRight, frames, level);
    else
        level = runBlock<Sample, false, false>(inLeft, inRight, outLeft, outRight, frames, level);
    // A PeakReset from the window thread during the block may be overwritten
    // by this block's level; the next reset clears it again. A NaN peak
    // compares unequal and is reported.
    if (!(level == before)) {
        storePeak(peak, level);
        notifyEditor();
    }
    return true;
}

void ZFilter::processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                           int32_t frames) {
    runChannels(inputs, numInputs, outputs, numOutputs, frames);
}

void ZFilter::processBlockFloat(float** inputs, int32_t numInputs, float** outputs, int32_t numOutputs,
                                int32_t frames) {
    // What the frame loop does not take (more than two channels, a missing
    // one, none) goes ZEffect's way, which fills in silence.
    if (numInputs <= 2 && numOutputs <= 2 && runChannels(inputs, numInputs, outputs, numOutputs, frames)) return;
    ZEffect::processBlockFloat(inputs, numInputs, outputs, numOutputs, frames);
}

}  // namespace VRAX
