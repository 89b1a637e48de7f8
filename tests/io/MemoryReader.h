// Byte sources for the reader tests: exact bytes from memory, delivered in
// reads of a chosen size, or from a reader that lies about what it read.
#pragma once

#include "io/InputReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

class MemoryReader : public XP::InputReader {
public:
    explicit MemoryReader(std::string bytes, int32_t bytesPerRead = INT32_MAX, bool open = true)
        : data(std::move(bytes)), perRead(bytesPerRead), opened(open) {}

    bool isOpen() const override { return opened; }

    int32_t read(void* destination, int32_t n) override {
        ++reads;
        if (!opened || n <= 0) return 0;
        const size_t left = data.size() - position;
        const size_t count = std::min({static_cast<size_t>(n), static_cast<size_t>(perRead), left});
        std::memcpy(destination, data.data() + position, count);
        position += count;
        return static_cast<int32_t>(count);
    }

    int reads = 0;

private:
    std::string data;
    size_t position = 0;
    int32_t perRead;
    bool opened;
};

// Fills what it was asked for with 'x' but claims a fixed count, a few times.
class LyingReader : public XP::InputReader {
public:
    explicit LyingReader(int32_t claimed, int times) : claim(claimed), left(times) {}
    bool isOpen() const override { return true; }
    int32_t read(void* destination, int32_t n) override {
        if (left-- <= 0) return 0;
        std::memset(destination, 'x', static_cast<size_t>(n));
        return claim;
    }

private:
    int32_t claim;
    int left;
};
