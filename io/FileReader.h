#pragma once

#include "io/InputReader.h"

#include <fstream>

namespace XP {

// Bytes of a file in the file system.
class FileReader : public InputReader {
public:
    FileReader() = default;
    explicit FileReader(const char* path) { open(path); }
    ~FileReader() override;

    bool open(const char* path);
    void close();
    bool isOpen() const override;
    int32_t read(void* destination, int32_t n) override;
    int32_t getSize() const { return size; }

    // Whole file in a new[] buffer the caller deletes; null (size 0) when the
    // file cannot be opened, is empty or comes up short.
    static unsigned char* readWholeFile(const char* path, int32_t* size = nullptr);

private:
    std::ifstream stream;
    int32_t size = 0;
};

}  // namespace XP
