#include "controls_a/ControlFixture.h"

namespace ctla {

std::ostream& operator<<(std::ostream& out, const HostCall& call) {
    const char* what = call.opcode == audioMasterAutomate    ? "automate"
                       : call.opcode == audioMasterBeginEdit ? "begin"
                       : call.opcode == audioMasterEndEdit   ? "end"
                                                             : "other";
    return out << what << "(" << call.index << ", " << call.value << ")";
}

HostCall automate(int index, float value) { return {audioMasterAutomate, index, value}; }
HostCall begin(int index) { return {audioMasterBeginEdit, index, 0.0f}; }
HostCall end(int index) { return {audioMasterEndEdit, index, 0.0f}; }

std::vector<HostCall>& hostCalls() {
    static std::vector<HostCall> calls;
    return calls;
}

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float opt) {
    switch (opcode) {
        case audioMasterVersion: return 2400;
        case audioMasterAutomate: hostCalls().push_back(automate(index, opt)); return 0;
        case audioMasterBeginEdit: hostCalls().push_back(begin(index)); return 1;
        case audioMasterEndEdit: hostCalls().push_back(end(index)); return 1;
        default: return 0;
    }
}

void ControlTest::SetUp() {
    filter = std::make_unique<VRAX::ZFilter>(&recordingHost);
    hostCalls().clear();
}

void ControlTest::TearDown() {
    filter.reset();
    hostCalls().clear();
}

VRAX::ControlPlacement ControlTest::place(int x, int y, int w, int h) const {
    VRAX::ControlPlacement p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.page = 1;
    p.effect = filter.get();
    return p;
}

double* ControlTest::peak() const { return filter->findFeatureValue<double>("Peak"); }

int ControlTest::peakReset() const {
    const VRAX::ZEffectCommand* command = filter->findCommand("PeakReset");
    return command ? command->index : -1;
}

}  // namespace ctla
