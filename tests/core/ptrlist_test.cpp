#include "framework/PtrList.h"

#include <gtest/gtest.h>

using namespace VRAX;

namespace {
struct Counted {
    explicit Counted(int* deaths) : deaths(deaths) {}
    virtual ~Counted() { ++*deaths; }
    int* deaths;
};
}  // namespace

TEST(PtrList, GrowsByThirtyTwo) {
    PtrList<int> list;
    EXPECT_EQ(list.getCapacity(), 0);
    EXPECT_EQ(list.size(), 0);
    EXPECT_EQ(list.getGrowBy(), 32);
    EXPECT_TRUE(list.isEmpty());
    int values[40];
    list.add(&values[0]);
    EXPECT_EQ(list.getCapacity(), 32);
    for (int i = 1; i < 32; ++i) list.add(&values[i]);
    EXPECT_EQ(list.getCapacity(), 32);
    list.add(&values[32]);
    EXPECT_EQ(list.getCapacity(), 64);
    EXPECT_EQ(list.size(), 33);
    for (int i = 0; i < 33; ++i) EXPECT_EQ(list.get(i), &values[i]) << i;
}

TEST(PtrList, ResizeAndAssignGrowToExactly) {
    PtrList<int> list;
    int a = 1, b = 2;
    list.add(&a);
    list.resize(40);
    EXPECT_EQ(list.getCapacity(), 40);
    EXPECT_EQ(list.size(), 40);
    EXPECT_EQ(list.get(0), &a);
    list.assign(50, &b);
    EXPECT_EQ(list.getCapacity(), 50);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(list.get(i), &b);
    list.resize(2);  // never shrinks the storage
    EXPECT_EQ(list.getCapacity(), 50);
    EXPECT_EQ(list.size(), 2);
}

TEST(PtrList, CopyFromSharesPointersAndIgnoresSelf) {
    PtrList<int> a, b;
    int x = 1, y = 2;
    a.add(&x);
    a.add(&y);
    a.copyFrom(a);
    EXPECT_EQ(a.size(), 2);
    EXPECT_EQ(a.get(1), &y);
    b.add(&y);
    b.add(&y);
    b.add(&y);
    b.copyFrom(a);
    EXPECT_EQ(b.size(), 2);
    EXPECT_EQ(b.get(0), &x);
    EXPECT_EQ(b.get(1), &y);
    b.assignFrom(PtrList<int>{});
    EXPECT_EQ(b.size(), 0);
}

TEST(PtrList, ClearOnAPlainListDestroysNothing) {
    int deaths = 0;
    Counted one(&deaths), two(&deaths);
    {
        PtrList<Counted> list;
        list.add(&one);
        list.add(&two);
        list.clear();
        EXPECT_EQ(list.size(), 0);
        EXPECT_EQ(list.getCapacity(), 32);
    }
    EXPECT_EQ(deaths, 0);
}

TEST(PtrMgr, ClearDestroysEachElementOnceAndKeepsCapacity) {
    int deaths = 0;
    PtrMgr<Counted> mgr;
    for (int i = 0; i < 33; ++i) mgr.add(new Counted(&deaths));
    mgr.add(nullptr);
    mgr.clear();
    EXPECT_EQ(deaths, 33);
    EXPECT_EQ(mgr.size(), 0);
    EXPECT_EQ(mgr.getCapacity(), 64);
    mgr.add(new Counted(&deaths));
}

TEST(PtrMgr, DestructorSkipsNullEntries) {
    int deaths = 0;
    {
        PtrMgr<Counted> mgr;
        mgr.add(new Counted(&deaths));
        mgr.add(nullptr);
        mgr.add(new Counted(&deaths));
    }
    EXPECT_EQ(deaths, 2);
}

TEST(PtrList, RefusesHugeCapacityAndKeepsItsState) {
    PtrList<int> list;
    int a = 0;
    list.add(&a);
    EXPECT_THROW(list.resize(PtrList<int>::kMaxCapacity + 1), std::bad_alloc);
    EXPECT_EQ(list.size(), 1);
    EXPECT_EQ(list.getCapacity(), 32);
    EXPECT_EQ(list.get(0), &a);
}
