// A stored parameter value: one 8-byte double at an unaligned address inside
// a program record. The audio thread reads it while a host or editor thread
// writes it, so it is always moved as one 8-byte unit. Accessing it through
// a packed double makes the compiler emit a single unaligned 8-byte load or
// store (movsd/movq, also in the 32-bit build and without optimisation),
// never a pair of 4-byte moves or a byte loop.
#pragma once

namespace VRAX {

struct __attribute__((packed, may_alias)) UnalignedDouble {
    double value;
};

inline double loadStoredValue(const void* stored) { return static_cast<const UnalignedDouble*>(stored)->value; }

inline void storeStoredValue(void* stored, double value) { static_cast<UnalignedDouble*>(stored)->value = value; }

}  // namespace VRAX
