// What this process holds, read from /proc: open descriptors, and those of
// them that are sockets (an X connection is one). Shared by the real-time
// benchmark and tests.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace rtwatch {

// Open descriptors; only sockets when `socketsOnly`.
inline int descriptorCount(bool socketsOnly) {
    int n = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return -1;
    const int own = dirfd(dir);
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.' || std::atoi(entry->d_name) == own) continue;
        if (!socketsOnly) {
            ++n;
            continue;
        }
        char link[64] = {};
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        if (readlink(path.c_str(), link, sizeof(link) - 1) > 0 && std::strncmp(link, "socket:", 7) == 0) ++n;
    }
    closedir(dir);
    return n;
}

inline int socketCount() { return descriptorCount(true); }

}  // namespace rtwatch
