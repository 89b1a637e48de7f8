// ZFilter's framework side: construction from the embedded presets, its
// identity, its peak feature and command, and the editor notifications.
#include "FrameworkTestSupport.h"

#include "dsp/ZFilter.h"
#include "framework/ZHistory.h"
#include "plugin/Identity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using fwtest::FakeEditor;
using fwtest::FakeHost;
using VRAX::ZFilter;

namespace {

class Filter : public ::testing::Test {
protected:
    FakeHost host;
    ZFilter filter{&FakeHost::callback};
};

TEST_F(Filter, ParametersAsDeclared) {
    struct Expect {
        double minimum, maximum, defaultValue;
        int decimals;
    } expected[] = {{-12, 12, 0.5, 1}, {20, 20000, 0, 0}, {0, 100, 0, 0}};
    for (int i = 0; i < 3; ++i) {
        const VRAX::ZEffectParameter* p = filter.getParameterObject(i);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->getMinimum(), expected[i].minimum);
        EXPECT_EQ(p->getMaximum(), expected[i].maximum);
        EXPECT_EQ(p->getDefault(), expected[i].defaultValue);
        EXPECT_EQ(p->getDecimals(), expected[i].decimals);
    }
    EXPECT_TRUE(filter.getParameterObject(1)->isType(VRAX::typeIdOf<VRAX::ZLogRangeParam>()));
    EXPECT_DOUBLE_EQ(filter.getParameterObject(0)->toReal(0.502), 0.0);
    EXPECT_DOUBLE_EQ(filter.getParameterObject(2)->toReal(0.506), 51);
}

TEST_F(Filter, FactoryPresetsAreLoadedWithTheirTexts) {
    const VRAX::ProgramBank& bank = filter.getPrograms();
    EXPECT_STREQ(bank.programName(2), "Res High");
    EXPECT_STREQ(bank.programName(3), "Defaults");
    EXPECT_STREQ(bank.displayText(1, 1), "120 Hz");
    EXPECT_STREQ(bank.valueText(2, 0), "-1.0");
    EXPECT_DOUBLE_EQ(filter.getParameterObject(0)->getReal(bank.valueAddress(2, 0)), -1.0);
    EXPECT_STREQ(bank.displayText(2, 1), "900 Hz");
    EXPECT_STREQ(bank.displayText(2, 2), "50 %");
}

TEST_F(Filter, IdentityAndSampleRate) {
    char expanded[128];
    // The filter alone has no identity; the plug-in gives it its own.
    filter.expandVariables(expanded, sizeof(expanded), "${PlugVer}/${PlugBuild}/${BuildDate}");
    EXPECT_STREQ(expanded, "//");
    EXPECT_EQ(filter.getVendorVersion(), 0);
    filter.setIdentity(&VRAX::kQolmIdentity);
    filter.expandVariables(expanded, sizeof(expanded), "${PlugVer}/${PlugBuild}/${BuildDate}/${Platform}");
    EXPECT_EQ(std::string(expanded), std::string("3.1/3.1/") + QOLM_BUILD_DATE +
                                         (QOLM_PLATFORM_BITS == 32 ? "/Linux32" : "/Linux64"));
    EXPECT_EQ(filter.getVendorVersion(), 3100);
    EXPECT_EQ(filter.getAeffect()->uniqueID, vstFourCC('K', 'p', '4', 'w'));
    EXPECT_EQ(filter.getSampleRate(), 48000.0f);
    FakeHost silent;
    silent.sampleRate = 0;
    EXPECT_EQ(ZFilter(&FakeHost::callback).getSampleRate(), 44100.0f);
}

TEST_F(Filter, ChannelConfigurations) {
    for (int in = -1; in <= 3; ++in)
        for (int out = -1; out <= 3; ++out)
            EXPECT_EQ(filter.isIoConfigSupported(in, out), in >= 1 && in <= 2 && out >= 1 && out <= 2)
                << in << "x" << out;
}

TEST_F(Filter, PeakFeatureAndResetCommand) {
    double* peak = filter.findFeatureValue<double>("Peak");
    ASSERT_NE(peak, nullptr);
    EXPECT_EQ(filter.findFeatureValue("Peak", VRAX::typeIdOf<int32_t>()), nullptr);
    EXPECT_EQ(filter.findFeatureValue<VRAX::ZHistory>("Peak"), nullptr);
    EXPECT_EQ(filter.findFeatureValue<double>("peak"), nullptr);
    EXPECT_EQ(filter.findFeatureValue<double>("NULL"), nullptr);
    const VRAX::ZEffectCommand* reset = filter.findCommand("PeakReset");
    ASSERT_NE(reset, nullptr);
    EXPECT_EQ(reset->index, 0);
    EXPECT_EQ(filter.findCommand("peakreset"), nullptr);

    *peak = 0.7;
    filter.executeCommand(1, true, true);
    EXPECT_EQ(filter.getPeak(), 0.7);
    filter.executeCommand(reset->index, true, false);
    EXPECT_EQ(*peak, 0.0);
}

TEST_F(Filter, BlocksRaiseThePeakAndNotifyOnlyOnChange) {
    // Under bypass the outputs are the inputs exactly, whatever the filter does.
    ASSERT_TRUE(filter.setBypass(true));
    auto* editor = new FakeEditor(&filter, nullptr);
    filter.setEditor(editor);
    filter.editorOpened();
    double left[4] = {0.1, -0.6, 0.2, 0.0};
    double right[4] = {0.3, 0.1, -0.2, 0.0};
    double* io[] = {left, right};
    // In place, as hosts may process.
    filter.processDoubleReplacing(io, io, 4);
    EXPECT_EQ(filter.getPeak(), 0.6);
    EXPECT_EQ(editor->refreshes, 1);
    filter.processDoubleReplacing(io, io, 4);
    filter.processDoubleReplacing(io, io, 0);
    EXPECT_EQ(editor->refreshes, 1);
    // Stereo in, mono out: the average is written and measured.
    double mono[4];
    double* out[] = {mono};
    filter.executeCommand(0, false, false);
    filter.processBlock(io, 2, out, 1, 4);
    EXPECT_EQ(mono[0], 0.2);
    EXPECT_EQ(filter.getPeak(), 0.25);
    filter.suspend();
    EXPECT_EQ(filter.getPeak(), 0.0);
}

TEST_F(Filter, ParameterAndProgramChangesNotifyAnOpenEditor) {
    auto* editor = new FakeEditor(&filter, nullptr);
    filter.setEditor(editor);
    filter.setParameter(0, 0.25f);
    EXPECT_EQ(editor->refreshes, 0);
    filter.editorOpened();
    filter.setParameter(0, 0.75f);
    filter.setProgram(2);
    EXPECT_EQ(editor->refreshes, 2);
}

TEST(FilterLifetime, DestroysItsEditorFirst) {
    int destroyed = 0;
    {
        ZFilter filter(nullptr);
        filter.setEditor(new FakeEditor(&filter, &destroyed));
    }
    EXPECT_EQ(destroyed, 1);
}

}  // namespace
