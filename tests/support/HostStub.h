// The host callback for effects made inside the test's own process: answers
// the version, a sample rate and the host's names, and records the edit
// calls (automate, begin and end edit) in order. The callback finds the
// current stub through a global, since the effect passes only its record;
// with no stub it answers only the version.
#pragma once

#include "host/VstTypes.h"

#include <atomic>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace qtest {

struct EditCall {
    VstInt32 opcode;  // audioMasterAutomate, audioMasterBeginEdit or audioMasterEndEdit
    VstInt32 index;
    float value;      // the automated value; 0 for begin and end
    bool operator==(const EditCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const EditCall& call);

EditCall automate(int index, float value);
EditCall beginEdit(int index);
EditCall endEdit(int index);

class HostStub {
public:
    HostStub();
    ~HostStub();
    HostStub(const HostStub&) = delete;
    HostStub& operator=(const HostStub&) = delete;

    static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                              float opt);

    // The stub the callback answers with now, or null.
    static HostStub* current();
    std::vector<EditCall> callsOf(VstInt32 opcode) const;

    // What it answers; a rate of 0 is a host that does not know.
    std::atomic<VstIntPtr> sampleRate{44100};
    std::string vendor = "Vendor";
    std::string product = "Host";
    // Bytes written for a name query (0: the name and its zero).
    size_t writeBytes = 0;
    int stringQueries = 0;

    std::vector<EditCall> calls;

private:
    HostStub* previous;
};

}  // namespace qtest
