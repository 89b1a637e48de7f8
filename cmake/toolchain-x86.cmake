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
