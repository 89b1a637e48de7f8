// The plug-in's side of the entry point: makes the effect and, when the
// embedded skin builds, its editor.
#include "host/PluginFactory.h"

#include "dsp/ZFilter.h"
#include "editor/ZEditor.h"
#include "skin/ZEditorSkinBuilder.h"

#include <new>

AudioEffect* createEffectInstance(audioMasterCallback audioMaster) {
    auto* effect = new (std::nothrow) VRAX::ZFilter(audioMaster);
    if (!effect) return nullptr;
    // Without an editor the effect still works; the host just sees no
    // effFlagsHasEditor.
    VRAX::ZEditorSkinBuilder builder(effect);
    if (VRAX::ZEditor* editor = builder.buildEditor("QolmSkin.txt")) effect->setEditor(editor);
    return effect;
}
