// A real effect behind the controls under test: ZFilter with one extra
// command that records how it was run, a history and a level feature for the
// wave displays, and a host stub that records the edit calls in order, so
// tests can check what the host would have seen.
#pragma once

#include "dsp/ZFilter.h"
#include "framework/ZHistory.h"
#include "skin/ControlPlacement.h"
#include "support/HostStub.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace ctl {

using HostCall = qtest::EditCall;
using qtest::automate;
inline HostCall begin(int index) { return qtest::beginEdit(index); }
inline HostCall end(int index) { return qtest::endEdit(index); }
// The edit calls the current stub saw since the last clear (tests are
// single-threaded).
std::vector<HostCall>& hostCalls();

struct CommandRun {
    int index;
    bool shift;
    bool ctrl;
    bool operator==(const CommandRun&) const = default;
};
std::ostream& operator<<(std::ostream& out, const CommandRun& run);

class TestEffect : public VRAX::ZFilter {
public:
    static constexpr int32_t kBlink = 7;

    explicit TestEffect(audioMasterCallback host);
    void executeCommand(int32_t index, bool shift, bool ctrl) override;

    std::vector<CommandRun> runs;
    VRAX::ZHistory scope;
    alignas(8) double level = 0.25;
};

// The effect and its host, for a test fixture to hold beside its own base.
class ControlRig {
public:
    ControlRig();

    // A rectangle on `page` of `skin` (none by default: the controls'
    // redraw requests then only mark them dirty).
    VRAX::ControlPlacement place(int x, int y, int w, int h) const;
    void setValue(int index, double normalised) { effect->setParameterValue(index, normalised); }
    double stored(int index) const { return effect->getStoredValue(index); }
    double shown(int index) const { return effect->getNormalisedValue(index); }
    double* peak() const;
    int peakReset() const;

    qtest::HostStub host;
    std::unique_ptr<TestEffect> effect;
    VRAX::ZEditorSkin* skin = nullptr;
    int page = 1;
};

class ControlTest : public ::testing::Test, public ControlRig {};

}  // namespace ctl
