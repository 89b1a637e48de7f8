// skin-check: builds a skin script through the plug-in's own builder and
// tells, line by line, what it skipped and why. The plug-in itself stays
// silent about skipped lines; this is for whoever writes a skin.
#include "Commands.h"

#include "dsp/ZFilter.h"
#include "io/FileReader.h"
#include "io/ResourceReader.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZEditorSkinBuilder.h"

#include <cstdio>
#include <string>

namespace qhost {

namespace {
struct Report {
    int skipped = 0;
    bool quiet = false;
};

void reportSkip(void* context, int lineNumber, const char* line, const char* why) {
    auto* report = static_cast<Report*>(context);
    ++report->skipped;
    if (lineNumber <= 0)
        std::printf("skin: %s\n", why ? why : "no skin");
    else
        std::printf("line %d: %s: %s\n", lineNumber, why ? why : "skipped", line ? line : "");
}

void usage(FILE* out) {
    std::fprintf(out,
                 "usage: qolm-host skin-check FILE | --embedded\n"
                 "Builds the skin script through the plug-in's builder and prints every line that\n"
                 "makes nothing, with its number and why. Exits 1 when the script gives no editor.\n");
}
}  // namespace

int runSkinCheck(const Args& args) {
    std::string path;
    bool embedded = false;
    for (const auto& arg : args) {
        if (arg == "-h" || arg == "--help") {
            usage(stdout);
            return 0;
        }
        if (arg == "--embedded")
            embedded = true;
        else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "qolm-host skin-check: unknown option %s\n", arg.c_str());
            return 2;
        } else
            path = arg;
    }
    if (path.empty() && !embedded) {
        usage(stderr);
        return 2;
    }

    XP::FileReader file;
    XP::ResourceReader resource;
    XP::InputReader* reader = nullptr;
    if (embedded) {
        resource.open("QolmSkin.txt");
        reader = &resource;
        path = "QolmSkin.txt (embedded)";
    } else {
        file.open(path.c_str());
        reader = &file;
    }
    if (!reader->isOpen()) {
        std::fprintf(stderr, "qolm-host skin-check: cannot read %s\n", path.c_str());
        return 1;
    }

    // The effect the skin binds to: ours, without a host.
    VRAX::ZFilter effect(nullptr);
    VRAX::ZEditorSkinBuilder builder(&effect);
    Report report;
    builder.setSkipReporter(&reportSkip, &report);
    VRAX::ZEditorSkin* skin = builder.runScript(*reader);
    if (!skin) {
        std::printf("%s: no editor (the script sets no size or no pages)\n", path.c_str());
        return 1;
    }
    std::printf("%s: %d x %d, %d page(s), %d resource(s), %d check(s), %d background(s), %d control(s); "
                "%d line(s) skipped\n",
                path.c_str(), skin->width, skin->height, skin->pageCount, skin->resources.size(),
                skin->checks.size(), skin->backgrounds.size(), skin->controls.size(), report.skipped);
    delete skin;
    return 0;
}

}  // namespace qhost
