#include "support/ControlFixture.h"

#include "framework/ZEffectCommand.h"
#include "framework/ZEffectFeature.h"

namespace ctl {

std::vector<HostCall>& hostCalls() {
    static std::vector<HostCall> none;
    qtest::HostStub* host = qtest::HostStub::current();
    return host ? host->calls : none;
}

std::ostream& operator<<(std::ostream& out, const CommandRun& run) {
    return out << "run(" << run.index << (run.shift ? ", shift" : "") << (run.ctrl ? ", ctrl" : "") << ")";
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

ControlRig::ControlRig() : effect(std::make_unique<TestEffect>(&qtest::HostStub::callback)) { host.calls.clear(); }

VRAX::ControlPlacement ControlRig::place(int x, int y, int w, int h) const {
    VRAX::ControlPlacement p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.page = page;
    p.effect = effect.get();
    p.skin = skin;
    return p;
}

double* ControlRig::peak() const { return effect->findFeatureValue<double>("Peak"); }

int ControlRig::peakReset() const {
    const VRAX::ZEffectCommand* command = effect->findCommand("PeakReset");
    return command ? command->index : -1;
}

}  // namespace ctl
