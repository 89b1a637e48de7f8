// The same input gives the same output bits in the 32-bit and the 64-bit
// build: both compute in SSE2 doubles. A fixed render is hashed and compared
// with constants that were computed once and hold for both builds.
#include "PluginDspSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

using dsptest::Signal;
using dsptest::processDouble;
using dsptest::processFloat;
using dsptest::setParam;
using dsptest::start;

namespace {

constexpr uint64_t kDoubleHash = 0x6370318e28471075ULL;
constexpr uint64_t kFloatHash = 0x0fe8f444b2c6f4e5ULL;
constexpr size_t kFrames = 65536;
constexpr size_t kBlock = 512;

uint64_t fnv1a(uint64_t hash, const void* data, size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 0x100000001b3ULL;
    }
    return hash;
}
constexpr uint64_t kFnvOffset = 0xcbf29ce484222325ULL;

// A sine-like wave from a phase in cycles, with + - * only, so that the
// input itself does not depend on either build's maths library.
double parabolicSine(double phase) {
    const double x = phase - static_cast<double>(static_cast<int64_t>(phase));  // 0..1
    const double y = x < 0.5 ? 8.0 * x * (0.5 - x) : -8.0 * (x - 0.5) * (1.0 - x);
    return y * 2.0;  // -1..1
}

// A sweep from 20 Hz upwards (its frequency grows by a fixed factor per
// frame) plus noise from a fixed generator, different in each channel.
Signal input() {
    Signal in(2, std::vector<double>(kFrames));
    double phase[2] = {0.0, 0.25}, frequency = 20.0;
    uint32_t seed[2] = {1, 2};
    for (size_t i = 0; i < kFrames; ++i) {
        for (int c = 0; c < 2; ++c) {
            seed[c] = seed[c] * 1664525u + 1013904223u;
            const double noise = static_cast<double>(seed[c] >> 8) / 8388608.0 - 1.0;
            in[c][i] = 0.4 * parabolicSine(phase[c]) + 0.2 * noise;
            phase[c] += frequency / 44100.0;
        }
        frequency *= 1.0001;
    }
    return in;
}

// Renders with a glide of all three parameters starting in the middle.
template <typename Process>
void render(AEffect* e, Process&& process) {
    setParam(e, 0, 0.6f);
    setParam(e, 1, 0.3f);
    setParam(e, 2, 0.5f);
    process(0, kFrames / 2);
    setParam(e, 0, 0.4f);
    setParam(e, 1, 0.8f);
    setParam(e, 2, 0.9f);
    process(kFrames / 2, kFrames);
}

TEST(BitExact, DoubleRenderHashIsTheSameInBothBuilds) {
    qtest::PluginHost host;
    AEffect* e = start(host, 44100.0, kBlock);
    ASSERT_NE(e, nullptr);
    const Signal in = input();
    Signal out(2, std::vector<double>(kFrames));
    render(e, [&](size_t from, size_t to) { processDouble(e, in, out, kBlock, from, to); });
    uint64_t hash = kFnvOffset;
    for (const auto& c : out) hash = fnv1a(hash, c.data(), c.size() * sizeof(double));
    char text[32];
    std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, kDoubleHash) << "double render hash " << text;
}

TEST(BitExact, FloatRenderHashIsTheSameInBothBuilds) {
    qtest::PluginHost host;
    AEffect* e = start(host, 44100.0, kBlock);
    ASSERT_NE(e, nullptr);
    const Signal in = input();
    std::vector<std::vector<float>> inF(2, std::vector<float>(kFrames)), outF(2, std::vector<float>(kFrames));
    for (int c = 0; c < 2; ++c)
        for (size_t i = 0; i < kFrames; ++i) inF[c][i] = static_cast<float>(in[c][i]);
    render(e, [&](size_t from, size_t to) { processFloat(e, inF, outF, kBlock, from, to); });
    uint64_t hash = kFnvOffset;
    for (const auto& c : outF) hash = fnv1a(hash, c.data(), c.size() * sizeof(float));
    char text[32];
    std::snprintf(text, sizeof(text), "0x%016llx", static_cast<unsigned long long>(hash));
    EXPECT_EQ(hash, kFloatHash) << "float render hash " << text;
}

}  // namespace
