#include "HostLoader.h"

#include <atomic>
#include <cstring>
#include <dlfcn.h>

namespace qhost {

namespace {
// The callback has no user pointer of its own; this tool hosts one plug-in.
std::atomic<HostLoader*> gHost{nullptr};

const char* opcodeName(VstInt32 opcode) {
    switch (opcode) {
        case audioMasterAutomate: return "audioMasterAutomate";
        case audioMasterVersion: return "audioMasterVersion";
        case audioMasterCurrentId: return "audioMasterCurrentId";
        case audioMasterIdle: return "audioMasterIdle";
        case audioMasterWantMidi: return "audioMasterWantMidi";
        case audioMasterGetTime: return "audioMasterGetTime";
        case audioMasterProcessEvents: return "audioMasterProcessEvents";
        case audioMasterIOChanged: return "audioMasterIOChanged";
        case audioMasterSizeWindow: return "audioMasterSizeWindow";
        case audioMasterGetSampleRate: return "audioMasterGetSampleRate";
        case audioMasterGetBlockSize: return "audioMasterGetBlockSize";
        case audioMasterGetCurrentProcessLevel: return "audioMasterGetCurrentProcessLevel";
        case audioMasterGetVendorString: return "audioMasterGetVendorString";
        case audioMasterGetProductString: return "audioMasterGetProductString";
        case audioMasterGetVendorVersion: return "audioMasterGetVendorVersion";
        case audioMasterCanDo: return "audioMasterCanDo";
        case audioMasterUpdateDisplay: return "audioMasterUpdateDisplay";
        case audioMasterBeginEdit: return "audioMasterBeginEdit";
        case audioMasterEndEdit: return "audioMasterEndEdit";
        default: return "audioMaster?";
    }
}
}  // namespace

HostLoader::~HostLoader() { unload(); }

bool HostLoader::load(const std::string& path) {
    unload();
    library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        lastError = std::string("cannot load ") + path + ": " + (why ? why : "unknown error");
        return false;
    }
    using Entry = AEffect* (*)(audioMasterCallback);
    auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    if (!entry) entry = reinterpret_cast<Entry>(dlsym(library, "main"));
    if (!entry) {
        lastError = path + " has no VSTPluginMain or main entry point";
        unload();
        return false;
    }
    gHost.store(this);
    plugin = entry(&HostLoader::callback);
    if (!plugin || plugin->magic != kEffectMagic) {
        lastError = path + ": the entry point refused to create an effect";
        plugin = nullptr;
        unload();
        return false;
    }
    return true;
}

void HostLoader::unload() {
    if (plugin) {
        plugin->dispatcher(plugin, effClose, 0, 0, nullptr, 0.0f);
        plugin = nullptr;
    }
    if (library) {
        dlclose(library);
        library = nullptr;
    }
    HostLoader* self = this;
    gHost.compare_exchange_strong(self, nullptr);
}

VstIntPtr HostLoader::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) const {
    return plugin->dispatcher(plugin, opcode, index, value, ptr, opt);
}

std::string HostLoader::text(VstInt32 opcode, VstInt32 index) const {
    char buffer[512] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = 0;
    return buffer;
}

VstIntPtr HostLoader::callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    HostLoader* host = gHost.load();
    if (host && host->log)
        std::fprintf(host->log, "callback %-34s (%d) index %d value %ld opt %g\n", opcodeName(opcode), opcode,
                     index, static_cast<long>(value), static_cast<double>(opt));
    switch (opcode) {
        case audioMasterVersion:
            return kVstVersion;
        case audioMasterGetSampleRate:
            return host ? static_cast<VstIntPtr>(host->sampleRate) : 44100;
        case audioMasterGetBlockSize:
            return host ? host->blockSize : 512;
        case audioMasterGetVendorString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "VRAX");
            return 1;
        case audioMasterGetProductString:
            if (ptr) std::strcpy(static_cast<char*>(ptr), "qolm-host");
            return 1;
        case audioMasterGetVendorVersion:
            return 3100;
        case audioMasterCanDo:
            return 0;
        case audioMasterGetCurrentProcessLevel:
            return 0;
        default:
            return 0;
    }
}

}  // namespace qhost
