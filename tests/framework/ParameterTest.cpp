// Parameter mappings, stepping, rounding, value texts and text parsing.
#include "framework/ZLogRangeParam.h"
#include "framework/ZRangeParam.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

using VRAX::ZLogRangeParam;
using VRAX::ZRangeParam;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class Parameters : public ::testing::Test {
protected:
    // Stored values live unaligned inside program records; so does this one.
    alignas(8) unsigned char record[16] = {};
    void* stored = record + 1;

    std::string text(const VRAX::ZEffectParameter& p, double normalised, bool withUnit = false, int size = 276) {
        p.setStored(stored, normalised);
        std::string out(static_cast<size_t>(size) + 1, '\x7f');
        if (withUnit)
            p.displayText(out.data(), size, stored);
        else
            p.valueText(out.data(), size, stored);
        EXPECT_EQ(out[static_cast<size_t>(size)], '\x7f') << "wrote past the buffer";
        return out.c_str();
    }
    double storedAfter(const VRAX::ZEffectParameter& p, const char* input) {
        p.setStored(stored, 0.25);
        p.setFromText(stored, input);
        return p.getStored(stored);
    }

    ZRangeParam gain{"Gain", -12, 12, 240, "dB", 1};
    ZLogRangeParam cutOff{"Cut Off", 20, 20000, "Hz", 0};
    ZRangeParam res{"Res", 0, 100, 100, "%", 0};
};

TEST_F(Parameters, LinearMappingClampsAndSteps) {
    EXPECT_DOUBLE_EQ(gain.toReal(0), -12);
    EXPECT_DOUBLE_EQ(gain.toReal(1), 12);
    EXPECT_DOUBLE_EQ(gain.toReal(0.5), 0);
    EXPECT_EQ(gain.toNormalised(-20), 0);
    EXPECT_EQ(gain.toNormalised(20), 1);
    // 0.502 * 240 + 0.5 = 120.98 floors to step 120: 0.0 dB.
    EXPECT_DOUBLE_EQ(gain.toReal(0.502), 0.0);
    EXPECT_DOUBLE_EQ(res.toReal(0.506), 51);
    EXPECT_DOUBLE_EQ(res.toReal(0.504), 50);
    EXPECT_DOUBLE_EQ(gain.quantise(0.503), 121.0 / 240.0);
    EXPECT_DOUBLE_EQ(ZRangeParam("Smooth", 0, 10, 0, "", 3).toReal(0.1234), 1.234);
}

TEST_F(Parameters, LogMappingRoundsToItsDecimals) {
    EXPECT_DOUBLE_EQ(cutOff.toReal(0), 20);
    EXPECT_DOUBLE_EQ(cutOff.toReal(1), 20000);
    EXPECT_EQ(cutOff.toNormalised(20000), 1);
    EXPECT_EQ(cutOff.toNormalised(10), 0);
    EXPECT_EQ(cutOff.toReal(0.5), 632);  // 632.455...
    EXPECT_DOUBLE_EQ(ZLogRangeParam("Two", 1, 10, "", 2).toReal(0.5), 3.16);
}

TEST_F(Parameters, LogMappingOutsideItsFormula) {
    for (double x : {0.0, -5.0, -kInf, kNaN}) EXPECT_EQ(cutOff.toNormalised(x), 0) << x;
    EXPECT_EQ(cutOff.toNormalised(kInf), 1);
    // A stored number far outside 0..1 gives a huge frequency, not a wrapped
    // 32-bit integer (about -2.1e9 Hz).
    EXPECT_GT(cutOff.toReal(10), 1e30);
    EXPECT_TRUE(std::isnan(cutOff.toReal(kNaN)));
    EXPECT_EQ(cutOff.toReal(kInf), kInf);
}

TEST_F(Parameters, StoredValuesAreUnclampedRealOnesClamped) {
    gain.setStored(stored, 2.0);
    EXPECT_EQ(gain.getStored(stored), 2.0);
    EXPECT_EQ(text(gain, 2.0), "36.0");
    gain.setStored(stored, 0.503);
    EXPECT_DOUBLE_EQ(gain.getNormalised(stored), 121.0 / 240.0);
    gain.setReal(stored, 100);
    EXPECT_EQ(gain.getStored(stored), 1.0);
    gain.setReal(stored, kNaN);
    EXPECT_EQ(gain.getStored(stored), 0.0);
    EXPECT_EQ(record[0], 0);
    EXPECT_EQ(record[9], 0);
}

TEST_F(Parameters, ValueAndDisplayTexts) {
    EXPECT_EQ(text(gain, 0.5, true), "0.0 dB");
    EXPECT_EQ(text(gain, 1), "12.0");
    EXPECT_EQ(text(gain, 1, true), "12.0 dB");
    EXPECT_EQ(text(cutOff, 0, true), "20 Hz");
    EXPECT_EQ(text(res, 1, true), "100 %");
    EXPECT_EQ(text(ZRangeParam("Plain", 0, 1, 0, "", 2), 0.5, true), "0.50");
    EXPECT_EQ(text(gain, kInf), "Inf");
    EXPECT_EQ(text(gain, -kInf, true), "-Inf dB");
    EXPECT_EQ(text(cutOff, -kInf), "0");
    EXPECT_NE(text(gain, kNaN).find("nan"), std::string::npos);
    // Decimals are clamped to 0..20 for printing.
    EXPECT_EQ(text(ZRangeParam("Many", 0, 1, 0, "", 25), 0.5), "0.50000000000000000000");
    EXPECT_EQ(text(ZRangeParam("None", 0, 10, 0, "", -3), 0.26), "3");
}

TEST_F(Parameters, TextsAreCutToTheirBuffer) {
    EXPECT_EQ(text(gain, 1, false, 4), "12.");
    EXPECT_EQ(text(gain, 1, true, 6), "12.0 ");
    EXPECT_EQ(text(gain, 1, true, 1), "");
    EXPECT_EQ(text(gain, 1e300).size(), 275u);
}

TEST_F(Parameters, ParsingReadsTheLeadingNumberOrAnInfinityWord) {
    EXPECT_EQ(storedAfter(res, "inf"), 1);
    EXPECT_EQ(storedAfter(res, "INF"), 1);
    EXPECT_EQ(storedAfter(res, "-INF"), 0);
    EXPECT_DOUBLE_EQ(storedAfter(res, "5 %"), 0.05);
    EXPECT_DOUBLE_EQ(storedAfter(res, "  42.5xyz"), 0.425);
    EXPECT_EQ(storedAfter(res, "letters"), 0);
    EXPECT_EQ(storedAfter(res, "150"), 1);
    EXPECT_EQ(storedAfter(cutOff, "letters"), 0);  // 0 Hz clamps to 20 Hz
    // "nan" is a number to strtod; it must still land within 0..1.
    EXPECT_EQ(storedAfter(res, "nan"), 0);
    EXPECT_EQ(storedAfter(res, nullptr), 0.25);
}

// A locale with a decimal comma: installed, or the one the build made.
bool useCommaLocale() {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
    setenv("LOCPATH", QOLM_BINARY_DIR "/test-locale", 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

TEST_F(Parameters, TextsIgnoreTheProcessLocale) {
    // Hosts switch the process locale; our texts keep a decimal point.
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    if (!useCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma available";
    char probe[16];
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5");
    EXPECT_EQ(text(gain, 1), "12.0");
    EXPECT_DOUBLE_EQ(storedAfter(res, "42.5"), 0.425);
    std::setlocale(LC_NUMERIC, old.c_str());
}

TEST_F(Parameters, DefaultsAndIdentity) {
    gain.setDefault(0.5);
    gain.setToDefault(stored);
    EXPECT_EQ(gain.getStored(stored), 0.5);
    cutOff.setDefaultReal(2000);
    EXPECT_DOUBLE_EQ(cutOff.getDefault(), 2.0 / 3.0);
    EXPECT_EQ(gain.storageSize(), 8);
    EXPECT_NE(gain.typeId(), cutOff.typeId());
    EXPECT_EQ(gain.typeId(), res.typeId());
    EXPECT_FALSE(cutOff.matches("Cut Off", VRAX::typeIdOf<ZRangeParam>()));
    EXPECT_STREQ(ZRangeParam("Long", 0, 1, 0, "abcdefghijk", 0).getUnit(), "abcdefgh");
}

TEST_F(Parameters, NameComparisonIgnoringCaseIsWholeName) {
    EXPECT_TRUE(cutOff.nameEqualsIgnoringCase("CUT OFF"));
    EXPECT_FALSE(cutOff.nameEqualsIgnoringCase("CutOff"));
    EXPECT_FALSE(cutOff.nameEqualsIgnoringCase("Cut"));
    EXPECT_FALSE(cutOff.nameEqualsIgnoringCase("Cut Off2"));
    EXPECT_FALSE(cutOff.nameEqualsIgnoringCase(nullptr));
    // A full 35-character name has no terminator: only an equal text matches.
    const std::string full(35, 'n');
    ZRangeParam wide(full.c_str(), 0, 1, 0, "", 0);
    EXPECT_TRUE(wide.nameEqualsIgnoringCase(full.c_str()));
    EXPECT_FALSE(wide.nameEqualsIgnoringCase((full + "n").c_str()));
}

}  // namespace
