#include "Commands.h"

#include <cstdio>

namespace qhost {

int runRender(const Args&) {
    std::fprintf(stderr, "qolm-host render: not available yet\n");
    return 1;
}

}  // namespace qhost
