// qolm-host render: the built tool on files made with libsndfile.
#include "PluginDspSupport.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

ToolRun run(const std::string& arguments) {
    ToolRun r{-1, {}};
    FILE* pipe = popen((std::string(QOLM_HOST_TOOL) + " render " + arguments + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

struct Audio {
    SF_INFO info{};
    std::vector<double> samples;  // interleaved
    bool ok = false;
};

Audio readAudio(const std::string& path) {
    Audio a;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &a.info);
    if (!f) return a;
    a.samples.resize(static_cast<size_t>(a.info.frames * a.info.channels));
    a.ok = sf_readf_double(f, a.samples.data(), a.info.frames) == a.info.frames;
    sf_close(f);
    return a;
}

bool writeAudio(const std::string& path, int format, int channels, int rate, const std::vector<double>& samples) {
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    const sf_count_t frames = static_cast<sf_count_t>(samples.size()) / channels;
    const bool ok = sf_writef_double(f, samples.data(), frames) == frames;
    sf_close(f);
    return ok;
}

class Render : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qolm-render-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        for (const std::string& name : files()) std::remove((dir + "/" + name).c_str());
        rmdir(dir.c_str());
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* entry = readdir(d))
                if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
            closedir(d);
        }
        return names;
    }
    std::string noiseFile(const std::string& name, int channels, int rate, double seconds, int format) {
        const size_t frames = static_cast<size_t>(rate * seconds);
        const std::vector<double> samples = dsptest::lcgNoise(frames * channels, 99, 0.5);
        EXPECT_TRUE(writeAudio(path(name), format, channels, rate, samples));
        return path(name);
    }
    // Fails unless the command failed and left the folder as it was.
    void expectRefused(const std::string& arguments, const char* message) {
        const std::vector<std::string> before = files();
        const ToolRun r = run(arguments);
        EXPECT_NE(r.status, 0) << r.out;
        EXPECT_NE(r.out.find(message), std::string::npos) << r.out;
        EXPECT_EQ(files(), before) << r.out;
    }
    std::string dir;
};

TEST_F(Render, TheDemoIsAReadableWavOfTheExpectedShape) {
    const ToolRun r = run(path("demo.wav"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("264000 frames"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("peak -"), std::string::npos) << r.out;
    const Audio a = readAudio(path("demo.wav"));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.info.samplerate, 48000);
    EXPECT_EQ(a.info.channels, 2);
    EXPECT_EQ(a.info.frames, 264000);
    EXPECT_EQ(a.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    double peak = 0.0;
    for (double v : a.samples) peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 0.3);
    EXPECT_LT(peak, 1.0);
    EXPECT_EQ(files(), std::vector<std::string>{"demo.wav"});
}

TEST_F(Render, AMonoFileStaysMonoAtItsRateAndLength) {
    const std::string in = noiseFile("mono.wav", 1, 44100, 0.5, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const ToolRun r = run("--quiet --tail 0.25 --block 300 " + in + " " + path("out.wav"));
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    const Audio a = readAudio(path("out.wav"));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.info.channels, 1);
    EXPECT_EQ(a.info.samplerate, 44100);
    EXPECT_EQ(a.info.frames, 22050 + 11025);
    EXPECT_EQ(a.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    // The input's sample format when asked, and FLAC, which holds no floats, keeps it.
    ASSERT_EQ(run("--quiet --keep-subtype " + in + " " + path("kept.wav")).status, 0);
    EXPECT_EQ(readAudio(path("kept.wav")).info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const std::string flac = noiseFile("in.flac", 2, 48000, 0.2, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    ASSERT_EQ(run("--quiet " + flac + " " + path("out.flac")).status, 0);
    const Audio f = readAudio(path("out.flac"));
    EXPECT_EQ(f.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_24);
    EXPECT_EQ(f.info.frames, 9600);
}

TEST_F(Render, BadInputIsRefusedAndWritesNothing) {
    const std::string three = noiseFile("three.wav", 3, 44100, 0.1, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    const std::string out = " " + path("out.wav");
    expectRefused(three + out, "has 3 channels");
    expectRefused(path("missing.wav") + out, "No such file");
    expectRefused(three.substr(0, three.rfind('/')) + out, "is a folder");
    expectRefused("--param Resonance=50" + out, "no parameter \"Resonance\"");
    expectRefused("--param \"Cut Off=low\"" + out, "is not a number");
    expectRefused("--param \"Cut Off=120 dB\"" + out, "is not a number");
    expectRefused("--param Res=1.5n" + out, "outside 0 to 1");
    expectRefused("--block 0" + out, "bad block size");
    expectRefused("--block many" + out, "bad block size");
    expectRefused("--program 10" + out, "does not exist");
    expectRefused("--plugin /nonexistent.so" + out, "cannot load");
    expectRefused("", "no output file");
    // A file libsndfile cannot read.
    FILE* text = std::fopen(path("notes.wav").c_str(), "w");
    ASSERT_NE(text, nullptr);
    std::fputs("not audio\n", text);
    std::fclose(text);
    expectRefused(path("notes.wav") + out, "not an audio file");
}

// Energy below about 100 Hz: four one-pole low-passes in a row (24 dB per
// octave, so that the band above leaks in no more than the band itself).
double lowBandEnergy(const Audio& a) {
    const double k = 1.0 - std::exp(-2.0 * 3.141592653589793 * 100.0 / a.info.samplerate);
    double energy = 0.0;
    for (int c = 0; c < a.info.channels; ++c) {
        double s[4] = {0, 0, 0, 0};
        for (size_t i = c; i < a.samples.size(); i += a.info.channels) {
            double x = a.samples[i];
            for (double& state : s) x = state += k * (x - state);
            energy += x * x;
        }
    }
    return energy;
}

TEST_F(Render, ACutOffAt1000HzRemovesTheLowBandInBothPrecisions) {
    const std::string in = noiseFile("noise.wav", 2, 44100, 2.0, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(run("--quiet " + in + " " + path("plain.wav")).status, 0);
    const ToolRun f = run("--param \"cut off=1000\" --param Res=0n " + in + " " + path("float.wav"));
    ASSERT_EQ(f.status, 0) << f.out;
    EXPECT_NE(f.out.find("Cut Off 1000 Hz"), std::string::npos) << f.out;
    const ToolRun d = run("--double --param \"Cut Off = 1000 Hz\" " + in + " " + path("double.wav"));
    ASSERT_EQ(d.status, 0) << d.out;
    EXPECT_NE(d.out.find("double processing"), std::string::npos) << d.out;

    const Audio plain = readAudio(path("plain.wav")), fl = readAudio(path("float.wav")),
                db = readAudio(path("double.wav"));
    ASSERT_TRUE(plain.ok && fl.ok && db.ok);
    // 100 Hz is more than three octaves below the cut off: at least 24 dB down.
    EXPECT_LT(lowBandEnergy(fl), lowBandEnergy(plain) * 0.004);
    ASSERT_EQ(fl.samples.size(), db.samples.size());
    double largest = 0.0;
    for (size_t i = 0; i < fl.samples.size(); ++i) largest = std::max(largest, std::fabs(fl.samples[i] - db.samples[i]));
    EXPECT_LT(largest, 1e-6);
}

TEST_F(Render, BypassRendersTheInputUnchanged) {
    const std::string in = noiseFile("noise.wav", 2, 48000, 0.3, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(run("--quiet --bypass --param \"Cut Off=5000\" " + in + " " + path("out.wav")).status, 0);
    const Audio a = readAudio(in), b = readAudio(path("out.wav"));
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.samples, b.samples);
}

}  // namespace
