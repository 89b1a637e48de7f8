#include "lv2/Lv2Support.h"

#include "plugin_dsp/PluginDspSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace lv2test {

std::string bundlePath() { return QOLM_LV2_BUNDLE; }
std::string binaryPath() { return QOLM_LV2_BINARY; }
bool is32Bit() { return sizeof(void*) == 4; }

std::string workFolder() {
    namespace fs = std::filesystem;
    static const std::string folder = [] {
        const fs::path path = fs::temp_directory_path() / ("qolm-lv2-path-" + std::to_string(getpid()));
        fs::create_directories(path / "bundles");
        std::error_code ignored;
        fs::remove(path / "bundles" / "Qolm.lv2", ignored);
        fs::create_directory_symlink(bundlePath(), path / "bundles" / "Qolm.lv2");
        // Kept apart from `folder`, which is gone by the time this runs.
        static const std::string* const leftover = new std::string(path.string());
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(*leftover, ignored);
        });
        return path.string();
    }();
    return folder;
}

std::vector<std::string> toolEnvironment() {
    std::vector<std::string> entries;
#ifdef QOLM_TOOL_PRELOAD
    entries.emplace_back("LD_PRELOAD=" QOLM_TOOL_PRELOAD);
    entries.emplace_back("ASAN_OPTIONS=detect_leaks=0");
#endif
    return entries;
}

bool underSanitizer() {
#ifdef QOLM_TOOL_PRELOAD
    return true;
#else
    return false;
#endif
}

Output runWithBundle(const std::string& command) {
    Output result;
    std::string line = "LV2_PATH='" + workFolder() + "/bundles' ";
    for (const std::string& entry : toolEnvironment()) {
        const size_t equals = entry.find('=');
        line += entry.substr(0, equals + 1) + "'" + entry.substr(equals + 1) + "' ";
    }
    line += command + " 2>&1";
    FILE* pipe = popen(line.c_str(), "r");
    if (!pipe) return result;
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) result.text.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

Library::Library() { handle = dlopen(binaryPath().c_str(), RTLD_NOW | RTLD_LOCAL); }
Library::~Library() {
    if (handle) dlclose(handle);
}

void* Library::symbol(const char* name) const { return handle ? dlsym(handle, name) : nullptr; }

const LV2_Descriptor* Library::plugin(const char* uri) const {
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(symbol("lv2_descriptor"));
    if (!entry) return nullptr;
    for (uint32_t i = 0; const LV2_Descriptor* d = entry(i); ++i)
        if (std::string(d->URI) == uri) return d;
    return nullptr;
}

Instance::Instance(const Library& library, const char* uri, double rate, bool connectAll) {
    descriptor = library.plugin(uri);
    if (!descriptor) return;
    channelCount = std::string(uri) == kMonoUri ? 1 : 2;
    audio.assign(2 * channelCount, nullptr);
    const LV2_Feature* none[] = {nullptr};
    handle = descriptor->instantiate(descriptor, rate, bundlePath().c_str(), none);
    if (!handle || !connectAll) return;
    for (uint32_t p = 0; p < kFirstAudio; ++p) descriptor->connect_port(handle, p, &controls[p]);
}

Instance::~Instance() {
    if (handle) {
        descriptor->deactivate(handle);
        descriptor->cleanup(handle);
    }
}

void Instance::connect(uint32_t port, void* data) { descriptor->connect_port(handle, port, data); }
void Instance::activate() { descriptor->activate(handle); }
void Instance::run(uint32_t frames) { descriptor->run(handle, frames); }

void Instance::process(const Channels& in, Channels& out, size_t block, size_t from, size_t to) {
    to = std::min(to, in[0].size());
    out.resize(channelCount);
    for (auto& channel : out) channel.resize(in[0].size());
    for (size_t pos = from; pos < to; pos += block) {
        const size_t n = std::min(block, to - pos);
        for (uint32_t c = 0; c < channelCount; ++c) {
            connect(kFirstAudio + c, const_cast<float*>(in[c].data()) + pos);
            connect(kFirstAudio + channelCount + c, out[c].data() + pos);
        }
        run(static_cast<uint32_t>(n));
    }
}

VstReference::VstReference(double rate, int channels) {
    host.sampleRate = rate;
    e = host.create();
    if (!e) return;
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    host.dispatch(effSetBlockSize, 0, 512);
    if (channels == 1) {
        VstSpeakerArrangement in{}, out{};
        in.numChannels = out.numChannels = 1;
        host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
    }
}

void VstReference::set(int parameter, float real) {
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", real);
    host.dispatch(effString2Parameter, parameter, 0, text);
}

void VstReference::resume() { host.dispatch(effMainsChanged, 0, 1); }

void VstReference::process(const Channels& in, Channels& out, size_t block, size_t from, size_t to) {
    out.resize(in.size());
    for (auto& channel : out) channel.resize(in[0].size());
    dsptest::processFloat(e, in, out, block, from, to);
}

Channels tones(int channels, size_t frames, double rate, const std::vector<std::pair<double, double>>& parts) {
    std::vector<float> one(frames);
    for (size_t i = 0; i < frames; ++i) {
        double x = 0.0;
        for (const auto& [frequency, amplitude] : parts) x += amplitude * std::sin(2.0 * M_PI * frequency * i / rate);
        one[i] = static_cast<float>(x);
    }
    return Channels(static_cast<size_t>(channels), one);
}

Channels noise(int channels, size_t frames, uint32_t seed) {
    std::mt19937 generator(seed);
    std::uniform_real_distribution<float> uniform(-0.5f, 0.5f);
    Channels result(static_cast<size_t>(channels), std::vector<float>(frames));
    for (auto& channel : result)
        for (float& x : channel) x = uniform(generator);
    return result;
}

double amplitudeAt(const std::vector<float>& signal, double rate, double frequency, size_t from, size_t to) {
    double re = 0.0, im = 0.0;
    for (size_t i = from; i < to; ++i) {
        const double phase = 2.0 * M_PI * frequency * static_cast<double>(i) / rate;
        re += signal[i] * std::cos(phase);
        im += signal[i] * std::sin(phase);
    }
    return 2.0 * std::hypot(re, im) / static_cast<double>(to - from);
}

double toDb(double ratio) { return 20.0 * std::log10(ratio); }

}  // namespace lv2test
