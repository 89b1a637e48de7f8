// effSetChunk with every size a host might hand back, real and damaged.
// Each chunk lives in a heap block of exactly its size, so a read past it
// shows under the sanitizer build.
#include "AbuseSupport.h"

#include <gtest/gtest.h>

#include <string>

using abuse::Block;
using qtest::PluginHost;

namespace {

constexpr VstIntPtr kProgramChunk = 49;
constexpr VstIntPtr kBankChunk = 490;
constexpr int kLargest = 600;

class Chunks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << qtest::pluginPath();
        effect = abuse::start(host);
        ASSERT_NE(effect, nullptr);
        // Program 1 ("Cut Bass") is current, so a program chunk and the bank differ.
        host.dispatch(effSetProgram, 0, 1);
    }

    std::vector<unsigned char> chunk(bool program) {
        void* data = nullptr;
        const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (!data || size <= 0) return {};
        return std::vector<unsigned char>(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    }

    // Hands the plug-in `size` bytes taken from `source` (repeated as needed).
    VstIntPtr give(const std::vector<unsigned char>& source, int size, bool program) {
        std::unique_ptr<unsigned char[]> bytes(new unsigned char[static_cast<size_t>(size)]);
        for (int i = 0; i < size; ++i) bytes[static_cast<size_t>(i)] = source[static_cast<size_t>(i) % source.size()];
        return host.dispatch(effSetChunk, program ? 1 : 0, size, bytes.get());
    }

    // Texts a host reads stay within their fields, and audio stays finite.
    void expectSane(const char* what) {
        SCOPED_TRACE(what);
        for (VstInt32 p = 0; p < 10; ++p) {
            std::vector<char> name(64, 'x');
            host.dispatch(effGetProgramNameIndexed, p, 0, name.data());
            ASSERT_LE(strnlen(name.data(), name.size()), 24u) << "program " << p;
        }
        for (VstInt32 j = 0; j < 3; ++j) {
            std::vector<char> display(64, 'x');
            host.dispatch(effGetParamDisplay, j, 0, display.data());
            ASSERT_LT(strnlen(display.data(), display.size()), 32u) << "parameter " << j;
        }
        Block<float> block(2, 2, 256);
        block.fill(abuse::noiseChannels(2, 256, 21));
        block.run(effect);
        ASSERT_EQ(block.firstNonFinite(), -1);
        Block<double> doubles(2, 2, 256);
        doubles.fill(abuse::noiseChannels(2, 256, 23));
        doubles.run(effect);
        ASSERT_EQ(doubles.firstNonFinite(), -1);
    }

    PluginHost host;
    AEffect* effect = nullptr;
};

TEST_F(Chunks, RealDataOfEverySize) {
    const std::vector<unsigned char> bank = chunk(false);
    const std::vector<unsigned char> program = chunk(true);
    ASSERT_EQ(bank.size(), static_cast<size_t>(kBankChunk));
    ASSERT_EQ(program.size(), static_cast<size_t>(kProgramChunk));
    // Another state to restore from: program 2's record as program chunk,
    // the bank with every program renamed.
    std::vector<unsigned char> otherProgram(bank.begin() + 2 * kProgramChunk, bank.begin() + 3 * kProgramChunk);
    std::vector<unsigned char> otherBank = bank;
    for (int p = 0; p < 10; ++p) otherBank[static_cast<size_t>(p * kProgramChunk)] = static_cast<unsigned char>('a' + p);

    for (int size = 0; size <= kLargest; ++size) {
        SCOPED_TRACE(size);
        const std::vector<unsigned char> stateBefore = chunk(false);
        const VstIntPtr asProgram = give(otherProgram, size, true);
        if (size < kProgramChunk) {
            EXPECT_EQ(asProgram, 0);
            EXPECT_EQ(chunk(false), stateBefore) << "a short program chunk changed the state";
        } else {
            EXPECT_EQ(asProgram, kProgramChunk);
            EXPECT_EQ(chunk(true), otherProgram);
        }
        const VstIntPtr asBank = give(otherBank, size, false);
        if (size < kBankChunk) {
            EXPECT_EQ(asBank, 0);
        } else {
            EXPECT_EQ(asBank, kBankChunk);
            EXPECT_EQ(chunk(false), otherBank);
        }
        // Back to the original state for the next size.
        ASSERT_EQ(give(bank, kBankChunk, false), kBankChunk);
        ASSERT_EQ(chunk(false), bank);
    }
    expectSane("after real chunks");
}

TEST_F(Chunks, GarbageOfEverySize) {
    uint32_t seed = 12345;
    for (int size = 0; size <= kLargest; ++size) {
        SCOPED_TRACE(size);
        std::vector<unsigned char> garbage(static_cast<size_t>(size > 0 ? size : 1));
        for (unsigned char& b : garbage) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<unsigned char>(seed >> 24);
        }
        for (bool program : {true, false}) {
            const std::vector<unsigned char> before = chunk(false);
            const VstIntPtr answer = give(garbage, size, program);
            const VstIntPtr needed = program ? kProgramChunk : kBankChunk;
            EXPECT_EQ(answer, size < needed ? 0 : needed);
            if (size < needed) {
                EXPECT_EQ(chunk(false), before);
            }
        }
        if (size == kProgramChunk || size == kBankChunk || size % 50 == 0) expectSane("garbage");
    }
    expectSane("after garbage");
}

// Values a damaged chunk can carry in each stored value: what a host then
// reads stays bounded and what it hears stays finite.
TEST_F(Chunks, DamagedValuesInEveryField) {
    std::vector<unsigned char> bank = chunk(false);
    ASSERT_EQ(bank.size(), static_cast<size_t>(kBankChunk));
    const double odd[] = {NAN, INFINITY, -INFINITY, -1.0, 2.0, 1e300, -1e300, 5e-324, -0.0, 1e-300};
    for (double value : odd)
        for (int field = 0; field < 3; ++field) {
            SCOPED_TRACE(testing::Message() << "field " << field << " value " << value);
            std::vector<unsigned char> damaged = bank;
            // A name without its terminating zero, too.
            std::memset(damaged.data() + kProgramChunk, 'Z', 25);
            std::memcpy(damaged.data() + kProgramChunk + 25 + 8 * field, &value, 8);
            ASSERT_EQ(give(damaged, kBankChunk, false), kBankChunk);
            expectSane("damaged bank");
            ASSERT_EQ(give(std::vector<unsigned char>(damaged.begin() + kProgramChunk,
                                                      damaged.begin() + 2 * kProgramChunk),
                           kProgramChunk, true),
                      kProgramChunk);
            expectSane("damaged program");
            std::vector<char> name(64, 'x');
            host.dispatch(effGetProgramNameIndexed, 1, 0, name.data());
            EXPECT_EQ(std::string(name.data()), std::string(24, 'Z'));
        }
}

}  // namespace
