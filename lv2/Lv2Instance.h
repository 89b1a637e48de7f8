// One LV2 plug-in instance: the effect made by the plug-in's factory, driven
// through its VST 2.4 record exactly as a VST host drives it, with a host
// callback that answers from the LV2 host's data. The record's `user` field
// (the host's own) leads the callback back here.
#pragma once

#include "host/VstTypes.h"
#include "lv2/Lv2Ports.h"

#include <atomic>
#include <cstdint>

class AudioEffect;

namespace VRAX {
class ZEffect;
class ZEffectParameter;
}  // namespace VRAX

namespace qolm_lv2 {

// What the editor's window thread tells the UI about one parameter: the
// latest value it wrote and how many gestures began and ended. Written by
// the window thread, read by the UI's idle callback and by run.
struct ParameterLink {
    enum Gesture : int { kFree = 0, kHeld = 1, kReleased = 2 };

    std::atomic<double> value{0.0};  // normalised
    std::atomic<uint32_t> writes{0};
    std::atomic<uint32_t> begins{0};
    std::atomic<uint32_t> ends{0};
    // While the editor's knob is held, and after release until the host's
    // port shows the last value the UI wrote, run keeps the port's older
    // values (still on their way from the UI) off the effect: the knob moves
    // on from the stored value, and a stale one would pull it back.
    std::atomic<int> gesture{kFree};
    std::atomic<float> releasedValue{0.0f};
};

class Instance {
public:
    // Blocks longer than this are processed in slices of it, so that the
    // effect's work area is sized once, before the first run.
    static constexpr uint32_t kSlice = 512;

    // Null when the effect cannot be made or does not fit the port layout.
    static Instance* create(double sampleRate, uint32_t channels);
    // The instance behind a handle, or null when it is not one of ours.
    static Instance* fromHandle(void* handle);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    void connect(uint32_t port, void* data);
    void activate();
    void deactivate();
    void run(uint32_t frames);

    AEffect* record() const { return effect; }
    uint32_t channels() const { return channelCount; }
    const VRAX::ZEffectParameter* parameter(uint32_t index) const;
    ParameterLink& link(uint32_t index) { return links[index]; }

    // The name the editor shows for the host.
    const char* hostName() const { return host; }

private:
    Instance() = default;
    static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                  float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    // True when a control port gave the effect a new value.
    bool applyControls(uint32_t frames);
    void setEffectBypass(bool on);
    void processSlice(uint32_t offset, uint32_t frames, float& peak);

    uint32_t magic = 0;
    AudioEffect* object = nullptr;
    AEffect* effect = nullptr;
    VRAX::ZEffect* framework = nullptr;
    uint32_t channelCount = 2;
    double rate = 0.0;
    char host[64] = {};

    const float* controls[kParameterPorts] = {};
    const float* enabled = nullptr;
    float* peakOut = nullptr;
    float* latencyOut = nullptr;
    const float* inputs[2] = {};
    float* outputs[2] = {};

    float lastSeen[kParameterPorts] = {};
    double releasedFrames[kParameterPorts] = {};  // run's count while a gesture is kReleased
    bool seenAny[kParameterPorts] = {};
    bool freshStart = true;  // the first run after activate sets without gliding
    bool wantBypass = false;
    bool effectBypassed = false;
    double wet = 1.0;  // 1 = the effect's output, 0 = the input

    ParameterLink links[kParameterPorts];

    float silence[kSlice] = {};
    float discard[2][kSlice] = {};
    float dry[2][kSlice] = {};
};

}  // namespace qolm_lv2
