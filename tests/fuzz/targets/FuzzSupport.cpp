#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qolmfuzz {

const char* currentInput = nullptr;

void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "fuzz check failed: %s (%s:%d)%s%s\n", what, file, line,
                 currentInput ? " on input " : "", currentInput ? currentInput : "");
    std::fflush(stderr);
    std::abort();
}

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterGetSampleRate:
            return 44100;
        default:
            return 0;
    }
}

bool hasNoZeroByte(const uint8_t* data, size_t size) { return size == 0 || !std::memchr(data, 0, size); }

}  // namespace qolmfuzz
