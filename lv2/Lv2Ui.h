// The UI that shows the effect's editor in an LV2 host.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

namespace qolm_lv2 {

const LV2UI_Descriptor* uiDescriptor(uint32_t index);

}  // namespace qolm_lv2
