// Watches the system calls of one thread: the thread puts itself under a
// seccomp filter that hands every system call to a supervising thread,
// except its own paced sleeps (clock_nanosleep on the monotonic clock to an
// absolute time, a form nothing else here uses). The supervisor counts each
// call by number and lets it go on, so the watched code behaves as it would
// unwatched. Shared by the real-time benchmark and the real-time tests.
#pragma once

#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace rtwatch {

#if defined(__x86_64__)
constexpr uint32_t kArch = AUDIT_ARCH_X86_64;
#elif defined(__i386__)
constexpr uint32_t kArch = AUDIT_ARCH_I386;
#endif

#if defined(SYS_clock_nanosleep_time64)
constexpr long kSleepCall = SYS_clock_nanosleep_time64;
#else
constexpr long kSleepCall = SYS_clock_nanosleep;
#endif

// The 64-bit time the sleep call takes in both builds.
struct Time64 {
    int64_t seconds;
    int64_t nanoseconds;
};

// Sleeps until `until` on the monotonic clock: the one call the filter lets
// through.
inline void sleepUntil(const Time64& until) {
#if defined(SYS_clock_nanosleep_time64)
    syscall(kSleepCall, CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr);
#else
    timespec t{static_cast<time_t>(until.seconds), static_cast<long>(until.nanoseconds)};
    syscall(kSleepCall, CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr);
#endif
}

inline Time64 nowMonotonic() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return {static_cast<int64_t>(t.tv_sec), static_cast<int64_t>(t.tv_nsec)};
}

inline Time64 later(Time64 t, int64_t nanoseconds) {
    t.nanoseconds += nanoseconds;
    t.seconds += t.nanoseconds / 1000000000;
    t.nanoseconds %= 1000000000;
    return t;
}

inline std::string callName(long nr) {
    switch (nr) {
#define QOLM_CALL(name) \
    case SYS_##name:    \
        return #name;
#ifdef SYS_poll
        QOLM_CALL(poll)
#endif
#ifdef SYS_ppoll
        QOLM_CALL(ppoll)
#endif
#ifdef SYS_select
        QOLM_CALL(select)
#endif
#ifdef SYS__newselect
        QOLM_CALL(_newselect)
#endif
        QOLM_CALL(read)
        QOLM_CALL(write)
        QOLM_CALL(writev)
        QOLM_CALL(readv)
#ifdef SYS_recvmsg
        QOLM_CALL(recvmsg)
        QOLM_CALL(sendmsg)
        QOLM_CALL(recvfrom)
#endif
#ifdef SYS_socketcall
        QOLM_CALL(socketcall)
#endif
        QOLM_CALL(futex)
#ifdef SYS_futex_time64
        QOLM_CALL(futex_time64)
#endif
        QOLM_CALL(clock_gettime)
#ifdef SYS_clock_gettime64
        QOLM_CALL(clock_gettime64)
#endif
        QOLM_CALL(clock_nanosleep)
#ifdef SYS_clock_nanosleep_time64
        QOLM_CALL(clock_nanosleep_time64)
#endif
        QOLM_CALL(nanosleep)
        QOLM_CALL(gettimeofday)
#ifdef SYS_mmap
        QOLM_CALL(mmap)
#endif
#ifdef SYS_mmap2
        QOLM_CALL(mmap2)
#endif
        QOLM_CALL(munmap)
        QOLM_CALL(mprotect)
        QOLM_CALL(mremap)
        QOLM_CALL(madvise)
        QOLM_CALL(brk)
        QOLM_CALL(ioctl)
        QOLM_CALL(openat)
        QOLM_CALL(close)
        QOLM_CALL(getpid)
        QOLM_CALL(gettid)
        QOLM_CALL(sched_yield)
        QOLM_CALL(rt_sigprocmask)
        QOLM_CALL(tgkill)
#undef QOLM_CALL
        default:
            return "system call " + std::to_string(nr);
    }
}

// Counts the system calls of the threads that call watchThisThread, from the
// moment they do until they call stopCounting.
class SyscallWatch {
public:
    SyscallWatch() = default;
    ~SyscallWatch() { finish(); }
    SyscallWatch(const SyscallWatch&) = delete;
    SyscallWatch& operator=(const SyscallWatch&) = delete;

    // On the thread to watch: installs the filter and starts the supervisor.
    // False (with the reason in error()) where seccomp cannot be used.
    bool watchThisThread() {
        // The supervisor starts first: a thread started under the filter
        // would inherit it and wait on itself.
        counting = true;
        supervisor = std::thread([this] { serve(); });
        if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return fail("PR_SET_NO_NEW_PRIVS");
        const uint32_t argLow0 = offsetof(seccomp_data, args);
        const uint32_t argLow1 = offsetof(seccomp_data, args) + 8;
        sock_filter program[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kArch, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(kSleepCall), 0, 5),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argLow0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, CLOCK_MONOTONIC, 0, 3),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argLow1),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, TIMER_ABSTIME, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        };
        sock_fprog fprog{static_cast<unsigned short>(sizeof(program) / sizeof(program[0])), program};
        const long fd = syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &fprog);
        if (fd < 0) return fail("seccomp");
        listener = static_cast<int>(fd);
        return true;
    }

    // On the watched thread, before anything that is not its own work (its
    // end, say): later calls are let through uncounted.
    void stopCounting() { counting = false; }

    // After the watched thread has ended: stops the supervisor.
    void finish() {
        done = true;
        if (supervisor.joinable()) supervisor.join();
        if (listener.load() >= 0) close(listener.load());
        listener = -2;
    }

    long total() const {
        std::lock_guard<std::mutex> lock(mutex);
        long n = 0;
        for (const auto& [nr, count] : counts) n += count;
        return n;
    }
    std::map<long, long> byCall() const {
        std::lock_guard<std::mutex> lock(mutex);
        return counts;
    }
    // "poll 12, writev 30" (empty when none).
    std::string summary() const {
        std::string text;
        for (const auto& [nr, count] : byCall()) {
            if (!text.empty()) text += ", ";
            text += callName(nr) + " " + std::to_string(count);
        }
        return text;
    }
    const std::string& error() const { return reason; }

private:
    bool fail(const char* what) {
        reason = std::string(what) + ": " + std::strerror(errno);
        listener = -2;
        return false;
    }

    void serve() {
        seccomp_notif request{};
        seccomp_notif_resp response{};
        while (listener.load() == -1 && !done.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        while (!done.load() && listener.load() >= 0) {
            pollfd p{listener.load(), POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            if (p.revents & POLLHUP) break;
            std::memset(&request, 0, sizeof(request));
            if (ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &request) != 0) continue;
            if (counting.load()) {
                std::lock_guard<std::mutex> lock(mutex);
                ++counts[request.data.nr];
            }
            std::memset(&response, 0, sizeof(response));
            response.id = request.id;
            response.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
            ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &response);
        }
    }

    std::atomic<int> listener{-1};  // -1 not yet known, -2 none
    std::thread supervisor;
    std::atomic<bool> counting{false};
    std::atomic<bool> done{false};
    mutable std::mutex mutex;
    std::map<long, long> counts;
    std::string reason;
};

}  // namespace rtwatch
