// Stand-ins for the control factories: these tests link the builder without
// the control families, and TestFactories.cpp defines the few types they
// place (strongly, replacing these).
#include "controls/ControlFactories.h"

namespace VRAX {

namespace {

ZEditorControl* notBuilt(SkinArgs& args) {
    args.noteFailure("control type not available");
    return nullptr;
}

}  // namespace

__attribute__((weak)) ZEditorControl* makeZBarFracMeter(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZPotDot(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZBgPotDot(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZPotLine(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZTextPeak(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZUrl(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgUrl(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgCommand(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgFracMeter(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgMeter(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgPot(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgButton(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgPageSel(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgRadio(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgSwitch(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImgPeak(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZImg(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZLabel(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZValue(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZBgValue(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZPageSelHlt(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZZoomWave(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZWave(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZHlSwitch(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZHlRadio(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }
__attribute__((weak)) ZEditorControl* makeZSlide(const ControlPlacement&, SkinArgs& args) { return notBuilt(args); }

}  // namespace VRAX
