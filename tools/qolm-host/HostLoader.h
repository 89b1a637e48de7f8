// Loads any Linux VST 2.4 plug-in and answers its host callback the way a
// plain host does.
#pragma once

#include "host/VstTypes.h"

#include <cstdio>
#include <string>

namespace qhost {

class HostLoader {
public:
    HostLoader() = default;
    ~HostLoader();
    HostLoader(const HostLoader&) = delete;
    HostLoader& operator=(const HostLoader&) = delete;

    // dlopen + entry point; false with `error()` set when anything fails.
    bool load(const std::string& path);
    void unload();

    AEffect* effect() const { return plugin; }
    const std::string& error() const { return lastError; }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;
    std::string text(VstInt32 opcode, VstInt32 index = 0) const;

    // Answers given to the plug-in.
    double sampleRate = 44100.0;
    VstInt32 blockSize = 512;
    // When set, every callback is printed here.
    FILE* log = nullptr;

private:
    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);

    void* library = nullptr;
    AEffect* plugin = nullptr;
    std::string lastError;
};

}  // namespace qhost
