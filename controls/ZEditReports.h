// Begin edit, automate and end edit as the editor's controls tell them to the
// host. The value a control sets takes effect at once; only the report waits
// here until the host's own thread collects it with its next effEditIdle,
// because some hosts (Audacity) drop calls made from any other thread. A host
// that does not idle while the editor is open still hears every report, from
// the window thread, as soon as it is clear that no idle is coming.
//
// Threads: post() only on a window thread (one producer); deliver() on the
// host's editor thread or the window thread, one of them at a time; the rest
// from either. Nothing here is ever reached from the audio thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace VRAX {

class ZEffect;

class ZEditReports {
public:
    // Time the window thread gives a host that has idled to idle again
    // before it delivers the reports itself.
    static constexpr int64_t kIdleGraceMs = 500;

    explicit ZEditReports(ZEffect* effect) : effect(effect) {}
    ZEditReports(const ZEditReports&) = delete;
    ZEditReports& operator=(const ZEditReports&) = delete;

    // Marks the calling thread as an editor window thread: reports made on
    // it are queued, reports made anywhere else go to the host at once.
    static void setWindowThread(bool isWindowThread);
    static bool onWindowThread();

    // Queues one host call (audioMasterBeginEdit, audioMasterAutomate with
    // its value, audioMasterEndEdit).
    void post(int32_t opcode, int32_t index, float value = 0.0f);
    // Makes the queued calls, oldest first. False when another thread is
    // delivering just now (it will make them).
    // With newestValuesOnly (the host's idle, which collects what a whole
    // timer period queued) only the newest value queued for a parameter is
    // told, in its place: a host that hands each value to its audio thread
    // as a message it may overwrite (Audacity) can otherwise apply an older
    // value of one call after the newest, and a click to the default or a
    // typed value would revert while it plays.
    bool deliver(bool newestValuesOnly = false);
    bool pending() const { return head.load(std::memory_order_acquire) != tail.load(std::memory_order_acquire); }

    // The host idled (on its editor thread): the window thread leaves the
    // reports to it for a while.
    void hostIdled();
    // A new window: idles of an earlier one say nothing about this one.
    void forgetIdles() { lastIdleMs.store(0, std::memory_order_release); }
    // For the window thread, at nowMs of the monotonic clock: -1 when
    // nothing waits, 0 when it must deliver now (the host has not idled, or
    // not for kIdleGraceMs), otherwise the milliseconds until it must.
    int64_t windowThreadDue(int64_t nowMs) const;

private:
    struct Report {
        int32_t opcode;
        int32_t index;
        float value;
    };
    static constexpr uint32_t kCapacity = 1024;  // a power of two

    void send(const Report& report);
    // Whether a value of the parameter `index` waits at or after `from`.
    bool automatedLater(uint32_t from, int32_t index) const;

    ZEffect* const effect;
    Report ring[kCapacity] = {};
    std::atomic<uint32_t> head{0};  // next slot to write (window thread)
    std::atomic<uint32_t> tail{0};  // next slot to send (the delivering thread)
    std::atomic<bool> delivering{false};
    std::atomic<int64_t> lastIdleMs{0};
};

}  // namespace VRAX
