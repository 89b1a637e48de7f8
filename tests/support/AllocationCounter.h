// Counts the calls to the executable's global allocation functions: every
// form of operator new, and malloc, calloc and realloc except under a
// sanitizer, which owns them (operator new still counts there). Counting is
// switched on per thread, so the editor's window thread never lands on the
// count of the thread under test.
//
// The replacements are definitions: include this header in exactly one
// source file of an executable.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QOLM_COUNT_MALLOC 0
#else
#define QOLM_COUNT_MALLOC 1
#endif

namespace qtest::alloc {

inline thread_local bool counting = false;
inline std::atomic<long> count{0};

inline void note() {
    if (counting) count.fetch_add(1, std::memory_order_relaxed);
}

inline void* allocate(std::size_t size) {
    note();
    return std::malloc(size ? size : 1);
}

inline void* allocateAligned(std::size_t size, std::align_val_t align) {
    note();
    const auto a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}

// Out of line: the compiler would otherwise see operator new's memory reach
// free() and warn about a mismatch that is intended here.
__attribute__((noinline)) inline void release(void* p) noexcept { std::free(p); }

// The allocations `work` makes on this thread.
template <typename Work>
long countedDuring(Work&& work) {
    count.store(0);
    counting = true;
    work();
    counting = false;
    return count.load();
}

}  // namespace qtest::alloc

#if QOLM_COUNT_MALLOC
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);

void* malloc(std::size_t size) {
    qtest::alloc::note();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    qtest::alloc::note();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    qtest::alloc::note();
    return __libc_realloc(p, size);
}
}
#endif

void* operator new(std::size_t size) {
    if (void* p = qtest::alloc::allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = qtest::alloc::allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return qtest::alloc::allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return qtest::alloc::allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) {
    if (void* p = qtest::alloc::allocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) {
    if (void* p = qtest::alloc::allocateAligned(size, align)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { qtest::alloc::release(p); }
void operator delete[](void* p) noexcept { qtest::alloc::release(p); }
void operator delete(void* p, std::size_t) noexcept { qtest::alloc::release(p); }
void operator delete[](void* p, std::size_t) noexcept { qtest::alloc::release(p); }
void operator delete(void* p, std::align_val_t) noexcept { qtest::alloc::release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { qtest::alloc::release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { qtest::alloc::release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { qtest::alloc::release(p); }
