// One factory per control type of the skin language. Each reads its
// arguments (the reader stands after the type keyword and the line has at
// least the type's minimum number of tokens) and returns a new control, or
// null when a required argument does not resolve or a numeric rule fails.
#pragma once

#include "skin/ControlPlacement.h"
#include "skin/SkinArgs.h"

namespace VRAX {

class ZEditorControl;

using ControlFactory = ZEditorControl* (*)(const ControlPlacement& placement, SkinArgs& args);

struct ControlType {
    const char* keyword;
    int32_t minTokens;  // after the type keyword
    ControlFactory make;
};

// In the order the builder tests them.
extern const ControlType kControlTypes[];
extern const int32_t kControlTypeCount;

ZEditorControl* makeZBarFracMeter(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZPotDot(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZBgPotDot(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZPotLine(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZTextPeak(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZUrl(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgUrl(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgCommand(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgFracMeter(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgMeter(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgPot(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgButton(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgPageSel(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgRadio(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgSwitch(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImgPeak(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZImg(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZLabel(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZValue(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZBgValue(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZPageSelHlt(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZZoomWave(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZWave(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZHlSwitch(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZHlRadio(const ControlPlacement&, SkinArgs&);
ZEditorControl* makeZSlide(const ControlPlacement&, SkinArgs&);

}  // namespace VRAX
