// The same input gives the same output bits in the 32-bit and the 64-bit
// build: both compute in SSE2 doubles, and every coefficient, glide factor,
// gain factor and parameter mapping comes from the plug-in's own maths
// rather than the C library's (which rounds differently in each build).
// Fixed renders are hashed and compared with one table of constants that
// both builds must meet.
#include "PluginDspSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
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
Signal input(size_t frames = kFrames) {
    Signal in(2, std::vector<double>(frames));
    double phase[2] = {0.0, 0.25}, frequency = 20.0;
    uint32_t seed[2] = {1, 2};
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < 2; ++c) {
            seed[c] = seed[c] * 1664525u + 1013904223u;
            const double noise = static_cast<double>(seed[c] >> 8) / 8388608.0 - 1.0;
            in[c][i] = 0.4 * parabolicSine(phase[c]) + 0.2 * noise;
            phase[c] += frequency / 44100.0;
        }
        frequency *= 1.0001;
        if (frequency > 20000.0) frequency = 20.0;
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

// The grid: every combination of these, at every rate, in both precisions.
// Cut offs 20 Hz, 37 Hz, 632 Hz, about 15 kHz and 20 kHz (above Nyquist at
// the lowest rates); gains -12, 0, +6.5 and +12 dB. At 10078 Hz the two
// builds' C libraries round the glide factors differently.
constexpr double kGridRates[] = {8000.0, 10078.0, 22050.0, 44100.0, 48000.0, 96000.0, 192000.0, 384000.0};
constexpr float kGridGains[] = {0.0f, 0.5f, 0.77f, 1.0f};
constexpr float kGridCutOffs[] = {0.0f, 0.09f, 0.5f, 0.9583f, 1.0f};
constexpr float kGridRes[] = {0.0f, 0.77f, 1.0f};
constexpr size_t kGridSettings = std::size(kGridGains) * std::size(kGridCutOffs) * std::size(kGridRes);

// One row per rate: the double render's hash, then the float render's.
constexpr uint64_t kGridHashes[std::size(kGridRates)][2] = {
    {0x13b70a91a4a38b29ULL, 0x913a8aafba5368dcULL},  // 8000 Hz
    {0x4ade669c9c682414ULL, 0x20c21e5139451f33ULL},  // 10078 Hz
    {0x825c60aea3101afaULL, 0xcacd83f234466adcULL},  // 22050 Hz
    {0xc570d3827e01122aULL, 0xe457a801156c49a9ULL},  // 44100 Hz
    {0xc90a95caa908bee1ULL, 0x5364908f3af8f220ULL},  // 48000 Hz
    {0xc0f49b615717847bULL, 0xd3686d2b1b96a544ULL},  // 96000 Hz
    {0x5bbd88d3a292e129ULL, 0xcc304ec5413b577dULL},  // 192000 Hz
    {0xa51d6ac7d74530b8ULL, 0xb367641c828f33e4ULL},  // 384000 Hz
};

// Renders every setting of the grid one after the other at one rate: each
// glides in from the previous one, is turned away half way (cut off and
// resonance to their mirror images), and glides back. Host blocks have
// irregular sizes and are cut where a parameter changes, so that changes
// land anywhere in the host's block grid and mid-glide.
template <typename Sample>
uint64_t renderGrid(double rate) {
    qtest::PluginHost host;
    AEffect* e = start(host, rate, 256);
    if (!e) return 0;
    const size_t perSetting = static_cast<size_t>(rate * 0.03);
    const Signal source = input(perSetting * kGridSettings);
    std::vector<std::vector<Sample>> in(2), out(2, std::vector<Sample>(source[0].size()));
    for (int c = 0; c < 2; ++c) in[c].assign(source[c].begin(), source[c].end());
    std::vector<Sample*> ip(2), op(2);
    uint32_t seed = 12345;
    size_t pos = 0;
    const auto run = [&](size_t until) {
        while (pos < until) {
            seed = seed * 1664525u + 1013904223u;
            const size_t n = std::min<size_t>(1 + (seed >> 24), until - pos);
            for (int c = 0; c < 2; ++c) {
                ip[c] = in[c].data() + pos;
                op[c] = out[c].data() + pos;
            }
            if constexpr (sizeof(Sample) == sizeof(double))
                e->processDoubleReplacing(e, ip.data(), op.data(), static_cast<VstInt32>(n));
            else
                e->processReplacing(e, ip.data(), op.data(), static_cast<VstInt32>(n));
            pos += n;
        }
    };
    for (float gain : kGridGains) {
        for (float cutOff : kGridCutOffs) {
            for (float res : kGridRes) {
                const size_t begin = pos;
                setParam(e, 0, gain);
                setParam(e, 1, cutOff);
                setParam(e, 2, res);
                run(begin + perSetting / 5);
                setParam(e, 1, 1.0f - cutOff);
                setParam(e, 2, 1.0f - res);
                run(begin + perSetting * 2 / 5 + 7);
                setParam(e, 1, cutOff);
                setParam(e, 2, res);
                run(begin + perSetting);
            }
        }
    }
    uint64_t hash = kFnvOffset;
    for (const auto& c : out) hash = fnv1a(hash, c.data(), c.size() * sizeof(Sample));
    return hash;
}

TEST(BitExact, AGridOfSettingsAndGlidesRendersToTheSameHashesInBothBuilds) {
    std::string table;
    bool same = true;
    for (size_t i = 0; i < std::size(kGridRates); ++i) {
        const uint64_t hashes[2] = {renderGrid<double>(kGridRates[i]), renderGrid<float>(kGridRates[i])};
        char row[80];
        std::snprintf(row, sizeof(row), "    {0x%016llxULL, 0x%016llxULL},  // %.0f Hz\n",
                      static_cast<unsigned long long>(hashes[0]), static_cast<unsigned long long>(hashes[1]),
                      kGridRates[i]);
        table += row;
        for (int p = 0; p < 2; ++p) {
            EXPECT_EQ(hashes[p], kGridHashes[i][p])
                << (p == 0 ? "double" : "float") << " render at " << kGridRates[i] << " Hz";
            same = same && hashes[p] == kGridHashes[i][p];
        }
    }
    EXPECT_TRUE(same) << kGridSettings << " settings per rate; this build's hashes:\n" << table;
}

}  // namespace
