// The audio path allocates nothing once the host has announced its block
// size: every global allocation function of this executable counts.
#include "FilterTestSupport.h"
#include "support/AllocationCounter.h"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>
#include <vector>

namespace {

using filtertest::hostCallback;
using filtertest::openEditor;
using VRAX::ZFilter;

using qtest::alloc::countedDuring;

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
