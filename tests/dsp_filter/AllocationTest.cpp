// The audio path allocates nothing once the host has announced its block
// size. Every global allocation function of this executable is replaced by
// one that counts while counting is switched on; malloc and friends too,
// except under AddressSanitizer, which owns them (operator new is still
// counted there).
#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define QOLM_COUNT_MALLOC 0
#else
#define QOLM_COUNT_MALLOC 1
#endif

namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};

inline void noteAllocation() {
    if (gCounting.load(std::memory_order_relaxed)) gAllocations.fetch_add(1, std::memory_order_relaxed);
}

void* allocate(std::size_t size) {
    noteAllocation();
    return std::malloc(size ? size : 1);
}

// Out of line: the compiler would otherwise see operator new's memory
// reach free() and warn about a mismatch that is intended here.
__attribute__((noinline)) void release(void* p) noexcept { std::free(p); }

void* allocateAligned(std::size_t size, std::align_val_t align) {
    noteAllocation();
    const auto a = static_cast<std::size_t>(align);
    return std::aligned_alloc(a, (size + a - 1) / a * a);
}
}  // namespace

#if QOLM_COUNT_MALLOC
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);

void* malloc(std::size_t size) {
    noteAllocation();
    return __libc_malloc(size);
}
void* calloc(std::size_t n, std::size_t size) {
    noteAllocation();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t size) {
    noteAllocation();
    return __libc_realloc(p, size);
}
}
#endif

void* operator new(std::size_t size) {
    void* p = allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size) {
    void* p = allocate(size);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t align) {
    void* p = allocateAligned(size, align);
    if (!p) throw std::bad_alloc();
    return p;
}
void* operator new[](std::size_t size, std::align_val_t align) {
    void* p = allocateAligned(size, align);
    if (!p) throw std::bad_alloc();
    return p;
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { release(p); }

namespace {

using filtertest::hostCallback;
using filtertest::openEditor;
using VRAX::ZFilter;

struct Counting {
    Counting() { gCounting.store(true); }
    ~Counting() { gCounting.store(false); }
};

long countedDuring(auto&& work) {
    gAllocations.store(0);
    {
        Counting on;
        work();
    }
    return gAllocations.load();
}

TEST(Allocation, TheCounterSeesAllocations) {
    // Through volatile pointers, so that the pairs are not optimised away.
    EXPECT_GE(countedDuring([] {
                  int* volatile p = new int(1);
                  delete p;
              }),
              1);
#if QOLM_COUNT_MALLOC
    EXPECT_GE(countedDuring([] {
                  void* volatile p = std::malloc(16);
                  std::free(p);
              }),
              1);
#endif
}

// Blocks of every size up to the announced one, in both precisions and
// layouts, with parameter, program and bypass changes between them.
TEST(Allocation, ProcessingAllocatesNothingUpToTheAnnouncedBlockSize) {
    constexpr int kBlock = 8192;
    ZFilter f(&hostCallback);
    openEditor(f);
    f.suspend();
    f.dispatcher(effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    f.resume();

    std::vector<double> dl = filtertest::noise(kBlock, 1), dr = filtertest::noise(kBlock, 2);
    std::vector<double> ol(kBlock), orr(kBlock);
    std::vector<float> fl(dl.begin(), dl.end()), fr(dr.begin(), dr.end()), gl(kBlock), gr(kBlock);
    double* din[] = {dl.data(), dr.data()};
    double* dout[] = {ol.data(), orr.data()};
    float* fin[] = {fl.data(), fr.data()};
    float* fout[] = {gl.data(), gr.data()};

    std::vector<int> sizes;
    for (int n = 1; n <= 64; ++n) sizes.push_back(n);
    for (int n = 65; n < kBlock; n += 127) sizes.push_back(n);
    sizes.push_back(kBlock);

    long allocations = 0;
    int step = 0;
    for (int n : sizes) {
        ++step;
        if (step % 5 == 0) f.setParameter(ZFilter::kCutOff, static_cast<float>(step % 11) / 10.0f);
        if (step % 7 == 0) f.setParameter(ZFilter::kRes, static_cast<float>(step % 3) / 2.0f);
        if (step % 13 == 0) f.setProgram(step % 10);
        if (step % 17 == 0) f.setBypass(step % 2 == 0);
        allocations += countedDuring([&] {
            f.processDoubleReplacing(din, dout, n);
            f.processReplacing(fin, fout, n);
            f.processBlock(din, 1, dout, 2, n);
            f.processBlock(din, 2, dout, 1, n);
            f.processBlockFloat(fin, 1, fout, 1, n);
        });
        ASSERT_EQ(allocations, 0) << "at a block of " << n << " frames";
    }
    EXPECT_GT(f.getPeak(), 0.0);

}

// A float block longer than the announced size runs in slices of the work
// area: nothing is allocated, and the output is what one piece gives (here
// from an effect told of a block size that holds it).
TEST(Allocation, AnOversizeFloatBlockAllocatesNothingAndMatchesOnePiece) {
    constexpr int kBlock = 512;
    constexpr int kBig = 5 * kBlock + 123;
    ZFilter sliced(&hostCallback), whole(&hostCallback);
    openEditor(sliced);
    for (ZFilter* f : {&sliced, &whole}) {
        f->suspend();
        f->dispatcher(effSetBlockSize, 0, f == &sliced ? kBlock : kBig, nullptr, 0.0f);
        f->resume();
        f->setParameter(ZFilter::kCutOff, 0.6f);  // glides across the slices
        f->setParameter(ZFilter::kRes, 0.8f);
    }
    const std::vector<double> l = filtertest::noise(kBig, 3), r = filtertest::noise(kBig, 4);
    std::vector<float> inL(l.begin(), l.end()), inR(r.begin(), r.end());
    float* in[] = {inL.data(), inR.data()};
    // The same calls on both, in every layout; each call's output is kept.
    const auto calls = [&](ZFilter& f, std::vector<std::vector<float>>& kept) {
        const std::pair<int32_t, int32_t> layouts[] = {{2, 2}, {2, 1}, {1, 2}, {2, 2}};
        for (size_t k = 0; k < std::size(layouts); ++k) {
            float* out[] = {kept[2 * k].data(), kept[2 * k + 1].data()};
            f.processBlockFloat(in, layouts[k].first, out, layouts[k].second, kBig);
        }
    };
    std::vector<std::vector<float>> a(8, std::vector<float>(kBig)), b = a;
    const int32_t capacity = sliced.getScratchCapacity();
    EXPECT_EQ(countedDuring([&] { calls(sliced, a); }), 0);
    EXPECT_EQ(sliced.getScratchCapacity(), capacity);
    calls(whole, b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(sliced.getPeak(), whole.getPeak());
}

}  // namespace
