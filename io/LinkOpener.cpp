#include "io/LinkOpener.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace XP {

namespace {

// Runs in the short-lived middle process of the double fork: only starts the
// opener and leaves, so the opener is handed to init, which reaps it. The
// host's own SIGCHLD handling is never touched.
// Whether PATH names an executable `name`. posix_spawnp says so itself where
// it can, but under an emulator without vfork (qemu-user) a failed exec in
// the spawned child goes unreported: the search is done here first. Only
// async-signal-safe calls and a stack buffer: this runs in a forked child.
bool onPath(const char* name) {
    const char* path = getenv("PATH");
    if (!path || !*path) path = "/usr/bin:/bin";
    const size_t nameLength = strlen(name);
    char candidate[4096];
    for (const char* segment = path;; ) {
        const char* end = segment;
        while (*end && *end != ':') ++end;
        const size_t dirLength = static_cast<size_t>(end - segment);
        if (dirLength + 1 + nameLength < sizeof candidate) {
            size_t n = 0;
            if (dirLength == 0) {
                candidate[n++] = '.';
            } else {
                std::memcpy(candidate, segment, dirLength);
                n = dirLength;
            }
            candidate[n++] = '/';
            std::memcpy(candidate + n, name, nameLength + 1);
            if (access(candidate, X_OK) == 0) return true;
        }
        if (!*end) return false;
        segment = end + 1;
    }
}

[[noreturn]] void spawnOpenerAndExit(char* const* argv, const posix_spawn_file_actions_t* actions,
                                     const posix_spawnattr_t* attributes) {
    if (!onPath(argv[0])) _exit(127);
    pid_t opener = 0;
    const int result = posix_spawnp(&opener, argv[0], actions, attributes, argv, environ);
    _exit(result == 0 ? 0 : 127);
}

}  // namespace

bool openLink(const char* address) {
    if (!address) return false;
    const size_t length = strnlen(address, kLinkMeasureLimit);
    if (length < static_cast<size_t>(kLinkMinLength)) return false;
    char cut[kLinkMaxAddress + 1];
    const size_t kept = length < static_cast<size_t>(kLinkMaxAddress) ? length : kLinkMaxAddress;
    std::memcpy(cut, address, kept);
    cut[kept] = 0;

    char program[] = "xdg-open";
    char* const argv[] = {program, cut, nullptr};

    // Everything that may allocate is prepared before the fork.
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0) return false;
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) {
        posix_spawnattr_destroy(&attributes);
        return false;
    }
    // The opener starts clean: no signal blocked or ignored by the host, a
    // session of its own (so the host's terminal does not take the browser
    // down with it) and none of the host's files beyond the standard three.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
#ifdef POSIX_SPAWN_SETSID
    flags |= POSIX_SPAWN_SETSID;
#endif
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, flags);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

    bool started = false;
    const pid_t middle = fork();
    if (middle == 0) spawnOpenerAndExit(argv, &actions, &attributes);
    if (middle > 0) {
        // The middle process leaves as soon as the opener runs; waiting for it
        // takes milliseconds and leaves no zombie behind.
        int status = 0;
        pid_t waited;
        do {
            waited = waitpid(middle, &status, 0);
        } while (waited < 0 && errno == EINTR);
        // A host that ignores SIGCHLD has the middle process reaped for it.
        started = waited == middle ? (WIFEXITED(status) && WEXITSTATUS(status) == 0) : (errno == ECHILD);
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return started;
}

}  // namespace XP
