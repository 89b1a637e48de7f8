// The bundle's binary: the stereo and the mono plug-in and their UI.
#include "lv2/Lv2Instance.h"
#include "lv2/Lv2Ui.h"

#include <lv2/core/lv2.h>

namespace qolm_lv2 {

namespace {

QOLM_HOST_ENTRY LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                                       const LV2_Feature* const*);

QOLM_HOST_ENTRY void connect(LV2_Handle handle, uint32_t port, void* data) {
    static_cast<Instance*>(handle)->connect(port, data);
}
QOLM_HOST_ENTRY void activate(LV2_Handle handle) { static_cast<Instance*>(handle)->activate(); }
QOLM_HOST_ENTRY void run(LV2_Handle handle, uint32_t frames) { static_cast<Instance*>(handle)->run(frames); }
QOLM_HOST_ENTRY void deactivate(LV2_Handle handle) { static_cast<Instance*>(handle)->deactivate(); }
QOLM_HOST_ENTRY void cleanup(LV2_Handle handle) { delete static_cast<Instance*>(handle); }
QOLM_HOST_ENTRY const void* extensionData(const char*) { return nullptr; }

const LV2_Descriptor kStereo = {kStereoUri, instantiate, connect, activate, run, deactivate, cleanup, extensionData};
const LV2_Descriptor kMono = {kMonoUri, instantiate, connect, activate, run, deactivate, cleanup, extensionData};

QOLM_HOST_ENTRY LV2_Handle instantiate(const LV2_Descriptor* descriptor, double sampleRate, const char*,
                                       const LV2_Feature* const*) {
    return Instance::create(sampleRate, descriptor == &kMono ? 1 : 2);
}

}  // namespace

}  // namespace qolm_lv2

extern "C" {
LV2_SYMBOL_EXPORT QOLM_HOST_ENTRY const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    switch (index) {
    case 0:
        return &qolm_lv2::kStereo;
    case 1:
        return &qolm_lv2::kMono;
    default:
        return nullptr;
    }
}

LV2_SYMBOL_EXPORT QOLM_HOST_ENTRY const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return qolm_lv2::uiDescriptor(index);
}
}
