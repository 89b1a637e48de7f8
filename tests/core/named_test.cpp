#include "framework/Named.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace VRAX;

namespace {
class Alpha : public ZIdBase {
public:
    using ZIdBase::ZIdBase;
    int32_t typeId() const override { return typeIdOf<Alpha>(); }
};
class Beta : public ZIdBase {
public:
    using ZIdBase::ZIdBase;
    int32_t typeId() const override { return typeIdOf<Beta>(); }
};
}  // namespace

TEST(Named, ConstructorZeroesTheWholeArray) {
    Named n("Gain");
    const char* raw = n.getName();
    EXPECT_STREQ(raw, "Gain");
    for (int i = 4; i < Named::kNameLength; ++i) EXPECT_EQ(raw[i], 0) << i;
}

TEST(Named, NameIsComparesCaseSensitivelyOnThirtyFiveCharacters) {
    Named n("PeakReset");
    EXPECT_TRUE(n.nameIs("PeakReset"));
    EXPECT_FALSE(n.nameIs("peakreset"));
    EXPECT_FALSE(n.nameIs("PeakRese"));
    EXPECT_FALSE(n.nameIs("PeakResetX"));
    EXPECT_FALSE(n.nameIs(nullptr));
}

TEST(Named, LongNamesAreCutWithoutTerminator) {
    const std::string forty(40, 'x');
    Named n;
    n.setName(forty.c_str());
    EXPECT_EQ(std::memcmp(n.getName(), forty.data(), 35), 0);
    // The full array is used: no room for a zero.
    EXPECT_EQ(n.getName()[34], 'x');
    EXPECT_TRUE(n.nameIs(forty.c_str()));
    EXPECT_TRUE(n.nameIs(std::string(35, 'x').c_str()));
    EXPECT_FALSE(n.nameIs(std::string(34, 'x').c_str()));
}

TEST(Named, SetNameClearsTheRestOfTheOldName) {
    Named n("Resonance");
    n.setName("Res");
    EXPECT_STREQ(n.getName(), "Res");
    EXPECT_EQ(n.getName()[5], 0);
    n.setName(nullptr);
    EXPECT_STREQ(n.getName(), "");
}

TEST(ZIdBase, TypeIdentityIsPerClass) {
    Alpha a1("one"), a2("two");
    Beta b("one");
    EXPECT_EQ(a1.typeId(), a2.typeId());
    EXPECT_NE(a1.typeId(), b.typeId());
    EXPECT_TRUE(a1.isType(typeIdOf<Alpha>()));
    EXPECT_FALSE(a1.isType(typeIdOf<Beta>()));
}

TEST(ZIdBase, MatchesNeedsNameAndType) {
    Alpha a("Peak");
    EXPECT_TRUE(a.matches("Peak", typeIdOf<Alpha>()));
    EXPECT_FALSE(a.matches("Peak", typeIdOf<Beta>()));
    EXPECT_FALSE(a.matches("peak", typeIdOf<Alpha>()));
}
