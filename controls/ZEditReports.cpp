#include "controls/ZEditReports.h"

#include "framework/ZEffect.h"

#include <ctime>
#include <thread>

namespace VRAX {

namespace {

thread_local bool tWindowThread = false;

}  // namespace

void ZEditReports::setWindowThread(bool isWindowThread) { tWindowThread = isWindowThread; }

bool ZEditReports::onWindowThread() { return tWindowThread; }

void ZEditReports::hostIdled() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int64_t ms = static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    // 0 means "never idled".
    lastIdleMs.store(ms > 0 ? ms : 1, std::memory_order_release);
}

void ZEditReports::post(int32_t opcode, int32_t index, float value) {
    // Full only when nobody has collected a thousand reports: the host is
    // not idling, so the window thread makes room by delivering itself.
    for (int attempt = 0; head.load(std::memory_order_relaxed) - tail.load(std::memory_order_acquire) >= kCapacity;
         ++attempt) {
        if (!deliver(false) && attempt > 1000) {
            send(Report{opcode, index, value});
            return;
        }
        std::this_thread::yield();
    }
    const uint32_t at = head.load(std::memory_order_relaxed);
    ring[at % kCapacity] = Report{opcode, index, value};
    head.store(at + 1, std::memory_order_release);
}

bool ZEditReports::deliver(bool newestValuesOnly) {
    if (delivering.exchange(true, std::memory_order_acquire)) return false;
    // Reports posted while the host handles one are sent in the same call.
    for (uint32_t at = tail.load(std::memory_order_relaxed); at != head.load(std::memory_order_acquire); ++at) {
        const Report report = ring[at % kCapacity];
        tail.store(at + 1, std::memory_order_release);
        if (newestValuesOnly && report.opcode == audioMasterAutomate && automatedLater(at + 1, report.index))
            continue;
        send(report);
    }
    delivering.store(false, std::memory_order_release);
    return true;
}

bool ZEditReports::automatedLater(uint32_t from, int32_t index) const {
    for (uint32_t at = from; at != head.load(std::memory_order_acquire); ++at) {
        const Report& later = ring[at % kCapacity];
        if (later.opcode == audioMasterAutomate && later.index == index) return true;
    }
    return false;
}

int64_t ZEditReports::windowThreadDue(int64_t nowMs) const {
    if (!pending()) return -1;
    const int64_t idled = lastIdleMs.load(std::memory_order_acquire);
    if (idled == 0) return 0;
    const int64_t left = idled + kIdleGraceMs - nowMs;
    return left > 0 ? left : 0;
}

void ZEditReports::send(const Report& report) {
    if (!effect) return;
    switch (report.opcode) {
        case audioMasterBeginEdit:
            effect->beginEdit(report.index);
            break;
        case audioMasterEndEdit:
            effect->endEdit(report.index);
            break;
        case audioMasterAutomate:
            if (audioMasterCallback host = effect->getHostCallback())
                host(effect->getAeffect(), audioMasterAutomate, report.index, 0, nullptr, report.value);
            break;
        default:
            break;
    }
}

}  // namespace VRAX
