// What the tests need to know of how they run: under qemu-user (the 32-bit
// build where the kernel refuses i386 programs, or forced), and whether the
// resident size then says anything about our own memory.
#pragma once

#include <cstdlib>

namespace qtest {

// scripts/run-x86 says so to the programs it starts under qemu-user.
inline bool emulated() {
    const char* flag = std::getenv("QOLM_X86_EMULATED");
    return flag && *flag && *flag != '0';
}

// Sanitizers keep freed memory aside and map shadow memory (their leak
// checker tells instead), and under qemu-user the process's memory is the
// emulator's, its code cache included: the resident size then tells nothing
// of our leaks.
inline bool residentSizeMeaningful() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#else
    return !emulated();
#endif
}

}  // namespace qtest
