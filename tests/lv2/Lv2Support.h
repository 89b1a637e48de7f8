// Shared by the LV2 tests: the built bundle, the plug-in loaded from its
// binary as an LV2 host loads it, the VST library configured the same way
// for comparison, test signals, and running the Debian LV2 tools on the
// bundle alone.
#pragma once

#include "support/PluginHost.h"

#include <lv2/core/lv2.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lv2test {

constexpr const char* kStereoUri = "https://vrax.example/plugins/qolm";
constexpr const char* kMonoUri = "https://vrax.example/plugins/qolm-mono";

// Control ports, the same in both plug-ins; audio ports follow them.
enum Port : uint32_t { kGain = 0, kCutOff, kRes, kEnabled, kPeak, kLatency, kFirstAudio };

using Channels = std::vector<std::vector<float>>;

std::string bundlePath();
std::string binaryPath();
bool is32Bit();

// A temporary folder for the test's files; its subfolder "bundles", which
// holds only a link to the bundle, is what the tools get as LV2_PATH.
std::string workFolder();
// What a third-party program needs in its environment to load the binary of
// this build ("NAME=value" entries): under the sanitizers their run-time
// first, and no report of the program's own leaks.
std::vector<std::string> toolEnvironment();
// True in the sanitizer build. GTK programs (jalv.gtk3) and Ardour hang at
// start-up with the AddressSanitizer run-time preloaded, in glibc's
// bindtextdomain, before they load anything of ours.
bool underSanitizer();
// Runs a shell command with that LV2_PATH and environment; stdout and stderr
// together, and the exit status.
struct Output {
    int status = -1;
    std::string text;
};
Output runWithBundle(const std::string& command);

// The binary opened with dlopen and its plug-ins found through lv2_descriptor.
class Library {
public:
    Library();
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    const LV2_Descriptor* plugin(const char* uri) const;
    void* symbol(const char* name) const;

private:
    void* handle = nullptr;
};

// One instance with every port connected to storage of its own.
class Instance {
public:
    Instance(const Library& library, const char* uri, double rate, bool connectAll = true);
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool valid() const { return handle != nullptr; }
    uint32_t channels() const { return channelCount; }
    float controls[kFirstAudio] = {0.0f, 20.0f, 0.0f, 1.0f, 0.0f, -1.0f};
    void connect(uint32_t port, void* data);
    void activate();
    // Processes in to out in blocks of `block` frames (out is resized).
    void process(const Channels& in, Channels& out, size_t block, size_t from = 0, size_t to = SIZE_MAX);
    void run(uint32_t frames);
    LV2_Handle raw() const { return handle; }

private:
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle handle = nullptr;
    uint32_t channelCount = 2;
    std::vector<float*> audio;
};

// The VST library with the same rate and settings, real values set as text.
class VstReference {
public:
    VstReference(double rate, int channels);
    AEffect* effect() const { return e; }
    void set(int parameter, float real);
    void resume();
    void process(const Channels& in, Channels& out, size_t block, size_t from = 0, size_t to = SIZE_MAX);

private:
    qtest::PluginHost host;
    AEffect* e = nullptr;
};

// Sines of the given frequencies and amplitudes, the same in every channel.
Channels tones(int channels, size_t frames, double rate, const std::vector<std::pair<double, double>>& parts);
// Reproducible white noise, different in each channel.
Channels noise(int channels, size_t frames, uint32_t seed);
// Amplitude of one frequency in frames [from, to) of a signal.
double amplitudeAt(const std::vector<float>& signal, double rate, double frequency, size_t from, size_t to);
double toDb(double ratio);

}  // namespace lv2test
