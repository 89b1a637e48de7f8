// The saved state, byte for byte: a host restores projects from these
// chunks, so however the bank keeps its values inside, the 49-byte program
// chunk and the 490-byte bank chunk must not change. The expected bytes were
// taken from the build before the bank's values moved out of the records.
#include "support/PluginHost.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string hex(const void* data, size_t size) {
    std::string text;
    char two[3];
    for (size_t i = 0; i < size; ++i) {
        std::snprintf(two, sizeof(two), "%02x", static_cast<const unsigned char*>(data)[i]);
        text += two;
    }
    return text;
}

// Factory bank after start-up.
const char* const kFactoryBank =
    "416c6c20506173730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "43757420426173730000000000000000000000000000000000000000000000e03fff6ffa4cbe99d03f0000000000000000"
    "52657320486967680000000000000000000000000000000000555555555555dd3faa5d554f5fa2e13f000000000000e03f"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000";
// The same after program 4 was renamed and its values set (one outside 0..1).
const char* const kEditedBank =
    "416c6c20506173730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "43757420426173730000000000000000000000000000000000000000000000e03fff6ffa4cbe99d03f0000000000000000"
    "52657320486967680000000000000000000000000000000000555555555555dd3faa5d554f5fa2e13f000000000000e03f"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "476f6c64656e2054616b650000000000000000000000000000000000000000d03fab649d0b2e36e73f000000000000f83f"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000"
    "44656661756c74730000000000000000000000000000000000000000000000e03f00000000000000000000000000000000";

class ChunkGolden : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.loaded()) << qtest::pluginPath();
        ASSERT_NE(host.create(), nullptr);
        host.dispatch(effOpen);
    }
    std::string chunk(bool program) {
        void* data = nullptr;
        const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
        if (!data || size <= 0) return "";
        return hex(data, static_cast<size_t>(size));
    }
    void edit() {
        host.dispatch(effSetProgram, 0, 4);
        AEffect* e = host.effect();
        e->setParameter(e, 0, 0.25f);
        e->setParameter(e, 1, 0.7f);
        e->setParameter(e, 2, 1.5f);
        char name[] = "Golden Take";
        host.dispatch(effSetProgramName, 0, 0, name);
        char text[] = "3000";
        host.dispatch(effString2Parameter, 1, 0, text);
    }
    qtest::PluginHost host;
};

TEST_F(ChunkGolden, FactoryBankAndProgramChunksAreUnchanged) {
    EXPECT_EQ(chunk(false), kFactoryBank);
    host.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(chunk(true), std::string(kFactoryBank).substr(2 * 49 * 2, 2 * 49));
}

TEST_F(ChunkGolden, EditedBankIsUnchangedAndRestoresByteForByte) {
    edit();
    const std::string edited = chunk(false);
    EXPECT_EQ(edited, kEditedBank);
    EXPECT_EQ(chunk(true), edited.substr(2 * 49 * 4, 2 * 49));

    // Into a fresh instance: the bank and then program 4's chunk over program 7.
    qtest::PluginHost other;
    ASSERT_NE(other.create(), nullptr);
    void* data = nullptr;
    host.dispatch(effGetChunk, 0, 0, &data);
    ASSERT_EQ(other.dispatch(effSetChunk, 0, 490, data), 490);
    void* back = nullptr;
    ASSERT_EQ(other.dispatch(effGetChunk, 0, 0, &back), 490);
    EXPECT_EQ(hex(back, 490), kEditedBank);

    host.dispatch(effGetChunk, 1, 0, &data);
    other.dispatch(effSetProgram, 0, 7);
    ASSERT_EQ(other.dispatch(effSetChunk, 1, 49, data), 49);
    ASSERT_EQ(other.dispatch(effGetChunk, 0, 0, &back), 490);
    EXPECT_EQ(hex(static_cast<unsigned char*>(back) + 7 * 49, 49), edited.substr(2 * 49 * 4, 2 * 49));
    EXPECT_EQ(other.dispatchString(effGetParamDisplay, 2), "150");
}

}  // namespace
