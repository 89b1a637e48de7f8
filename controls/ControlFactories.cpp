#include "controls/ControlFactories.h"

namespace VRAX {

// The builder takes the first entry whose keyword matches and whose minimum
// the line meets, so the order is part of the skin language.
const ControlType kControlTypes[] = {
    {"ZBarFracMeter", 3, makeZBarFracMeter},
    {"ZPotDot", 4, makeZPotDot},
    {"ZBgPotDot", 4, makeZBgPotDot},
    {"ZPotLine", 4, makeZPotLine},
    {"ZTextPeak", 4, makeZTextPeak},
    {"ZUrl", 1, makeZUrl},
    {"ZImgUrl", 2, makeZImgUrl},
    {"ZImgCommand", 2, makeZImgCommand},
    {"ZImgFracMeter", 2, makeZImgFracMeter},
    {"ZImgMeter", 4, makeZImgMeter},
    {"ZImgPot", 2, makeZImgPot},
    {"ZImgButton", 2, makeZImgButton},
    {"ZImgPageSel", 2, makeZImgPageSel},
    {"ZImgRadio", 4, makeZImgRadio},
    {"ZImgSwitch", 2, makeZImgSwitch},
    {"ZImgPeak", 3, makeZImgPeak},
    {"ZImg", 1, makeZImg},
    {"ZLabel", 4, makeZLabel},
    {"ZValue", 2, makeZValue},
    {"ZBgValue", 3, makeZBgValue},
    {"ZPageSelHlt", 2, makeZPageSelHlt},
    {"ZZoomWave", 10, makeZZoomWave},
    {"ZWave", 6, makeZWave},
    {"ZHlSwitch", 8, makeZHlSwitch},
    {"ZHlRadio", 10, makeZHlRadio},
    {"ZSlide", 7, makeZSlide},
};

const int32_t kControlTypeCount = static_cast<int32_t>(sizeof(kControlTypes) / sizeof(kControlTypes[0]));

}  // namespace VRAX
