// The high-pass effect: "Gain", "Cut Off" and "Res" over ten programs, a
// running output peak published as the "Peak" feature and cleared by the
// "PeakReset" command.
#pragma once

#include "framework/ZEffect.h"

namespace VRAX {

class ZFilter : public ZEffect {
public:
    static constexpr int32_t kNumPrograms = 10;
    static constexpr int32_t kNumParams = 3;
    enum ParameterIndex : int32_t { kGain = 0, kCutOff = 1, kRes = 2 };
    enum CommandIndex : int32_t { kPeakReset = 0 };

    explicit ZFilter(audioMasterCallback audioMaster);
    ~ZFilter() override;

    void setSampleRate(float rate) override;
    VstInt32 getVendorVersion() override { return 3100; }
    VstInt32 getPlugCategory() override { return kPlugCategEffect; }
    VstInt32 canDo(char* text) override;

    const char* effectNameText() override { return "Qolm"; }
    const char* vendorNameText() override { return "VRAX"; }
    const char* productNameText() override { return "Qolm"; }
    const char* pluginVersionText() override { return "3.1"; }
    const char* pluginBuildText() override { return "3.1"; }
    const char* buildDateText() override { return "09 Sep 2024"; }
    const char* platformText() override;

    void executeCommand(int32_t index, bool shift, bool ctrl) override;
    void resetState() override;
    bool isIoConfigSupported(int32_t inputs, int32_t outputs) override;
    void applyParameters(bool jump) override;
    void processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                      int32_t frames) override;

    double getPeak() const;

protected:
    // Largest absolute output sample since the last reset (linear). The audio
    // thread raises it while the editor's window thread reads it through the
    // "Peak" feature and clears it with "PeakReset": it is a plain double so
    // that the feature publishes a double, aligned to 8 bytes (also in the
    // 32-bit build, where a double member would otherwise be 4-aligned) and
    // always read and written whole through std::atomic_ref.
    alignas(8) double peak = 0.0;
};

}  // namespace VRAX
