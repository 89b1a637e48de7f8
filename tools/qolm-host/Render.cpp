// render: runs an audio file (or a built-in demo signal) through a plug-in's
// process callbacks, block by block as a host does, and writes the result.
#include "AudioDemo.h"
#include "AudioFile.h"
#include "Commands.h"
#include "HostLoader.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace qhost {

namespace {

constexpr long long kMaxBlock = 1 << 20;
constexpr double kMaxTail = 3600.0;
// Files longer than this show progress even when stderr is not a terminal.
constexpr double kProgressSeconds = 10.0;

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: qolm-host render [options] [IN] OUT\n"
                 "Runs IN through the plug-in and writes OUT. Without IN a demo signal is rendered:\n"
                 "%.0f s of a logarithmic sine sweep from 20 Hz to 20 kHz and %.0f s of white noise, at\n"
                 "48 kHz in stereo.\n"
                 "\n"
                 "  --plugin PATH        the plug-in (default: the Qolm.so built beside this tool)\n"
                 "  --block N            frames per process call, 1 to %lld (default 512)\n"
                 "  --program N          select program N first\n"
                 "  --param NAME=VALUE   set a parameter, named as the plug-in names it (any case);\n"
                 "                       repeat for several. VALUE is either\n"
                 "                         a number in the parameter's unit, optionally followed by\n"
                 "                         the unit: \"Cut Off=120\", \"Cut Off=120 Hz\", \"Gain=-3dB\";\n"
                 "                         the plug-in converts it (effString2Parameter), or\n"
                 "                         a normalised value 0 to 1 followed by n: \"Res=0.5n\"\n"
                 "  --double             process in double precision (processDoubleReplacing)\n"
                 "  --bypass             switch the plug-in's soft bypass on\n"
                 "  --tail SECONDS       render this much silence after the input (default 0)\n"
                 "  --keep-subtype       keep the input's sample format (default: 32-bit float\n"
                 "                       where the file type holds it, e.g. WAV and AIFF)\n"
                 "  --quiet              print neither progress nor the summary\n"
                 "\n"
                 "IN may be any file libsndfile reads (WAV, FLAC, AIFF, OGG, ...) with one or two\n"
                 "channels; OUT gets the same file type and channel count (the demo's type follows\n"
                 "OUT's extension, WAV by default). OUT appears only when the render succeeded.\n",
                 DemoSource::kSweepSeconds, DemoSource::kNoiseSeconds, kMaxBlock);
}

struct Options {
    std::string plugin;
    long long block = 512;
    long long program = -1;
    std::vector<std::string> params;
    bool useDouble = false;
    bool bypass = false;
    bool keepSubtype = false;
    bool quiet = false;
    double tail = 0.0;
    std::string in;
    std::string out;
};

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t')) --b;
    return s.substr(a, b - a);
}

bool parseInteger(const std::string& text, long long minimum, long long maximum, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || v < minimum || v > maximum) return false;
    value = v;
    return true;
}

bool parseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end != 0 || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// false with a message for a usage error; help is set for --help.
bool parseOptions(const Args& args, Options& o, std::string& error, bool& help) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            help = true;
            return true;
        } else if (a == "--plugin") {
            if (!value(o.plugin)) return false;
        } else if (a == "--block") {
            if (!value(v)) return false;
            if (!parseInteger(v, 1, kMaxBlock, o.block)) {
                error = "bad block size '" + v + "': give a whole number of frames from 1 to " +
                        std::to_string(kMaxBlock);
                return false;
            }
        } else if (a == "--program") {
            if (!value(v)) return false;
            if (!parseInteger(v, 0, INT_MAX, o.program)) {
                error = "bad program number '" + v + "'";
                return false;
            }
        } else if (a == "--param") {
            if (!value(v)) return false;
            if (v.find('=') == std::string::npos) {
                error = "--param wants NAME=VALUE, not '" + v + "'";
                return false;
            }
            o.params.push_back(v);
        } else if (a == "--tail") {
            if (!value(v)) return false;
            if (!parseNumber(v, o.tail) || o.tail < 0.0 || o.tail > kMaxTail) {
                error = "bad tail '" + v + "': give seconds from 0 to " + std::to_string(static_cast<int>(kMaxTail));
                return false;
            }
        } else if (a == "--double") {
            o.useDouble = true;
        } else if (a == "--bypass") {
            o.bypass = true;
        } else if (a == "--keep-subtype") {
            o.keepSubtype = true;
        } else if (a == "--quiet") {
            o.quiet = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() == 1) {
        o.out = positional[0];
    } else if (positional.size() == 2) {
        o.in = positional[0];
        o.out = positional[1];
    } else {
        error = positional.empty() ? "no output file given" : "too many files given";
        return false;
    }
    return true;
}

// Sets one NAME=VALUE; false with a message when the name or value is unusable.
bool applyParam(HostLoader& host, const std::string& assignment, std::string& error) {
    AEffect* e = host.effect();
    const size_t eq = assignment.find('=');
    const std::string name = trim(assignment.substr(0, eq));
    const std::string valueText = trim(assignment.substr(eq + 1));
    int index = -1;
    std::string known;
    for (int i = 0; i < e->numParams; ++i) {
        const std::string candidate = trim(host.text(effGetParamName, i));
        if (index < 0 && strcasecmp(candidate.c_str(), name.c_str()) == 0) index = i;
        known += (known.empty() ? "" : ", ") + ("\"" + candidate + "\"");
    }
    if (index < 0) {
        error = "the plug-in has no parameter \"" + name + "\" (it has " + (known.empty() ? "none" : known) + ")";
        return false;
    }
    const std::string unit = trim(host.text(effGetParamLabel, index));
    const char* start = valueText.c_str();
    char* end = nullptr;
    const double number = std::strtod(start, &end);
    const std::string rest = trim(end);
    auto notANumber = [&] {
        error = "value \"" + valueText + "\" for \"" + name + "\" is not a number" +
                (unit.empty() ? std::string() : " in " + unit) + " or a normalised value such as 0.5n";
        return false;
    };
    if (end == start || !std::isfinite(number)) return notANumber();
    if (rest == "n" || rest == "N") {
        if (number < 0.0 || number > 1.0) {
            error = "normalised value " + valueText + " for \"" + name + "\" is outside 0 to 1";
            return false;
        }
        e->setParameter(e, index, static_cast<float>(number));
        return true;
    }
    if (!rest.empty() && (unit.empty() || strcasecmp(rest.c_str(), unit.c_str()) != 0)) return notANumber();
    std::string text(start, static_cast<size_t>(end - start));
    if (!host.dispatch(effString2Parameter, index, 0, text.data())) {
        error = "the plug-in does not take \"" + name + "\" as text; give a normalised value such as 0.5n";
        return false;
    }
    return true;
}

std::string parameterSummary(HostLoader& host) {
    std::string s;
    for (int i = 0; i < host.effect()->numParams; ++i) {
        const std::string name = trim(host.text(effGetParamName, i));
        const std::string display = trim(host.text(effGetParamDisplay, i));
        const std::string unit = trim(host.text(effGetParamLabel, i));
        if (!s.empty()) s += ", ";
        s += name + " " + display + (unit.empty() ? "" : " " + unit);
    }
    return s;
}

// Removes a half-written output when the render is interrupted.
extern "C" void onInterrupt(int signal) {
    const char* temp = pendingTempFile();
    if (temp[0]) unlink(temp);
    _exit(128 + signal);
}

class Progress {
public:
    Progress(bool enabled, long long total) : enabled(enabled && total > 0), total(total), tty(isatty(2)) {}

    void update(long long done) {
        if (!enabled) return;
        const auto now = std::chrono::steady_clock::now();
        if (shown && now - last < std::chrono::milliseconds(100)) return;
        const int percent = static_cast<int>(std::min<long long>(100, done * 100 / total));
        if (!tty && percent == lastPercent) return;
        last = now;
        shown = true;
        lastPercent = percent;
        std::fprintf(stderr, tty ? "\rrendering %3d%%" : "rendering %3d%%\n", percent);
    }
    void finish() {
        if (!enabled || !shown) return;
        if (tty)
            std::fprintf(stderr, "\rrendering 100%%\n");
        else if (lastPercent != 100)
            std::fprintf(stderr, "rendering 100%%\n");
    }

private:
    bool enabled;
    long long total;
    bool tty;
    bool shown = false;
    int lastPercent = -1;
    std::chrono::steady_clock::time_point last{};
};

int fail(const std::string& message) {
    std::fprintf(stderr, "qolm-host render: %s\n", message.c_str());
    return 1;
}

}  // namespace

int runRender(const Args& args) {
    Options o;
    std::string error;
    bool help = false;
    if (!parseOptions(args, o, error, help)) {
        std::fprintf(stderr, "qolm-host render: %s (see qolm-host render --help)\n", error.c_str());
        return 2;
    }
    if (help) {
        usage(stdout);
        return 0;
    }
    if (o.plugin.empty()) o.plugin = defaultPluginPath();

    // The source and the output's format.
    std::unique_ptr<AudioSource> source;
    int inputFormat = 0;
    if (o.in.empty()) {
        source = std::make_unique<DemoSource>();
        const int major = majorFormatForName(o.out);
        inputFormat = major | (major == SF_FORMAT_OGG ? SF_FORMAT_VORBIS
                               : major == SF_FORMAT_FLAC ? SF_FORMAT_PCM_24
                                                         : SF_FORMAT_FLOAT);
    } else {
        auto reader = std::make_unique<AudioFileReader>();
        if (!reader->open(o.in, error)) return fail(error);
        inputFormat = reader->format();
        source = std::move(reader);
    }
    const int channels = source->channels();
    const int rate = source->sampleRate();
    if (channels < 1 || channels > 2)
        return fail((o.in.empty() ? std::string("the input") : o.in) + " has " + std::to_string(channels) +
                    " channels; the plug-in takes 1 or 2");
    const int outputFormat = outputFormatFor(inputFormat, channels, rate, o.keepSubtype);
    if (!outputFormat) return fail("libsndfile cannot write this file type with " + std::to_string(channels) +
                                   " channels at " + std::to_string(rate) + " Hz");

    // The plug-in, set up as a host does when it loads one and then
    // reconfigures it for an offline render.
    HostLoader host;
    host.sampleRate = rate;
    host.blockSize = static_cast<VstInt32>(o.block);
    if (!host.load(o.plugin)) return fail(host.error());
    AEffect* e = host.effect();
    const VstInt32 needed = o.useDouble ? effFlagsCanDoubleReplacing : effFlagsCanReplacing;
    const bool hasEntry = o.useDouble ? e->processDoubleReplacing != nullptr : e->processReplacing != nullptr;
    if (!(e->flags & needed) || !hasEntry)
        return fail(std::string("the plug-in has no ") +
                    (o.useDouble ? "double-precision" : "single-precision") + " replacing processing");
    const auto blockSize = static_cast<VstIntPtr>(o.block);
    host.dispatch(effOpen);
    host.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    host.dispatch(effSetBlockSize, 0, blockSize);
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effMainsChanged, 0, 0);

    VstSpeakerArrangement inArr{}, outArr{};
    inArr.type = outArr.type = channels == 1 ? 0 /* mono */ : 1 /* stereo */;
    inArr.numChannels = outArr.numChannels = channels;
    for (int c = 0; c < channels; ++c) {
        // Mono: M; stereo: L and R.
        inArr.speakers[c].type = outArr.speakers[c].type = channels == 1 ? 0 : c + 1;
        std::snprintf(inArr.speakers[c].name, sizeof(inArr.speakers[c].name), "%s",
                      channels == 1 ? "M" : (c == 0 ? "L" : "R"));
        std::memcpy(outArr.speakers[c].name, inArr.speakers[c].name, sizeof(outArr.speakers[c].name));
    }
    int pluginInputs = channels;
    int pluginOutputs = channels;
    if (!host.dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inArr), &outArr)) {
        // A plug-in with a fixed layout: every input gets a channel of the
        // file (a mono file feeds all), and the first outputs are kept.
        pluginInputs = e->numInputs;
        pluginOutputs = e->numOutputs;
        if (pluginOutputs < channels)
            return fail("the plug-in has " + std::to_string(pluginOutputs) + " outputs; the file has " +
                        std::to_string(channels) + " channels");
    }
    host.dispatch(effSetBlockSize, 0, blockSize);

    if (o.program >= 0) {
        if (o.program >= e->numPrograms)
            return fail("program " + std::to_string(o.program) + " does not exist (the plug-in has " +
                        std::to_string(e->numPrograms) + ")");
        host.dispatch(effSetProgram, 0, static_cast<VstIntPtr>(o.program));
    }
    for (const std::string& p : o.params)
        if (!applyParam(host, p, error)) return fail(error);
    if (o.bypass && !host.dispatch(effSetBypass, 0, 1)) return fail("the plug-in has no soft bypass");
    host.dispatch(effMainsChanged, 0, 1);
    host.dispatch(effStartProcess);

    // Nothing is written before this point; from here a failure removes the
    // temporary file.
    AudioFileWriter writer;
    if (!writer.open(o.out, outputFormat, channels, rate, error)) return fail(error);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    std::signal(SIGHUP, onInterrupt);

    const auto frames = static_cast<size_t>(o.block);
    std::vector<double> interleaved(frames * channels), result(frames * channels);
    std::vector<float> resultFloat(frames * channels);
    const int slotsIn = std::max(pluginInputs, 1), slotsOut = std::max(pluginOutputs, 1);
    std::vector<std::vector<double>> inD(slotsIn, std::vector<double>(frames)), outD(slotsOut, std::vector<double>(frames));
    std::vector<std::vector<float>> inF(slotsIn, std::vector<float>(frames)), outF(slotsOut, std::vector<float>(frames));
    std::vector<double*> inDp, outDp;
    std::vector<float*> inFp, outFp;
    for (auto& v : inD) inDp.push_back(v.data());
    for (auto& v : outD) outDp.push_back(v.data());
    for (auto& v : inF) inFp.push_back(v.data());
    for (auto& v : outF) outFp.push_back(v.data());

    const long long sourceFrames = source->frames();
    const long long tailFrames = std::llround(o.tail * rate);
    const long long expected = sourceFrames > 0 ? sourceFrames + tailFrames : 0;
    Progress progress(!o.quiet && (isatty(2) || static_cast<double>(sourceFrames) / rate > kProgressSeconds),
                      expected);
    const auto started = std::chrono::steady_clock::now();
    long long done = 0, tailLeft = tailFrames, notFinite = 0;
    double peak = 0.0;
    bool inputDone = false;
    for (;;) {
        long long n = 0;
        if (!inputDone) {
            n = source->read(interleaved.data(), o.block);
            if (n < 0) return fail("cannot read " + o.in);
            if (n == 0) inputDone = true;
        }
        if (inputDone) {
            n = std::min<long long>(o.block, tailLeft);
            if (n == 0) break;
            tailLeft -= n;
            std::fill(interleaved.begin(), interleaved.begin() + n * channels, 0.0);
        }
        const auto count = static_cast<size_t>(n);
        for (int c = 0; c < pluginInputs; ++c) {
            const int from = std::min(c, channels - 1);
            for (size_t i = 0; i < count; ++i) {
                inD[c][i] = interleaved[i * channels + from];
                inF[c][i] = static_cast<float>(inD[c][i]);
            }
        }
        if (o.useDouble) {
            for (auto& v : outD) std::fill(v.begin(), v.end(), 0.0);
            e->processDoubleReplacing(e, inDp.data(), outDp.data(), static_cast<VstInt32>(n));
            for (int c = 0; c < channels; ++c)
                for (size_t i = 0; i < count; ++i) result[i * channels + c] = outD[c][i];
        } else {
            for (auto& v : outF) std::fill(v.begin(), v.end(), 0.0f);
            e->processReplacing(e, inFp.data(), outFp.data(), static_cast<VstInt32>(n));
            for (int c = 0; c < channels; ++c)
                for (size_t i = 0; i < count; ++i) resultFloat[i * channels + c] = outF[c][i];
        }
        for (size_t i = 0; i < count * channels; ++i) {
            const double v = o.useDouble ? result[i] : resultFloat[i];
            if (!std::isfinite(v))
                ++notFinite;
            else
                peak = std::max(peak, std::fabs(v));
        }
        const bool written = o.useDouble ? writer.write(result.data(), n) : writer.write(resultFloat.data(), n);
        if (!written) return fail("cannot write " + o.out + " (disk full?)");
        done += n;
        progress.update(done);
    }
    host.dispatch(effStopProcess);
    host.dispatch(effMainsChanged, 0, 0);
    const std::string settings = parameterSummary(host);
    if (!writer.commit(error)) return fail(error);
    progress.finish();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    if (!o.quiet) {
        char peakText[32];
        if (peak > 0.0)
            std::snprintf(peakText, sizeof(peakText), "%.2f dBFS", 20.0 * std::log10(peak));
        else
            std::snprintf(peakText, sizeof(peakText), "-inf dBFS");
        const double length = static_cast<double>(done) / rate;
        std::printf("%s: %lld frames (%.2f s), %d channel%s, %d Hz, %s processing, peak %s\n", o.out.c_str(), done, length,
                    channels, channels == 1 ? "" : "s", rate, o.useDouble ? "double" : "float", peakText);
        std::printf("settings: %s%s\n", settings.c_str(), o.bypass ? " (bypassed)" : "");
        std::printf("rendered in %.3f s (%.0fx real time)\n", seconds, seconds > 0.0 ? length / seconds : 0.0);
        if (notFinite) std::printf("warning: %lld output samples were not finite\n", notFinite);
    }
    return 0;
}

}  // namespace qhost
