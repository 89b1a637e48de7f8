// The fuzz entry functions. Each runs one input through the code under test
// and checks what must hold for any input; a failed check aborts. The
// libFuzzer executables call one each, and the regression test replays the
// seed corpus and every kept crash through all of them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qolmfuzz {

// Settings bytes (line buffer size, bytes per read, reader kind), then text.
int fuzzLineReader(const uint8_t* data, size_t size);
// Settings bytes (line buffer size, token table size), then text.
int fuzzTokenReader(const uint8_t* data, size_t size);
// A preset file, loaded through the effect's own loader.
int fuzzPreset(const uint8_t* data, size_t size);
// One settings byte (program, bank or program chunk, declared size), then
// the chunk handed to setChunk.
int fuzzChunk(const uint8_t* data, size_t size);
// A skin script run through the real builder, then built skin exercised.
int fuzzSkin(const uint8_t* data, size_t size);

struct FuzzTarget {
    const char* name;  // folder name under corpus/ and regressions/
    int (*run)(const uint8_t* data, size_t size);
};

inline constexpr FuzzTarget kFuzzTargets[] = {
    {"line_reader", fuzzLineReader}, {"token_reader", fuzzTokenReader}, {"preset", fuzzPreset},
    {"chunk", fuzzChunk},           {"skin", fuzzSkin},
};

}  // namespace qolmfuzz
