// What the tests of this folder share beyond the plug-in editor fixture: a
// host's GUI thread that calls effEditIdle on a timer, the edit calls the
// host saw, and waits that do not idle (for the host that never does).
#pragma once

#include "Fixture.h"

#include <atomic>
#include <thread>

namespace ux {

using namespace e2e;

// effEditIdle every few milliseconds from a thread of its own, as a host's
// GUI timer calls it; the test's own thread then never dispatches.
class GuiThread {
public:
    explicit GuiThread(EditorSession& session) : session(session), thread([this] { run(); }), threadId(thread.get_id()) {}
    ~GuiThread() { stop(); }
    void stop() {
        running = false;
        if (thread.joinable()) thread.join();
    }
    std::thread::id id() const { return threadId; }

private:
    void run() {
        while (running) {
            session.idle();
            edtest::sleepMs(5);
        }
    }
    EditorSession& session;
    std::atomic<bool> running{true};
    std::thread thread;
    const std::thread::id threadId;
};

class UxTest : public EditorE2E {
protected:
    // Until the host has heard `count` end edits in all, without idling.
    bool waitForEnds(EditorSession& s, int count) {
        return edtest::waitFor([&] { return s.host->countCalls(audioMasterEndEdit) >= count; });
    }
    std::vector<qtest::HostCall> edits(EditorSession& s) { return editCalls(s.host->calls()); }
    int countOf(const std::vector<qtest::HostCall>& calls, VstInt32 opcode) {
        int n = 0;
        for (const qtest::HostCall& c : calls) n += c.opcode == opcode;
        return n;
    }
    // The host's display text of a parameter ("1000", "-3.0").
    std::string shownText(EditorSession& s, int index) { return s.host->dispatchString(effGetParamDisplay, index); }
};

}  // namespace ux
