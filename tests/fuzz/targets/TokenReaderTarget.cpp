// XP::TokenReader over arbitrary text, line and table sizes. Each line is
// also read by a second line reader and cut by a direct model of the token
// rules ("#" ends the line even inside quotes, spaces and tabs separate,
// quotes group without escapes, at most the table's size of tokens); the
// reader's tokens must be the model's. Then every accessor is run, also
// with indexes outside the line and with the public count and cursor set to
// nonsense, as a careless caller might.
#include "FuzzSupport.h"
#include "FuzzTargets.h"

#include "io/LineReader.h"
#include "io/MemoryReader.h"
#include "io/TokenReader.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <string>
#include <vector>

namespace qolmfuzz {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

std::vector<std::string> modelTokens(std::string line, size_t capacity) {
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.resize(comment);
    std::vector<std::string> tokens;
    size_t p = 0;
    const size_t n = line.size();
    while (p < n) {
        while (p < n && isSeparator(line[p])) ++p;
        if (p >= n || tokens.size() >= capacity) break;
        size_t start = p;
        if (line[p] == '"') {
            start = ++p;
            while (p < n && line[p] != '"') ++p;
        } else {
            while (p < n && !isSeparator(line[p])) ++p;
        }
        tokens.push_back(line.substr(start, p - start));
        if (p < n) ++p;
    }
    return tokens;
}

bool sameIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

double modelNumber(const std::string& text) {
    if (sameIgnoringCase(text, "-inf")) return -INFINITY;
    if (sameIgnoringCase(text, "inf")) return INFINITY;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return strtod_l(text.c_str(), nullptr, c);
}

int32_t modelInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

bool sameDouble(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

std::string flipCase(const char* text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

}  // namespace

int fuzzTokenReader(const uint8_t* data, size_t size) {
    InputBytes input(data, size);
    const uint8_t sizes = input.byte();
    // Mostly the default sizes; otherwise small and odd ones.
    int32_t lineSize = XP::TokenReader::kDefaultLineSize;
    int32_t capacity = XP::TokenReader::kDefaultTokenCapacity;
    const bool defaults = (sizes & 3) == 0;
    if (!defaults) {
        lineSize = static_cast<int32_t>(input.u16() % 520) - 4;  // a few below zero
        capacity = static_cast<int32_t>(input.byte() % 48) - 2;
    }
    const int32_t wildCount = static_cast<int32_t>(input.u16() | input.u16() << 16);
    const std::string text(reinterpret_cast<const char*>(input.rest()), input.restSize());

    MemoryReader source(text, 1 + static_cast<int32_t>(sizes >> 2) * 37);
    std::unique_ptr<XP::TokenReader> owned;
    if (defaults && (sizes & 4)) {
        owned = std::make_unique<XP::TokenReader>(&source);
    } else {
        owned = std::make_unique<XP::TokenReader>(lineSize, capacity);
        owned->attach(&source);
    }
    XP::TokenReader& tokens = *owned;

    // The same lines, read independently.
    MemoryReader lineSource(text);
    XP::LineReader lines(&lineSource);
    const size_t lineBytes = lineSize > 0 ? static_cast<size_t>(lineSize) : 1;
    std::vector<char> line(lineBytes, 0);

    size_t lineCount = 0;
    while (tokens.readLine()) {
        FUZZ_CHECK(++lineCount <= text.size() + 1);
        FUZZ_CHECK(lines.readLine(line.data(), lineSize));
        const std::vector<std::string> expected =
            modelTokens(std::string(line.data()), capacity > 0 ? static_cast<size_t>(capacity) : 0);
        FUZZ_CHECK(tokens.cursor == 0);
        FUZZ_CHECK(tokens.tokenCount == static_cast<int32_t>(expected.size()));
        for (int32_t i = 0; i < tokens.tokenCount; ++i) {
            const std::string& want = expected[static_cast<size_t>(i)];
            FUZZ_CHECK(want == tokens.token(i));
            FUZZ_CHECK(tokens.tokenEquals(i, want.c_str()));
            FUZZ_CHECK(tokens.tokenEquals(i, flipCase(want.c_str()).c_str()));
            FUZZ_CHECK(!tokens.tokenEquals(i, nullptr));
            FUZZ_CHECK(sameDouble(tokens.number(i), modelNumber(want)));
            FUZZ_CHECK(tokens.integer(i) == modelInteger(want));
        }
        FUZZ_CHECK(std::strcmp(tokens.token(-1), "") == 0);
        FUZZ_CHECK(std::strcmp(tokens.token(tokens.tokenCount), "") == 0);
        FUZZ_CHECK(tokens.number(tokens.tokenCount) == 0.0);
        FUZZ_CHECK(tokens.integer(-1) == 0);

        if (tokens.tokenCount > 0) {
            const std::string keyword = tokens.token(0);
            FUZZ_CHECK(!tokens.takeKeyword(keyword.c_str(), tokens.tokenCount));
            FUZZ_CHECK(tokens.cursor == 0);
            FUZZ_CHECK(tokens.takeKeyword(flipCase(keyword.c_str()).c_str(), tokens.tokenCount - 1));
            FUZZ_CHECK(tokens.cursor == 1);
        } else {
            FUZZ_CHECK(!tokens.takeKeyword("", 0));
        }

        // Public fields set to nonsense must not lead the accessors astray.
        const int32_t realCount = tokens.tokenCount;
        const int32_t negated = wildCount == INT32_MIN ? INT32_MAX : -wildCount;
        tokens.tokenCount = wildCount;
        tokens.cursor = wildCount / 2;
        for (int32_t i : {0, 1, realCount, capacity, capacity + 1, wildCount ^ 1, wildCount / 2, negated}) {
            const char* t = tokens.token(i);
            FUZZ_CHECK(t != nullptr);
            (void)std::strlen(t);
            (void)tokens.number(i);
            (void)tokens.integer(i);
            (void)tokens.tokenEquals(i, "x");
        }
        (void)tokens.takeKeyword("x", 0);
        (void)tokens.takeKeyword("x", negated);
    }
    // The token reader ends exactly where its lines end.
    FUZZ_CHECK(!lines.readLine(line.data(), lineSize));
    FUZZ_CHECK(!tokens.readLine());
    FUZZ_CHECK(tokens.tokenCount == 0);
    return 0;
}

}  // namespace qolmfuzz
