// The monotonic clock in milliseconds, kept in 32 bits so that it wraps:
// compare two readings by their unsigned difference.
#pragma once

#include <cstdint>
#include <ctime>

namespace VRAX {

inline uint32_t monotonicMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

}  // namespace VRAX
