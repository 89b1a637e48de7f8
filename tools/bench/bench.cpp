// Cost of the filter per stereo frame, against a plain biquad loop that keeps
// its state in registers: the building blocks alone, then the built plug-in
// driven as a host drives it. Usage: bench [seconds per case, default 0.3]
// [PLUGIN.so, default the Qolm.so of this build]
#include "dsp/BiquadSection.h"
#include "dsp/LinearRamp.h"
#include "dsp/RatioRamp.h"
#include "framework/DetMath.h"
#include "host/VstTypes.h"

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>
#include <random>
#include <utility>
#include <vector>

using namespace VRAX;

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

// The channels every case reads and writes, in both precisions, so that all
// cases move the same memory. The noise keeps the filter state well away from
// the subnormal range.
struct Channels {
    double in[2][kBlock];
    double out[2][kBlock];
    float inFloat[2][kBlock];
    float outFloat[2][kBlock];
    double* inPtr[2] = {in[0], in[1]};
    double* outPtr[2] = {out[0], out[1]};
    float* inFloatPtr[2] = {inFloat[0], inFloat[1]};
    float* outFloatPtr[2] = {outFloat[0], outFloat[1]};

    Channels() {
        std::mt19937 rng(1);
        std::uniform_real_distribution<double> noise(-1.0, 1.0);
        for (int c = 0; c < 2; ++c) {
            for (int n = 0; n < kBlock; ++n) {
                in[c][n] = noise(rng);
                inFloat[c][n] = static_cast<float>(in[c][n]);
            }
        }
    }
};
Channels io;

// The outputs live in a global array, but an optimiser may still sink or
// drop a loop whose results nothing reads; this makes them read.
void keep(const void* p) { asm volatile("" : : "r"(p) : "memory"); }
volatile double sink;

struct Case {
    const char* name;
    std::function<void(int frames)> run;  // processes frames stereo frames of io
};
std::vector<Case> cases;

void addCase(const char* name, std::function<void(int frames)> run) {
    cases.push_back({name, std::move(run)});
}

// The reference: the same recurrence, summed in the same order, with the state
// in locals for the whole block.
struct PlainBiquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1L = 0.0, x2L = 0.0, y1L = 0.0, y2L = 0.0;
    double x1R = 0.0, x2R = 0.0, y1R = 0.0, y2R = 0.0;

    void run(int frames) {
        const double c0 = b0, c1 = b1, c2 = b2, d1 = a1, d2 = a2;
        double xl1 = x1L, xl2 = x2L, yl1 = y1L, yl2 = y2L;
        double xr1 = x1R, xr2 = x2R, yr1 = y1R, yr2 = y2R;
        for (int n = 0; n < frames; ++n) {
            const double xl = io.in[0][n];
            const double yl = c0 * xl + c1 * xl1 + c2 * xl2 - d1 * yl1 - d2 * yl2 + 1e-20;
            xl2 = xl1;
            xl1 = xl;
            yl2 = yl1;
            yl1 = yl;
            io.out[0][n] = yl;
            const double xr = io.in[1][n];
            const double yr = c0 * xr + c1 * xr1 + c2 * xr2 - d1 * yr1 - d2 * yr2 + 1e-20;
            xr2 = xr1;
            xr1 = xr;
            yr2 = yr1;
            yr1 = yr;
            io.out[1][n] = yr;
        }
        x1L = xl1, x2L = xl2, y1L = yl1, y2L = yl2;
        x1R = xr1, x2R = xr2, y1R = yr1, y2R = yr2;
    }
};

void runSection(BiquadSection& s, int frames) {
    for (int n = 0; n < frames; ++n) {
        s.processLeft(io.in[0][n]);
        s.processRight(io.in[1][n]);
        io.out[0][n] = s.outLeft;
        io.out[1][n] = s.outRight;
    }
}

// What the effect does while a parameter moves: step the cut off and
// resonance glides every frame and redesign every interval frames. On
// arrival the glide turns round, so the case never settles.
struct Glide {
    RatioRamp cutOff;
    LinearRamp res;
    BiquadSection section;
    int counter = 0;
    int interval = static_cast<int>(kRate * 0.0005) + 1;

    Glide() {
        cutOff.setSampleRate(kRate, 1000.0, 0.02, 20.0);
        res.setSampleRate(kRate, 1.0, 0.02, 0.0);
        section.setSampleRate(kRate);
        section.setHighPass(cutOff.current, res.current);
    }

    void run(int frames) {
        for (int n = 0; n < frames; ++n) {
            cutOff.step();
            res.step();
            if (cutOff.settled) {
                cutOff.setTarget(cutOff.current < 1000.0 ? 20000.0 : 20.0, false);
                res.setTarget(res.current < 0.5 ? 1.0 : 0.0, false);
            }
            if (++counter >= interval) {
                section.setHighPass(cutOff.current, res.current);
                counter = 0;
            }
            section.processLeft(io.in[0][n]);
            section.processRight(io.in[1][n]);
            io.out[0][n] = section.outLeft;
            io.out[1][n] = section.outRight;
        }
    }
};

// The plug-in, loaded as a host loads it. The callback answers only what a
// plain host must.
VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterVersion) return kVstVersion;
    if (opcode == audioMasterGetSampleRate) return static_cast<VstIntPtr>(kRate);
    if (opcode == audioMasterGetBlockSize) return kBlock;
    return 0;
}

struct Plugin {
    void* library = nullptr;
    AEffect* effect = nullptr;

    bool load(const char* path) {
        library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            std::fprintf(stderr, "bench: %s\n", dlerror());
            return false;
        }
        using Entry = AEffect* (*)(audioMasterCallback);
        auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
        effect = entry ? entry(&hostCallback) : nullptr;
        if (!effect) {
            std::fprintf(stderr, "bench: %s created no effect\n", path);
            return false;
        }
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        dispatch(effSetBlockSize, 0, kBlock);
        dispatch(effMainsChanged, 0, 1);
        return true;
    }
    ~Plugin() {
        if (effect) {
            dispatch(effMainsChanged, 0, 0);
            dispatch(effClose);
        }
        if (library) dlclose(library);
    }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }
    void set(VstInt32 index, float value) { effect->setParameter(effect, index, value); }
    void processDouble(int frames) { effect->processDoubleReplacing(effect, io.inPtr, io.outPtr, frames); }
    void processFloat(int frames) { effect->processReplacing(effect, io.inFloatPtr, io.outFloatPtr, frames); }
};

// Normalised "Cut Off" for a frequency (20 Hz to 20 kHz, logarithmic).
float cutOffValue(double hz) { return static_cast<float>(std::log10(hz / 20.0) / 3.0); }

// Keeps the plug-in's cut off gliding: a new target, far enough away that the
// glide cannot arrive, every 0.01 s of frames (a whole-range glide takes 0.02 s).
struct GlideDriver {
    Plugin& plugin;
    long long frames = 0;
    bool up = false;

    void advance(int count) {
        frames += count;
        if (frames < static_cast<long long>(kRate * 0.01)) return;
        frames = 0;
        up = !up;
        plugin.set(1, up ? 1.0f : 0.0f);
    }
};

// The thread's own CPU time: on a shared machine, time spent waiting for a
// core would otherwise count as the code's.
double cpuNow() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e9 + static_cast<double>(t.tv_nsec);
}

// Cost of one call of a maths function over the arguments the filter gives
// it, the best of three rounds; what a glide pays per coefficient update.
template <typename F>
double nsPerCall(F f, const std::vector<double>& args, double seconds) {
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        long long calls = 0;
        double sum = 0.0;
        const double start = cpuNow();
        double stop = start;
        do {
            for (const double x : args) sum += f(x);
            calls += static_cast<long long>(args.size());
            stop = cpuNow();
        } while (stop < start + seconds / 3.0 * 1e9);
        sink = sum;
        best = std::min(best, (stop - start) / static_cast<double>(calls));
    }
    return best;
}

double nsPerFrame(const Case& c, double seconds) {
    const auto now = cpuNow;
    const auto measure = [&](double forSeconds) {
        long long frames = 0;
        const double start = now();
        const double end = start + forSeconds * 1e9;
        double stop = start;
        do {
            for (int i = 0; i < 16; ++i) {
                c.run(kBlock);
                keep(io.out);
                keep(io.outFloat);
            }
            frames += 16 * kBlock;
            stop = now();
        } while (stop < end);
        return (stop - start) / static_cast<double>(frames);
    };
    measure(0.05);
    // The best of three rounds: the one least disturbed by the rest of the machine.
    double best = measure(seconds / 3.0);
    best = std::min(best, measure(seconds / 3.0));
    best = std::min(best, measure(seconds / 3.0));
    sink = io.out[0][kBlock - 1] + io.out[1][kBlock - 1] + io.outFloat[0][kBlock - 1];
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 0.3;
    if (!(seconds > 0.0)) {
        std::fprintf(stderr, "usage: bench [seconds per case] [PLUGIN.so]\n");
        return 2;
    }
    const char* pluginPath = argc > 2 ? argv[2] : QOLM_PLUGIN_PATH;

    BiquadSection section;
    section.setSampleRate(kRate);
    section.setHighPass(1000.0, 0.5);
    PlainBiquad plain;
    plain.b0 = section.b0;
    plain.b1 = section.b1;
    plain.b2 = section.b2;
    plain.a1 = section.a1;
    plain.a2 = section.a2;

    // Both loops must do the same work, to the bit.
    {
        BiquadSection fresh = section;
        runSection(fresh, kBlock);
        const std::vector<double> left(io.out[0], io.out[0] + kBlock);
        const std::vector<double> right(io.out[1], io.out[1] + kBlock);
        PlainBiquad check = plain;
        check.run(kBlock);
        if (!std::equal(left.begin(), left.end(), io.out[0]) ||
            !std::equal(right.begin(), right.end(), io.out[1])) {
            std::fprintf(stderr, "bench: the reference and BiquadSection disagree\n");
            return 1;
        }
    }

    Glide glide;
    addCase("reference biquad, state in locals", [&](int frames) { plain.run(frames); });
    addCase("BiquadSection, steady", [&](int frames) { runSection(section, frames); });
    addCase("BiquadSection + ramps, gliding", [&](int frames) { glide.run(frames); });

    // The plug-in, steady at 1000 Hz and Res 50 % (the section's design above),
    // and gliding. Each case has its own instance, so no case inherits another's glide.
    Plugin steady, gliding;
    if (!steady.load(pluginPath) || !gliding.load(pluginPath)) return 1;
    for (Plugin* p : {&steady, &gliding}) {
        p->set(1, cutOffValue(1000.0));
        p->set(2, 0.5f);
        for (int i = 0; i < 8; ++i) p->processDouble(kBlock);
    }
    GlideDriver driver{gliding};
    addCase("Qolm double, steady", [&](int frames) { steady.processDouble(frames); });
    addCase("Qolm float, steady", [&](int frames) { steady.processFloat(frames); });
    addCase("Qolm double, gliding", [&](int frames) {
        gliding.processDouble(frames);
        driver.advance(frames);
    });
    addCase("Qolm float, gliding", [&](int frames) {
        gliding.processFloat(frames);
        driver.advance(frames);
    });

    std::printf("%d-bit, %.0f Hz, blocks of %d frames, best of 3 rounds in %.2f s per case\n\n",
                static_cast<int>(sizeof(void*) * 8), kRate, kBlock, seconds);
    std::printf("%-40s %10s %8s\n", "case", "ns/frame", "ratio");
    double reference = 0.0;
    for (const Case& c : cases) {
        const double ns = nsPerFrame(c, seconds);
        if (reference == 0.0) reference = ns;
        std::printf("%-40s %10.2f %8.2f\n", c.name, ns, ns / reference);
    }

    // The maths behind the coefficients and glides, ours against the C
    // library's: tan over pi fc / fs for cut offs from 20 Hz to Nyquist, pow
    // over the cut off mapping 1000^n.
    std::vector<double> angles, exponents;
    for (int i = 0; i < kBlock; ++i) {
        const double n = (i + 0.5) / kBlock;
        angles.push_back(3.141592653589793 * 20.0 * std::pow(kRate / 40.0, n) / kRate);
        exponents.push_back(n);
    }
    std::printf("\n%-40s %10s\n", "function", "ns/call");
    std::printf("%-40s %10.2f\n", "detmath::tan", nsPerCall([](double x) { return detmath::tan(x); }, angles, seconds));
    std::printf("%-40s %10.2f\n", "std::tan", nsPerCall([](double x) { return std::tan(x); }, angles, seconds));
    std::printf("%-40s %10.2f\n", "detmath::pow(1000, n)",
                nsPerCall([](double n) { return detmath::pow(1000.0, n); }, exponents, seconds));
    std::printf("%-40s %10.2f\n", "std::pow(1000, n)",
                nsPerCall([](double n) { return std::pow(1000.0, n); }, exponents, seconds));
    return 0;
}
