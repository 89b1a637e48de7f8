#pragma once

#include <cstdint>
#include <fstream>

namespace XP {

// Line-oriented text output with indentation; lines end in CR LF.
class FileWriter {
public:
    static constexpr int32_t kMaxLines = 1048576;
    static constexpr int32_t kMaxIndent = 1023;

    FileWriter() = default;
    virtual ~FileWriter();

    bool open(const char* path);
    void close();
    bool isOpen() const;
    bool writeLine(const char* text);
    bool writeLineWithSource(const char* text, const char* sourceFile, int32_t lineNumber);
    void indent(int32_t n);
    void outdent(int32_t n);
    int32_t getLineCount() const { return lineCount; }
    int32_t getIndent() const { return indentation; }

private:
    static int32_t clampIndent(int64_t value);
    bool beginLine(const char* text);
    bool endLine();

    std::ofstream stream;
    int32_t lineCount = 0;
    int32_t maxLines = kMaxLines;
    char work[1024] = {};
    int32_t indentation = 0;
};

}  // namespace XP
