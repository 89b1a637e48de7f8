// The libFuzzer entry of one target; QOLM_FUZZ_ENTRY names its function.
#include "targets/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return qolmfuzz::QOLM_FUZZ_ENTRY(data, size);
}
