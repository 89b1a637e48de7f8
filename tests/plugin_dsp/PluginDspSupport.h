// Drives the built plug-in's process callbacks with whole signals, block by
// block, as a host does.
#pragma once

#include "support/PluginHost.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace dsptest {

using Signal = std::vector<std::vector<double>>;

// Loads and configures the plug-in: rate, block size, and running.
inline AEffect* start(qtest::PluginHost& host, double rate, VstIntPtr block = 512) {
    host.sampleRate = rate;
    host.blockSize = block;
    AEffect* e = host.create();
    if (!e) return nullptr;
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    host.dispatch(effSetBlockSize, 0, block);
    host.dispatch(effMainsChanged, 0, 1);
    return e;
}

// Suspends, lets `configure` set parameters, and resumes, so that the
// parameters apply at once.
template <typename F>
void reconfigure(qtest::PluginHost& host, F&& configure) {
    host.dispatch(effMainsChanged, 0, 0);
    configure();
    host.dispatch(effMainsChanged, 0, 1);
}

inline void setParam(AEffect* e, int index, float value) { e->setParameter(e, index, value); }

// Processes frames [from, to) of in with processDoubleReplacing in blocks.
inline void processDouble(AEffect* e, const Signal& in, Signal& out, size_t block, size_t from = 0,
                          size_t to = SIZE_MAX) {
    to = std::min(to, in[0].size());
    std::vector<double*> ip(in.size()), op(out.size());
    for (size_t pos = from; pos < to; pos += block) {
        const size_t n = std::min(block, to - pos);
        for (size_t c = 0; c < in.size(); ++c) ip[c] = const_cast<double*>(in[c].data()) + pos;
        for (size_t c = 0; c < out.size(); ++c) op[c] = out[c].data() + pos;
        e->processDoubleReplacing(e, ip.data(), op.data(), static_cast<VstInt32>(n));
    }
}

inline void processFloat(AEffect* e, const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                         size_t block, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, in[0].size());
    std::vector<float*> ip(in.size()), op(out.size());
    for (size_t pos = from; pos < to; pos += block) {
        const size_t n = std::min(block, to - pos);
        for (size_t c = 0; c < in.size(); ++c) ip[c] = const_cast<float*>(in[c].data()) + pos;
        for (size_t c = 0; c < out.size(); ++c) op[c] = out[c].data() + pos;
        e->processReplacing(e, ip.data(), op.data(), static_cast<VstInt32>(n));
    }
}

inline Signal silence(size_t channels, size_t frames) { return Signal(channels, std::vector<double>(frames, 0.0)); }

inline std::vector<double> lcgNoise(size_t n, uint32_t seed, double amplitude) {
    std::vector<double> v(n);
    for (double& x : v) {
        seed = seed * 1664525u + 1013904223u;
        x = amplitude * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
    }
    return v;
}

}  // namespace dsptest
