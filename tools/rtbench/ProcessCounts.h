// What this process holds, read from /proc: open descriptors, those of
// them that are sockets (an X connection is one), and threads. Shared by the real-time
// benchmark and tests.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
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

// Calls visit(folder, name) for each thread of this process: its folder
// under /proc/self/task and its name. False when /proc cannot be read.
template <typename Visit>
bool forEachThread(Visit visit) {
    DIR* dir = opendir("/proc/self/task");
    if (!dir) return false;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string folder = std::string("/proc/self/task/") + entry->d_name;
        char name[32] = {};
        if (FILE* f = std::fopen((folder + "/comm").c_str(), "r")) {
            if (std::fgets(name, sizeof(name), f)) name[std::strcspn(name, "\n")] = 0;
            std::fclose(f);
        }
        visit(folder, static_cast<const char*>(name));
    }
    closedir(dir);
    return true;
}

// Threads of this process; only those of that name when one is given.
inline int threadCount(const char* name = nullptr) {
    int n = 0;
    const bool read = forEachThread([&](const std::string&, const char* threadName) {
        if (!name || std::strcmp(threadName, name) == 0) ++n;
    });
    return read ? n : -1;
}

}  // namespace rtwatch
