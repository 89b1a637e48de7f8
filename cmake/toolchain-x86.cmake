# 32-bit x86 with SSE2 arithmetic, so doubles come out exactly as on x86_64.
# The flags live in the compiler command itself so that a -DCMAKE_CXX_FLAGS
# given on the command line cannot drop them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc -m32 -msse2 -mfpmath=sse)
set(CMAKE_CXX_COMPILER g++ -m32 -msse2 -mfpmath=sse)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
set(QOLM_PLATFORM_BITS 32)

# Tests and build steps start 32-bit programs through the one script that
# decides how they run on this machine: natively, or under qemu-user where
# the kernel refuses i386 programs.
get_filename_component(QOLM_X86_RUNNER_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/../scripts/run-x86" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${QOLM_X86_RUNNER_SCRIPT}")
