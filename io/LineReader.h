#pragma once

#include "io/InputReader.h"

#include <cstdint>

namespace XP {

// Cuts a byte source into lines. CR, LF and any run of them end a line;
// blank lines are not delivered; over-long lines come in pieces.
class LineReader {
public:
    static constexpr int32_t kChunkSize = 2048;

    LineReader();
    explicit LineReader(InputReader* reader);
    virtual ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Detaches and marks the end of input (buffer kept).
    void setUp();
    // Attaches an open reader and reads its first chunk.
    void attach(InputReader* reader);
    // Writes at most size - 2 characters and a zero into buffer; false once
    // the input had ended before the call.
    bool readLine(char* buffer, int32_t size);

private:
    bool refill();

    InputReader* reader = nullptr;
    char* chunk = nullptr;
    char* chunkEnd = nullptr;  // capacity end
    char* cursor = nullptr;
    char* dataEnd = nullptr;
    bool endOfInput = true;
};

}  // namespace XP
