// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer keeps the input that caused it), a host callback that answers
// like a quiet host, and a way to take settings from the front of an input.
#pragma once

#include "host/VstTypes.h"

#include <cstddef>
#include <cstdint>

namespace qolmfuzz {

// Name of the input being run, printed with a failed check (set by the
// regression test; libFuzzer prints its own).
extern const char* currentInput;

[[noreturn]] void fail(const char* what, const char* file, int line);

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::qolmfuzz::fail(#condition, __FILE__, __LINE__))

// Version 2400, 44.1 kHz, nothing else: every other request answers 0 and
// writes nothing.
VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

// Takes settings bytes from the front of an input; past its end every
// byte reads as 0. What is left is the payload.
class InputBytes {
public:
    InputBytes(const uint8_t* data, size_t size) : data(data), size(size) {}
    uint8_t byte() { return position < size ? data[position++] : 0; }
    uint32_t u16() { return byte() | static_cast<uint32_t>(byte()) << 8; }
    const uint8_t* rest() const { return data + (position < size ? position : size); }
    size_t restSize() const { return position < size ? size - position : 0; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

// True when the bytes hold no zero byte (text the readers see whole).
bool hasNoZeroByte(const uint8_t* data, size_t size);

}  // namespace qolmfuzz
