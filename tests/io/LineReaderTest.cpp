#include "io/LineReader.h"

#include "MemoryReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kChunk = XP::LineReader::kChunkSize;

// Every line the reader delivers, with the given buffer size.
std::vector<std::string> readAll(XP::InputReader* source, int32_t bufferSize = 256) {
    XP::LineReader lines(source);
    std::vector<char> buffer(static_cast<size_t>(bufferSize));
    std::vector<std::string> result;
    while (lines.readLine(buffer.data(), bufferSize)) {
        result.emplace_back(buffer.data());
        if (result.size() > 100000) break;  // a reader that never ends
    }
    return result;
}

std::vector<std::string> readAll(const std::string& bytes, int32_t bufferSize = 256, int32_t perRead = INT32_MAX) {
    MemoryReader source(bytes, perRead);
    return readAll(&source, bufferSize);
}

using Lines = std::vector<std::string>;

TEST(LineReaderSeparators, RunsOfCrAndLfEndOneLine) {
    EXPECT_EQ(readAll("A\r\n\r\nB"), (Lines{"A", "B"}));
    EXPECT_EQ(readAll("a\rb\nc\r\nd\n\n\ne\n\r\r\nf"), (Lines{"a", "b", "c", "d", "e", "f"}));
}

TEST(LineReaderSeparators, LastLineNeedsNoBreakAndTrailingBreaksAddNothing) {
    EXPECT_EQ(readAll("A"), (Lines{"A"}));
    EXPECT_EQ(readAll("A\r\n"), (Lines{"A"}));
    EXPECT_EQ(readAll("A\r\n\r\n\n"), (Lines{"A"}));
}

TEST(LineReaderSeparators, OnlyABreakAtTheVeryStartGivesAnEmptyLine) {
    EXPECT_EQ(readAll("\nA"), (Lines{"", "A"}));
    EXPECT_EQ(readAll("\r\n\r\nA\r\n"), (Lines{"", "A"}));
    EXPECT_EQ(readAll("\r"), (Lines{""}));
}

TEST(LineReaderEnd, NoLinesFromEmptyClosedOrMissingSources) {
    EXPECT_TRUE(readAll("").empty());
    MemoryReader closed("A\r\n", INT32_MAX, false);
    EXPECT_TRUE(readAll(&closed).empty());
    EXPECT_EQ(closed.reads, 0);
    EXPECT_TRUE(readAll(nullptr).empty());
    XP::LineReader unattached;
    char buffer[8];
    EXPECT_FALSE(unattached.readLine(buffer, sizeof buffer));
}

TEST(LineReaderEnd, SetUpDetachesAndAttachStartsAnotherSource) {
    MemoryReader first("one\r\ntwo\r\n");
    MemoryReader second("three");
    XP::LineReader lines(&first);
    char buffer[16];
    ASSERT_TRUE(lines.readLine(buffer, sizeof buffer));
    lines.setUp();
    EXPECT_FALSE(lines.readLine(buffer, sizeof buffer));
    lines.attach(&second);
    ASSERT_TRUE(lines.readLine(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "three");
    EXPECT_FALSE(lines.readLine(buffer, sizeof buffer));
}

TEST(LineReaderLongLines, ComeInPiecesOfSizeMinusTwo) {
    const Lines pieces = readAll(std::string(300, 'x') + "\r\nend", 256);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], std::string(254, 'x'));
    EXPECT_EQ(pieces[1], std::string(46, 'x'));
    EXPECT_EQ(pieces[2], "end");
}

TEST(LineReaderLongLines, AFullLineFollowedByABreakIsOneLine) {
    EXPECT_EQ(readAll(std::string(254, 'y') + "\r\nz", 256), (Lines{std::string(254, 'y'), "z"}));
    EXPECT_EQ(readAll(std::string(254, 'y'), 256), (Lines{std::string(254, 'y')}));
    EXPECT_EQ(readAll("abcdefg", 5), (Lines{"abc", "def", "g"}));
}

TEST(LineReaderLongLines, BufferIsClearedAndTerminated) {
    MemoryReader source(std::string(20, 'q') + "\nab");
    XP::LineReader lines(&source);
    char buffer[12];
    ASSERT_TRUE(lines.readLine(buffer, sizeof buffer));
    EXPECT_EQ(buffer[10], 0);
    EXPECT_EQ(buffer[11], 0);
    ASSERT_TRUE(lines.readLine(buffer, sizeof buffer));  // the rest of the q's
    ASSERT_TRUE(lines.readLine(buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "ab");
    for (size_t i = 2; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 0) << i;
}

TEST(LineReaderLongLines, BuffersTooSmallForOneCharacterDeliverNothingAndConsumeNothing) {
    MemoryReader source("abc\r\n");
    XP::LineReader lines(&source);
    char buffer[8] = "zzzzzzz";
    EXPECT_FALSE(lines.readLine(buffer, 2));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[2], 'z');
    EXPECT_FALSE(lines.readLine(buffer, 0));
    EXPECT_FALSE(lines.readLine(nullptr, 100));
    ASSERT_TRUE(lines.readLine(buffer, 3));
    EXPECT_STREQ(buffer, "a");
}

TEST(LineReaderChunks, LinesAcrossTheChunkBoundaryAreWhole) {
    const std::string first(kChunk - 10, 'a');
    const std::string second = "0123456789012345678901234567890123456789";
    const Lines lines = readAll(first + "\r\n" + second + "\r\nlast", 4096);
    EXPECT_EQ(lines, (Lines{first, second, "last"}));
}

TEST(LineReaderChunks, BreakSplitByTheBoundaryIsStillOneBreak) {
    const std::string first(kChunk - 1, 'a');  // CR is the chunk's last byte, LF the next one's first
    EXPECT_EQ(readAll(first + "\r\nb", 4096), (Lines{first, "b"}));
    const std::string exact(kChunk, 'c');  // the break starts the second chunk
    EXPECT_EQ(readAll(exact + "\n\nd", 4096), (Lines{exact, "d"}));
}

TEST(LineReaderChunks, LinesLongerThanAChunkAreWhole) {
    const std::string big(3 * kChunk + 17, 'w');
    EXPECT_EQ(readAll("x\r\n" + big + "\r\ny", 16384), (Lines{"x", big, "y"}));
}

TEST(LineReaderChunks, ShortReadsGiveTheSameLines) {
    std::string text;
    Lines expected;
    for (int i = 0; i < 300; ++i) {
        expected.push_back("line " + std::to_string(i) + std::string(i % 37, '.'));
        text += expected.back() + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r");
    }
    EXPECT_EQ(readAll(text, 256, 1), expected);
    EXPECT_EQ(readAll(text, 256, 7), expected);
    EXPECT_EQ(readAll(text, 256, kChunk), expected);
}

TEST(LineReaderChunks, ReaderClaimingMoreThanAskedStaysInsideTheChunk) {
    LyingReader liar(5 * kChunk, 2);
    const Lines lines = readAll(&liar, 8192);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string(2 * kChunk, 'x'));
    LyingReader negative(-5, 3);
    EXPECT_TRUE(readAll(&negative).empty());
}

}  // namespace
