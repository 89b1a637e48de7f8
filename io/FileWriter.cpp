#include "io/FileWriter.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace XP {

FileWriter::~FileWriter() { close(); }

bool FileWriter::open(const char* path) {
    close();
    stream.clear();
    if (!path) return false;
    stream.open(path, std::ios::out | std::ios::binary | std::ios::trunc);
    return stream.is_open();
}

void FileWriter::close() {
    if (stream.is_open()) {
        stream.flush();
        stream.close();
    }
    lineCount = 0;
    indentation = 0;
}

bool FileWriter::isOpen() const { return stream.is_open(); }

bool FileWriter::writeLine(const char* text) {
    if (!beginLine(text)) return false;
    return endLine();
}

bool FileWriter::writeLineWithSource(const char* text, const char* sourceFile, int32_t lineNumber) {
    if (!beginLine(text)) return false;
    // snprintf cuts the insert to what the work buffer holds.
    std::snprintf(work, sizeof(work), " \"%s, line %" PRId32 "\"", sourceFile ? sourceFile : "", lineNumber);
    stream.write(work, static_cast<std::streamsize>(std::strlen(work)));
    return endLine();
}

void FileWriter::indent(int32_t n) { indentation = clampIndent(static_cast<int64_t>(indentation) + n); }

void FileWriter::outdent(int32_t n) { indentation = clampIndent(static_cast<int64_t>(indentation) - n); }

int32_t FileWriter::clampIndent(int64_t value) {
    if (value < 0) return 0;
    if (value > kMaxIndent) return kMaxIndent;
    return static_cast<int32_t>(value);
}

bool FileWriter::beginLine(const char* text) {
    if (!stream.is_open() || lineCount >= maxLines) return false;
    std::memset(work, ' ', static_cast<size_t>(indentation));
    stream.write(work, indentation);
    if (text) stream.write(text, static_cast<std::streamsize>(std::strlen(text)));
    return true;
}

bool FileWriter::endLine() {
    stream.write("\r\n", 2);
    ++lineCount;
    stream.flush();
    // A full disk must not look like a written line.
    return static_cast<bool>(stream);
}

}  // namespace XP
