#include "io/LineReader.h"

#include <cstring>
#include <new>

namespace XP {

namespace {
constexpr char kCarriageReturn = 13;
constexpr char kLineFeed = 10;
}  // namespace

LineReader::LineReader() { setUp(); }

LineReader::LineReader(InputReader* source) : LineReader() { attach(source); }

LineReader::~LineReader() { delete[] chunk; }

void LineReader::setUp() {
    if (!chunk || chunkEnd - chunk != kChunkSize) {
        delete[] chunk;
        chunk = new (std::nothrow) char[kChunkSize];
        chunkEnd = chunk ? chunk + kChunkSize : nullptr;
    }
    reader = nullptr;
    cursor = dataEnd = chunk;
    endOfInput = true;
}

void LineReader::attach(InputReader* source) {
    reader = source;
    cursor = dataEnd = chunk;
    endOfInput = !refill();
}

bool LineReader::refill() {
    if (!chunk || !reader || !reader->isOpen()) return false;
    int32_t got = reader->read(chunk, kChunkSize);
    // A reader that claims more than it was asked for must not move the
    // valid end past the buffer.
    if (got > kChunkSize) got = kChunkSize;
    if (got <= 0) return false;
    cursor = chunk;
    dataEnd = chunk + got;
    return true;
}

bool LineReader::readLine(char* buffer, int32_t size) {
    if (endOfInput) return false;
    // Fewer than one character per line would never move through the input.
    if (!buffer || size < 3) {
        if (buffer && size > 0) std::memset(buffer, 0, static_cast<size_t>(size));
        return false;
    }
    std::memset(buffer, 0, static_cast<size_t>(size));
    const int32_t limit = size - 2;
    int32_t length = 0;

    // Copy phase: up to a line break or until the line is full.
    for (;;) {
        if (cursor >= dataEnd && !refill()) {
            endOfInput = true;
            return true;
        }
        const char c = *cursor;
        if (c == kCarriageReturn || c == kLineFeed || length == limit) break;
        buffer[length++] = c;
        ++cursor;
    }

    // Separator phase: a run of CR and LF ends the line, so blank lines vanish.
    for (;;) {
        if (cursor >= dataEnd && !refill()) {
            endOfInput = true;
            return true;
        }
        const char c = *cursor;
        if (c != kCarriageReturn && c != kLineFeed) return true;
        ++cursor;
    }
}

}  // namespace XP
