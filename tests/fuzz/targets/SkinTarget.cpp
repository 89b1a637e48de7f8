// A skin script of arbitrary bytes through the real builder and every real
// control factory. A skin that comes out must have a size and pages; it is
// then driven as the window thread would drive it, without a renderer (the
// canvas has no NanoVG context, so drawing calls are empty but every
// control's own drawing logic runs): resources attached, each page drawn,
// the pointer moved over and clicked on every control, resources detached;
// then it is handed to an editor and the effect, whose destruction must
// release everything.
//
// Link controls start the desktop's opener on a click. A script that could
// make one (any "url" in it) is therefore not clicked: a fuzzing run must
// not start programs.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "controls/ZEditorControl.h"
#include "dsp/ZFilter.h"
#include "framework/ZEffectFeature.h"
#include "framework/ZHistory.h"
#include "editor/ZCanvas.h"
#include "editor/ZEditor.h"
#include "io/MemoryReader.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZEditorSkinBuilder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <climits>
#include <cstring>
#include <memory>
#include <string>

namespace qolmfuzz {

namespace {

// The filter offers only the "Peak" level; this one also publishes the
// other value types a skin can bind ("History", "Meter", "Level"), so the
// wave displays and image meters are built and drawn too.
class FeatureFilter : public VRAX::ZFilter {
public:
    FeatureFilter() : ZFilter(hostCallback) {
        history.setSize(64, 1000.0, 1.0);
        features.add(new VRAX::ZTypedFeature<VRAX::ZHistory>("History", &history));
        features.add(new VRAX::ZTypedFeature<int32_t>("Meter", &meter));
        features.add(new VRAX::ZTypedFeature<double>("Level", &level));
    }
    // The editor reads the values above: it goes before they do.
    ~FeatureFilter() override { releaseEditor(); }

    // A loud block through the filter (the peak passes 0 dB) and new values
    // for the other features.
    void feed(int round) {
        constexpr int kFrames = 256;
        float left[kFrames], right[kFrames], outLeft[kFrames], outRight[kFrames];
        for (int i = 0; i < kFrames; ++i) {
            left[i] = static_cast<float>(2.5 * std::sin(0.05 * (i + round * kFrames)));
            right[i] = static_cast<float>(0.5 * std::cos(0.11 * i));
            history.write(left[i], right[i] * round);
        }
        float* inputs[2] = {left, right};
        float* outputs[2] = {outLeft, outRight};
        processReplacing(inputs, outputs, kFrames);
        meter = round * 7 - 3;
        level = round == 2 ? std::nan("") : 0.3 * round;
    }

    VRAX::ZHistory history;
    int32_t meter = 0;
    double level = 0.0;
};

void checkSkipReport(void*, int lineNumber, const char* line, const char* why) {
    FUZZ_CHECK(lineNumber >= 0);
    FUZZ_CHECK(line != nullptr && why != nullptr);
    (void)std::strlen(line);
    FUZZ_CHECK(std::strlen(why) < VRAX::ZEditorSkinBuilder::kReasonSize);
}

bool mayMakeLinks(const std::string& text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("url") != std::string::npos;
}

int32_t clampToInt(int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

void pointAt(VRAX::ZEditorSkin& skin, VRAX::ZCanvas& canvas, int32_t x, int32_t y, bool click) {
    int32_t index = -2;
    VRAX::ZEditorControl* hit = skin.hitTest(x, y, &index);
    FUZZ_CHECK(hit ? (index >= 0 && index < skin.controls.size() && skin.controls.get(index) == hit) : index == -1);
    const int32_t cursor = skin.cursorAt(x, y);
    FUZZ_CHECK(cursor >= 0 && cursor <= 3);
    skin.mouseMove(false, false, x, y);
    if (!click) return;
    skin.leftDown(false, false, x, y);
    skin.mouseMove(false, false, clampToInt(int64_t{x} + 7), clampToInt(int64_t{y} - 13));
    skin.mouseMove(true, false, clampToInt(int64_t{x} - 300), clampToInt(int64_t{y} + 400));
    skin.draw(&canvas);
    skin.leftUp(false, false, x, y);
    skin.leftDown(false, true, x, y);  // ctrl-click: back to the default
    skin.leftUp(false, true, x, y);
    skin.rightDown(false, false, x, y);
    skin.mouseMove(false, false, clampToInt(int64_t{x} + 1), y);
    skin.rightUp(false, false, x, y);
    skin.leftDown(true, false, x, y);
    skin.leftUp(true, false, clampToInt(int64_t{x} + 1000), y);
}

}  // namespace

int fuzzSkin(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto effect = std::make_unique<FeatureFilter>();

    VRAX::ZEditorSkin* skin = nullptr;
    {
        VRAX::ZEditorSkinBuilder builder(effect.get());
        builder.setSkipReporter(checkSkipReport, nullptr);
        MemoryReader source(text, 1 + static_cast<int32_t>(size % 3000));
        skin = builder.runScript(source);
    }
    if (!skin) return 0;
    FUZZ_CHECK(skin->width >= 1 && skin->height >= 1 && skin->pageCount >= 1);
    FUZZ_CHECK(skin->effect == effect.get());

    const bool click = !mayMakeLinks(text);
    VRAX::ZCanvas canvas;
    canvas.init(nullptr, skin->width, skin->height);
    skin->attach(&canvas);
    const int32_t pages = std::min(skin->pageCount, 4);
    const int32_t controls = std::min(skin->controls.size(), 48);
    for (int32_t page = 0; page <= pages + 1; ++page) {
        skin->setPage(page);
        skin->draw(&canvas);
        effect->feed(page);
        skin->draw(&canvas);
        for (int32_t i = 0; i < controls; ++i) {
            const VRAX::ZEditorControl* control = skin->controls.get(i);
            if (!control) continue;
            const int64_t x = control->x, y = control->y, w = control->width, h = control->height;
            pointAt(*skin, canvas, clampToInt(x + w / 2), clampToInt(y + h / 2), click);
            pointAt(*skin, canvas, control->x, control->y, click);
            pointAt(*skin, canvas, clampToInt(x + w - 1), clampToInt(y + h - 1), click);
        }
        pointAt(*skin, canvas, -1, -1, click);
        skin->draw(&canvas);
        skin->redrawAll();
        skin->draw(&canvas);
    }
    skin->detach(&canvas);

    // The editor owns the skin from here, the effect the editor.
    auto* editor = new VRAX::ZEditor(effect.get(), skin);
    ERect* rect = nullptr;
    FUZZ_CHECK(editor->getRect(&rect) && rect != nullptr);
    effect->setEditor(editor);
    effect->setParameter(0, 0.25f);
    editor->idle();
    effect.reset();
    return 0;
}

}  // namespace qolmfuzz
