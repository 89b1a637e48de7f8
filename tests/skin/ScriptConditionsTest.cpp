// Checks and condition blocks as scripts declare them.
#include <gtest/gtest.h>

#include "ScriptSupport.h"
#include "skin/ZEditorCheck.h"

using namespace VRAX;
using skintest::build;
using skintest::Built;
using skintest::controlsOf;
using skintest::TestEffect;

namespace {

const char kHead[] =
    "AddResource img PngResource \"QolmTitle.png\" 150 55 1\n"
    "Init 285 195 2\n"
    "AddCheck mono InOut == 1 == 1\n"
    "AddCheck linux OS LNX\n";

std::vector<bool> visibility(const ZEditorSkin& skin) {
    std::vector<bool> out;
    for (int32_t i = 0; i < skin.controls.size(); ++i) out.push_back(skin.isVisible(skin.controls.get(i)));
    return out;
}

}  // namespace

TEST(ScriptConditions, ConditionElseShowsTheOtherControlAndChangesShowAtTheNextPass) {
    TestEffect effect;
    Built built = build(&effect, std::string(kHead) +
                                     "Condition mono\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "ConditionElse\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "EndCondition\n"
                                     "AddControl 1 20 0 10 10 ZImg img\n");
    ASSERT_TRUE(built.skin);
    EXPECT_TRUE(built.skips.empty());
    auto controls = controlsOf(*built.skin);
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(visibility(*built.skin), (std::vector<bool>{false, true, true}));

    ZCanvas canvas;
    canvas.init(nullptr, 285, 195);
    built.skin->draw(&canvas);
    EXPECT_EQ(controls[1]->draws, 1);
    ASSERT_TRUE(effect.setChannels(1, 1));
    EXPECT_EQ(visibility(*built.skin), (std::vector<bool>{true, false, true}));
    built.skin->draw(&canvas);
    EXPECT_EQ(controls[0]->draws, 1);
    EXPECT_EQ(controls[1]->erases, 1);
    EXPECT_EQ(built.skin->hitTest(5, 5, nullptr), controls[0]);
}

TEST(ScriptConditions, NotTwoChecksAndAnEmptyElse) {
    TestEffect effect;
    Built built = build(&effect, std::string(kHead) +
                                     "Condition Not mono\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "Condition mono linux\n"  // replaces the block
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "EndCondition\n"
                                     "ConditionElse\n"  // no block: hides what follows
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "EndCondition\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n");
    EXPECT_EQ(visibility(*built.skin), (std::vector<bool>{true, false, false, true}));
    ASSERT_TRUE(effect.setChannels(1, 1));
    EXPECT_EQ(visibility(*built.skin), (std::vector<bool>{false, true, false, true}));
    EXPECT_TRUE(controlsOf(*built.skin)[2]->conditionsInverted);
    EXPECT_TRUE(controlsOf(*built.skin)[2]->conditions.isEmpty());
}

TEST(ScriptConditions, OsCheckMatchesLnxInAnyCase) {
    TestEffect effect;
    Built built = build(&effect,
                        "Init 1 1 1\n"
                        "AddCheck a OS lnx\n"
                        "AddCheck b OS Linux\n"
                        "AddCheck c OS LnX extra\n"
                        "AddCheck d OS\n");
    ASSERT_EQ(built.skin->checks.size(), 3);
    EXPECT_TRUE(built.skin->checks.get(0)->evaluate());
    EXPECT_FALSE(built.skin->checks.get(1)->evaluate());
    EXPECT_TRUE(built.skin->checks.get(2)->evaluate());
    EXPECT_TRUE(built.skin->checks.get(2)->nameIs("c"));
    EXPECT_EQ(built.skippedLines(), (std::vector<int>{5}));
}

TEST(ScriptConditions, ParamCheckOnGainFollowsTheDecibels) {
    TestEffect effect;
    Built built = build(&effect,
                        "Init 1 1 1\n"
                        "AddCheck loud Param gain > 0\n"
                        "AddCheck bad Param Gain => 0\n"
                        "AddCheck gone Param Volume > 0\n"
                        "AddCheck cut Param \"Cut Off\" <= 1e3\n");
    ASSERT_EQ(built.skin->checks.size(), 2);
    const ZEditorCheck* loud = built.skin->checks.get(0);
    effect.setParameterValue(0, 0.7);
    EXPECT_TRUE(loud->evaluate());
    effect.setParameterValue(0, 0.3);
    EXPECT_FALSE(loud->evaluate());
    effect.setParameterValue(1, 0.0);
    EXPECT_TRUE(built.skin->checks.get(1)->evaluate());
    ASSERT_EQ(built.skips.size(), 2u);
    EXPECT_EQ(built.skips[0].why, "invalid operator '=>'");
    EXPECT_EQ(built.skips[1].why, "unknown parameter 'Volume'");
}

TEST(ScriptConditions, BlocksKeepOnlyTheItemsThatNameChecks) {
    TestEffect effect;
    Built built = build(&effect, std::string(kHead) +
                                     "AddCheck bad InOut == 1 =< 1\n"
                                     "Condition bad mono MONO\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "Condition nothing\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "ConditionElse\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n");
    auto controls = controlsOf(*built.skin);
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0]->conditions.size(), 1);
    EXPECT_EQ(controls[0]->conditions.get(0)->check, built.skin->checks.get(0));
    // A block whose every item was left out holds always, or never after the else.
    EXPECT_EQ(visibility(*built.skin), (std::vector<bool>{false, true, false}));
    std::vector<std::string> why;
    for (const auto& skip : built.skips) why.push_back(std::to_string(skip.line) + " " + skip.why);
    EXPECT_EQ(why, (std::vector<std::string>{"5 invalid operator '=<'", "6 unknown check 'bad'", "6 unknown check 'MONO'",
                                             "8 unknown check 'nothing'"}));
}

TEST(ScriptConditions, OneConditionObjectPerCheckAndNegation) {
    TestEffect effect;
    Built built = build(&effect, std::string(kHead) +
                                     "AddCheck Not OS lnx\n"
                                     "Condition Not mono\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "Condition Not Not mono linux\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n"
                                     "Condition mono Not\n"
                                     "AddControl 1 0 0 10 10 ZImg img\n");
    ASSERT_EQ(built.skin->checks.size(), 3);
    auto controls = controlsOf(*built.skin);
    ASSERT_EQ(controls.size(), 3u);
    const ZCondition* notMono = controls[0]->conditions.get(0);
    EXPECT_TRUE(notMono->negate);
    ASSERT_EQ(controls[1]->conditions.size(), 2);
    EXPECT_EQ(controls[1]->conditions.get(0), notMono);
    EXPECT_FALSE(controls[1]->conditions.get(1)->negate);
    // A trailing "Not" is the check named Not.
    ASSERT_EQ(controls[2]->conditions.size(), 2);
    EXPECT_FALSE(controls[2]->conditions.get(0)->negate);
    EXPECT_EQ(controls[2]->conditions.get(1)->check, built.skin->checks.get(2));
    EXPECT_EQ(built.skin->conditions.size(), 4);  // not mono, linux, mono, Not

    ZEditorSkinBuilder builder(&effect);
    EXPECT_EQ(builder.findCondition("mono", false), nullptr);  // no skin yet
}

TEST(ScriptConditions, BackgroundsInABlockCarryItsConditions) {
    TestEffect effect;
    Built built = build(&effect, std::string(kHead) +
                                     "Condition mono\n"
                                     "BackgroundImage 0 img 1\n"
                                     "ConditionElse\n"
                                     "BackgroundMap img\n");
    ASSERT_EQ(built.skin->backgrounds.size(), 3);
    ZEditorBg* monoBg = built.skin->backgrounds.get(0);
    EXPECT_EQ(monoBg->conditions.size(), 1);
    EXPECT_FALSE(monoBg->conditions.inverted);
    EXPECT_TRUE(built.skin->backgrounds.get(2)->conditions.inverted);

    ZCanvas canvas;
    canvas.init(nullptr, 285, 195);
    built.skin->draw(&canvas);
    EXPECT_EQ(built.skin->currentBackground, built.skin->backgrounds.get(1));
    ASSERT_TRUE(effect.setChannels(1, 1));
    built.skin->draw(&canvas);
    EXPECT_EQ(built.skin->currentBackground, monoBg);
}
