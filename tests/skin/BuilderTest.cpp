// The skin script builder: commands, resources, backgrounds, pages,
// controls, validation and the skip reports.
#include <gtest/gtest.h>

#include "ScriptSupport.h"
#include "editor/ZEditor.h"
#include "skin/ZColourResource.h"
#include "skin/ZFontResource.h"
#include "skin/ZFontTypeResource.h"
#include "skin/ZImageResource.h"

using namespace VRAX;
using skintest::build;
using skintest::Built;
using skintest::controlsOf;
using skintest::MemoryReader;
using skintest::TestEffect;

namespace {

const char kImages[] =
    "AddResource two PngResource \"Qolm.png\" 285 195 2\n"
    "AddResource one PngResource \"QolmTitle.png\" 150 55 1\n";

const ZColourResource* colourAt(const ZEditorSkin& skin, int32_t i) {
    return static_cast<const ZColourResource*>(skin.resources.get(i));
}

}  // namespace

TEST(Builder, BackgroundMapGivesEachPageItsFrameWhenTheImageHasOnePerPage) {
    TestEffect effect;
    Built two = build(&effect, std::string(kImages) + "Init 285 195 2\nBackgroundMap two\n");
    ASSERT_TRUE(two.skin);
    ASSERT_EQ(two.skin->backgrounds.size(), 2);
    for (int32_t i = 0; i < 2; ++i) {
        EXPECT_EQ(two.skin->backgrounds.get(i)->page, i + 1);
        EXPECT_EQ(two.skin->backgrounds.get(i)->frame, i);
        EXPECT_EQ(two.skin->backgrounds.get(i)->image, two.skin->resources.get(0));
    }

    Built one = build(&effect, std::string(kImages) + "Init 285 195 2\nBackgroundMap one\n");
    ASSERT_EQ(one.skin->backgrounds.size(), 2);
    EXPECT_EQ(one.skin->backgrounds.get(0)->frame, 0);
    EXPECT_EQ(one.skin->backgrounds.get(1)->frame, 0);
    EXPECT_EQ(one.skin->backgrounds.get(1)->page, 2);

    Built early = build(&effect, std::string(kImages) + "BackgroundMap two\nInit 285 195 2\n");
    ASSERT_TRUE(early.skin);
    EXPECT_EQ(early.skin->backgrounds.size(), 0);
    EXPECT_EQ(early.skippedLines(), (std::vector<int>{3}));

    Built missing = build(&effect, std::string(kImages) + "Init 285 195 2\nBackgroundMap Two\nBackgroundMap null\n");
    EXPECT_EQ(missing.skin->backgrounds.size(), 0);
    ASSERT_EQ(missing.skips.size(), 2u);
    EXPECT_EQ(missing.skips[0].why, "unresolved resource 'Two'");
}

TEST(Builder, BackgroundImageCountsFramesFromOneAndPageZeroServesEveryPage) {
    TestEffect effect;
    Built built = build(&effect, std::string(kImages) +
                                     "Init 285 195 2\n"
                                     "BackgroundImage 2 two 1\n"
                                     "BackgroundImage 1 two 0\n"
                                     "BackgroundImage 0 two 2\n"
                                     "BackgroundImage -1 two 1\n"
                                     "BackgroundImage 1 nothing 1\n");
    ASSERT_EQ(built.skin->backgrounds.size(), 2);
    EXPECT_EQ(built.skin->backgrounds.get(0)->page, 2);
    EXPECT_EQ(built.skin->backgrounds.get(0)->frame, 0);
    EXPECT_EQ(built.skin->backgrounds.get(1)->page, 0);
    EXPECT_EQ(built.skin->backgrounds.get(1)->frame, 1);
    EXPECT_EQ(built.skippedLines(), (std::vector<int>{5, 7, 8}));
    EXPECT_EQ(built.skips[0].why, "numeric rule failed");

    // The page-0 record is chosen on a page without one of its own.
    ZCanvas canvas;
    canvas.init(nullptr, 285, 195);
    built.skin->draw(&canvas);
    EXPECT_EQ(built.skin->currentBackground, built.skin->backgrounds.get(1));
    built.skin->setPage(2);
    built.skin->draw(&canvas);
    EXPECT_EQ(built.skin->currentBackground, built.skin->backgrounds.get(0));
}

TEST(Builder, StartPageMustNameAnExistingPage) {
    TestEffect effect;
    Built built = build(&effect, "StartPage 2\nInit 100 100 2\nStartPage 3\nStartPage 0\n");
    EXPECT_EQ(built.skin->startPage, 1);
    EXPECT_EQ(built.skippedLines(), (std::vector<int>{1, 3, 4}));
    built = build(&effect, "Init 100 100 2\nStartPage 2\n");
    EXPECT_EQ(built.skin->startPage, 2);
    // The editor still begins on page 1.
    EXPECT_EQ(built.skin->currentPage, 1);
}

TEST(Builder, InitRefreshThrottleAndLaterOverwrites) {
    TestEffect effect;
    Built built = build(&effect, "Init 10 20 3\nInit 285 195 2 extra\nRefreshThrottleMs 100\n");
    EXPECT_EQ(built.skin->width, 285);
    EXPECT_EQ(built.skin->height, 195);
    EXPECT_EQ(built.skin->pageCount, 2);
    EXPECT_EQ(built.skin->refreshThrottleMs, 100u);
    EXPECT_TRUE(built.skips.empty());
    built = build(&effect, "Init 1 1 1\nRefreshThrottleMs -1\n");
    EXPECT_EQ(built.skin->refreshThrottleMs, 4294967295u);
}

TEST(Builder, ASkinWithoutSizeOrPagesIsRejected) {
    TestEffect effect;
    for (const char* script : {"Init 285 195 0\n", "Init 0 195 2\n", "Init 285 -1 2\n", "# nothing\n", "",
                               "Init 285 195\n"}) {
        Built built = build(&effect, script);
        EXPECT_FALSE(built.skin) << script;
        ASSERT_FALSE(built.skips.empty());
        EXPECT_EQ(built.skips.back().line, 0);
    }
    ZEditorSkinBuilder builder(&effect);
    MemoryReader zeroPages("Init 285 195 0\n");
    EXPECT_EQ(builder.buildEditor(zeroPages), nullptr);
    EXPECT_EQ(builder.skin, nullptr);
    MemoryReader closed("Init 285 195 2\n", false);
    EXPECT_EQ(builder.buildEditor(closed), nullptr);
    EXPECT_EQ(builder.runScript(closed), nullptr);
    EXPECT_EQ(builder.buildEditor("NoSuchSkin.txt"), nullptr);
    EXPECT_EQ(builder.buildEditor(static_cast<const char*>(nullptr)), nullptr);
}

TEST(Builder, KeywordsIgnoreCaseButNamesDoNot) {
    TestEffect effect;
    Built built = build(&effect, std::string(kImages) +
                                     "init 285 195 2\n"
                                     "BACKGROUNDMAP two\n"
                                     "addcontrol 1 0 0 150 55 zimg one\n"
                                     "AddControl 1 0 0 150 55 ZIMG ONE\n"
                                     "AddControl 1 0 0 150 55 ZImg One\n");
    ASSERT_TRUE(built.skin);
    EXPECT_EQ(built.skin->backgrounds.size(), 2);
    ASSERT_EQ(built.skin->controls.size(), 1);
    EXPECT_EQ(built.skippedLines(), (std::vector<int>{6, 7}));
    EXPECT_EQ(built.skips[0].why, "unresolved resource 'ONE'");
}

TEST(Builder, ControlsTakeTheirNumbersAsWrittenAndNamedOnesGetTheName) {
    TestEffect effect;
    Built built = build(&effect, std::string(kImages) +
                                     "Init 285 195 2\n"
                                     "AddControl 5 -10 -20 0 -3 ZImg one\n"
                                     "AddNameCtl title 0 1 2 3 4 ZImg one\n"
                                     "AddNameCtl 0 1 2 3 4 ZImg\n");
    auto controls = controlsOf(*built.skin);
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0]->page, 5);
    EXPECT_EQ(controls[0]->x, -10);
    EXPECT_EQ(controls[0]->y, -20);
    EXPECT_EQ(controls[0]->width, 0);
    EXPECT_EQ(controls[0]->height, -3);
    EXPECT_EQ(controls[0]->skin, built.skin.get());
    EXPECT_EQ(controls[0]->effect, &effect);
    EXPECT_EQ(controls[0]->getName()[0], 0);
    EXPECT_TRUE(controls[1]->nameIs("title"));
    EXPECT_EQ(controls[1]->x, 1);
    EXPECT_EQ(controls[1]->height, 4);
    EXPECT_EQ(built.skippedLines(), (std::vector<int>{6}));
}

TEST(Builder, AddControlWithoutATypeMakesNothing) {
    TestEffect effect;
    Built built = build(&effect, "Init 285 195 2\nAddControl 1 0 0 10 10\nAddControl 1 0 0 10\n");
    EXPECT_EQ(built.skin->controls.size(), 0);
    ASSERT_EQ(built.skips.size(), 2u);
    EXPECT_EQ(built.skips[0].why, "no control type");
    EXPECT_EQ(built.skips[1].why, "too few tokens");
}

TEST(Builder, ControlArgumentsResolveAgainstTheEffectAndResources) {
    TestEffect effect;
    Built built = build(&effect, std::string(kImages) +
                                     "AddResource dot RGBColour 40 40 50\n"
                                     "AddResource font DefFont 12 dot \"ZSans\"\n"
                                     "Init 285 195 2\n"
                                     "AddControl 1 0 0 60 60 ZBgPotDot \"cut off\" two 15 dot\n"
                                     "AddControl 1 0 0 60 60 ZBgPotDot \"CutOff\" two 15 dot\n"
                                     "AddControl 1 0 0 60 60 ZBgPotDot Gain TWO 15 dot\n"
                                     "AddControl 1 0 0 60 60 ZBgPotDot Gain two 0 dot\n"
                                     "AddControl 1 0 0 60 60 ZBgPotDot Gain two 15 Null\n"
                                     "AddControl 1 0 0 15 15 ZImgPeak Peak PeakReset one\n"
                                     "AddControl 1 0 0 15 15 ZImgPeak peak PeakReset one\n"
                                     "AddControl 1 0 0 15 15 ZImgPeak Peak peakreset one\n"
                                     "AddControl 1 0 0 15 15 ZImgPeak Meter PeakReset one\n"
                                     "AddControl 1 0 0 90 40 ZWave History Null NULL dot dot dot\n"
                                     "AddControl 1 0 0 90 40 ZWave Peak Null Null dot dot dot\n"
                                     "AddControl 1 0 0 90 40 ZLabel Right \"A B\" font 0\n"
                                     "AddControl 1 0 0 90 40 ZLabel Right \"A B\" dot 0\n"
                                     "AddControl 1 0 0 90 40 ZPot Gain\n"
                                     "AddControl 1 0 0 90 40 ZBgPotDot Gain two 15\n");
    auto controls = controlsOf(*built.skin);
    ASSERT_EQ(controls.size(), 4u);
    EXPECT_EQ(controls[0]->type, "ZBgPotDot");
    EXPECT_EQ(controls[0]->parameter, 1);
    EXPECT_EQ(controls[0]->image, built.skin->resources.get(0));
    EXPECT_EQ(controls[0]->real, 15.0);
    EXPECT_EQ(controls[0]->colour, colourAt(*built.skin, 2)->getColour());
    EXPECT_EQ(controls[1]->type, "ZImgPeak");
    EXPECT_EQ(controls[1]->feature, &effect.peak);
    EXPECT_EQ(controls[1]->parameter, 3);
    EXPECT_EQ(controls[2]->type, "ZWave");
    EXPECT_EQ(controls[2]->feature, nullptr);
    EXPECT_EQ(controls[3]->type, "ZLabel A B");
    EXPECT_EQ(controls[3]->parameter, kAlignRight);

    ASSERT_EQ(built.skips.size(), 11u);
    const std::vector<std::pair<int, std::string>> expected = {
        {7, "unknown parameter 'CutOff'"},
        {8, "unresolved resource 'TWO'"},
        {9, "numeric rule failed"},
        {10, "unresolved resource 'Null'"},
        {12, "unknown feature 'peak'"},
        {13, "unknown command name 'peakreset'"},
        {14, "unknown feature 'Meter'"},
        {16, "unknown feature 'Peak'"},
        {18, "unresolved resource 'dot'"},
        {19, "unknown control type 'ZPot'"},
        {20, "too few tokens"},
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(built.skips[i].line, expected[i].first) << i;
        EXPECT_EQ(built.skips[i].why, expected[i].second) << i;
    }
    EXPECT_EQ(built.skips[0].text, "AddControl 1 0 0 60 60 ZBgPotDot \"CutOff\" two 15 dot");
}

TEST(Builder, ResourcesFollowTheirRules) {
    TestEffect effect;
    Built built = build(&effect,
                        "AddResource red RGBColour 300 -1 255\n"
                        "AddResource glass RGBAColour 1 2 3 128\n"
                        "AddResource font DefFont 17 red \"ZFont1\"\n"
                        "AddResource huge DefFont Inf glass face\n"
                        "AddResource none1 DefFont 12 Null face\n"
                        "AddResource none2 DefFont 0 red face\n"
                        "AddResource none3 DefFont 12 img face\n"
                        "AddResource img PngResource \"Dial060.png\" 60 60 2\n"
                        "AddResource none4 PngResource \"Dial060.png\" 60 0 2\n"
                        "AddResource none5 Gradient 1 2 3\n"
                        "AddResource none6 RGBAColour 1 2 3\n"
                        "InstallTTF \"ZSans\" \"ZSans.ttf\"\n"
                        "Init 1 1 1\n");
    const ZEditorSkin& skin = *built.skin;
    ASSERT_EQ(skin.resources.size(), 6);
    const unsigned char* red = colourAt(skin, 0)->getColour();
    EXPECT_EQ(red[0], 44);
    EXPECT_EQ(red[1], 255);
    EXPECT_EQ(red[2], 255);
    EXPECT_EQ(red[3], 255);
    EXPECT_TRUE(skin.resources.get(0)->nameIs("red"));
    EXPECT_EQ(colourAt(skin, 1)->getColour()[3], 128);

    auto* font = static_cast<const ZFontResource*>(skin.resources.get(2));
    ASSERT_TRUE(font->isType(typeIdOf<ZFontResource>()));
    EXPECT_EQ(font->getFont()->getSize(), 17.0);
    EXPECT_STREQ(font->getFont()->getFace(), "ZFont1");
    EXPECT_EQ(font->getFont()->colour[0], 44);
    EXPECT_TRUE(skin.resources.get(3)->nameIs("huge"));

    auto* image = static_cast<const ZImageResource*>(skin.resources.get(4));
    ASSERT_TRUE(image->isType(typeIdOf<ZImageResource>()));
    EXPECT_TRUE(image->nameIs("img"));
    EXPECT_EQ(image->getFrameCount(), 2);

    auto* face = static_cast<const ZFontTypeResource*>(skin.resources.get(5));
    ASSERT_TRUE(face->isType(typeIdOf<ZFontTypeResource>()));
    EXPECT_TRUE(face->nameIs("ZSans"));
    EXPECT_STREQ(face->getFile(), "ZSans.ttf");

    EXPECT_EQ(built.skippedLines(), (std::vector<int>{5, 6, 7, 9, 10, 11}));
    EXPECT_EQ(built.skips[0].why, "unresolved resource 'Null'");
    EXPECT_EQ(built.skips[1].why, "numeric rule failed");
    EXPECT_EQ(built.skips[2].why, "unresolved resource 'img'");
    EXPECT_EQ(built.skips[4].why, "unknown resource kind 'Gradient'");
    EXPECT_EQ(built.skips[5].why, "too few tokens");
}

TEST(Builder, OnlyTheFirstResourceOfANameCounts) {
    TestEffect effect;
    Built built = build(&effect,
                        "AddResource pic RGBColour 1 2 3\n"
                        "AddResource pic PngResource \"Dial060.png\" 60 60 2\n"
                        "Init 1 1 1\n"
                        "AddControl 1 0 0 1 1 ZImg pic\n");
    EXPECT_EQ(built.skin->resources.size(), 2);
    EXPECT_EQ(built.skin->controls.size(), 0);
}

TEST(Builder, SkipReportsNameTheFileLineEvenAroundBlankLinesAndComments) {
    TestEffect effect;
    Built built = build(&effect,
                        "# a skin\r\n"
                        "\r\n"
                        "Frobnicate 1 2\r\n"
                        "   \t\r\n"
                        "Init 285 195\r"
                        "Init 285 195 2 # size\r"
                        "\r\n"  // CR LF is one break, so this is an empty line 7
                        "\n"
                        "AddCheck c Colour 1\n"
                        "AddCheck p Param Volume > 1\n"
                        "AddCheck \"quoted name\"\n"
                        "AddControl 1 0 0 10 10 ZUrl \"https://example.org\"");
    ASSERT_TRUE(built.skin);
    ASSERT_EQ(built.skips.size(), 6u);
    EXPECT_EQ(built.skips[0].line, 3);
    EXPECT_EQ(built.skips[0].why, "unknown command 'Frobnicate'");
    EXPECT_EQ(built.skips[0].text, "Frobnicate 1 2");
    EXPECT_EQ(built.skips[1].line, 5);
    EXPECT_EQ(built.skips[1].why, "too few tokens");
    EXPECT_EQ(built.skips[2].line, 9);
    EXPECT_EQ(built.skips[2].why, "unknown check kind 'Colour'");
    EXPECT_EQ(built.skips[3].line, 10);
    EXPECT_EQ(built.skips[3].why, "unknown parameter 'Volume'");
    EXPECT_EQ(built.skips[4].line, 11);
    EXPECT_EQ(built.skips[4].why, "too few tokens");
    EXPECT_EQ(built.skips[5].line, 12);
    EXPECT_EQ(built.skips[5].why, "control type not available");
    EXPECT_EQ(built.skips[5].text, "AddControl 1 0 0 10 10 ZUrl \"https://example.org\"");
}

TEST(Builder, AnOverlongLineIsReadInPiecesUnderItsOwnNumber) {
    TestEffect effect;
    std::string first = "AddResource c RGBColour 1 2 3";
    first.resize(254, ' ');
    Built built = build(&effect, "Init 1 1 1\n" + first + "Bogus 1\nInit 2 2 2\n");
    ASSERT_TRUE(built.skin);
    EXPECT_EQ(built.skin->resources.size(), 1);
    EXPECT_EQ(built.skin->width, 2);
    ASSERT_EQ(built.skips.size(), 1u);
    EXPECT_EQ(built.skips[0].line, 2);
    EXPECT_EQ(built.skips[0].why, "unknown command 'Bogus'");
}

TEST(Builder, BuildsTheEmbeddedSkinIntoAnEditor) {
    TestEffect effect;
    std::vector<skintest::Skip> skips;
    ZEditorSkinBuilder builder(&effect);
    builder.setSkipReporter(skintest::collectSkip, &skips);
    std::unique_ptr<ZEditor> editor(builder.buildEditor("qolmskin.txt"));
    ASSERT_TRUE(editor);
    ZEditorSkin* skin = editor->getSkin();
    ASSERT_EQ(skin, builder.skin);
    ERect* rect = nullptr;
    ASSERT_TRUE(editor->getRect(&rect));
    EXPECT_EQ(rect->right, 285);
    EXPECT_EQ(rect->bottom, 195);
    EXPECT_EQ(skin->pageCount, 2);
    EXPECT_EQ(skin->resources.size(), 21);
    ASSERT_EQ(skin->backgrounds.size(), 2);
    EXPECT_EQ(skin->backgrounds.get(0)->frame, 0);
    EXPECT_EQ(skin->backgrounds.get(1)->frame, 1);
    EXPECT_EQ(skin->backgrounds.get(1)->page, 2);

    // The types the test provides are made; the others are not there yet.
    auto controls = controlsOf(*skin);
    ASSERT_EQ(controls.size(), 12u);
    EXPECT_EQ(controls[0]->type, "ZImg");
    EXPECT_EQ(controls[1]->type, "ZLabel Gain");
    EXPECT_EQ(controls[1]->parameter, kAlignCentre);
    EXPECT_EQ(controls[2]->parameter, 0);
    EXPECT_EQ(controls[4]->parameter, 1);
    EXPECT_EQ(controls[6]->parameter, 2);
    EXPECT_EQ(controls[7]->type, "ZImgPeak");
    EXPECT_EQ(controls[7]->feature, &effect.peak);
    EXPECT_EQ(controls[11]->type, "ZLabel ${SRate} Hz ~ ${Inputs}x${Outputs} ~ ${HostName}");
    EXPECT_EQ(controls[11]->page, 2);
    ASSERT_EQ(skips.size(), 8u);
    for (const skintest::Skip& skip : skips) {
        EXPECT_EQ(skip.why, "control type not available") << skip.line << ": " << skip.text;
        EXPECT_EQ(skip.text.rfind("AddControl", 0), 0u);
    }
}
