// A test-side host: loads a built plug-in exactly as a Linux host does
// (dlopen, VSTPluginMain with a host callback) and records what the plug-in
// asks of it.
#pragma once

#include "host/VstTypes.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qtest {

struct HostCall {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
    // The thread the plug-in called from, and that thread's name.
    std::thread::id thread;
    std::string threadName;
};

class PluginHost {
public:
    // Loads the library; `hostVersion` is what audioMasterVersion answers.
    explicit PluginHost(const char* libraryPath = nullptr, VstIntPtr hostVersion = 2400);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    bool loaded() const { return library != nullptr; }
    // Calls the entry point (VSTPluginMain, or "main" when asked); null on refusal.
    AEffect* create(const char* entryName = "VSTPluginMain");
    // The same two, with the call into the plug-in made by `call`: for tests
    // that control how a host enters it.
    using EntryProc = AEffect* (*)(audioMasterCallback);
    AEffect* create(const char* entryName, const std::function<AEffect*(EntryProc, audioMasterCallback)>& call);
    AEffect* effect() const { return plugin; }
    // effClose through the dispatcher; the record is gone afterwards.
    VstIntPtr close();
    VstIntPtr close(const std::function<VstIntPtr(AEffect*)>& call);

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f);
    std::string dispatchString(VstInt32 opcode, VstInt32 index = 0, size_t bufferSize = 256);

    // What the host answers.
    VstIntPtr hostVersion;
    double sampleRate = 44100.0;
    VstIntPtr blockSize = 512;
    std::string vendor = "QolmTest";
    std::string product = "Host";

    // Every callback the plug-in made (thread-safe).
    std::vector<HostCall> calls() const;
    void clearCalls();
    int countCalls(VstInt32 opcode) const;


private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);
    VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

    void* library = nullptr;
    AEffect* plugin = nullptr;
    mutable std::mutex mutex;
    std::vector<HostCall> log;
};

// Path of the plug-in built with the tests.
const char* pluginPath();

}  // namespace qtest
