// Opens an address in the desktop's browser: the one place the plug-in
// starts another program.
#pragma once

#include <cstdint>

namespace XP {

// Addresses are measured up to kLinkMeasureLimit characters; those shorter
// than kLinkMinLength do nothing, longer ones are cut to kLinkMaxAddress
// (what fitted the 128-byte command line "xdg-open <address>" with its
// terminating zero).
constexpr int32_t kLinkMeasureLimit = 256;
constexpr int32_t kLinkMinLength = 8;
constexpr int32_t kLinkMaxAddress = 118;

// Starts the desktop's opener ("xdg-open") for the address, without waiting
// for the browser. The address reaches the opener as one argument, never
// through a shell. True when the opener was started.
bool openLink(const char* address);

}  // namespace XP
