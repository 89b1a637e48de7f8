// The monotonic clock in milliseconds, kept in 32 bits so that it wraps:
// compare two readings by their unsigned difference. Used for label refresh
// periods and refresh throttling.
#pragma once

#include <cstdint>

namespace VRAX {

uint32_t monotonicMs();

}  // namespace VRAX
