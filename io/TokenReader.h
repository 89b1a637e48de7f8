#pragma once

#include "io/LineReader.h"

#include <cstdint>

namespace XP {

// Lines cut into tokens: "#" starts a comment (also inside quotes), spaces
// and tabs separate, double quotes group. Shared by the preset file and the
// skin script.
class TokenReader {
public:
    static constexpr int32_t kDefaultLineSize = 256;
    static constexpr int32_t kDefaultTokenCapacity = 32;

    TokenReader();
    explicit TokenReader(InputReader* reader);
    TokenReader(int32_t lineSize, int32_t tokenCapacity);
    virtual ~TokenReader();
    TokenReader(const TokenReader&) = delete;
    TokenReader& operator=(const TokenReader&) = delete;

    void attach(InputReader* reader) { lines.attach(reader); }
    bool readLine();

    bool tokenEquals(int32_t index, const char* name) const;
    // Keyword at cursor followed by at least k more tokens: cursor moves past it.
    bool takeKeyword(const char* name, int32_t k);
    double number(int32_t index) const;
    int32_t integer(int32_t index) const;
    // The token text, or an empty text outside 0..tokenCount-1.
    const char* token(int32_t index) const;

    int32_t tokenCount = 0;
    int32_t cursor = 0;

private:
    void tokenize();
    bool hasToken(int32_t index) const;

    LineReader lines;
    char* line = nullptr;
    int32_t lineSize = 0;
    char** tokens = nullptr;
    int32_t tokenCapacity = 0;
};

}  // namespace XP
