// A small VST 2.4 plug-in with an editor made in code, built beside the
// tests: what a host sees of our editor, without the product's skin script.
// Page 1 shows frame 0 of the product's background with a red square; a
// left click on the square switches to page 2, which shows frame 1.
#include "controls/ZEditorControl.h"
#include "editor/ZCanvas.h"
#include "editor/ZEditor.h"
#include "framework/ZEffect.h"
#include "host/PluginFactory.h"
#include "skin/ZEditorSkin.h"
#include "skin/ZImageResource.h"

#include <new>

namespace {

using namespace VRAX;

class ProbeEffect : public ZEffect {
public:
    explicit ProbeEffect(audioMasterCallback host) : ZEffect(host, 1, 0, 2, 2) {
        setUniqueID(0x45645072);  // "EdPr"
    }
    ~ProbeEffect() override { releaseEditor(); }
    void resetState() override {}
    bool isIoConfigSupported(int32_t, int32_t) override { return true; }
    void applyParameters(bool) override {}
};

class PageSquare : public ZEditorControl {
public:
    using ZEditorControl::ZEditorControl;
    void draw(ZCanvas* canvas) override {
        static const unsigned char red[3] = {230, 20, 30};
        canvas->fillRectRgb(0, 0, width, height, red);
    }
    int32_t cursorAt(int32_t, int32_t) override { return 2; }
    bool leftDown(bool, bool, int32_t, int32_t) override {
        if (skin) skin->setPage(skin->getPage() == 1 ? 2 : 1);
        return false;
    }
};

}  // namespace

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    auto* effect = new (std::nothrow) ProbeEffect(audioMaster);
    if (!effect) return nullptr;
    auto* skin = new (std::nothrow) ZEditorSkin(effect);
    if (!skin) return effect;
    skin->width = 285;
    skin->height = 195;
    skin->pageCount = 2;
    ZImageResource* image = ZImageResource::create("bg", "Qolm.png", 285, 195, 2);
    skin->resources.add(image);
    for (int32_t page = 1; page <= 2; ++page) {
        auto* background = new ZEditorBg;
        background->page = page;
        background->image = image;
        background->frame = page - 1;
        skin->backgrounds.add(background);
    }
    ControlPlacement square{20, 20, 40, 30, 1, nullptr, effect, skin};
    skin->controls.add(new PageSquare(square));
    effect->setEditor(new (std::nothrow) ZEditor(effect, skin));
    return effect;
}
