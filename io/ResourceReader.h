#pragma once

#include "io/EmbeddedFile.h"
#include "io/InputReader.h"

namespace XP {

// Bytes of a file embedded in the library, found by name ignoring case.
class ResourceReader : public InputReader {
public:
    ResourceReader() = default;
    explicit ResourceReader(const char* name) { open(name); }
    ~ResourceReader() override = default;

    bool open(const char* name);
    bool isOpen() const override { return begin != nullptr; }
    int32_t read(void* destination, int32_t n) override;

private:
    EmbeddedData holder;
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    const unsigned char* current = nullptr;
};

}  // namespace XP
