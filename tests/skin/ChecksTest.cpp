// Comparison operators, the check classes and condition sets.
#include "SkinTestSupport.h"

#include "skin/ZCondition.h"
#include "skin/ZEditorCheck.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace VRAX;
using skintest::TestEffect;

namespace {

class FixedCheck : public ZEditorCheck {
public:
    explicit FixedCheck(bool result) : result(result) {}
    bool evaluate() const override {
        ++evaluations;
        return result;
    }
    bool result;
    mutable int evaluations = 0;
};

}  // namespace

TEST(CompareOps, TokensMapToCodesAndEverythingElseIsInvalid) {
    EXPECT_EQ(compareOpFromToken("=="), kOpEqual);
    EXPECT_EQ(compareOpFromToken("!="), kOpNotEqual);
    EXPECT_EQ(compareOpFromToken(">"), kOpGreater);
    EXPECT_EQ(compareOpFromToken("<"), kOpLess);
    EXPECT_EQ(compareOpFromToken(">="), kOpGreaterEqual);
    EXPECT_EQ(compareOpFromToken("<="), kOpLessEqual);
    for (const char* bad : {"=", "", "=>", "<>", "== ", "eq", ">=="}) EXPECT_EQ(compareOpFromToken(bad), kOpInvalid) << bad;
    EXPECT_EQ(compareOpFromToken(nullptr), kOpInvalid);
}

TEST(CompareOps, InvalidCodesMakeEveryTestTrue) {
    EXPECT_FALSE(compareInts(2, kOpGreater, 2));
    EXPECT_TRUE(compareInts(2, kOpGreaterEqual, 2));
    EXPECT_TRUE(compareInts(1, kOpInvalid, 2));
    EXPECT_TRUE(compareInts(1, 99, 2));
    EXPECT_TRUE(compareInts(1, -1, 2));
    EXPECT_TRUE(compareDoubles(1.0, 7, 2.0));
}

TEST(CompareOps, NaNFailsEverythingButNotEqual) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (int op = kOpEqual; op <= kOpLessEqual; ++op) {
        EXPECT_EQ(compareDoubles(nan, op, 1.0), op == kOpNotEqual) << op;
        EXPECT_EQ(compareDoubles(1.0, op, nan), op == kOpNotEqual) << op;
    }
    EXPECT_FALSE(compareDoubles(nan, kOpEqual, nan));
    EXPECT_TRUE(compareDoubles(INFINITY, kOpGreater, 1e308));
}

TEST(Checks, ParamCheckComparesTheRealValueOfTheCurrentProgram) {
    TestEffect effect;
    ZParamCheck gainAboveZero(&effect, 0, kOpGreater, 0.0);
    effect.setParameterValue(0, 0.75);  // +6 dB
    EXPECT_TRUE(gainAboveZero.evaluate());
    effect.setParameterValue(0, 0.5);  // 0 dB
    EXPECT_FALSE(gainAboveZero.evaluate());
    effect.setParameterValue(0, 0.51);  // +0.2 dB: a small normalised step still counts
    EXPECT_TRUE(gainAboveZero.evaluate());

    // Another program has its own values.
    effect.setProgram(1);
    effect.setParameterValue(0, 0.25);
    EXPECT_FALSE(gainAboveZero.evaluate());
    effect.setProgram(0);
    EXPECT_TRUE(gainAboveZero.evaluate());

    ZParamCheck cutOff(&effect, 1, kOpGreaterEqual, 1000.0);
    effect.setParameterValue(1, 1.0);
    EXPECT_TRUE(cutOff.evaluate());
    effect.setParameterValue(1, 0.0);
    EXPECT_FALSE(cutOff.evaluate());
}

TEST(Checks, ParamCheckOnAMissingParameterNeverHoldsUnlessItsOperatorIsInvalid) {
    TestEffect effect;
    EXPECT_FALSE(ZParamCheck(&effect, 7, kOpNotEqual, 0.0).evaluate());
    EXPECT_FALSE(ZParamCheck(&effect, -1, kOpLessEqual, 1e9).evaluate());
    EXPECT_FALSE(ZParamCheck(nullptr, 0, kOpNotEqual, 0.0).evaluate());
    EXPECT_TRUE(ZParamCheck(&effect, 7, kOpInvalid, 0.0).evaluate());
}

TEST(Checks, ChannelChecksFollowTheArrangements) {
    TestEffect effect;
    ZInOutCheck mono(&effect, kOpEqual, 1, kOpEqual, 1);
    ZInOutCheck monoIn(&effect, kOpEqual, 1, kOpInvalid, 0);
    ZInputCheck stereoIn(&effect, kOpEqual, 2);
    ZOutputCheck stereoOut(&effect, kOpGreaterEqual, 2);
    EXPECT_FALSE(mono.evaluate());
    EXPECT_FALSE(monoIn.evaluate());
    EXPECT_TRUE(stereoIn.evaluate());
    EXPECT_TRUE(stereoOut.evaluate());

    ASSERT_TRUE(effect.setChannels(1, 2));
    EXPECT_FALSE(mono.evaluate());  // inputs pass, outputs fail
    EXPECT_TRUE(monoIn.evaluate());
    EXPECT_FALSE(stereoIn.evaluate());
    EXPECT_TRUE(stereoOut.evaluate());

    ASSERT_TRUE(effect.setChannels(1, 1));
    EXPECT_TRUE(mono.evaluate());
    EXPECT_FALSE(stereoOut.evaluate());

    ASSERT_TRUE(effect.setChannels(2, 1));
    EXPECT_FALSE(mono.evaluate());  // inputs fail first
}

TEST(Checks, OsCheckIsFixed) {
    EXPECT_TRUE(ZOSCheck(true).evaluate());
    EXPECT_FALSE(ZOSCheck(false).evaluate());
}

TEST(Conditions, ValueIsTheCheckExclusiveOrTheNegation) {
    FixedCheck yes(true), no(false);
    EXPECT_TRUE(ZCondition(&yes, false).value());
    EXPECT_FALSE(ZCondition(&yes, true).value());
    EXPECT_FALSE(ZCondition(&no, false).value());
    EXPECT_TRUE(ZCondition(&no, true).value());
    EXPECT_TRUE(ZCondition(nullptr, false).value());
    EXPECT_FALSE(ZCondition(nullptr, true).value());
}

TEST(Conditions, SetHoldsWhenAllConditionsHoldUnlessInverted) {
    FixedCheck yes(true), no(false);
    ZCondition a(&yes, false), b(&no, false), notB(&no, true);
    ZConditionSet set;
    EXPECT_TRUE(set.holds());
    set.inverted = true;
    EXPECT_FALSE(set.holds());  // an empty set inverted hides everything

    set.clear();
    EXPECT_FALSE(set.inverted);
    set.add(&a);
    set.add(&notB);
    EXPECT_TRUE(set.holds());
    set.add(&b);
    EXPECT_FALSE(set.holds());
    set.inverted = true;
    EXPECT_TRUE(set.holds());

    ZConditionSet copy;
    copy.copySet(set);
    EXPECT_EQ(copy.size(), 3);
    EXPECT_EQ(copy.get(2), &b);  // shares the condition objects
    EXPECT_TRUE(copy.inverted);
    EXPECT_TRUE(copy.holds());

    // The copy is a list of its own.
    set.clear();
    EXPECT_EQ(copy.size(), 3);
    EXPECT_TRUE(copy.inverted);
}

TEST(Conditions, ChecksAreEvaluatedLiveEachTime) {
    FixedCheck check(true);
    ZCondition condition(&check, false);
    ZConditionSet set;
    set.add(&condition);
    EXPECT_TRUE(set.holds());
    check.result = false;
    EXPECT_FALSE(set.holds());
    EXPECT_EQ(check.evaluations, 2);
}
