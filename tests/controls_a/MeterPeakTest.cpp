// Meters and the peak displays: which fraction, frame or text a feature
// value gives, when they redraw, and what a click on the peak does.
#include "controls/ZMeter.h"
#include "controls/ZPeak.h"
#include "support/ControlFixture.h"
#include "skin/ZImageResource.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

const unsigned char kColour[4] = {255, 255, 255, 255};
const double kNaN = std::numeric_limits<double>::quiet_NaN();

using MeterTest = ctl::ControlTest;

TEST_F(MeterTest, BarClampsItsFractionAndIgnoresMovesBelowATenThousandth) {
    alignas(8) double level = 3.0;
    VRAX::ZBarFracMeter bar(place(0, 0, 75, 15), &level, 4, kColour);
    EXPECT_EQ(bar.fraction(), 1.0);
    level = -0.5;
    EXPECT_EQ(bar.fraction(), 0.0);
    level = kNaN;
    EXPECT_EQ(bar.fraction(), 0.0);
    EXPECT_EQ(VRAX::ZBarFracMeter(place(0, 0, 75, 15), nullptr, 1, kColour).fraction(), 0.0);

    level = 0.5;
    ASSERT_TRUE(bar.paint(nullptr));
    level = 0.50009;
    EXPECT_FALSE(bar.needsRedraw());
    level = 0.49991;
    EXPECT_FALSE(bar.needsRedraw());
    level = 0.50011;
    EXPECT_TRUE(bar.needsRedraw());

    // The bar meter alone has a type identity of its own.
    VRAX::ZImageResource strip("Strip.png", 10, 10, 10);
    VRAX::ZImgFracMeter frac(place(0, 0, 10, 10), &level, &strip);
    EXPECT_TRUE(bar.isType(VRAX::typeIdOf<VRAX::ZBarFracMeter>()));
    EXPECT_FALSE(bar.isType(VRAX::typeIdOf<VRAX::ZEditorControl>()));
    EXPECT_TRUE(frac.isType(VRAX::typeIdOf<VRAX::ZEditorControl>()));
}

TEST_F(MeterTest, FractionImageMeterReachesTheLastFrameOnlyAtFullScale) {
    alignas(8) double level = 0.99;
    VRAX::ZImageResource strip("Strip.png", 10, 10, 10);
    VRAX::ZImgFracMeter meter(place(0, 0, 10, 10), &level, &strip);
    EXPECT_EQ(meter.frameIndex(), 8);
    level = 0.9999;
    EXPECT_EQ(meter.frameIndex(), 8);
    level = 1.0;
    EXPECT_EQ(meter.frameIndex(), 9);
    for (double outside : {7.0, 1e300}) {
        level = outside;
        EXPECT_EQ(meter.frameIndex(), 9);
    }
    for (double outside : {-0.2, kNaN}) {
        level = outside;
        EXPECT_EQ(meter.frameIndex(), 0);
    }
    level = 0.5;  // frame 4
    ASSERT_TRUE(meter.paint(nullptr));
    level = 0.55;  // 4.95: still 4
    EXPECT_FALSE(meter.needsRedraw());
    level = 0.56;
    EXPECT_TRUE(meter.needsRedraw());
    EXPECT_EQ(VRAX::ZImgFracMeter(place(0, 0, 10, 10), nullptr, &strip).frameIndex(), 0);
}

TEST_F(MeterTest, IntegerImageMeterScalesOffsetsRoundsAndClamps) {
    int32_t count = 3;
    VRAX::ZImageResource strip("Strip.png", 10, 10, 10);
    VRAX::ZImgMeter meter(place(0, 0, 10, 10), &count, 0.5, 1.0, &strip);
    const struct {
        int32_t count;
        int32_t frame;
    } cases[] = {{3, 3}, {4, 3}, {5, 4}, {-10, 0}, {INT32_MAX, 9}};  // 3 * 0.5 + 1 = 2.5 rounds to 3
    for (const auto& c : cases) {
        count = c.count;
        meter.paint(nullptr);
        EXPECT_EQ(meter.strip.lastFrame, c.frame) << c.count;
        EXPECT_FALSE(meter.needsRedraw());
    }
    VRAX::ZImgMeter unbound(place(0, 0, 10, 10), nullptr, 1.0, 5.0, &strip);
    unbound.paint(nullptr);
    EXPECT_EQ(unbound.strip.lastFrame, 0);
}

std::string peakText(double level) {
    char text[VRAX::ZTextPeak::kTextSize];
    VRAX::ZTextPeak::formatPeak(text, sizeof(text), level);
    return text;
}

TEST_F(MeterTest, PeakReadoutAndLampFromSilenceToClipping) {
    double* level = peak();
    ASSERT_NE(level, nullptr);
    VRAX::ZImageResource led("RedLed.png", 15, 15, 2);
    VRAX::ZImgPeak lamp(place(165, 35, 15, 15), level, peakReset(), &led);
    VRAX::ZTextPeak readout(place(185, 35, 75, 15), level, peakReset(), nullptr, nullptr);
    char text[VRAX::ZTextPeak::kTextSize];

    EXPECT_EQ(peakText(0.5), "Peak: -6.0 dB");
    EXPECT_EQ(peakText(0.0), "Peak: -Inf dB");
    EXPECT_EQ(peakText(1e12), "Peak: 240.0 dB");
    // Full scale lights the lamp but is not yet clipping.
    *level = 1.0;
    EXPECT_EQ(lamp.frameIndex(), 1);
    EXPECT_EQ(peakText(readout.peakValue()), "Peak: 0.0 dB");
    EXPECT_FALSE(VRAX::ZTextPeak::formatPeak(text, sizeof(text), 1.0));
    EXPECT_TRUE(VRAX::ZTextPeak::formatPeak(text, sizeof(text), 1.001));
    *level = 0.999;
    EXPECT_EQ(lamp.frameIndex(), 0);
    for (double silent : {0.0, 0.0000009, kNaN}) {
        *level = silent;
        EXPECT_EQ(readout.peakValue(), 0.0);
        EXPECT_EQ(lamp.frameIndex(), 0);
    }
    *level = 0.000001;
    EXPECT_EQ(readout.peakValue(), 0.000001);

    *level = 0.5;
    ASSERT_TRUE(readout.paint(nullptr));
    *level = 0.500009;
    EXPECT_FALSE(readout.needsRedraw());
    *level = 0.500011;
    EXPECT_TRUE(readout.needsRedraw());
}

TEST_F(MeterTest, ClickOnLampOrReadoutResetsThePeakWithoutCapturing) {
    double* level = peak();
    VRAX::ZImageResource led("RedLed.png", 15, 15, 2);
    VRAX::ZImgPeak lamp(place(165, 35, 15, 15), level, peakReset(), &led);
    VRAX::ZTextPeak readout(place(185, 35, 75, 15), level, peakReset(), nullptr, nullptr);
    EXPECT_EQ(lamp.cursorAt(0, 0), 2);
    EXPECT_EQ(readout.cursorAt(0, 0), 2);

    *level = 1.5;
    ASSERT_TRUE(lamp.paint(nullptr));
    EXPECT_FALSE(lamp.leftDown(false, false, 3, 3));
    EXPECT_EQ(effect->getPeak(), 0.0);
    ASSERT_TRUE(lamp.paint(nullptr));  // at once
    EXPECT_EQ(lamp.strip.lastFrame, 0);

    *level = 0.7;
    ASSERT_TRUE(readout.paint(nullptr));
    EXPECT_FALSE(readout.leftDown(true, true, 3, 3));
    EXPECT_EQ(effect->getPeak(), 0.0);
    EXPECT_TRUE(readout.dirty);
    EXPECT_TRUE(ctl::hostCalls().empty());

    // Without a value there is nothing to reset: the command is not run.
    *level = 0.7;
    EXPECT_FALSE(VRAX::ZTextPeak(place(0, 0, 75, 15), nullptr, peakReset(), nullptr, nullptr).leftDown(false, false, 0, 0));
    EXPECT_FALSE(VRAX::ZImgPeak(place(0, 0, 15, 15), nullptr, peakReset(), &led).leftDown(false, false, 0, 0));
    EXPECT_EQ(effect->getPeak(), 0.7);
}

}  // namespace
