#pragma once

#include <cstdint>

namespace XP {

// A source of bytes.
class InputReader {
public:
    virtual ~InputReader() = default;
    virtual bool isOpen() const = 0;
    // Copies up to n bytes, advances; 0 at the end or when not open.
    virtual int32_t read(void* destination, int32_t n) = 0;
};

}  // namespace XP
