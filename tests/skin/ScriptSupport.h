// Running skin scripts from memory, with every skipped line collected, and
// test versions of a few control types so that scripts can place controls.
#pragma once

#include "SkinTestSupport.h"

#include "skin/ZEditorSkinBuilder.h"

#include <memory>
#include <string>
#include <vector>

namespace skintest {

struct Skip {
    int line;
    std::string text;
    std::string why;
};

struct Built {
    std::unique_ptr<VRAX::ZEditorSkin> skin;
    std::vector<Skip> skips;
    std::vector<int> skippedLines() const {
        std::vector<int> lines;
        for (const Skip& skip : skips) lines.push_back(skip.line);
        return lines;
    }
};

inline void collectSkip(void* context, int line, const char* text, const char* why) {
    static_cast<std::vector<Skip>*>(context)->push_back({line, text, why});
}

inline Built build(VRAX::ZEffect* effect, const std::string& script) {
    Built built;
    VRAX::ZEditorSkinBuilder builder(effect);
    builder.setSkipReporter(collectSkip, &built.skips);
    MemoryReader reader(script);
    built.skin.reset(builder.runScript(reader));
    return built;
}

// What the test factories resolved from their arguments.
class ScriptControl : public TestControl {
public:
    using TestControl::TestControl;
    std::string type;
    int32_t parameter = -1;
    const void* image = nullptr;
    const unsigned char* colour = nullptr;
    double real = 0.0;
    const void* feature = nullptr;
};

inline std::vector<ScriptControl*> controlsOf(const VRAX::ZEditorSkin& skin) {
    std::vector<ScriptControl*> out;
    for (int32_t i = 0; i < skin.controls.size(); ++i) out.push_back(static_cast<ScriptControl*>(skin.controls.get(i)));
    return out;
}

}  // namespace skintest
