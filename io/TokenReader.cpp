#include "io/TokenReader.h"

#include "io/AsciiText.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

namespace XP {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

}  // namespace

TokenReader::TokenReader() : TokenReader(kDefaultLineSize, kDefaultTokenCapacity) {}

TokenReader::TokenReader(InputReader* reader) : TokenReader() { lines.attach(reader); }

TokenReader::TokenReader(int32_t lineBytes, int32_t capacity) {
    if (lineBytes > 0) {
        line = new (std::nothrow) char[lineBytes]();
        if (line) lineSize = lineBytes;
    }
    if (capacity > 0) {
        tokens = new (std::nothrow) char*[capacity]();
        if (tokens) tokenCapacity = capacity;
    }
}

TokenReader::~TokenReader() {
    delete[] line;
    delete[] tokens;
}

bool TokenReader::readLine() {
    if (line) std::memset(line, 0, static_cast<size_t>(lineSize));
    for (int32_t i = 0; i < tokenCapacity; ++i) tokens[i] = nullptr;
    tokenCount = 0;
    cursor = 0;
    if (!line) return false;
    const bool delivered = lines.readLine(line, lineSize);
    if (delivered) tokenize();
    cursor = 0;
    return delivered;
}

void TokenReader::tokenize() {
    // The line reader leaves at least one zero byte at the end of the buffer.
    if (char* comment = std::strchr(line, '#')) *comment = 0;
    char* p = line;
    while (*p) {
        while (isSeparator(*p)) ++p;
        if (!*p || tokenCount >= tokenCapacity) return;
        if (*p == '"') {
            tokens[tokenCount++] = ++p;
            while (*p && *p != '"') ++p;
            // Whatever follows the closing quote is scanned as a new token.
            if (*p) *p++ = 0;
        } else {
            tokens[tokenCount++] = p;
            while (*p && !isSeparator(*p)) ++p;
            if (*p) *p++ = 0;
        }
    }
}

bool TokenReader::tokenEquals(int32_t index, const char* name) const {
    if (!hasToken(index) || !name) return false;
    return equalsIgnoringCase(tokens[index], name);
}

bool TokenReader::takeKeyword(const char* name, int32_t k) {
    if (!tokenEquals(cursor, name) || tokenCount - cursor <= k) return false;
    ++cursor;
    return true;
}

double TokenReader::number(int32_t index) const { return parseNumber(token(index)); }

int32_t TokenReader::integer(int32_t index) const {
    const long value = std::strtol(token(index), nullptr, 10);
    // long is 64-bit on x86_64: saturate as the 32-bit build's strtol does.
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

const char* TokenReader::token(int32_t index) const { return hasToken(index) ? tokens[index] : ""; }

// tokenCount is a public field; never trust it beyond the table.
bool TokenReader::hasToken(int32_t index) const {
    return index >= 0 && index < tokenCount && index < tokenCapacity && tokens[index];
}

}  // namespace XP
