// Who the plug-in tells hosts and skins it is. The version and the build
// date come from the build (QolmVersion.h), each from one source.
#pragma once

#include "QolmVersion.h"
#include "framework/ZEffect.h"

namespace VRAX {

inline constexpr ZIdentity kQolmIdentity{
    "Qolm", "VRAX", "Qolm", QOLM_VERSION_TEXT, QOLM_VERSION_TEXT, QOLM_BUILD_DATE, QOLM_VENDOR_VERSION,
};

}  // namespace VRAX
