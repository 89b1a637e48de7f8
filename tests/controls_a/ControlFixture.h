// A real effect (ZFilter) behind the controls, with a host callback that
// records the edit calls the controls make, so tests can check what the host
// would have seen and in which order.
#pragma once

#include "dsp/ZFilter.h"
#include "skin/ControlPlacement.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

namespace ctla {

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

// The calls since the last clear (one recorder for the whole run: tests are
// single-threaded).
std::vector<HostCall>& hostCalls();
VstIntPtr recordingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The effect's rectangle record for a control; no skin (the controls'
    // redraw requests then only mark them dirty).
    VRAX::ControlPlacement place(int x, int y, int w, int h) const;
    void setValue(int index, double normalised) { filter->setParameterValue(index, normalised); }
    double stored(int index) const { return filter->getStoredValue(index); }
    double shown(int index) const { return filter->getNormalisedValue(index); }
    double* peak() const;
    int peakReset() const;

    std::unique_ptr<VRAX::ZFilter> filter;
};

}  // namespace ctla
