#include "Commands.h"
#include "HostLoader.h"

#include <cstdio>
#include <cstring>

namespace qhost {

namespace {
std::string fourCC(VstInt32 id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xff);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

std::string flagText(VstInt32 flags) {
    std::string s;
    auto add = [&](VstInt32 bit, const char* name) {
        if (flags & bit) {
            if (!s.empty()) s += " | ";
            s += name;
        }
    };
    add(effFlagsHasEditor, "HasEditor");
    add(effFlagsCanReplacing, "CanReplacing");
    add(effFlagsProgramChunks, "ProgramChunks");
    add(effFlagsIsSynth, "IsSynth");
    add(effFlagsNoSoundInStop, "NoSoundInStop");
    add(effFlagsCanDoubleReplacing, "CanDoubleReplacing");
    return s.empty() ? "none" : s;
}
}  // namespace

int runInfo(const Args& args) {
    std::string path = defaultPluginPath();
    bool log = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--log")
            log = true;
        else if (args[i][0] == '-') {
            std::fprintf(stderr, "qolm-host info: unknown option %s\n", args[i].c_str());
            return 2;
        } else
            path = args[i];
    }
    HostLoader host;
    if (log) host.log = stdout;
    if (!host.load(path)) {
        std::fprintf(stderr, "qolm-host info: %s\n", host.error().c_str());
        return 1;
    }
    AEffect* e = host.effect();
    char name[256] = {}, vendor[256] = {}, product[256] = {};
    host.dispatch(effGetEffectName, 0, 0, name);
    host.dispatch(effGetVendorString, 0, 0, vendor);
    host.dispatch(effGetProductString, 0, 0, product);
    std::printf("plug-in      %s\n", path.c_str());
    std::printf("name         %s\n", name);
    std::printf("vendor       %s\n", vendor);
    std::printf("product      %s\n", product);
    std::printf("version      %d (vendor version %ld)\n", e->version,
                static_cast<long>(host.dispatch(effGetVendorVersion)));
    std::printf("VST version  %ld\n", static_cast<long>(host.dispatch(effGetVstVersion)));
    std::printf("unique id    '%s' (0x%08x)\n", fourCC(e->uniqueID).c_str(), static_cast<unsigned>(e->uniqueID));
    std::printf("category     %ld\n", static_cast<long>(host.dispatch(effGetPlugCategory)));
    std::printf("flags        0x%x (%s)\n", static_cast<unsigned>(e->flags), flagText(e->flags).c_str());
    std::printf("inputs       %d\n", e->numInputs);
    std::printf("outputs      %d\n", e->numOutputs);
    std::printf("parameters   %d\n", e->numParams);
    for (VstInt32 i = 0; i < e->numParams; ++i) {
        std::string pname = host.text(effGetParamName, i);
        std::string display = host.text(effGetParamDisplay, i);
        std::string label = host.text(effGetParamLabel, i);
        std::printf("  %2d %-12s %-12s %-6s (%.6f)\n", i, pname.c_str(), display.c_str(), label.c_str(),
                    static_cast<double>(e->getParameter(e, i)));
    }
    std::printf("programs     %d\n", e->numPrograms);
    for (VstInt32 i = 0; i < e->numPrograms; ++i) {
        char pname[256] = {};
        host.dispatch(effGetProgramNameIndexed, i, -1, pname);
        std::printf("  %2d %s\n", i, pname);
    }
    ERect* rect = nullptr;
    if ((e->flags & effFlagsHasEditor) && host.dispatch(effEditGetRect, 0, 0, &rect) && rect)
        std::printf("editor       %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    return 0;
}

}  // namespace qhost
