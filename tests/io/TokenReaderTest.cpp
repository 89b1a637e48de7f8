#include "io/TokenReader.h"

#include "MemoryReader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

using Tokens = std::vector<std::string>;

Tokens tokensOf(const XP::TokenReader& reader) {
    Tokens result;
    for (int32_t i = 0; i < reader.tokenCount; ++i) result.emplace_back(reader.token(i));
    return result;
}

// The tokens of the first line of text.
Tokens tokenize(const std::string& text) {
    MemoryReader source(text);
    XP::TokenReader reader(&source);
    EXPECT_TRUE(reader.readLine());
    return tokensOf(reader);
}

TEST(TokenReaderSplitting, SpacesAndTabsSeparate) {
    EXPECT_EQ(tokenize("  AddControl\tPot  1 \t 2\t"), (Tokens{"AddControl", "Pot", "1", "2"}));
}

TEST(TokenReaderSplitting, QuotesGroupAndKeepInnerSpaces) {
    EXPECT_EQ(tokenize("SETSTR \"Cut Off\" \"120.0\""), (Tokens{"SETSTR", "Cut Off", "120.0"}));
    EXPECT_EQ(tokenize("A \"\" B"), (Tokens{"A", "", "B"}));
    EXPECT_EQ(tokenize("\" \t \""), (Tokens{" \t "}));
}

TEST(TokenReaderSplitting, UnclosedQuoteRunsToTheEndOfTheLine) {
    EXPECT_EQ(tokenize("X \"a b\r\nnext"), (Tokens{"X", "a b"}));
}

TEST(TokenReaderSplitting, TextGluedToAClosingQuoteStartsANewToken) {
    EXPECT_EQ(tokenize("\"ab\"cd"), (Tokens{"ab", "cd"}));
    EXPECT_EQ(tokenize("\"a\"\"b\""), (Tokens{"a", "b"}));
}

TEST(TokenReaderSplitting, QuoteInsideAPlainTokenIsOrdinary) {
    EXPECT_EQ(tokenize("ab\"c d\""), (Tokens{"ab\"c", "d\""}));
}

TEST(TokenReaderComments, HashCutsTheLineEvenInsideQuotes) {
    EXPECT_EQ(tokenize("PRESET \"Bass # 1"), (Tokens{"PRESET", "Bass "}));
    EXPECT_EQ(tokenize("a#b c"), (Tokens{"a"}));
    EXPECT_EQ(tokenize("\"x#y\" z"), (Tokens{"x"}));
}

TEST(TokenReaderComments, BlankAndCommentLinesHaveNoTokens) {
    MemoryReader source("   \t \r\n# only a comment\r\nlast");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(reader.tokenCount, 0);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(reader.tokenCount, 0);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(tokensOf(reader), (Tokens{"last"}));
    EXPECT_FALSE(reader.readLine());
    EXPECT_EQ(reader.tokenCount, 0);
}

TEST(TokenReaderLimits, TokensBeyondTheTableAreIgnored) {
    std::string line;
    for (int i = 0; i < 40; ++i) {
        line += 't';
        line += std::to_string(i);
        line += ' ';
    }
    MemoryReader source(line);
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    ASSERT_EQ(reader.tokenCount, 32);
    EXPECT_STREQ(reader.token(31), "t31");
    EXPECT_STREQ(reader.token(32), "");

    MemoryReader again("a b c");
    XP::TokenReader small(256, 2);
    small.attach(&again);
    ASSERT_TRUE(small.readLine());
    EXPECT_EQ(tokensOf(small), (Tokens{"a", "b"}));
}

TEST(TokenReaderLimits, LongLinesComeInPiecesOfTheLineBuffer) {
    MemoryReader source(std::string(300, 'k'));
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(std::string(reader.token(0)), std::string(254, 'k'));
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(std::string(reader.token(0)), std::string(46, 'k'));

    MemoryReader shortSource("abc defgh ij");
    XP::TokenReader tiny(8, 4);
    tiny.attach(&shortSource);
    ASSERT_TRUE(tiny.readLine());
    EXPECT_EQ(tokensOf(tiny), (Tokens{"abc", "de"}));
    ASSERT_TRUE(tiny.readLine());
    EXPECT_EQ(tokensOf(tiny), (Tokens{"fgh", "ij"}));
}

TEST(TokenReaderLimits, WithoutASourceOrRoomThereAreNoLines) {
    XP::TokenReader unattached;
    EXPECT_FALSE(unattached.readLine());
    MemoryReader source("a");
    XP::TokenReader noLine(0, 0);
    noLine.attach(&source);
    EXPECT_FALSE(noLine.readLine());
    XP::TokenReader noTable(16, 0);
    MemoryReader other("a b");
    noTable.attach(&other);
    EXPECT_TRUE(noTable.readLine());
    EXPECT_EQ(noTable.tokenCount, 0);
}

TEST(TokenReaderLimits, NextLineReplacesTokensAndResetsTheCursor) {
    MemoryReader source("one two three\r\nfour");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    reader.cursor = 2;
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(reader.cursor, 0);
    EXPECT_EQ(tokensOf(reader), (Tokens{"four"}));
    EXPECT_STREQ(reader.token(1), "");
}

TEST(TokenReaderAccess, TokenOutsideTheRangeIsEmpty) {
    MemoryReader source("a b");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_STREQ(reader.token(-1), "");
    EXPECT_STREQ(reader.token(2), "");
    reader.tokenCount = 1000;  // a caller's mistake must not reach past the table
    EXPECT_STREQ(reader.token(500), "");
    EXPECT_FALSE(reader.tokenEquals(40, ""));
}

TEST(TokenReaderAccess, TokenEqualsIgnoresCaseButNotLength) {
    MemoryReader source("SetStr Gain");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_TRUE(reader.tokenEquals(0, "SETSTR"));
    EXPECT_TRUE(reader.tokenEquals(1, "gain"));
    EXPECT_FALSE(reader.tokenEquals(0, "SETST"));
    EXPECT_FALSE(reader.tokenEquals(0, "SETSTRX"));
    EXPECT_FALSE(reader.tokenEquals(0, nullptr));
    EXPECT_FALSE(reader.tokenEquals(2, "gain"));
    EXPECT_FALSE(reader.tokenEquals(-1, "SetStr"));
}

TEST(TokenReaderAccess, TakeKeywordNeedsItsArguments) {
    MemoryReader source("SETSTR Gain");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_FALSE(reader.takeKeyword("SETSTR", 2));
    EXPECT_EQ(reader.cursor, 0);
    EXPECT_FALSE(reader.takeKeyword("PRESET", 0));
    EXPECT_EQ(reader.cursor, 0);
    EXPECT_TRUE(reader.takeKeyword("setstr", 1));
    EXPECT_EQ(reader.cursor, 1);
    EXPECT_FALSE(reader.takeKeyword("Gain", 1));
    EXPECT_TRUE(reader.takeKeyword("Gain", 0));
    EXPECT_EQ(reader.cursor, 2);
    EXPECT_FALSE(reader.takeKeyword("Gain", 0));
}

TEST(TokenReaderNumbers, InfinityWordsAndStrtodRules) {
    MemoryReader source("-inf -INF inF abc 120.5 -2.5e2 12abc");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(reader.number(0), -INFINITY);
    EXPECT_EQ(reader.number(1), -INFINITY);
    EXPECT_EQ(reader.number(2), INFINITY);
    EXPECT_EQ(reader.number(3), 0.0);
    EXPECT_EQ(reader.number(4), 120.5);
    EXPECT_EQ(reader.number(5), -250.0);
    EXPECT_EQ(reader.number(6), 12.0);
    EXPECT_EQ(reader.number(7), 0.0);
}

TEST(TokenReaderNumbers, IntegersAreDecimalAndFitIn32Bits) {
    MemoryReader source("-7 12.9 abc 0x1F 010 99999999999 -99999999999");
    XP::TokenReader reader(&source);
    ASSERT_TRUE(reader.readLine());
    EXPECT_EQ(reader.integer(0), -7);
    EXPECT_EQ(reader.integer(1), 12);
    EXPECT_EQ(reader.integer(2), 0);
    EXPECT_EQ(reader.integer(3), 0);
    EXPECT_EQ(reader.integer(4), 10);
    EXPECT_EQ(reader.integer(5), INT32_MAX);
    EXPECT_EQ(reader.integer(6), INT32_MIN);
    EXPECT_EQ(reader.integer(7), 0);
}

}  // namespace
