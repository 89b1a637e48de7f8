// Random bytes through the line and token readers for a couple of seconds:
// the sanitizer build turns any read or write past a buffer into a failure,
// and the checks below catch lost or invented characters.
#include "io/LineReader.h"
#include "io/TokenReader.h"

#include "MemoryReader.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string randomInput(std::mt19937& random, bool allowZero) {
    // Mostly the characters the readers treat specially.
    static const char kAlphabet[] = "\r\n\r\n \t\t\"\"##abcXYZ019.-+eEinfINF";
    std::uniform_int_distribution<int> length(0, 6000);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
    std::uniform_int_distribution<int> anyByte(allowZero ? 0 : 1, 255);
    std::uniform_int_distribution<int> mode(0, 9);
    std::string bytes(static_cast<size_t>(length(random)), 'a');
    for (char& c : bytes) c = static_cast<char>(mode(random) < 8 ? kAlphabet[pick(random)] : anyByte(random));
    return bytes;
}

std::string withoutBreaks(const std::string& bytes) {
    std::string kept;
    for (char c : bytes)
        if (c != '\r' && c != '\n') kept += c;
    return kept;
}

TEST(ReaderFuzz, RandomBytesThroughLineAndTokenReaders) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> lineSize(0, 300);
    std::uniform_int_distribution<int> perRead(1, 3000);
    std::uniform_int_distribution<int> capacity(0, 40);
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    int rounds = 0;
    while (std::chrono::steady_clock::now() < stop) {
        ++rounds;
        const bool allowZero = rounds % 2 == 0;
        const std::string input = randomInput(random, allowZero);
        const int32_t size = lineSize(random);
        const int32_t chunkRead = perRead(random);

        // Lines: every character but CR and LF comes out once, in order.
        MemoryReader lineSource(input, chunkRead);
        XP::LineReader lines(&lineSource);
        std::vector<char> buffer(static_cast<size_t>(size) + 1, 0x55);
        std::string joined;
        int count = 0;
        while (lines.readLine(size > 0 ? buffer.data() : nullptr, size)) {
            ASSERT_LT(++count, 20000) << "the reader does not move on";
            ASSERT_GE(size, 3);
            ASSERT_EQ(buffer[static_cast<size_t>(size - 1)], 0);
            ASSERT_EQ(buffer[static_cast<size_t>(size - 2)], 0);
            ASSERT_EQ(buffer[static_cast<size_t>(size)], 0x55) << "written past the buffer";
            const std::string line(buffer.data());
            if (count > 1 && !allowZero) {
                ASSERT_FALSE(line.empty()) << "blank line delivered";
            }
            joined += line;
        }
        if (!allowZero && size >= 3) {
            ASSERT_EQ(joined, withoutBreaks(input));
        }

        // Tokens: within the table, no comment text, numbers never crash.
        MemoryReader tokenSource(input, chunkRead);
        const int32_t tokenCapacity = capacity(random);
        XP::TokenReader tokens(size, tokenCapacity);
        tokens.attach(&tokenSource);
        int tokenLines = 0;
        while (tokens.readLine()) {
            ASSERT_LT(++tokenLines, 20000);
            ASSERT_LE(tokens.tokenCount, tokenCapacity);
            size_t total = 0;
            for (int32_t i = 0; i < tokens.tokenCount; ++i) {
                const char* text = tokens.token(i);
                ASSERT_EQ(std::strchr(text, '#'), nullptr);
                total += std::strlen(text);
                (void)tokens.number(i);
                (void)tokens.integer(i);
                (void)tokens.takeKeyword(text, i);
            }
            ASSERT_LE(total, static_cast<size_t>(size > 2 ? size - 2 : 0));
            EXPECT_STREQ(tokens.token(tokens.tokenCount), "");
        }
        EXPECT_EQ(tokenLines, count);
    }
    EXPECT_GT(rounds, 50);
}

}  // namespace
