#include "host/AudioEffect.h"
#include "host/PluginFactory.h"

#include <new>

namespace {
AEffect* entry(audioMasterCallback audioMaster) {
    // A host that does not even answer the version query is too old for us.
    if (!audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f)) return nullptr;
    AudioEffect* effect = nullptr;
    try {
        effect = createEffectInstance(audioMaster);
    } catch (...) {
        effect = nullptr;
    }
    if (!effect) return nullptr;
    return effect->getAeffect();
}
}  // namespace

extern "C" {
__attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}

// Older Linux hosts look the entry point up under this name.
__attribute__((visibility("default"))) AEffect* main_plugin(audioMasterCallback audioMaster) __asm__("main");
__attribute__((visibility("default"))) AEffect* main_plugin(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}
}
