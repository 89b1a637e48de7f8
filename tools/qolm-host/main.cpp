// qolm-host: a small VST 2.4 host for Linux plug-ins.
#include "Commands.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace qhost {

std::string defaultPluginPath() {
    char self[PATH_MAX] = {};
    ssize_t n = readlink("/proc/self/exe", self, sizeof(self) - 1);
    std::string dir = ".";
    if (n > 0) {
        std::string exe(self, static_cast<size_t>(n));
        size_t slash = exe.rfind('/');
        if (slash != std::string::npos) dir = exe.substr(0, slash);
    }
    // The tool is built in <build>/tools; the plug-in in <build>.
    std::string candidate = dir + "/../Qolm.so";
    if (access(candidate.c_str(), R_OK) == 0) return candidate;
    return dir + "/Qolm.so";
}

}  // namespace qhost

namespace {
void usage(FILE* out) {
    std::fprintf(out,
                 "usage: qolm-host <command> [options]\n"
                 "  info [PLUGIN.so] [--log]       what a host sees of the plug-in\n"
                 "  render [options] [IN] OUT      run an audio file through the plug-in (render --help)\n"
                 "  screenshot [options] OUT.png   open the editor and save its picture (screenshot --help)\n"
                 "  skin-check FILE | --embedded   build a skin script and list the lines it skips\n"
                 "Without PLUGIN.so the Qolm.so built beside this tool is used.\n");
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    std::string command = argv[1];
    qhost::Args args(argv + 2, argv + argc);
    if (command == "info") return qhost::runInfo(args);
    if (command == "render") return qhost::runRender(args);
    if (command == "screenshot") return qhost::runScreenshot(args);
    if (command == "skin-check") return qhost::runSkinCheck(args);
    if (command == "-h" || command == "--help" || command == "help") {
        usage(stdout);
        return 0;
    }
    std::fprintf(stderr, "qolm-host: unknown command '%s'\n", command.c_str());
    usage(stderr);
    return 2;
}
