#include "support/PluginHost.h"

#include <pthread.h>

#include <cstring>
#include <dlfcn.h>

namespace qtest {

namespace {
// The callback gets the record (or null during the version query); the host
// object is found through this while exactly one create() is running, and
// through the record's user field afterwards... the record's user field is
// the plug-in's, so keep our own map instead.
std::mutex gHostsMutex;
std::vector<std::pair<AEffect*, PluginHost*>> gHosts;
thread_local PluginHost* tCreating = nullptr;

PluginHost* hostFor(AEffect* effect) {
    std::lock_guard<std::mutex> lock(gHostsMutex);
    for (auto& entry : gHosts)
        if (entry.first == effect) return entry.second;
    return nullptr;
}
}  // namespace

const char* pluginPath() {
#ifdef QOLM_PLUGIN_PATH
    return QOLM_PLUGIN_PATH;
#else
    return "Qolm.so";
#endif
}

PluginHost::PluginHost(const char* libraryPath, VstIntPtr hostVersion) : hostVersion(hostVersion) {
    library = dlopen(libraryPath ? libraryPath : pluginPath(), RTLD_NOW | RTLD_LOCAL);
}

PluginHost::~PluginHost() {
    if (plugin) close();
    if (library) dlclose(library);
}

AEffect* PluginHost::create(const char* entryName) {
    return create(entryName, [](EntryProc entry, audioMasterCallback callback) { return entry(callback); });
}

AEffect* PluginHost::create(const char* entryName,
                            const std::function<AEffect*(EntryProc, audioMasterCallback)>& call) {
    if (!library) return nullptr;
    auto entry = reinterpret_cast<EntryProc>(dlsym(library, entryName));
    if (!entry) return nullptr;
    tCreating = this;
    AEffect* created = call(entry, &PluginHost::callback);
    tCreating = nullptr;
    if (created) {
        std::lock_guard<std::mutex> lock(gHostsMutex);
        gHosts.emplace_back(created, this);
    }
    plugin = created;
    return created;
}

VstIntPtr PluginHost::close() {
    return close([](AEffect* e) { return e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f); });
}

VstIntPtr PluginHost::close(const std::function<VstIntPtr(AEffect*)>& call) {
    if (!plugin) return 0;
    VstIntPtr result = call(plugin);
    {
        std::lock_guard<std::mutex> lock(gHostsMutex);
        for (auto it = gHosts.begin(); it != gHosts.end(); ++it)
            if (it->first == plugin) {
                gHosts.erase(it);
                break;
            }
    }
    plugin = nullptr;
    return result;
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    return plugin->dispatcher(plugin, opcode, index, value, ptr, opt);
}

std::string PluginHost::dispatchString(VstInt32 opcode, VstInt32 index, size_t bufferSize) {
    std::vector<char> buffer(bufferSize, 0);
    dispatch(opcode, index, 0, buffer.data());
    buffer.back() = 0;
    return std::string(buffer.data());
}

std::vector<HostCall> PluginHost::calls() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

void PluginHost::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

int PluginHost::countCalls(VstInt32 opcode) const {
    std::lock_guard<std::mutex> lock(mutex);
    int n = 0;
    for (const auto& c : log)
        if (c.opcode == opcode) ++n;
    return n;
}

VstIntPtr PluginHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                               float opt) {
    PluginHost* host = effect ? hostFor(effect) : nullptr;
    if (!host) host = tCreating;
    if (!host) {
        // A call from a plug-in thread before the record was registered.
        return opcode == audioMasterVersion ? 2400 : 0;
    }
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr PluginHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        char name[16] = {};
        pthread_getname_np(pthread_self(), name, sizeof(name));
        log.push_back(HostCall{opcode, index, value, opt, std::this_thread::get_id(), name});
    }
    switch (opcode) {
        case audioMasterVersion:
            return hostVersion;
        case audioMasterGetSampleRate:
            return static_cast<VstIntPtr>(sampleRate);
        case audioMasterGetBlockSize:
            return blockSize;
        case audioMasterGetVendorString:
            if (ptr) std::strncpy(static_cast<char*>(ptr), vendor.c_str(), 255);
            return 1;
        case audioMasterGetProductString:
            if (ptr) std::strncpy(static_cast<char*>(ptr), product.c_str(), 255);
            return 1;
        default:
            return 0;
    }
}

}  // namespace qtest
