// A file under the test's temporary folder, removed when the test ends.
#pragma once

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

class TempFile {
public:
    explicit TempFile(const std::string& stem)
        : filePath("/tmp/qolm-io-" + std::to_string(getpid()) + "-" + stem) {
        std::remove(filePath.c_str());
    }
    ~TempFile() { std::remove(filePath.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return filePath.c_str(); }

    void write(const std::string& bytes) const {
        std::ofstream out(filePath, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    std::string read() const {
        std::ifstream in(filePath, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

private:
    std::string filePath;
};
