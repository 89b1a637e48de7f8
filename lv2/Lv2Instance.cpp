#include "lv2/Lv2Instance.h"

#include "framework/ZEffect.h"
#include "host/AudioEffect.h"
#include "host/PluginFactory.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>
#include <strings.h>

namespace qolm_lv2 {

namespace {

constexpr uint32_t kMagic = 0x516f6c6du;  // "Qolm"

// The effect asks for the sample rate while it is being constructed, before
// its record can lead back to us.
thread_local Instance* constructing = nullptr;

// LV2 has no way to ask the host's name; these hosts are told by their
// program's name.
struct KnownHost {
    const char* program;  // prefix, any case
    const char* name;
};
const KnownHost kKnownHosts[] = {
    {"ardour", "Ardour"}, {"jalv", "Jalv"},         {"carla", "Carla"}, {"qtractor", "Qtractor"},
    {"zrythm", "Zrythm"}, {"mod-host", "MOD Host"}, {"lmms", "LMMS"},   {"reaper", "REAPER"},
};

void findHostName(char* out, size_t size) {
    const char* program = program_invocation_short_name;
    const char* name = "LV2 host";
    for (const KnownHost& known : kKnownHosts)
        if (program && strncasecmp(program, known.program, std::strlen(known.program)) == 0) name = known.name;
    std::strncpy(out, name, size - 1);
    out[size - 1] = 0;
}

float peakToDb(float peak) {
    if (!(peak > 0.0f)) return kPeakFloorDb;
    return std::clamp(20.0f * std::log10(peak), kPeakFloorDb, kPeakCeilingDb);
}

}  // namespace

Instance* Instance::create(double sampleRate, uint32_t channels) {
    if (channels < 1 || channels > 2) return nullptr;
    auto* self = new (std::nothrow) Instance();
    if (!self) return nullptr;
    self->magic = kMagic;
    self->channelCount = channels;
    // The effect keeps its own rate for one it cannot use.
    self->rate = std::isfinite(sampleRate) && sampleRate > 0.0 ? sampleRate : 0.0;
    findHostName(self->host, sizeof self->host);

    constructing = self;
    try {
        self->object = createEffectInstance(&Instance::hostCallback);
    } catch (...) {
        self->object = nullptr;
    }
    constructing = nullptr;
    if (!self->object) {
        delete self;
        return nullptr;
    }
    self->effect = self->object->getAeffect();
    self->effect->user = self;
    self->framework = dynamic_cast<VRAX::ZEffect*>(self->object);
    if (!self->framework || self->effect->numParams != static_cast<VstInt32>(kParameterPorts)) {
        delete self;
        return nullptr;
    }

    AEffect* e = self->effect;
    e->dispatcher(e, effOpen, 0, 0, nullptr, 0.0f);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, static_cast<float>(self->rate));
    e->dispatcher(e, effSetBlockSize, 0, kSlice, nullptr, 0.0f);
    if (channels == 1) {
        VstSpeakerArrangement in{}, out{};
        in.numChannels = out.numChannels = 1;
        if (!e->dispatcher(e, effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out, 0.0f)) {
            delete self;
            return nullptr;
        }
    }
    // One block of the largest slice sizes the effect's work area now, so
    // that run never allocates; the suspend afterwards forgets that block.
    float* ins[2] = {self->silence, self->silence};
    float* outs[2] = {self->discard[0], self->discard[1]};
    e->processReplacing(e, ins, outs, kSlice);
    e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.0f);
    return self;
}

Instance* Instance::fromHandle(void* handle) {
    auto* self = static_cast<Instance*>(handle);
    return self && self->magic == kMagic ? self : nullptr;
}

Instance::~Instance() {
    magic = 0;
    // effClose destroys the effect and its editor, as for a VST host.
    if (effect) effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr Instance::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
    Instance* self = effect && effect->user ? static_cast<Instance*>(effect->user) : constructing;
    if (opcode == audioMasterVersion) return kVstVersion;
    return self ? self->answer(opcode, index, value, ptr, opt) : 0;
}

VstIntPtr Instance::answer(VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt) {
    const bool parameterIndex = index >= 0 && index < static_cast<VstInt32>(kParameterPorts);
    switch (opcode) {
    case audioMasterGetSampleRate:
        return static_cast<VstIntPtr>(rate);
    case audioMasterGetBlockSize:
        return kSlice;
    case audioMasterGetProductString:
        if (!ptr) return 0;
        std::strcpy(static_cast<char*>(ptr), host);
        return 1;
    // From the editor's window thread: handed to the UI through the links.
    case audioMasterAutomate:
        if (parameterIndex) {
            links[index].value.store(opt);
            links[index].writes.fetch_add(1);
        }
        return 0;
    case audioMasterBeginEdit:
        if (!parameterIndex) return 0;
        links[index].gesture.store(ParameterLink::kHeld);
        links[index].begins.fetch_add(1);
        return 1;
    case audioMasterEndEdit:
        if (!parameterIndex) return 0;
        links[index].ends.fetch_add(1);
        return 1;
    default:
        return 0;
    }
}

const VRAX::ZEffectParameter* Instance::parameter(uint32_t index) const {
    return framework->getParameterObject(static_cast<int32_t>(index));
}

void Instance::connect(uint32_t port, void* data) {
    if (port < kParameterPorts) {
        controls[port] = static_cast<const float*>(data);
    } else if (port == kEnabledPort) {
        enabled = static_cast<const float*>(data);
    } else if (port == kPeakPort) {
        peakOut = static_cast<float*>(data);
    } else if (port == kLatencyPort) {
        latencyOut = static_cast<float*>(data);
    } else if (port < portCount(channelCount)) {
        const uint32_t slot = port - kFirstAudioPort;
        if (slot < channelCount)
            inputs[slot] = static_cast<const float*>(data);
        else
            outputs[slot - channelCount] = static_cast<float*>(data);
    }
}

void Instance::activate() {
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    // A fresh start takes the bypass switch as it stands, without a fade.
    if (enabled && std::isfinite(*enabled)) wantBypass = *enabled < 0.5f;
    wet = wantBypass ? 0.0 : 1.0;
    freshStart = true;
}

void Instance::deactivate() { effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f); }

bool Instance::applyControls(uint32_t frames) {
    bool changed = false;
    const double effectRate = object->getSampleRate();
    for (uint32_t i = 0; i < kParameterPorts; ++i) {
        ParameterLink& link = links[i];
        // A released gesture whose last value never shows in the port (a
        // host that drops UI writes) frees the port again after half a second.
        if (link.gesture.load() == ParameterLink::kReleased) {
            releasedFrames[i] += frames;
            if (releasedFrames[i] >= effectRate * 0.5) {
                int expected = ParameterLink::kReleased;
                link.gesture.compare_exchange_strong(expected, ParameterLink::kFree);
            }
        } else {
            releasedFrames[i] = 0;
        }

        if (!controls[i]) continue;
        const float value = *controls[i];
        if (!std::isfinite(value)) continue;
        if (seenAny[i] && value == lastSeen[i]) continue;
        seenAny[i] = true;
        lastSeen[i] = value;

        int gesture = link.gesture.load();
        if (gesture == ParameterLink::kHeld) continue;
        if (gesture == ParameterLink::kReleased) {
            if (value == link.releasedValue.load()) link.gesture.compare_exchange_strong(gesture, ParameterLink::kFree);
            continue;
        }
        const float normalised = static_cast<float>(parameter(i)->toNormalised(value));
        effect->setParameter(effect, static_cast<VstInt32>(i), normalised);
        changed = true;
    }
    if (enabled && std::isfinite(*enabled)) wantBypass = *enabled < 0.5f;
    return changed;
}

void Instance::setEffectBypass(bool on) {
    if (on == effectBypassed) return;
    effectBypassed = on;
    effect->dispatcher(effect, effSetBypass, 0, on ? 1 : 0, nullptr, 0.0f);
}

void Instance::processSlice(uint32_t offset, uint32_t frames, float& peak) {
    float* ins[2];
    float* outs[2];
    for (uint32_t c = 0; c < channelCount; ++c) {
        // Unconnected inputs are silence; unconnected outputs go nowhere.
        ins[c] = inputs[c] ? const_cast<float*>(inputs[c]) + offset : silence;
        outs[c] = outputs[c] ? outputs[c] + offset : discard[c];
    }
    const double target = wantBypass ? 0.0 : 1.0;
    const bool fading = wet != target;
    // Settled either way, the effect's own bypass gives the exact input (and
    // the filter keeps following it); only the fade mixes here.
    setEffectBypass(!fading && wantBypass);
    if (fading)
        for (uint32_t c = 0; c < channelCount; ++c) std::memcpy(dry[c], ins[c], sizeof(float) * frames);

    effect->processReplacing(effect, ins, outs, static_cast<VstInt32>(frames));

    if (fading) {
        const double step = 1.0 / (kBypassFadeTime * object->getSampleRate());
        for (uint32_t i = 0; i < frames; ++i) {
            wet = target > wet ? std::min(target, wet + step) : std::max(target, wet - step);
            for (uint32_t c = 0; c < channelCount; ++c)
                outs[c][i] = static_cast<float>(dry[c][i] + wet * (outs[c][i] - dry[c][i]));
        }
    }
    for (uint32_t c = 0; c < channelCount; ++c)
        for (uint32_t i = 0; i < frames; ++i) peak = std::max(peak, std::fabs(outs[c][i]));
}

void Instance::run(uint32_t frames) {
    if (latencyOut) *latencyOut = 0.0f;
    // The values a host sets before its first block are where the effect
    // starts, as a VST host sets parameters before resuming: no glide.
    if (applyControls(frames) && freshStart) {
        effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    freshStart = false;
    float peak = 0.0f;
    for (uint32_t offset = 0; offset < frames; offset += kSlice)
        processSlice(offset, std::min(kSlice, frames - offset), peak);
    if (peakOut) *peakOut = peakToDb(peak);
}

}  // namespace qolm_lv2
