// Strong definitions of a few control factories for the builder tests; they
// replace the weak stand-ins, resolve their arguments as the real controls
// do, and make ScriptControls that remember what they resolved.
#include "ScriptSupport.h"

#include "controls/ControlFactories.h"
#include "skin/ZImageResource.h"

namespace VRAX {

using skintest::ScriptControl;

ZEditorControl* makeZImg(const ControlPlacement& placement, SkinArgs& args) {
    ZImageResource* image = args.image();
    if (!image) return nullptr;
    auto* control = new ScriptControl(placement);
    control->type = "ZImg";
    control->image = image;
    return control;
}

// parameter, image, radius (> 0), dot colour
ZEditorControl* makeZBgPotDot(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t parameter = args.parameter();
    ZImageResource* image = args.image();
    const double radius = args.real();
    const unsigned char* colour = args.colour();
    if (parameter < 0 || !image || !colour || !(radius > 0)) return nullptr;
    auto* control = new ScriptControl(placement);
    control->type = "ZBgPotDot";
    control->parameter = parameter;
    control->image = image;
    control->real = radius;
    control->colour = colour;
    return control;
}

// history, level 1, level 2 (both may be "Null"), three colours
ZEditorControl* makeZWave(const ControlPlacement& placement, SkinArgs& args) {
    ZHistory* history = args.featureHistory();
    double* level1 = args.featureDouble();
    args.featureDouble();
    const unsigned char* c1 = args.colour();
    const unsigned char* c2 = args.colour();
    const unsigned char* c3 = args.colour();
    if (!history || !c1 || !c2 || !c3) return nullptr;
    auto* control = new ScriptControl(placement);
    control->type = "ZWave";
    control->feature = level1;
    return control;
}

// feature (real), command, image
ZEditorControl* makeZImgPeak(const ControlPlacement& placement, SkinArgs& args) {
    double* feature = args.featureDouble();
    const int32_t command = args.command();
    ZImageResource* image = args.image();
    if (!feature || command < 0 || !image) return nullptr;
    auto* control = new ScriptControl(placement);
    control->type = "ZImgPeak";
    control->feature = feature;
    control->parameter = command;
    return control;
}

// alignment, text, font, period
ZEditorControl* makeZLabel(const ControlPlacement& placement, SkinArgs& args) {
    const int32_t alignment = args.alignment();
    const char* text = args.text();
    ZFont* font = args.font();
    args.integer();
    if (!font) return nullptr;
    auto* control = new ScriptControl(placement);
    control->type = std::string("ZLabel ") + text;
    control->parameter = alignment;
    return control;
}

}  // namespace VRAX
