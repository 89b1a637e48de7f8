// Helpers shared by the framework tests: an in-memory byte source, a
// scriptable host callback, an editor stand-in and a minimal concrete effect.
#pragma once

#include "framework/ZEditorBase.h"
#include "framework/ZEffect.h"
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"
#include "io/InputReader.h"
#include "support/HostStub.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fwtest {

class MemoryReader : public XP::InputReader {
public:
    explicit MemoryReader(std::string bytes) : data(std::move(bytes)) {}
    bool isOpen() const override { return true; }
    int32_t read(void* destination, int32_t n) override {
        if (n <= 0) return 0;
        const size_t count = std::min(static_cast<size_t>(n), data.size() - position);
        std::memcpy(destination, data.data() + position, count);
        position += count;
        return static_cast<int32_t>(count);
    }

private:
    std::string data;
    size_t position = 0;
};

// One fake host per test, at 48 kHz.
struct FakeHost : qtest::HostStub {
    FakeHost() { sampleRate = 48000; }
};

class FakeEditor : public VRAX::ZEditorBase {
public:
    FakeEditor(VRAX::ZEffect* owner, int* destroyed) : ZEditorBase(owner), destroyed(destroyed) {}
    ~FakeEditor() override {
        if (destroyed) ++*destroyed;
    }
    void refresh() override { ++refreshes; }
    int refreshes = 0;
    int* destroyed;
};

// The three parameters of the product over a plain effect that records
// what the framework asks of it.
class TestEffect : public VRAX::ZEffect {
public:
    explicit TestEffect(audioMasterCallback host = nullptr, int programs = 10)
        : ZEffect(host, programs, 3, 2, 2) {
        parameters.resize(3);
        auto* gain = new VRAX::ZRangeParam("Gain", -12, 12, 240, "dB", 1);
        gain->setDefault(0.5);
        parameters.set(0, gain);
        auto* cutOff = new VRAX::ZLogRangeParam("Cut Off", 20, 20000, "Hz", 0);
        cutOff->setDefaultReal(20);
        parameters.set(1, cutOff);
        parameters.set(2, new VRAX::ZRangeParam("Res", 0, 100, 100, "%", 0));
        programs_().setUp(programs, &parameters);
    }

    void resetState() override { ++resets; }
    bool isIoConfigSupported(int32_t inputs, int32_t outputs) override {
        return inputs >= 1 && inputs <= 2 && outputs >= 1 && outputs <= 2;
    }
    void applyParameters(bool jump) override {
        ++applies;
        lastJump = jump;
    }
    void parameterChanged(int32_t index) override { changed.push_back(index); }
    void getStringVariable(char* out, int32_t size, const char* name) override {
        names.emplace_back(name ? name : "(null)");
        ZEffect::getStringVariable(out, size, name);
    }
    void processBlock(double** inputs, int32_t numInputs, double** outputs, int32_t numOutputs,
                      int32_t frames) override {
        ++blocks;
        lastInputs = inputs;
        lastOutputs = outputs;
        // Records the shape and passes channel 0 through at twice the level.
        shape = {numInputs, numOutputs, frames};
        for (int32_t c = 0; c < numOutputs; ++c)
            for (int32_t i = 0; i < frames; ++i) outputs[c][i] = 2.0 * inputs[c < numInputs ? c : 0][i];
    }

    VRAX::ProgramBank& programs_() { return programs; }
    using ZEffect::releaseEditor;

    int resets = 0;
    int applies = 0;
    bool lastJump = false;
    int blocks = 0;
    double** lastInputs = nullptr;
    double** lastOutputs = nullptr;
    std::vector<int32_t> shape;
    std::vector<int32_t> changed;
    std::vector<std::string> names;
};

// A stored value of a record, decoded as the little-endian double the
// saved state holds (independently of the machine's byte order).
inline double recordValue(const unsigned char* record, int offset) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | record[offset + i];
    double value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

}  // namespace fwtest
