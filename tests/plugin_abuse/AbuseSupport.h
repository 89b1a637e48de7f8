// What the host-abuse tests share: a started plug-in, speaker arrangements
// as a host builds them, and block processing with buffers of exactly the
// size the plug-in is told about, so that a sanitizer sees any read or write
// past them.
#pragma once

#include "support/HostStub.h"
#include "support/PluginHost.h"
#include "support/RunEnvironment.h"
#include "tools/rtbench/ProcessCounts.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <vector>

namespace abuse {

using Channels = std::vector<std::vector<double>>;

// Loads, configures and resumes the plug-in as a host does.
inline AEffect* start(qtest::PluginHost& host, float rate = 44100.0f, VstIntPtr block = 512) {
    AEffect* e = host.create();
    if (!e) return nullptr;
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    host.dispatch(effSetBlockSize, 0, block);
    host.dispatch(effMainsChanged, 0, 1);
    return e;
}

// A speaker arrangement record as a host fills it (the published record,
// room for eight speakers).
struct Arrangement {
    explicit Arrangement(int32_t channels) {
        std::memset(&record, 0, sizeof(record));
        record.type = channels == 1 ? 0 : 1;  // mono, stereo
        record.numChannels = channels;
    }
    VstSpeakerArrangement record;
};

// Sets the plug-in's channel layout; true when it took it.
inline bool setLayout(qtest::PluginHost& host, int32_t inputs, int32_t outputs) {
    Arrangement in(inputs), out(outputs);
    return host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in.record), &out.record) == 1;
}

inline std::vector<double> noise(size_t frames, uint32_t seed, double amplitude = 0.5) {
    std::vector<double> v(frames);
    for (double& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = amplitude * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
    }
    return v;
}

inline Channels noiseChannels(size_t channels, size_t frames, uint32_t seed, double amplitude = 0.5) {
    Channels c;
    for (size_t i = 0; i < channels; ++i) c.push_back(noise(frames, seed + 977u * static_cast<uint32_t>(i), amplitude));
    return c;
}

// One process call in the given precision. The channel pointer tables hold
// exactly as many entries as the layout has channels, and every channel
// exactly `frames` samples, each on its own heap block.
template <typename T>
struct Block {
    Block(size_t inputs, size_t outputs, size_t frames) : frames(frames) {
        for (size_t c = 0; c < inputs; ++c) in.emplace_back(new T[frames ? frames : 1]());
        for (size_t c = 0; c < outputs; ++c) out.emplace_back(new T[frames ? frames : 1]());
        for (auto& p : in) inPtrs.push_back(p.get());
        for (auto& p : out) outPtrs.push_back(p.get());
    }
    void fill(const Channels& source, size_t offset = 0) {
        for (size_t c = 0; c < in.size(); ++c)
            for (size_t i = 0; i < frames; ++i) in[c][i] = static_cast<T>(source[c % source.size()][offset + i]);
    }
    void fillOutputs(T value) {
        for (auto& o : out)
            for (size_t i = 0; i < frames; ++i) o[i] = value;
    }
    void run(AEffect* e) {
        if constexpr (sizeof(T) == sizeof(float))
            e->processReplacing(e, inPtrs.data(), outPtrs.data(), static_cast<VstInt32>(frames));
        else
            e->processDoubleReplacing(e, inPtrs.data(), outPtrs.data(), static_cast<VstInt32>(frames));
    }
    // Index of the first output sample that is not finite, or -1.
    long firstNonFinite() const {
        for (const auto& o : out)
            for (size_t i = 0; i < frames; ++i)
                if (!std::isfinite(static_cast<double>(o[i]))) return static_cast<long>(i);
        return -1;
    }
    double peak() const {
        double level = 0;
        for (const auto& o : out)
            for (size_t i = 0; i < frames; ++i) level = std::fmax(level, std::fabs(static_cast<double>(o[i])));
        return level;
    }

    size_t frames;
    std::vector<std::unique_ptr<T[]>> in, out;
    std::vector<T*> inPtrs, outPtrs;
};

// Runs a whole signal through the plug-in in blocks of `blockFrames` and
// returns every output channel.
template <typename T>
Channels bounce(AEffect* e, const Channels& input, size_t outputs, size_t blockFrames) {
    const size_t total = input[0].size();
    Channels result(outputs, std::vector<double>(total));
    for (size_t pos = 0; pos < total; pos += blockFrames) {
        const size_t n = std::min(blockFrames, total - pos);
        Block<T> block(input.size(), outputs, n);
        block.fill(input, pos);
        block.run(e);
        for (size_t c = 0; c < outputs; ++c)
            for (size_t i = 0; i < n; ++i) result[c][pos + i] = static_cast<double>(block.out[c][i]);
    }
    return result;
}

inline bool allFinite(const Channels& channels) {
    for (const auto& c : channels)
        for (double x : c)
            if (!std::isfinite(x)) return false;
    return true;
}

// The plug-in loaded with a host that answers nothing but its version, for
// tests that call effClose themselves (PluginHost would close again).
class RawLibrary {
public:
    RawLibrary() : handle(dlopen(qtest::pluginPath(), RTLD_NOW | RTLD_LOCAL)) {}
    ~RawLibrary() {
        if (handle) dlclose(handle);
    }
    RawLibrary(const RawLibrary&) = delete;
    RawLibrary& operator=(const RawLibrary&) = delete;
    bool loaded() const { return handle != nullptr; }
    AEffect* create() const {
        using Entry = AEffect* (*)(audioMasterCallback);
        auto entry = handle ? reinterpret_cast<Entry>(dlsym(handle, "VSTPluginMain")) : nullptr;
        // No stub is made in this process: it answers only the version.
        return entry ? entry(&qtest::HostStub::callback) : nullptr;
    }

private:
    void* handle;
};

using qtest::emulated;
using qtest::residentSizeMeaningful;

inline int threadCount() { return rtwatch::threadCount(); }

}  // namespace abuse
