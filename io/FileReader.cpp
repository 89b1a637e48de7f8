#include "io/FileReader.h"

#include <cstdint>
#include <filesystem>
#include <new>
#include <system_error>

namespace XP {

FileReader::~FileReader() { close(); }

bool FileReader::open(const char* path) {
    close();
    stream.clear();
    if (!path) return false;
    // A directory opens as a stream on Linux but has no bytes to give, and its
    // end position is whatever the file system makes of it.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    stream.open(path, std::ios::in | std::ios::binary | std::ios::ate);
    if (!stream.is_open()) return false;
    const std::streamoff end = stream.tellg();
    // The size is 32-bit; a larger file cannot be described by it.
    if (end < 0 || end > INT32_MAX) {
        close();
        return false;
    }
    stream.seekg(0, std::ios::beg);
    if (!stream) {
        close();
        return false;
    }
    size = static_cast<int32_t>(end);
    return true;
}

void FileReader::close() {
    // A failed close only leaves the stream marked as failed.
    if (stream.is_open()) stream.close();
    size = 0;
}

bool FileReader::isOpen() const { return stream.is_open(); }

int32_t FileReader::read(void* destination, int32_t n) {
    if (!stream.is_open() || !destination || n <= 0) return 0;
    stream.read(static_cast<char*>(destination), n);
    return static_cast<int32_t>(stream.gcount());
}

unsigned char* FileReader::readWholeFile(const char* path, int32_t* size) {
    if (size) *size = 0;
    FileReader reader;
    if (!reader.open(path) || reader.size == 0) return nullptr;
    auto* buffer = new (std::nothrow) unsigned char[reader.size];
    if (!buffer) return nullptr;
    if (reader.read(buffer, reader.size) != reader.size) {
        delete[] buffer;
        return nullptr;
    }
    if (size) *size = reader.size;
    return buffer;
}

}  // namespace XP
