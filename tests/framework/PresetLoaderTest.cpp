// The preset file format, read from memory, from the embedded table and
// from random bytes.
#include "FrameworkTestSupport.h"

#include "framework/PresetLoader.h"
#include "io/EmbeddedFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

using fwtest::MemoryReader;
using fwtest::TestEffect;

namespace {

class Presets : public ::testing::Test {
protected:
    void load(const std::string& text) {
        MemoryReader reader(text);
        VRAX::loadPresets(effect.programs_(), reader);
    }
    const char* name(int p) { return effect.getPrograms().programName(p); }
    double stored(int p, int j) {
        return effect.getParameterObject(j)->getStored(effect.getPrograms().valueAddress(p, j));
    }

    TestEffect effect;
};

TEST_F(Presets, KeywordsAndNamesIgnoreCaseValuesAreRealAndClamped) {
    load("preset First\r\nsetstr res 30\r\nSeTsTr \"CUT OFF\" 200\r\nSETSTR Gain 99\rPRESET Second\n"
         "SETSTR Res -inf\n");
    EXPECT_STREQ(name(0), "First");
    EXPECT_DOUBLE_EQ(stored(0, 2), 0.3);
    EXPECT_DOUBLE_EQ(stored(0, 1), 1.0 / 3);
    EXPECT_EQ(stored(0, 0), 1.0);
    EXPECT_STREQ(effect.getPrograms().displayText(0, 2), "30 %");
    EXPECT_STREQ(name(1), "Second");
    EXPECT_EQ(stored(1, 2), 0.0);
}

TEST_F(Presets, SetBeforeAnyPresetChangesNothing) {
    load("SETSTR Res 70\nPRESET One\n");
    EXPECT_EQ(stored(0, 2), 0.0);
    EXPECT_STREQ(name(0), "One");
}

TEST_F(Presets, BlocksBeyondTheBankAreIgnored) {
    std::string text;
    for (int i = 0; i < 12; ++i)
        text += "PRESET P" + std::to_string(i) + "\nSETSTR Res " + std::to_string(i + 1) + "\n";
    load(text);
    EXPECT_STREQ(name(9), "P9");
    // Blocks 11 and 12 landed nowhere, in particular not in program 9.
    for (int p = 0; p < 10; ++p) EXPECT_DOUBLE_EQ(stored(p, 2), (p + 1) / 100.0);
}

TEST_F(Presets, EmptyNameAdvancesAndKeepsDefaults) {
    load("PRESET \"\"\nSETSTR Res 10\nPRESET Second\n");
    EXPECT_STREQ(name(0), "Defaults");
    EXPECT_DOUBLE_EQ(stored(0, 2), 0.1);
    EXPECT_STREQ(name(1), "Second");
}

TEST_F(Presets, ShortUnknownAndLongLines) {
    load("PRESET\nSETSTR Res\nSETSTR Nope 5\nFOO bar baz\n# PRESET Hidden\n\n"
         "PRESET \"abcdefghijklmnopqrstuvwxyz0123\" extra\nSETSTR Res 40 trailing tokens\n");
    // The bare PRESET did not advance: the long name is program 0's, cut.
    EXPECT_STREQ(name(0), "abcdefghijklmnopqrstuvwx");
    EXPECT_DOUBLE_EQ(stored(0, 2), 0.4);
    EXPECT_STREQ(name(1), "Defaults");
}

TEST(PresetFile, LoadsANamedEmbeddedFileIgnoringCase) {
    static const char text[] = "PRESET \"From Table\"\r\nSETSTR Res 25\r\n";
    static EmbeddedFile file{"FrameworkTestPresets.txt", static_cast<int32_t>(sizeof(text) - 1),
                             reinterpret_cast<const unsigned char*>(text)};
    registerEmbeddedFile(&file);
    TestEffect effect;
    effect.loadPresetFile("frameworktestPRESETS.TXT");
    EXPECT_STREQ(effect.getPrograms().programName(0), "From Table");
    EXPECT_DOUBLE_EQ(effect.getParameterObject(2)->getStored(effect.getPrograms().valueAddress(0, 2)), 0.25);
    TestEffect untouched;
    untouched.loadPresetFile("NoSuchPresets.txt");
    untouched.loadPresetFile(nullptr);
    EXPECT_STREQ(untouched.getPrograms().programName(0), "Defaults");
}

// Random lines built from the format's own words and raw bytes: the loader
// must neither crash nor leave a value outside 0..1 or an unterminated name.
TEST(PresetFuzz, RandomLinesKeepTheBankSound) {
    const char* words[] = {"PRESET", "preset", "SETSTR", "setstr", "Gain", "\"Cut Off\"", "Res", "\"\"", "\"", "#",
                           "Inf", "-inf", "nan", "1e400", "-5", "0.5", "20000", "x\ty", "\r", "\n", " ",
                           "\"a long name that goes on and on and on and on\""};
    std::mt19937 random(20240909u);  // same texts on every run and build
    for (int round = 0; round < 30000; ++round) {
        std::string text;
        for (int line = static_cast<int>(random() % 40); line > 0; --line) {
            for (int t = static_cast<int>(random() % 6); t > 0; --t) {
                if (random() % 8 == 0)
                    for (int n = static_cast<int>(random() % 300); n > 0; --n) text += static_cast<char>(random());
                else
                    text += words[random() % (sizeof(words) / sizeof(words[0]))];
                text += ' ';
            }
            text += (random() % 2) ? "\r\n" : "\n";
        }
        TestEffect effect(nullptr, 1 + static_cast<int>(random() % 10));
        MemoryReader reader(text);
        VRAX::loadPresets(effect.programs_(), reader);
        const VRAX::ProgramBank& bank = effect.getPrograms();
        for (int p = 0; p < bank.getNumPrograms(); ++p) {
            ASSERT_LT(strnlen(bank.programName(p), 25), 25u);
            for (int j = 0; j < 3; ++j) {
                const double v = effect.getParameterObject(j)->getStored(bank.valueAddress(p, j));
                ASSERT_TRUE(v >= 0.0 && v <= 1.0) << v;
            }
        }
    }
}

}  // namespace
