// Debian's LV2 tools (lilv-utils) on the bundle alone. lv2ls and lv2info
// only read the descriptions and run for both builds; lv2apply and lv2bench
// load the binary, so they need one of their own architecture.
#include "lv2/Lv2Support.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <regex>

namespace lv2test {
namespace {

bool haveTool(const char* name) { return runWithBundle(std::string("command -v ") + name).status == 0; }

#define REQUIRE_TOOL(name) \
    if (!haveTool(name)) GTEST_SKIP() << name << " is not installed (Debian: lilv-utils)"
#define REQUIRE_NATIVE_BINARY() \
    if (is32Bit()) GTEST_SKIP() << "the tool is 64-bit and cannot load the 32-bit binary"

// The part of lv2info's output about one port, up to the next one.
std::string portSection(const std::string& info, int index) {
    const std::string head = "Port " + std::to_string(index) + ":";
    const size_t start = info.find(head);
    if (start == std::string::npos) return "";
    const size_t end = info.find("\tPort ", start + head.size());
    return info.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

TEST(Lv2Tools, Lv2lsListsBothPlugins) {
    REQUIRE_TOOL("lv2ls");
    const Output out = runWithBundle("lv2ls");
    ASSERT_EQ(out.status, 0) << out.text;
    EXPECT_NE(out.text.find(std::string(kStereoUri) + "\n"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find(std::string(kMonoUri) + "\n"), std::string::npos) << out.text;
}

TEST(Lv2Tools, Lv2infoShowsPortsRangesAndPresetsWithoutWarnings) {
    REQUIRE_TOOL("lv2info");
    struct Expected {
        const char* uri;
        int audioPorts;
    };
    for (const Expected& plugin : {Expected{kStereoUri, 4}, Expected{kMonoUri, 2}}) {
        SCOPED_TRACE(plugin.uri);
        const Output out = runWithBundle(std::string("lv2info ") + plugin.uri);
        ASSERT_EQ(out.status, 0) << out.text;
        EXPECT_EQ(out.text.find("warning"), std::string::npos) << out.text;
        EXPECT_EQ(out.text.find("error"), std::string::npos) << out.text;
        EXPECT_NE(out.text.find("Has latency:       yes, reported by port 5"), std::string::npos) << out.text;
        EXPECT_NE(out.text.find("https://vrax.example/plugins/qolm#ui"), std::string::npos);
        for (const char* preset : {"All Pass", "Cut Bass", "Res High"})
            EXPECT_TRUE(std::regex_search(out.text, std::regex("Presets:(\\s+[A-Z][a-z]+ [A-Z][a-z]+\n)*\\s+" +
                                                                 std::string(preset) + "\n")))
                << preset;

        const std::string gain = portSection(out.text, 0), cutOff = portSection(out.text, 1),
                          res = portSection(out.text, 2), enabled = portSection(out.text, 3);
        EXPECT_TRUE(std::regex_search(gain, std::regex("Name: +Gain\n.*Minimum: +-12\\.0+\n.*Maximum: +12\\.0+\n"
                                                       ".*Default: +0\\.0+\n")))
            << gain;
        EXPECT_TRUE(std::regex_search(cutOff, std::regex("Name: +Cut Off\n.*Minimum: +20\\.0+\n"
                                                         ".*Maximum: +20000\\.0+\n.*Default: +20\\.0+\n")))
            << cutOff;
        EXPECT_NE(cutOff.find("port-props#logarithmic"), std::string::npos) << cutOff;
        EXPECT_TRUE(std::regex_search(res, std::regex("Name: +Res\n.*Minimum: +0\\.0+\n.*Maximum: +100\\.0+\n"
                                                      ".*Default: +0\\.0+\n")))
            << res;
        EXPECT_NE(enabled.find("lv2core#enabled"), std::string::npos) << enabled;
        EXPECT_NE(portSection(out.text, 5).find("lv2core#latency"), std::string::npos);
        for (int p = 6; p < 6 + plugin.audioPorts; ++p)
            EXPECT_NE(portSection(out.text, p).find("lv2core#AudioPort"), std::string::npos) << p;
        EXPECT_EQ(portSection(out.text, 6 + plugin.audioPorts), "");
    }
}

void writeWave(const std::string& path, const Channels& signal, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = static_cast<int>(signal.size());
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> frames(signal[0].size() * signal.size());
    for (size_t i = 0; i < signal[0].size(); ++i)
        for (size_t c = 0; c < signal.size(); ++c) frames[i * signal.size() + c] = signal[c][i];
    sf_writef_float(file, frames.data(), static_cast<sf_count_t>(signal[0].size()));
    sf_close(file);
}

Channels readWave(const std::string& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> frames(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    Channels result(static_cast<size_t>(info.channels), std::vector<float>(static_cast<size_t>(info.frames)));
    for (size_t i = 0; i < result[0].size(); ++i)
        for (size_t c = 0; c < result.size(); ++c) result[c][i] = frames[i * result.size() + c];
    return result;
}

TEST(Lv2Tools, Lv2applyCutsTheLowToneAndKeepsTheHighOne) {
    REQUIRE_TOOL("lv2apply");
    REQUIRE_NATIVE_BINARY();
    const int rate = 48000;
    const std::string folder = workFolder();
    for (const char* uri : {kStereoUri, kMonoUri}) {
        SCOPED_TRACE(uri);
        const int channels = std::string(uri) == kMonoUri ? 1 : 2;
        const Channels in = tones(channels, 2 * rate, rate, {{100.0, 0.25}, {5000.0, 0.25}});
        const std::string inPath = folder + "/tones.wav", outPath = folder + "/filtered.wav";
        writeWave(inPath, in, rate);
        const Output out = runWithBundle("lv2apply -i '" + inPath + "' -o '" + outPath + "' -c cut_off 1000 " + uri);
        ASSERT_EQ(out.status, 0) << out.text;
        const Channels result = readWave(outPath);
        ASSERT_EQ(result.size(), in.size());
        ASSERT_EQ(result[0].size(), in[0].size());
        for (size_t c = 0; c < result.size(); ++c) {
            // The first half second holds the start; the rest is steady.
            const double low = toDb(amplitudeAt(result[c], rate, 100.0, rate / 2, 2 * rate) / 0.25);
            const double high = toDb(amplitudeAt(result[c], rate, 5000.0, rate / 2, 2 * rate) / 0.25);
            std::printf("%s channel %zu: 100 Hz %.2f dB, 5 kHz %.3f dB\n", uri, c, low, high);
            EXPECT_NEAR(low, -40.0, 1.0);
            EXPECT_NEAR(high, 0.0, 0.5);
        }
    }
}

TEST(Lv2Tools, Lv2benchRunsBothPlugins) {
    REQUIRE_TOOL("lv2bench");
    REQUIRE_NATIVE_BINARY();
    const Output out = runWithBundle("lv2bench -n 96000 -b 512");
    ASSERT_EQ(out.status, 0) << out.text;
    std::printf("%s", out.text.c_str());
    for (const char* uri : {kStereoUri, kMonoUri})
        EXPECT_TRUE(std::regex_search(out.text, std::regex("[0-9.]+ " + std::string(uri) + "\n"))) << out.text;
}

// Ardour 7 (Debian's ardour) without its GUI: ardour7-lua makes a session
// in which Qolm, found by its URI, filters a tone generator; the bounce has
// the same response as lv2apply's, and the controls survive a reload.
TEST(Lv2Tools, ArdourBouncesThroughTheStereoPluginAndRestoresItsControls) {
    REQUIRE_TOOL("ardour7-lua");
    REQUIRE_NATIVE_BINARY();
    if (underSanitizer()) GTEST_SKIP() << "Ardour does not start under the AddressSanitizer run-time";
    namespace fs = std::filesystem;
    const std::string folder = workFolder() + "/ardour";
    fs::remove_all(folder);
    // Ardour reads Lua scripts from its configuration folder: a private one.
    fs::create_directories(folder + "/config/ardour7/scripts");
    const std::string scripts = std::string(QOLM_SOURCE_DIR) + "/tests/lv2/ardour";
    fs::copy_file(scripts + "/qolm_test_tones.lua", folder + "/config/ardour7/scripts/qolm_test_tones.lua");
    const Output out = runWithBundle("XDG_CONFIG_HOME='" + folder + "/config' QOLM_SESSION='" + folder +
                                     "/session' timeout 240 ardour7-lua '" + scripts + "/bounce_and_reload.lua'");
    ASSERT_EQ(out.status, 0) << out.text;
    ASSERT_EQ(out.text.find("Error"), std::string::npos) << out.text;

    std::smatch match;
    std::string rest = out.text;
    int bounced = 0;
    while (std::regex_search(rest, match, std::regex("bounced: ([^\n]+)\n"))) {
        const Channels channel = readWave(match[1]);
        ASSERT_EQ(channel.size(), 1u) << match[1];
        ASSERT_EQ(channel[0].size(), 96000u);
        const double low = toDb(amplitudeAt(channel[0], 48000, 100.0, 24000, 96000) / 0.25);
        const double high = toDb(amplitudeAt(channel[0], 48000, 5000.0, 24000, 96000) / 0.25);
        std::printf("Ardour bounce %d: 100 Hz %.2f dB, 5 kHz %.3f dB\n", bounced, low, high);
        EXPECT_NEAR(low, -40.0, 1.0);
        EXPECT_NEAR(high, 0.0, 0.5);
        ++bounced;
        rest = match.suffix();
    }
    EXPECT_EQ(bounced, 2) << out.text;
    EXPECT_NE(out.text.find(std::string("reloaded: ") + kStereoUri + "\n"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("control 1 = 1000\n"), std::string::npos) << out.text;
    EXPECT_NE(out.text.find("control 0 = 0\n"), std::string::npos) << out.text;
}

}  // namespace
}  // namespace lv2test
