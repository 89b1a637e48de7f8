// The editor while audio runs: the peak readout and clip lamp that follow
// the processing thread, a drag while a host thread processes blocks, and
// two instances whose editors are open at once.
#include "Fixture.h"

#include <atomic>
#include <cmath>
#include <thread>

using namespace e2e;

namespace {

constexpr double kTwoPi = 6.283185307179586;

// Stereo float blocks of a sine, processed through processReplacing.
struct SineSource {
    explicit SineSource(double amplitude, double frequency = 1000.0, double rate = 44100.0)
        : amplitude(amplitude), step(kTwoPi * frequency / rate) {}

    // Returns the largest absolute output sample; NaN when any was not finite.
    double process(AEffect* effect, int frames) {
        std::vector<float> inL(frames), inR(frames), outL(frames), outR(frames);
        for (int i = 0; i < frames; ++i) {
            inL[i] = inR[i] = static_cast<float>(amplitude * std::sin(phase));
            phase += step;
        }
        phase = std::fmod(phase, kTwoPi);
        float* in[2] = {inL.data(), inR.data()};
        float* out[2] = {outL.data(), outR.data()};
        effect->processReplacing(effect, in, out, frames);
        double largest = 0;
        for (int i = 0; i < frames; ++i) {
            if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) return std::nan("");
            largest =
                std::max({largest, std::fabs(static_cast<double>(outL[i])), std::fabs(static_cast<double>(outR[i]))});
        }
        return largest;
    }

    double amplitude;
    double step;
    double phase = 0;
};

// Largest r + g + b of the picture: how bright its text is drawn.
int brightest(const Picture& picture) {
    int most = 0;
    for (const edtest::Rgb& p : picture.pixels) most = std::max(most, p.r + p.g + p.b);
    return most;
}

}  // namespace

TEST_F(EditorE2E, PeakReadoutAndClipLampFollowTheAudioAndAClickResetsThem) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    const Picture readoutSilent = s->shot(kPeakReadout);  // "Peak: -Inf dB"
    const Picture lampDark = s->shot(kClipLamp);
    ASSERT_EQ(redPixels(lampDark), 0);

    SineSource loud(1.5);
    int loudBrightness = 0;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "reset by the readout" : "reset by the lamp");
        const double largest = loud.process(s->effect(), 4096);
        ASSERT_GT(largest, 1.2) << "a full-scale sine did not come out loud";
        EXPECT_TRUE(s->waitUntil([&] {
            return differingPixels(s->shot(kPeakReadout), readoutSilent) > 0 && redPixels(s->shot(kClipLamp)) > 20;
        })) << "the readout or the lamp did not show the peak";
        loudBrightness = brightest(s->shot(kPeakReadout));

        const Area& target = round == 0 ? kPeakReadout : kClipLamp;
        clickAt(*s, target.centreX(), target.centreY());
        EXPECT_TRUE(s->waitForPicture(kPeakReadout, readoutSilent)) << "the readout does not show -Inf again";
        EXPECT_TRUE(s->waitForPicture(kClipLamp, lampDark)) << "the lamp is still lit";
    }

    // A peak below full scale shows in the readout but leaves the lamp dark,
    // and its text is in the normal font, darker than the clip font that
    // showed the peak above 0 dB.
    SineSource quiet(0.5);
    quiet.process(s->effect(), 4096);
    EXPECT_TRUE(s->waitForChange(kPeakReadout, readoutSilent));
    EXPECT_EQ(differingPixels(s->shot(kClipLamp), lampDark), 0);
    EXPECT_LT(brightest(s->shot(kPeakReadout)) + 100, loudBrightness)
        << "the readout of a peak above 0 dB is not in the clip font";
}

TEST_F(EditorE2E, ADragLandsWhileAHostThreadProcessesAudio) {
    EditorSession* s = openEditor();
    ASSERT_NE(s, nullptr);
    AEffect* effect = s->effect();
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::atomic<bool> finite{true};
    std::atomic<double> loudest{0.0};
    std::thread audio([&] {
        SineSource sine(0.9, 440.0);
        while (!stop.load()) {
            const double largest = sine.process(effect, 512);
            if (!std::isfinite(largest)) finite = false;
            if (largest > loudest.load()) loudest = largest;
            ++blocks;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    ASSERT_TRUE(s->waitUntil([&] { return blocks.load() >= 20; })) << "the audio thread does not run";

    const float before = s->parameter(kCutOff);
    const Picture valueBefore = s->shot(kCutOffValue);
    s->host->clearCalls();
    const int blocksAtPress = blocks.load();
    const Window w = s->window();
    const int x = kCutOffKnob.centreX();
    const int y = kCutOffKnob.centreY();
    pointer->moveTo(w, x, y);
    pointer->press();
    // Five steps of 2 pixels, each waited for, so that blocks run between them.
    bool stepsLanded = true;
    for (int step = 1; step <= 5; ++step) {
        pointer->moveTo(w, x, y - 2 * step);
        const int blocksNow = blocks.load();
        stepsLanded = stepsLanded && s->waitUntil([&] {
            return s->parameter(kCutOff) > before + 0.02f * step - 0.001f && blocks.load() > blocksNow;
        });
    }
    pointer->release();
    EXPECT_TRUE(stepsLanded) << "a step of the drag did not reach the parameter";
    EXPECT_TRUE(s->waitUntil([&] { return s->host->countCalls(audioMasterEndEdit) > 0; }));
    const int blocksDuringDrag = blocks.load() - blocksAtPress;
    EXPECT_TRUE(s->waitForChange(kCutOffValue, valueBefore));
    stop = true;
    audio.join();

    EXPECT_TRUE(finite.load()) << "the output held a value that is not finite";
    EXPECT_GT(loudest.load(), 0.5) << "the audio did not pass the filter";
    EXPECT_GE(blocksDuringDrag, 5);
    EXPECT_NEAR(s->parameter(kCutOff) - before, 0.10f, 1e-6f);
    const std::vector<qtest::HostCall> edits = editCalls(s->host->calls());
    EXPECT_TRUE(isOneGesture(edits, kCutOff)) << describe(edits);
    // The press reports the value before and each step its new value; an
    // idle that collects several of them tells only the newest.
    int automates = 0;
    for (const qtest::HostCall& c : edits) automates += c.opcode == audioMasterAutomate;
    EXPECT_GE(automates, 1) << describe(edits);
    EXPECT_LE(automates, 1 + 5) << describe(edits);
    ASSERT_GE(edits.size(), 3u) << describe(edits);
    EXPECT_FLOAT_EQ(edits[edits.size() - 2].opt, s->parameter(kCutOff)) << describe(edits);
}

TEST_F(EditorE2E, TwoInstancesWithEditorsOpenAtOnceAreDraggedIndependently) {
    EditorSession* a = openEditor("Host", 0, 0);
    ASSERT_NE(a, nullptr);
    EditorSession* b = openEditor("Host", 300, 0);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(a->effect(), b->effect());
    ASSERT_TRUE(a->waitForPage(1));

    const Picture aGain = a->shot(kGainValue);
    const Picture bGain = b->shot(kGainValue);
    const Picture aRes = a->shot(kResValue);
    const Picture bRes = b->shot(kResValue);
    a->host->clearCalls();
    b->host->clearCalls();

    dragKnob(*a, kGainKnob, 0, -10);
    EXPECT_NEAR(a->parameter(kGain), 0.6f, 1e-6f);
    EXPECT_FLOAT_EQ(b->parameter(kGain), 0.5f);
    EXPECT_TRUE(isOneGesture(editCalls(a->host->calls()), kGain)) << describe(a->host->calls());
    EXPECT_TRUE(b->host->calls().empty()) << describe(b->host->calls());
    EXPECT_TRUE(a->waitForChange(kGainValue, aGain));

    a->host->clearCalls();
    dragKnob(*b, kResKnob, 0, -10);
    EXPECT_NEAR(b->parameter(kRes), 0.1f, 1e-6f);
    EXPECT_FLOAT_EQ(a->parameter(kRes), 0.0f);
    EXPECT_TRUE(isOneGesture(editCalls(b->host->calls()), kRes)) << describe(b->host->calls());
    EXPECT_TRUE(a->host->calls().empty()) << describe(a->host->calls());
    EXPECT_TRUE(b->waitForChange(kResValue, bRes));

    // Each window shows its own instance only.
    EXPECT_EQ(differingPixels(b->shot(kGainValue), bGain), 0);
    EXPECT_EQ(differingPixels(a->shot(kResValue), aRes), 0);
    EXPECT_NEAR(a->parameter(kGain), 0.6f, 1e-6f);
    EXPECT_FLOAT_EQ(a->parameter(kCutOff), 0.0f);
    EXPECT_FLOAT_EQ(b->parameter(kCutOff), 0.0f);

    // Closing one editor leaves the other one working.
    a->closeEditor();
    EXPECT_EQ(a->window(), 0u);
    dragKnob(*b, kResKnob, 0, -10);
    EXPECT_NEAR(b->parameter(kRes), 0.2f, 1e-6f);
}
