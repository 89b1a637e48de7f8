#include "controls_b/Fixture.h"

#include "framework/ZEffectCommand.h"
#include "framework/ZEffectFeature.h"

namespace ctlb {

std::ostream& operator<<(std::ostream& out, const HostCall& call) {
    const char* what = call.opcode == audioMasterAutomate    ? "automate"
                       : call.opcode == audioMasterBeginEdit ? "begin"
                       : call.opcode == audioMasterEndEdit   ? "end"
                                                             : "other";
    return out << what << "(" << call.index << ", " << call.value << ")";
}

std::ostream& operator<<(std::ostream& out, const CommandRun& run) {
    return out << "run(" << run.index << (run.shift ? ", shift" : "") << (run.ctrl ? ", ctrl" : "") << ")";
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

TestEffect::TestEffect(audioMasterCallback host) : ZFilter(host) {
    commands.add(new VRAX::ZEffectCommand("Blink", kBlink));
    features.add(new VRAX::ZTypedFeature<VRAX::ZHistory>("Scope", &scope));
    features.add(new VRAX::ZTypedFeature<double>("Level", &level));
}

void TestEffect::executeCommand(int32_t index, bool shift, bool ctrl) {
    runs.push_back({index, shift, ctrl});
    ZFilter::executeCommand(index, shift, ctrl);
}

void ControlTest::SetUp() {
    effect = std::make_unique<TestEffect>(&recordingHost);
    hostCalls().clear();
}

void ControlTest::TearDown() {
    effect.reset();
    hostCalls().clear();
}

VRAX::ControlPlacement ControlTest::place(int x, int y, int w, int h) const {
    VRAX::ControlPlacement p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.page = 1;
    p.effect = effect.get();
    return p;
}

}  // namespace ctlb
