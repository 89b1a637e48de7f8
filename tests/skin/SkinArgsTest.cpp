// Reading one line's arguments: consumption, name resolution and the
// reason kept for a line that makes nothing.
#include <gtest/gtest.h>

#include "SkinTestSupport.h"
#include "editor/ZCanvas.h"
#include "io/TokenReader.h"
#include "skin/SkinArgs.h"
#include "skin/ZColourResource.h"
#include "skin/ZFontResource.h"
#include "skin/ZImageResource.h"

#include <cmath>
#include <memory>

using namespace VRAX;
using skintest::MemoryReader;
using skintest::TestEffect;

namespace {

class ArgsTest : public ::testing::Test {
protected:
    ArgsTest() : skin(&effect) {
        skin.resources.add(ZColourResource::createRgb("red", 255, 0, 0));
        skin.resources.add(ZImageResource::create("dial", "Dial060.png", 60, 60, 2));
        static const unsigned char black[4] = {0, 0, 0, 255};
        skin.resources.add(ZFontResource::create("font", 12.0, black, "ZSans"));
    }

    // The arguments of one line, the cursor at its first token.
    SkinArgs& line(const std::string& text) {
        input = std::make_unique<MemoryReader>(text);
        reader = std::make_unique<XP::TokenReader>(input.get());
        reader->readLine();
        args = std::make_unique<SkinArgs>(*reader, &skin, &effect);
        return *args;
    }

    TestEffect effect;
    ZEditorSkin skin;
    std::unique_ptr<MemoryReader> input;
    std::unique_ptr<XP::TokenReader> reader;
    std::unique_ptr<SkinArgs> args;
};

}  // namespace

TEST_F(ArgsTest, EachArgumentTakesOneTokenAndTheLineCanRunOut) {
    SkinArgs& a = line("7 -2.5e1 Inf word");
    EXPECT_EQ(a.remaining(), 4);
    EXPECT_EQ(a.integer(), 7);
    EXPECT_EQ(a.real(), -25.0);
    EXPECT_EQ(a.real(), INFINITY);
    EXPECT_STREQ(a.text(), "word");
    EXPECT_EQ(a.remaining(), 0);
    EXPECT_STREQ(a.text(), "");
    EXPECT_EQ(a.integer(), 0);
    EXPECT_EQ(a.parameter(), -1);
    EXPECT_EQ(a.remaining(), 0);
    EXPECT_EQ(reader->cursor, 4);
}

TEST_F(ArgsTest, NamesResolveWithTheirOwnCaseRules) {
    SkinArgs& a = line("RES Peak Meter History PeakReset dial font red");
    EXPECT_EQ(a.parameter(), 2);
    EXPECT_EQ(a.featureDouble(), &effect.peak);
    EXPECT_EQ(a.featureInt(), &effect.meter);
    EXPECT_EQ(a.featureHistory(), &effect.history);
    EXPECT_EQ(a.command(), 3);
    EXPECT_EQ(a.image(), skin.resources.get(1));
    EXPECT_EQ(a.font(), static_cast<ZFontResource*>(skin.resources.get(2))->getFont());
    EXPECT_EQ(a.colour(), static_cast<ZColourResource*>(skin.resources.get(0))->getColour());
    EXPECT_EQ(a.failure(), nullptr);

    SkinArgs& b = line("Peak History peakreset Dial red dial NULL");
    EXPECT_EQ(b.featureInt(), nullptr);  // a double feature is not an int one
    EXPECT_EQ(b.featureDouble(), nullptr);
    EXPECT_EQ(b.command(), -1);
    EXPECT_EQ(b.image(), nullptr);
    EXPECT_EQ(b.font(), nullptr);  // a colour is not a font
    EXPECT_EQ(b.colour(), nullptr);
    EXPECT_EQ(b.colour(), nullptr);
    ASSERT_NE(b.failure(), nullptr);
    EXPECT_STREQ(b.failure(), "unknown feature 'Peak'");
}

TEST_F(ArgsTest, NullIsReportedOnlyWhenNothingElseFailed) {
    SkinArgs& a = line("Null null red");
    EXPECT_EQ(a.featureDouble(), nullptr);
    EXPECT_EQ(a.colour(), nullptr);
    EXPECT_NE(a.colour(), nullptr);
    EXPECT_STREQ(a.failure(), "unknown feature 'Null'");

    SkinArgs& b = line("Null nothing");
    b.featureDouble();
    b.image();
    EXPECT_STREQ(b.failure(), "unresolved resource 'nothing'");

    SkinArgs& c = line("red");
    c.noteFailure("first");
    c.noteFailure("second");
    EXPECT_STREQ(c.failure(), "first");
}

TEST_F(ArgsTest, OrientationAndAlignmentKeywords) {
    SkinArgs& a = line("lefttoright RightToLeft TOPTOBOTTOM BottomToTop Left Centre Right x");
    for (int32_t expected : {1, 2, 3, 4, 0}) EXPECT_EQ(a.orientation(), expected);
    EXPECT_EQ(a.alignment(), kAlignCentre);
    EXPECT_EQ(a.alignment(), kAlignRight);
    EXPECT_EQ(a.alignment(), kAlignLeft);
    EXPECT_EQ(a.orientation(), 0);  // past the end
}

TEST(ArgsWithoutEffect, NothingResolvesAndNothingBreaks) {
    MemoryReader input("Gain Peak PeakReset");
    XP::TokenReader reader(&input);
    reader.readLine();
    SkinArgs args(reader, nullptr, nullptr);
    EXPECT_EQ(args.parameter(), -1);
    EXPECT_EQ(args.featureDouble(), nullptr);
    EXPECT_EQ(args.command(), -1);
    EXPECT_EQ(args.image(), nullptr);
}
