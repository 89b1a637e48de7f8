// Program bank layout, defaults, texts and record copies.
#include "FrameworkTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using fwtest::recordValue;
using fwtest::TestEffect;

namespace {

class Bank : public ::testing::Test {
protected:
    TestEffect effect;
    VRAX::ProgramBank& bank = effect.programs_();
};

TEST_F(Bank, FreshBankIsFortyNineByteRecordsOfDefaults) {
    EXPECT_EQ(bank.getRecordLength(), 49);
    EXPECT_EQ(bank.getTotalLength(), 490);
    const unsigned char* saved = bank.saveBank();
    ASSERT_NE(saved, nullptr);
    for (int p = 0; p < 10; ++p) {
        const unsigned char* record = saved + p * 49;
        // The live values are whole 8-byte words however the records lie.
        for (int j = 0; j < 3; ++j) EXPECT_EQ(reinterpret_cast<uintptr_t>(bank.valueAddress(p, j)) % 8, 0u);
        const std::string name = "Defaults" + std::string(17, '\0');
        EXPECT_EQ(std::memcmp(record, name.data(), 25), 0) << p;
        EXPECT_EQ(recordValue(record, 25), 0.5);
        EXPECT_EQ(recordValue(record, 33), 0.0);
        EXPECT_EQ(recordValue(record, 41), 0.0);
        EXPECT_STREQ(bank.displayText(p, 0), "0.0 dB");
        EXPECT_STREQ(bank.displayText(p, 1), "20 Hz");
        EXPECT_STREQ(bank.valueText(p, 2), "0");
    }
}

TEST_F(Bank, OutsideTheBankNothingIsAddressed) {
    EXPECT_EQ(bank.valueAddress(10, 0), nullptr);
    EXPECT_EQ(bank.valueAddress(-1, 0), nullptr);
    EXPECT_EQ(bank.valueAddress(0, 3), nullptr);
    EXPECT_EQ(bank.programName(10), nullptr);
    EXPECT_STREQ(bank.displayText(0, -1), "");
    EXPECT_EQ(bank.findParameter("Cutoff"), -1);
    EXPECT_EQ(bank.findParameter("CUT OFF"), 1);
    bank.refreshTexts(10, 0);
    bank.setProgramName(-1, "x");
    bank.copyRecord(10, bank.saveBank());
    EXPECT_EQ(bank.saveProgram(10), nullptr);
}

TEST_F(Bank, NamesKeepTwentyFourCharactersAndAZero) {
    bank.setProgramName(2, "A name that is much longer than the field");
    EXPECT_STREQ(bank.programName(2), "A name that is much long");
    bank.setProgramName(2, "Short");
    const std::string expected = "Short" + std::string(20, '\0');
    EXPECT_EQ(std::memcmp(bank.programName(2), expected.data(), 25), 0);
}

TEST_F(Bank, CopyRecordIsBitExactAlsoOntoItself) {
    std::vector<unsigned char> source(49, 0);
    std::memcpy(source.data(), "Copied", 6);
    const double values[] = {0.125, -3.5};
    std::memcpy(source.data() + 25, &values[0], 8);
    std::memcpy(source.data() + 41, &values[1], 8);
    // A NaN with a payload survives unchanged.
    const unsigned char nanBits[8] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xf7, 0x7f};
    std::memcpy(source.data() + 33, nanBits, 8);
    bank.copyRecord(6, source.data());
    EXPECT_EQ(std::memcmp(bank.saveBank() + 6 * 49, source.data(), 49), 0);
    EXPECT_EQ(std::memcmp(bank.saveProgram(6), source.data(), 49), 0);
    EXPECT_STREQ(bank.programName(5), "Defaults");
    // A host may give back the very bytes getChunk pointed it at.
    const unsigned char* saved = bank.saveBank();
    const std::vector<unsigned char> before(saved, saved + 490);
    bank.copyRecord(6, saved + 6 * 49);
    EXPECT_EQ(std::memcmp(bank.saveBank(), before.data(), 490), 0);
    // A damaged chunk whose name fills all 25 bytes still gives a terminated name.
    std::memset(source.data(), 'n', 25);
    bank.copyRecord(6, source.data());
    EXPECT_EQ(std::string(bank.programName(6)), std::string(24, 'n'));
}

TEST(BankSetUp, OtherShapesAndMissingParameters) {
    VRAX::ProgramBank bank;
    EXPECT_FALSE(bank.setUp(10, nullptr));
    EXPECT_EQ(bank.valueAddress(0, 0), nullptr);
    VRAX::PtrMgr<const VRAX::ZEffectParameter> one;
    one.add(new VRAX::ZRangeParam("One", 0, 1, 0, "", 0));
    ASSERT_TRUE(bank.setUp(3, &one));
    EXPECT_EQ(bank.getTotalLength(), 3 * 33);
    EXPECT_STREQ(bank.programName(2), "Defaults");
}

}  // namespace
