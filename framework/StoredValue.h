// A stored parameter value: one 8-byte double in an aligned slot of the
// program bank. The audio thread, the editor's window thread and the host's
// threads read it while another of them writes it, so it is always moved as
// one naturally aligned 8-byte atomic unit (relaxed), which x86 performs as
// a single 8-byte move in both builds and the thread checker sees as atomic.
#pragma once

#include <atomic>
#include <bit>
#include <cstdint>

namespace VRAX {

// The slots are std::atomic<uint64_t>; the 32-bit ABI would align a plain
// 8-byte integer to 4 only.
static_assert(alignof(std::atomic<std::uint64_t>) == 8 && std::atomic<std::uint64_t>::is_always_lock_free);

inline double loadStoredValue(const void* stored) {
    return std::bit_cast<double>(__atomic_load_n(static_cast<const std::uint64_t*>(stored), __ATOMIC_RELAXED));
}

inline void storeStoredValue(void* stored, double value) {
    __atomic_store_n(static_cast<std::uint64_t*>(stored), std::bit_cast<std::uint64_t>(value), __ATOMIC_RELAXED);
}

}  // namespace VRAX
