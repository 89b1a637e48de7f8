// The composition root: the plug-in's side of the entry point, the one place
// that puts the effect, its identity and its editor together.
#include "host/PluginFactory.h"

#include "dsp/ZFilter.h"
#include "plugin/Identity.h"
#include "editor/ZEditor.h"
#include "skin/ZEditorSkinBuilder.h"

#include <new>

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    auto* effect = new (std::nothrow) VRAX::ZFilter(audioMaster);
    if (!effect) return nullptr;
    effect->setIdentity(&VRAX::kQolmIdentity);
    // Without an editor the effect still works; the host just sees no
    // effFlagsHasEditor.
    VRAX::ZEditorSkinBuilder builder(effect);
    if (VRAX::ZEditor* editor = builder.buildEditor("QolmSkin.txt")) effect->setEditor(editor);
    return effect;
}
