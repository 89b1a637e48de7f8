// Shared pieces of the skin tests: an effect with the product's parameters
// and a few features and commands, a host callback that records what the
// plug-in tells it, scripts from memory, and controls that count what the
// skin does to them.
#pragma once

#include "controls/ZEditorControl.h"
#include "editor/ZCanvas.h"
#include "framework/ZEffect.h"
#include "framework/ZHistory.h"
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"
#include "io/InputReader.h"
#include "support/HostStub.h"
#include "skin/ZEditorSkin.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace skintest {

// Redraw requests that reached the (fake) editor window.
int& exposeRequests();

class MemoryReader : public XP::InputReader {
public:
    explicit MemoryReader(std::string bytes, bool open = true) : data(std::move(bytes)), opened(open) {}
    bool isOpen() const override { return opened; }
    int32_t read(void* destination, int32_t n) override {
        if (!opened || n <= 0) return 0;
        const size_t count = std::min(static_cast<size_t>(n), data.size() - position);
        std::memcpy(destination, data.data() + position, count);
        position += count;
        return static_cast<int32_t>(count);
    }

private:
    std::string data;
    size_t position = 0;
    bool opened;
};

using HostCall = qtest::EditCall;
using RecordingHost = qtest::HostStub;

// "Gain", "Cut Off" and "Res" as the product has them, the feature "Peak"
// (double), "Meter" (int) and "History", and the command "PeakReset" (3).
class TestEffect : public VRAX::ZEffect {
public:
    explicit TestEffect(audioMasterCallback host = nullptr) : ZEffect(host, 10, 3, 2, 2) {
        parameters.resize(3);
        auto* gain = new VRAX::ZRangeParam("Gain", -12, 12, 240, "dB", 1);
        gain->setDefault(0.5);
        parameters.set(0, gain);
        auto* cutOff = new VRAX::ZLogRangeParam("Cut Off", 20, 20000, "Hz", 0);
        cutOff->setDefaultReal(20);
        parameters.set(1, cutOff);
        parameters.set(2, new VRAX::ZRangeParam("Res", 0, 100, 100, "%", 0));
        programs.setUp(10, &parameters);
        features.add(new VRAX::ZTypedFeature<double>("Peak", &peak));
        features.add(new VRAX::ZTypedFeature<int32_t>("Meter", &meter));
        features.add(new VRAX::ZTypedFeature<VRAX::ZHistory>("History", &history));
        commands.add(new VRAX::ZEffectCommand("PeakReset", 3));
    }

    void resetState() override {}
    bool isIoConfigSupported(int32_t inputs, int32_t outputs) override {
        return inputs >= 1 && inputs <= 2 && outputs >= 1 && outputs <= 2;
    }
    void applyParameters(bool jump) override {
        ++applies;
        lastJump = jump;
    }
    void parameterChanged(int32_t index) override { changed.push_back(index); }
    void executeCommand(int32_t command, bool shift, bool ctrl) override {
        commandsRun.push_back(command);
        lastShift = shift;
        lastCtrl = ctrl;
    }

    // Channel counts as a host would set them.
    bool setChannels(int32_t inputs, int32_t outputs) {
        VstSpeakerArrangement in{};
        VstSpeakerArrangement out{};
        in.numChannels = inputs;
        out.numChannels = outputs;
        return setSpeakerArrangement(&in, &out);
    }

    double peak = 0.0;
    int32_t meter = 0;
    VRAX::ZHistory history;
    int applies = 0;
    bool lastJump = true;
    std::vector<int32_t> changed;
    std::vector<int32_t> commandsRun;
    bool lastShift = false;
    bool lastCtrl = false;
};

// A control that records what the skin does with it and answers as told.
class TestControl : public VRAX::ZEditorControl {
public:
    struct Event {
        std::string what;
        int32_t x, y;
        bool shift, ctrl;
    };

    explicit TestControl(const VRAX::ControlPlacement& placement, std::vector<std::string>* drawLog = nullptr,
                         std::string label = {})
        : ZEditorControl(placement), drawLog(drawLog), label(std::move(label)) {}

    void erase(VRAX::ZCanvas* canvas) override {
        if (drawn) ++erases;
        ZEditorControl::erase(canvas);
    }
    void draw(VRAX::ZCanvas* canvas) override {
        ++draws;
        if (canvas) {
            regionX = canvas->getOriginX();
            regionY = canvas->getOriginY();
        }
        if (drawLog) drawLog->push_back(label);
    }
    int32_t cursorAt(int32_t, int32_t) override { return cursor; }
    bool leftDown(bool shift, bool ctrl, int32_t px, int32_t py) override {
        events.push_back({"leftDown", px, py, shift, ctrl});
        return captures;
    }
    bool leftUp(bool shift, bool ctrl, int32_t px, int32_t py) override {
        events.push_back({"leftUp", px, py, shift, ctrl});
        return releases;
    }
    bool rightDown(bool shift, bool ctrl, int32_t px, int32_t py) override {
        events.push_back({"rightDown", px, py, shift, ctrl});
        return captures;
    }
    bool rightUp(bool shift, bool ctrl, int32_t px, int32_t py) override {
        events.push_back({"rightUp", px, py, shift, ctrl});
        return releases;
    }
    void mouseMove(bool shift, bool ctrl, int32_t px, int32_t py) override {
        events.push_back({"mouseMove", px, py, shift, ctrl});
    }
    void cancelGesture() override { ++cancels; }

    // The protected helpers, for the base class tests.
    using ZEditorControl::beginEdit;
    using ZEditorControl::defaultValue;
    using ZEditorControl::displayText;
    using ZEditorControl::endEdit;
    using ZEditorControl::executeCommand;
    using ZEditorControl::nowMs;
    using ZEditorControl::reportParameter;
    using ZEditorControl::setParameterValue;
    using ZEditorControl::shownValue;
    using ZEditorControl::storedValue;

    std::vector<std::string>* drawLog;
    std::string label;
    int draws = 0;
    int erases = 0;
    int cancels = 0;
    int32_t regionX = -1;
    int32_t regionY = -1;
    int32_t cursor = 2;
    bool captures = true;
    bool releases = true;
    std::vector<Event> events;
};

inline VRAX::ControlPlacement placement(VRAX::ZEditorSkin* skin, int32_t page, int32_t x, int32_t y, int32_t w,
                                        int32_t h, const VRAX::ZConditionSet* conditions = nullptr) {
    VRAX::ControlPlacement p;
    p.x = x;
    p.y = y;
    p.width = w;
    p.height = h;
    p.page = page;
    p.conditions = conditions;
    p.effect = skin ? skin->effect : nullptr;
    p.skin = skin;
    return p;
}

}  // namespace skintest
