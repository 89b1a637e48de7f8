// A real effect behind the controls: ZFilter with one extra command that
// records how it was run, a history feature and a level feature for the wave
// displays, and a host callback that records the edit calls in order.
#pragma once

#include "dsp/ZFilter.h"
#include "framework/ZHistory.h"
#include "skin/ControlPlacement.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace ctlb {

struct HostCall {
    int opcode;  // audioMasterAutomate, audioMasterBeginEdit or audioMasterEndEdit
    int index;
    float value;  // the automated value; 0 for begin and end
    bool operator==(const HostCall&) const = default;
};
std::ostream& operator<<(std::ostream& out, const HostCall& call);

HostCall automate(int index, float value);
HostCall begin(int index);
HostCall end(int index);

// The calls since the last clear (tests are single-threaded).
std::vector<HostCall>& hostCalls();
VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

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

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A rectangle on page 1 of no skin (redraw requests only mark dirty).
    VRAX::ControlPlacement place(int x, int y, int w, int h) const;
    void setValue(int index, double normalised) { effect->setParameterValue(index, normalised); }
    double stored(int index) const { return effect->getStoredValue(index); }

    std::unique_ptr<TestEffect> effect;
};

}  // namespace ctlb
