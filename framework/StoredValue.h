// A stored parameter value: one 8-byte double at an unaligned address inside
// a program record. The editor's window thread and the host's threads read
// it while another of them writes it, so it is always moved as one 8-byte
// atomic unit: a relaxed atomic load or store of the 64 bits, which x86
// performs as a single 8-byte move (movq, also in the 32-bit build and
// without optimisation), never a pair of 4-byte moves or a byte loop, and
// which the thread checker sees as atomic. (The record layout is fixed by
// the saved chunks, so the value cannot be given its natural alignment; a
// move within one cache line is whole on every x86.)
#pragma once

#include <bit>
#include <cstdint>

namespace VRAX {

inline double loadStoredValue(const void* stored) {
    return std::bit_cast<double>(__atomic_load_n(static_cast<const std::uint64_t*>(stored), __ATOMIC_RELAXED));
}

inline void storeStoredValue(void* stored, double value) {
    __atomic_store_n(static_cast<std::uint64_t*>(stored), std::bit_cast<std::uint64_t>(value), __ATOMIC_RELAXED);
}

}  // namespace VRAX
