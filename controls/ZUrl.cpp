#include "controls/ZUrl.h"

#include "controls/ControlFactories.h"
#include "skin/SkinArgs.h"
#include "skin/ZImageResource.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace VRAX {

namespace {

// Runs in the short-lived middle process of the double fork: only starts the
// opener and leaves, so the opener is handed to init, which reaps it. The
// host's own SIGCHLD handling is never touched.
[[noreturn]] void spawnOpenerAndExit(char* const* argv, const posix_spawn_file_actions_t* actions,
                                     const posix_spawnattr_t* attributes) {
    pid_t opener = 0;
    const int result = posix_spawnp(&opener, argv[0], actions, attributes, argv, environ);
    _exit(result == 0 ? 0 : 127);
}

}  // namespace

bool openLink(const char* address) {
    if (!address) return false;
    const size_t length = strnlen(address, ZUrl::kMeasureLimit);
    if (length < static_cast<size_t>(ZUrl::kMinLength)) return false;
    char cut[ZUrl::kMaxAddress + 1];
    const size_t kept = length < static_cast<size_t>(ZUrl::kMaxAddress) ? length : ZUrl::kMaxAddress;
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

// ---------------------------------------------------------------------------
// ZUrl

ZUrl::ZUrl(const ControlPlacement& placement, const char* text) : ZEditorControl(placement) {
    const char* source = text ? text : "";
    const size_t length = std::strlen(source);
    address = new (std::nothrow) char[length + 1];
    if (address) std::memcpy(address, source, length + 1);
}

ZUrl::~ZUrl() { delete[] address; }

int32_t ZUrl::cursorAt(int32_t, int32_t) { return kCursorHand; }

bool ZUrl::leftUp(bool, bool, int32_t, int32_t) {
    openLink(address);
    return false;
}

// ---------------------------------------------------------------------------
// ZImgUrl

ZImgUrl::ZImgUrl(const ControlPlacement& placement, ZImageResource* image, const char* text)
    : ZUrl(placement, text), image(image) {}

void ZImgUrl::draw(ZCanvas* canvas) {
    if (canvas && image) image->drawFrame(canvas, 0, 0, 0);
}

// ---------------------------------------------------------------------------
// Factories

ZEditorControl* makeZUrl(const ControlPlacement& placement, SkinArgs& args) {
    const char* text = args.text();
    if (!text) return nullptr;
    ZUrl* url = new (std::nothrow) ZUrl(placement, text);
    if (url && !url->address) {
        delete url;
        return nullptr;
    }
    return url;
}

ZEditorControl* makeZImgUrl(const ControlPlacement& placement, SkinArgs& args) {
    ZImageResource* image = args.image();
    const char* text = args.text();
    if (!image || !text) return nullptr;
    ZImgUrl* url = new (std::nothrow) ZImgUrl(placement, image, text);
    if (url && !url->address) {
        delete url;
        return nullptr;
    }
    return url;
}

}  // namespace VRAX
