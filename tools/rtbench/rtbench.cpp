// rtbench: what the plug-in costs the rest of the system, measured through
// its entry point as a host sees it (any build of Qolm.so can be measured):
//   - system calls made on the audio thread while the editor is open, the
//     peak moves and parameters are automated from that thread;
//   - X connections used by 300 instances that never open an editor, and
//     whether another client can still connect afterwards;
//   - CPU used by the editor, idle and while the audio's peak moves.
// Needs an X display (run under xvfb-run). A tool, not a test: the figures
// depend on the machine.
//
//   rtbench [path/to/Qolm.so] [--seconds N] [--instances N]
#include "host/VstTypes.h"
#include "tools/rtbench/ProcessCounts.h"
#include "tools/rtbench/SyscallWatch.h"

#include <X11/Xlib.h>
#include <dlfcn.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using Entry = AEffect* (*)(audioMasterCallback);

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetSampleRate:
            return 48000;
        case audioMasterGetBlockSize:
            return 64;
        default:
            return 0;
    }
}

VstIntPtr dispatch(AEffect* e, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                   float opt = 0.0f) {
    return e->dispatcher(e, opcode, index, value, ptr, opt);
}

AEffect* startInstance(Entry entry, VstIntPtr block) {
    AEffect* e = entry(&hostCallback);
    if (!e) return nullptr;
    dispatch(e, effOpen);
    dispatch(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch(e, effSetBlockSize, 0, block);
    dispatch(e, effMainsChanged, 0, 1);
    return e;
}

// CPU time in seconds of this process's threads whose name starts with
// `prefix` (all threads when it is empty), from /proc.
double threadCpuSeconds(const char* prefix) {
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    double total = 0.0;
    rtwatch::forEachThread([&](const std::string& folder, const char* name) {
        if (prefix[0] && std::strncmp(name, prefix, std::strlen(prefix)) != 0) return;
        if (FILE* f = std::fopen((folder + "/stat").c_str(), "r")) {
            char line[1024] = {};
            if (std::fgets(line, sizeof(line), f)) {
                // Fields after the name in parentheses; utime and stime are
                // the 14th and 15th of the whole line.
                const char* p = std::strrchr(line, ')');
                unsigned long utime = 0, stime = 0;
                if (p && std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime,
                                     &stime) == 2)
                    total += static_cast<double>(utime + stime) / tick;
            }
            std::fclose(f);
        }
    });
    return total;
}

// A host's audio thread: real-time paced blocks of noise whose level swings,
// so the peak keeps moving, in both precisions, with automation of every
// parameter from this thread.
class Audio {
public:
    Audio(AEffect* effect, int frames) : effect(effect), frames(frames) {
        for (int c = 0; c < 2; ++c) {
            fin[c].assign(static_cast<size_t>(frames), 0.0f);
            fout[c].assign(static_cast<size_t>(frames), 0.0f);
            din[c].assign(static_cast<size_t>(frames), 0.0);
            dout[c].assign(static_cast<size_t>(frames), 0.0);
        }
    }
    ~Audio() { stop(); }

    void start(rtwatch::SyscallWatch* watch) {
        running = true;
        worker = std::thread([this, watch] { loop(watch); });
    }
    void stop() {
        running = false;
        if (worker.joinable()) worker.join();
    }
    long blocks() const { return done.load(); }
    bool watched() const { return watchOk.load(); }

private:
    void loop(rtwatch::SyscallWatch* watch) {
        pthread_setname_np(pthread_self(), "rtbench-audio");
        const int64_t period = static_cast<int64_t>(frames) * 1000000000 / 48000;
        rtwatch::Time64 next = rtwatch::nowMonotonic();
        if (watch) watchOk = watch->watchThisThread();
        uint32_t seed = 1;
        for (long n = 0; running.load(std::memory_order_relaxed); ++n) {
            const double level = 0.05 + 0.9 * (0.5 + 0.5 * std::sin(static_cast<double>(n) * 0.05));
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < frames; ++i) {
                    seed = seed * 1664525u + 1013904223u;
                    const double x = level * (static_cast<double>(seed >> 8) / 8388608.0 - 1.0);
                    fin[c][static_cast<size_t>(i)] = static_cast<float>(x);
                    din[c][static_cast<size_t>(i)] = x;
                }
            float* fi[2] = {fin[0].data(), fin[1].data()};
            float* fo[2] = {fout[0].data(), fout[1].data()};
            double* di[2] = {din[0].data(), din[1].data()};
            double* dout2[2] = {dout[0].data(), dout[1].data()};
            if (n % 2 == 0)
                effect->processReplacing(effect, fi, fo, frames);
            else
                effect->processDoubleReplacing(effect, di, dout2, frames);
            if (n % 8 == 0) {
                const VstInt32 index = static_cast<VstInt32>((n / 8) % 3);
                const float v = effect->getParameter(effect, index);
                effect->setParameter(effect, index, v < 0.5f ? v + 0.01f : 0.1f);
            }
            ++done;
            next = rtwatch::later(next, period);
            rtwatch::sleepUntil(next);
        }
        if (watch) watch->stopCounting();
    }

    AEffect* effect;
    int frames;
    std::vector<float> fin[2], fout[2];
    std::vector<double> din[2], dout[2];
    std::thread worker;
    std::atomic<bool> running{false};
    std::atomic<long> done{0};
    std::atomic<bool> watchOk{false};
};

struct Editor {
    Editor(Display* display, AEffect* effect) : display(display), effect(effect) {
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 285, 195, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
        opened = dispatch(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) == 1;
    }
    ~Editor() {
        dispatch(effect, effEditClose);
        XDestroyWindow(display, parent);
        XSync(display, False);
    }
    // Runs the host's idle calls (at 25 Hz, as hosts do) for that long.
    void idleFor(double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < end) {
            dispatch(effect, effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }
    Display* display;
    AEffect* effect;
    Window parent = 0;
    bool opened = false;
};

void measureSyscalls(Entry entry, Display* display, double seconds) {
    AEffect* e = startInstance(entry, 64);
    if (!e) {
        std::printf("audio-thread system calls: no instance\n");
        return;
    }
    {
        Editor editor(display, e);
        editor.idleFor(0.5);  // let the window come up and draw once
        rtwatch::SyscallWatch watch;
        Audio audio(e, 64);
        audio.start(&watch);
        editor.idleFor(seconds);
        audio.stop();
        watch.finish();
        if (!audio.watched()) {
            std::printf("audio-thread system calls: cannot watch (%s)\n", watch.error().c_str());
        } else {
            const long n = watch.total();
            std::printf("audio-thread system calls: %ld in %.1f s (%.1f per second; %ld blocks of 64 frames, "
                        "editor %s)%s%s\n",
                        n, seconds, static_cast<double>(n) / seconds, audio.blocks(),
                        editor.opened ? "open" : "NOT open", n ? ": " : "", watch.summary().c_str());
        }
    }
    dispatch(e, effClose);
}

void measureClients(Entry entry, int instances) {
    const int before = rtwatch::socketCount();
    std::vector<AEffect*> effects;
    for (int i = 0; i < instances; ++i)
        if (AEffect* e = entry(&hostCallback)) effects.push_back(e);
    const int used = rtwatch::socketCount() - before;
    Display* other = XOpenDisplay(nullptr);
    std::printf("X clients used by %d instances (no editor opened): %d; another client can connect: %s\n",
                static_cast<int>(effects.size()), used, other ? "yes" : "NO");
    if (other) XCloseDisplay(other);
    for (AEffect* e : effects) dispatch(e, effClose);
}

void measureEditorCpu(Entry entry, Display* display, double seconds) {
    AEffect* e = startInstance(entry, 256);
    if (!e) return;
    {
        Editor editor(display, e);
        editor.idleFor(1.0);
        for (int moving = 0; moving < 2; ++moving) {
            Audio audio(e, 256);
            if (moving) audio.start(nullptr);
            const double threadBefore = threadCpuSeconds("qolm-editor");
            const double allBefore = threadCpuSeconds("");
            const double audioBefore = threadCpuSeconds("rtbench-audio");
            editor.idleFor(seconds);
            const double thread = threadCpuSeconds("qolm-editor") - threadBefore;
            const double audioCpu = threadCpuSeconds("rtbench-audio") - audioBefore;
            const double all = threadCpuSeconds("") - allBefore - audioCpu;
            audio.stop();
            std::printf("editor CPU, %s: window thread %.1f %%, process without the audio thread %.1f %%\n",
                        moving ? "peak moving" : "idle", 100.0 * thread / seconds, 100.0 * all / seconds);
        }
    }
    dispatch(e, effClose);
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const char* path = QOLM_PLUGIN_PATH;
    double seconds = 5.0;
    int instances = 300;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc)
            seconds = std::atof(argv[++i]);
        else if (!std::strcmp(argv[i], "--instances") && i + 1 < argc)
            instances = std::atoi(argv[++i]);
        else
            path = argv[i];
    }
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "rtbench: cannot load %s: %s\n", path, dlerror());
        return 1;
    }
    auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
    Display* display = XOpenDisplay(nullptr);
    if (!entry || !display) {
        std::fprintf(stderr, "rtbench: %s\n", entry ? "no X display (run under xvfb-run -a)" : "no entry point");
        return 1;
    }
    std::printf("plug-in: %s\n", path);
    measureSyscalls(entry, display, seconds);
    measureEditorCpu(entry, display, seconds);
    XCloseDisplay(display);
    // Last: with the old code this fills the server's client table.
    measureClients(entry, instances);
    return 0;
}
