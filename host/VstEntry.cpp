#include "host/AudioEffect.h"
#include "host/PluginFactory.h"

#include <dlfcn.h>
#include <new>

namespace __gnu_cxx {
void __freeres();
}

namespace {
// The C++ runtime that the release build links into the library keeps a
// buffer for exceptions thrown under memory pressure, allocated when the
// library is loaded and never freed: a host that loads and unloads the
// plug-in (scanning, closing a project) would lose it every time. It goes
// with the library, but only when it is our own copy of the runtime, never
// the shared one the rest of the process still uses. The loader runs it on
// the stack of the host's dlclose, so it realigns like the entry points.
QOLM_HOST_ENTRY __attribute__((destructor)) void releaseRuntime() {
    Dl_info ours{}, runtime{};
    if (dladdr(reinterpret_cast<void*>(&releaseRuntime), &ours) &&
        dladdr(reinterpret_cast<void*>(&__gnu_cxx::__freeres), &runtime) && ours.dli_fbase == runtime.dli_fbase)
        __gnu_cxx::__freeres();
}

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
QOLM_HOST_ENTRY __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}

// Older Linux hosts look the entry point up under this name.
QOLM_HOST_ENTRY __attribute__((visibility("default"))) AEffect* main_plugin(audioMasterCallback audioMaster)
    __asm__("main");
QOLM_HOST_ENTRY __attribute__((visibility("default"))) AEffect* main_plugin(audioMasterCallback audioMaster) {
    return entry(audioMaster);
}
}
