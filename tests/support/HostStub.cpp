#include "support/HostStub.h"

#include <cstring>

namespace qtest {

namespace {

std::atomic<HostStub*>& currentStub() {
    static std::atomic<HostStub*> stub{nullptr};
    return stub;
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const EditCall& call) {
    const char* what = call.opcode == audioMasterAutomate    ? "automate"
                       : call.opcode == audioMasterBeginEdit ? "begin"
                       : call.opcode == audioMasterEndEdit   ? "end"
                                                             : "other";
    return out << what << "(" << call.index << ", " << call.value << ")";
}

EditCall automate(int index, float value) { return {audioMasterAutomate, index, value}; }
EditCall beginEdit(int index) { return {audioMasterBeginEdit, index, 0.0f}; }
EditCall endEdit(int index) { return {audioMasterEndEdit, index, 0.0f}; }

// Stubs nest: a test's own stub stands in for a longer-lived one until it goes.
HostStub::HostStub() : previous(currentStub().exchange(this)) {}

HostStub::~HostStub() { currentStub().store(previous); }

HostStub* HostStub::current() { return currentStub().load(); }

VstIntPtr HostStub::callback(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void* ptr, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    HostStub* host = currentStub().load();
    if (!host) return 0;
    switch (opcode) {
        case audioMasterGetSampleRate:
            return host->sampleRate.load();
        case audioMasterGetVendorString:
        case audioMasterGetProductString: {
            ++host->stringQueries;
            const std::string& text = opcode == audioMasterGetVendorString ? host->vendor : host->product;
            auto* out = static_cast<char*>(ptr);
            if (host->writeBytes) {
                std::memset(out, 'h', host->writeBytes - 1);
                out[host->writeBytes - 1] = 0;
            } else {
                std::memcpy(out, text.c_str(), text.size() + 1);
            }
            return 1;
        }
        case audioMasterAutomate:
            host->calls.push_back(automate(index, opt));
            return 0;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            host->calls.push_back({opcode, index, 0.0f});
            return 1;
        default:
            return 0;
    }
}

std::vector<EditCall> HostStub::callsOf(VstInt32 opcode) const {
    std::vector<EditCall> out;
    for (const EditCall& call : calls)
        if (call.opcode == opcode) out.push_back(call);
    return out;
}

}  // namespace qtest
