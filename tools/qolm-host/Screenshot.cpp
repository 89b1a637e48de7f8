#include "Commands.h"

#include <cstdio>

namespace qhost {

int runScreenshot(const Args&) {
    std::fprintf(stderr, "qolm-host screenshot: not available yet\n");
    return 1;
}

}  // namespace qhost
